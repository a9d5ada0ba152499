// The simulation clock, shared by the window's timer and the headless runner: one step a tick
// while the run is live.
#pragma once

// Live while fewer than maxSteps steps are taken and energy is above 0.
bool runIsLive();

// Takes one step and counts it, if the run is live.
void tickClock();
