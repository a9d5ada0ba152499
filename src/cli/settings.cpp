#include "cli/settings.h"

#include <cstring>

int paramIndex(const char* name, size_t length) {
    for (int i = 0; i < PARAM_COUNT; ++i) {
        if (std::strlen(PARAM_NAMES[i]) == length &&
            std::strncmp(PARAM_NAMES[i], name, length) == 0) {
            return i;
        }
    }
    return -1;
}

std::string unknownParameter(const std::string& name) {
    std::string message = "unknown parameter '" + name + "'; the parameters are:";
    for (const char* known : PARAM_NAMES) {
        message += ' ';
        message += known;
    }
    return message;
}

std::string applySetting(const char* setting, int32_t values[PARAM_COUNT]) {
    const char* equals = std::strchr(setting, '=');
    if (equals == nullptr) {
        return "--set takes NAME=VALUE, not '" + std::string(setting) + "'";
    }
    const int index = paramIndex(setting, static_cast<size_t>(equals - setting));
    if (index < 0) {
        return unknownParameter(std::string(setting, equals));
    }
    const char* text = equals + 1;
    if (!parseParamValue(text, std::strlen(text), &values[index])) {
        return "a parameter's value is a number as the file writes it, not '" + std::string(text) +
               "'";
    }
    return "";
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

ParamFileOutcome loadParamFile(const char* path, int32_t values[PARAM_COUNT]) {
    const ParamReport report = readParamFile(path, values);
    if (report.fault == ParamFault::CannotOpen || report.fault == ParamFault::ReadError) {
        const char* verb = report.fault == ParamFault::CannotOpen ? "open" : "read";
        return {false,
                std::string("cannot ") + verb + " " + path + ": " + std::strerror(report.error)};
    }
    if (report.fault == ParamFault::None) {
        return {true, ""};
    }
    const int stopped = report.valuesRead;  // the parameter the file stopped at, from 0
    return {true, std::string(path) + ": parameter " + std::to_string(stopped + 1) + " (" +
                      PARAM_NAMES[stopped] + "): " + faultText(report.fault) +
                      "; it and every later parameter are 0"};
}
