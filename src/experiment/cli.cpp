#include "experiment/cli.h"

#include <cstdio>
#include <cstring>

bool parseWhole(const char* text, uint64_t max, uint64_t* value) {
    if (*text == '\0') {
        return false;
    }
    uint64_t n = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9 || n > (max - digit) / 10) {
            return false;
        }
        n = n * 10 + digit;
    }
    *value = n;
    return true;
}

int badUse(const char* program, const char* what, const char* arg) {
    if (arg == nullptr) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program, what, program);
    } else {
        std::fprintf(stderr, "%s: %s '%s'\nTry '%s --help'.\n", program, what, arg, program);
    }
    return STATUS_BAD_USE;
}

int paramIndex(const char* name, size_t length) {
    for (int i = 0; i < PARAM_COUNT; ++i) {
        if (std::strlen(PARAM_NAMES[i]) == length &&
            std::strncmp(PARAM_NAMES[i], name, length) == 0) {
            return i;
        }
    }
    return -1;
}

bool applySetting(const char* program, const char* setting, int32_t values[PARAM_COUNT]) {
    const char* equals = std::strchr(setting, '=');
    if (equals == nullptr) {
        badUse(program, "--set takes NAME=VALUE, not", setting);
        return false;
    }
    const int index = paramIndex(setting, static_cast<size_t>(equals - setting));
    if (index < 0) {
        std::fprintf(stderr, "%s: unknown parameter '%.*s'; the parameters are:", program,
                     static_cast<int>(equals - setting), setting);
        for (const char* name : PARAM_NAMES) {
            std::fprintf(stderr, " %s", name);
        }
        std::fprintf(stderr, "\nTry '%s --help'.\n", program);
        return false;
    }
    const char* text = equals + 1;
    if (!parseParamValue(text, std::strlen(text), &values[index])) {
        badUse(program, "a parameter's value is a number as the file writes it, not", text);
        return false;
    }
    return true;
}

static const char* faultText(ParamFault fault) {
    switch (fault) {
        case ParamFault::EndBeforeLabel:
            return "the file ends before its label";
        case ParamFault::EndBeforeValue:
            return "the file ends before its value";
        case ParamFault::NotANumber:
            return "its value is not a number";
        case ParamFault::None:
        case ParamFault::ReadError:
        case ParamFault::CannotOpen:
            break;
    }
    return "";
}

bool loadParamFile(const char* program, const char* path, int32_t values[PARAM_COUNT]) {
    const ParamReport report = readParamFile(path, values);
    if (report.fault == ParamFault::CannotOpen || report.fault == ParamFault::ReadError) {
        std::fprintf(stderr, "%s: cannot %s %s: %s\n", program,
                     report.fault == ParamFault::CannotOpen ? "open" : "read", path,
                     std::strerror(report.error));
        return false;
    }
    if (report.fault != ParamFault::None) {
        std::fprintf(stderr, "%s: %s: parameter %d (%s): %s; it and every later parameter are 0\n",
                     program, path, report.valuesRead + 1, PARAM_NAMES[report.valuesRead],
                     faultText(report.fault));
    }
    return true;
}

int nextOption(const char* program, int argc, char** argv, const option* options) {
    opterr = 0;
    const int found = getopt_long(argc, argv, ":", options, nullptr);
    if (found == '?') {
        badUse(program, "unknown option", argv[optind - 1]);
    } else if (found == ':') {
        badUse(program, "missing value after", argv[optind - 1]);
        return '?';
    }
    return found;
}
