// The process-wide random source: a linear congruential generator giving integers 0..32767.
#pragma once

#include <cstdint>

constexpr int32_t RANDOM_MAX = 32767;

// The most draws skipDraws passes over, or drawAhead looks ahead, at once: one for every square
// of a regeneration pass.
constexpr int MAX_SKIPPED_DRAWS = 49 * 49;

void seedRandom(uint32_t seed);
int32_t drawRandom();

// Whether `draw` leaves remainder 1 by `modulus`. A modulus of 0 has no remainder and never hits.
bool hitsOne(int32_t draw, int32_t modulus);

// Takes one draw and tells whether it hits one by `modulus`; a modulus of 0 still takes its draw,
// so that the sequence is unchanged.
bool drawHitsOne(int32_t modulus);

// Leaves the generator where `count` draws (0..MAX_SKIPPED_DRAWS) would, in constant time.
void skipDraws(int count);

// The draw that would come `ahead` draws from now (1..MAX_SKIPPED_DRAWS; 1 is the next one),
// without taking any.
int32_t drawAhead(int ahead);
