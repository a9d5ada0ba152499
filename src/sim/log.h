// The run's log: one line per step plus event lines, on standard output.
#pragma once

#include <cstdint>
#include <cstdio>

extern std::FILE* logStream;     // standard output unless a test or tool points it elsewhere
extern bool logFlushesEachLine;  // a live window flushes every line; batch runs need not

void logText(const char* text);
void logNumber(int32_t value);  // plain decimal, a minus sign when negative
void logEndLine();
