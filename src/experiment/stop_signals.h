// SIGINT (Ctrl-C), SIGTERM (a batch system's time limit) and SIGHUP stop a sweep in order
// rather than at once. While the worker pool runs they are held back everywhere but in its
// wait, so that one coming between a look at them and the wait cannot be slept through.
#pragma once

#include <signal.h>

constexpr int STOP_SIGNAL_COUNT = 3;

struct StopSignals {
    sigset_t held;        // the stop signals caught
    sigset_t maskBefore;  // which the pool's wait takes, letting the stop signals through
    struct sigaction before[STOP_SIGNAL_COUNT];
};

// Catches the stop signals, but leaves one that was ignored (as under nohup) ignored.
void catchStopSignals(StopSignals* signals);

// The stop signal that has come, caught or still held back; 0 when none has.
int stopSignal(const StopSignals& signals);

// What a worker starts with: the dispositions and the mask from before, so that a stop signal
// ends it as it would have ended the sweep.
void releaseStopSignals(const StopSignals& signals);

// The same for the pool when it is done; a stop signal still held back is dropped, since there
// is nothing left to stop.
void endStopSignals(const StopSignals& signals);
