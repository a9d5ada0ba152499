#include "experiment/progress.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

constexpr double BAR_INTERVAL = 0.1;    // seconds between redraws of the bar
constexpr double LINE_INTERVAL = 10.0;  // seconds between plain lines
constexpr int BAR_WIDTH = 30;

double nowSeconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Progress startProgress(uint64_t total, uint64_t done, bool quiet) {
    const double now = nowSeconds();
    return {total, done, done, now, now, isatty(STDERR_FILENO) == 1, quiet};
}

static void show(const Progress& progress, double now) {
    const double elapsed = now - progress.startSeconds;
    const double rate =
        elapsed > 0 ? static_cast<double>(progress.done - progress.doneAtStart) / elapsed : 0;
    const uint64_t left = progress.total - progress.done;
    const long secondsLeft = rate > 0 ? static_cast<long>(static_cast<double>(left) / rate) : 0;
    char timeLeft[32];
    std::snprintf(timeLeft, sizeof timeLeft, "%ld:%02ld:%02ld left", secondsLeft / 3600,
                  secondsLeft / 60 % 60, secondsLeft % 60);
    if (!progress.onTerminal) {
        std::fprintf(stderr, "vantu-sweep: %llu of %llu runs, %.1f runs/s, %s\n",
                     static_cast<unsigned long long>(progress.done),
                     static_cast<unsigned long long>(progress.total), rate, timeLeft);
        return;
    }
    const int filled = progress.total == 0
                           ? BAR_WIDTH
                           : static_cast<int>(progress.done * BAR_WIDTH / progress.total);
    char bar[BAR_WIDTH + 1];
    for (int i = 0; i < BAR_WIDTH; ++i) {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[BAR_WIDTH] = '\0';
    std::fprintf(stderr, "\r[%s] %llu/%llu runs  %.1f runs/s  %s \033[K", bar,
                 static_cast<unsigned long long>(progress.done),
                 static_cast<unsigned long long>(progress.total), rate, timeLeft);
}

void advanceProgress(Progress* progress, uint64_t runs) {
    progress->done += runs;
    if (progress->quiet) {
        return;
    }
    const double now = nowSeconds();
    if (now - progress->shownSeconds >= (progress->onTerminal ? BAR_INTERVAL : LINE_INTERVAL)) {
        progress->shownSeconds = now;
        show(*progress, now);
    }
}

void finishProgress(Progress* progress) {
    if (progress->quiet || !progress->onTerminal) {
        return;
    }
    show(*progress, nowSeconds());
    std::fputc('\n', stderr);
}
