// How the command-line programs end: their exit statuses and the messages of bad use and faults,
// each on standard error after the program's name.
#pragma once

#include <string>

constexpr int STATUS_FAILED = 1;   // something went wrong while running
constexpr int STATUS_BAD_USE = 2;  // the command line or its input is wrong
constexpr int OPTIONS_GOOD = -1;   // an option parser's "go on"

// "PROGRAM: WHAT 'ARG'" ("PROGRAM: WHAT" when ARG is null) and a pointer to --help on standard
// error; returns STATUS_BAD_USE.
int badUse(const char* program, const std::string& what, const char* arg = nullptr);

// "PROGRAM: MESSAGE" on standard error; returns `status`.
int sayFault(const char* program, int status, const std::string& message);
