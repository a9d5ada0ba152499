#include "experiment/results_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "experiment/workers.h"
#include "io/whole.h"
#include "run/run.h"

std::string resultsPreamble(uint64_t designHash, uint64_t ticks) {
    char identity[128];
    std::snprintf(identity, sizeof identity, "# vantu-sweep %s design %016" PRIx64 " ticks ",
                  VANTU_VERSION, designHash);
    return identity + (ticks == ALL_TICKS ? std::string("all") : std::to_string(ticks)) + "\n" +
           resultHeader();
}

bool parseRunField(const char* line, size_t length, uint64_t* run) {
    const char* comma = static_cast<const char*>(std::memchr(line, ',', length));
    char text[24];
    const size_t digits = comma == nullptr ? length : static_cast<size_t>(comma - line);
    if (comma == nullptr || digits >= sizeof text) {
        return false;
    }
    std::memcpy(text, line, digits);
    text[digits] = '\0';
    return parseWhole(text, UINT64_MAX, run);
}

// Reads the rows after the preamble, marking their runs; `kept` is where the last whole line
// ends.
static bool readDoneRuns(std::FILE* file, const char* path, std::vector<bool>* done,
                         uint64_t* doneCount, off_t* kept, std::string* error) {
    char* line = nullptr;
    size_t capacity = 0;
    bool good = true;
    for (ssize_t length; good && (length = getline(&line, &capacity, file)) > 0;) {
        if (line[length - 1] != '\n') {
            break;  // half-written: dropped
        }
        uint64_t run = 0;
        good = parseRunField(line, static_cast<size_t>(length), &run);
        if (!good) {
            *error = std::string(path) + ": holds a line that is not a result row: " + line;
        } else if (run < done->size() && !(*done)[run]) {
            (*done)[run] = true;
            ++*doneCount;
        }
        *kept += length;
    }
    std::free(line);
    return good;
}

// Checks the file's preamble and marks its rows; returns how many bytes to keep, or -1.
static off_t keptLength(std::FILE* file, const char* path, const std::string& preamble,
                        std::vector<bool>* done, uint64_t* doneCount, std::string* error) {
    std::string start(preamble.size(), '\0');
    const size_t got = std::fread(&start[0], 1, start.size(), file);
    if (start.compare(0, got, preamble, 0, got) != 0) {
        const std::string firstLine = start.substr(0, start.find('\n'));
        *error = std::string(path) + " holds results of another sweep, not of this one (" +
                 "another design, ticks or program version):\n  it has:   " + firstLine +
                 "\n  this is:  " + preamble.substr(0, preamble.find('\n')) +
                 "\nGive another --output, or remove the file to start over.";
        return -1;
    }
    if (got < preamble.size()) {
        return 0;  // a preamble cut short: written again
    }
    off_t kept = static_cast<off_t>(preamble.size());
    if (!readDoneRuns(file, path, done, doneCount, &kept, error)) {
        return -1;
    }
    return kept;
}

int openResults(const char* path, const std::string& preamble, std::vector<bool>* done,
                uint64_t* doneCount, std::string* error) {
    *doneCount = 0;
    const int fd = open(path, O_RDWR | O_CREAT | O_APPEND, 0666);
    std::FILE* file = fd < 0 ? nullptr : fdopen(dup(fd), "r");
    if (file == nullptr) {
        *error = std::string("cannot open ") + path + " for the results: " + std::strerror(errno);
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    const off_t kept = keptLength(file, path, preamble, done, doneCount, error);
    std::fclose(file);
    bool good = kept >= 0 && ftruncate(fd, kept) == 0;
    if (good && kept == 0) {
        good = writeWhole(fd, preamble.data(), preamble.size());
    }
    if (!good) {
        if (kept >= 0) {
            *error = std::string("cannot write ") + path + ": " + std::strerror(errno);
        }
        close(fd);
        return -1;
    }
    return fd;
}
