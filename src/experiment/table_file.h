// A table file a sweep appends to, results or series: header first, its identity kept beside it
// (identity.h), locked against a second writer for as long as it is open. Opening it keeps what
// is whole: a row cut short at the end is dropped, a line that is not a whole row anywhere else is
// refused, and so is a file of another sweep.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "experiment/tables.h"

struct TableFile {
    int fd = -1;     // open to append; closing it ends the lock
    int status = 0;  // when fd is -1: 1 when another sweep holds the lock or writing failed, else 2
    std::string error;
};

// The results at `path` (named for messages by `option`, "--output"), of the sweep `identity`:
// marks the runs of their rows in `done`, sized by the caller.
TableFile openResults(const char* path, const std::string& identity, std::vector<bool>* done);

// The series at `path`: keeps the rows of the runs in `done` (their results are written) and
// drops the others, whose runs are run again; marks in `recorded` the runs whose rows it keeps.
TableFile openSeries(const char* path, const std::string& identity, const std::vector<bool>& done,
                     std::vector<bool>* recorded);
