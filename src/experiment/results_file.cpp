#include "experiment/results_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "cli/messages.h"
#include "experiment/identity.h"
#include "io/output.h"
#include "io/whole.h"
#include "run/run.h"

constexpr size_t RESULT_FIELDS = 3 + PARAM_COUNT + 7 + PRIORITY_BANDS;
constexpr int32_t INTERIOR_SQUARES = 49 * 49;

bool isResultHeader(const CsvReader& reader) {
    std::string header;
    for (size_t i = 0; i < reader.fields.size(); ++i) {
        header += csvField(reader, i);
        header += i + 1 < reader.fields.size() ? ',' : '\n';
    }
    return header == resultHeader();
}

template <typename Number>
static bool parseNumber(std::string_view text, Number* value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, *value);
    return error == std::errc() && stop == end;
}

static bool parseEnd(std::string_view text, RunState* end) {
    for (RunState candidate : {RunState::EnergySpent, RunState::StepLimit, RunState::Live}) {
        if (text == runEndName(candidate)) {
            *end = candidate;
            return true;
        }
    }
    return false;
}

// Each field read; the form and the consistency are checked by the caller.
static bool readFields(const CsvReader& reader, DesignRow* row, RunMetrics* metrics) {
    size_t at = 0;
    auto next = [&] { return csvField(reader, at++); };
    uint64_t seed = 0;
    bool good = parseWhole(next(), UINT64_MAX, &row->run) &&
                parseWhole(next(), UINT64_MAX, &row->replicate) &&
                parseWhole(next(), UINT32_MAX, &seed);
    row->seed = static_cast<uint32_t>(seed);
    for (int32_t& value : row->values) {
        good = good && parseNumber(next(), &value);
    }
    good = good && parseNumber(next(), &metrics->steps) && parseEnd(next(), &metrics->end) &&
           parseNumber(next(), &metrics->energy) && parseNumber(next(), &metrics->food) &&
           parseNumber(next(), &metrics->poison) && parseNumber(next(), &metrics->restored) &&
           parseNumber(next(), &metrics->visited);
    for (int32_t& count : metrics->squaresByBand) {
        good = good && parseNumber(next(), &count);
    }
    return good;
}

static bool consistent(const RunMetrics& metrics) {
    int64_t squares = 0;
    for (int32_t count : metrics.squaresByBand) {
        squares += count < 0 ? INTERIOR_SQUARES + 1 : count;
    }
    return metrics.steps >= 0 && metrics.food >= 0 && metrics.poison >= 0 &&
           metrics.restored >= 0 && metrics.visited >= 1 && metrics.visited <= INTERIOR_SQUARES &&
           squares == INTERIOR_SQUARES;
}

bool parseResultRow(const CsvReader& reader, DesignRow* row, RunMetrics* metrics) {
    if (reader.fields.size() != RESULT_FIELDS || !readFields(reader, row, metrics) ||
        !consistent(*metrics)) {
        return false;
    }
    // Written back, the row must be what was read: no sign, blank or leading zero of its own.
    char line[RESULT_ROW_MAX];
    const size_t length = formatResultRow(*row, *metrics, line);
    size_t at = 0;
    for (size_t i = 0; i < reader.fields.size(); ++i) {
        const std::string_view field = csvField(reader, i);
        if (field.size() >= length - at ||
            field.compare(0, field.size(), line + at, field.size()) != 0 ||
            line[at + field.size()] != (i + 1 < reader.fields.size() ? ',' : '\n')) {
            return false;
        }
        at += field.size() + 1;
    }
    return true;
}

std::string notAResultRow(const std::string& path, const CsvReader& reader) {
    return path + " line " + std::to_string(reader.recordLine) + ": is not a whole result row (" +
           std::to_string(RESULT_FIELDS) +
           " fields, each as vantu-sweep writes it); remove the line, and the same command runs "
           "its run again";
}

namespace {

// What is being opened, for the steps below.
struct Opening {
    const char* path;
    const std::string& identity;
    std::vector<bool>* done;
    ResultsFile result;

    bool fail(int status, const std::string& error) {
        result.status = status;
        result.error = error;
        return false;
    }
};

// One writer at a time: a lock on the open file that a second sweep cannot take, which NFS and
// the cluster file systems that support POSIX locks carry to every node.
bool lockResults(int fd, Opening* opening) {
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (fcntl(fd, F_OFD_SETLK, &lock) == 0) {
        return true;
    }
    if (errno == EAGAIN || errno == EACCES) {
        return opening->fail(STATUS_FAILED, std::string("another sweep is writing ") +
                                                opening->path +
                                                "; wait for it to end, or give another --output");
    }
    return opening->fail(STATUS_FAILED, std::string("cannot lock ") + opening->path +
                                            " against a second sweep: " + std::strerror(errno));
}

// A file with rows must be of this sweep.
bool checkIdentity(Opening* opening) {
    std::string has;
    std::string error;
    switch (readIdentity(opening->path, &has, &error)) {
        case IdentityRead::Found:
            return has == opening->identity ||
                   opening->fail(STATUS_BAD_USE,
                                 anotherSweep(opening->path, has, opening->identity) +
                                     "\nGive another --output, or remove both files to start "
                                     "over.");
        case IdentityRead::Missing:
            return opening->fail(STATUS_BAD_USE,
                                 std::string(opening->path) + " holds something but not " +
                                     identityPath(opening->path) +
                                     ", which says of which sweep its results are; give another "
                                     "--output, or remove it to start over");
        case IdentityRead::Fault:
            break;
    }
    return opening->fail(STATUS_BAD_USE, error);
}

// Marks the runs of the whole rows; returns how many bytes to keep (a header or a row cut short
// at the end is dropped), or -1.
off_t readDone(std::FILE* file, Opening* opening) {
    CsvReader reader = startCsv(file);
    std::string error;
    off_t kept = -1;
    CsvRead read = readRecord(&reader, &error);
    if (read == CsvRead::Record && !reader.complete) {
        kept = 0;  // a header cut short: written again
    } else if (read == CsvRead::Record && !isResultHeader(reader)) {
        opening->fail(STATUS_BAD_USE,
                      std::string(opening->path) + " does not start with the results' header");
    } else if (read != CsvRead::Fault) {
        kept = static_cast<off_t>(reader.recordEnd);
        DesignRow row;
        RunMetrics metrics;
        while ((read = readRecord(&reader, &error)) == CsvRead::Record && reader.complete) {
            if (!parseResultRow(reader, &row, &metrics)) {
                kept = -1;
                opening->fail(STATUS_BAD_USE, notAResultRow(opening->path, reader));
                break;
            }
            if (row.run < opening->done->size() && !(*opening->done)[row.run]) {
                (*opening->done)[row.run] = true;
                ++opening->result.doneCount;
            }
            kept = static_cast<off_t>(reader.recordEnd);
        }
    }
    if (read == CsvRead::Fault) {
        kept = -1;
        opening->fail(STATUS_BAD_USE, std::string(opening->path) + ": " + error);
    }
    endCsv(&reader);
    return kept;
}

// Keeps what is whole, or starts the file: its identity beside it, then the header.
bool prepare(int fd, Opening* opening) {
    struct stat info;
    if (fstat(fd, &info) != 0) {
        return opening->fail(STATUS_FAILED, std::string("cannot read ") + opening->path + ": " +
                                                std::strerror(errno));
    }
    off_t kept = 0;
    if (info.st_size > 0) {
        if (!checkIdentity(opening)) {
            return false;
        }
        std::FILE* file = fdopen(dup(fd), "r");
        kept = file == nullptr ? -1 : readDone(file, opening);
        if (file == nullptr) {
            opening->fail(STATUS_FAILED, std::string("cannot read ") + opening->path + ": " +
                                             std::strerror(errno));
        } else {
            std::fclose(file);
        }
        if (kept < 0) {
            return false;
        }
    }
    std::string error;
    const bool good = ftruncate(fd, kept) == 0 &&
                      (kept > 0 || (writeIdentity(opening->path, opening->identity, &error) &&
                                    writeWhole(fd, resultHeader(), std::strlen(resultHeader()))));
    return good || opening->fail(STATUS_FAILED, error.empty()
                                                    ? std::string("cannot write ") + opening->path +
                                                          ": " + std::strerror(errno)
                                                    : error);
}

}  // namespace

ResultsFile openResults(const char* path, const std::string& identity, std::vector<bool>* done) {
    Opening opening{path, identity, done, {}};
    // Not blocking on a FIFO: it is refused below, as every file that is not regular.
    const int fd = open(path, O_RDWR | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY, 0666);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        opening.fail(STATUS_BAD_USE, std::string("cannot open ") + path +
                                         " for the results: " + std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        opening.fail(STATUS_BAD_USE,
                     std::string(path) +
                         " is not a regular file: --output is read back to resume the sweep; "
                         "leave it out to write the results on standard output");
    } else if (fcntl(fd, F_SETFL, O_APPEND) != 0) {
        opening.fail(STATUS_FAILED,
                     std::string("cannot open ") + path + ": " + std::strerror(errno));
    } else if (lockResults(fd, &opening) && prepare(fd, &opening)) {
        opening.result.fd = fd;
        return opening.result;
    }
    if (fd >= 0) {
        close(fd);
    }
    return opening.result;
}
