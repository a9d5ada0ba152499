#include "sim/step.h"
#include "sim_test.h"

namespace {

// One letter per roll 0, 1, 2 ...: the neighbour chosen, or '-' for no move.
std::string outcomes(const int32_t (&weights)[4], int32_t rolls, int32_t row, int32_t col) {
    std::string text;
    for (int32_t roll = 0; roll < rolls; ++roll) {
        text += "UDLR-"[chooseMove(weights, roll, row, col)];
    }
    return text;
}

std::string times(int n, char c) {
    return std::string(static_cast<size_t>(n), c);
}

}  // namespace

TEST(Roulette, IntervalsGuardsAndNegativeWeights) {
    struct Case {
        int32_t weights[4];
        int32_t row, col;
        std::string expected;
    } cases[] = {
        // Rolls 0-9 up, 10-29 down, none left, 30-34 right.
        {{10, 20, 0, 5}, 5, 5, times(10, 'U') + times(20, 'D') + times(5, 'R')},
        // On row 0 the up test fails its guard and no later interval holds the roll.
        {{10, 20, 0, 5}, 0, 5, times(10, '-') + times(20, 'D') + times(5, 'R')},
        // Row 49 and column 49 are the farthest the agent can go, and it can go there.
        {{0, 5, 0, 5}, 48, 48, times(5, 'D') + times(5, 'R')},
        {{10, 20, 0, 5}, 49, 49, times(10, 'U') + times(25, '-')},
        {{0, 0, 7, 1}, 5, 0, times(7, '-') + "R"},  // column 0: no way left
        // Overlapping intervals 0-4 up, none down, 2-5 left, 6-7 right: the first test wins,
        // and a failed guard hands the roll on.
        {{5, -3, 4, 2}, 5, 5, "UUUUULRR"},
        {{5, -3, 4, 2}, 0, 5, "--LLLLRR"},
        {{-1, -2, -3, -4}, 5, 5, times(10, '-')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.weights[0] << " " << c.weights[1] << " " << c.weights[2] << " "
                     << c.weights[3] << " at " << c.row << "," << c.col);
        EXPECT_EQ(outcomes(c.weights, static_cast<int32_t>(c.expected.size()), c.row, c.col),
                  c.expected);
    }
}

namespace {

class Step : public SimTest {
protected:
    // Every interior square empty at `priority`; the agent at (row, col).
    void place(int32_t row, int32_t col, int32_t priority = 5) {
        emptyInterior(priority);
        agent.agentRow = row;
        agent.agentCol = col;
        agent.energy = 100;
    }
    void setNeighbours(int32_t up, int32_t down, int32_t left, int32_t right) {
        world[agent.agentRow - 1][agent.agentCol].priority = up;
        world[agent.agentRow + 1][agent.agentCol].priority = down;
        world[agent.agentRow][agent.agentCol - 1].priority = left;
        world[agent.agentRow][agent.agentCol + 1].priority = right;
    }
};

}  // namespace

// The line of the worked example: from (12, 34) to (11, 34), priorities 7 and 5, energy 99.
TEST_F(Step, WritesTheStepLine) {
    place(12, 34, 0);
    world[12][34].priority = 7;
    setNeighbours(5, 0, 0, 0);
    params.stepCost = 1;
    params.previousPriorityCap = 7;  // keeps propagation off the left square
    stepAgent();
    EXPECT_EQ(logged(), "0 - 12,34 Priotity previous:7   11,34 Priotity current:5  Energy:99\n");
    EXPECT_EQ(world[11][34].kind, Agent);
    EXPECT_EQ(world[12][34].kind, Empty);
}

// The roll is the draw's remainder by the total, with the draw's sign.
TEST_F(Step, RollIsTheDrawModuloTheTotal) {
    struct Case {
        int32_t weights[4];
        int32_t draw;
        int32_t row, col;
    } cases[] = {
        {{10, 20, 0, 5}, 34, 20, 21},    {{10, 20, 0, 5}, 35, 19, 20}, {{10, 20, 0, 5}, 10, 21, 20},
        {{10, 20, 0, 5}, 32767, 19, 20}, {{5, -3, 4, -10}, 7, 19, 20},  // total -4: roll 3, not -1
        {{-6, 0, 9, -5}, 32767, 20, 19},                                // total -2: roll 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.draw);
        place(20, 20);
        setNeighbours(c.weights[0], c.weights[1], c.weights[2], c.weights[3]);
        seedForNextDraw(c.draw);
        stepAgent();
        EXPECT_EQ(agent.agentRow, c.row);
        EXPECT_EQ(agent.agentCol, c.col);
    }
}

TEST_F(Step, AStepWithoutAMoveStillChargesAndMarks) {
    for (int32_t weight : {-1, 0}) {  // all negative; a total of 0, which has no roll
        SCOPED_TRACE(weight);
        place(20, 20, weight);
        world[20][20].priority = 3;
        params.stepCost = 4;
        EXPECT_EQ(drawsTakenBy(1, stepAgent), 1 + 2401);
        EXPECT_EQ(agent.prevRow, 20);
        EXPECT_EQ(agent.prevCol, 20);
        EXPECT_EQ(agent.agentRow, 20);
        EXPECT_EQ(agent.agentCol, 20);
        EXPECT_EQ(world[20][20].kind, Agent);
        EXPECT_EQ(agent.energy, 100 - 4);
    }
    EXPECT_EQ(logged(),
              "0 - 20,20 Priotity previous:3   20,20 Priotity current:3  Energy:96\n"
              "0 - 20,20 Priotity previous:3   20,20 Priotity current:3  Energy:96\n");
}

// The zero border is a wall: a start on it can only lead inward, and a corner start never moves.
TEST_F(Step, TheBorderIsAWall) {
    struct Case {
        int32_t startRow, startCol;
        int32_t row, col;  // where one step always leads
    } cases[] = {{0, 0, 0, 0}, {0, 10, 1, 10}, {10, 0, 10, 1}};
    for (const Case& c : cases) {
        for (int32_t draw = 0; draw < 20; ++draw) {
            place(c.startRow, c.startCol);
            seedForNextDraw(draw);
            stepAgent();
            EXPECT_EQ(agent.agentRow, c.row);
            EXPECT_EQ(agent.agentCol, c.col);
        }
    }
}

// The first step clears the start square: its food goes with no reward and no line.
TEST_F(Step, FoodOnTheStartSquareIsLostSilently) {
    place(20, 20);
    world[20][20] = {Food, 5, Food};
    params.foodEnergy = 50;
    setNeighbours(5, 0, 0, 0);
    stepAgent();
    EXPECT_EQ(world[20][20].kind, Empty);
    EXPECT_EQ(world[20][20].itemKind, Food);
    EXPECT_EQ(agent.energy, 100);
    EXPECT_EQ(logged().find("Found"), std::string::npos);
}
