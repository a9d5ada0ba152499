#include "sim/random.h"

static uint32_t randomState;

void seedRandom(uint32_t seed) {
    randomState = seed;
}

int32_t drawRandom() {
    randomState = randomState * RANDOM_MULTIPLIER + RANDOM_INCREMENT;
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
    randomState = jumpFrom(randomState, RANDOM_JUMPS[static_cast<std::size_t>(count)]);
}

uint32_t randomStateNow() {
    return randomState;
}
