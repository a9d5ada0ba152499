// vantu-sweep: experiments of many runs. `plan` writes a design, one run to a row; `run` runs a
// design's rows on worker processes and writes one result row per run, resuming where a killed
// sweep stopped; `plan-run` does both in one command; `merge` joins the result files of shards
// and resumed pieces, sorted by run.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/messages.h"
#include "cli/options.h"
#include "cli/settings.h"
#include "experiment/design.h"
#include "experiment/merge.h"
#include "experiment/plan.h"
#include "experiment/sweep.h"
#include "io/output.h"
#include "io/whole.h"
#include "run/series.h"
#include "sim/generate.h"

static const char PROGRAM[] = "vantu-sweep";

enum OptionId {
    PARAMS = 1,
    VARY,
    REPLICATES,
    SEED,
    TICKS,
    JOBS,
    SHARD,
    OUTPUT,
    QUIET,
    PICTURES,
    SERIES,
    EVERY,
    DESIGN,
};

static const OptionDeclarations PLAN_OPTIONS = {
    {"params", "FILE", "the parameters not varied, from FILE instead of preference.txt", PARAMS,
     false},
    {"vary", "NAME=VALUES",
     "vary the parameter NAME over VALUES, a comma list of values and ranges FIRST:LAST:STEP "
     "(both ends included); may be repeated",
     VARY, true},
    {"replicates", "R", "run every point R times (1 unless given), on seeds S to S + R - 1",
     REPLICATES, false},
    {"seed", "S", "the first replicate's seed, 0 to 4294967295 (default: the time)", SEED, false},
};
static const OptionDeclarations RUN_OPTIONS = {
    {"ticks", "T", "run each row at most T clock ticks (default: until it is over)", TICKS, false},
    {"jobs", "N", "run N runs at once, in worker processes (default: one for each CPU it may use)",
     JOBS, false},
    {"shard", "I/K", "run only the rows whose run modulo K is I", SHARD, false},
    {"output", "FILE",
     "append the results to FILE, resuming the sweep it holds, instead of writing them on "
     "standard output",
     OUTPUT, false},
    {"quiet", nullptr, "no progress on standard error", QUIET, false},
    {"pictures", "DIR",
     "also draw the boards at the end of each run into DIR/run-N.png, as vantu-headless "
     "--picture does (DIR is made when missing)",
     PICTURES, false},
    {"series", "FILE",
     "also write each run's state over time to FILE, resumed with the results: a row at step 0, "
     "after every N-th step and after the last",
     SERIES, false},
    {"every", "N", "a series row after every N-th step (1 or more; 100 unless given)", EVERY,
     false},
};
// plan-run's own, before plan's and run's.
static const OptionDeclarations DESIGN_KEPT_OPTIONS = {
    {"design", "DESIGN", "the file the design is planned into and kept in", DESIGN, false},
};
static const OptionDeclarations PLAN_RUN_OPTIONS =
    joinOptions({DESIGN_KEPT_OPTIONS, PLAN_OPTIONS, RUN_OPTIONS});
static const OptionDeclarations MERGE_OPTIONS = {
    {"design", "DESIGN", "say which runs of DESIGN are missing", DESIGN, false},
    {"output", "FILE", "write the merged results to FILE", OUTPUT, false},
};

static std::string help() {
    const size_t column = helpColumn(joinOptions({PLAN_RUN_OPTIONS, MERGE_OPTIONS}));
    return synopsis("usage: vantu-sweep plan", PLAN_OPTIONS) +
           synopsis("       vantu-sweep run DESIGN", RUN_OPTIONS) +
           "       vantu-sweep plan-run --design DESIGN [plan's options] [run's options]\n" +
           synopsis("       vantu-sweep merge FILE...", MERGE_OPTIONS) +
           paragraph(
               "Experiments of many runs of the Vantu simulation: a design of runs, their "
               "results, merged.") +
           "\n" +
           paragraph(
               "plan: writes a design on standard output, a CSV row per run: run, "
               "replicate, seed and the 22 parameters. The runs are every combination of "
               "the varied values, replicates outermost; replicate r runs on seed S + r.") +
           optionLines(PLAN_OPTIONS, column) + "\n" +
           paragraph(
               "run: runs the rows of DESIGN, a CSV file with the columns run, replicate, "
               "seed and the parameters, and writes a result row per run as it ends: the "
               "design's columns, then steps, end, energy, food, poison, restored, visited "
               "and the six priority bands' square counts.") +
           optionLines(RUN_OPTIONS, column) + "\n" +
           paragraph(
               "plan-run: plans into the file DESIGN, then runs it, with the options of "
               "plan and of run; the same command again (with its --seed) finds the same "
               "design there and resumes the results.") +
           optionLines(DESIGN_KEPT_OPTIONS, column) + "\n" +
           paragraph("merge: joins result files into one sorted by run, on standard output.") +
           optionLines(MERGE_OPTIONS, column) + "\n" +
           paragraph("--help, alone or after a command, prints this help.") + "\n" +
           paragraph(
               "Exit status: 0 when all went well, 1 when a run failed, results could not "
               "be written or runs are missing from a merge, 2 on bad use or bad input.");
}

struct PlanOptions {
    const char* paramPath = PARAM_FILE_NAME;
    std::vector<Varied> varied;
    uint64_t replicates = 1;
    uint32_t seed = calendarSeed();
};

// Whatever a command's options set: each command's table lets only its own options through.
// merge takes its --design and --output into the sweep's settings too.
struct CommandLine {
    PlanOptions plan;
    SweepSettings sweep;
};

constexpr uint64_t MAX_JOBS = 1024;

static bool parseShard(std::string_view text, uint64_t* shard, uint64_t* shards) {
    const size_t slash = text.find('/');
    return slash != std::string_view::npos &&
           parseWhole(text.substr(0, slash), UINT64_MAX, shard) &&
           parseWhole(text.substr(slash + 1), MAX_RUNS, shards) && *shards > 0 && *shard < *shards;
}

static int takeVaried(const char* value, PlanOptions* options) {
    std::string error;
    options->varied.emplace_back();
    if (!parseVaried(value, &options->varied.back(), &error)) {
        return sayFault(PROGRAM, STATUS_BAD_USE, error);
    }
    for (size_t i = 0; i + 1 < options->varied.size(); ++i) {
        if (options->varied[i].param == options->varied.back().param) {
            return badUse(PROGRAM, "a parameter is varied twice, at --vary", value);
        }
    }
    return OPTIONS_GOOD;
}

// One option and its value; OPTIONS_GOOD, or the exit status. No default case: the compiler
// names an option declared and not taken here.
static int takeOption(OptionId id, const char* value, CommandLine* line) {
    PlanOptions& plan = line->plan;
    SweepSettings& sweep = line->sweep;
    uint64_t number = 0;
    switch (id) {
        case PARAMS:
            plan.paramPath = value;
            return OPTIONS_GOOD;
        case VARY:
            return takeVaried(value, &plan);
        case REPLICATES:
            if (!parseWhole(value, MAX_RUNS, &number) || number == 0) {
                return badUse(PROGRAM, "--replicates takes a whole number from 1, not", value);
            }
            plan.replicates = number;
            return OPTIONS_GOOD;
        case SEED:
            if (!parseWhole(value, UINT32_MAX, &number)) {
                return badUse(PROGRAM, "--seed takes a whole number from 0 to 4294967295, not",
                              value);
            }
            plan.seed = static_cast<uint32_t>(number);
            return OPTIONS_GOOD;
        case TICKS:
            if (!parseWhole(value, UINT64_MAX, &sweep.ticks)) {
                return badUse(PROGRAM, "--ticks takes a whole number of 0 or more, not", value);
            }
            return OPTIONS_GOOD;
        case JOBS:
            if (!parseWhole(value, MAX_JOBS, &sweep.jobs) || sweep.jobs == 0) {
                return badUse(PROGRAM, "--jobs takes a whole number from 1 to 1024, not", value);
            }
            return OPTIONS_GOOD;
        case SHARD:
            if (!parseShard(value, &sweep.shard, &sweep.shards)) {
                return badUse(PROGRAM, "--shard takes I/K, whole numbers with I below K, not",
                              value);
            }
            return OPTIONS_GOOD;
        case OUTPUT:
            sweep.outputPath = value;
            return OPTIONS_GOOD;
        case QUIET:
            sweep.quiet = true;
            return OPTIONS_GOOD;
        case PICTURES:
            sweep.picturesDir = value;
            return OPTIONS_GOOD;
        case SERIES:
            sweep.seriesPath = value;
            return OPTIONS_GOOD;
        case EVERY:
            if (!parseWhole(value, UINT64_MAX, &sweep.every) || sweep.every == 0) {
                return badUse(PROGRAM, "--every takes a whole number from 1, not", value);
            }
            return OPTIONS_GOOD;
        case DESIGN:
            sweep.designPath = value;
            return OPTIONS_GOOD;
    }
    return STATUS_BAD_USE;
}

// The command's options into `line`; OPTIONS_GOOD, or the exit status. Its other arguments are
// left from optind on.
static int parseCommand(int argc, char** argv, const OptionDeclarations& options,
                        CommandLine* line) {
    return takeOptions(PROGRAM, help, argc, argv, options, [line](int id, const char* value) {
        return takeOption(static_cast<OptionId>(id), value, line);
    });
}

// What run's options must be together; OPTIONS_GOOD, or the exit status.
static int checkSweepOptions(SweepSettings* sweep) {
    if (sweep->every != 0 && sweep->seriesPath == nullptr) {
        return badUse(PROGRAM, "--every is the period of a series: it needs --series FILE");
    }
    if (sweep->seriesPath != nullptr && sweep->outputPath == nullptr) {
        return badUse(PROGRAM,
                      "--series is resumed beside its results: it needs --output FILE as well");
    }
    if (sweep->seriesPath != nullptr && sweep->every == 0) {
        sweep->every = DEFAULT_EVERY;
    }
    sweep->progressName = PROGRAM;
    return OPTIONS_GOOD;
}

// What the library says, under the program's name.
static void say(const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", PROGRAM, line.c_str());
}

// ---- plan

// Refuses a plan too large before anything is written and reads the values not varied;
// OPTIONS_GOOD or the exit status.
static int preparePlan(const PlanOptions& options, int32_t base[PARAM_COUNT]) {
    if (planSize(options.varied, options.replicates) == 0) {
        return sayFault(PROGRAM, STATUS_BAD_USE,
                        "the plan would have " + std::to_string(MAX_RUNS) +
                            " runs or more; vary fewer values or take fewer replicates");
    }
    const ParamFileOutcome file = loadParamFile(options.paramPath, base);
    if (!file.message.empty()) {
        sayFault(PROGRAM, 0, file.message);
    }
    return file.read ? OPTIONS_GOOD : STATUS_FAILED;
}

static int planCommand(int argc, char** argv) {
    CommandLine line;
    int status = parseCommand(argc, argv, PLAN_OPTIONS, &line);
    if (status != OPTIONS_GOOD) {
        return status;
    }
    if (optind < argc) {
        return badUse(PROGRAM, "plan takes no argument but its options, not", argv[optind]);
    }
    const PlanOptions& options = line.plan;
    int32_t base[PARAM_COUNT];
    status = preparePlan(options, base);
    if (status != OPTIONS_GOOD) {
        return status;
    }
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    if (!writePlan(stdout, base, options.varied, options.replicates, options.seed)) {
        return sayFault(PROGRAM, STATUS_FAILED,
                        std::string("cannot write the design: ") + std::strerror(errno));
    }
    return 0;
}

// ---- run

static int runCommand(int argc, char** argv) {
    CommandLine line;
    const int status = parseCommand(argc, argv, RUN_OPTIONS, &line);
    if (status != OPTIONS_GOOD) {
        return status;
    }
    if (optind + 1 != argc) {
        return optind == argc
                   ? badUse(PROGRAM, "run takes a design file", nullptr)
                   : badUse(PROGRAM, "run takes one design file; too many:", argv[argc - 1]);
    }
    line.sweep.designPath = argv[optind];
    const int checked = checkSweepOptions(&line.sweep);
    return checked != OPTIONS_GOOD ? checked : runSweep(line.sweep, say);
}

// ---- plan-run

static bool sameBytes(const char* pathA, const char* pathB) {
    std::FILE* a = std::fopen(pathA, "rb");
    std::FILE* b = std::fopen(pathB, "rb");
    bool same = a != nullptr && b != nullptr;
    static char bytesA[1 << 16];
    static char bytesB[1 << 16];
    for (size_t got = 1; same && got > 0;) {
        got = std::fread(bytesA, 1, sizeof bytesA, a);
        same =
            std::fread(bytesB, 1, sizeof bytesB, b) == got && std::memcmp(bytesA, bytesB, got) == 0;
    }
    for (std::FILE* file : {a, b}) {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    return same;
}

// Plans into `path` (written where it points). A design already there must be this one (the same
// command again, its --seed given), so that its results resume.
static int placeDesign(const char* path, const PlanOptions& options) {
    int32_t base[PARAM_COUNT];
    const int status = preparePlan(options, base);
    if (status != OPTIONS_GOOD) {
        return status;
    }
    if (isSpecialFile(path)) {
        return sayFault(PROGRAM, STATUS_BAD_USE,
                        std::string(path) +
                            " is not a regular file: plan-run keeps the design there to read it "
                            "back");
    }
    Output output;
    std::string error;
    if (!openOutput(path, &output, &error)) {
        return sayFault(PROGRAM, STATUS_FAILED, error);
    }
    if (!writePlan(output.file, base, options.varied, options.replicates, options.seed)) {
        abandonOutput(&output);
        return sayFault(PROGRAM, STATUS_FAILED,
                        "cannot write " + std::string(path) + ": " + std::strerror(errno));
    }
    if (access(path, F_OK) == 0) {
        std::fflush(output.file);
        const bool same = sameBytes(output.aside.c_str(), path);
        abandonOutput(&output);
        return same ? OPTIONS_GOOD
                    : sayFault(PROGRAM, STATUS_BAD_USE,
                               std::string(path) + " holds another design; give --seed to " +
                                   "repeat a plan, another --design, or remove it");
    }
    return commitOutput(&output, &error) ? OPTIONS_GOOD : sayFault(PROGRAM, STATUS_FAILED, error);
}

static int planRunCommand(int argc, char** argv) {
    CommandLine line;
    int status = parseCommand(argc, argv, PLAN_RUN_OPTIONS, &line);
    if (status != OPTIONS_GOOD) {
        return status;
    }
    if (optind < argc) {
        return badUse(PROGRAM, "plan-run takes no argument but its options, not", argv[optind]);
    }
    if (line.sweep.designPath == nullptr) {
        return badUse(PROGRAM, "plan-run needs --design FILE, where the design is kept", nullptr);
    }
    status = checkSweepOptions(&line.sweep);
    if (status != OPTIONS_GOOD) {
        return status;
    }
    status = placeDesign(line.sweep.designPath, line.plan);
    return status != OPTIONS_GOOD ? status : runSweep(line.sweep, say);
}

// ---- merge

static int mergeCommand(int argc, char** argv) {
    CommandLine line;
    const int status = parseCommand(argc, argv, MERGE_OPTIONS, &line);
    if (status != OPTIONS_GOOD) {
        return status;
    }
    if (optind == argc) {
        return badUse(PROGRAM, "merge takes one or more result files", nullptr);
    }
    const Report report = mergeResults(std::vector<const char*>(argv + optind, argv + argc),
                                       line.sweep.designPath, line.sweep.outputPath);
    for (const std::string& line : report.lines) {
        say(line);
    }
    return report.status;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        return badUse(PROGRAM, "a command is needed: plan, run, plan-run or merge", nullptr);
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "help") {
        std::fputs(help().c_str(), stdout);
        return 0;
    }
    // The command's own options: getopt_long sees the arguments after it.
    if (command == "plan") {
        return planCommand(argc - 1, argv + 1);
    }
    if (command == "run") {
        return runCommand(argc - 1, argv + 1);
    }
    if (command == "plan-run") {
        return planRunCommand(argc - 1, argv + 1);
    }
    if (command == "merge") {
        return mergeCommand(argc - 1, argv + 1);
    }
    return badUse(PROGRAM, "unknown command; the commands are plan, run, plan-run and merge, not",
                  argv[1]);
}
