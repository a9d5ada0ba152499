// The simulation against worked examples, published values and the rules read literally.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "literal_regeneration.h"
#include "sim/clock.h"
#include "sim/consequences.h"
#include "sim/generate.h"
#include "sim/hit_test.h"
#include "sim/log.h"
#include "sim/regenerate.h"
#include "sim/step.h"
#include "sim/tally.h"

// The shipped parameters, energy and maxSteps raised so that runs go on, and the agent roams and
// comes back; tests change the rarities.
const std::vector<int32_t> ROAMING = {1000000, 8, 10, 5,  5,  5, 12, 20, 6,  16,     6,
                                      3,       2, 1,  40, 12, 2, 1,  25, 10, 100000, 1};

// A fresh run from the leading values of a parameter file; the rest are 0.
void startRun(uint32_t seed, std::vector<int32_t> values) {
    values.resize(PARAM_COUNT);
    initWorldWith(seed, values.data());
}

// The generator's next draw becomes `draw`: one step of it run backwards.
void seedForNextDraw(int32_t draw) {
    uint32_t inverse = 1;  // of the multiplier modulo 2^32, by Newton's iteration
    for (int i = 0; i < 5; ++i) {
        inverse *= 2u - 214013u * inverse;
    }
    seedRandom(((static_cast<uint32_t>(draw) << 16) - 2531011u) * inverse);
}

// Whether `action`, from seed 7, leaves the generator where `count` draws do.
template <typename Action>
bool takesDraws(int count, Action action) {
    seedRandom(7);
    for (int i = 0; i < count; ++i) {
        drawRandom();
    }
    const int32_t next[2] = {drawRandom(), drawRandom()};
    seedRandom(7);
    action();
    return drawRandom() == next[0] && drawRandom() == next[1];
}

// A zero world whose log is caught in memory.
class Sim : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&world, 0, sizeof world);
        findUsedUpSquares();
        tally = {};
        logStream = open_memstream(&buffer, &size);
    }
    void TearDown() override {
        std::fclose(logStream);
        std::free(buffer);
        logStream = stdout;
    }
    std::string take() {  // what was logged since the last call
        std::fflush(logStream);
        std::string text(buffer + taken, size - taken);
        taken = size;
        return text;
    }
    // Every square at `priority`, the agent at (row, col) with 100 energy and the neighbours'
    // priorities given: up, down, left, right.
    void place(int32_t priority, int32_t row, int32_t col, std::vector<int32_t> around) {
        for (int r = 0; r <= 50; ++r) {
            for (int c = 0; c <= 50; ++c) {
                world[r][c] = {Empty, r % 50 && c % 50 ? priority : 0, Empty};
            }
        }
        params = {};
        agent = {row, col, 0, 0, 100, 0};
        const int rows[] = {-1, 1, 0, 0}, cols[] = {0, 0, -1, 1};
        for (size_t k = 0; k < around.size(); ++k) {
            world[row + rows[k]][col + cols[k]].priority = around[k];
        }
    }

private:
    char* buffer = nullptr;
    size_t size = 0, taken = 0;
};

TEST(Random, PublishedDrawsAndSkips) {
    seedRandom(1);
    for (int32_t expected : {41, 18467, 6334, 26500, 19169}) {
        EXPECT_EQ(drawRandom(), expected);
    }
    for (int count = 0; count <= MAX_SKIPPED_DRAWS; ++count) {
        ASSERT_TRUE(takesDraws(count, [&] { skipDraws(count); })) << count;
    }
}

// The multiplication tells a hit as the division does, for every draw: sizes on both sides of
// the draws' range, powers of two and others, both signs, and those that never hit.
TEST(Random, HitTestAgreesWithTheRemainder) {
    for (int32_t modulus :
         {0, 1, -1, 2, -3, 40, 49, 4096, 4097, 32767, 32768, 32769, -32768, INT32_MAX, INT32_MIN}) {
        const HitTest test = hitTestFor(modulus);
        for (uint32_t draw = 0; draw <= RANDOM_MAX; ++draw) {
            uint32_t hit;
            findHits(test, draw, hit);
            ASSERT_EQ(hit != 0, hitsOne(static_cast<int32_t>(draw), modulus))
                << modulus << " " << draw;
        }
    }
}

TEST(Params, ReadsValuesAsTheFileWritesThem) {
    std::vector<int32_t> oneTo22;
    std::string pairs;  // label and value apart by any whitespace
    for (int i = 1; i <= PARAM_COUNT; ++i) {
        oneTo22.push_back(i);
        pairs += "label" + std::to_string(i) + (i % 2 ? " \t" : "\r\n\v\f ") + std::to_string(i) +
                 (i % 3 ? "\n" : "  ");
    }
    const int32_t MAX = INT32_MAX, MIN = INT32_MIN;
    const ParamFault OK = ParamFault::None, NAN_ = ParamFault::NotANumber,
                     END = ParamFault::EndBeforeLabel;
    const struct {
        std::string text;
        std::vector<int32_t> values;  // the leading values; the rest must be 0
        int valuesRead;
        ParamFault fault;
    } cases[] = {
        {pairs, oneTo22, PARAM_COUNT, OK},
        {pairs + "extra 99\n", oneTo22, PARAM_COUNT, OK},
        {"a 010 b 0x10 c 0X1f d -0x1A e +7 f -010 g -0", {8, 16, 31, -26, 7, -8}, 7, END},
        {"a 2147483647 b 2147483648 c -2147483649 d 0xFFFFFFFF", {MAX, MAX, MIN, MAX}, 4, END},
        {"a -0x80000000 b -0x80000001 c 017777777777 d 020000000000", {MIN, MIN, MAX, MAX}, 4, END},
        {std::string(100000, 'L') + " 5 b 123456789012345", {5, MAX}, 2, END},
        {"a 1234567890123456 b 5", {MAX}, 1, NAN_},  // the 16th character is a label
        {"a 12abc b 5", {12}, 1, NAN_},
        {"a 09 b 5", {0}, 1, NAN_},
        {"a 5 b 0x c 6", {5}, 1, NAN_},
        {"a 5 b - c 6", {5}, 1, NAN_},
        {"a 5 6 7 b 8", {5, 7, 8}, 3, END},  // a missing label
        {"a 5 b  \n", {5}, 1, ParamFault::EndBeforeValue},
        {"", {}, 0, END}};
    for (const auto& c : cases) {
        std::FILE* file = std::tmpfile();
        std::fputs(c.text.c_str(), file);
        std::rewind(file);
        std::vector<int32_t> values(PARAM_COUNT, -99), expected = c.values;
        const ParamReport report = readParams(file, values.data());
        std::fclose(file);
        expected.resize(PARAM_COUNT, 0);
        EXPECT_EQ(values, expected) << c.text.substr(0, 80);
        EXPECT_EQ(report.valuesRead, c.valuesRead) << c.text.substr(0, 80);
        EXPECT_EQ(report.fault, c.fault) << c.text.substr(0, 80);
    }
}

// The grid as the rule reads: after the start square's two draws, a food draw and a poison draw
// for each square, column by column; poison replaces food; the border stays zero.
TEST_F(Sim, GenerationFollowsTheRule) {
    const int32_t rarities[][2] = {{3, 2}, {1, 0}, {2, 1}, {0, -1}, {-1, 3}, {5, 40}};
    for (const auto& r : rarities) {
        const int32_t food = r[0], poison = r[1];
        ASSERT_TRUE(takesDraws(2 + 2 * 2401, [&] { startRun(7, {9, food, poison, 8, 2, 5}); }));
        seedRandom(9);
        const int32_t row = drawRandom() % 49, col = drawRandom() % 49;
        Cell expected[51][51] = {};
        for (int c = 1; c <= 49; ++c) {
            for (int r = 1; r <= 49; ++r) {
                const bool isFood = food != 1 && drawRandom() % (food - 1) == 1;
                const bool isPoison = poison != 0 && drawRandom() % poison == 1;
                expected[r][c] = isPoison ? Cell{Poison, 2, Poison}
                                 : isFood ? Cell{Food, 8, Food}
                                          : Cell{Empty, 5, Empty};
            }
        }
        startRun(9, {9, food, poison, 8, 2, 5});
        EXPECT_EQ(std::memcmp(expected, world, sizeof world), 0) << food << " " << poison;
        EXPECT_EQ(agent.agentRow, row);
        EXPECT_EQ(agent.agentCol, col);
        EXPECT_EQ(agent.energy, 9);
    }
    startRun(1, {0, INT32_MIN});
    EXPECT_EQ(params.foodRarity, INT32_MAX);  // the decrement wraps
}

// The step that spends the last energy is taken and logged; then no step follows, nor a draw.
TEST_F(Sim, ClockStopsWhenTheRunIsOver) {
    const struct {
        int32_t energy, stepCost, maxSteps;
        int steps;
        std::string lastLine;
    } cases[] = {
        {3, 5, 100, 1, "0 - 20,20 Priotity previous:-1   20,20 Priotity current:-1  Energy:-2\n"},
        {100, 1, 0, 0, ""},
        {0, 1, 100, 0, ""},
        {-1, -5, 100, 0, ""},
        {10, 2, 100, 5, ":0\n"},
        {1000, 1, 100, 100, "99 - "},
        {100, -1, INT32_MIN, 0, ""}};
    for (const auto& c : cases) {
        place(-1, 20, 20, {});  // nowhere to go
        agent.energy = c.energy;
        params.stepCost = c.stepCost;
        params.maxSteps = c.maxSteps;
        EXPECT_TRUE(takesDraws(c.steps * (1 + 2401), [] {
            for (int tick = 0; tick < 150; ++tick) {
                tickClock();
            }
        }));
        const std::string log = take();
        EXPECT_EQ(agent.stepCount, c.steps);
        EXPECT_FALSE(runIsLive());
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), c.steps);
        const std::string last =
            log.substr(log.size() < 2 ? 0 : log.rfind('\n', log.size() - 2) + 1);
        EXPECT_NE(last.find(c.lastLine), std::string::npos) << last;
    }
}

// Four rules in order, each seeing what the earlier left. Entering (10, 11) from (10, 10).
TEST_F(Sim, ConsequencesCombineInOrder) {
    const struct {
        int32_t kind, entered, left, enteredAfter, leftAfter, energy;
        const char* line;
    } cases[] = {{Food, 8, 6, 18, 11, 120, "Found food (+20)\n"},    // then propagation
                 {Food, 20, 12, 20, 12, 120, "Found food (+20)\n"},  // both caps reached
                 {Food, -5, 6, 4, 8, 120, "Found food (+20)\n"},     // lifted to the empty priority
                 {Poison, 5, 6, 0, 3, 85, "Found poison (-15)\n"},   // bare step, then poison
                 {Poison, INT32_MIN, 6, INT32_MAX - 3, 6, 85, "Found poison (-15)\n"},  // wraps
                 {Empty, 5, 6, 4, 5, 100, ""},
                 {Empty, 16, 6, 16, 8, 100, ""},  // a square already learned, and propagation
                 {Empty, 15, 11, 15, 13, 100, ""}};
    for (const auto& c : cases) {
        params = {0, 0, 0, 0, 0, 5, 10, 20, 3, 12, 4, 2, 1, 1, 0, 15, 2, 0, 20, 15, 0, 0};
        agent = {10, 11, 10, 10, 100, 0};
        world[10][11] = {c.kind, c.entered, c.kind};
        world[10][10] = {Empty, c.left, Empty};
        applyConsequences();
        EXPECT_EQ(world[10][11].priority, c.enteredAfter) << c.kind << " " << c.entered;
        EXPECT_EQ(world[10][10].priority, c.leftAfter) << c.kind << " " << c.entered;
        EXPECT_EQ(agent.energy, c.energy) << c.kind << " " << c.entered;
        EXPECT_EQ(take(), c.line);
    }
    EXPECT_EQ(tally.foodFound, 3);
    EXPECT_EQ(tally.poisonFound, 2);
}

// One letter per roll 0, 1, 2 ...: the neighbour chosen, or '-' for no move.
// Numbers on both sides of every change in their count of digits, and the ends of the range, as
// the standard library writes them; and a piece longer than all the room for gathered lines.
TEST_F(Sim, LogWritesNumbersAndLongPiecesWhole) {
    std::string expected;
    auto check = [&](int64_t value) {
        logLine("<", static_cast<int32_t>(value), ">");
        expected += "<" + std::to_string(value) + ">\n";
    };
    for (int64_t ten = 1; ten <= INT32_MAX; ten *= 10) {
        for (int64_t value : {ten - 1, ten, ten + 1}) {
            check(value);
            check(-value);
        }
    }
    check(INT32_MAX);
    check(INT32_MIN);
    const std::string longPiece(3 * LOG_GATHERED_MAX, 'x');
    logText("a");
    logText(longPiece.c_str());
    logEndLine();
    EXPECT_EQ(take(), expected + "a" + longPiece + "\n");
}

TEST(Roulette, IntervalsGuardsAndNegativeWeights) {
    const struct {
        int32_t weights[4], row, col;
        std::string expected;
    } cases[] = {
        {{3, 2, 0, 1}, 5, 5, "UUUDDR"},    {{3, 2, 0, 1}, 0, 5, "---DDR"},  // row 0: no way up
        {{0, 2, 0, 2}, 48, 48, "DDRR"},    {{3, 2, 0, 1}, 49, 49, "UUU---"},
        {{0, 0, 3, 1}, 5, 0, "---R"},      {{2, 0, 3, 0}, 1, 1, "UULLL"},
        {{5, -3, 4, 2}, 5, 5, "UUUUULRR"},  // overlapping: the first that holds the roll wins
        {{5, -3, 4, 2}, 0, 5, "--LLLLRR"}, {{-1, -2, -3, -4}, 5, 5, "-----"}};
    for (const auto& c : cases) {
        std::string outcomes;
        for (int32_t roll = 0; roll < static_cast<int32_t>(c.expected.size()); ++roll) {
            outcomes += "UDLR-"[chooseMove(c.weights, roll, c.row, c.col)];
        }
        EXPECT_EQ(outcomes, c.expected) << c.row << "," << c.col;
    }
}

// The roll is the draw's remainder by the total, with the draw's sign. The food on the start
// square goes with the first step, unrewarded.
TEST_F(Sim, StepRollsTheDrawModuloTheTotal) {
    const struct {
        int32_t weights[4], draw, row, col;
    } cases[] = {
        {{10, 20, 0, 5}, 34, 20, 21},    {{10, 20, 0, 5}, 35, 19, 20}, {{10, 20, 0, 5}, 10, 21, 20},
        {{10, 20, 0, 5}, 32767, 19, 20}, {{5, -3, 4, -10}, 7, 19, 20},  // total -4: roll 3, not -1
        {{-6, 0, 9, -5}, 32767, 20, 19}                                 // total -2: roll 1
    };
    for (const auto& c : cases) {
        place(5, 20, 20, {c.weights[0], c.weights[1], c.weights[2], c.weights[3]});
        world[20][20] = {Food, 5, Food};
        seedForNextDraw(c.draw);
        stepAgent();
        EXPECT_EQ(agent.agentRow, c.row) << c.draw;
        EXPECT_EQ(agent.agentCol, c.col) << c.draw;
        EXPECT_EQ(world[c.row][c.col].kind, Agent);
        EXPECT_EQ(world[20][20].kind, Empty);
    }
}

// A start on row or column 0 leads inward; food there raises the start square's priority, and
// the roulette weighs it on the way back: of rolls 0..9, 0..6 return and 7..9 go on.
TEST_F(Sim, StepBackToABorderStart) {
    for (const auto& [row, col, down, right] : {std::array{0, 10, 1, 0}, std::array{10, 0, 0, 1}}) {
        for (int32_t draw = 0; draw < 20; ++draw) {
            place(0, row, col, {});
            world[row + down][col + right] = {Food, 5, Food};
            world[row + 2 * down][col + 2 * right].priority = 3;
            params.foodRewardPrevious = 7;
            params.previousPriorityCap = 100;
            for (int step = 0; step < 2; ++step) {
                seedForNextDraw(draw);
                stepAgent();
            }
            const bool back = draw % 10 < 7;
            EXPECT_EQ(std::pair(agent.agentRow, agent.agentCol),
                      std::pair(row + (back ? 0 : 2 * down), col + (back ? 0 : 2 * right)))
                << draw;
        }
    }
}

// Runs of 400 steps: the fast pass and the literal one agree in every line, square and draw, and
// the tally counts them.
TEST_F(Sim, FastRegenerationAgreesWithTheRule) {
    const auto count = [](const std::string& text, const char* pattern) {
        const std::regex re(pattern);
        return std::distance(std::sregex_iterator(text.begin(), text.end(), re), {});
    };
    long restored = 0;
    for (int32_t regen : {0, 1, -1, 2, 3, 7, 32768, INT32_MIN, INT32_MAX}) {
        for (int32_t items : {0, 2, 3, 4, -3, 40}) {
            for (uint32_t seed : {1u, 20261206u}) {
                std::string logs[2];
                Cell worlds[2][51][51];
                int32_t draws[2];
                for (int fast = 0; fast < 2; ++fast) {
                    std::vector<int32_t> values = ROAMING;
                    values[1] = items, values[2] = items == 3 ? 5 : items, values[14] = regen;
                    startRun(seed, values);
                    take();
                    for (int i = 0; i < 400; ++i) {
                        fast ? stepAgent() : (moveAgent(), regenerateItemsLiterally());
                    }
                    logs[fast] = take();
                    std::memcpy(worlds[fast], world, sizeof world);
                    draws[fast] = drawRandom();
                }
                SCOPED_TRACE(testing::Message() << regen << " " << items << " " << seed);
                ASSERT_EQ(logs[1], logs[0]);
                ASSERT_EQ(std::memcmp(worlds[1], worlds[0], sizeof world), 0);
                ASSERT_EQ(draws[1], draws[0]);
                const std::regex square(R"(\d+,\d+ P)");  // the squares the step lines name
                const std::set<std::string> visited(
                    std::sregex_token_iterator(logs[1].begin(), logs[1].end(), square), {});
                EXPECT_EQ(tally.squaresVisited, static_cast<int32_t>(visited.size()));
                EXPECT_EQ(tally.foodFound, count(logs[1], "Found food"));
                EXPECT_EQ(tally.poisonFound, count(logs[1], "Found poison"));
                EXPECT_EQ(tally.itemsRestored, count(logs[1], "Item"));
                restored += tally.itemsRestored;
            }
        }
    }
    EXPECT_GT(restored, 1000);  // the table reaches the case that matters
}

// Rewards and penalties that wrap, starts on column 0 and on row 0 (seeds 451 and 1564), caps of
// 0 and below, steps that stay put: the live band counts are a count over the board throughout.
TEST(Tally, BandCountsFollowEveryPriorityChange) {
    const int32_t MAX = INT32_MAX, MIN = INT32_MIN, BIG = 0x50000000;
    const std::vector<int32_t> sets[] = {
        ROAMING,
        {MAX, MAX, MAX, MAX, MAX, MAX, MAX, MAX, MAX, MAX, MAX,
         MAX, MAX, MAX, MAX, MAX, MAX, 0,   0,   0,   MAX},
        {MAX, MIN, MIN, MIN, MIN, MIN, MIN, MIN, MIN, MIN, MIN,
         MIN, MIN, MIN, MIN, MIN, MIN, 0,   0,   0,   MAX},
        {1, 6, 6, 7, 7, 5, -1, 9, -1, 12, -1, -1, -3, 1, 3, -6, 1, -7, 9, -9, MAX},
        {MAX, 3, 5, 5, 5, 5, BIG, MAX, BIG, MAX, BIG, -BIG, BIG, -BIG, 3, 12, BIG, 0, 0, 0, MAX},
        {MAX, 4, 6, 8, 2, 5, 12, 0, 6, -5, 6, 3, 2, 1, 4, 12, 2, 0, 0, 0, MAX}};
    bool borderStartChangedBand = false;
    logStream = nullptr;
    for (size_t set = 0; set < std::size(sets); ++set) {
        for (uint32_t seed : {7u, 451u, 1564u}) {
            startRun(seed, sets[set]);
            const int32_t startRow = agent.agentRow, startCol = agent.agentCol;
            for (int step = 0; step <= 30000; ++step) {
                if (step < 1000 || step % 1000 == 0) {
                    std::vector<int32_t> counted(PRIORITY_BANDS);
                    for (int row = 1; row <= 49; ++row) {
                        for (int col = 1; col <= 49; ++col) {
                            ++counted[priorityBand(world[row][col].priority)];
                        }
                    }
                    ASSERT_EQ(std::vector(tally.squaresByBand, std::end(tally.squaresByBand)),
                              counted)
                        << "set " << set << ", seed " << seed << ", step " << step;
                }
                borderStartChangedBand |= (startRow == 0 || startCol == 0) &&
                                          priorityBand(world[startRow][startCol].priority) != 0;
                tickClock();
            }
        }
    }
    logStream = stdout;
    EXPECT_TRUE(borderStartChangedBand);  // the case that a count of the border would get wrong
}

#ifdef VANTU_COUNT_ALLOCATIONS
// Nothing is allocated once a run is under way: malloc, which the C library's own allocations
// and operator new go through too, is replaced by a counting one.
extern "C" {
void* __libc_malloc(size_t size);
static long allocations;
void* malloc(size_t size) {
    return ++allocations, __libc_malloc(size);
}
}

// Logged to /dev/null as the runner logs.
TEST(NoAllocation, ManyStepsAfterTheFirstLineAllocateNothing) {
    startRun(7, ROAMING);
    logStream = std::fopen("/dev/null", "w");
    logFlushesEachLine = false;
    tickClock();  // the stream sets up its buffer with the first line
    const long before = allocations;
    for (int i = 0; i < 50000; ++i) {
        tickClock();
    }
    EXPECT_EQ(allocations, before);
    EXPECT_EQ(agent.stepCount, 50001);          // the run stayed live throughout
    std::fclose(std::fopen("/dev/null", "w"));  // the count does see the C library's own
    EXPECT_GT(allocations, before);
}
#endif
