// Reading the parameter file: 22 pairs of a label and a value, separated by any whitespace.
// Labels are skipped unread. A value is an optional sign and digits, at most 15 characters, in
// the base its prefix chooses (0x hexadecimal, 0 octal, else decimal), clamped to 32 bits.
// The first value that cannot be read ends the reading: it and every later value are 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "sim/world.h"

enum class ParamFault {
    None,
    EndBeforeLabel,  // the file ends where a label should begin
    EndBeforeValue,  // the file ends right after a label
    NotANumber,      // the value has no digits
    ReadError,       // the file cannot be read
    CannotOpen,      // the file cannot be opened
};

struct ParamReport {
    int valuesRead;    // values read before the fault; PARAM_COUNT when there is none
    ParamFault fault;  // what stopped the reading at parameter valuesRead + 1
    int error;         // the system's reason (an errno value) for CannotOpen and ReadError
};

extern const char* const PARAM_NAMES[PARAM_COUNT];

ParamReport readParams(std::FILE* file, int32_t values[PARAM_COUNT]);

// The same from the file at `path`; every value is 0 when it cannot be opened.
ParamReport readParamFile(const char* path, int32_t values[PARAM_COUNT]);

// One value as the file would write it, the whole of the `length` characters at `text` and
// nothing around it: a parameter given on a command line or in a table.
bool parseParamValue(const char* text, size_t length, int32_t* value);
