#include "sim_test.h"

// The generator's widely published first outputs for seed 1.
TEST(Random, FirstDrawsForSeedOne) {
    seedRandom(1);
    for (int32_t expected : {41, 18467, 6334, 26500, 19169}) {
        EXPECT_EQ(drawRandom(), expected);
    }
}

// Remainder 1 hits, whatever the modulus's sign; 0 never hits. Every modulus takes one draw.
TEST(Random, DrawHitsOneForEveryModulus) {
    struct Case {
        int32_t modulus, draw;
        bool hits;
    } cases[] = {
        {2, 7, true},         {2, 8, false},         {-2, 7, true},         {3, 4, true},
        {3, 3, false},        {1, 1, false},         {-1, 1, false},        {0, 1, false},
        {0, 0, false},        {32768, 1, true},      {32768, 32767, false}, {INT32_MIN, 1, true},
        {INT32_MAX, 1, true}, {INT32_MAX, 0, false},
    };
    for (const Case& c : cases) {
        seedForNextDraw(c.draw);
        EXPECT_EQ(drawHitsOne(c.modulus), c.hits) << c.modulus << " " << c.draw;
        EXPECT_EQ(drawsTakenBy(7, [&] { drawHitsOne(c.modulus); }), 1);
    }
}
