#include "experiment/merge.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <queue>
#include <string>
#include <utility>

#include "cli/messages.h"
#include "experiment/design.h"
#include "experiment/identity.h"
#include "experiment/tables.h"
#include "io/lines.h"
#include "io/output.h"
#include "io/whole.h"

namespace {

struct Row {
    RowKey key;
    std::string line;  // whole, newline included
};

bool before(const RowKey& a, const RowKey& b) {
    return a.run != b.run ? a.run < b.run : a.step < b.step;
}

// A row's key from its line as the sweep writes it: the run first, a series' step second.
RowKey keyOfLine(Table table, std::string_view line) {
    RowKey key = {0, 0};
    const size_t comma = line.find(',');
    parseWhole(line.substr(0, comma), UINT64_MAX, &key.run);
    if (table == Table::Series) {
        const std::string_view step = line.substr(comma + 1, line.find(',', comma + 1) - comma - 1);
        std::from_chars(step.data(), step.data() + step.size(), key.step);
    }
    return key;
}

struct Merge {
    Table table = Table::Results;
    std::string identity;  // the first input's
    std::vector<Row> chunk;
    std::vector<std::FILE*> spilled;  // sorted chunks
    Report report;
};

bool fail(Merge* merge, const std::string& what, int status) {
    merge->report.say(what, status);
    return false;
}

bool spillChunk(Merge* merge) {
    std::stable_sort(merge->chunk.begin(), merge->chunk.end(),
                     [](const Row& a, const Row& b) { return before(a.key, b.key); });
    std::FILE* file = temporaryFile();
    if (file == nullptr) {
        return fail(merge, std::string("cannot make a temporary file: ") + std::strerror(errno),
                    STATUS_FAILED);
    }
    merge->spilled.push_back(file);
    for (const Row& row : merge->chunk) {
        std::fputs(row.line.c_str(), file);
    }
    merge->chunk.clear();
    if (std::fflush(file) != 0 || std::ferror(file) || std::fseek(file, 0, SEEK_SET) != 0) {
        return fail(merge, std::string("cannot write a temporary file: ") + std::strerror(errno),
                    STATUS_FAILED);
    }
    return true;
}

// Every input must be of the same sweep as the first.
bool checkIdentity(const char* path, Merge* merge) {
    std::string identity;
    std::string error;
    switch (readIdentity(path, &identity, &error)) {
        case IdentityRead::Found:
            break;
        case IdentityRead::Missing:
            return fail(merge,
                        std::string(path) + ": is not a vantu-sweep table: " + identityPath(path) +
                            ", which says of which sweep it is, is missing",
                        STATUS_BAD_USE);
        case IdentityRead::Fault:
            return fail(merge, error, STATUS_BAD_USE);
    }
    if (merge->identity.empty()) {
        merge->identity = identity;
    } else if (identity != merge->identity) {
        return fail(merge, anotherSweep(path, identity, merge->identity, "the first:"),
                    STATUS_BAD_USE);
    }
    return true;
}

// The first input's header says which table is merged; every other's must be the same.
bool readHeader(const char* path, CsvReader* reader, Merge* merge, bool first) {
    std::string error;
    const CsvRead read = readRecord(reader, &error);
    if (read == CsvRead::Fault) {
        return fail(merge, std::string(path) + ": " + error, STATUS_BAD_USE);
    }
    if (read == CsvRead::Record && reader->complete) {
        if (first && isTableHeader(*reader, Table::Series)) {
            merge->table = Table::Series;
        }
        if (isTableHeader(*reader, merge->table)) {
            return true;
        }
    }
    return fail(merge,
                std::string(path) + ": does not start with the " +
                    (merge->table == Table::Results ? "results'" : "series'") + " header",
                STATUS_BAD_USE);
}

// Gathers the whole rows of a table into chunks.
bool readRows(const char* path, std::FILE* file, Merge* merge, bool first) {
    CsvReader reader = startCsv(file);
    std::string error;
    bool good = readHeader(path, &reader, merge, first);
    CsvRead read = CsvRead::End;
    RowKey key;
    char line[TABLE_ROW_MAX];
    size_t length = 0;
    while (good && (read = readRecord(&reader, &error)) == CsvRead::Record && reader.complete) {
        good = readTableRow(merge->table, reader, &key, line, &length) ||
               fail(merge, notATableRow(merge->table, path, reader), STATUS_BAD_USE);
        if (good) {
            merge->chunk.push_back({key, std::string(line, length)});
            good = merge->chunk.size() < CHUNK_ROWS || spillChunk(merge);
        }
    }
    if (read == CsvRead::Fault) {
        good = fail(merge, std::string(path) + ": " + error, STATUS_BAD_USE);
    } else if (good && read == CsvRead::Record) {
        merge->report.say(std::string(path) + ": drops its half-written last line");
    }
    endCsv(&reader);
    return good;
}

bool readInput(const char* path, Merge* merge) {
    const bool first = merge->identity.empty();
    if (!checkIdentity(path, merge)) {
        return false;
    }
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return fail(merge, std::string("cannot open ") + path + ": " + std::strerror(errno),
                    STATUS_BAD_USE);
    }
    const bool good = readRows(path, file, merge, first);
    std::fclose(file);
    return good;
}

struct Head {
    RowKey key;
    size_t chunk;
    bool operator>(const Head& other) const {
        return before(other.key, key) || (!before(key, other.key) && chunk > other.chunk);
    }
};

// The sorted chunks merged onto `out`; marks each run written in `written`.
bool mergeChunks(Merge* merge, std::FILE* out, std::vector<bool>* written) {
    std::vector<LineReader> chunks;
    std::vector<std::string> lines(merge->spilled.size());
    for (std::FILE* file : merge->spilled) {
        chunks.push_back(startLines(file));
    }
    std::priority_queue<Head, std::vector<Head>, std::greater<Head>> heads;
    auto advance = [&](size_t chunk) {
        std::string_view line;
        if (readLine(&chunks[chunk], &line)) {
            lines[chunk] = line;
            heads.push({keyOfLine(merge->table, line), chunk});
        }
    };
    for (size_t chunk = 0; chunk < chunks.size(); ++chunk) {
        advance(chunk);
    }
    std::string last;
    RowKey lastKey = {0, 0};
    bool good = true;
    while (good && !heads.empty()) {
        const Head head = heads.top();
        heads.pop();
        const std::string& line = lines[head.chunk];
        if (!last.empty() && !before(lastKey, head.key)) {
            good =
                line == last ||
                fail(merge,
                     "run " + std::to_string(head.key.run) +
                         (merge->table == Table::Series
                              ? " step " + std::to_string(head.key.step) + " has two different rows"
                              : std::string(" has two different results")) +
                         "; they cannot both be right:\n  " + last + "  " +
                         line.substr(0, line.size() - 1),
                     STATUS_BAD_USE);
        } else {
            std::fputs(line.c_str(), out);
            last = line;
            lastKey = head.key;
            if (head.key.run >= written->size()) {
                written->resize(head.key.run + 1);
            }
            (*written)[head.key.run] = true;
        }
        advance(head.chunk);
    }
    for (LineReader& chunk : chunks) {
        endLines(&chunk);
    }
    return good;
}

// "N of M runs of DESIGN are missing: 3, 7-9, ..."; empty when none are.
std::string missingRuns(const char* path, const std::vector<bool>& inDesign,
                        const std::vector<bool>& written) {
    std::string ranges;
    uint64_t missing = 0;
    uint64_t total = 0;
    int shown = 0;
    auto lacking = [&](uint64_t run) {
        return inDesign[run] && !(run < written.size() && written[run]);
    };
    for (uint64_t run = 0; run < inDesign.size(); ++run) {
        total += inDesign[run];
        if (!lacking(run)) {
            continue;
        }
        uint64_t end = run;
        while (end + 1 < inDesign.size() && lacking(end + 1)) {
            ++end;
        }
        if (shown++ < 20) {
            ranges += (ranges.empty() ? "" : ", ") + std::to_string(run) +
                      (end > run ? "-" + std::to_string(end) : "");
        }
        missing += end - run + 1;
        total += end - run;
        run = end;
    }
    if (missing == 0) {
        return "";
    }
    return std::to_string(missing) + " of " + std::to_string(total) + " runs of " + path +
           " are missing: " + ranges + (shown > 20 ? ", ..." : "");
}

bool copyFile(std::FILE* from, std::FILE* to) {
    static char buffer[1 << 16];
    if (std::fseek(from, 0, SEEK_SET) != 0) {
        return false;
    }
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, from)) > 0;) {
        if (std::fwrite(buffer, 1, got, to) != got) {
            return false;
        }
    }
    return !std::ferror(from) && std::fflush(to) == 0;
}

// The merged table onto its output. A regular file is written aside and renamed, so that a
// conflict found late leaves nothing half-written; standard output, a device or a FIFO gets the
// table only once it is whole, from a temporary file.
bool writeMerged(Merge* merge, const char* outputPath, std::vector<bool>* written) {
    Output output;
    std::string error;
    if (outputPath != nullptr && !openOutput(outputPath, &output, &error)) {
        return fail(merge, error, STATUS_FAILED);
    }
    const bool direct = outputPath == nullptr || output.aside.empty();
    std::FILE* table = direct ? temporaryFile() : output.file;
    if (table == nullptr) {
        abandonOutput(&output);
        return fail(merge, std::string("cannot make a temporary file: ") + std::strerror(errno),
                    STATUS_FAILED);
    }
    std::fputs(tableHeader(merge->table), table);
    bool good = mergeChunks(merge, table, written);
    if (good && direct) {
        good = copyFile(table, outputPath == nullptr ? stdout : output.file) ||
               fail(merge,
                    std::string("cannot write ") + (outputPath ? outputPath : "the results") +
                        ": " + std::strerror(errno),
                    STATUS_FAILED);
        std::fclose(table);
    }
    if (!good) {
        abandonOutput(&output);
        return false;
    }
    if (outputPath == nullptr) {
        return true;
    }
    // The identity first: a merged table is in place only when all of it is.
    if ((!direct && !writeIdentity(outputPath, merge->identity, &error)) ||
        !commitOutput(&output, &error)) {
        abandonOutput(&output);
        return fail(merge, error, STATUS_FAILED);
    }
    return true;
}

}  // namespace

Report mergeResults(const std::vector<const char*>& inputs, const char* designPath,
                    const char* outputPath) {
    Merge merge;
    for (const char* input : inputs) {
        if (!readInput(input, &merge)) {
            break;
        }
    }
    if (merge.report.status == 0 && !merge.chunk.empty()) {
        spillChunk(&merge);
    }
    std::vector<bool> inDesign;
    if (merge.report.status == 0 && designPath != nullptr) {
        DesignSurvey survey;
        std::string error;
        if (!surveyDesign(designPath, &survey, &error)) {
            merge.report.say(error, STATUS_BAD_USE);
        } else if (!identityHasDesign(merge.identity, survey.hash)) {
            merge.report.say(
                std::string("the results are not of the design ") + designPath +
                    " (theirs: " + merge.identity.substr(0, merge.identity.size() - 1) + ")",
                STATUS_BAD_USE);
        }
        inDesign = std::move(survey.runs);
    }
    std::vector<bool> written;
    if (merge.report.status == 0 && writeMerged(&merge, outputPath, &written) &&
        designPath != nullptr) {
        const std::string missing = missingRuns(designPath, inDesign, written);
        if (!missing.empty()) {
            merge.report.say(missing, STATUS_FAILED);
        }
    }
    for (std::FILE* chunk : merge.spilled) {
        std::fclose(chunk);
    }
    return merge.report;
}
