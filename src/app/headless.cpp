// vantu-headless: the simulation without a window, as fast as it goes, for batch work. Its log
// is byte for byte the window program's for the same seed and number of clock ticks.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "sim/clock.h"
#include "sim/generate.h"
#include "sim/log.h"
#include "sim/params.h"

static const char PROGRAM[] = "vantu-headless";

static const char HELP[] =
    "usage: vantu-headless [--seed N] [--ticks N] [--params FILE]\n"
    "Runs the Vantu simulation without a window and writes its log on standard output.\n"
    "\n"
    "  --seed N       seed the random source with N (0 to 4294967295) instead of the time\n"
    "  --ticks N      run at most N clock ticks; without it, run until the run is over\n"
    "  --params FILE  read the parameters from FILE instead of preference.txt\n"
    "  --help         print this help and exit\n"
    "\n"
    "Exit status: 0 when the run is done, 1 when the parameter file cannot be opened or read or\n"
    "the log cannot be written, 2 on bad use.\n";

struct Options {
    uint32_t seed;
    uint64_t ticks;
    const char* paramPath;
};

// A whole number in plain decimal, with no sign, no more than `max`.
static bool parseWhole(const char* text, uint64_t max, uint64_t* value) {
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

static int badUse(const char* what, const char* arg) {
    std::fprintf(stderr, "%s: %s '%s'\nTry '%s --help'.\n", PROGRAM, what, arg, PROGRAM);
    return 2;
}

// Returns -1 when the options are good, else the exit status.
static int parseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--help") == 0) {
            std::fputs(HELP, stdout);
            return 0;
        }
        const bool isSeed = std::strcmp(option, "--seed") == 0;
        const bool isTicks = std::strcmp(option, "--ticks") == 0;
        const bool isParams = std::strcmp(option, "--params") == 0;
        if (!isSeed && !isTicks && !isParams) {
            return badUse("unknown option", option);
        }
        if (i + 1 == argc) {
            return badUse("missing value after", option);
        }
        const char* value = argv[++i];
        uint64_t number = 0;
        if (isParams) {
            options->paramPath = value;
        } else if (isSeed) {
            if (!parseWhole(value, UINT32_MAX, &number)) {
                return badUse("--seed takes a whole number from 0 to 4294967295, not", value);
            }
            options->seed = static_cast<uint32_t>(number);
        } else {
            if (!parseWhole(value, UINT64_MAX, &number)) {
                return badUse("--ticks takes a whole number of 0 or more, not", value);
            }
            options->ticks = number;
        }
    }
    return -1;
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

static void warnIfCut(const char* path, ParamReport report) {
    if (report.fault == ParamFault::None) {
        return;
    }
    std::fprintf(stderr, "%s: %s: parameter %d (%s): %s; it and every later parameter are 0\n",
                 PROGRAM, path, report.valuesRead + 1, PARAM_NAMES[report.valuesRead],
                 faultText(report.fault));
}

int main(int argc, char** argv) {
    Options options = {calendarSeed(), UINT64_MAX, PARAM_FILE_NAME};  // no tick limit
    const int status = parseOptions(argc, argv, &options);
    if (status >= 0) {
        return status;
    }
    int32_t values[PARAM_COUNT];
    const ParamReport report = readParamFile(options.paramPath, values);
    if (report.fault == ParamFault::CannotOpen || report.fault == ParamFault::ReadError) {
        std::fprintf(stderr, "%s: cannot %s %s: %s\n", PROGRAM,
                     report.fault == ParamFault::CannotOpen ? "open" : "read", options.paramPath,
                     std::strerror(report.error));
        return 1;
    }
    warnIfCut(options.paramPath, report);

    // No flush per line: the log gathers its lines and hands them over in large blocks, which
    // go straight to the file, with no second buffer to copy them through.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    logFlushesEachLine = false;

    logStartingUp();
    initWorldWith(options.seed, values);
    for (uint64_t tick = 0; tick < options.ticks && runIsLive() && !std::ferror(stdout); ++tick) {
        tickClock();
    }
    logFlush();
    if (std::ferror(stdout)) {
        std::fprintf(stderr, "%s: cannot write the log: %s\n", PROGRAM, std::strerror(errno));
        return 1;
    }
    return 0;
}
