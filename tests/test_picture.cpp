// The boards' picture read back with libpng: size, blocks, board order, rows and columns, gap.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <array>
#include <cstdio>

#include "picture/picture.h"
#include "sim/world.h"

using Pixel = std::array<png_byte, 3>;

// 255 times the palette's values, rounded by hand: sand, blue, green and red for the four kinds,
// then the six bands; the priorities EDGES[2b] and EDGES[2b + 1] are the edges of band b.
const Pixel KIND_COLOURS[] = {{204, 212, 158}, {0, 0, 255}, {0, 230, 0}, {230, 0, 0}};
const Pixel BAND_COLOURS[] = {{255, 0, 0},   {128, 0, 0},   {230, 230, 230},
                              {128, 128, 0}, {128, 191, 0}, {128, 255, 0}};
const int32_t EDGES[] = {INT32_MIN, 0, 1, 3, 4, 6, 7, 9, 10, 14, 15, INT32_MAX};

// Patterns that change when rows and columns swap or a board is turned upside down.
const auto kindAt = [](int row, int col) { return (row + 2 * col) % 4; };
const auto edgeAt = [](int row, int col) { return (7 * row + 3 * col) % 12; };

TEST(BoardsPicture, EveryBlockHoldsItsSquaresColourAndTheGapIsBlack) {
    for (int row = 0; row < WORLD_SIZE; ++row) {
        for (int col = 0; col < WORLD_SIZE; ++col) {
            const bool border = row % 50 == 0 || col % 50 == 0;  // blue and lime, never drawn
            world[row][col].kind = border ? Agent : kindAt(row, col);
            world[row][col].priority = border ? INT32_MAX : EDGES[edgeAt(row, col)];
        }
    }
    const int k = 3;
    const std::string path = testing::TempDir() + "vantu-picture-" + std::to_string(getpid());
    ASSERT_EQ(writeBoardsPicture(path.c_str(), k), "");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
    ASSERT_EQ(image.width * 1000 + image.height, 49u * k * 1000 + 104u * k);
    image.format = PNG_FORMAT_RGB;
    std::vector<Pixel> pixels(image.width * image.height);
    ASSERT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0);
    std::remove(path.c_str());
    for (int y = 0; y < 104 * k; ++y) {
        for (int x = 0; x < 49 * k; ++x) {
            const int col = x / k + 1, itemRow = 104 - y / k, priorityRow = 49 - y / k;
            const Pixel expected = priorityRow >= 1 ? BAND_COLOURS[edgeAt(priorityRow, col) / 2]
                                   : itemRow <= 49  ? KIND_COLOURS[kindAt(itemRow, col)]
                                                    : Pixel{0, 0, 0};  // the gap
            ASSERT_EQ(pixels[y * 49 * k + x], expected) << "at x " << x << ", y " << y;
        }
    }
}
