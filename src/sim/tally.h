// What a run has done so far, counted as it goes, so that a summary of it needs no log.
#pragma once

#include <cstdint>

struct RunTally {
    int64_t foodFound;       // food lines written
    int64_t poisonFound;     // poison lines written
    int64_t itemsRestored;   // item lines written
    int32_t squaresVisited;  // distinct squares the agent has stood on, its start square included
};

extern RunTally tally;

// Zero counts, and the start square as the one square visited.
void startTally(int32_t row, int32_t col);

// The agent stands on (row, col), rows and columns 0..49.
void noteVisited(int32_t row, int32_t col);
