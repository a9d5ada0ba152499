// What a run has done so far, counted as it goes, so that a summary of it needs no log.
#pragma once

#include <cstdint>

#include "sim/bands.h"

struct RunTally {
    int64_t foodFound;       // food lines written
    int64_t poisonFound;     // poison lines written
    int64_t itemsRestored;   // item lines written
    int32_t squaresVisited;  // distinct squares the agent has stood on, its start square included
    // Interior squares (rows and columns 1..49) in each band now: kept as priorities change, so
    // that a run can be sampled often without looking over the board.
    int32_t squaresByBand[PRIORITY_BANDS];
};

extern RunTally tally;

// Zero counts, the start square as the one square visited, and the board's bands as they stand.
void startTally(int32_t row, int32_t col);

// The agent stands on (row, col), rows and columns 0..49.
void noteVisited(int32_t row, int32_t col);

// The square (row, col), rows and columns 0..49, went from priority `before` to `after`; a border
// square, which only the agent's start can be, counts in no band. Most changes stay within a band,
// so that the branch is taken seldom, and seldom mispredicted.
inline void notePriorityChange(int32_t row, int32_t col, int32_t before, int32_t after) {
    const int bandBefore = priorityBand(before), bandAfter = priorityBand(after);
    if (bandBefore != bandAfter && row > 0 && col > 0) {
        --tally.squaresByBand[bandBefore];
        ++tally.squaresByBand[bandAfter];
    }
}
