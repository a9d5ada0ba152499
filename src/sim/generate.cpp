#include "sim/generate.h"

#include <cstring>
#include <ctime>

#include "sim/random.h"
#include "sim/regenerate.h"
#include "sim/wrap.h"

// Column by column, rows within each column: that is the order the draws are consumed in.
static void fillInterior() {
    for (int col = FIRST_INTERIOR; col <= LAST_INTERIOR; ++col) {
        for (int row = FIRST_INTERIOR; row <= LAST_INTERIOR; ++row) {
            Cell cell = {Empty, params.emptyPriority, Empty};
            if (drawHitsOne(params.foodRarity)) {
                cell = {Food, params.foodPriority, Food};
            }
            // Always drawn, so poison replaces food when both hit.
            if (drawHitsOne(params.poisonRarity)) {
                cell = {Poison, params.poisonPriority, Poison};
            }
            world[row][col] = cell;
        }
    }
}

ParamReport initWorldFrom(uint32_t seed, std::FILE* paramFile) {
    std::memset(&world, 0, sizeof world);
    params = SimParams{};
    agent = AgentState{};

    seedRandom(seed);
    // 0..48: a start on row or column 0 is possible, on 49 it is not.
    agent.agentRow = drawRandom() % LAST_INTERIOR;
    agent.agentCol = drawRandom() % LAST_INTERIOR;

    int32_t values[PARAM_COUNT] = {};
    ParamReport report = {0, ParamFault::ReadError};
    if (paramFile != nullptr) {
        report = readParams(paramFile, values);
    }
    std::memcpy(&params, values, sizeof params);
    agent.energy = params.initialEnergy;
    params.foodRarity = wrapSub(params.foodRarity, 1);

    fillInterior();
    findUsedUpSquares();  // none yet, but notes left from an earlier run go
    return report;
}

void initWorld() {
    std::FILE* paramFile = std::fopen(PARAM_FILE_NAME, "r");
    initWorldFrom(calendarSeed(), paramFile);
    if (paramFile != nullptr) {
        std::fclose(paramFile);
    }
}

uint32_t calendarSeed() {
    return static_cast<uint32_t>(std::time(nullptr));
}
