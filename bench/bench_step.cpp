// The cost of one step, and the rate of a whole run as the headless runner makes it, on the
// shipped parameter file with the log thrown away.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "sim/clock.h"
#include "sim/generate.h"
#include "sim/log.h"
#include "sim/step.h"
#include "sim/world.h"

static void startDefaultRun(uint32_t seed) {
    std::FILE* file = std::fopen(VANTU_DEFAULT_PARAMS, "r");
    initWorldFrom(seed, file);
    if (file != nullptr) {
        std::fclose(file);
    }
}

static void openNullLog() {
    static char buffer[1 << 16];
    logStream = std::fopen("/dev/null", "w");
    std::setvbuf(logStream, buffer, _IOFBF, sizeof buffer);
    logFlushesEachLine = false;
}

// One stepAgent, the world kept live by topping up the energy.
static void BM_StepAgent(benchmark::State& state) {
    openNullLog();
    startDefaultRun(1);
    for (auto _ : state) {
        stepAgent();
        agent.energy = 1000;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StepAgent);

// Whole runs, from start-up to their end, as the headless runner makes them: items are steps.
static void BM_HeadlessRun(benchmark::State& state) {
    openNullLog();
    int64_t steps = 0;
    uint32_t seed = 0;
    for (auto _ : state) {
        startDefaultRun(++seed);
        while (runIsLive()) {
            tickClock();
        }
        steps += agent.stepCount;
    }
    state.SetItemsProcessed(steps);
}
BENCHMARK(BM_HeadlessRun)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
