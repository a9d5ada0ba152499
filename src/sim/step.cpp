#include "sim/step.h"

#include "sim/consequences.h"
#include "sim/log.h"
#include "sim/random.h"
#include "sim/regenerate.h"
#include "sim/tally.h"
#include "sim/world.h"
#include "sim/wrap.h"

// Bit k: neighbour k of (row, col), rows and columns 0..49, lies within reach. The agent may walk
// onto row or column 0 but never past 49, so it never enters row or column 50.
static unsigned neighboursWithinReach(int32_t row, int32_t col) {
    return unsigned{row > 0} << Up | unsigned{row < LAST_INTERIOR} << Down |
           unsigned{col > 0} << Left | unsigned{col < LAST_INTERIOR} << Right;
}

// Bit k: the roll lies below the sum of the weights of the neighbours up to k.
static unsigned rollBelowSums(const int32_t weights[NEIGHBOUR_COUNT], int32_t roll) {
    unsigned below = 0;
    int32_t sum = 0;
    for (int k = 0; k < NEIGHBOUR_COUNT; ++k) {
        sum = wrapAdd(sum, weights[k]);
        below |= static_cast<unsigned>(roll < sum) << k;
    }
    return below;
}

// Neighbour k owns the roll when it lies below k's sum and not below the sum before it, 0
// before the first. Every neighbour is looked at and the first owner taken from bits: the choice
// is a random one, which a branch per neighbour would mispredict.
Neighbour chooseMove(const int32_t weights[NEIGHBOUR_COUNT], int32_t roll, int32_t row,
                     int32_t col) {
    const unsigned below = rollBelowSums(weights, roll);
    const unsigned owners =
        below & ~(below << 1 | static_cast<unsigned>(roll < 0)) & neighboursWithinReach(row, col);
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
    // Row -1 and column -1 lie outside the world; they weigh 0, as the untouched border does.
    // Row and column 50 are border.
    const int32_t weights[NEIGHBOUR_COUNT] = {
        row > 0 ? world[row - 1][col].priority : 0, world[row + 1][col].priority,
        col > 0 ? world[row][col - 1].priority : 0, world[row][col + 1].priority};
    const int32_t total =
        wrapAdd(wrapAdd(weights[Up], weights[Down]), wrapAdd(weights[Left], weights[Right]));
    const int32_t draw = drawRandom();

    agent.prevRow = row;
    agent.prevCol = col;
    world[row][col].kind = Empty;
    // A total of 0 leaves no roll to take; the agent stays, as when no neighbour is chosen.
    // Otherwise the move is the one chooseMove gives, found in fewer operations: a step cannot
    // start before the one before it knows where the agent stands. A roll is never below 0, so
    // that the first neighbour whose sum lies above it owns it, and a neighbour out of reach
    // weighs 0 here and owns no roll. That neighbour's bit alone is turned into the move without
    // reading a table.
    const unsigned below = total == 0 ? 0 : rollBelowSums(weights, draw % total);
    if (below != 0) {
        const unsigned first = below & (0u - below);
        const auto bit = [first](Neighbour k) { return static_cast<int32_t>(first >> k & 1); };
        agent.agentRow = row + bit(Down) - bit(Up);
        agent.agentCol = col + bit(Right) - bit(Left);
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
