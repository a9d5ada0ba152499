#include <algorithm>

#include "sim/clock.h"
#include "sim_test.h"

namespace {

class Clock : public SimTest {
protected:
    // An agent at (20, 20) among empty squares of priority 5.
    void start(int32_t energy, int32_t stepCost, int32_t maxSteps) {
        for (int row = 1; row <= 49; ++row) {
            for (int col = 1; col <= 49; ++col) {
                world[row][col] = {Empty, 5, Empty};
            }
        }
        agent = {20, 20, 0, 0, energy, 0};
        params.stepCost = stepCost;
        params.maxSteps = maxSteps;
    }
    int stepLines() {
        const std::string log = logged();
        return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
    }
};

}  // namespace

TEST_F(Clock, StopsWhenTheRunIsOver) {
    struct Case {
        int32_t energy, stepCost, maxSteps;
        int steps;
    } cases[] = {
        {3, 5, 100, 1},  // the step that spends the energy is completed, then no more
        {100, 1, 0, 0},  {0, 1, 100, 0}, {-1, 1, 100, 0},         {INT32_MIN, -1, 100, 0},
        {10, 2, 100, 5}, {100, 1, 7, 7}, {100, -1, INT32_MIN, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.energy << " " << c.stepCost << " " << c.maxSteps);
        const int before = stepLines();
        start(c.energy, c.stepCost, c.maxSteps);
        for (int tick = 0; tick < 20; ++tick) {
            tickClock();
        }
        EXPECT_EQ(stepLines() - before, c.steps);
        EXPECT_EQ(agent.stepCount, c.steps);
        EXPECT_FALSE(runIsLive());
    }
}

TEST_F(Clock, TheLastStepShowsTheSpentEnergy) {
    start(3, 5, 100);
    tickClock();
    const std::string log = logged();
    EXPECT_EQ(log.substr(log.size() - 12), "  Energy:-2\n");
}

TEST_F(Clock, StepsPrintTheCountBeforeThem) {
    start(1000, 1, 1000);
    for (int tick = 0; tick < 100; ++tick) {
        tickClock();
    }
    const std::string log = logged();
    EXPECT_EQ(log.substr(0, 4), "0 - ");
    EXPECT_EQ(log.substr(log.rfind('\n', log.size() - 2) + 1, 5), "99 - ");
    EXPECT_TRUE(runIsLive());
}
