#include "io/whole.h"

#include <charconv>

bool parseWhole(std::string_view text, uint64_t max, uint64_t* value) {
    // from_chars takes a leading minus for signed types only; a '+' never.
    uint64_t n = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, n);
    if (text.empty() || error != std::errc() || stop != end || n > max) {
        return false;
    }
    *value = n;
    return true;
}
