// The boards' picture read back with libpng: its size, every square's block in its colour on the
// right board the right way round, the gap black, the border left out, and files it cannot write.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "picture/picture.h"
#include "sim/world.h"

using Rgb = std::array<int, 3>;

// 255 times the palette's values, rounded by hand: sand, blue, green and red for the four kinds;
// then each band's two edges, the extremes of a priority among them.
const Rgb KIND_COLOURS[] = {{204, 212, 158}, {0, 0, 255}, {0, 230, 0}, {230, 0, 0}};
const struct {
    int32_t priority;
    Rgb colour;
} EDGES[] = {{INT32_MIN, {255, 0, 0}}, {0, {255, 0, 0}},     {1, {128, 0, 0}},
             {3, {128, 0, 0}},         {4, {230, 230, 230}}, {6, {230, 230, 230}},
             {7, {128, 128, 0}},       {9, {128, 128, 0}},   {10, {128, 191, 0}},
             {14, {128, 191, 0}},      {15, {128, 255, 0}},  {INT32_MAX, {128, 255, 0}}};

// Patterns that change when rows and columns swap or a board is turned upside down.
int kindAt(int row, int col) {
    return (row + 2 * col) % 4;
}
int edgeAt(int row, int col) {
    return (7 * row + 3 * col) % 12;
}

struct Picture {
    png_uint_32 width = 0, height = 0;
    std::vector<png_byte> rgb;
    Rgb at(int x, int y) const {
        const png_byte* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
        return {p[0], p[1], p[2]};
    }
};

Picture readPicture(const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    Picture picture{image.width, image.height, std::vector<png_byte>(PNG_IMAGE_SIZE(image))};
    EXPECT_NE(png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr), 0);
    return picture;
}

const std::string DIR = testing::TempDir() + "vantu-picture-" + std::to_string(getpid());

TEST(Picture, EveryBlockHoldsItsSquaresColourAndTheGapIsBlack) {
    for (int row = 0; row < WORLD_SIZE; ++row) {
        for (int col = 0; col < WORLD_SIZE; ++col) {
            const bool border = row % 50 == 0 || col % 50 == 0;  // blue and lime: never drawn
            world[row][col].kind = border ? Agent : kindAt(row, col);
            world[row][col].priority = border ? INT32_MAX : EDGES[edgeAt(row, col)].priority;
        }
    }
    const int k = 3;
    const std::string path = testing::TempDir() + "vantu-picture-pattern.png";
    ASSERT_EQ(writeBoardsPicture(path.c_str(), k), "");
    const Picture picture = readPicture(path);
    ASSERT_EQ(picture.width, 49u * k);
    ASSERT_EQ(picture.height, 104u * k);
    int wrong = 0;
    for (int y = 0; y < 104 * k; ++y) {
        for (int x = 0; x < 49 * k; ++x) {
            const int col = x / k + 1, itemRow = 104 - y / k, priorityRow = 49 - y / k;
            Rgb expected = {0, 0, 0};
            if (priorityRow >= 1) {
                expected = EDGES[edgeAt(priorityRow, col)].colour;
            } else if (itemRow <= 49) {
                expected = KIND_COLOURS[kindAt(itemRow, col)];
            }
            wrong += picture.at(x, y) != expected;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(Picture, AFileThatCannotBeWrittenIsSaidSoAndLeavesNothing) {
    std::filesystem::create_directories(DIR + "/taken.png");  // a folder under the final name
    for (const std::string& path : {DIR + "/no-such-folder/boards.png", DIR + "/taken.png"}) {
        EXPECT_EQ(writeBoardsPicture(path.c_str(), 1).rfind("cannot write " + path + ": ", 0), 0u);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(DIR), {}), 1);
    std::filesystem::remove_all(DIR);
}

TEST(Picture, TheRunnerDrawsItsBoardsOrFailsWithStatusOne) {
    const std::string run = std::string(VANTU_HEADLESS) + " --seed 3 --ticks 50 --params " +
                            VANTU_DEFAULT_PARAMS + " >/dev/null --scale 1 --picture ";
    const std::string path = testing::TempDir() + "vantu-picture-run.png";
    ASSERT_EQ(std::system((run + path).c_str()), 0);
    const Picture picture = readPicture(path);
    EXPECT_EQ(picture.width * 1000 + picture.height, 49u * 1000 + 104);
    EXPECT_EQ(std::system((run + "/no-such-folder/boards.png 2>/dev/null").c_str()), 1 << 8);
}
