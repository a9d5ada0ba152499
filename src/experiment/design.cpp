#include "experiment/design.h"

#include <cerrno>
#include <cstring>

#include "io/whole.h"

static const char* columnName(int column) {
    static const char* const FIRST[] = {"run", "replicate", "seed"};
    return column < 3 ? FIRST[column] : PARAM_NAMES[column - 3];
}

static std::string lineFault(const DesignReader& reader, const std::string& what) {
    return reader.path + " line " + std::to_string(reader.csv.recordLine) + ": " + what;
}

// The next record, or false with the reason in `error` (empty at the end).
static bool nextRecord(DesignReader* reader, std::string* error) {
    std::string fault;
    switch (readRecord(&reader->csv, &fault)) {
        case CsvRead::Record:
            return true;
        case CsvRead::End:
            error->clear();
            return false;
        case CsvRead::Fault:
            break;
    }
    *error = std::ferror(reader->file) ? "cannot read " + reader->path + ": " + fault
                                       : reader->path + " " + fault;
    return false;
}

static bool readHeader(DesignReader* reader, std::string* error) {
    if (!nextRecord(reader, error)) {
        if (error->empty()) {
            *error = reader->path + ": is empty, not a CSV design with a header line";
        }
        return false;
    }
    if (reader->csv.fields.size() < 2) {
        *error = reader->path +
                 ": is not a CSV design: its first line is not a header of the columns run, "
                 "replicate, seed and the parameters, separated by commas";
        return false;
    }
    reader->headerFields = reader->csv.fields.size();
    for (int column = 0; column < DESIGN_COLUMNS; ++column) {
        bool found = false;
        for (size_t f = 0; f < reader->csv.fields.size(); ++f) {
            if (csvField(reader->csv, f) != columnName(column)) {
                continue;
            }
            if (found) {
                *error = reader->path + ": the column " + columnName(column) + " appears twice";
                return false;
            }
            found = true;
            reader->fieldOf[column] = f;
        }
        if (!found) {
            *error = reader->path + ": lacks the column " + columnName(column);
            return false;
        }
    }
    return true;
}

bool openDesign(const char* path, DesignReader* reader, std::string* error) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        *error = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    return startDesign(file, path, reader, error);
}

bool startDesign(std::FILE* file, const char* path, DesignReader* reader, std::string* error) {
    reader->path = path;
    reader->file = file;
    reader->csv = startCsv(file);
    return readHeader(reader, error);
}

// The design's columns from the record's fields; the first one that cannot be read, or -1.
static int fillRow(const DesignReader& reader, DesignRow* row) {
    auto field = [&](int column) { return csvField(reader.csv, reader.fieldOf[column]); };
    uint64_t seed = 0;
    if (!parseWhole(field(0), MAX_RUNS - 1, &row->run)) {
        return 0;
    }
    if (!parseWhole(field(1), UINT64_MAX, &row->replicate)) {
        return 1;
    }
    if (!parseWhole(field(2), UINT32_MAX, &seed)) {
        return 2;
    }
    row->seed = static_cast<uint32_t>(seed);
    for (int p = 0; p < PARAM_COUNT; ++p) {
        const std::string_view text = field(3 + p);
        if (!parseParamValue(text.data(), text.size(), &row->values[p])) {
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
    if (!nextRecord(reader, error)) {
        return error->empty() ? DesignRead::End : DesignRead::Fault;
    }
    const size_t count = reader->csv.fields.size();
    if (count != reader->headerFields) {
        *error =
            lineFault(*reader, "has " + std::to_string(count) + " fields where the header has " +
                                   std::to_string(reader->headerFields));
        return DesignRead::Fault;
    }
    const int wrong = fillRow(*reader, row);
    if (wrong >= 0) {
        *error = lineFault(*reader,
                           std::string(columnName(wrong)) + " is " + columnRule(wrong) + ", not '" +
                               std::string(csvField(reader->csv, reader->fieldOf[wrong])) + "'");
        return DesignRead::Fault;
    }
    return DesignRead::Row;
}

void closeDesign(DesignReader* reader) {
    if (reader->file != nullptr) {
        std::fclose(reader->file);
    }
    endCsv(&reader->csv);
    reader->file = nullptr;
}

bool surveyDesign(const char* path, DesignSurvey* survey, std::string* error) {
    DesignReader reader;
    if (!openDesign(path, &reader, error)) {
        closeDesign(&reader);
        return false;
    }
    DesignRow row;
    DesignRead read;
    while ((read = readDesignRow(&reader, &row, error)) == DesignRead::Row) {
        if (row.run >= survey->runs.size()) {
            survey->runs.resize(row.run + 1);
        } else if (survey->runs[row.run]) {
            *error = lineFault(reader, "run " + std::to_string(row.run) + " appears a second time");
            read = DesignRead::Fault;
            break;
        }
        survey->runs[row.run] = true;
    }
    survey->hash = designHash(reader);
    closeDesign(&reader);
    return read == DesignRead::End;
}
