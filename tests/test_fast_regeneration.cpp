#include <cstring>
#include <regex>

#include "literal_regeneration.h"
#include "sim/generate.h"
#include "sim/step.h"
#include "sim_test.h"

namespace {

struct Outcome {
    std::string log;
    World finalWorld;
    int32_t nextDraws[3];
};

// Runs `steps` steps from the file's world, with the fast pass or with the literal one.
class FastRegeneration : public SimTest {
protected:
    Outcome run(const std::string& text, uint32_t seed, int steps, bool literal) {
        startRun(seed, text);
        const size_t before = logged().size();
        for (int i = 0; i < steps; ++i) {
            if (literal) {
                moveAgent();
                regenerateItemsLiterally();
            } else {
                stepAgent();
            }
        }
        Outcome result;
        result.log = logged().substr(before);
        std::memcpy(result.finalWorld, world, sizeof world);
        for (int32_t& draw : result.nextDraws) {
            draw = drawRandom();
        }
        return result;
    }
};

// Energy that never runs out; the learning rule as shipped, so the agent roams and returns.
std::string paramText(int32_t foodRarity, int32_t poisonRarity, int32_t regenRarity) {
    const int32_t values[22] = {
        1000000, foodRarity, poisonRarity, 5,  5, 5, 12, 20, 6,      16, 6, 3,
        2,       1,          regenRarity,  12, 2, 1, 25, 10, 100000, 1};
    std::string text;
    for (int32_t value : values) {
        text += "p " + std::to_string(value) + "\n";
    }
    return text;
}

// How often a square came back in the same step that the agent left it.
int restoredAsLeft(const std::string& log) {
    static const std::regex pattern(
        R"(\d+ - (\d+),(\d+) Priotity[^\n]*\n(Item generated at:\d+,\d+\n)*?)"
        R"(Item generated at:\1,\2\n)");
    return static_cast<int>(std::distance(std::sregex_iterator(log.begin(), log.end(), pattern),
                                          std::sregex_iterator()));
}

}  // namespace

TEST_F(FastRegeneration, AgreesWithTheLiteralPassDrawForDraw) {
    const int32_t rarities[] = {0, 1, -1, 2, 3, 7, 32768, INT32_MIN, INT32_MAX};
    int restorations = 0;
    int sameStep = 0;
    for (int32_t regen : rarities) {
        for (int32_t items : {0, 2, 3, 4, -3, 40}) {
            for (uint32_t seed : {1u, 20261206u}) {
                SCOPED_TRACE(testing::Message()
                             << "regen " << regen << " items " << items << " seed " << seed);
                const std::string text = paramText(items, items == 3 ? 5 : items, regen);
                const Outcome fast = run(text, seed, 400, false);
                const Outcome literal = run(text, seed, 400, true);
                ASSERT_EQ(fast.log, literal.log);
                ASSERT_EQ(std::memcmp(fast.finalWorld, literal.finalWorld, sizeof(World)), 0);
                ASSERT_EQ(std::memcmp(fast.nextDraws, literal.nextDraws, sizeof fast.nextDraws), 0);
                for (size_t at = fast.log.find("Item"); at != std::string::npos;
                     at = fast.log.find("Item", at + 1)) {
                    ++restorations;
                }
                sameStep += restoredAsLeft(fast.log);
            }
        }
    }
    // The table must reach the cases that matter, or agreement proves little.
    EXPECT_GT(restorations, 1000);
    EXPECT_GT(sameStep, 100);
}

// Skipping k draws lands where k single draws do, for every k a pass can skip.
TEST(SkipDraws, LandsWhereSingleDrawsDo) {
    for (int count = 0; count <= MAX_SKIPPED_DRAWS; ++count) {
        seedRandom(0xDEADBEEFu);
        skipDraws(count);
        const int32_t skipped = drawRandom();
        seedRandom(0xDEADBEEFu);
        for (int i = 0; i < count; ++i) {
            drawRandom();
        }
        ASSERT_EQ(skipped, drawRandom()) << count;
    }
}
