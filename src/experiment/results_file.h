// A results file: an identity line naming the program's version, the design (by a hash of its
// bytes) and the ticks; the results' header; then result rows in the order they were made.
// The identity keeps results of different sweeps from being mixed when a run resumes or files
// are merged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// "# vantu-sweep VERSION design HASH ticks T" and the header, each with its newline.
std::string resultsPreamble(uint64_t designHash, uint64_t ticks);

// The run number at the start of a result line, or false.
bool parseRunField(const char* line, size_t length, uint64_t* run);

// Opens `path` to append results: a new or empty file gets the preamble; a file with rows keeps
// them, loses a half-written last line and marks their runs in `done` (sized by the caller),
// counting them in `doneCount`. A file of another sweep is refused. Returns the descriptor, or
// -1 with the reason in `error`.
int openResults(const char* path, const std::string& preamble, std::vector<bool>* done,
                uint64_t* doneCount, std::string* error);
