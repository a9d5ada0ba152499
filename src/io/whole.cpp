#include "io/whole.h"

#include <charconv>

bool parseWhole(std::string_view text, uint64_t max, uint64_t* value) {
    const char* end = text.data() + text.size();
    uint64_t number = 0;
    // from_chars takes no '+' or blank, and no '-' for an unsigned type; it reports overflow.
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (error != std::errc() || stop != end || number > max) {
        return false;
    }
    *value = number;
    return true;
}
