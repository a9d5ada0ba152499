// The page's run, for its script: one run at a time, as the simulation's state is the process's.
// The page starts it, takes it forward, reads what it has done, and replays it with its log.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "run/run.h"
#include "run/series.h"
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

// The header of vantu-headless --series, whose rows the charts' samples are.
EMSCRIPTEN_KEEPALIVE const char* vantu_series_header() {
    return seriesHeader();
}

// A piece of the log: the lines written since the piece was opened.
static char* piece = nullptr;
static size_t pieceLength = 0;

static std::FILE* openPiece() {
    std::free(piece);
    piece = nullptr;
    std::FILE* stream = open_memstream(&piece, &pieceLength);
    logStream = stream;
    logFlushesEachLine = false;
    return stream;
}

static const char* closePiece(std::FILE* stream) {
    logFlush();
    std::fclose(stream);
    logStream = nullptr;
    return piece;
}

// The run replayed from its start with its log, as vantu-headless --ticks writes it, a piece at a
// time, so that a long run's log never sits whole in the module's memory: vantu_log_begin gives
// "Starting up..." and the generation's lines, each vantu_log_more the lines of up to `ticks`
// more steps. A piece stays until the next call; vantu_log_length gives its length. The world
// ends where it was when the pieces' ticks add up to the steps taken so far.
EMSCRIPTEN_KEEPALIVE const char* vantu_log_begin() {
    std::FILE* stream = openPiece();
    logStartingUp();
    initWorldWith(shown.seed, shown.values);
    return closePiece(stream);
}

EMSCRIPTEN_KEEPALIVE const char* vantu_log_more(uint32_t ticks) {
    std::FILE* stream = openPiece();
    vantu_advance(ticks);
    return closePiece(stream);
}

EMSCRIPTEN_KEEPALIVE size_t vantu_log_length() {
    return pieceLength;
}
}
