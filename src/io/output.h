// Writing a file where the user points. A new or regular file is written beside its final name and
// renamed into place once whole, so that a kill never leaves half of one; through a symbolic link,
// the link's target is what gets replaced and the link stays; a device, a FIFO or another file
// that is not regular is written to directly, never replaced by a file of ours.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct Output {
    std::FILE* file = nullptr;
    std::string path;   // as the user gave it, for messages
    std::string aside;  // the file written before the rename; empty when written directly
};

// Opens `path` for writing; false with the reason in `error` ("cannot write PATH: REASON").
bool openOutput(const char* path, Output* output, std::string* error);

// Flushes and closes the file and puts it in place; false with the reason in `error`, and then
// nothing of it is left but what a device or FIFO has already taken.
bool commitOutput(Output* output, std::string* error);

// Closes the file and removes what was written aside.
void abandonOutput(Output* output);

// Whether `path` names something that is not a regular file (a device, a FIFO, a folder...),
// following links; false when it does not exist.
bool isSpecialFile(const char* path);

// A file of our own in TMPDIR (/tmp unless set) to write and read back, gone from the folder at
// once so that nothing is left behind whatever happens; null on failure (errno says why).
std::FILE* temporaryFile();

// Writes all of `length` bytes; false on failure (errno says why).
bool writeWhole(int fd, const char* bytes, size_t length);
