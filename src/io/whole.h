// Whole numbers as a user or a file writes them for counts, seeds and run numbers.
#pragma once

#include <cstdint>
#include <string_view>

// Plain decimal digits, no sign, no blanks, at most `max`; false, with `value` untouched, on
// anything else (an empty text included).
bool parseWhole(std::string_view text, uint64_t max, uint64_t* value);
