#include "sim/tally.h"

#include <cstring>

#include "sim/world.h"

RunTally tally;

constexpr int WORD_BITS = 64;
static uint64_t visited[(WORLD_SIZE * WORLD_SIZE + WORD_BITS - 1) / WORD_BITS];

static void countBands() {
    for (int row = FIRST_INTERIOR; row <= LAST_INTERIOR; ++row) {
        for (int col = FIRST_INTERIOR; col <= LAST_INTERIOR; ++col) {
            ++tally.squaresByBand[priorityBand(world[row][col].priority)];
        }
    }
}

void startTally(int32_t row, int32_t col) {
    tally = RunTally{};
    std::memset(visited, 0, sizeof visited);
    noteVisited(row, col);
    countBands();
}

void noteVisited(int32_t row, int32_t col) {
    const auto index = static_cast<uint32_t>(row * WORLD_SIZE + col);
    const uint64_t bit = uint64_t{1} << (index % WORD_BITS);
    uint64_t& word = visited[index / WORD_BITS];
    tally.squaresVisited += (word & bit) == 0;
    word |= bit;
}
