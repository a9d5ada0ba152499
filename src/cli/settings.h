// Parameter values from the command line and the parameter file, as both programs take them.
// Each function returns what went wrong, for the program to say after its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/params.h"

// The parameter's index in PARAM_NAMES, or -1.
int paramIndex(const char* name, size_t length);

// "unknown parameter 'NAME'; the parameters are: initialEnergy foodRarity ..."
std::string unknownParameter(const std::string& name);

// Applies "NAME=VALUE" to the values, VALUE written as the file would write it. Returns nothing
// when applied, else why not, in the words of bad use (an unknown name lists the valid ones).
std::string applySetting(const char* setting, int32_t values[PARAM_COUNT]);

struct ParamFileOutcome {
    bool read;            // false: the file could not be opened or read, and `message` says why
    std::string message;  // once read: a warning that the file stopped early, or nothing
};

// Reads the parameter file at `path` into `values`.
ParamFileOutcome loadParamFile(const char* path, int32_t values[PARAM_COUNT]);
