// The simulation clock, shared by the window's timer and the headless runner: one step a tick
// while the run is live.
#pragma once

// Whether the run goes on, or why it is over: its energy is spent (0 or below), else it has taken
// maxSteps steps.
enum class RunState { Live, EnergySpent, StepLimit };

RunState runState();

inline bool runIsLive() {
    return runState() == RunState::Live;
}

// Takes one step and counts it, if the run is live.
void tickClock();
