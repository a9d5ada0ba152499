// The tables a sweep writes, read back by a resume and a merge: results, a row a run, and series,
// a run's rows step by step. A row is taken only when it is whole and well formed: every field as
// the sweep writes it and its metrics consistent (counts not below 0, the bands covering the
// board), so that a line cut short is never taken for a run's row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "io/csv.h"

enum class Table { Results, Series };

// The table's header, newline included.
const char* tableHeader(Table table);

// Whether the record is the table's header.
bool isTableHeader(const CsvReader& reader, Table table);

// A row's place in its table: its run, and for a series its step.
struct RowKey {
    uint64_t run;
    int32_t step;
};

// Room enough for any row of either table.
constexpr size_t TABLE_ROW_MAX = 1024;

// The record as a row of the table: its key, and the row as the sweep writes it (which is the
// record's fields joined by commas) at `line`, newline included, its length in `length`. False
// for a record that is not a whole row of the table.
bool readTableRow(Table table, const CsvReader& reader, RowKey* key, char* line, size_t* length);

// "PATH line N: is not a whole result row ..." for a record readTableRow refuses.
std::string notATableRow(Table table, const std::string& path, const CsvReader& reader);
