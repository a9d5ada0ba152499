#include "picture/picture.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "io/output.h"
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

// The pixels as PNG bytes; false with libpng's reason in `error`.
bool encode(const std::vector<Rgb>& pixels, int scale, std::vector<char>* png, std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(PICTURE_COLUMNS * scale);
    image.height = static_cast<png_uint_32>(PICTURE_ROWS * scale);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr) == 0) {
        *error = image.message;
        return false;
    }
    png->resize(size);
    if (png_image_write_to_memory(&image, png->data(), &size, 0, pixels.data(), 0, nullptr) == 0) {
        *error = image.message;
        return false;
    }
    png->resize(size);
    return true;
}

}  // namespace

std::string writeBoardsPicture(const char* path, int scale) {
    // Encoded in memory, so that a failure to write is the system's reason, not libpng's.
    std::vector<char> png;
    std::string error;
    if (!encode(drawPixels(scale), scale, &png, &error)) {
        return std::string("cannot draw the picture for ") + path + ": " + error;
    }
    Output output;
    if (!openOutput(path, &output, &error)) {
        return error;
    }
    std::fwrite(png.data(), 1, png.size(), output.file);
    return commitOutput(&output, &error) ? "" : error;
}
