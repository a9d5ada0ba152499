// The page's parameters, checked as the programs check them: a value as the parameter file
// writes it, a whole parameter file as the programs read one. The page's script shows the
// messages.
#include <emscripten/emscripten.h>

#include <string>

#include "cli/settings.h"
#include "sim/params.h"
#include "web/values.h"

// The shipped parameter file, embedded in the page's module.
static const char SHIPPED_FILE[] = "/preference.txt";

static int32_t values[PARAM_COUNT];
static std::string message;

int32_t* pageValues() {
    return values;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE int32_t* vantu_values() {
    return values;
}

EMSCRIPTEN_KEEPALIVE int vantu_param_count() {
    return PARAM_COUNT;
}

EMSCRIPTEN_KEEPALIVE const char* vantu_param_name(int index) {
    return PARAM_NAMES[index];
}

// What the last call below had to say, or nothing.
EMSCRIPTEN_KEEPALIVE const char* vantu_message() {
    return message.c_str();
}

// "NAME=VALUE" into the values, as --set takes it; 0 when refused, with the reason.
EMSCRIPTEN_KEEPALIVE int vantu_apply_setting(const char* setting) {
    message = applySetting(setting, values);
    return message.empty();
}

// A parameter file into the values (the shipped one when `path` is empty); 0 when it cannot be
// read. A file that stops early is read, with a warning, as the programs read it.
EMSCRIPTEN_KEEPALIVE int vantu_read_param_file(const char* path) {
    const ParamFileOutcome outcome = loadParamFile(*path == '\0' ? SHIPPED_FILE : path, values);
    message = outcome.message;
    return outcome.read;
}
}
