// The CSV reader on what spreadsheets and data-frame libraries write, and on broken input.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "io/csv.h"
#include "io/whole.h"

// Records as "field|field" lines, with "+" after a record that ends in a line break; a fault as
// "! " and its message.
static std::string readAll(const std::string& bytes) {
    std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
    CsvReader reader = startCsv(file);
    std::string got;
    std::string error;
    CsvRead read;
    while ((read = readRecord(&reader, &error)) == CsvRead::Record) {
        for (size_t i = 0; i < reader.fields.size(); ++i) {
            got += std::string(i ? "|" : "") + std::string(csvField(reader, i));
        }
        got += reader.complete ? "+\n" : "\n";
    }
    endCsv(&reader);
    std::fclose(file);
    return read == CsvRead::Fault ? got + "! " + error : got;
}

TEST(Csv, ReadsWhatOtherToolsWrite) {
    const struct {
        const char* bytes;
        const char* records;
    } CASES[] = {
        {"a,b\n1,2\n", "a|b+\n1|2+\n"},
        {"\xEF\xBB\xBF\"run\",\"seed\"\r\n\"1\",\"7\"\r\n", "run|seed+\n1|7+\n"},  // R, pandas
        {"x,\"a, \"\"b\"\"\",y\n", "x|a, \"b\"|y+\n"},
        {"\"two\nlines\",z\n", "two\nlines|z+\n"},
        {"a\n\n\r\nb\n\n\n", "a+\nb+\n"},  // blank lines passed over
        {",,\n", "||+\n"},
        {"a,b\n1,2", "a|b+\n1|2\n"},  // the last line without its line break
        {"a\"b,c\n", "a\"b|c+\n"},    // a quote inside a plain field is taken as it stands
        {"a\rb\n", "a\rb+\n"},
        {"1,\"2\"x\n", "! line 1: a quoted field goes on after its closing quote"},
        {"ok\n\"open,\n", "ok+\n! line 2: a quoted field is not closed by the end of the file"},
    };
    for (const auto& c : CASES) {
        EXPECT_EQ(readAll(c.bytes), c.records) << "reading " << c.bytes;
    }
}

TEST(Whole, TakesPlainDigitsWithinTheLimit) {
    uint64_t value = 99;
    EXPECT_TRUE(parseWhole("18446744073709551615", UINT64_MAX, &value));
    EXPECT_EQ(value, UINT64_MAX);
    for (const char* bad : {"", "+1", "-0", " 1", "1 ", "0x1", "18446744073709551616", "11"}) {
        EXPECT_FALSE(parseWhole(bad, 10, &value)) << bad;
    }
    EXPECT_TRUE(parseWhole("010", 10, &value));
    EXPECT_EQ(value, 10u);
}
