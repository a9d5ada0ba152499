// Reading CSV as spreadsheets, data-frame libraries and RFC 4180 write it: fields separated by
// commas; a quoted field may hold commas, line breaks and quotes (doubled); lines end in LF or
// CRLF; a UTF-8 byte-order mark may open the file; blank lines are passed over. A quote inside
// a field that does not start with one is taken as it stands, as the common readers take it.
// It streams, a record at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/lines.h"

struct CsvReader {
    LineReader lines;
    std::string text;                               // the record's fields, unquoted, end to end
    std::vector<std::pair<size_t, size_t>> fields;  // each field's start and length in text
    uint64_t recordLine = 0;                        // the line the record read last starts on
    uint64_t recordEnd = 0;  // bytes up to the end of the last record that ended in a line break
    bool complete = false;   // whether the record read last ended in a line break
};

enum class CsvRead { Record, End, Fault };

// Reads `file`, which stays the caller's to close.
CsvReader startCsv(std::FILE* file);

// The next record; the end; or a fault, with what is wrong and where in `error` (a read error, or
// a quoted field that is never closed or goes on after its closing quote).
CsvRead readRecord(CsvReader* reader, std::string* error);

inline std::string_view csvField(const CsvReader& reader, size_t index) {
    const auto& [start, length] = reader.fields[index];
    return std::string_view(reader.text).substr(start, length);
}

void endCsv(CsvReader* reader);
