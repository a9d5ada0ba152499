// Start-up of the simulation: seeding, the start square, the parameter file and the filled grid.
#pragma once

#include <cstdint>
#include <cstdio>

#include "sim/params.h"

constexpr const char* PARAM_FILE_NAME = "preference.txt";

// Seeds from the calendar clock and reads preference.txt in the working directory, if it opens.
void initWorld();

// The same from a given seed and an open parameter file, or none (every value is then 0).
// Starts from an all-zero world, so it can be called again for a fresh run.
ParamReport initWorldFrom(uint32_t seed, std::FILE* paramFile);

// The calendar time in seconds since 1970, truncated to 32 bits.
uint32_t calendarSeed();
