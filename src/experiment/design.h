// Reading a design: a CSV table with a header line naming its columns, among them run,
// replicate, seed and the 22 parameters in any order (other columns are passed over), and one
// run to a row. It streams, a row at a time, and hashes every byte it reads, so that results can
// name the design they belong to.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "run/run.h"

// Runs are numbered below this; a plan is never larger.
constexpr uint64_t MAX_RUNS = 100000000;

constexpr int DESIGN_COLUMNS = 3 + PARAM_COUNT;  // run, replicate, seed, the parameters

struct DesignReader {
    std::FILE* file;
    std::string path;
    char* line;
    size_t capacity;
    uint64_t lineNumber;
    int fieldCount;               // the header's
    int fieldOf[DESIGN_COLUMNS];  // the field holding each column
    uint64_t hash;                // of the bytes read so far
};

enum class DesignRead { Row, End, Fault };

// Opens the design and reads its header; false with the reason in `error`.
bool openDesign(const char* path, DesignReader* reader, std::string* error);

// The next row, the end, or a fault with its line number in `error`.
DesignRead readDesignRow(DesignReader* reader, DesignRow* row, std::string* error);

void closeDesign(DesignReader* reader);

// What one reading of a whole design finds: its run numbers and the hash of its bytes.
struct DesignSurvey {
    uint64_t hash;
    std::vector<bool> runs;  // runs[n]: the design has run n
};

// False, with the reason in `error`, for a faulty design or a run number that comes twice.
bool surveyDesign(const char* path, DesignSurvey* survey, std::string* error);

// FNV-1a, 64 bits: a streaming hash of bytes, continued from `hash`.
constexpr uint64_t HASH_START = 0xcbf29ce484222325u;
uint64_t hashBytes(uint64_t hash, const char* bytes, size_t length);
