// Reading a file a line at a time, whatever the lines' length, keeping count of the lines and
// bytes read and a hash of them, so that a file can be named by its content.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

struct LineReader {
    std::FILE* file = nullptr;
    char* buffer = nullptr;
    size_t capacity = 0;
    uint64_t lines = 0;  // read so far
    uint64_t bytes = 0;
    uint64_t hash = 0;
};

// FNV-1a, 64 bits: a streaming hash of bytes, continued from `hash`.
constexpr uint64_t HASH_START = 0xcbf29ce484222325u;
uint64_t hashBytes(uint64_t hash, const char* bytes, size_t length);

// Reads `file`, which stays the caller's to close.
LineReader startLines(std::FILE* file);

// The next line, its line break included when it has one (only the last line may lack it); false
// at the end or on a read error, which ferror(reader->file) tells apart.
bool readLine(LineReader* reader, std::string_view* line);

// Frees the reader's buffer.
void endLines(LineReader* reader);
