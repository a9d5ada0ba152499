#include "sim/random.h"

#include <array>
#include <cstddef>

constexpr uint32_t MULTIPLIER = 214013u;
constexpr uint32_t INCREMENT = 2531011u;

static uint32_t randomState;

// k draws turn the state s into MULTIPLIER^k * s + INCREMENT * (1 + MULTIPLIER + ... +
// MULTIPLIER^(k-1)), modulo 2^32: one multiplication and one addition, whatever k is.
struct Jump {
    uint32_t multiplier;
    uint32_t increment;
};

static constexpr std::array<Jump, MAX_SKIPPED_DRAWS + 1> makeJumps() {
    std::array<Jump, MAX_SKIPPED_DRAWS + 1> jumps{};
    jumps[0] = {1u, 0u};
    for (int k = 1; k <= MAX_SKIPPED_DRAWS; ++k) {
        jumps[k] = {jumps[k - 1].multiplier * MULTIPLIER,
                    jumps[k - 1].increment * MULTIPLIER + INCREMENT};
    }
    return jumps;
}

static constexpr std::array<Jump, MAX_SKIPPED_DRAWS + 1> JUMPS = makeJumps();

void seedRandom(uint32_t seed) {
    randomState = seed;
}

// The draw a state gives: its bits 16..30.
static int32_t drawOf(uint32_t state) {
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
}

int32_t drawRandom() {
    randomState = randomState * MULTIPLIER + INCREMENT;
    return drawOf(randomState);
}

bool hitsOne(int32_t draw, int32_t modulus) {
    // A draw is never negative, so even INT32_MIN and -1 divide it without overflow.
    return modulus != 0 && draw % modulus == 1;
}

bool drawHitsOne(int32_t modulus) {
    return hitsOne(drawRandom(), modulus);
}

void skipDraws(int count) {
    const Jump& jump = JUMPS[static_cast<std::size_t>(count)];
    randomState = randomState * jump.multiplier + jump.increment;
}

int32_t drawAhead(int ahead) {
    const Jump& jump = JUMPS[static_cast<std::size_t>(ahead)];
    return drawOf(randomState * jump.multiplier + jump.increment);
}
