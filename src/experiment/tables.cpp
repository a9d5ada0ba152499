#include "experiment/tables.h"

#include <charconv>
#include <cstring>

#include "io/whole.h"
#include "run/run.h"
#include "run/series.h"

constexpr size_t RESULT_FIELDS = 3 + PARAM_COUNT + 7 + PRIORITY_BANDS;
constexpr size_t SERIES_FIELDS = 7 + PRIORITY_BANDS;
constexpr int32_t INTERIOR_SQUARES = 49 * 49;

const char* tableHeader(Table table) {
    return table == Table::Results ? resultHeader() : seriesHeader();
}

bool isTableHeader(const CsvReader& reader, Table table) {
    std::string header;
    for (size_t i = 0; i < reader.fields.size(); ++i) {
        header += csvField(reader, i);
        header += i + 1 < reader.fields.size() ? ',' : '\n';
    }
    return header == tableHeader(table);
}

namespace {

template <typename Number>
bool parseNumber(std::string_view text, Number* value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, *value);
    return error == std::errc() && stop == end;
}

bool parseEnd(std::string_view text, RunState* end) {
    for (RunState candidate : {RunState::EnergySpent, RunState::StepLimit, RunState::Live}) {
        if (text == runEndName(candidate)) {
            *end = candidate;
            return true;
        }
    }
    return false;
}

// Reads the record's fields in order.
struct Fields {
    const CsvReader& reader;
    size_t at;
    std::string_view next() { return csvField(reader, at++); }
};

bool readDesignPart(Fields* fields, DesignRow* row) {
    uint64_t seed = 0;
    bool good = parseWhole(fields->next(), UINT64_MAX, &row->run) &&
                parseWhole(fields->next(), UINT64_MAX, &row->replicate) &&
                parseWhole(fields->next(), UINT32_MAX, &seed);
    row->seed = static_cast<uint32_t>(seed);
    for (int32_t& value : row->values) {
        good = good && parseNumber(fields->next(), &value);
    }
    return good;
}

// The metrics from steps on, the run's end among them or not.
bool readMetrics(Fields* fields, bool withEnd, RunMetrics* metrics) {
    bool good = parseNumber(fields->next(), &metrics->steps) &&
                (!withEnd || parseEnd(fields->next(), &metrics->end)) &&
                parseNumber(fields->next(), &metrics->energy) &&
                parseNumber(fields->next(), &metrics->food) &&
                parseNumber(fields->next(), &metrics->poison) &&
                parseNumber(fields->next(), &metrics->restored) &&
                parseNumber(fields->next(), &metrics->visited);
    int64_t squares = 0;
    for (int32_t& count : metrics->squaresByBand) {
        good = good && parseNumber(fields->next(), &count) && count >= 0;
        squares += count;
    }
    return good && metrics->steps >= 0 && metrics->food >= 0 && metrics->poison >= 0 &&
           metrics->restored >= 0 && metrics->visited >= 1 &&
           metrics->visited <= INTERIOR_SQUARES && squares == INTERIOR_SQUARES;
}

// Whether the record's fields, joined by commas, are the line: no sign, blank or leading zero
// of their own.
bool asWritten(const CsvReader& reader, const char* line, size_t length) {
    size_t at = 0;
    for (size_t i = 0; i < reader.fields.size(); ++i) {
        const std::string_view field = csvField(reader, i);
        const char separator = i + 1 < reader.fields.size() ? ',' : '\n';
        if (field.size() >= length - at ||
            field.compare(0, field.size(), line + at, field.size()) ||
            line[at + field.size()] != separator) {
            return false;
        }
        at += field.size() + 1;
    }
    return at == length;
}

}  // namespace

bool readTableRow(Table table, const CsvReader& reader, RowKey* key, char* line, size_t* length) {
    Fields fields{reader, 0};
    DesignRow row = {};
    RunMetrics metrics = {};
    if (table == Table::Results) {
        if (reader.fields.size() != RESULT_FIELDS || !readDesignPart(&fields, &row) ||
            !readMetrics(&fields, true, &metrics)) {
            return false;
        }
        *length = formatResultRow(row, metrics, line);
    } else {
        if (reader.fields.size() != SERIES_FIELDS ||
            !parseWhole(fields.next(), UINT64_MAX, &row.run) ||
            !readMetrics(&fields, false, &metrics)) {
            return false;
        }
        *length = formatSeriesRow(row.run, metrics, line);
    }
    *key = {row.run, table == Table::Results ? 0 : metrics.steps};
    return asWritten(reader, line, *length);
}

std::string notATableRow(Table table, const std::string& path, const CsvReader& reader) {
    return path + " line " + std::to_string(reader.recordLine) + ": is not a whole " +
           (table == Table::Results ? "result row (" + std::to_string(RESULT_FIELDS)
                                    : "series row (" + std::to_string(SERIES_FIELDS)) +
           " fields, each as vantu-sweep writes it); remove the line, and the same command runs "
           "its run again";
}
