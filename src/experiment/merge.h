// Joining result files (shards, resumed pieces) into one, sorted by run: one header, a run's
// identical copies kept once, differing copies refused, files of different sweeps refused. Rows
// are sorted in chunks of CHUNK_ROWS, spilled to temporary files (in TMPDIR) and merged from
// there, so that memory holds one chunk whatever the number of rows.
#pragma once

#include <cstddef>
#include <vector>

#include "experiment/report.h"

constexpr size_t CHUNK_ROWS = 1 << 18;

// Merges `inputs` onto `outputPath` (written where it points, with the sweep's identity beside a
// regular file) or standard output when null; with a design, says which of its runs are missing.
Report mergeResults(const std::vector<const char*>& inputs, const char* designPath,
                    const char* outputPath);
