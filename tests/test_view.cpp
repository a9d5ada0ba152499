// The keys, and the picture read back from a real window. Each pixel is checked against the
// square that the camera and the board's turns put under its centre, worked out here by casting
// the pixel's ray onto the boards' plane; a pixel near a square's edge is left out only when its
// centre's neighbourhood, a fifth of a pixel each way, straddles the edge.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/world.h"
#include "view/view.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
const Rgb BLACK = {0, 0, 0}, UNSURE = {-1, -1, -1};
const Rgb ITEM_COLOURS[] = {{204, 212, 158}, {0, 0, 255}, {0, 230, 0}, {230, 0, 0}};
// Each band at both of its edges, or far beyond.
const struct {
    int32_t priority;
    Rgb colour;
} BANDS[] = {{INT32_MIN, {255, 0, 0}}, {0, {255, 0, 0}},     {1, {128, 0, 0}},
             {3, {128, 0, 0}},         {4, {230, 230, 230}}, {6, {230, 230, 230}},
             {7, {128, 128, 0}},       {9, {128, 128, 0}},   {10, {128, 191, 0}},
             {14, {128, 191, 0}},      {15, {128, 255, 0}},  {INT32_MAX, {128, 255, 0}}};

// A scramble of row and column, so that a board drawn mirrored or transposed shows wrong colours.
int scramble(int row, int col, int modulus) {
    return (row * 7 + col * 13 + row * col * 5) % modulus;
}

struct Vec {
    double x, y, z;
};
Vec turned(Vec v, double tilt, double spin) {  // by -tilt about x, then by -spin about z
    const double y = v.y * std::cos(tilt) + v.z * std::sin(tilt);
    const double z = -v.y * std::sin(tilt) + v.z * std::cos(tilt);
    return {v.x * std::cos(spin) + y * std::sin(spin), -v.x * std::sin(spin) + y * std::cos(spin),
            z};
}

// The colour the boards show at window point (x, y), y up; {-1} where it is too close to call.
// The camera sits at (25, 175, -52.5) looking down -y with -z up, through a 35 degree
// perspective of aspect 0.5 from 1 to 500; the boards are spun about z, then tilted about x, both
// through (25, 0, -52.5), and lifted by 175 - eyeHeight. The item board's square (row, col) is
// the unit square from (col, 0, -row) to (col + 1, 0, -row - 1); the priority board's lies 55
// further along -z.
Rgb expectedAt(const ViewState& v, double x, double y, int width, int height) {
    const double pi = std::acos(-1.0), f = std::tan(17.5 * pi / 180);
    const double tilt = v.tiltAngle * pi / 180, spin = v.spinAngle * pi / 180;
    const Vec origin = turned({0, v.eyeHeight, 0}, tilt, spin);  // about the pivot
    const Vec ray =
        turned({(2 * x / width - 1) * f * 0.5, -1, -(2 * y / height - 1) * f}, tilt, spin);
    const double depth = -origin.y / ray.y;  // along the ray, whose depth grows by 1 a unit
    if (std::abs(depth - 1) < 0.01 || std::abs(depth - 500) < 0.01) {
        return UNSURE;
    }
    if (!(depth > 1 && depth < 500)) {
        return BLACK;
    }
    const double across = 25 + origin.x + depth * ray.x, down = 52.5 - origin.z - depth * ray.z;
    const int col = static_cast<int>(std::floor(across)), row = static_cast<int>(std::floor(down));
    const bool priorityBoard = row > 55;
    const int boardRow = priorityBoard ? row - 55 : row;
    if (col < 1 || col > 49 || boardRow < 1 || boardRow > 49) {
        return BLACK;
    }
    return priorityBoard ? BANDS[scramble(col, boardRow, 12)].colour
                         : ITEM_COLOURS[world[boardRow][col].kind];
}

std::vector<unsigned char> swapped;  // the back buffer as the last swap found it

}  // namespace

// The test links with the swap wrapped, to read the finished frame before it is shown.
extern "C" void __real_glutSwapBuffers();
extern "C" void __wrap_glutSwapBuffers() {
    swapped.assign(
        static_cast<size_t>(glutGet(GLUT_WINDOW_WIDTH)) * glutGet(GLUT_WINDOW_HEIGHT) * 3, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT), GL_RGB,
                 GL_UNSIGNED_BYTE, swapped.data());
    __real_glutSwapBuffers();
}

// Each run of keys, pressed in a window of the given size opened and set up as the program does,
// leads to the view given, and every pixel that can be called shows its colour there. The border,
// which must not show, is blue on the item board and lime on the other.
TEST(Picture, EveryPixelOfTheViewsThatKeysLeadTo) {
    char name[] = "vantu_view_tests";
    char* argv[] = {name, nullptr};
    int argc = 1;
    openWindow(&argc, argv);
    glutDisplayFunc(onDisplay);
    for (int row = 0; row < WORLD_SIZE; ++row) {
        for (int col = 0; col < WORLD_SIZE; ++col) {
            const bool border = row % 50 == 0 || col % 50 == 0;
            world[row][col] = {border ? Agent : scramble(row, col, 4),
                               border ? INT32_MAX : BANDS[scramble(col, row, 12)].priority, Empty};
        }
    }
    const auto times = [](int n, const std::string& keys) {
        std::string all;
        for (int i = 0; i < n; ++i)
            all += keys;
        return all;
    };
    const struct {
        std::string keys;
        int width;
        ViewState view;
    } cases[] = {
        {"", 300, {175, 0, 0}},
        {times(36, "k"), 300, {175, 180, 0}},  // seen from below
        {times(36, "J"), 300, {175, 0, 180}},
        {"kkkkkKjjj", 300, {175, 30, 15}},  // spin, then tilt: order matters
        {"iLllll", 300, {175, 355, 335}},
        {times(15, "+"), 300, {100, 0, 0}},
        {times(34, "=") + "x5 \x1b\t\r", 300, {5, 0, 0}},  // into the strip between the boards
        {times(50, "+") + "_", 300, {6, 0, 0}},
        {times(36, "+-") + "-", 300, {175, 0, 0}},
        {times(18, "k") + "jjjjjjj", 300, {175, 90, 35}},  // edge-on
        {times(73, "I") + times(71, "l"), 300, {175, 355, 5}},
        {"kkkjj++++++++dd", 600, {175, 0, 0}},  // the camera itself never moved; stretched
        {times(40, "k") + "L+D", 300, {175, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys + " in " + std::to_string(c.width));
        glutReshapeWindow(c.width, 600);
        for (int i = 0; i < 2000 && glutGet(GLUT_WINDOW_WIDTH) != c.width; ++i) {
            glutMainLoopEvent();
            usleep(1000);
        }
        ASSERT_EQ(glutGet(GLUT_WINDOW_WIDTH), c.width);
        ASSERT_EQ(glutGet(GLUT_WINDOW_HEIGHT), 600);
        onReshape(c.width, 600);
        view = {175, 0, 0};
        for (char key : c.keys) {
            onKeyboard(static_cast<unsigned char>(key), 0, 0);
        }
        EXPECT_EQ(view.eyeHeight, c.view.eyeHeight);
        EXPECT_EQ(view.tiltAngle, c.view.tiltAngle);
        EXPECT_EQ(view.spinAngle, c.view.spinAngle);
        swapped.clear();
        onDisplay();
        ASSERT_EQ(swapped.size(), c.width * 600u * 3);
        int checked = 0, wrong = 0;
        for (int y = 0; y < 600; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const Rgb want = expectedAt(c.view, x + 0.5, y + 0.5, c.width, 600);
                bool sure = !(want == UNSURE);
                for (double d : {-0.2, 0.2}) {  // the corners of the centre's neighbourhood
                    sure = sure &&
                           expectedAt(c.view, x + 0.5 + d, y + 0.5 + d, c.width, 600) == want &&
                           expectedAt(c.view, x + 0.5 + d, y + 0.5 - d, c.width, 600) == want;
                }
                const unsigned char* p = &swapped[(static_cast<size_t>(y) * c.width + x) * 3];
                if (sure && ++checked &&
                    (std::abs(p[0] - want.r) > 2 || std::abs(p[1] - want.g) > 2 ||
                     std::abs(p[2] - want.b) > 2) &&
                    ++wrong <= 5) {
                    ADD_FAILURE() << x << "," << y << ": got " << +p[0] << "," << +p[1] << ","
                                  << +p[2] << " want " << want.r << "," << want.g << "," << want.b;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GE(checked, c.width * 600 * 9 / 10);
    }
}
