// Used-up food and poison come back at random after every step.
#pragma once

#include <cstdint>

// One draw per interior square, row by row, whatever the world holds: a square whose item is
// used up and that the agent does not stand on gets its item back when its draw hits.
void regenerateItems();

// Only used-up squares can come back, so regeneration keeps a note of them instead of looking
// at every square. The learning rule notes each square whose item the agent finds, when it finds
// it; whatever changes the world in another way has the notes found afresh, the item under the
// agent among the used up, since it goes when the agent leaves.
void noteUsedUp(int32_t row, int32_t col);  // an interior square
void findUsedUpSquares();
