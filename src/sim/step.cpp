#include "sim/step.h"

#include "sim/consequences.h"
#include "sim/log.h"
#include "sim/random.h"
#include "sim/regenerate.h"
#include "sim/tally.h"
#include "sim/world.h"
#include "sim/wrap.h"

static const int ROW_STEP[NEIGHBOUR_COUNT] = {-1, 1, 0, 0};
static const int COL_STEP[NEIGHBOUR_COUNT] = {0, 0, -1, 1};

// The agent may walk onto row or column 0 but never past 49, so it never enters row or column 50.
static bool withinReach(int32_t row, int32_t col) {
    return (row >= 0) & (row <= LAST_INTERIOR) & (col >= 0) & (col <= LAST_INTERIOR);
}

// Row -1 and column -1 lie outside the world; they weigh 0, as the untouched border does.
static int32_t weightAt(int32_t row, int32_t col) {
    return row < 0 || col < 0 ? 0 : world[row][col].priority;
}

// Every neighbour is looked at and the first owner taken from a mask: the choice is a random one,
// which a branch per neighbour would mispredict.
Neighbour chooseMove(const int32_t weights[NEIGHBOUR_COUNT], int32_t roll, int32_t row,
                     int32_t col) {
    unsigned owners = 0;  // bit k: neighbour k owns the roll and lies within reach
    int32_t low = 0;
    for (int k = 0; k < NEIGHBOUR_COUNT; ++k) {
        const int32_t high = wrapAdd(low, weights[k]);
        const bool owns =
            (low <= roll) & (roll < high) & withinReach(row + ROW_STEP[k], col + COL_STEP[k]);
        owners |= unsigned{owns} << k;
        low = high;
    }
    return owners == 0 ? NO_MOVE : static_cast<Neighbour>(__builtin_ctz(owners));
}

static void writeStepLine() {
    logLine(agent.stepCount, " - ", agent.prevRow, ",", agent.prevCol,
            " Priotity previous:", world[agent.prevRow][agent.prevCol].priority, "   ",
            agent.agentRow, ",", agent.agentCol,
            " Priotity current:", world[agent.agentRow][agent.agentCol].priority,
            "  Energy:", agent.energy);
}

void moveAgent() {
    const int32_t row = agent.agentRow;
    const int32_t col = agent.agentCol;
    int32_t weights[NEIGHBOUR_COUNT];
    int32_t total = 0;
    for (int k = 0; k < NEIGHBOUR_COUNT; ++k) {
        weights[k] = weightAt(row + ROW_STEP[k], col + COL_STEP[k]);
        total = wrapAdd(total, weights[k]);
    }
    const int32_t draw = drawRandom();

    agent.prevRow = row;
    agent.prevCol = col;
    world[row][col].kind = Empty;
    // A total of 0 leaves no roll to take; the agent stays, as when no neighbour is chosen.
    const Neighbour move = total == 0 ? NO_MOVE : chooseMove(weights, draw % total, row, col);
    if (move != NO_MOVE) {
        agent.agentRow = row + ROW_STEP[move];
        agent.agentCol = col + COL_STEP[move];
        noteVisited(agent.agentRow, agent.agentCol);
    }

    applyConsequences();
    agent.energy = wrapSub(agent.energy, params.stepCost);
    world[agent.agentRow][agent.agentCol].kind = Agent;
    writeStepLine();
}

void stepAgent() {
    moveAgent();
    regenerateItems();
}
