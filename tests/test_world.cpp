#include "sim/generate.h"
#include "sim_test.h"

namespace {

class WorldGeneration : public SimTest {
protected:
    // Generates from `seed` with the file's values for parameters 1..6; the rest are 0.
    void generate(uint32_t seed, int32_t energy, int32_t foodRarity, int32_t poisonRarity,
                  int32_t foodPriority = 8, int32_t poisonPriority = 2, int32_t emptyPriority = 5) {
        std::string text;
        for (int32_t v :
             {energy, foodRarity, poisonRarity, foodPriority, poisonPriority, emptyPriority}) {
            text += "p " + std::to_string(v) + "\n";
        }
        for (int i = 6; i < PARAM_COUNT; ++i) {
            text += "q 0\n";
        }
        std::FILE* file = fileWith(text);
        initWorldFrom(seed, file);
        std::fclose(file);
    }
    int countKind(int32_t kind) {
        int n = 0;
        for (int row = 1; row <= 49; ++row) {
            for (int col = 1; col <= 49; ++col) {
                n += world[row][col].kind == kind;
            }
        }
        return n;
    }
};

}  // namespace

// With seed 1 the draws are 41, 18467, 6334, 26500, 19169: the start square takes the first
// two, square (1, 1) the next two, and square (2, 1), the next of column 1, the fifth.
TEST_F(WorldGeneration, DrawsStartSquareThenColumnByColumn) {
    generate(1, 100, 19168 + 1, 26499);  // food hits on 19169, poison on 26500
    EXPECT_EQ(agent.agentRow, 41 % 49);
    EXPECT_EQ(agent.agentCol, 18467 % 49);
    EXPECT_EQ(world[1][1].kind, Poison);
    EXPECT_EQ(world[2][1].kind, Food);
    EXPECT_EQ(world[2][1].priority, 8);
    EXPECT_NE(world[1][2].kind, Food);
    EXPECT_EQ(params.foodRarity, 19168);
    EXPECT_EQ(agent.energy, 100);
    EXPECT_EQ(params.initialEnergy, 100);
}

TEST_F(WorldGeneration, PoisonReplacesFoodWhenBothHit) {
    generate(1, 100, 6333 + 1, 26499);  // (1, 1): food hits on 6334, poison on 26500
    EXPECT_EQ(world[1][1].kind, Poison);
    EXPECT_EQ(world[1][1].itemKind, Poison);
    EXPECT_EQ(world[1][1].priority, 2);
}

TEST_F(WorldGeneration, ItemsMatchKindsAndTheBorderStaysZero) {
    generate(99, 10, 3, 2);  // food modulus 2, poison modulus 2
    for (int row = 0; row <= 50; ++row) {
        for (int col = 0; col <= 50; ++col) {
            const Cell& cell = world[row][col];
            const bool border = row == 0 || col == 0 || row == 50 || col == 50;
            if (border) {
                EXPECT_EQ(cell.kind, Empty);
                EXPECT_EQ(cell.priority, 0);
                EXPECT_EQ(cell.itemKind, Empty);
            } else {
                EXPECT_EQ(cell.kind, cell.itemKind);
                const int32_t priorityOf[] = {5, -1, 8, 2};
                EXPECT_EQ(cell.priority, priorityOf[cell.kind]);
            }
        }
    }
    // About half poison, a quarter food, the rest empty.
    EXPECT_NEAR(countKind(Poison), 2401 / 2, 120);
    EXPECT_NEAR(countKind(Food), 2401 / 4, 100);
}

TEST_F(WorldGeneration, ModuliThatNeverHit) {
    struct Case {
        int32_t foodRarity, poisonRarity;
        int food, poison;
    } cases[] = {
        {2, 1, 0, 0},   // moduli 1 and 1
        {0, -1, 0, 0},  // moduli -1 and -1
        {1, 0, 0, 0},   // moduli 0 and 0: nothing placed, no division by zero
        {-1, 3, 1, 1},  // food modulus -2 acts as 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.foodRarity);
        generate(5, 10, c.foodRarity, c.poisonRarity);
        EXPECT_EQ(countKind(Food) > 0, c.food == 1);
        EXPECT_EQ(countKind(Poison) > 0, c.poison == 1);
    }
    generate(5, 10, INT32_MIN, INT32_MIN);
    EXPECT_EQ(params.foodRarity, INT32_MAX);  // the decrement wraps
}

TEST_F(WorldGeneration, EveryDrawIsTakenWhateverTheModuli) {
    const int taken = drawsTakenBy(3, [] { initWorldFrom(3, nullptr); });
    EXPECT_EQ(taken, 2 + 2 * 2401);
    // No file: every parameter 0, foodRarity then -1, every square empty at priority 0.
    EXPECT_EQ(params.foodRarity, -1);
    EXPECT_EQ(countKind(Empty), 2401);
    EXPECT_EQ(world[25][25].priority, 0);
}

// A start on row or column 0 is possible, on 49 never.
TEST_F(WorldGeneration, StartSquareLiesWithinRowsAndColumns0To48) {
    bool sawZero = false;
    for (uint32_t seed = 0; seed < 3000; ++seed) {
        initWorldFrom(seed, nullptr);
        ASSERT_GE(agent.agentRow, 0);
        ASSERT_LE(agent.agentRow, 48);
        ASSERT_GE(agent.agentCol, 0);
        ASSERT_LE(agent.agentCol, 48);
        sawZero = sawZero || agent.agentRow == 0 || agent.agentCol == 0;
    }
    EXPECT_TRUE(sawZero);
}
