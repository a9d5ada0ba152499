// One step of the agent: the priority roulette, the move, its consequences and the step line.
#pragma once

#include <cstdint>

// The agent's four neighbours, in the order that lays out the roulette's intervals.
enum Neighbour { Up, Down, Left, Right, NEIGHBOUR_COUNT, NO_MOVE = NEIGHBOUR_COUNT };

// The neighbour a roll chooses for an agent at (row, col), or NO_MOVE. Neighbour k owns the
// rolls from the sum of the weights before it up to, not including, that sum plus its own
// weight; the first neighbour that owns the roll and lies within reach is taken.
Neighbour chooseMove(const int32_t weights[NEIGHBOUR_COUNT], int32_t roll, int32_t row,
                     int32_t col);

// The step up to its regeneration: the move, its consequences, the step cost and the step line.
void moveAgent();

// moveAgent, then the regeneration pass.
void stepAgent();
