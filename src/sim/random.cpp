#include "sim/random.h"

static uint32_t randomState;

void seedRandom(uint32_t seed) {
    randomState = seed;
}

int32_t drawRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int32_t>((randomState >> 16) & 0x7FFF);
}

bool drawHitsOne(int32_t modulus) {
    const int32_t draw = drawRandom();
    // A draw is never negative, so even INT32_MIN and -1 divide it without overflow.
    return modulus != 0 && draw % modulus == 1;
}
