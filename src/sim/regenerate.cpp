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
// order of the pass's draws) and with the jump that reads its draw ahead, listed in no order, so
// that a pass reads its list from end to end; placeInList holds one more than a square's place
// there, 0 when it is not listed, so that none is listed twice and any leaves at once.
struct UsedUpSquare {
    RandomJump jumpToDraw;
    int square;
};
static UsedUpSquare usedUp[SQUARES];
static int usedUpCount;
static uint16_t placeInList[SQUARES];

// Whether each draw 0..RANDOM_MAX brings a square back, one bit a draw: whether it leaves
// remainder 1 by the rarity the table was made for. Made again whenever regenRarity is another,
// as it may be in a new run; all clear is right for a rarity of 0, which never hits. A bit a draw
// rather than a byte keeps it small enough to stay in the nearest cache beside the world.
constexpr int DRAW_WORD_BITS = 64;
static uint64_t hitDraws[(RANDOM_MAX + 1) / DRAW_WORD_BITS];
static int32_t hitDrawsRarity = 0;

static bool hits(int32_t draw) {
    const auto bit = static_cast<uint32_t>(draw);  // unsigned: a draw is never negative
    return (hitDraws[bit / DRAW_WORD_BITS] >> (bit % DRAW_WORD_BITS)) & 1;
}

static void matchHitDrawsToRarity() {
    if (params.regenRarity == hitDrawsRarity) {
        return;
    }
    hitDrawsRarity = params.regenRarity;
    std::memset(hitDraws, 0, sizeof hitDraws);
    for (uint32_t draw = 0; draw <= RANDOM_MAX; ++draw) {
        hitDraws[draw / DRAW_WORD_BITS] |=
            uint64_t{hitsOne(static_cast<int32_t>(draw), hitDrawsRarity)}
            << (draw % DRAW_WORD_BITS);
    }
}

static void forget(int square) {
    const int place = placeInList[square] - 1;
    const UsedUpSquare last = usedUp[--usedUpCount];
    usedUp[place] = last;
    placeInList[last.square] = static_cast<uint16_t>(place + 1);
    placeInList[square] = 0;
}

void noteUsedUp(int32_t row, int32_t col) {
    if (row < FIRST_INTERIOR || row > LAST_INTERIOR || col < FIRST_INTERIOR ||
        col > LAST_INTERIOR) {
        return;  // the border holds no item
    }
    const int square = (row - FIRST_INTERIOR) * SIDE + (col - FIRST_INTERIOR);
    if (placeInList[square] == 0) {
        usedUp[usedUpCount] = {RANDOM_JUMPS[static_cast<std::size_t>(square + 1)], square};
        placeInList[square] = static_cast<uint16_t>(++usedUpCount);
    }
}

void findUsedUpSquares() {
    usedUpCount = 0;
    std::memset(placeInList, 0, sizeof placeInList);
    for (int row = FIRST_INTERIOR; row <= LAST_INTERIOR; ++row) {
        for (int col = FIRST_INTERIOR; col <= LAST_INTERIOR; ++col) {
            const Cell& cell = world[row][col];
            // The item under the agent goes when the agent leaves.
            const bool underAgent = row == agent.agentRow && col == agent.agentCol;
            if (cell.kind != cell.itemKind || (underAgent && cell.itemKind != Empty)) {
                noteUsedUp(row, col);
            }
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
        const UsedUpSquare& listed = usedUp[i];
        hit[hitCount] = static_cast<uint16_t>(listed.square);
        hitCount += hits(drawOf(jumpFrom(state, listed.jumpToDraw)));
    }
    if (hitCount > 1) {
        std::sort(hit, hit + hitCount);
    }
    for (int i = 0; i < hitCount; ++i) {
        restore(hit[i]);
    }
    skipDraws(SQUARES);
}
