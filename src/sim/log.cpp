#include "sim/log.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

std::FILE* logStream = stdout;
bool logFlushesEachLine = true;

// The lines gathered and not yet handed to the stream. A batch run hands them over when the next
// piece would not fit: a few calls for a million lines instead of one a line. There are two
// buffers, so that a writer in the background can write one while the other fills.
static char buffers[2][LOG_GATHERED_MAX];
static char* gathered = buffers[0];
char* logCursor = gathered;

static std::atomic<bool> writeFailed;
static int writeError;  // errno of the failed write

// The writer in the background: it writes the block handed to it, then waits for the next.
static struct {
    std::mutex mutex;
    std::condition_variable changed;
    std::thread thread;
    const char* block;  // handed over and not yet written
    std::size_t length;
    bool running;
} writer;

// The stream the last lines went to. A stream sets up its own buffer with its first write, so a
// stream's first line is handed over at once, and nothing is allocated once a run is under way.
static std::FILE* streamWritten;

std::size_t logRoom() {
    return static_cast<std::size_t>(gathered + LOG_GATHERED_MAX - logCursor);
}

static void writeBlock(const char* block, std::size_t length) {
    if (std::fwrite(block, 1, length, logStream) != length && !writeFailed) {
        writeError = errno;
        writeFailed = true;
    }
}

static void writeInBackground() {
    std::unique_lock<std::mutex> lock(writer.mutex);
    for (;;) {
        writer.changed.wait(lock, [] { return writer.block != nullptr || !writer.running; });
        if (writer.block == nullptr) {
            return;
        }
        lock.unlock();
        writeBlock(writer.block, writer.length);
        lock.lock();
        writer.block = nullptr;
        writer.changed.notify_all();
    }
}

static void waitForWriter() {
    std::unique_lock<std::mutex> lock(writer.mutex);
    writer.changed.wait(lock, [] { return writer.block == nullptr; });
}

void logWriteInBackground() {
    writer.running = true;
    writer.thread = std::thread(writeInBackground);
}

bool logFailed() {
    return writeFailed;
}

void logHandOver() {
    if (logStream != nullptr) {
        const std::size_t length = static_cast<std::size_t>(logCursor - gathered);
        if (writer.running && streamWritten == logStream) {
            waitForWriter();
            {
                std::lock_guard<std::mutex> lock(writer.mutex);
                writer.block = gathered;
                writer.length = length;
            }
            writer.changed.notify_all();
            gathered = gathered == buffers[0] ? buffers[1] : buffers[0];
        } else {
            writeBlock(gathered, length);
        }
        streamWritten = logStream;
    }
    logCursor = gathered;
}

void logStartingUp() {
    if (logStream == nullptr) {
        return;
    }
    logHandOver();  // the lines of an earlier run come first
    waitForWriter();
    std::fputs("Starting up...", logStream);
}

void logText(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length > logRoom()) {
        logHandOver();
    }
    if (length > logRoom()) {  // longer than the whole buffer: it goes to the stream directly
        if (logStream != nullptr) {
            waitForWriter();
            writeBlock(text, length);
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
    if (writer.running) {
        {
            std::lock_guard<std::mutex> lock(writer.mutex);
            writer.running = false;
        }
        writer.changed.notify_all();
        writer.thread.join();
    }
    if (logStream != nullptr && std::fflush(logStream) != 0 && !writeFailed) {
        writeError = errno;
        writeFailed = true;
    }
    if (writeFailed) {
        errno = writeError;
    }
}
