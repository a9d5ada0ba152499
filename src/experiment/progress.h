// Progress on standard error, never on standard output: a bar redrawn in place on a terminal, a
// plain line every ten seconds otherwise, nothing when quiet. Both go on a clock as well as on
// runs ending, so that a sweep of long runs still shows the time passing.
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
    const char* name;  // what a plain line starts with: the program's name
};

// Seconds on the monotonic clock.
double nowSeconds();

// Draws the bar at once on a terminal.
Progress startProgress(uint64_t total, uint64_t done, bool quiet, const char* name);

// `runs` more are done (none when called because the clock came due); shows it when it is time.
void advanceProgress(Progress* progress, uint64_t runs);

// Milliseconds until the progress is next due on the clock, for a wait's timeout; -1 for never.
int msUntilProgressDue(const Progress& progress);

// The last word: the bar at its end and a newline on a terminal, a last plain line otherwise.
void finishProgress(Progress* progress);
