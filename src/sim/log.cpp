#include "sim/log.h"

std::FILE* logStream = stdout;
bool logFlushesEachLine = true;

void logText(const char* text) {
    std::fputs(text, logStream);
}

void logNumber(int32_t value) {
    char digits[11];  // the ten digits of 2147483648, and a sign
    char* first = digits + sizeof digits;
    // Unsigned so that the magnitude of INT32_MIN is representable.
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        *--first = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        *--first = '-';
    }
    std::fwrite(first, 1, static_cast<size_t>(digits + sizeof digits - first), logStream);
}

void logEndLine() {
    std::fputc('\n', logStream);
    if (logFlushesEachLine) {
        std::fflush(logStream);
    }
}
