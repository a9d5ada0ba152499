#include "sim/consequences.h"
#include "sim_test.h"

namespace {

class Consequences : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        params.emptyPriority = 5;
        params.foodRewardCurrent = 10;
        params.currentPriorityCap = 20;
        params.foodRewardPrevious = 3;
        params.previousPriorityCap = 12;
        params.poisonPenaltyCurrent = 4;
        params.poisonPenaltyPrevious = 2;
        params.bareStepPenaltyCurrent = 1;
        params.bareStepPenaltyPrevious = 1;
        params.propagationThreshold = 15;
        params.propagationReward = 2;
        params.foodEnergy = 20;
        params.poisonEnergy = 15;
    }
};

}  // namespace

TEST_F(Consequences, RulesCombineInOrder) {
    struct Case {
        const char* name;
        int32_t kind, entered, left;
        int32_t threshold;
        int32_t enteredAfter, leftAfter, energyChange;
        const char* line;
    } cases[] = {
        {"food, then propagation", Food, 8, 6, 15, 18, 11, 20, "Found food (+20)\n"},
        {"food with both caps reached", Food, 20, 12, 15, 20, 12, 20, "Found food (+20)\n"},
        {"food lifting the square to the empty priority", Food, -5, 6, 15, 4, 8, 20,
         "Found food (+20)\n"},
        {"bare step, then poison", Poison, 5, 6, 15, 0, 3, -15, "Found poison (-15)\n"},
        {"poison wrapping below INT32_MIN, then propagation", Poison, INT32_MIN, 6, 15,
         INT32_MAX - 3, 6, -15, "Found poison (-15)\n"},
        {"a bare step", Empty, 5, 6, 15, 4, 5, 0, ""},
        {"an empty square already learned", Empty, 16, 6, 15, 16, 8, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t logBefore = logged().size();
        params.propagationThreshold = c.threshold;
        agent = {10, 11, 10, 10, 100, 0};
        world[10][11] = {c.kind, c.entered, c.kind};
        world[10][10] = {Empty, c.left, Empty};
        applyConsequences();
        EXPECT_EQ(world[10][11].priority, c.enteredAfter);
        EXPECT_EQ(world[10][10].priority, c.leftAfter);
        EXPECT_EQ(agent.energy, 100 + c.energyChange);
        EXPECT_EQ(logged().substr(logBefore), c.line);
        EXPECT_EQ(world[10][11].kind, c.kind);  // items are used up by the step, not here
    }
}

// Without a move the one square is both entered and left: it pays both bare-step penalties,
// then propagation credits it.
TEST_F(Consequences, AStepWithoutAMove) {
    params.propagationThreshold = 3;
    agent = {10, 10, 10, 10, 100, 0};
    world[10][10] = {Empty, 5, Food};
    applyConsequences();
    EXPECT_EQ(world[10][10].priority, 5 - 1 - 1 + 2);
    EXPECT_EQ(agent.energy, 100);
    EXPECT_EQ(logged(), "");
}

// The lines show the parameter as it stands; energy wraps rather than overflowing.
TEST_F(Consequences, LinesShowTheParameterAndEnergyWraps) {
    params.foodEnergy = -5;
    params.poisonEnergy = INT32_MIN;
    agent = {10, 11, 10, 10, 100, 0};
    world[10][11] = {Food, 0, Food};
    applyConsequences();
    world[10][11] = {Poison, 0, Poison};
    applyConsequences();
    EXPECT_EQ(logged(), "Found food (+-5)\nFound poison (--2147483648)\n");
    EXPECT_EQ(agent.energy, 95 + INT32_MIN);  // 95 - INT32_MIN, modulo 2^32
}
