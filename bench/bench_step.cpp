// The cost of one step with the literal regeneration pass and with the fast one, on the shipped
// parameter file and on a food-rich one, and the rate of whole default runs as the headless
// runner makes them, the log going to /dev/null; then the long runs of scripts/bench with no
// log, the simulation alone as --summary runs it, beside the literal pass's.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdio>
#include <map>
#include <string>

#include "literal_regeneration.h"
#include "sim/clock.h"
#include "sim/generate.h"
#include "sim/log.h"
#include "sim/step.h"
#include "sim/world.h"

static void startRun(const char* path, uint32_t seed) {
    int32_t values[PARAM_COUNT];
    readParamFile(path, values);
    initWorldWith(seed, values);
}

static void openNullLog() {
    logStream = std::fopen("/dev/null", "w");
    logFlushesEachLine = false;
}

static void closeNullLog() {
    logFlush();
    std::fclose(logStream);
}

static void stepLiterally() {
    moveAgent();
    regenerateItemsLiterally();
}

// Steps on one world, kept live by topping up the energy; items are steps.
static void BM_Step(benchmark::State& state, const char* path, void (*step)()) {
    openNullLog();
    startRun(path, 1);
    for (auto _ : state) {
        step();
        agent.energy = 1000;
    }
    state.SetItemsProcessed(state.iterations());
    closeNullLog();
}
BENCHMARK_CAPTURE(BM_Step, default_literal, VANTU_DEFAULT_PARAMS, stepLiterally);
BENCHMARK_CAPTURE(BM_Step, default_fast, VANTU_DEFAULT_PARAMS, stepAgent);
BENCHMARK_CAPTURE(BM_Step, foodrich_literal, VANTU_FOOD_RICH_PARAMS, stepLiterally);
BENCHMARK_CAPTURE(BM_Step, foodrich_fast, VANTU_FOOD_RICH_PARAMS, stepAgent);

// Whole runs, from start-up to their end, on the shipped file: items are steps.
static void BM_DefaultRuns(benchmark::State& state) {
    openNullLog();
    int64_t steps = 0;
    uint32_t seed = 0;
    for (auto _ : state) {
        startRun(VANTU_DEFAULT_PARAMS, ++seed);
        while (runIsLive()) {
            tickClock();
        }
        steps += agent.stepCount;
    }
    state.SetItemsProcessed(steps);
    closeNullLog();
}
BENCHMARK(BM_DefaultRuns)->Unit(benchmark::kMillisecond);

static void tickLiterally() {
    stepLiterally();
    ++agent.stepCount;
}

// The long runs that scripts/bench gives vantu-headless, from seed 1 with energy and steps to
// last, here with no log: items are steps. The literal pass takes fewer of them, in the same way.
static void BM_LongRun(benchmark::State& state, const char* path, void (*tick)()) {
    int32_t values[PARAM_COUNT];
    readParamFile(path, values);
    values[offsetof(SimParams, initialEnergy) / sizeof(int32_t)] = 1000000000;
    values[offsetof(SimParams, maxSteps) / sizeof(int32_t)] = INT32_MAX;
    logStream = nullptr;
    initWorldWith(1, values);
    for (auto _ : state) {
        tick();
    }
    state.SetItemsProcessed(state.iterations());
    logStream = stdout;
}
constexpr int LONG_RUN = 10000000;
constexpr int LITERAL_RUN = 100000;
BENCHMARK_CAPTURE(BM_LongRun, default_literal, VANTU_DEFAULT_PARAMS, tickLiterally)
    ->Iterations(LITERAL_RUN)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LongRun, default_nolog, VANTU_DEFAULT_PARAMS, tickClock)
    ->Iterations(LONG_RUN)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LongRun, foodrich_literal, VANTU_FOOD_RICH_PARAMS, tickLiterally)
    ->Iterations(LITERAL_RUN)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LongRun, foodrich_nolog, VANTU_FOOD_RICH_PARAMS, tickClock)
    ->Iterations(LONG_RUN)
    ->UseRealTime();

// Prints, after the table, how many times faster the fast step and run are than the literal ones.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            rates[run.run_name.function_name] = run.counters.at("items_per_second");
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const char* file : {"default", "foodrich"}) {
            printRatio("BM_Step/", file, "_fast");
            printRatio("BM_LongRun/", file, "_nolog");
        }
        // What a food-rich world costs, measured beside the shipped one in the same run.
        const double shipped = rates["BM_LongRun/default_nolog"];
        const double foodRich = rates["BM_LongRun/foodrich_nolog"];
        if (shipped > 0 && foodRich > 0) {
            std::printf("%-20s food-rich %8.0f steps/s  shipped %10.0f steps/s  ratio %.2f\n",
                        "BM_LongRun/nolog", foodRich, shipped, foodRich / shipped);
        }
    }

private:
    std::map<std::string, double> rates;

    void printRatio(const char* benchmark, const char* file, const char* fast) {
        const std::string name = std::string(benchmark) + file;
        const double literal = rates[name + "_literal"];
        const double rate = rates[name + fast];
        if (literal > 0 && rate > 0) {
            std::printf("%-20s literal %10.0f steps/s  fast %10.0f steps/s  ratio %.1f\n",
                        name.c_str(), literal, rate, rate / literal);
        }
    }
};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
