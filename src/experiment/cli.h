// The manners the command-line programs share: whole numbers, parameter settings, the parameter
// file's warnings, and the messages and status of bad use.
#pragma once

#include <getopt.h>

#include <cstdint>

#include "sim/params.h"

constexpr int STATUS_FAILED = 1;   // something went wrong while running
constexpr int STATUS_BAD_USE = 2;  // the command line or its input is wrong
constexpr int OPTIONS_GOOD = -1;   // an option parser's "go on"

// A whole number in plain decimal, with no sign, no more than `max`.
bool parseWhole(const char* text, uint64_t max, uint64_t* value);

// "PROGRAM: WHAT 'ARG'" ("PROGRAM: WHAT" when ARG is null) and a pointer to --help on standard
// error; returns STATUS_BAD_USE.
int badUse(const char* program, const char* what, const char* arg);

// The parameter's index in PARAM_NAMES, or -1.
int paramIndex(const char* name, size_t length);

// Applies "NAME=VALUE" to the file's values, VALUE written as the file would write it. On a
// fault, says why on standard error (an unknown name lists the valid ones) and returns false.
bool applySetting(const char* program, const char* setting, int32_t values[PARAM_COUNT]);

// Reads the parameter file, warning when it stops early; false, with the reason on standard
// error, when it cannot be opened or read.
bool loadParamFile(const char* program, const char* path, int32_t values[PARAM_COUNT]);

// getopt_long without its own messages: returns the next option's value, -1 at the end, or '?'
// after saying what is wrong (an unknown option or a missing value). Non-options are gathered
// after the options, from optind on.
int nextOption(const char* program, int argc, char** argv, const option* options);
