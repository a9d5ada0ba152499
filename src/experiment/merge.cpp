#include "experiment/merge.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <queue>
#include <string>
#include <utility>

#include "cli/messages.h"
#include "experiment/design.h"
#include "experiment/results_file.h"

static const char PROGRAM[] = "vantu-sweep";

using Row = std::pair<uint64_t, std::string>;  // the run and its whole line

struct Merge {
    std::string identity;  // the first input's identity line
    std::vector<Row> chunk;
    std::vector<std::FILE*> spilled;  // sorted chunks
    std::string error;
};

static bool spillChunk(Merge* merge) {
    std::stable_sort(merge->chunk.begin(), merge->chunk.end(),
                     [](const Row& a, const Row& b) { return a.first < b.first; });
    std::FILE* file = std::tmpfile();
    if (file == nullptr) {
        merge->error = std::string("cannot make a temporary file: ") + std::strerror(errno);
        return false;
    }
    for (const Row& row : merge->chunk) {
        std::fputs(row.second.c_str(), file);
    }
    merge->chunk.clear();
    merge->spilled.push_back(file);
    if (std::fflush(file) != 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        merge->error = std::string("cannot write a temporary file: ") + std::strerror(errno);
        return false;
    }
    return true;
}

static bool readLine(std::FILE* file, std::string* line) {
    line->clear();
    for (int c; (c = std::getc(file)) != EOF;) {
        line->push_back(static_cast<char>(c));
        if (c == '\n') {
            return true;
        }
    }
    return false;  // the end, or a line without its newline
}

// Checks the input's preamble and gathers its rows into chunks.
static bool readInput(const char* path, Merge* merge) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        merge->error = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    std::string identity;
    std::string header;
    bool good = readLine(file, &identity) && identity.rfind("# vantu-sweep ", 0) == 0 &&
                readLine(file, &header) && header == resultHeader();
    if (!good) {
        merge->error = std::string(path) + ": is not a vantu-sweep results file";
    } else if (merge->identity.empty()) {
        merge->identity = identity;
    } else if (identity != merge->identity) {
        good = false;
        merge->error = std::string(path) + ": holds results of another sweep:\n  it has:   " +
                       identity.substr(0, identity.size() - 1) +
                       "\n  the first: " + merge->identity.substr(0, merge->identity.size() - 1);
    }
    std::string line;
    while (good && readLine(file, &line)) {
        uint64_t run = 0;
        good = parseRunField(line.data(), line.size(), &run);
        if (!good) {
            merge->error = std::string(path) + ": holds a line that is not a result row: " + line;
        } else {
            merge->chunk.emplace_back(run, line);
            good = merge->chunk.size() < CHUNK_ROWS || spillChunk(merge);
        }
    }
    if (good && !line.empty()) {
        std::fprintf(stderr, "%s: %s: drops its half-written last line\n", PROGRAM, path);
    }
    std::fclose(file);
    return good;
}

struct Head {
    uint64_t run;
    size_t chunk;
    bool operator>(const Head& other) const {
        return run != other.run ? run > other.run : chunk > other.chunk;
    }
};

// The sorted chunks merged onto `out`; marks each run written in `written`.
static bool mergeChunks(Merge* merge, std::FILE* out, std::vector<bool>* written) {
    std::vector<std::string> lines(merge->spilled.size());
    std::priority_queue<Head, std::vector<Head>, std::greater<Head>> heads;
    auto advance = [&](size_t chunk) {
        uint64_t run = 0;
        if (readLine(merge->spilled[chunk], &lines[chunk]) &&
            parseRunField(lines[chunk].data(), lines[chunk].size(), &run)) {
            heads.push({run, chunk});
        }
    };
    for (size_t chunk = 0; chunk < merge->spilled.size(); ++chunk) {
        advance(chunk);
    }
    std::string last;
    uint64_t lastRun = 0;
    while (!heads.empty()) {
        const Head head = heads.top();
        heads.pop();
        const std::string& line = lines[head.chunk];
        if (!last.empty() && head.run == lastRun) {
            if (line != last) {
                merge->error = "run " + std::to_string(head.run) +
                               " has two different results; they cannot both be right:\n  " + last +
                               "  " + line;
                return false;
            }
        } else {
            std::fputs(line.c_str(), out);
            last = line;
            lastRun = head.run;
            if (head.run >= written->size()) {
                written->resize(head.run + 1);
            }
            (*written)[head.run] = true;
        }
        advance(head.chunk);
    }
    return true;
}

static bool copyFile(std::FILE* from, std::FILE* to) {
    static char buffer[1 << 16];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, from)) > 0;) {
        if (std::fwrite(buffer, 1, got, to) != got) {
            return false;
        }
    }
    return !std::ferror(from) && std::fflush(to) == 0;
}

// The design's runs, read whole, and whether the results are of this design.
static bool readDesignRuns(const char* path, const std::string& identity, std::vector<bool>* runs,
                           std::string* error) {
    DesignSurvey survey;
    if (!surveyDesign(path, &survey, error)) {
        return false;
    }
    char hash[32];
    std::snprintf(hash, sizeof hash, " design %016" PRIx64 " ", survey.hash);
    if (identity.find(hash) == std::string::npos) {
        *error = std::string("the results are not of the design ") + path + " (its hash is" +
                 std::string(hash).substr(7) +
                 "; theirs: " + identity.substr(0, identity.size() - 1) + ")";
        return false;
    }
    *runs = std::move(survey.runs);
    return true;
}

// "N of M runs of DESIGN are missing: 3, 7-9, ..." on standard error; true when none are.
static bool reportMissing(const char* path, const std::vector<bool>& inDesign,
                          const std::vector<bool>& written) {
    std::string ranges;
    uint64_t missing = 0;
    uint64_t total = 0;
    int shown = 0;
    for (uint64_t run = 0; run < inDesign.size(); ++run) {
        total += inDesign[run];
        if (!inDesign[run] || (run < written.size() && written[run])) {
            continue;
        }
        ++missing;
        uint64_t end = run;
        while (end + 1 < inDesign.size() && inDesign[end + 1] &&
               !(end + 1 < written.size() && written[end + 1])) {
            ++end;
        }
        if (shown++ < 20) {
            ranges += (ranges.empty() ? "" : ", ") + std::to_string(run) +
                      (end > run ? "-" + std::to_string(end) : "");
        }
        missing += end - run;
        run = end;
    }
    if (missing > 0) {
        std::fprintf(stderr, "%s: %llu of %llu runs of %s are missing: %s%s\n", PROGRAM,
                     static_cast<unsigned long long>(missing),
                     static_cast<unsigned long long>(total), path, ranges.c_str(),
                     shown > 20 ? ", ..." : "");
    }
    return missing == 0;
}

int mergeResults(const std::vector<const char*>& inputs, const char* designPath,
                 const char* outputPath) {
    Merge merge;
    for (const char* input : inputs) {
        if (!readInput(input, &merge)) {
            return sayFault(PROGRAM, STATUS_BAD_USE, merge.error);
        }
    }
    if (!merge.chunk.empty() && !spillChunk(&merge)) {
        return sayFault(PROGRAM, STATUS_FAILED, merge.error);
    }
    std::vector<bool> inDesign;
    std::string error;
    if (designPath != nullptr && !readDesignRuns(designPath, merge.identity, &inDesign, &error)) {
        return sayFault(PROGRAM, STATUS_BAD_USE, error);
    }
    // Written aside first, so that a conflict found late leaves nothing half-written.
    const std::string partialPath =
        outputPath == nullptr ? "" : std::string(outputPath) + ".partial";
    std::FILE* out = outputPath == nullptr ? std::tmpfile() : std::fopen(partialPath.c_str(), "w");
    if (out == nullptr) {
        return sayFault(PROGRAM, STATUS_BAD_USE,
                        "cannot write " +
                            (outputPath == nullptr ? "a temporary file" : partialPath) + ": " +
                            std::strerror(errno));
    }
    std::fputs(merge.identity.c_str(), out);
    std::fputs(resultHeader(), out);
    std::vector<bool> written;
    const bool merged = mergeChunks(&merge, out, &written);
    for (std::FILE* chunk : merge.spilled) {
        std::fclose(chunk);
    }
    bool wrote = merged && std::fflush(out) == 0 && !std::ferror(out);
    if (wrote && outputPath == nullptr) {
        wrote = std::fseek(out, 0, SEEK_SET) == 0 && copyFile(out, stdout);
    }
    const int writeError = errno;
    wrote = std::fclose(out) == 0 && wrote;
    if (outputPath != nullptr) {
        if (wrote && std::rename(partialPath.c_str(), outputPath) != 0) {
            wrote = false;
        }
        std::remove(partialPath.c_str());  // left only when something failed
    }
    if (!merged) {
        return sayFault(PROGRAM, STATUS_BAD_USE, merge.error);
    }
    if (!wrote) {
        return sayFault(
            PROGRAM, STATUS_FAILED,
            std::string("cannot write the merged results: ") + std::strerror(writeError));
    }
    if (designPath != nullptr && !reportMissing(designPath, inDesign, written)) {
        return STATUS_FAILED;
    }
    return 0;
}
