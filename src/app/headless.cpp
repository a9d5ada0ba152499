// vantu-headless: the simulation without a window, as fast as it goes, for batch work. Its log
// is byte for byte the window program's for the same seed and number of clock ticks; with
// --summary it writes no log but the one result row a sweep would write for the run.
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/messages.h"
#include "cli/options.h"
#include "cli/settings.h"
#include "io/output.h"
#include "io/whole.h"
#include "picture/picture.h"
#include "run/run.h"
#include "run/series.h"
#include "sim/clock.h"
#include "sim/generate.h"
#include "sim/log.h"

static const char PROGRAM[] = "vantu-headless";

enum OptionId { SEED = 1, TICKS, PARAMS, SET, SUMMARY, PICTURE, SCALE, SERIES, EVERY };

static const OptionDeclarations OPTIONS = {
    {"seed", "N", "seed the random source with N (0 to 4294967295) instead of the time", SEED,
     false},
    {"ticks", "N", "run at most N clock ticks; without it, run until the run is over", TICKS,
     false},
    {"params", "FILE",
     "read the parameters from FILE instead of preference.txt, which is not read when --set "
     "gives all 22",
     PARAMS, false},
    {"set", "NAME=VALUE",
     "give the parameter NAME the VALUE instead of the file's, as the file would write it "
     "(foodRarity=5); may be repeated",
     SET, true},
    {"summary", nullptr, "write no log but a CSV header and the run's result row, as vantu-sweep's",
     SUMMARY, false},
    {"picture", "PNG", "after the run, write both boards to the file PNG as a picture", PICTURE,
     false},
    {"scale", "K", "draw each square of the picture K pixels a side (1 to 64; 8 unless given)",
     SCALE, false},
    {"series", "FILE",
     "also write the run's state over time to the CSV file FILE: a row at step 0, after every "
     "N-th step and after the last",
     SERIES, false},
    {"every", "N", "a series row after every N-th step (1 or more; 100 unless given)", EVERY,
     false},
};

static std::string help() {
    const OptionDeclarations listed = joinOptions({OPTIONS, {HELP_OPTION}});
    return synopsis("usage: vantu-headless", OPTIONS) +
           paragraph(
               "Runs the Vantu simulation without a window and writes its log on standard "
               "output.") +
           "\n" + optionLines(listed, helpColumn(listed)) + "\n" +
           paragraph(
               "Exit status: 0 when the run is done, 1 when the parameter file cannot be "
               "opened or read or the output or the picture cannot be written, 2 on bad "
               "use.");
}

constexpr int MAX_SETTINGS = 256;

struct Options {
    uint32_t seed;
    uint64_t ticks;
    const char* paramPath;  // null unless given
    const char* settings[MAX_SETTINGS];
    int settingCount;
    bool summary;
    const char* picturePath;  // none when null
    int pictureScale;
    const char* seriesPath;  // none when null
    uint64_t every;          // 0 when not given
};

// One option and its value into `options`; OPTIONS_GOOD, or the exit status. No default case:
// the compiler names an option declared and not taken here.
static int takeOption(OptionId id, const char* value, Options* options) {
    uint64_t number = 0;
    switch (id) {
        case SEED:
            if (!parseWhole(value, UINT32_MAX, &number)) {
                return badUse(PROGRAM, "--seed takes a whole number from 0 to 4294967295, not",
                              value);
            }
            options->seed = static_cast<uint32_t>(number);
            return OPTIONS_GOOD;
        case TICKS:
            if (!parseWhole(value, UINT64_MAX, &number)) {
                return badUse(PROGRAM, "--ticks takes a whole number of 0 or more, not", value);
            }
            options->ticks = number;
            return OPTIONS_GOOD;
        case PARAMS:
            options->paramPath = value;
            return OPTIONS_GOOD;
        case SET:
            if (options->settingCount == MAX_SETTINGS) {
                return badUse(PROGRAM, "too many settings, at", value);
            }
            options->settings[options->settingCount++] = value;
            return OPTIONS_GOOD;
        case SUMMARY:
            options->summary = true;
            return OPTIONS_GOOD;
        case PICTURE:
            options->picturePath = value;
            return OPTIONS_GOOD;
        case SCALE:
            if (!parseWhole(value, MAX_PICTURE_SCALE, &number) || number == 0) {
                return badUse(PROGRAM, "--scale takes a whole number from 1 to 64, not", value);
            }
            options->pictureScale = static_cast<int>(number);
            return OPTIONS_GOOD;
        case SERIES:
            options->seriesPath = value;
            return OPTIONS_GOOD;
        case EVERY:
            if (!parseWhole(value, UINT64_MAX, &options->every) || options->every == 0) {
                return badUse(PROGRAM, "--every takes a whole number from 1, not", value);
            }
            return OPTIONS_GOOD;
    }
    return STATUS_BAD_USE;
}

// Returns OPTIONS_GOOD when the options are good, else the exit status.
static int parseOptions(int argc, char** argv, Options* options) {
    const int status =
        takeOptions(PROGRAM, help, argc, argv, OPTIONS, [options](int id, const char* value) {
            return takeOption(static_cast<OptionId>(id), value, options);
        });
    if (status == OPTIONS_GOOD && optind < argc) {
        return badUse(PROGRAM, "unknown option", argv[optind]);
    }
    if (status == OPTIONS_GOOD && options->every != 0 && options->seriesPath == nullptr) {
        return badUse(PROGRAM, "--every is the period of a series: it needs --series FILE");
    }
    return status;
}

// Whether the settings, all good, give every parameter: then the run is the same in any folder,
// and the command line the web page copies runs where there is no parameter file.
static bool everyParameterSet(const Options& options) {
    bool set[PARAM_COUNT] = {};
    int count = 0;
    for (int i = 0; i < options.settingCount; ++i) {
        const char* setting = options.settings[i];
        const int index =
            paramIndex(setting, static_cast<size_t>(std::strchr(setting, '=') - setting));
        count += !set[index];
        set[index] = true;
    }
    return count == PARAM_COUNT;
}

// The settings, then the file, then the settings again over the file's values; OPTIONS_GOOD, or
// the exit status. Bad settings are bad use whatever the file: tried first on values of their
// own.
static int readValues(const Options& options, int32_t values[PARAM_COUNT]) {
    for (int i = 0; i < options.settingCount; ++i) {
        const std::string fault = applySetting(options.settings[i], values);
        if (!fault.empty()) {
            return badUse(PROGRAM, fault);
        }
    }
    if (options.paramPath == nullptr && everyParameterSet(options)) {
        return OPTIONS_GOOD;
    }
    const char* path = options.paramPath == nullptr ? PARAM_FILE_NAME : options.paramPath;
    const ParamFileOutcome file = loadParamFile(path, values);
    if (!file.message.empty()) {
        sayFault(PROGRAM, 0, file.message);
    }
    if (!file.read) {
        return STATUS_FAILED;
    }
    for (int i = 0; i < options.settingCount; ++i) {
        applySetting(options.settings[i], values);
    }
    return OPTIONS_GOOD;
}

static int writeFailed(const char* what) {
    std::fprintf(stderr, "%s: cannot write the %s: %s\n", PROGRAM, what, std::strerror(errno));
    return STATUS_FAILED;
}

static int writePictureIfAsked(const Options& options) {
    if (options.picturePath == nullptr) {
        return 0;
    }
    const std::string error = writeBoardsPicture(options.picturePath, options.pictureScale);
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n", PROGRAM, error.c_str());
        return STATUS_FAILED;
    }
    return 0;
}

// The series file, open for the rows as the run makes them; null when none is asked for.
struct SeriesFile {
    Output output;
    Series series;
};

static int openSeries(const Options& options, SeriesFile* file) {
    std::string error;
    if (!openOutput(options.seriesPath, &file->output, &error)) {
        return sayFault(PROGRAM, STATUS_BAD_USE, error);
    }
    std::FILE* out = file->output.file;
    std::fputs(seriesHeader(), out);
    file->series.every = options.every == 0 ? DEFAULT_EVERY : options.every;
    file->series.handOver = [out](std::string* rows) {
        std::fwrite(rows->data(), 1, rows->size(), out);
        rows->clear();
    };
    file->series.handOverBytes = SERIES_HAND_OVER_BYTES;
    return OPTIONS_GOOD;
}

// The run from its generated world, recorded when a series is asked for.
static RunMetrics runFromStart(uint64_t ticks, SeriesFile* file) {
    if (file->output.file != nullptr) {
        return runRecorded(ticks, &file->series);
    }
    for (uint64_t tick = 0; tick < ticks && runIsLive() && !std::ferror(stdout); ++tick) {
        tickClock();
    }
    return currentMetrics();
}

static int finish(const Options& options, SeriesFile* file) {
    std::string error;
    if (file->output.file != nullptr && !commitOutput(&file->output, &error)) {
        return sayFault(PROGRAM, STATUS_FAILED, error);
    }
    return writePictureIfAsked(options);
}

static int runSummary(const Options& options, const int32_t values[PARAM_COUNT], SeriesFile* file) {
    DesignRow row = {0, 0, options.seed, {}};
    std::memcpy(row.values, values, sizeof row.values);
    startRow(row);
    char line[RESULT_ROW_MAX];
    const size_t length = formatResultRow(row, runFromStart(options.ticks, file), line);
    std::fputs(resultHeader(), stdout);
    std::fwrite(line, 1, length, stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        abandonOutput(&file->output);
        return writeFailed("summary");
    }
    return finish(options, file);
}

int main(int argc, char** argv) {
    Options options = {calendarSeed(),        ALL_TICKS, nullptr, {}, 0, false, nullptr,
                       DEFAULT_PICTURE_SCALE, nullptr,   0};
    const int status = parseOptions(argc, argv, &options);
    if (status != OPTIONS_GOOD) {
        return status;
    }
    int32_t values[PARAM_COUNT] = {};
    const int valuesStatus = readValues(options, values);
    if (valuesStatus != OPTIONS_GOOD) {
        return valuesStatus;
    }
    SeriesFile file;
    if (options.seriesPath != nullptr && openSeries(options, &file) != OPTIONS_GOOD) {
        return STATUS_BAD_USE;
    }
    if (options.summary) {
        return runSummary(options, values, &file);
    }

    // No flush per line: the log gathers its lines and hands them over in large blocks, which
    // go straight to the file, with no second buffer to copy them through.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    logFlushesEachLine = false;

    logStartingUp();
    initWorldWith(options.seed, values);
    runFromStart(options.ticks, &file);
    logFlush();
    if (std::ferror(stdout)) {
        abandonOutput(&file.output);
        return writeFailed("log");
    }
    return finish(options, &file);
}
