// The boards as the page's canvas takes them: the picture's pixels with an opaque alpha, and the
// palette's colours for the charts and the legend.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <vector>

#include "picture/pixels.h"

extern "C" {

// The boards' pixels at `scale` (1 to MAX_PICTURE_SCALE), 49 * scale wide and 104 * scale high,
// four bytes each; they stay until the next call.
EMSCRIPTEN_KEEPALIVE const uint8_t* vantu_pixels(int scale) {
    static std::vector<uint8_t> rgba;
    const std::vector<Rgb> pixels = drawBoardPixels(scale);
    rgba.resize(4 * pixels.size());
    uint8_t* out = rgba.data();
    for (const Rgb& pixel : pixels) {
        *out++ = pixel.red;
        *out++ = pixel.green;
        *out++ = pixel.blue;
        *out++ = 255;
    }
    return rgba.data();
}

EMSCRIPTEN_KEEPALIVE int vantu_picture_columns() {
    return PICTURE_COLUMNS;
}

EMSCRIPTEN_KEEPALIVE int vantu_picture_rows() {
    return PICTURE_ROWS;
}

EMSCRIPTEN_KEEPALIVE int vantu_max_scale() {
    return MAX_PICTURE_SCALE;
}

EMSCRIPTEN_KEEPALIVE int vantu_palette_size() {
    return PALETTE_SIZE;
}

EMSCRIPTEN_KEEPALIVE int vantu_lowest_band_colour() {
    return LOWEST_BAND_COLOUR;
}

// The charts draw food and poison found in the colours the item board gives them.
EMSCRIPTEN_KEEPALIVE int vantu_food_colour() {
    return FOOD_COLOUR;
}

EMSCRIPTEN_KEEPALIVE int vantu_poison_colour() {
    return POISON_COLOUR;
}

// The palette as the pictures show it: red, green and blue of each colour in order.
EMSCRIPTEN_KEEPALIVE const uint8_t* vantu_palette() {
    static uint8_t bytes[3 * PALETTE_SIZE];
    for (int index = 0; index < PALETTE_SIZE; ++index) {
        const Rgb colour = pictureColour(static_cast<PaletteIndex>(index));
        bytes[3 * index] = colour.red;
        bytes[3 * index + 1] = colour.green;
        bytes[3 * index + 2] = colour.blue;
    }
    return bytes;
}
}
