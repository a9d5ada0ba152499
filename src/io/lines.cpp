#include "io/lines.h"

#include <sys/types.h>

#include <cstdlib>

uint64_t hashBytes(uint64_t hash, const char* bytes, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 0x100000001b3u;
    }
    return hash;
}

LineReader startLines(std::FILE* file) {
    LineReader reader;
    reader.file = file;
    reader.hash = HASH_START;
    return reader;
}

bool readLine(LineReader* reader, std::string_view* line) {
    const ssize_t length = getline(&reader->buffer, &reader->capacity, reader->file);
    if (length <= 0) {
        return false;
    }
    *line = std::string_view(reader->buffer, static_cast<size_t>(length));
    ++reader->lines;
    reader->bytes += line->size();
    reader->hash = hashBytes(reader->hash, line->data(), line->size());
    return true;
}

void endLines(LineReader* reader) {
    std::free(reader->buffer);
    reader->buffer = nullptr;
    reader->capacity = 0;
}
