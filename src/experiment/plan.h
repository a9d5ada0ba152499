// A plan: every combination of the varied parameters' values, replicates on the outer loop, so
// that any prefix of the design covers the whole space; replicate r of every point runs on seed
// S + r (modulo 2^32), so that points are compared on the same random numbers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "experiment/design.h"

struct Varied {
    int param;                    // its index in PARAM_NAMES
    std::vector<int32_t> values;  // in the order given
};

// "NAME=VALUES": VALUES is a comma list of values and inclusive ranges FIRST:LAST:STEP, each
// value written as the parameter file would write it. False with the reason in `error`; a list
// of more than MAX_RUNS values is refused before it is made.
bool parseVaried(const char* text, Varied* varied, std::string* error);

// The number of runs, or 0 when it would reach MAX_RUNS or more.
uint64_t planSize(const std::vector<Varied>& varied, uint64_t replicates);

// Writes the design on `out`: the header and planSize rows. False when `out` fails.
bool writePlan(std::FILE* out, const int32_t base[PARAM_COUNT], const std::vector<Varied>& varied,
               uint64_t replicates, uint32_t seed);
