#include "run/series.h"

#include <algorithm>
#include <charconv>

#include "sim/clock.h"
#include "sim/world.h"

const char* seriesHeader() {
    return "run,step,energy,food,poison,restored,visited,priority0orLess,priority1to3,"
           "priority4to6,priority7to9,priority10to14,priority15orMore\n";
}

template <typename Number>
static char* append(char* out, Number value) {
    out = std::to_chars(out, out + 21, value).ptr;  // twenty characters hold any 64-bit number
    *out = ',';
    return out + 1;
}

size_t formatSeriesRow(uint64_t run, const RunMetrics& metrics, char* out) {
    char* end = append(out, run);
    end = append(end, metrics.steps);
    end = append(end, metrics.energy);
    end = append(end, metrics.food);
    end = append(end, metrics.poison);
    end = append(end, metrics.restored);
    end = append(end, metrics.visited);
    for (int32_t count : metrics.squaresByBand) {
        end = append(end, count);
    }
    end[-1] = '\n';
    return static_cast<size_t>(end - out);
}

static void record(Series* series) {
    char line[SERIES_ROW_MAX];
    series->rows.append(line, formatSeriesRow(series->run, currentMetrics(), line));
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
    if (series->handOver) {
        series->handOver(&series->rows);
    }
    return currentMetrics();
}
