// A row's numbers as the tables write them: plain decimal, a minus sign when negative, each
// followed by a comma; two digits at a time as the log writes its numbers, so that a series row
// every step costs about what a log line does.
#pragma once

#include <charconv>
#include <cstdint>

#include "sim/log.h"

inline char* putDecimal(char* out, uint64_t value) {
    return value > UINT32_MAX ? std::to_chars(out, out + 20, value).ptr
                              : putDigits(out, static_cast<uint32_t>(value));
}

inline char* appendField(char* out, uint64_t value) {
    out = putDecimal(out, value);
    *out = ',';
    return out + 1;
}

inline char* appendField(char* out, int64_t value) {
    if (value < 0) {
        *out++ = '-';
        return appendField(out, 0 - static_cast<uint64_t>(value));
    }
    return appendField(out, static_cast<uint64_t>(value));
}

inline char* appendField(char* out, int32_t value) {
    return appendField(out, int64_t{value});
}

inline char* appendField(char* out, uint32_t value) {
    return appendField(out, uint64_t{value});
}
