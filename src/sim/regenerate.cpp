#include "sim/regenerate.h"

#include <cstring>

#include "sim/log.h"
#include "sim/random.h"
#include "sim/tally.h"
#include "sim/world.h"

constexpr int SIDE = LAST_INTERIOR - FIRST_INTERIOR + 1;
constexpr int SQUARES = SIDE * SIDE;
static_assert(SQUARES == MAX_SKIPPED_DRAWS, "a pass skips or reads ahead at most its own draws");

// Bit i stands for the i-th interior square in row-by-row order, the order of the pass's draws.
// A set bit means the square may be used up; a clear bit means it is not.
constexpr unsigned WORD_BITS = 64;
constexpr unsigned USED_UP_WORDS = (SQUARES + WORD_BITS - 1) / WORD_BITS;
static uint64_t usedUp[USED_UP_WORDS];

// Bit w is set when word w of usedUp may hold a set bit. The pass looks at those words alone, so
// that its cost follows the squares used up, not the size of the world.
static uint64_t wordsInUse;
static_assert(USED_UP_WORDS <= WORD_BITS, "a bit for every word of usedUp");

// Bit d is set when draw d brings a square back: when it leaves remainder 1 by the rarity the
// table was made for. Made again whenever regenRarity is another, as it may be in a new run; all
// clear is right for a rarity of 0, which never hits.
static uint64_t hitDraws[(RANDOM_MAX + 1) / WORD_BITS];
static int32_t hitDrawsRarity = 0;

static void setBit(uint64_t* words, unsigned index) {
    words[index / WORD_BITS] |= uint64_t{1} << (index % WORD_BITS);
}

static void matchHitDrawsToRarity() {
    if (params.regenRarity == hitDrawsRarity) {
        return;
    }
    hitDrawsRarity = params.regenRarity;
    std::memset(hitDraws, 0, sizeof hitDraws);
    for (int32_t draw = 0; draw <= RANDOM_MAX; ++draw) {
        if (hitsOne(draw, hitDrawsRarity)) {
            setBit(hitDraws, static_cast<unsigned>(draw));
        }
    }
}

// The draw that square `index` would take in this pass hits.
static bool drawHitsFor(unsigned index) {
    const auto draw = static_cast<unsigned>(drawAhead(static_cast<int>(index) + 1));
    return ((hitDraws[draw / WORD_BITS] >> (draw % WORD_BITS)) & 1) != 0;
}

// A square whose item is in place, the item generated empty included, is not noted.
void noteUsedUp(int32_t row, int32_t col) {
    if (row < FIRST_INTERIOR || row > LAST_INTERIOR || col < FIRST_INTERIOR ||
        col > LAST_INTERIOR) {
        return;  // the border is never regenerated
    }
    if (world[row][col].kind == world[row][col].itemKind) {
        return;
    }
    const auto index =
        static_cast<unsigned>((row - FIRST_INTERIOR) * SIDE + (col - FIRST_INTERIOR));
    setBit(usedUp, index);
    setBit(&wordsInUse, index / WORD_BITS);
}

void findUsedUpSquares() {
    std::memset(usedUp, 0, sizeof usedUp);
    wordsInUse = 0;
    for (int row = FIRST_INTERIOR; row <= LAST_INTERIOR; ++row) {
        for (int col = FIRST_INTERIOR; col <= LAST_INTERIOR; ++col) {
            noteUsedUp(row, col);
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

// Square `index`'s draw has hit: its item comes back unless it is in place or the agent stands
// on it. Returns whether it is still used up.
static bool restore(unsigned index) {
    const int32_t row = FIRST_INTERIOR + static_cast<int32_t>(index / SIDE);
    const int32_t col = FIRST_INTERIOR + static_cast<int32_t>(index % SIDE);
    Cell& cell = world[row][col];
    if (cell.kind == cell.itemKind) {
        return false;
    }
    // The agent's own square cannot come back under it.
    if (cell.kind == Agent) {
        return true;
    }
    cell.kind = cell.itemKind;
    writeRestoredLine(row, col);
    ++tally.itemsRestored;
    return false;
}

// A square's draw is read where the pass would take it, without taking the draws before it; the
// other squares' draws are skipped, not taken: the generator ends where 2401 draws leave it.
void regenerateItems() {
    matchHitDrawsToRarity();
    for (uint64_t words = wordsInUse; words != 0; words &= words - 1) {
        const auto word = static_cast<unsigned>(__builtin_ctzll(words));
        for (uint64_t bits = usedUp[word]; bits != 0; bits &= bits - 1) {
            const uint64_t bit = bits & (0 - bits);
            const unsigned index = word * WORD_BITS + static_cast<unsigned>(__builtin_ctzll(bit));
            if (drawHitsFor(index) && !restore(index)) {
                usedUp[word] &= ~bit;
            }
        }
        if (usedUp[word] == 0) {
            wordsInUse &= ~(uint64_t{1} << word);
        }
    }
    skipDraws(SQUARES);
}
