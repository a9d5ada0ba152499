#include "sim/clock.h"

#include "sim/step.h"
#include "sim/world.h"

bool runIsLive() {
    return agent.stepCount < params.maxSteps && agent.energy > 0;
}

void tickClock() {
    if (runIsLive()) {
        // The step prints the count of steps taken before it.
        stepAgent();
        ++agent.stepCount;
    }
}
