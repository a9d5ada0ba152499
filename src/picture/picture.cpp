#include "picture/picture.h"

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "palette/colours.h"

namespace {

struct Rgb {
    uint8_t red, green, blue;
};

// Rounds 255 times the value as written, in double precision: 0.9 gives 230, where the single
// precision value the window draws with would give 229.
uint8_t component(double value) {
    return static_cast<uint8_t>(std::lround(255.0 * value));
}

Rgb pictureColour(PaletteIndex index) {
    const Colour& colour = PALETTE[index];
    return {component(colour.red), component(colour.green), component(colour.blue)};
}

// The colour of the square drawn at picture row `y` (0 at the top), column `x`: black in the
// gap, otherwise the square's colour on its board.
Rgb squareColour(int y, int x) {
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

std::vector<Rgb> drawPixels(int scale) {
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

std::string failure(const char* path, const char* reason) {
    return std::string("cannot write ") + path + ": " + reason;
}

// Writes the pixels to an open file; returns why not, or an empty string.
std::string encode(FILE* file, const std::vector<Rgb>& pixels, int scale) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(PICTURE_COLUMNS * scale);
    image.height = static_cast<png_uint_32>(PICTURE_ROWS * scale);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_stdio(&image, file, 0, pixels.data(), 0, nullptr) == 0) {
        return image.message;
    }
    return "";
}

}  // namespace

std::string writeBoardsPicture(const char* path, int scale) {
    const std::vector<Rgb> pixels = drawPixels(scale);
    // Written beside the final name and renamed into place, so that a reader never finds half a
    // picture there.
    const std::string partial = std::string(path) + ".part" + std::to_string(getpid());
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) {
        return failure(path, std::strerror(errno));
    }
    std::string error = encode(file, pixels, scale);
    if (std::fclose(file) != 0 && error.empty()) {
        error = std::strerror(errno);
    }
    if (error.empty() && std::rename(partial.c_str(), path) != 0) {
        error = std::strerror(errno);
    }
    if (!error.empty()) {
        std::remove(partial.c_str());
        return failure(path, error.c_str());
    }
    return "";
}
