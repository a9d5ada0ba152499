#include "sim/regenerate.h"
#include "sim/step.h"
#include "sim_test.h"

namespace {

class Regeneration : public SimTest {
protected:
    // Used-up food everywhere, except row 7, still holding its poison, and row 8, generated
    // empty; the agent stands on used-up food at (3, 4).
    void SetUp() override {
        SimTest::SetUp();
        prepare();
    }
    void prepare() {
        for (int row = 1; row <= 49; ++row) {
            for (int col = 1; col <= 49; ++col) {
                world[row][col] = {Empty, row * 100 + col, Food};
            }
        }
        for (int col = 1; col <= 49; ++col) {
            world[7][col] = {Poison, 0, Poison};
            world[8][col] = {Empty, 0, Empty};
        }
        world[3][4].kind = Agent;
    }

    // The lines a row-by-row pass should write: one for each used-up item off the agent's
    // square whose draw leaves remainder 1.
    std::string expectedLines(uint32_t seed, int32_t modulus) {
        seedRandom(seed);
        std::string lines;
        for (int row = 1; row <= 49; ++row) {
            for (int col = 1; col <= 49; ++col) {
                const bool hit = drawRandom() % modulus == 1;
                if (hit && row != 7 && row != 8 && !(row == 3 && col == 4)) {
                    lines += "Item generated at:" + std::to_string(row) + "," +
                             std::to_string(col) + "\n";
                }
            }
        }
        return lines;
    }
};

}  // namespace

TEST_F(Regeneration, RestoresUsedUpItemsRowByRow) {
    for (int32_t modulus : {2, -2, 3}) {
        SCOPED_TRACE(modulus);
        prepare();
        params.regenRarity = modulus;
        const std::string expected = expectedLines(42, modulus);
        const size_t before = logged().size();
        seedRandom(42);
        regenerateItems();
        EXPECT_EQ(logged().substr(before), expected);
    }
}

TEST_F(Regeneration, ARestoredSquareKeepsItsPriority) {
    params.regenRarity = 2;
    regenerateItems();
    int restored = 0;
    for (int row = 1; row <= 49; ++row) {
        for (int col = 1; col <= 49; ++col) {
            restored += world[row][col].kind == Food;
            EXPECT_EQ(world[row][col].priority, row == 7 || row == 8 ? 0 : row * 100 + col);
        }
    }
    EXPECT_NEAR(restored, 47 * 49 / 2, 150);
    EXPECT_EQ(world[3][4].kind, Agent);
}

TEST_F(Regeneration, TakesADrawForEverySquareWhateverTheModulus) {
    for (int32_t modulus : {0, 1, -1, 2, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(modulus);
        params.regenRarity = modulus;
        EXPECT_EQ(drawsTakenBy(9, regenerateItems), 2401);
    }
}

TEST_F(Regeneration, ModuliThatNeverRestore) {
    for (int32_t modulus : {0, 1, -1}) {
        params.regenRarity = modulus;
        regenerateItems();
    }
    EXPECT_EQ(logged(), "");
    EXPECT_EQ(world[1][1].kind, Empty);
}

// The square just left can come back in the same step, its line after the step line.
TEST_F(Regeneration, TheSquareJustLeftCanComeBackAtOnce) {
    params.regenRarity = 2;
    // The step's draws: one for the move, then square (20, 20) is the 951st of the pass.
    uint32_t seed = 0;
    for (;; ++seed) {
        seedRandom(seed);
        for (int i = 0; i < 951; ++i) {
            drawRandom();
        }
        if (drawRandom() % 2 == 1) {
            break;
        }
    }
    for (int row = 1; row <= 49; ++row) {
        for (int col = 1; col <= 49; ++col) {
            world[row][col] = {Empty, row == 19 && col == 20 ? 5 : 0, Empty};
        }
    }
    world[20][20] = {Agent, 0, Food};
    agent = {20, 20, 0, 0, 10, 0};
    seedRandom(seed);
    stepAgent();
    EXPECT_EQ(logged(),
              "0 - 20,20 Priotity previous:0   19,20 Priotity current:5  Energy:10\n"
              "Item generated at:20,20\n");
    EXPECT_EQ(world[20][20].kind, Food);
}
