// The six bands that the priority board shows and a run's summary counts: 0 or less, 1 to 3,
// 4 to 6, 7 to 9, 10 to 14, 15 or more.
#pragma once

#include <cstdint>

constexpr int PRIORITY_BANDS = 6;

// 0 for the lowest band up to PRIORITY_BANDS - 1 for the highest.
inline int priorityBand(int32_t priority) {
    constexpr int32_t BAND_STARTS[PRIORITY_BANDS - 1] = {1, 4, 7, 10, 15};
    int band = 0;
    while (band < PRIORITY_BANDS - 1 && priority >= BAND_STARTS[band]) {
        ++band;
    }
    return band;
}
