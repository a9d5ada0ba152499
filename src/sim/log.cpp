#include "sim/log.h"

std::FILE* logStream = stdout;
bool logFlushesEachLine = true;

// The lines gathered and not yet handed to the stream. A batch run hands them over when the next
// piece would not fit: a few calls for a million lines instead of one a line.
static char gathered[LOG_GATHERED_MAX];
char* logCursor = gathered;

// The stream the last lines went to. A stream sets up its own buffer with its first write, so a
// stream's first line is handed over at once, and nothing is allocated once a run is under way.
static std::FILE* streamWritten;

std::size_t logRoom() {
    return static_cast<std::size_t>(gathered + sizeof gathered - logCursor);
}

void logHandOver() {
    if (logStream != nullptr) {
        std::fwrite(gathered, 1, static_cast<std::size_t>(logCursor - gathered), logStream);
        streamWritten = logStream;
    }
    logCursor = gathered;
}

void logStartingUp() {
    if (logStream == nullptr) {
        return;
    }
    logHandOver();  // the lines of an earlier run come first
    std::fputs("Starting up...", logStream);
}

void logText(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length > logRoom()) {
        logHandOver();
    }
    if (length > logRoom()) {  // longer than the whole buffer: it goes to the stream directly
        if (logStream != nullptr) {
            std::fwrite(text, 1, length, logStream);
        }
        return;
    }
    std::memcpy(logCursor, text, length);
    logCursor += length;
}

void logNumber(int32_t value) {
    if (LogPieceWidth<int32_t>::value > logRoom()) {
        logHandOver();
    }
    logPut(value);
}

void logEndLine() {
    if (logRoom() == 0) {
        logHandOver();
    }
    *logCursor++ = '\n';
    if (logFlushesEachLine) {
        logFlush();
    } else if (logStream != streamWritten) {
        logHandOver();
    }
}

void logFlush() {
    logHandOver();
    if (logStream != nullptr) {
        std::fflush(logStream);
    }
}
