// A run's state over time: a row at step 0 (the generated world, before any step), one after
// every N-th step, and one after the run's last step unless that step is already a multiple of
// N; each row the run's metrics after that many steps, counted from the start. The rows of a run
// are gathered as it goes and handed over whenever enough have gathered, and at its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "run/run.h"

// "run,step,energy,...", newline included.
const char* seriesHeader();

// N when none is given.
constexpr uint64_t DEFAULT_EVERY = 100;

// Room enough for any series row.
constexpr size_t SERIES_ROW_MAX = 256;

// A writer of a series hands its rows over a megabyte at a time, as the log does.
constexpr size_t SERIES_HAND_OVER_BYTES = 1 << 20;

// Writes the row of `run` whose state is `metrics`, newline included, at `out`; returns its
// length.
size_t formatSeriesRow(uint64_t run, const RunMetrics& metrics, char* out);

struct Series {
    uint64_t run = 0;                // the first column
    uint64_t every = DEFAULT_EVERY;  // N, 1 or more
    std::string rows;
    // Called with the rows gathered whenever they reach `handOverBytes`, and at the run's end;
    // it takes what it wants and clears them. Without it the rows stay gathered.
    std::function<void(std::string*)> handOver;
    size_t handOverBytes = 0;
    // Kept from row to row, so that a row every step writes little more than its step and energy:
    // the row's start and its part from food on as last written, and the metrics of that part;
    // rows are gathered a block at a time before they join the others.
    std::string head;
    std::string tail;
    RunMetrics tailOf = {};
    char block[4096];
    size_t blockUsed = 0;
};

// Runs the world as generated for at most `ticks` clock ticks, as runRow does (with the log, if
// one is being written), recording its state over time in `series`.
RunMetrics runRecorded(uint64_t ticks, Series* series);
