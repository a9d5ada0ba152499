#include "run/run.h"

#include <cstring>
#include <string>

#include "run/fields.h"
#include "sim/clock.h"
#include "sim/generate.h"
#include "sim/log.h"
#include "sim/tally.h"
#include "sim/world.h"

void startRow(const DesignRow& row) {
    logStream = nullptr;  // a sweep's run formats no log line
    initWorldWith(row.seed, row.values);
}

RunMetrics runRow(const DesignRow& row, uint64_t ticks) {
    startRow(row);
    for (uint64_t tick = 0; tick < ticks && runIsLive(); ++tick) {
        tickClock();
    }
    return currentMetrics();
}

RunMetrics currentMetrics() {
    RunMetrics metrics = {};
    metrics.steps = agent.stepCount;
    metrics.end = runState();
    metrics.energy = agent.energy;
    metrics.food = tally.foodFound;
    metrics.poison = tally.poisonFound;
    metrics.restored = tally.itemsRestored;
    metrics.visited = tally.squaresVisited;
    std::memcpy(metrics.squaresByBand, tally.squaresByBand, sizeof metrics.squaresByBand);
    return metrics;
}

static const char* const METRIC_NAMES =
    "steps,end,energy,food,poison,restored,visited,priority0orLess,priority1to3,priority4to6,"
    "priority7to9,priority10to14,priority15orMore";

static std::string designColumns() {
    std::string columns = "run,replicate,seed";
    for (const char* name : PARAM_NAMES) {
        columns += ',';
        columns += name;
    }
    return columns;
}

const char* designHeader() {
    static const std::string header = designColumns() + "\n";
    return header.c_str();
}

const char* resultHeader() {
    static const std::string header = designColumns() + "," + METRIC_NAMES + "\n";
    return header.c_str();
}

static char* appendDesignPart(const DesignRow& row, char* out) {
    out = appendField(out, row.run);
    out = appendField(out, row.replicate);
    out = appendField(out, row.seed);
    for (int32_t value : row.values) {
        out = appendField(out, value);
    }
    return out;
}

size_t formatDesignRow(const DesignRow& row, char* out) {
    char* end = appendDesignPart(row, out);
    end[-1] = '\n';
    return static_cast<size_t>(end - out);
}

const char* runEndName(RunState end) {
    switch (end) {
        case RunState::EnergySpent:
            return "energy";
        case RunState::StepLimit:
            return "maxSteps";
        case RunState::Live:
            break;
    }
    return "ticks";
}

size_t formatResultRow(const DesignRow& row, const RunMetrics& metrics, char* out) {
    char* end = appendDesignPart(row, out);
    end = appendField(end, metrics.steps);
    const char* name = runEndName(metrics.end);
    const size_t nameLength = std::strlen(name);
    std::memcpy(end, name, nameLength);
    end += nameLength;
    *end++ = ',';
    end = appendField(end, metrics.energy);
    return static_cast<size_t>(appendFromFood(metrics, end) - out);
}

char* appendFromFood(const RunMetrics& metrics, char* out) {
    out = appendField(out, metrics.food);
    out = appendField(out, metrics.poison);
    out = appendField(out, metrics.restored);
    out = appendField(out, metrics.visited);
    for (int32_t count : metrics.squaresByBand) {
        out = appendField(out, count);
    }
    out[-1] = '\n';
    return out;
}
