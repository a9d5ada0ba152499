// Used-up food and poison come back at random after every step.
#pragma once

// One draw per interior square, row by row, whatever the world holds.
void regenerateItems();
