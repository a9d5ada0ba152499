// A results file: the results' header, then result rows in the order their runs ended; which
// sweep they belong to is kept beside it (identity.h). Resuming reads it back, and so does a merge:
// a row is taken only when it is whole and well formed, every field as the sweep writes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/csv.h"
#include "run/run.h"

// Whether the record is the results' header.
bool isResultHeader(const CsvReader& reader);

// The record as a result row, every field in the form formatResultRow gives it and the metrics
// consistent (counts not below 0, the bands covering the board); false for anything else.
bool parseResultRow(const CsvReader& reader, DesignRow* row, RunMetrics* metrics);

// "PATH line N: is not a whole result row ..." for a record parseResultRow refuses.
std::string notAResultRow(const std::string& path, const CsvReader& reader);

struct ResultsFile {
    int fd = -1;             // open to append, locked for as long as it is open
    uint64_t doneCount = 0;  // runs found done in it
    int status = 0;          // when fd is -1: 1 when another sweep holds the lock, else 2
    std::string error;
};

// Opens `path` to append the results of the sweep named by `identity`, locked against a second
// writer. A new or empty file gets the identity and the header; a file with rows must be of this
// sweep: it keeps them, loses a half-written last line and marks their runs in `done` (sized by
// the caller). The caller closes `fd`, which ends the lock.
ResultsFile openResults(const char* path, const std::string& identity, std::vector<bool>* done);
