// The simulation's data: the grid, what each square holds, the agent and the run's parameters.
// All of it is process-global and lives for the whole run.
#pragma once

#include <cstddef>
#include <cstdint>

enum CellKind : int32_t { Empty = 0, Agent = 1, Food = 2, Poison = 3 };

struct Cell {
    int32_t kind;      // a CellKind: what occupies the square now
    int32_t priority;  // what the agent has learned of the square; unbounded
    int32_t itemKind;  // the CellKind placed at generation, put back by regeneration
};

// Rows and columns 0..50; only 1..49 are generated, drawn and regenerated. The rest is a border
// of priority 0, which the roulette never chooses, so it acts as a wall.
constexpr int WORLD_SIZE = 51;
constexpr int FIRST_INTERIOR = 1;
constexpr int LAST_INTERIOR = 49;
using World = Cell[WORLD_SIZE][WORLD_SIZE];

// The parameter file's 22 values, in the file's order.
struct SimParams {
    int32_t initialEnergy;
    int32_t foodRarity;  // stored minus one
    int32_t poisonRarity;
    int32_t foodPriority;
    int32_t poisonPriority;
    int32_t emptyPriority;
    int32_t foodRewardCurrent;
    int32_t currentPriorityCap;
    int32_t foodRewardPrevious;
    int32_t previousPriorityCap;
    int32_t poisonPenaltyCurrent;
    int32_t poisonPenaltyPrevious;
    int32_t bareStepPenaltyCurrent;
    int32_t bareStepPenaltyPrevious;
    int32_t regenRarity;
    int32_t propagationThreshold;
    int32_t propagationReward;
    int32_t stepCost;
    int32_t foodEnergy;
    int32_t poisonEnergy;
    int32_t maxSteps;
    int32_t startupDrawFlag;  // read and kept; nothing uses it
};

constexpr int PARAM_COUNT = 22;
static_assert(sizeof(SimParams) == PARAM_COUNT * sizeof(int32_t) &&
                  offsetof(SimParams, startupDrawFlag) == (PARAM_COUNT - 1) * sizeof(int32_t),
              "SimParams is filled from the file's values in order");

struct AgentState {
    int32_t agentRow, agentCol;  // the agent's square
    int32_t prevRow, prevCol;    // its square before the current step
    int32_t energy;
    int32_t stepCount;
};

extern World world;
extern SimParams params;
extern AgentState agent;
