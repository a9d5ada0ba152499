#include "experiment/stop_signals.h"

static const int STOPPING[STOP_SIGNAL_COUNT] = {SIGINT, SIGTERM, SIGHUP};

static volatile sig_atomic_t caught = 0;

static void noteStop(int signal) {
    if (caught == 0) {
        caught = signal;
    }
}

void catchStopSignals(StopSignals* signals) {
    caught = 0;
    sigemptyset(&signals->held);
    struct sigaction noting = {};
    noting.sa_handler = noteStop;
    sigemptyset(&noting.sa_mask);
    for (int i = 0; i < STOP_SIGNAL_COUNT; ++i) {
        sigaction(STOPPING[i], nullptr, &signals->before[i]);
        if (signals->before[i].sa_handler != SIG_IGN) {
            sigaddset(&signals->held, STOPPING[i]);
            sigaction(STOPPING[i], &noting, nullptr);
        }
    }
    sigprocmask(SIG_BLOCK, &signals->held, &signals->maskBefore);
}

int stopSignal(const StopSignals& signals) {
    if (caught != 0) {
        return caught;
    }
    sigset_t pending;
    sigpending(&pending);
    for (int signal : STOPPING) {
        if (sigismember(&signals.held, signal) == 1 && sigismember(&pending, signal) == 1) {
            return signal;
        }
    }
    return 0;
}

void releaseStopSignals(const StopSignals& signals) {
    for (int i = 0; i < STOP_SIGNAL_COUNT; ++i) {
        sigaction(STOPPING[i], &signals.before[i], nullptr);
    }
    sigprocmask(SIG_SETMASK, &signals.maskBefore, nullptr);
}

void endStopSignals(const StopSignals& signals) {
    const timespec noWait = {0, 0};
    while (sigtimedwait(&signals.held, nullptr, &noWait) > 0) {
    }
    releaseStopSignals(signals);
}
