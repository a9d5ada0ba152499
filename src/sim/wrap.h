// Simulation quantities are signed 32-bit integers whose sums and differences wrap around in
// two's complement. Signed overflow is undefined in C++, so the arithmetic is done on unsigned
// values, where wrapping is defined, and mapped back without an out-of-range conversion.
#pragma once

#include <cstdint>

inline int32_t toSigned(uint32_t u) {
    if (u <= uint32_t{INT32_MAX}) {
        return static_cast<int32_t>(u);
    }
    return static_cast<int32_t>(u - uint32_t{0x80000000}) + INT32_MIN;
}

inline int32_t wrapAdd(int32_t a, int32_t b) {
    return toSigned(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t wrapSub(int32_t a, int32_t b) {
    return toSigned(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
