#include "run/series.h"

#include <algorithm>
#include <cstring>

#include "run/fields.h"
#include "sim/clock.h"
#include "sim/world.h"

const char* seriesHeader() {
    return "run,step,energy,food,poison,restored,visited,priority0orLess,priority1to3,"
           "priority4to6,priority7to9,priority10to14,priority15orMore\n";
}

// The row up to energy, which every step changes.
static char* appendHead(uint64_t run, const RunMetrics& metrics, char* out) {
    out = appendField(out, run);
    out = appendField(out, metrics.steps);
    return appendField(out, metrics.energy);
}

size_t formatSeriesRow(uint64_t run, const RunMetrics& metrics, char* out) {
    return static_cast<size_t>(appendFromFood(metrics, appendHead(run, metrics, out)) - out);
}

static bool sameTail(const RunMetrics& a, const RunMetrics& b) {
    return a.food == b.food && a.poison == b.poison && a.restored == b.restored &&
           a.visited == b.visited &&
           std::memcmp(a.squaresByBand, b.squaresByBand, sizeof a.squaresByBand) == 0;
}

static void gatherBlock(Series* series) {
    series->rows.append(series->block, series->blockUsed);
    series->blockUsed = 0;
}

// A row of the state now. The tail is written again only when it has changed: a row every step
// then costs little more than its step and energy.
static void record(Series* series) {
    const RunMetrics metrics = currentMetrics();
    if (series->tail.empty() || !sameTail(metrics, series->tailOf)) {
        char tail[SERIES_ROW_MAX];
        series->tail.assign(tail, static_cast<size_t>(appendFromFood(metrics, tail) - tail));
        series->tailOf = metrics;
    }
    if (series->head.empty()) {
        char run[24];
        series->head.assign(run, static_cast<size_t>(appendField(run, series->run) - run));
    }
    if (sizeof series->block - series->blockUsed < SERIES_ROW_MAX) {
        gatherBlock(series);
    }
    char* const line = series->block + series->blockUsed;
    std::memcpy(line, series->head.data(), series->head.size());
    char* end = appendField(appendField(line + series->head.size(), metrics.steps), metrics.energy);
    std::memcpy(end, series->tail.data(), series->tail.size());
    series->blockUsed += static_cast<size_t>(end - line) + series->tail.size();
    if (series->handOver && series->rows.size() >= series->handOverBytes) {
        series->handOver(&series->rows);
    }
}

RunMetrics runRecorded(uint64_t ticks, Series* series) {
    record(series);
    // The next step to record, counted up rather than divided out each tick: a live tick takes
    // exactly one step. Steps stay below 2^31, so a larger N is as good as 2^32.
    const auto every = static_cast<int64_t>(std::min<uint64_t>(series->every, uint64_t{1} << 32));
    int64_t next = every;
    for (uint64_t tick = 0; tick < ticks && runIsLive(); ++tick) {
        tickClock();
        if (agent.stepCount == next) {
            record(series);
            next += every;
        }
    }
    if (static_cast<uint64_t>(agent.stepCount) % series->every != 0) {
        record(series);
    }
    gatherBlock(series);
    if (series->handOver) {
        series->handOver(&series->rows);
    }
    return currentMetrics();
}
