// What each run of keys does to the view, from the start view.
#include <gtest/gtest.h>

#include <string>

#include "view/view.h"

TEST(Keys, RunsOfKeysFromTheStartView) {
    const auto times = [](int n, char key) { return std::string(n, key); };
    const struct {
        std::string keys;
        double eyeHeight, tiltAngle, spinAngle;
    } cases[] = {
        {times(34, '+'), 5, 0, 0},
        {times(35, '+'), 1, 0, 0},  // not 0
        {times(50, '='), 1, 0, 0},
        {times(35, '+') + "-", 6, 0, 0},
        {times(35, '+') + times(34, '-'), 171, 0, 0},
        {times(35, '=') + times(35, '_'), 175, 0, 0},  // not 176
        {"-", 175, 0, 0},
        {"_", 175, 0, 0},
        {"k", 175, 5, 0},
        {"K", 175, 5, 0},
        {"i", 175, 355, 0},  // negative angles come up by a whole turn
        {"I", 175, 355, 0},
        {"j", 175, 0, 5},
        {"J", 175, 0, 5},
        {"l", 175, 0, 355},
        {"L", 175, 0, 355},
        {times(72, 'k'), 175, 0, 0},
        {times(71, 'K'), 175, 355, 0},
        {times(72, 'J'), 175, 0, 0},
        {times(73, 'j'), 175, 0, 5},
        {times(74, 'i'), 175, 350, 0},
        {"kj++x5 \x1b\t\r", 165, 5, 5},  // keys without a command change nothing
        {"kKjJ+=lIi-d", 175, 0, 0},
        {times(40, 'k') + times(9, 'L') + times(20, '+') + "D", 175, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        view = {175.0, 0.0, 0.0};
        for (char key : c.keys) {
            onKeyboard(static_cast<unsigned char>(key), 0, 0);
        }
        EXPECT_EQ(view.eyeHeight, c.eyeHeight);
        EXPECT_EQ(view.tiltAngle, c.tiltAngle);
        EXPECT_EQ(view.spinAngle, c.spinAngle);
    }
}
