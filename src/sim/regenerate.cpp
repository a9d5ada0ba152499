#include "sim/regenerate.h"

#include <algorithm>
#include <cstring>

#include "sim/log.h"
#include "sim/random.h"
#include "sim/tally.h"
#include "sim/world.h"

constexpr int SIDE = LAST_INTERIOR - FIRST_INTERIOR + 1;
constexpr int SQUARES = SIDE * SIDE;
static_assert(SQUARES == MAX_SKIPPED_DRAWS, "a pass skips or reads ahead at most its own draws");

// The interior squares whose item may be used up, each by its number in row-by-row order (the
// order of the pass's draws), listed in no order; placeInList holds one more than a square's
// place there, 0 when it is not listed, so that none is listed twice and any leaves at once.
static uint16_t usedUp[SQUARES + 1];  // and a place for one more, written but not counted
static int usedUpCount;
static uint16_t placeInList[SQUARES];

// Whether each draw 0..RANDOM_MAX brings a square back: whether it leaves remainder 1 by the
// rarity the table was made for. Made again whenever regenRarity is another, as it may be in a new
// run; all false is right for a rarity of 0, which never hits.
static bool hitDraws[RANDOM_MAX + 1];
static int32_t hitDrawsRarity = 0;

static void matchHitDrawsToRarity() {
    if (params.regenRarity == hitDrawsRarity) {
        return;
    }
    hitDrawsRarity = params.regenRarity;
    for (int32_t draw = 0; draw <= RANDOM_MAX; ++draw) {
        hitDraws[draw] = hitsOne(draw, hitDrawsRarity);
    }
}

static void forget(int square) {
    const int place = placeInList[square] - 1;
    const uint16_t last = usedUp[--usedUpCount];
    usedUp[place] = last;
    placeInList[last] = static_cast<uint16_t>(place + 1);
    placeInList[square] = 0;
}

// A square whose item is in place, the item generated empty included, is not noted.
void noteUsedUp(int32_t row, int32_t col) {
    if (row < FIRST_INTERIOR || row > LAST_INTERIOR || col < FIRST_INTERIOR ||
        col > LAST_INTERIOR) {
        return;  // the border is never regenerated
    }
    const int square = (row - FIRST_INTERIOR) * SIDE + (col - FIRST_INTERIOR);
    // Written as if it were listed, then counted only if it is: whether the agent has left a
    // used-up square is a matter of chance, and a branch on it would often be mispredicted.
    const bool listed =
        (world[row][col].kind != world[row][col].itemKind) & (placeInList[square] == 0);
    usedUp[usedUpCount] = static_cast<uint16_t>(square);
    placeInList[square] = static_cast<uint16_t>(listed ? usedUpCount + 1 : placeInList[square]);
    usedUpCount += listed;
}

void findUsedUpSquares() {
    usedUpCount = 0;
    std::memset(placeInList, 0, sizeof placeInList);
    for (int row = FIRST_INTERIOR; row <= LAST_INTERIOR; ++row) {
        for (int col = FIRST_INTERIOR; col <= LAST_INTERIOR; ++col) {
            noteUsedUp(row, col);
        }
    }
}

// The square's draw has hit: its item comes back unless it is in place or the agent stands on it.
static void restore(int square) {
    const int32_t row = FIRST_INTERIOR + square / SIDE;
    const int32_t col = FIRST_INTERIOR + square % SIDE;
    Cell& cell = world[row][col];
    // The agent's own square cannot come back under it.
    if (cell.kind == Agent) {
        return;
    }
    if (cell.kind != cell.itemKind) {
        cell.kind = cell.itemKind;
        logLine("Item generated at:", row, ",", col);
        ++tally.itemsRestored;
    }
    forget(square);
}

// Each listed square's draw is read where the pass would take it, without taking the draws
// before it; the other squares' draws are skipped, not taken: the generator ends where 2401 draws
// leave it. Squares come back in the pass's row-by-row order, the order of their lines.
void regenerateItems() {
    matchHitDrawsToRarity();
    const uint32_t state = randomStateNow();
    static uint16_t hit[SQUARES];
    int hitCount = 0;
    for (int i = 0; i < usedUpCount; ++i) {
        hit[hitCount] = usedUp[i];
        hitCount += hitDraws[drawAhead(state, usedUp[i] + 1)];
    }
    std::sort(hit, hit + hitCount);
    for (int i = 0; i < hitCount; ++i) {
        restore(hit[i]);
    }
    skipDraws(SQUARES);
}
