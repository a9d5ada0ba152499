#include "sim/regenerate.h"

#include <algorithm>
#include <cstring>

#include "sim/hit_test.h"
#include "sim/log.h"
#include "sim/random.h"
#include "sim/tally.h"
#include "sim/world.h"

constexpr int SIDE = LAST_INTERIOR - FIRST_INTERIOR + 1;
constexpr int SQUARES = SIDE * SIDE;
static_assert(SQUARES == MAX_SKIPPED_DRAWS, "a pass skips or reads ahead at most its own draws");

// A pass tests the draws of LANES listed squares at once, in the lanes of a vector. On x86-64
// the program has the test built twice, once for processors with AVX2, which multiply all the
// lanes in one instruction, and takes the one that the processor runs when it starts.
constexpr int LANES = 8;
using Lanes = uint32_t __attribute__((vector_size(LANES * sizeof(uint32_t))));
#if defined(__x86_64__)
#define BUILT_FOR_AVX2_TOO __attribute__((target_clones("avx2", "default")))
#else
#define BUILT_FOR_AVX2_TOO
#endif

// The interior squares whose item may be used up, each by its number in row-by-row order (the
// order of the pass's draws) beside the jump that reads its draw ahead, kept in three arrays of
// the same order, listed in no order, so that a pass reads them from end to end; placeInList
// holds one more than a square's place there, 0 when it is not listed, so that none is listed
// twice and any leaves at once. The jumps past the last listed square, up to the end of its
// vector, are all zero: they lead every state to 0, whose draw never hits.
static uint16_t usedUp[SQUARES + LANES];
static uint32_t jumpMultipliers[SQUARES + LANES];
static uint32_t jumpIncrements[SQUARES + LANES];
static int usedUpCount;
static uint16_t placeInList[SQUARES];

static void list(int place, int square, const RandomJump& jump) {
    usedUp[place] = static_cast<uint16_t>(square);
    jumpMultipliers[place] = jump.multiplier;
    jumpIncrements[place] = jump.increment;
}

static void forget(int square) {
    const int place = placeInList[square] - 1;
    const int last = --usedUpCount;
    list(place, usedUp[last], {jumpMultipliers[last], jumpIncrements[last]});
    placeInList[usedUp[last]] = static_cast<uint16_t>(place + 1);
    placeInList[square] = 0;
    list(last, 0, {0, 0});
}

void noteUsedUp(int32_t row, int32_t col) {
    if (row < FIRST_INTERIOR || row > LAST_INTERIOR || col < FIRST_INTERIOR ||
        col > LAST_INTERIOR) {
        return;  // the border holds no item
    }
    const int square = (row - FIRST_INTERIOR) * SIDE + (col - FIRST_INTERIOR);
    if (placeInList[square] == 0) {
        list(usedUpCount, square, RANDOM_JUMPS[static_cast<std::size_t>(square + 1)]);
        placeInList[square] = static_cast<uint16_t>(++usedUpCount);
    }
}

void findUsedUpSquares() {
    usedUpCount = 0;
    std::memset(placeInList, 0, sizeof placeInList);
    std::memset(jumpMultipliers, 0, sizeof jumpMultipliers);
    std::memset(jumpIncrements, 0, sizeof jumpIncrements);
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

template <typename Vector>
static bool anyLane(const Vector& lanes) {
    uint64_t words[sizeof lanes / sizeof(uint64_t)];
    std::memcpy(words, &lanes, sizeof lanes);
    uint64_t any = 0;
    for (uint64_t word : words) {
        any |= word;
    }
    return any != 0;
}

static int32_t hitTestRarity = 0;
static HitTest hitTest = hitTestFor(0);
static uint16_t hitSquares[SQUARES];

// Squares come back in the pass's row-by-row order, the order of their lines. Apart from the
// pass, which seldom has any to restore, so that the pass keeps its few values in registers.
__attribute__((noinline)) static void restoreHitSquares(int count) {
    if (count > 1) {
        std::sort(hitSquares, hitSquares + count);
    }
    for (int i = 0; i < count; ++i) {
        restore(hitSquares[i]);
    }
}

// Each listed square's draw is read where the pass would take it, without taking the draws
// before it.
BUILT_FOR_AVX2_TOO static void restoreListedThatHit(uint32_t state) {
    if (params.regenRarity != hitTestRarity) {  // a new run's: its division is done once a run
        hitTestRarity = params.regenRarity;
        hitTest = hitTestFor(hitTestRarity);
    }
    int hitCount = 0;
    for (int first = 0; first < usedUpCount; first += LANES) {
        Lanes multipliers, increments;
        std::memcpy(&multipliers, &jumpMultipliers[first], sizeof multipliers);
        std::memcpy(&increments, &jumpIncrements[first], sizeof increments);
        const Lanes states = multipliers * state + increments;
        Lanes hits;
        findHits(hitTest, (states >> 16) & RANDOM_MAX, hits);
        if (anyLane(hits)) {
            for (int lane = 0; lane < LANES; ++lane) {
                hitSquares[hitCount] = usedUp[first + lane];
                hitCount += hits[lane] != 0;
            }
        }
    }
    if (hitCount != 0) {
        restoreHitSquares(hitCount);
    }
}

// The other squares' draws are skipped, not taken: the generator ends where 2401 draws leave it.
// A run that keeps nothing used up, as a stuck agent's does, has no draw to read ahead.
void regenerateItems() {
    if (usedUpCount != 0) {
        restoreListedThatHit(randomStateNow());
    }
    skipDraws(SQUARES);
}
