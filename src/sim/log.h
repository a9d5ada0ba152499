// The run's log: one line per step plus event lines, on standard output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

// Standard output unless a test or tool points it elsewhere; null for a run without a log, whose
// lines are then not even formatted.
extern std::FILE* logStream;

// A live window flushes every line. A batch run does not: its lines are gathered and handed to the
// stream in large blocks, and it calls logFlush when done, or before it changes or closes the
// stream.
extern bool logFlushesEachLine;

// "Starting up...", with no newline and no flush: the run's first line continues it.
void logStartingUp();

// A whole line from its pieces, string literals and numbers, in one call: logLine("Item generated
// at:", row, ",", col). Every line of the simulation is written by it.
template <typename... Pieces>
void logLine(const Pieces&... pieces);

// A line built from pieces one at a time and written when it ends.
void logText(const char* text);
void logNumber(int32_t value);  // plain decimal, a minus sign when negative
void logEndLine();

// Hands the lines gathered to the stream and flushes it.
void logFlush();

// How logLine puts its pieces straight into the buffer of gathered lines: inline, since a step
// line has fifteen pieces, with one look at the room left for the whole line.
extern char* logCursor;  // where the next piece goes
std::size_t logRoom();   // how many characters fit after it before the lines must be handed over
void logHandOver();
// The size of the buffer. Each write costs the kernel some work on the file besides the copying,
// which a megabyte a call makes small: a food-rich run of ten million steps, a gigabyte of log
// into a file, took 0.73 s in 1 MiB calls and 0.80 s in 64 KiB ones.
constexpr std::size_t LOG_GATHERED_MAX = 1 << 20;

template <typename Piece>
struct LogPieceWidth;  // the most characters a piece takes
template <std::size_t N>
struct LogPieceWidth<char[N]> {
    static constexpr std::size_t value = N - 1;  // its terminating zero aside
};
template <>
struct LogPieceWidth<int32_t> {
    static constexpr std::size_t value = 11;  // -2147483648
};

template <std::size_t N>
void logPut(const char (&text)[N]) {
    std::memcpy(logCursor, text, N - 1);
    logCursor += N - 1;
}

// "00" to "99": a number's digits are written two at a time.
struct LogDigitPairs {
    char digits[200];
};
constexpr LogDigitPairs makeLogDigitPairs() {
    LogDigitPairs pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs.digits[2 * i] = static_cast<char>('0' + i / 10);
        pairs.digits[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}
inline constexpr LogDigitPairs LOG_DIGIT_PAIRS = makeLogDigitPairs();

// How many digits `value` has, with no branch. Within one bit length the count goes up at most
// once, at a power of ten; the entry for a bit length holds the count of its smallest value in its
// upper half, and in its lower half what carries into the upper half exactly when the value
// reaches that power of ten.
struct LogDigitSteps {
    uint64_t step[32];
};
constexpr LogDigitSteps makeLogDigitSteps() {
    LogDigitSteps steps{};
    uint64_t digits = 1, nextTen = 10;
    for (int bits = 1; bits <= 32; ++bits) {
        const uint64_t smallest = uint64_t{1} << (bits - 1), largest = (uint64_t{1} << bits) - 1;
        if (smallest >= nextTen) {
            ++digits;
            nextTen *= 10;
        }
        steps.step[bits - 1] =
            digits << 32 | (largest >= nextTen ? (uint64_t{1} << 32) - nextTen : 0);
    }
    return steps;
}
inline constexpr LogDigitSteps LOG_DIGIT_STEPS = makeLogDigitSteps();

inline int logDigitCount(uint32_t value) {
    return static_cast<int>((value + LOG_DIGIT_STEPS.step[31 - __builtin_clz(value | 1)]) >> 32);
}

// `value` in plain decimal at `out`, two digits at a time; returns where the digits end. The
// series' rows are written with it too.
inline char* putDigits(char* out, uint32_t value) {
    char* const end = out + logDigitCount(value);
    char* digit = end;
    for (; value >= 100; value /= 100) {
        digit -= 2;
        std::memcpy(digit, &LOG_DIGIT_PAIRS.digits[2 * (value % 100)], 2);
    }
    if (value >= 10) {
        std::memcpy(digit - 2, &LOG_DIGIT_PAIRS.digits[2 * value], 2);
    } else {
        digit[-1] = static_cast<char>('0' + value);
    }
    return end;
}

inline void logPut(int32_t value) {
    // Unsigned so that the magnitude of INT32_MIN is representable.
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    if (value < 0) {
        *logCursor++ = '-';
    }
    // Most numbers of a line, its squares and priorities, are under 100: two characters are
    // copied, from the pair's second when it has one digit, and the cursor moves past the digits
    // (a character past them lies within the number's room; what comes next writes over it).
    if (magnitude < 100) {
        std::memcpy(logCursor, &LOG_DIGIT_PAIRS.digits[2 * magnitude + (magnitude < 10)], 2);
        logCursor += 1 + (magnitude >= 10);
        return;
    }
    logCursor = putDigits(logCursor, magnitude);
}

template <typename... Pieces>
void logLine(const Pieces&... pieces) {
    if (logStream == nullptr) {
        return;
    }
    constexpr std::size_t width = (LogPieceWidth<Pieces>::value + ...);
    static_assert(width < LOG_GATHERED_MAX, "a line fits in the buffer, with its newline");
    if (width > logRoom()) {
        logHandOver();
    }
    (logPut(pieces), ...);
    logEndLine();
}
