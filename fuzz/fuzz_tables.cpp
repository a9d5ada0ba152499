// libFuzzer target: any bytes, read as a CSV table, as a design and as results. Besides the
// sanitizers' own checks it aborts when a record, written back with every field quoted, reads
// otherwise; and when a record the tables' reader takes is not the row the sweep would write.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "experiment/design.h"
#include "experiment/tables.h"
#include "io/csv.h"

static void check(bool good, const char* what) {
    if (!good) {
        std::fprintf(stderr, "fuzz_tables: %s\n", what);
        std::abort();
    }
}

static std::string quoted(const CsvReader& reader) {
    std::string line;
    for (size_t i = 0; i < reader.fields.size(); ++i) {
        line += i == 0 ? "\"" : ",\"";
        for (char c : csvField(reader, i)) {
            line += c == '"' ? "\"\"" : std::string(1, c);
        }
        line += '"';
    }
    return line + "\r\n";
}

static void checkRecords(std::FILE* file) {
    CsvReader reader = startCsv(file);
    std::string error;
    while (readRecord(&reader, &error) == CsvRead::Record) {
        std::string again = quoted(reader);
        std::FILE* copy = fmemopen(&again[0], again.size(), "r");
        CsvReader second = startCsv(copy);
        check(readRecord(&second, &error) == CsvRead::Record && second.text == reader.text &&
                  second.fields == reader.fields && second.complete,
              "a record written back with quotes reads otherwise");
        endCsv(&second);
        std::fclose(copy);
        // A row taken is the record's fields as they stand, joined by commas.
        RowKey key;
        char line[TABLE_ROW_MAX];
        size_t length = 0;
        for (Table table : {Table::Results, Table::Series}) {
            if (readTableRow(table, reader, &key, line, &length)) {
                std::string fields;
                for (size_t i = 0; i < reader.fields.size(); ++i) {
                    fields += std::string(i == 0 ? "" : ",") + std::string(csvField(reader, i));
                }
                check(std::string(line, length) == fields + "\n",
                      "a row taken is not as the sweep writes it");
            }
        }
    }
    endCsv(&reader);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    void* bytes = const_cast<uint8_t*>(data);
    std::FILE* file = fmemopen(bytes, size, "r");
    checkRecords(file);
    std::fclose(file);
    DesignReader reader;
    std::string error;
    if (startDesign(fmemopen(bytes, size, "r"), "fuzz", &reader, &error)) {
        DesignRow row;
        while (readDesignRow(&reader, &row, &error) == DesignRead::Row) {
            check(row.run < MAX_RUNS, "a design's run beyond its limit");
        }
    }
    closeDesign(&reader);
    return 0;
}
