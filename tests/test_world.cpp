#include <unistd.h>

#include <fstream>

#include "sim/generate.h"
#include "sim_test.h"

namespace {

// Generates from `seed` with the file's parameters 2..6; energy is 100 and the rest 0.
class WorldGeneration : public SimTest {
protected:
    void generate(uint32_t seed, int32_t foodRarity, int32_t poisonRarity) {
        std::string text = "energy 100\n";
        for (int32_t v : {foodRarity, poisonRarity, 8, 2, 5}) {
            text += "p " + std::to_string(v) + "\n";
        }
        startRun(seed, text);
    }
    int count(int32_t kind) {
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

// Seed 1 draws 41, 18467, 6334, 26500, 19169: the start square takes the first two, square
// (1, 1) the next two, and (2, 1), next in column 1, the fifth.
TEST_F(WorldGeneration, DrawsTheStartSquareThenColumnByColumn) {
    generate(1, 19168 + 1, 26499);  // food hits on 19169 only, poison on 26500
    EXPECT_EQ(agent.agentRow, 41);
    EXPECT_EQ(agent.agentCol, 18467 % 49);
    EXPECT_EQ(world[1][1].kind, Poison);
    EXPECT_EQ(world[2][1].kind, Food);
    EXPECT_NE(world[1][2].kind, Food);
    EXPECT_EQ(params.foodRarity, 19168);
    EXPECT_EQ(agent.energy, 100);

    generate(1, 6333 + 1, 26499);  // both hit on (1, 1): poison replaces food
    EXPECT_EQ(world[1][1].kind, Poison);
    EXPECT_EQ(world[1][1].priority, 2);
}

TEST_F(WorldGeneration, ItemsMatchKindsAndTheBorderStaysZero) {
    generate(99, 3, 2);  // moduli 2 and 2
    for (int row = 0; row <= 50; ++row) {
        for (int col = 0; col <= 50; ++col) {
            const Cell& cell = world[row][col];
            ASSERT_EQ(cell.itemKind, cell.kind);
            const bool border = row % 50 == 0 || col % 50 == 0;
            const int32_t priorityOf[] = {border ? 0 : 5, -1, 8, 2};
            ASSERT_EQ(cell.priority, priorityOf[cell.kind]);
            ASSERT_TRUE(!border || cell.kind == Empty);
        }
    }
    EXPECT_NEAR(count(Poison), 2401 / 2, 120);  // about half poison, a quarter food
    EXPECT_NEAR(count(Food), 2401 / 4, 100);
}

TEST_F(WorldGeneration, RaritiesThatPlaceNothing) {
    struct Case {
        int32_t foodRarity, poisonRarity;
        bool food, poison;
    } cases[] = {{2, 1, false, false},
                 {0, -1, false, false},
                 {1, 0, false, false},
                 {-1, 3, true, true}};  // a food modulus of -2 acts as 2
    for (const Case& c : cases) {
        generate(5, c.foodRarity, c.poisonRarity);
        EXPECT_EQ(count(Food) > 0, c.food) << c.foodRarity;
        EXPECT_EQ(count(Poison) > 0, c.poison) << c.poisonRarity;
    }
    generate(5, INT32_MIN, INT32_MIN);
    EXPECT_EQ(params.foodRarity, INT32_MAX);  // the decrement wraps
}

// Without a file every value is 0, so both moduli are 0 or -1: still every draw is taken.
TEST_F(WorldGeneration, NoFileLeavesEverySquareEmptyAndTakesEveryDraw) {
    EXPECT_EQ(drawsTakenBy(3, [] { startRun(3, ""); }), 2 + 2 * 2401);
    EXPECT_EQ(params.foodRarity, -1);
    EXPECT_EQ(count(Empty), 2401);
}

TEST_F(WorldGeneration, StartsOnRowsAndColumns0To48) {
    bool sawZero = false;
    for (uint32_t seed = 0; seed < 3000; ++seed) {
        startRun(seed, "");
        ASSERT_LE(std::max(agent.agentRow, agent.agentCol), 48);
        ASSERT_GE(std::min(agent.agentRow, agent.agentCol), 0);
        sawZero = sawZero || agent.agentRow == 0 || agent.agentCol == 0;
    }
    EXPECT_TRUE(sawZero);
}

TEST_F(WorldGeneration, ReadsPreferenceTxtInTheWorkingDirectory) {
    char* home = getcwd(nullptr, 0);
    std::string folder = ::testing::TempDir() + "vantu_XXXXXX";
    ASSERT_NE(mkdtemp(&folder[0]), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    std::ofstream("preference.txt") << "energy 0x2A\nfood 0";
    initWorld();
    EXPECT_EQ(agent.energy, 42);
    EXPECT_EQ(params.foodRarity, -1);
    std::remove("preference.txt");
    ASSERT_EQ(chdir(home), 0);
    rmdir(folder.c_str());
    std::free(home);
}
