// The run's log: one line per step plus event lines, on standard output.
#pragma once

#include <cstdint>
#include <cstdio>

// Standard output unless a test or tool points it elsewhere; null for a run without a log, whose
// lines are then not even formatted.
extern std::FILE* logStream;
extern bool logFlushesEachLine;  // a live window flushes every line; batch runs need not

// "Starting up...", with no newline and no flush: the run's first line continues it.
void logStartingUp();

// A line is built from pieces and written when it ends.
void logText(const char* text);
void logNumber(int32_t value);  // plain decimal, a minus sign when negative
void logEndLine();
