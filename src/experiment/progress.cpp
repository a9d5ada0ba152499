#include "experiment/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

constexpr double BAR_INTERVAL = 0.1;    // seconds between redraws of the bar as runs end
constexpr double BAR_CLOCK = 1.0;       // and between redraws while none ends
constexpr double LINE_INTERVAL = 10.0;  // seconds between plain lines
constexpr int BAR_WIDTH = 30;
constexpr int BAR_LEAST = 8;  // a bar narrower than this says too little to be worth its room
constexpr int COLUMNS_UNKNOWN = 80;

double nowSeconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Asked at every redraw, so that a resized window is followed.
static int terminalColumns() {
    winsize size;
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return COLUMNS_UNKNOWN;
    }
    return size.ws_col;
}

static void formatDuration(double seconds, char* text, size_t size) {
    const long whole = static_cast<long>(seconds);
    std::snprintf(text, size, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
}

// "N/M runs  R/s  H:MM:SS elapsed  H:MM:SS left" on a terminal, where room is short;
// "N of M runs, R runs/s, H:MM:SS elapsed, H:MM:SS left" otherwise. The elapsed time moves
// even while no run ends, to show that the sweep is alive.
static void describe(const Progress& progress, double now, char* text, size_t size) {
    const double elapsed = now - progress.startSeconds;
    const uint64_t doneHere = progress.done - progress.doneAtStart;
    const double rate = elapsed > 0 ? static_cast<double>(doneHere) / elapsed : 0;
    const uint64_t left = progress.total - progress.done;
    const char* gap = progress.onTerminal ? "  " : ", ";
    char times[96];
    if (left == 0) {
        std::snprintf(times, sizeof times, "done in %.1f s", elapsed);
    } else {
        char sinceStart[32];
        formatDuration(elapsed, sinceStart, sizeof sinceStart);
        char toEnd[32] = "--:--:--";  // no rate to tell by before the first run ends
        if (doneHere > 0 && rate > 0) {
            formatDuration(static_cast<double>(left) / rate, toEnd, sizeof toEnd);
        }
        std::snprintf(times, sizeof times, "%s elapsed%s%s left", sinceStart, gap, toEnd);
    }
    std::snprintf(
        text, size,
        progress.onTerminal ? "%llu/%llu runs  %.1f/s  %s" : "%llu of %llu runs, %.1f runs/s, %s",
        static_cast<unsigned long long>(progress.done),
        static_cast<unsigned long long>(progress.total), rate, times);
}

// The whole line stays a column short of the terminal's width, so that the cursor never wraps
// and the next redraw overwrites it; the bar gives way first, then the end of the text.
static void drawBar(const Progress& progress, const char* text) {
    const int room = terminalColumns() - 1;
    const int width = std::min(
        BAR_WIDTH, room - static_cast<int>(sizeof "[] " - 1) - static_cast<int>(std::strlen(text)));
    if (width < BAR_LEAST) {
        std::fprintf(stderr, "\r%.*s\033[K", room, text);
        return;
    }
    const int filled =
        progress.total == 0
            ? width
            : static_cast<int>(progress.done * static_cast<uint64_t>(width) / progress.total);
    char bar[BAR_WIDTH + 1];
    for (int i = 0; i < width; ++i) {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[width] = '\0';
    std::fprintf(stderr, "\r[%s] %s\033[K", bar, text);
}

static void show(const Progress& progress, double now) {
    char text[160];
    describe(progress, now, text, sizeof text);
    if (progress.onTerminal) {
        drawBar(progress, text);
    } else {
        std::fprintf(stderr, "%s: %s\n", progress.name, text);
    }
}

Progress startProgress(uint64_t total, uint64_t done, bool quiet, const char* name) {
    const double now = nowSeconds();
    const Progress progress = {total, done, done, now, now, isatty(STDERR_FILENO) == 1,
                               quiet, name};
    if (progress.onTerminal && !quiet) {
        show(progress, now);
    }
    return progress;
}

// A bar follows runs as they end, but never faster than the eye reads it.
static double interval(const Progress& progress, bool runsEnded) {
    if (!progress.onTerminal) {
        return LINE_INTERVAL;
    }
    return runsEnded ? BAR_INTERVAL : BAR_CLOCK;
}

void advanceProgress(Progress* progress, uint64_t runs) {
    progress->done += runs;
    if (progress->quiet) {
        return;
    }
    const double now = nowSeconds();
    if (now - progress->shownSeconds >= interval(*progress, runs > 0)) {
        progress->shownSeconds = now;
        show(*progress, now);
    }
}

int msUntilProgressDue(const Progress& progress) {
    if (progress.quiet) {
        return -1;
    }
    const double wait = progress.shownSeconds + interval(progress, false) - nowSeconds();
    return wait > 0 ? static_cast<int>(std::ceil(wait * 1000)) : 0;
}

void finishProgress(Progress* progress) {
    if (progress->quiet) {
        return;
    }
    show(*progress, nowSeconds());
    if (progress->onTerminal) {
        std::fputc('\n', stderr);
    }
}
