// The page's run, for its script: one run at a time, as the simulation's state is the process's.
// The page starts it, takes it forward, reads what it has done, and replays it with its log.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "run/run.h"
#include "sim/clock.h"
#include "sim/generate.h"
#include "sim/log.h"
#include "sim/world.h"
#include "web/values.h"

// The seed and values of the run shown: its summary row names them and its log replays them.
static DesignRow shown;

extern "C" {

// A run from the seed and the values the page has set, generated and not yet stepped.
EMSCRIPTEN_KEEPALIVE void vantu_start(uint32_t seed) {
    shown.seed = seed;
    std::memcpy(shown.values, pageValues(), sizeof shown.values);
    startRow(shown);
}

// Up to `ticks` clock ticks, fewer when the run ends first; returns the steps taken in all.
EMSCRIPTEN_KEEPALIVE int32_t vantu_advance(uint32_t ticks) {
    for (uint32_t tick = 0; tick < ticks && runIsLive(); ++tick) {
        tickClock();
    }
    return agent.stepCount;
}

EMSCRIPTEN_KEEPALIVE int vantu_is_live() {
    return runIsLive();
}

// What the charts draw, as whole numbers: steps, energy, food, poison, items restored, squares
// visited, then the squares in each priority band. The counts fit: none exceeds the steps.
EMSCRIPTEN_KEEPALIVE const int32_t* vantu_sample() {
    static int32_t sample[6 + PRIORITY_BANDS];
    const RunMetrics metrics = currentMetrics();
    const int32_t counts[6] = {metrics.steps,
                               metrics.energy,
                               static_cast<int32_t>(metrics.food),
                               static_cast<int32_t>(metrics.poison),
                               static_cast<int32_t>(metrics.restored),
                               metrics.visited};
    std::memcpy(sample, counts, sizeof counts);
    std::memcpy(sample + 6, metrics.squaresByBand, sizeof metrics.squaresByBand);
    return sample;
}

// The result header and the run's row as vantu-headless --summary writes them, so far.
EMSCRIPTEN_KEEPALIVE const char* vantu_summary() {
    static std::string text;
    char row[RESULT_ROW_MAX];
    const size_t length = formatResultRow(shown, currentMetrics(), row);
    text = resultHeader();
    text.append(row, length);
    return text.c_str();
}

static char* replayedLog = nullptr;
static size_t replayedLogLength = 0;

// The run replayed from its start for `ticks` ticks with its log, as vantu-headless --ticks
// writes it; the world ends where it was when `ticks` is the steps taken so far. The text stays
// until the next call; vantu_log_length gives its length.
EMSCRIPTEN_KEEPALIVE const char* vantu_log(uint32_t ticks) {
    std::free(replayedLog);
    std::FILE* stream = open_memstream(&replayedLog, &replayedLogLength);
    logStream = stream;
    logFlushesEachLine = false;
    logStartingUp();
    initWorldWith(shown.seed, shown.values);
    vantu_advance(ticks);
    logFlush();
    std::fclose(stream);
    logStream = nullptr;
    return replayedLog;
}

EMSCRIPTEN_KEEPALIVE size_t vantu_log_length() {
    return replayedLogLength;
}
}
