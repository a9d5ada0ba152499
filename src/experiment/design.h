// Reading a design: a CSV table with a header naming its columns, among them run, replicate, seed
// and the 22 parameters in any order (other columns are passed over), and one run to a row. It
// streams, a row at a time, and hashes every byte it reads, so that results can name the design
// they belong to.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "io/csv.h"
#include "run/run.h"

// Runs are numbered below this; a plan is never larger.
constexpr uint64_t MAX_RUNS = 100000000;

constexpr int DESIGN_COLUMNS = 3 + PARAM_COUNT;  // run, replicate, seed, the parameters

struct DesignReader {
    std::FILE* file = nullptr;
    std::string path;
    CsvReader csv;
    size_t headerFields = 0;
    size_t fieldOf[DESIGN_COLUMNS] = {};  // the field holding each column
};

enum class DesignRead { Row, End, Fault };

// Opens the design and reads its header; false with the reason in `error`.
bool openDesign(const char* path, DesignReader* reader, std::string* error);

// The same on a file already open, which the reader then closes; `path` names it in messages.
bool startDesign(std::FILE* file, const char* path, DesignReader* reader, std::string* error);

// The next row, the end, or a fault with its line number in `error`.
DesignRead readDesignRow(DesignReader* reader, DesignRow* row, std::string* error);

// The hash of the bytes read so far: of the whole design once it has ended.
inline uint64_t designHash(const DesignReader& reader) {
    return reader.csv.lines.hash;
}

void closeDesign(DesignReader* reader);

// What one reading of a whole design finds: its run numbers and the hash of its bytes.
struct DesignSurvey {
    uint64_t hash;
    std::vector<bool> runs;  // runs[n]: the design has run n
};

// False, with the reason in `error`, for a faulty design or a run number that comes twice.
bool surveyDesign(const char* path, DesignSurvey* survey, std::string* error);
