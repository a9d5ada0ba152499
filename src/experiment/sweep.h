// A sweep's run: the design read whole once, so that a bad one leaves nothing written; the
// results file (and the series) opened or resumed; the rows of the shard not yet done run on the
// workers; what went wrong said to the program, which prints it.
#pragma once

#include <cstdint>

#include "experiment/cpus.h"
#include "experiment/report.h"
#include "run/run.h"

struct SweepSettings {
    const char* designPath = nullptr;
    uint64_t ticks = ALL_TICKS;
    uint64_t jobs = usableCpus();
    uint64_t shard = 0;  // runs whose number modulo shards is shard
    uint64_t shards = 1;
    const char* outputPath = nullptr;  // standard output when null
    bool quiet = false;
    const char* picturesDir = nullptr;  // no pictures when null
    const char* seriesPath = nullptr;   // no series when null; needs outputPath
    uint64_t every = 0;                 // a series row every this many steps
    const char* progressName = "";      // what the plain progress lines start with
};

// Returns the exit status; says each thing that went wrong, and the last word after a stop,
// through `say`.
int runSweep(const SweepSettings& settings, const Notify& say);
