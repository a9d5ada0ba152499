// Both boards as a PNG file, drawn as picture/pixels.h lays them out.
#pragma once

#include <string>

#include "picture/pixels.h"

// Writes the current world to `path` (where it points: see io/output.h), each square `scale`
// pixels a side (1 to MAX_PICTURE_SCALE). Returns an empty string when the file is written, else
// why not; then no part of it is left behind.
std::string writeBoardsPicture(const char* path, int scale);
