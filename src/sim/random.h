// The process-wide random source: a linear congruential generator giving integers 0..32767.
#pragma once

#include <cstdint>

constexpr int32_t RANDOM_MAX = 32767;

// The most draws skipDraws passes over at once: one for every square of a regeneration pass.
constexpr int MAX_SKIPPED_DRAWS = 49 * 49;

void seedRandom(uint32_t seed);
int32_t drawRandom();

// Takes one draw and tells whether its remainder by `modulus` is 1. A modulus of 0 has no
// remainder and never hits, but its draw is still taken so that the sequence is unchanged.
bool drawHitsOne(int32_t modulus);

// Leaves the generator where `count` draws (0..MAX_SKIPPED_DRAWS) would, in constant time.
void skipDraws(int count);
