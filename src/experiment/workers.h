// Worker processes: the simulation's state is process-wide, so runs side by side are separate
// processes, each running many runs. The parent hands them rows over pipes, a few at a time, and
// writes each result row whole as it comes back; a worker that dies is reported with its run,
// replaced, and the others go on. A stop signal (see stop_signals.h) ends the workers, keeping
// every whole result row they sent.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "experiment/progress.h"
#include "experiment/results.h"

// Gives the next row to run; false when there is none (or reading failed: the caller knows).
using NextRow = std::function<bool(DesignRow*)>;

// Says what befell a run or a worker, for the caller to print: "run 7 failed: its worker (pid
// 12) was killed by signal 9 (Killed)". Called in a worker too, when a picture cannot be drawn.
using Report = std::function<void(const std::string& message)>;

struct SweepOutcome {
    uint64_t deadWorkers;  // each reported, with the run it was on
    uint64_t lostRuns;     // runs a worker died in
    bool unfinished;       // no worker could be started to run the rows left
    bool writeFailed;      // the results could not be written; `error` says why
    std::string error;
    int stoppedBy = 0;  // the stop signal that ended the sweep before its end; 0 when none did
};

// What a worker does with each row: runs it for at most `ticks` clock ticks and, when
// `picturesDir` is given, draws its boards at the end into picturesDir/run-N.png, before its
// result row is written (so that a resumed sweep draws the pictures it had not finished).
struct RunWork {
    uint64_t ticks;
    const char* picturesDir;
};

// Runs every row `next` gives on `jobs` workers, writing result rows on `outFd`.
SweepOutcome runOnWorkers(int jobs, const RunWork& work, int outFd, const NextRow& next,
                          Progress* progress, const Report& report);

// Writes all of `length` bytes; false on failure (errno says why).
bool writeWhole(int fd, const char* bytes, size_t length);
