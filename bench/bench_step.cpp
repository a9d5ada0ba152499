// The cost of one step with the literal regeneration pass and with the fast one, on the shipped
// parameter file and on a food-rich one, and the rate of whole default runs as the headless
// runner makes them. The log goes to /dev/null through a large buffer, as the runner's does.
#include <benchmark/benchmark.h>

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
    static char buffer[1 << 16];
    logStream = std::fopen("/dev/null", "w");
    std::setvbuf(logStream, buffer, _IOFBF, sizeof buffer);
    logFlushesEachLine = false;
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
    std::fclose(logStream);
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
    std::fclose(logStream);
}
BENCHMARK(BM_DefaultRuns)->Unit(benchmark::kMillisecond);

// Prints, after the table, how many times faster the fast step is than the literal one.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            rates[run.benchmark_name()] = run.counters.at("items_per_second");
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const char* file : {"default", "foodrich"}) {
            const std::string name = std::string("BM_Step/") + file;
            const double literal = rates[name + "_literal"];
            const double fast = rates[name + "_fast"];
            if (literal > 0 && fast > 0) {
                std::printf("%-9s literal %10.0f steps/s  fast %10.0f steps/s  ratio %.1f\n", file,
                            literal, fast, fast / literal);
            }
        }
    }

private:
    std::map<std::string, double> rates;
};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
