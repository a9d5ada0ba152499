#include "sim/log.h"

#include <cstring>

std::FILE* logStream = stdout;
bool logFlushesEachLine = true;

// A line is gathered here and handed to the stream whole: one call per line instead of one per
// piece. The longest line, a step line of eight numbers at eleven characters, is under 160.
static char line[256];
static size_t lineLength;

static void append(const char* text, size_t length) {
    const size_t room = sizeof line - 1 - lineLength;  // keeps a place for the newline
    length = length < room ? length : room;
    std::memcpy(line + lineLength, text, length);
    lineLength += length;
}

void logStartingUp() {
    std::fputs("Starting up...", logStream);
}

void logText(const char* text) {
    append(text, std::strlen(text));
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
    append(first, static_cast<size_t>(digits + sizeof digits - first));
}

void logEndLine() {
    line[lineLength++] = '\n';
    std::fwrite(line, 1, lineLength, logStream);
    lineLength = 0;
    if (logFlushesEachLine) {
        std::fflush(logStream);
    }
}
