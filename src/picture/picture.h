// Both boards as a PNG file, laid out as the window's start view shows them: the priority board
// on top, a black gap of six squares, the item board below; row 49 at the top of each board and
// column 1 at the left. The border squares are not drawn.
#pragma once

#include <string>

constexpr int DEFAULT_PICTURE_SCALE = 8;  // pixels a side for each square
constexpr int MAX_PICTURE_SCALE = 64;

// The picture's size in squares: 49 across; two boards and the gap between them down.
constexpr int PICTURE_COLUMNS = 49;
constexpr int BOARD_GAP_ROWS = 6;
constexpr int PICTURE_ROWS = 2 * PICTURE_COLUMNS + BOARD_GAP_ROWS;

// Writes the current world to `path` (where it points: see io/output.h), each square `scale`
// pixels a side (1 to MAX_PICTURE_SCALE). Returns an empty string when the file is written, else
// why not; then no part of it is left behind.
std::string writeBoardsPicture(const char* path, int scale);
