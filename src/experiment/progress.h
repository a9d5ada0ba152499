// Progress on standard error, never on standard output: a bar redrawn in place on a terminal, a
// plain line every ten seconds otherwise, nothing when quiet.
#pragma once

#include <cstdint>

struct Progress {
    uint64_t total;  // runs to have done at the end
    uint64_t done;   // runs done, those found done before this sweep included
    uint64_t doneAtStart;
    double startSeconds;
    double shownSeconds;
    bool onTerminal;
    bool quiet;
};

// Seconds on the monotonic clock.
double nowSeconds();

Progress startProgress(uint64_t total, uint64_t done, bool quiet);

// `runs` more are done; shows it when it is time to.
void advanceProgress(Progress* progress, uint64_t runs);

// The last word: the bar at its end and a newline on a terminal.
void finishProgress(Progress* progress);
