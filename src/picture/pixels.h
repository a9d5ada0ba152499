// The boards' pixels, laid out as the window's start view shows them: the priority board on top, a
// black gap of six squares, the item board below; row 49 at the top of each board and column 1 at
// the left. The border squares are not drawn. The PNG file and the web page's canvas both take
// these pixels, so that a board looks the same wherever it is shown.
#pragma once

#include <cstdint>
#include <vector>

#include "palette/colours.h"

constexpr int DEFAULT_PICTURE_SCALE = 8;  // pixels a side for each square
constexpr int MAX_PICTURE_SCALE = 64;

// The picture's size in squares: 49 across; two boards and the gap between them down.
constexpr int PICTURE_COLUMNS = 49;
constexpr int BOARD_GAP_ROWS = 6;
constexpr int PICTURE_ROWS = 2 * PICTURE_COLUMNS + BOARD_GAP_ROWS;

struct Rgb {
    uint8_t red, green, blue;
};

// A palette colour as a picture shows it: 255 times the value as written, rounded in double
// precision (0.9 gives 230, where the single precision value the window draws with gives 229).
Rgb pictureColour(PaletteIndex index);

// The current world's pixels, row by row from the top, each square `scale` pixels a side (1 to
// MAX_PICTURE_SCALE).
std::vector<Rgb> drawBoardPixels(int scale);
