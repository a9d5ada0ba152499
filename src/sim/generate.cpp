#include "sim/generate.h"

#include <cstring>
#include <ctime>

#include "sim/random.h"
#include "sim/regenerate.h"
#include "sim/tally.h"
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

void initWorldWith(uint32_t seed, const int32_t fileValues[PARAM_COUNT]) {
    std::memset(&world, 0, sizeof world);
    agent = AgentState{};

    seedRandom(seed);
    // 0..48: a start on row or column 0 is possible, on 49 it is not.
    agent.agentRow = drawRandom() % LAST_INTERIOR;
    agent.agentCol = drawRandom() % LAST_INTERIOR;

    std::memcpy(&params, fileValues, sizeof params);
    agent.energy = params.initialEnergy;
    params.foodRarity = wrapSub(params.foodRarity, 1);

    fillInterior();
    findUsedUpSquares();  // none yet, but notes left from an earlier run go
    startTally(agent.agentRow, agent.agentCol);
}

void initWorld() {
    int32_t values[PARAM_COUNT];
    readParamFile(PARAM_FILE_NAME, values);  // silent: a file that fails leaves its values 0
    initWorldWith(calendarSeed(), values);
}

uint32_t calendarSeed() {
    return static_cast<uint32_t>(std::time(nullptr));
}
