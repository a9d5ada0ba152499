// The keys, and the picture read back from a real window. Each pixel is checked against the
// square that the camera and the boards' turns put under its centre, found here by casting the
// pixel's ray onto the boards' plane; a pixel is left out only when the neighbourhood of its
// centre, a fifth of a pixel each way, straddles a square's edge.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/world.h"
#include "view/view.h"

const uint32_t BLACK = 0, UNSURE = ~0u, ITEM_COLOURS[] = {0xccd49e, 0x0000ff, 0x00e600, 0xe60000};
// Each band at both of its edges, or far beyond, and its colour.
const int32_t PRIORITIES[] = {INT32_MIN, 0, 1, 3, 4, 6, 7, 9, 10, 14, 15, INT32_MAX};
const uint32_t BAND_COLOURS[] = {0xff0000, 0xff0000, 0x800000, 0x800000, 0xe6e6e6, 0xe6e6e6,
                                 0x808000, 0x808000, 0x80bf00, 0x80bf00, 0x80ff00, 0x80ff00};

// A scramble of row and column, so that a board drawn mirrored or transposed shows wrong colours.
int scramble(int row, int col, int modulus) {
    return (row * 7 + col * 13 + row * col * 5) % modulus;
}

struct Vec {
    double x, y, z;
};
Vec turned(Vec v, double tilt, double spin) {  // by -tilt about x, then by -spin about z
    const double y = v.y * std::cos(tilt) + v.z * std::sin(tilt);
    return {v.x * std::cos(spin) + y * std::sin(spin), -v.x * std::sin(spin) + y * std::cos(spin),
            -v.y * std::sin(tilt) + v.z * std::cos(tilt)};
}

// The colour at window point (x, y), y up. The camera sits at (25, 175, -52.5) looking down -y
// with -z up, through a 35 degree perspective of aspect 0.5 from 1 to 500; the boards are spun
// about z, then tilted about x, both through (25, 0, -52.5), and lifted by 175 - eyeHeight. The
// item board's square (row, col) spans (col, 0, -row) to (col + 1, 0, -row - 1); the priority
// board's lies 55 further along -z.
uint32_t expectedAt(const ViewState& v, double x, double y, int width) {
    const double pi = std::acos(-1.0), f = std::tan(17.5 * pi / 180);
    const double tilt = v.tiltAngle * pi / 180, spin = v.spinAngle * pi / 180;
    const Vec eye = turned({0, v.eyeHeight, 0}, tilt, spin);  // from the pivot
    const Vec ray = turned({(2 * x / width - 1) * f / 2, -1, (1 - y / 300) * f}, tilt, spin);
    const double depth = -eye.y / ray.y;  // the ray gains a unit of depth a unit along
    if (std::abs(depth - 1) < 0.01 || std::abs(depth - 500) < 0.01) {
        return UNSURE;
    }
    const int col = static_cast<int>(std::floor(25 + eye.x + depth * ray.x));
    const int row = static_cast<int>(std::floor(52.5 - eye.z - depth * ray.z));
    const int boardRow = row > 55 ? row - 55 : row;
    if (!(depth > 1 && depth < 500) || col < 1 || col > 49 || boardRow < 1 || boardRow > 49) {
        return BLACK;
    }
    return row > 55 ? BAND_COLOURS[scramble(col, boardRow, 12)]
                    : ITEM_COLOURS[world[boardRow][col].kind];
}

std::vector<unsigned char> swapped;  // the back buffer as the last swap found it

// The test links with the swap wrapped, to read the finished frame before it is shown.
extern "C" void __real_glutSwapBuffers();
extern "C" void __wrap_glutSwapBuffers() {
    swapped.resize(static_cast<size_t>(glutGet(GLUT_WINDOW_WIDTH)) * 600 * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, glutGet(GLUT_WINDOW_WIDTH), 600, GL_RGB, GL_UNSIGNED_BYTE, swapped.data());
    __real_glutSwapBuffers();
}

// Each run of keys, pressed in a window of the given width opened and set up as the program
// does, leads to the view given, and every pixel that can be called shows its colour there. The
// border, which must not show, is blue on the item board and lime on the other.
TEST(Picture, EveryPixelOfTheViewsThatKeysLeadTo) {
    char name[] = "vantu_view_tests", *argv[] = {name, nullptr};
    int argc = 1;
    openWindow(&argc, argv);
    glutDisplayFunc(onDisplay);
    for (int row = 0; row <= 50; ++row) {
        for (int col = 0; col <= 50; ++col) {
            const bool border = row % 50 == 0 || col % 50 == 0;
            world[row][col] = {border ? Agent : scramble(row, col, 4),
                               border ? INT32_MAX : PRIORITIES[scramble(col, row, 12)], Empty};
        }
    }
    const auto times = [](int n, const std::string& keys) {
        return n == 0 ? std::string()
                      : std::string(static_cast<size_t>(n), keys[0]) + keys.substr(1);
    };
    const struct {
        std::string keys;
        int width;
        ViewState view;
    } cases[] = {{"", 300, {175, 0, 0}},
                 {times(36, "k"), 300, {175, 180, 0}},  // seen from below
                 {times(36, "J"), 300, {175, 0, 180}},
                 {"kkkkkKjjj", 300, {175, 30, 15}},  // spin, then tilt: order matters
                 {"iLllll", 300, {175, 355, 335}},
                 {times(15, "+"), 300, {100, 0, 0}},
                 {times(34, "=x5 \x1b\t\r"), 300, {5, 0, 0}},  // into the strip between the boards
                 {times(50, "+_"), 300, {6, 0, 0}},
                 {times(2, "-+-"), 300, {175, 0, 0}},
                 {times(18, "kjjjjjjj"), 300, {175, 90, 35}},  // edge-on
                 {times(73, "I") + times(71, "l"), 300, {175, 355, 5}},
                 {"kkkjj++++++++dd", 600, {175, 0, 0}},  // the camera itself never moved; stretched
                 {times(40, "kL+D"), 300, {175, 0, 0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys + " in " + std::to_string(c.width));
        glutReshapeWindow(c.width, 600);
        for (int i = 0; i < 2000 && glutGet(GLUT_WINDOW_WIDTH) != c.width; ++i) {
            glutMainLoopEvent();
            usleep(1000);
        }
        ASSERT_EQ(glutGet(GLUT_WINDOW_HEIGHT) * 1000 + glutGet(GLUT_WINDOW_WIDTH),
                  600000 + c.width);
        onReshape(c.width, 600);
        view = {175, 0, 0};
        for (char key : c.keys) {
            onKeyboard(static_cast<unsigned char>(key), 0, 0);
        }
        EXPECT_TRUE(view.eyeHeight == c.view.eyeHeight && view.tiltAngle == c.view.tiltAngle &&
                    view.spinAngle == c.view.spinAngle)
            << view.eyeHeight << " " << view.tiltAngle << " " << view.spinAngle;
        swapped.clear();
        onDisplay();
        ASSERT_EQ(swapped.size(), c.width * 600u * 3);
        int checked = 0, wrong = 0;
        for (int i = 0; i < c.width * 600; ++i) {
            const double x = i % c.width + 0.5, y = i / c.width + 0.5;
            const uint32_t want = expectedAt(c.view, x, y, c.width);
            bool sure = want != UNSURE, near = true;
            for (double d : {-0.2, 0.2}) {  // the corners of the centre's neighbourhood
                sure = sure && expectedAt(c.view, x + d, y + d, c.width) == want &&
                       expectedAt(c.view, x + d, y - d, c.width) == want;
            }
            for (int k = 0; k < 3; ++k) {
                near = near && std::abs(swapped[3 * i + k] - int(want >> (16 - 8 * k) & 255)) <= 2;
            }
            checked += sure;
            if (sure && !near && ++wrong <= 5) {
                ADD_FAILURE() << "pixel " << x << "," << y << " is not " << std::hex << want;
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GE(checked, c.width * 600 * 9 / 10);
    }
}
