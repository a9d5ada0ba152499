// Worker processes: the simulation's state is process-wide, so runs side by side are separate
// processes, each running many runs. The parent hands them rows over pipes, a few at a time, and
// writes each run's rows whole as they come back; a worker that dies is reported with its run,
// replaced, and the others go on. A stop signal (see stop_signals.h) ends the workers, keeping
// every whole run they sent.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "experiment/progress.h"
#include "experiment/report.h"
#include "run/run.h"

// Gives the next row to run; false when there is none (or reading failed: the caller knows).
using NextRow = std::function<bool(DesignRow*)>;

struct SweepOutcome {
    uint64_t deadWorkers;  // each reported, with the run it was on
    uint64_t lostRuns;     // runs a worker died in
    bool unfinished;       // no worker could be started to run the rows left
    bool writeFailed;      // the results could not be written; `error` says why
    std::string error;
    int stoppedBy = 0;  // the stop signal that ended the sweep before its end; 0 when none did
};

// What a worker does with each row: runs it for at most `ticks` clock ticks, recording its
// series every `every` steps unless that is 0, and, when `picturesDir` is given, draws its boards
// at the end into picturesDir/run-N.png, before its result row is written (so that a resumed
// sweep draws the pictures it had not finished).
struct RunWork {
    uint64_t ticks;
    uint64_t every;
    const char* picturesDir;
};

// Where the runs' rows go: each run's series rows (when there is a series) before its result row,
// which is left out for a run whose result is already written (run again for its series alone).
struct SweepFiles {
    int resultsFd;
    int seriesFd;  // -1 for none
    const std::vector<bool>& resultWritten;
};

// Runs every row `next` gives on `jobs` workers, writing their rows on `files`; says what befell
// a run or a worker through `notify`, in a worker too when a picture cannot be drawn.
SweepOutcome runOnWorkers(int jobs, const RunWork& work, const SweepFiles& files,
                          const NextRow& next, Progress* progress, const Notify& notify);
