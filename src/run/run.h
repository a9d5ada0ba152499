// One run of a design row and its result row: the row's own columns, then what the run did.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/bands.h"
#include "sim/clock.h"
#include "sim/params.h"

// A design's row: which run, which replicate, the seed and the 22 values as the file writes them.
struct DesignRow {
    uint64_t run;
    uint64_t replicate;
    uint32_t seed;
    int32_t values[PARAM_COUNT];
};

// As the results write it: energy, maxSteps, ticks (still Live when the ticks ran out first).
const char* runEndName(RunState end);

struct RunMetrics {
    int32_t steps;
    RunState end;  // still Live when the ticks ran out first
    int32_t energy;
    int64_t food;
    int64_t poison;
    int64_t restored;
    int32_t visited;
    int32_t squaresByBand[PRIORITY_BANDS];  // interior squares at the end, by priority band
};

constexpr uint64_t ALL_TICKS = UINT64_MAX;  // no tick limit: the run goes on until it is over

// Runs the row for at most `ticks` clock ticks, with no log.
RunMetrics runRow(const DesignRow& row, uint64_t ticks);

// The world of the row, generated, with no log: a run's start.
void startRow(const DesignRow& row);

// What the run has done so far; `end` is Live while it goes on.
RunMetrics currentMetrics();

// The design's columns, then the metrics': the results' header line, newline included.
const char* resultHeader();

// Room enough for any result row.
constexpr size_t RESULT_ROW_MAX = 1024;

// Writes the row's CSV line, newline included, at `out`; returns its length.
size_t formatResultRow(const DesignRow& row, const RunMetrics& metrics, char* out);

// The metrics from food on, the part that a result row and a series row share and that most
// steps leave as it was, at `out`, newline included; returns where they end.
char* appendFromFood(const RunMetrics& metrics, char* out);

// The design's part alone: the design's own row and header (newline included).
size_t formatDesignRow(const DesignRow& row, char* out);
const char* designHeader();
