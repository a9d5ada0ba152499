// The cost of drawing one frame of both boards, in a real window under whatever renderer the
// display offers (Mesa's software renderer under Xvfb): wall time and the whole process's CPU,
// the renderer's threads included.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdio>

#include "sim/clock.h"
#include "sim/generate.h"
#include "sim/log.h"
#include "view/view.h"

static void BM_DrawFrame(benchmark::State& state) {
    for (auto _ : state) {
        onDisplay();
        glFinish();
    }
}
BENCHMARK(BM_DrawFrame)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A world some way into a run on the shipped file, so that every colour is on the boards.
static void startRun() {
    int32_t values[PARAM_COUNT];
    readParamFile(VANTU_DEFAULT_PARAMS, values);
    initWorldWith(1, values);
    logStream = std::fopen("/dev/null", "w");
    for (int tick = 0; tick < 2000; ++tick) {
        tickClock();
    }
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    startRun();
    openWindow(&argc, argv);
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    for (int i = 0; i < 100; ++i) {  // let the window be mapped and shaped
        glutMainLoopEvent();
    }
    onReshape(300, 600);
    benchmark::AddCustomContext("renderer",
                                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
