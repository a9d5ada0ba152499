// Joining result files (shards, resumed pieces) into one, sorted by run: one identity line and
// one header, a run's identical copies kept once, differing copies refused. Rows are sorted in
// chunks of CHUNK_ROWS, spilled to temporary files and merged from there, so that memory holds
// one chunk whatever the number of rows.
#pragma once

#include <cstddef>
#include <vector>

constexpr size_t CHUNK_ROWS = 1 << 18;

// Merges `inputs` onto `outputPath` (written whole, then renamed into place) or standard output
// when null; with a design, says which of its runs are missing. Returns the exit status.
int mergeResults(const std::vector<const char*>& inputs, const char* designPath,
                 const char* outputPath);
