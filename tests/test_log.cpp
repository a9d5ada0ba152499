#include <string>

#include "sim_test.h"

using Log = SimTest;

// Numbers on both sides of every change in their count of digits, and the ends of the range, as
// the standard library writes them.
TEST_F(Log, NumbersAsTheStandardLibraryWritesThem) {
    std::string expected;
    auto check = [&](int64_t value) {
        logLine("<", static_cast<int32_t>(value), ">");
        expected += "<" + std::to_string(value) + ">\n";
    };
    for (int64_t ten = 1; ten <= INT32_MAX; ten *= 10) {
        for (int64_t value : {ten - 1, ten, ten + 1}) {
            check(value);
            check(-value);
        }
    }
    check(INT32_MAX);
    check(INT32_MIN);
    EXPECT_EQ(logged(), expected);
}

// A piece longer than all the room there is for gathered lines still comes out whole.
TEST_F(Log, APieceLongerThanTheBufferComesOutWhole) {
    const std::string longPiece(3 * LOG_GATHERED_MAX, 'x');
    logText("a");
    logText(longPiece.c_str());
    logEndLine();
    EXPECT_EQ(logged(), "a" + longPiece + "\n");
}
