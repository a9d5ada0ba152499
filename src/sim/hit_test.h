// Whether a draw hits one by a modulus, as hitsOne tells, by a multiplication instead of a
// division, so that a pass can test several draws at once in the lanes of a vector.
#pragma once

#include <cstdint>

#include "sim/random.h"

// A draw hits when it is 1 more than a multiple of the divisor d, the modulus's size up to
// RANDOM_MAX + 1 (a larger one leaves every draw as its own remainder, as that one does). With
// m = ceil(2^32 / d), n is a multiple of d exactly when n * m, modulo 2^32, is below m, as long as
// n has no more bits than 32 less those of d: here n, the draw plus d - 1, has 16 and d 15 at
// most, and n is a multiple of d exactly when the draw hits. A modulus of 0, 1 or -1 never hits,
// and m = 0 passes nothing.
struct HitTest {
    uint32_t offset;      // d - 1
    uint32_t multiplier;  // m
};

constexpr HitTest hitTestFor(int32_t modulus) {
    const int64_t size = modulus < 0 ? -int64_t{modulus} : modulus;
    const uint32_t divisor = static_cast<uint32_t>(size < RANDOM_MAX + 1 ? size : RANDOM_MAX + 1);
    if (divisor <= 1) {
        return {0, 0};
    }
    return {divisor - 1, static_cast<uint32_t>(((uint64_t{1} << 32) + divisor - 1) / divisor)};
}

// Sets `hits` to nonzero where `draws` hit and to 0 elsewhere, lane by lane when they are vectors,
// which are taken by reference: passed by value, a vector wider than the registers of the
// processor the program is built for would change how calls pass it.
template <typename Draws>
void findHits(const HitTest& test, const Draws& draws, Draws& hits) {
    hits = static_cast<Draws>((draws + test.offset) * test.multiplier < test.multiplier);
}
