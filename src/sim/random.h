// The process-wide random source: a linear congruential generator giving integers 0..32767.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int32_t RANDOM_MAX = 32767;

constexpr uint32_t RANDOM_MULTIPLIER = 214013u;
constexpr uint32_t RANDOM_INCREMENT = 2531011u;

// The most draws skipDraws passes over, or a jump looks ahead, at once: one for every square
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

// The generator's state now: a pass that reads many draws ahead reads it once.
uint32_t randomStateNow();

// k draws turn the state s into MULTIPLIER^k * s + INCREMENT * (1 + MULTIPLIER + ... +
// MULTIPLIER^(k-1)), modulo 2^32: one multiplication and one addition, whatever k is.
struct RandomJump {
    uint32_t multiplier;
    uint32_t increment;
};

constexpr std::array<RandomJump, MAX_SKIPPED_DRAWS + 1> makeRandomJumps() {
    std::array<RandomJump, MAX_SKIPPED_DRAWS + 1> jumps{};
    jumps[0] = {1u, 0u};
    for (std::size_t k = 1; k < jumps.size(); ++k) {
        jumps[k] = {jumps[k - 1].multiplier * RANDOM_MULTIPLIER,
                    jumps[k - 1].increment * RANDOM_MULTIPLIER + RANDOM_INCREMENT};
    }
    return jumps;
}

inline constexpr std::array<RandomJump, MAX_SKIPPED_DRAWS + 1> RANDOM_JUMPS = makeRandomJumps();

// The state that `jump` leads to from `state`.
inline uint32_t jumpFrom(uint32_t state, const RandomJump& jump) {
    return state * jump.multiplier + jump.increment;
}

// The draw a state gives: its bits 16..30.
inline int32_t drawOf(uint32_t state) {
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
}
