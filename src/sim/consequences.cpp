#include "sim/consequences.h"

#include "sim/log.h"
#include "sim/regenerate.h"
#include "sim/tally.h"
#include "sim/world.h"
#include "sim/wrap.h"

// Every priority the rule writes goes through here, so that the tally's bands follow it.
static void setPriority(Cell& cell, int32_t row, int32_t col, int32_t priority) {
    notePriorityChange(row, col, cell.priority, priority);
    cell.priority = priority;
}

// Four separate rules, in this order, each seeing the priorities the earlier ones left. When the
// agent did not move, `entered` and `left` are the same square, and its kind is Empty.
void applyConsequences() {
    const int32_t row = agent.agentRow, col = agent.agentCol;
    const int32_t prevRow = agent.prevRow, prevCol = agent.prevCol;
    Cell& entered = world[row][col];
    Cell& left = world[prevRow][prevCol];

    if (entered.kind == Food) {
        if (left.priority < params.previousPriorityCap) {
            setPriority(left, prevRow, prevCol, wrapAdd(left.priority, params.foodRewardPrevious));
        }
        if (entered.priority < params.currentPriorityCap) {
            setPriority(entered, row, col, wrapAdd(entered.priority, params.foodRewardCurrent));
        }
        noteUsedUp(row, col);
        logLine("Found food (+", params.foodEnergy, ")");
        ++tally.foodFound;
        agent.energy = wrapAdd(agent.energy, params.foodEnergy);
    }
    // A square still at the priority it was generated empty with has taught the agent nothing.
    if (entered.priority == params.emptyPriority) {
        setPriority(entered, row, col, wrapSub(entered.priority, params.bareStepPenaltyCurrent));
        setPriority(left, prevRow, prevCol, wrapSub(left.priority, params.bareStepPenaltyPrevious));
    }
    if (entered.kind == Poison) {
        setPriority(entered, row, col, wrapSub(entered.priority, params.poisonPenaltyCurrent));
        setPriority(left, prevRow, prevCol, wrapSub(left.priority, params.poisonPenaltyPrevious));
        noteUsedUp(row, col);
        logLine("Found poison (-", params.poisonEnergy, ")");
        ++tally.poisonFound;
        agent.energy = wrapSub(agent.energy, params.poisonEnergy);
    }
    // A well-rated square credits the way that led to it.
    if (entered.priority >= params.propagationThreshold &&
        left.priority < params.previousPriorityCap) {
        setPriority(left, prevRow, prevCol, wrapAdd(left.priority, params.propagationReward));
    }
}
