#include "experiment/design.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "io/whole.h"

constexpr int MAX_FIELDS = 1024;

struct Field {
    const char* text;
    size_t length;
};

static const char* columnName(int column) {
    static const char* const FIRST[] = {"run", "replicate", "seed"};
    return column < 3 ? FIRST[column] : PARAM_NAMES[column - 3];
}

uint64_t hashBytes(uint64_t hash, const char* bytes, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 0x100000001b3u;
    }
    return hash;
}

// The next line, its newline (and a carriage return before it) cut off; false at the end.
static bool readLine(DesignReader* reader, size_t* length) {
    const ssize_t read = getline(&reader->line, &reader->capacity, reader->file);
    if (read < 0) {
        return false;
    }
    ++reader->lineNumber;
    reader->hash = hashBytes(reader->hash, reader->line, static_cast<size_t>(read));
    size_t n = static_cast<size_t>(read);
    if (n > 0 && reader->line[n - 1] == '\n') {
        --n;
    }
    if (n > 0 && reader->line[n - 1] == '\r') {
        --n;
    }
    *length = n;
    return true;
}

// The comma-separated fields of the line; -1 when there are more than MAX_FIELDS.
static int splitFields(const char* line, size_t length, Field fields[MAX_FIELDS]) {
    int count = 0;
    const char* start = line;
    const char* end = line + length;
    for (const char* p = line;; ++p) {
        if (p == end || *p == ',') {
            if (count == MAX_FIELDS) {
                return -1;
            }
            fields[count++] = {start, static_cast<size_t>(p - start)};
            if (p == end) {
                return count;
            }
            start = p + 1;
        }
    }
}

static std::string lineFault(const DesignReader& reader, const std::string& what) {
    return reader.path + " line " + std::to_string(reader.lineNumber) + ": " + what;
}

static bool readHeader(DesignReader* reader, std::string* error) {
    size_t length = 0;
    if (!readLine(reader, &length)) {
        *error = reader->path + ": is empty, not a CSV design with a header line";
        return false;
    }
    static Field fields[MAX_FIELDS];
    reader->fieldCount = splitFields(reader->line, length, fields);
    if (reader->fieldCount < 2) {
        *error = reader->path +
                 ": is not a CSV design: its first line is not a header of the columns run, "
                 "replicate, seed and the parameters, separated by commas";
        return false;
    }
    for (int column = 0; column < DESIGN_COLUMNS; ++column) {
        reader->fieldOf[column] = -1;
        const char* name = columnName(column);
        for (int f = 0; f < reader->fieldCount; ++f) {
            if (fields[f].length == std::strlen(name) &&
                std::memcmp(fields[f].text, name, fields[f].length) == 0) {
                if (reader->fieldOf[column] >= 0) {
                    *error = reader->path + ": the column " + name + " appears twice";
                    return false;
                }
                reader->fieldOf[column] = f;
            }
        }
        if (reader->fieldOf[column] < 0) {
            *error = reader->path + ": lacks the column " + name;
            return false;
        }
    }
    return true;
}

bool openDesign(const char* path, DesignReader* reader, std::string* error) {
    *reader = DesignReader{nullptr, path, nullptr, 0, 0, 0, {}, HASH_START};
    reader->file = std::fopen(path, "r");
    if (reader->file == nullptr) {
        *error = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    return readHeader(reader, error);
}

static bool parseWholeField(const Field& field, uint64_t max, uint64_t* value) {
    char text[24];
    if (field.length >= sizeof text) {
        return false;
    }
    std::memcpy(text, field.text, field.length);
    text[field.length] = '\0';
    return parseWhole(text, max, value);
}

// The design's columns from the row's fields; the first one that cannot be read, or -1.
static int fillRow(const DesignReader& reader, const Field* fields, DesignRow* row) {
    uint64_t seed = 0;
    if (!parseWholeField(fields[reader.fieldOf[0]], MAX_RUNS - 1, &row->run)) {
        return 0;
    }
    if (!parseWholeField(fields[reader.fieldOf[1]], UINT64_MAX, &row->replicate)) {
        return 1;
    }
    if (!parseWholeField(fields[reader.fieldOf[2]], UINT32_MAX, &seed)) {
        return 2;
    }
    row->seed = static_cast<uint32_t>(seed);
    for (int p = 0; p < PARAM_COUNT; ++p) {
        const Field& field = fields[reader.fieldOf[3 + p]];
        if (!parseParamValue(field.text, field.length, &row->values[p])) {
            return 3 + p;
        }
    }
    return -1;
}

static const char* columnRule(int column) {
    static const char* const RULES[] = {"a whole number below 100000000", "a whole number",
                                        "a whole number from 0 to 4294967295"};
    return column < 3 ? RULES[column] : "a value as the parameter file writes one";
}

DesignRead readDesignRow(DesignReader* reader, DesignRow* row, std::string* error) {
    size_t length = 0;
    if (!readLine(reader, &length)) {
        if (std::ferror(reader->file)) {
            *error = "cannot read " + reader->path + ": " + std::strerror(errno);
            return DesignRead::Fault;
        }
        return DesignRead::End;
    }
    static Field fields[MAX_FIELDS];
    const int count = splitFields(reader->line, length, fields);
    if (count != reader->fieldCount) {
        *error = lineFault(*reader, "has " + std::to_string(count < 0 ? MAX_FIELDS + 1 : count) +
                                        " fields where the header has " +
                                        std::to_string(reader->fieldCount));
        return DesignRead::Fault;
    }
    const int wrong = fillRow(*reader, fields, row);
    if (wrong >= 0) {
        const Field& field = fields[reader->fieldOf[wrong]];
        *error = lineFault(*reader, std::string(columnName(wrong)) + " is " + columnRule(wrong) +
                                        ", not '" + std::string(field.text, field.length) + "'");
        return DesignRead::Fault;
    }
    return DesignRead::Row;
}

void closeDesign(DesignReader* reader) {
    if (reader->file != nullptr) {
        std::fclose(reader->file);
    }
    std::free(reader->line);
    reader->file = nullptr;
    reader->line = nullptr;
}

bool surveyDesign(const char* path, DesignSurvey* survey, std::string* error) {
    DesignReader reader;
    if (!openDesign(path, &reader, error)) {
        return false;
    }
    DesignRow row;
    DesignRead read;
    while ((read = readDesignRow(&reader, &row, error)) == DesignRead::Row) {
        if (row.run >= survey->runs.size()) {
            survey->runs.resize(row.run + 1);
        } else if (survey->runs[row.run]) {
            *error = std::string(path) + " line " + std::to_string(reader.lineNumber) + ": run " +
                     std::to_string(row.run) + " appears a second time";
            read = DesignRead::Fault;
            break;
        }
        survey->runs[row.run] = true;
    }
    survey->hash = reader.hash;
    closeDesign(&reader);
    return read == DesignRead::End;
}
