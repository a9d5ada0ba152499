#include "sim/consequences.h"

#include "sim/log.h"
#include "sim/tally.h"
#include "sim/world.h"
#include "sim/wrap.h"

// Four separate rules, in this order, each seeing the priorities the earlier ones left. When the
// agent did not move, `entered` and `left` are the same square, and its kind is Empty.
void applyConsequences() {
    Cell& entered = world[agent.agentRow][agent.agentCol];
    Cell& left = world[agent.prevRow][agent.prevCol];
    const int32_t enteredBefore = entered.priority;
    const int32_t leftBefore = left.priority;

    if (entered.kind == Food) {
        if (left.priority < params.previousPriorityCap) {
            left.priority = wrapAdd(left.priority, params.foodRewardPrevious);
        }
        if (entered.priority < params.currentPriorityCap) {
            entered.priority = wrapAdd(entered.priority, params.foodRewardCurrent);
        }
        logLine("Found food (+", params.foodEnergy, ")");
        ++tally.foodFound;
        agent.energy = wrapAdd(agent.energy, params.foodEnergy);
    }
    // A square still at the priority it was generated empty with has taught the agent nothing.
    if (entered.priority == params.emptyPriority) {
        entered.priority = wrapSub(entered.priority, params.bareStepPenaltyCurrent);
        left.priority = wrapSub(left.priority, params.bareStepPenaltyPrevious);
    }
    if (entered.kind == Poison) {
        entered.priority = wrapSub(entered.priority, params.poisonPenaltyCurrent);
        left.priority = wrapSub(left.priority, params.poisonPenaltyPrevious);
        logLine("Found poison (-", params.poisonEnergy, ")");
        ++tally.poisonFound;
        agent.energy = wrapSub(agent.energy, params.poisonEnergy);
    }
    // A well-rated square credits the way that led to it.
    if (entered.priority >= params.propagationThreshold &&
        left.priority < params.previousPriorityCap) {
        left.priority = wrapAdd(left.priority, params.propagationReward);
    }

    notePriorityChange(agent.agentRow, agent.agentCol, enteredBefore, entered.priority);
    if (&left != &entered) {  // the same square is counted once
        notePriorityChange(agent.prevRow, agent.prevCol, leftBefore, left.priority);
    }
}
