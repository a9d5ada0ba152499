#include <vector>

#include "sim/params.h"
#include "sim_test.h"

namespace {

struct Read {
    std::vector<int32_t> values;  // all 22
    ParamReport report;
};

Read readText(const std::string& text) {
    std::FILE* file = fileWith(text);
    Read read{std::vector<int32_t>(PARAM_COUNT, -99), {}};
    read.report = readParams(file, read.values.data());
    std::fclose(file);
    return read;
}

// The 22 values 1..22, each after a label, joined by `gap`.
std::string pairs(const std::string& gap, int count = PARAM_COUNT) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "label" + std::to_string(i) + " " + std::to_string(i) + gap;
    }
    return text;
}

struct Case {
    const char* name;
    std::string text;
    std::vector<int32_t> values;  // the leading values; the rest are 0
    int valuesRead;
    ParamFault fault;
};

const int ALL = PARAM_COUNT;
const ParamFault OK = ParamFault::None;
const ParamFault NAN_ = ParamFault::NotANumber;

}  // namespace

TEST(Params, ReadsValuesAsTheFileWritesThem) {
    std::vector<int32_t> oneToTwentyTwo;
    for (int i = 1; i <= PARAM_COUNT; ++i) {
        oneToTwentyTwo.push_back(i);
    }
    const std::string pad = pairs(" ", PARAM_COUNT - 6);
    auto tail = [&](std::vector<int32_t> head) {
        for (int i = 1; i <= PARAM_COUNT - 6; ++i) {
            head.push_back(i);
        }
        return head;
    };
    const Case cases[] = {
        {"a pair a line", pairs("\n"), oneToTwentyTwo, ALL, OK},
        {"all on one line", pairs(" "), oneToTwentyTwo, ALL, OK},
        {"CRLF line ends", pairs("\r\n"), oneToTwentyTwo, ALL, OK},
        {"tabs and blank lines", pairs("\t\n\n\v\f"), oneToTwentyTwo, ALL, OK},
        {"a 23rd pair is ignored", pairs("\n") + "extra 99\n", oneToTwentyTwo, ALL, OK},
        {"bases and signs", "a 010 b 0x10 c 0X1f d -0x10 e +7 f -010 " + pad,
         tail({8, 16, 31, -16, 7, -8}), ALL, OK},
        {"limits in decimal",
         "a 2147483647 b -2147483648 c 2147483648 d -2147483649 e 4294967295 "
         "f 99999999999 " +
             pad,
         tail({INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX}), ALL, OK},
        {"limits in hex",
         "a 0x7FFFFFFF b -0x80000000 c 0x80000000 d -0x80000001 e 0xFFFFFFFF "
         "f -0xFFFFFFFFFFFF " +
             pad,
         tail({INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN}), ALL, OK},
        {"limits in octal",
         "a 017777777777 b -020000000000 c 020000000000 d -020000000001 "
         "e 037777777777 f 07777777777777 " +
             pad,
         tail({INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX}), ALL, OK},
        {"a label of any length",
         std::string(100000, 'L') + " 5 " + pairs(" ", 21),
         {5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21},
         ALL,
         OK},
        {"sixteen digits: the 16th is a label",
         "a 1234567890123456 b 5 " + pad,
         {INT32_MAX},
         1,
         NAN_},
        {"fifteen characters count the sign and 0x",
         "a -0x7fffffffffff1 b 5",
         {INT32_MIN},
         1,
         NAN_},
        {"leading zeros count as characters", "a 0000000000000123 b 5", {10}, 1, NAN_},
        {"12abc: the letters are a label", "a 12abc b 5 c 6", {12}, 1, NAN_},
        {"09: octal stops at the 9", "a 09 b 5 c 6", {0}, 1, NAN_},
        {"a bare 0x is no number", "a 5 b 0x c 6", {5}, 1, NAN_},
        {"0x and no hex digit", "a 5 b 0Xg c 6", {5}, 1, NAN_},
        {"a sign alone", "a 5 b - c 6", {5}, 1, NAN_},
        {"a word for a value", "a 5 b five c 6", {5}, 1, NAN_},
        {"a missing label", "a 5 6 b 7 c 8", {5}, 1, NAN_},
        {"a missing label before a digit", "a 5 6 7 b 8", {5, 7, 8}, 3, ParamFault::EndBeforeLabel},
        {"the file ends before a label", "a 5 b 6", {5, 6}, 2, ParamFault::EndBeforeLabel},
        {"the file ends after a label", "a 5 b  \n", {5}, 1, ParamFault::EndBeforeValue},
        {"an empty file", "", {}, 0, ParamFault::EndBeforeLabel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Read read = readText(c.text);
        // Everything from the failed value on is 0, so the expected values need no tail.
        std::vector<int32_t> expected = c.values;
        expected.resize(PARAM_COUNT, 0);
        EXPECT_EQ(read.values, expected);
        EXPECT_EQ(read.report.valuesRead, c.valuesRead);
        EXPECT_EQ(read.report.fault, c.fault);
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
