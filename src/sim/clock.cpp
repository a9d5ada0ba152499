#include "sim/clock.h"

#include "sim/step.h"
#include "sim/world.h"

RunState runState() {
    if (agent.energy <= 0) {
        return RunState::EnergySpent;
    }
    return agent.stepCount >= params.maxSteps ? RunState::StepLimit : RunState::Live;
}

void tickClock() {
    if (runIsLive()) {
        // The step prints the count of steps taken before it.
        stepAgent();
        ++agent.stepCount;
    }
}
