#include "picture/pixels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "sim/world.h"

static uint8_t component(double value) {
    return static_cast<uint8_t>(std::lround(255.0 * value));
}

Rgb pictureColour(PaletteIndex index) {
    const Colour& colour = PALETTE[index];
    return {component(colour.red), component(colour.green), component(colour.blue)};
}

// The colour of the square drawn at picture row `y` (0 at the top), column `x`: black in the
// gap, otherwise the square's colour on its board.
static Rgb squareColour(int y, int x) {
    const int col = x + FIRST_INTERIOR;
    if (y < PICTURE_COLUMNS) {
        return pictureColour(priorityColour(world[LAST_INTERIOR - y][col]));
    }
    const int itemY = y - PICTURE_COLUMNS - BOARD_GAP_ROWS;
    if (itemY < 0) {
        return {0, 0, 0};
    }
    return pictureColour(itemColour(world[LAST_INTERIOR - itemY][col]));
}

std::vector<Rgb> drawBoardPixels(int scale) {
    const size_t width = static_cast<size_t>(PICTURE_COLUMNS) * scale;
    std::vector<Rgb> pixels(width * PICTURE_ROWS * scale);
    Rgb* out = pixels.data();
    for (int y = 0; y < PICTURE_ROWS; ++y) {
        Rgb* rowStart = out;
        for (int x = 0; x < PICTURE_COLUMNS; ++x) {
            out = std::fill_n(out, scale, squareColour(y, x));
        }
        for (int repeat = 1; repeat < scale; ++repeat) {
            out = std::copy(rowStart, rowStart + width, out);
        }
    }
    return pixels;
}
