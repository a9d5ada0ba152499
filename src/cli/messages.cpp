#include "cli/messages.h"

#include <cstdio>

int badUse(const char* program, const std::string& what, const char* arg) {
    if (arg == nullptr) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program, what.c_str(), program);
    } else {
        std::fprintf(stderr, "%s: %s '%s'\nTry '%s --help'.\n", program, what.c_str(), arg,
                     program);
    }
    return STATUS_BAD_USE;
}

int sayFault(const char* program, int status, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
    return status;
}
