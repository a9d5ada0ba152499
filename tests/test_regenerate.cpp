#include "sim/regenerate.h"
#include "sim/step.h"
#include "sim_test.h"

namespace {

// Used-up food everywhere, with the agent on one such square at (3, 4); row 7 still holds its
// poison and row 8 was generated empty.
class Regeneration : public SimTest {
protected:
    void prepare() {
        for (int row = 1; row <= 49; ++row) {
            for (int col = 1; col <= 49; ++col) {
                const int32_t item = row == 7 ? Poison : row == 8 ? Empty : Food;
                world[row][col] = {row == 7 ? Poison : Empty, row * 100 + col, item};
            }
        }
        world[3][4].kind = Agent;
        findUsedUpSquares();
    }
};

}  // namespace

// The lines a row-by-row pass must write, worked out from the draws in that order.
TEST_F(Regeneration, RestoresUsedUpItemsRowByRow) {
    for (int32_t modulus : {2, -2, 3}) {
        SCOPED_TRACE(modulus);
        prepare();
        params.regenRarity = modulus;
        seedRandom(42);
        std::string expected;
        for (int row = 1; row <= 49; ++row) {
            for (int col = 1; col <= 49; ++col) {
                const bool restorable = row != 7 && row != 8 && !(row == 3 && col == 4);
                if (drawRandom() % modulus == 1 && restorable) {
                    expected += "Item generated at:" + std::to_string(row) + "," +
                                std::to_string(col) + "\n";
                }
            }
        }
        const size_t before = logged().size();
        seedRandom(42);
        regenerateItems();
        EXPECT_EQ(logged().substr(before), expected);
        EXPECT_EQ(world[3][4].kind, Agent);
        for (int row = 1; row <= 49; ++row) {
            for (int col = 1; col <= 49; ++col) {
                const bool listed = expected.find(":" + std::to_string(row) + "," +
                                                  std::to_string(col) + "\n") != std::string::npos;
                ASSERT_EQ(world[row][col].kind == Food, listed) << row << "," << col;
                ASSERT_EQ(world[row][col].priority, row * 100 + col);
            }
        }
    }
}

TEST_F(Regeneration, TakesADrawForEverySquareWhateverTheModulus) {
    prepare();
    for (int32_t modulus : {0, 1, -1, 2, INT32_MIN, INT32_MAX}) {
        params.regenRarity = modulus;
        EXPECT_EQ(drawsTakenBy(9, regenerateItems), 2401) << modulus;
        if (modulus >= -1 && modulus <= 1) {
            EXPECT_EQ(logged(), "") << modulus;  // these never leave remainder 1
        }
    }
}

// The square just left can come back in the same step, its line after the step line.
TEST_F(Regeneration, TheSquareJustLeftCanComeBackAtOnce) {
    params.regenRarity = 2;
    uint32_t seed = 0;  // one whose draw for (20, 20) hits: after the move's and 950 others
    do {
        seedRandom(++seed);
        for (int i = 0; i < 951; ++i) {
            drawRandom();
        }
    } while (drawRandom() % 2 != 1);
    world[19][20].priority = 5;  // the only way out
    world[20][20] = {Agent, 0, Food};
    agent = {20, 20, 0, 0, 10, 0};
    seedRandom(seed);
    stepAgent();
    EXPECT_EQ(logged(),
              "0 - 20,20 Priotity previous:0   19,20 Priotity current:5  Energy:10\n"
              "Item generated at:20,20\n");
    EXPECT_EQ(world[20][20].kind, Food);
}
