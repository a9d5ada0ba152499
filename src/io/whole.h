// Whole numbers as the command lines and tables write them: plain decimal digits, no sign.
#pragma once

#include <cstdint>
#include <string_view>

// The whole of `text` as a number no more than `max`; false for anything else.
bool parseWhole(std::string_view text, uint64_t max, uint64_t* value);
