#include "sim/regenerate.h"

#include <cstring>

#include "sim/log.h"
#include "sim/random.h"
#include "sim/tally.h"
#include "sim/world.h"

constexpr int SIDE = LAST_INTERIOR - FIRST_INTERIOR + 1;
constexpr int SQUARES = SIDE * SIDE;
static_assert(SQUARES == MAX_SKIPPED_DRAWS, "a pass skips at most its own draws");

// Bit i stands for the i-th interior square in row-by-row order, the order of the pass's draws.
// A set bit means the square may be used up; a clear bit means it is not.
constexpr int WORD_BITS = 64;
static uint64_t usedUp[(SQUARES + WORD_BITS - 1) / WORD_BITS];

static void forget(int index) {
    usedUp[index / WORD_BITS] &= ~(uint64_t{1} << (index % WORD_BITS));
}

void noteUsedUp(int32_t row, int32_t col) {
    if (row < FIRST_INTERIOR || row > LAST_INTERIOR || col < FIRST_INTERIOR ||
        col > LAST_INTERIOR) {
        return;  // the border is never regenerated
    }
    const int index = (row - FIRST_INTERIOR) * SIDE + (col - FIRST_INTERIOR);
    usedUp[index / WORD_BITS] |= uint64_t{1} << (index % WORD_BITS);
}

void findUsedUpSquares() {
    std::memset(usedUp, 0, sizeof usedUp);
    for (int row = FIRST_INTERIOR; row <= LAST_INTERIOR; ++row) {
        for (int col = FIRST_INTERIOR; col <= LAST_INTERIOR; ++col) {
            if (world[row][col].kind != world[row][col].itemKind) {
                noteUsedUp(row, col);
            }
        }
    }
}

static void writeRestoredLine(int32_t row, int32_t col) {
    if (logStream == nullptr) {
        return;
    }
    logText("Item generated at:");
    logNumber(row);
    logText(",");
    logNumber(col);
    logEndLine();
}

// Every other square's draw is skipped, not taken: the generator ends where 2401 draws leave it.
void regenerateItems() {
    int drawsTaken = 0;
    for (int word = 0; word * WORD_BITS < SQUARES; ++word) {
        for (uint64_t bits = usedUp[word]; bits != 0; bits &= bits - 1) {
            const int index = word * WORD_BITS + __builtin_ctzll(bits);
            skipDraws(index - drawsTaken);
            const bool hit = drawHitsOne(params.regenRarity);
            drawsTaken = index + 1;

            const int32_t row = FIRST_INTERIOR + index / SIDE;
            const int32_t col = FIRST_INTERIOR + index % SIDE;
            Cell& cell = world[row][col];
            if (cell.kind == cell.itemKind) {
                forget(index);
                continue;
            }
            // The agent's own square cannot come back under it.
            if (!hit || cell.kind == Agent) {
                continue;
            }
            cell.kind = cell.itemKind;
            forget(index);
            writeRestoredLine(row, col);
            ++tally.itemsRestored;
        }
    }
    skipDraws(SQUARES - drawsTaken);
}
