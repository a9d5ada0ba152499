#include <vector>

#include "sim/params.h"
#include "sim_test.h"

namespace {

// The values 1..count, each after a label, joined by `gap`.
std::string pairs(const std::string& gap, int count = PARAM_COUNT) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "label" + std::to_string(i) + " " + std::to_string(i) + gap;
    }
    return text;
}

const ParamFault OK = ParamFault::None;
const ParamFault NAN_ = ParamFault::NotANumber;
const ParamFault END = ParamFault::EndBeforeLabel;

}  // namespace

TEST(Params, ReadsValuesAsTheFileWritesThem) {
    std::vector<int32_t> oneTo22;
    for (int i = 1; i <= PARAM_COUNT; ++i) {
        oneTo22.push_back(i);
    }
    const int32_t MAX = INT32_MAX, MIN = INT32_MIN;
    struct Case {
        const char* name;
        std::string text;
        std::vector<int32_t> values;  // the leading values; the rest must be 0
        int valuesRead;
        ParamFault fault;
    } cases[] = {
        {"a pair a line", pairs("\n"), oneTo22, PARAM_COUNT, OK},
        {"all on one line", pairs(" "), oneTo22, PARAM_COUNT, OK},
        {"CRLF line ends", pairs("\r\n"), oneTo22, PARAM_COUNT, OK},
        {"tabs and blank lines", pairs("\t\n\n\v\f"), oneTo22, PARAM_COUNT, OK},
        {"a 23rd pair is ignored", pairs("\n") + "extra 99\n", oneTo22, PARAM_COUNT, OK},
        {"bases and signs",
         "a 010 b 0x10 c 0X1f d -0x10 e +7 f -010 g -0",
         {8, 16, 31, -16, 7, -8},
         7,
         END},
        {"limits in decimal",
         "a 2147483647 b -2147483648 c 2147483648 d -2147483649 e 4294967295",
         {MAX, MIN, MAX, MIN, MAX},
         5,
         END},
        {"limits in hex",
         "a 0x7FFFFFFF b -0x80000000 c 0x80000000 d -0x80000001 e 0xFFFFFFFF",
         {MAX, MIN, MAX, MIN, MAX},
         5,
         END},
        {"limits in octal",
         "a 017777777777 b -020000000000 c 020000000000 d -020000000001",
         {MAX, MIN, MAX, MIN},
         4,
         END},
        {"a label of any length", std::string(100000, 'L') + " 5", {5}, 1, END},
        {"sixteen digits: the 16th is a label", "a 1234567890123456 b 5 c 6", {MAX}, 1, NAN_},
        {"fifteen characters count the sign and 0x", "a -0x7fffffffffff1 b 5", {MIN}, 1, NAN_},
        {"and count leading zeros", "a 0000000000000123 b 5", {10}, 1, NAN_},
        {"12abc: the letters are a label", "a 12abc b 5 c 6", {12}, 1, NAN_},
        {"09: octal stops at the 9", "a 09 b 5 c 6", {0}, 1, NAN_},
        {"a bare 0x is no number", "a 5 b 0x c 6", {5}, 1, NAN_},
        {"0x and no hex digit", "a 5 b 0Xg c 6", {5}, 1, NAN_},
        {"a sign alone", "a 5 b - c 6", {5}, 1, NAN_},
        {"a word for a value", "a 5 b five c 6", {5}, 1, NAN_},
        {"a missing label", "a 5 6 b 7 c 8", {5}, 1, NAN_},
        {"a missing label before a digit", "a 5 6 7 b 8", {5, 7, 8}, 3, END},
        {"the file ends after a label", "a 5 b  \n", {5}, 1, ParamFault::EndBeforeValue},
        {"an empty file", "", {}, 0, END},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::FILE* file = fileWith(c.text);
        std::vector<int32_t> values(PARAM_COUNT, -99);
        const ParamReport report = readParams(file, values.data());
        std::fclose(file);
        std::vector<int32_t> expected = c.values;
        expected.resize(PARAM_COUNT, 0);
        EXPECT_EQ(values, expected);
        EXPECT_EQ(report.valuesRead, c.valuesRead);
        EXPECT_EQ(report.fault, c.fault);
    }
}

TEST(Params, AnUnreadableFileIsAReadError) {
    std::FILE* directory = std::fopen(::testing::TempDir().c_str(), "r");
    ASSERT_NE(directory, nullptr);
    int32_t values[PARAM_COUNT];
    const ParamReport report = readParams(directory, values);
    std::fclose(directory);
    EXPECT_EQ(report.valuesRead, 0);
    EXPECT_EQ(report.fault, ParamFault::ReadError);
    EXPECT_EQ(values[0], 0);
}
