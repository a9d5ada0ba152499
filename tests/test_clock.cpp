#include "sim/clock.h"
#include "sim_test.h"

class Clock : public SimTest {};

// The step that spends the last energy is completed and printed; then no step follows.
TEST_F(Clock, StepsWhileTheRunIsLive) {
    struct Case {
        int32_t energy, stepCost, maxSteps;
        int steps;
        const char* lastLineEnd;
    } cases[] = {
        {3, 5, 100, 1, "  Energy:-2\n"},
        {100, 1, 0, 0, ""},
        {0, 1, 100, 0, ""},
        {-1, -5, 100, 0, ""},
        {10, 2, 100, 5, ":0\n"},
        {1000, 1, 100, 100, ":900\n"},
        {100, -1, INT32_MIN, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.energy << " " << c.stepCost << " " << c.maxSteps);
        emptyInterior(5);
        agent = {20, 20, 0, 0, c.energy, 0};
        params.stepCost = c.stepCost;
        params.maxSteps = c.maxSteps;
        const size_t before = logged().size();
        for (int tick = 0; tick < 150; ++tick) {
            tickClock();
        }
        const std::string log = logged().substr(before);
        EXPECT_EQ(agent.stepCount, c.steps);
        EXPECT_FALSE(runIsLive());
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), c.steps);
        if (c.steps > 0) {  // each step prints the count of steps before it
            const size_t last = log.rfind('\n', log.size() - 2) + 1;
            EXPECT_EQ(log.substr(last, log.find(' ', last) - last), std::to_string(c.steps - 1));
            EXPECT_EQ(log.substr(log.size() - std::strlen(c.lastLineEnd)), c.lastLineEnd);
        }
    }
}
