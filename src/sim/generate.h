// Start-up of the simulation: seeding, the start square, the parameters and the filled grid.
#pragma once

#include <cstdint>

#include "sim/params.h"

constexpr const char* PARAM_FILE_NAME = "preference.txt";

// Seeds from the calendar clock and reads preference.txt in the working directory, if it opens.
void initWorld();

// The same from a given seed and the parameter file's 22 values, as the file writes them
// (foodRarity is decremented here). Starts from an all-zero world, so it can be called again
// for a fresh run.
void initWorldWith(uint32_t seed, const int32_t fileValues[PARAM_COUNT]);

// The calendar time in seconds since 1970, truncated to 32 bits.
uint32_t calendarSeed();
