// The picture in a real window: both boards where the camera puts them, every square's colour,
// and what the view keys do to it. Expected positions come from the projection worked out here.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/world.h"
#include "view/view.h"

namespace {

struct Rgb {
    int r, g, b;
};

const Rgb SAND = {204, 212, 158}, BLUE = {0, 0, 255}, GREEN = {0, 230, 0}, RED = {230, 0, 0},
          PURPLE = {128, 0, 128}, BRIGHT_RED = {255, 0, 0}, DARK_RED = {128, 0, 0},
          GREY = {230, 230, 230}, OLIVE = {128, 128, 0}, YELLOW_GREEN = {128, 191, 0},
          LIME = {128, 255, 0};

const Rgb KIND_COLOURS[] = {SAND, BLUE, GREEN, RED};  // by CellKind

// Every band at both of its edges and far beyond.
const struct {
    int32_t priority;
    Rgb colour;
} PRIORITIES[] = {
    {INT32_MIN, BRIGHT_RED},
    {0, BRIGHT_RED},
    {1, DARK_RED},
    {3, DARK_RED},
    {4, GREY},
    {6, GREY},
    {7, OLIVE},
    {9, OLIVE},
    {10, YELLOW_GREEN},
    {14, YELLOW_GREEN},
    {15, LIME},
    {INT32_MAX, LIME},
};
const int PRIORITY_COUNT = sizeof PRIORITIES / sizeof PRIORITIES[0];

// A scramble of row and column, so that a board drawn mirrored or transposed shows wrong colours.
int pattern(int row, int col, int modulus) {
    return (row * 7 + col * 13 + row * col * 5) % modulus;
}

// Every kind and every band on the interior; the border, which must not show, blue and lime.
void fillWorld() {
    for (int row = 0; row < WORLD_SIZE; ++row) {
        for (int col = 0; col < WORLD_SIZE; ++col) {
            const bool border = row == 0 || col == 0 || row == 50 || col == 50;
            const int32_t kind = border ? Agent : pattern(row, col, 4);
            const int32_t priority =
                border ? INT32_MAX : PRIORITIES[pattern(col, row, PRIORITY_COUNT)].priority;
            world[row][col] = {kind, priority, Empty};
        }
    }
}

struct Pixel {
    double x, y;
};

// Where a point of the untransformed boards lands in a width by height window under `v`: the
// boards are spun about z, tilted about x (both through the pivot), lifted by 175 - eyeHeight,
// and seen by the camera at (25, 175, -52.5) looking down -y with -z up, through a 35 degree
// perspective of aspect 0.5.
Pixel project(const ViewState& v, double x, double y, double z, int width, int height) {
    const double pi = std::acos(-1.0);
    const double spin = v.spinAngle * pi / 180, tilt = v.tiltAngle * pi / 180;
    x -= 25;
    z += 52.5;
    const double sx = x * std::cos(spin) - y * std::sin(spin);
    const double sy = x * std::sin(spin) + y * std::cos(spin);
    const double ty = sy * std::cos(tilt) - z * std::sin(tilt);
    const double tz = sy * std::sin(tilt) + z * std::cos(tilt);
    const double depth = 175 - (ty + 175 - v.eyeHeight);
    const double f = 1 / std::tan(17.5 * pi / 180);
    return {(f / 0.5 * sx / depth + 1) * width / 2, (f * -tz / depth + 1) * height / 2};
}

std::vector<unsigned char> swapped;  // the back buffer as the last swap found it
int swappedWidth = 0;

}  // namespace

// The test links with the swap wrapped, to read the finished frame before it is shown.
extern "C" void __real_glutSwapBuffers();
extern "C" void __wrap_glutSwapBuffers() {
    swappedWidth = glutGet(GLUT_WINDOW_WIDTH);
    swapped.assign(static_cast<size_t>(swappedWidth) * glutGet(GLUT_WINDOW_HEIGHT) * 3, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, swappedWidth, glutGet(GLUT_WINDOW_HEIGHT), GL_RGB, GL_UNSIGNED_BYTE,
                 swapped.data());
    __real_glutSwapBuffers();
}

// One window for the whole process, opened and set up as the program does.
class Picture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char name[] = "vantu_view_tests";
        char* argv[] = {name, nullptr};
        int argc = 1;
        openWindow(&argc, argv);
        glutReshapeFunc(onReshape);
        glutDisplayFunc(onDisplay);
    }

    void SetUp() override {
        view = {175.0, 0.0, 0.0};
        fillWorld();
        resize(300, 600);
    }

    // Waits for the window to take the size, then reshapes as GLUT would.
    void resize(int width, int height) {
        glutReshapeWindow(width, height);
        for (int i = 0; i < 2000 && (glutGet(GLUT_WINDOW_WIDTH) != width ||
                                     glutGet(GLUT_WINDOW_HEIGHT) != height);
             ++i) {
            glutMainLoopEvent();
            usleep(1000);
        }
        ASSERT_EQ(glutGet(GLUT_WINDOW_WIDTH), width);
        ASSERT_EQ(glutGet(GLUT_WINDOW_HEIGHT), height);
        onReshape(width, height);
    }

    void press(const std::string& keys) {
        for (char key : keys) {
            onKeyboard(static_cast<unsigned char>(key), 0, 0);
        }
    }

    void draw() {
        swapped.clear();
        onDisplay();
        ASSERT_FALSE(swapped.empty()) << "no buffer swap";
    }

    Rgb at(int x, int y) const {
        const unsigned char* p = &swapped[(static_cast<size_t>(y) * swappedWidth + x) * 3];
        return {p[0], p[1], p[2]};
    }

    int height() const { return static_cast<int>(swapped.size() / 3 / swappedWidth); }

    // Checks the centre of every square that `v` shows big enough to hit without doubt; returns
    // how many.
    int checkSquareCentres(const ViewState& v) {
        int checked = 0;
        for (int board = 0; board < 2; ++board) {
            for (int row = 1; row <= 49; ++row) {
                for (int col = 1; col <= 49; ++col) {
                    const double z = -row - 0.5 - 55 * board;
                    const Pixel centre = onScreen(v, col + 0.5, z);
                    const Pixel right = onScreen(v, col + 1.5, z);
                    const Pixel up = onScreen(v, col + 0.5, z - 1);
                    const double size = std::min(std::hypot(right.x - centre.x, right.y - centre.y),
                                                 std::hypot(up.x - centre.x, up.y - centre.y));
                    const int x = static_cast<int>(centre.x), y = static_cast<int>(centre.y);
                    if (size < 4 || x < 0 || y < 0 || x >= swappedWidth || y >= height()) {
                        continue;
                    }
                    const Rgb want = board == 0
                                         ? KIND_COLOURS[world[row][col].kind]
                                         : PRIORITIES[pattern(col, row, PRIORITY_COUNT)].colour;
                    expectColour(at(x, y), want, board, row, col);
                    ++checked;
                }
            }
        }
        return checked;
    }

    Pixel onScreen(const ViewState& v, double x, double z) const {
        return project(v, x, 0, z, swappedWidth, height());
    }

    static void expectColour(Rgb got, Rgb want, int board, int row, int col) {
        EXPECT_TRUE(std::abs(got.r - want.r) <= 2 && std::abs(got.g - want.g) <= 2 &&
                    std::abs(got.b - want.b) <= 2)
            << (board == 0 ? "item" : "priority") << " board row " << row << " col " << col
            << ": got " << got.r << "," << got.g << "," << got.b << " want " << want.r << ","
            << want.g << "," << want.b;
    }

    int nonBlackPixels() const {
        int count = 0;
        for (size_t i = 0; i < swapped.size(); i += 3) {
            count += swapped[i] != 0 || swapped[i + 1] != 0 || swapped[i + 2] != 0;
        }
        return count;
    }
};

// Both boards wholly in view on black, the item board below; rows and columns 0 and 50 would
// widen a board's bounds by a square, about five pixels.
TEST_F(Picture, StartViewShowsBothBoardsWhereTheCameraPutsThem) {
    draw();
    EXPECT_EQ(checkSquareCentres(view), 2 * 49 * 49);
    const struct {
        int left, right, bottom, top;
    } boards[] = {{20, 285, 20, 285}, {20, 285, 319, 584}};
    for (int board = 0; board < 2; ++board) {
        SCOPED_TRACE(board);
        int left = 300, right = -1, bottom = 600, top = -1;
        for (int y = board * 300; y < board * 300 + 300; ++y) {
            for (int x = 0; x < 300; ++x) {
                const Rgb p = at(x, y);
                if (p.r != 0 || p.g != 0 || p.b != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    bottom = std::min(bottom, y);
                    top = std::max(top, y);
                }
                EXPECT_FALSE(p.r == PURPLE.r && p.g == PURPLE.g && p.b == PURPLE.b)
                    << x << "," << y;
            }
        }
        EXPECT_NEAR(left, boards[board].left, 1);
        EXPECT_NEAR(right, boards[board].right, 1);
        EXPECT_NEAR(bottom, boards[board].bottom, 1);
        EXPECT_NEAR(top, boards[board].top, 1);
    }
}

// Each run of keys, in a window of the given size, must show the view it should lead to: every
// square's centre big enough on screen in its colour, and at least `least` squares seen.
TEST_F(Picture, KeysTurnAndZoomTheBoards) {
    const std::string halfTurn(36, 'k'), halfSpin(36, 'j');
    const struct {
        std::string keys;
        int width, height;
        ViewState expected;
        int least;
    } cases[] = {
        {halfTurn, 300, 600, {175, 180, 0}, 4802},     // seen from below: item board on top
        {halfSpin, 300, 600, {175, 0, 180}, 4802},     // columns right to left
        {"kkkkkkjjj", 300, 600, {175, 30, 15}, 3500},  // spin, then tilt: order matters here
        {"illlll", 300, 600, {175, 355, 335}, 3500},
        {std::string(15, '+'), 300, 600, {100, 0, 0}, 1000},
        {"kkkjj++++++++dd", 300, 600, {175, 0, 0}, 4802},  // the camera itself never moved
        {"", 600, 600, {175, 0, 0}, 4802},                 // stretched to the wider window
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys + " in " + std::to_string(c.width));
        view = {175.0, 0.0, 0.0};
        resize(c.width, c.height);
        press(c.keys);
        draw();
        EXPECT_GE(checkSquareCentres(c.expected), c.least);
    }
}

// Edge-on, whatever the other angle, or zoomed into the empty strip between the boards.
TEST_F(Picture, SomeViewsShowAlmostNothing) {
    const std::string quarterTurn(18, 'k'), quarterSpin(18, 'j');
    for (const std::string& keys : {quarterTurn, quarterSpin, quarterTurn + "jjjjjjj",
                                    "kkk" + quarterSpin + quarterSpin + quarterSpin,
                                    std::string(35, '+'), std::string(34, '=')}) {
        SCOPED_TRACE(keys);
        view = {175.0, 0.0, 0.0};
        press(keys);
        draw();
        EXPECT_LT(nonBlackPixels(), 300 * 600 / 100);
    }
}
