// vantu-sweep: experiments of many runs. `plan` writes a design, one run to a row; `run` runs a
// design's rows on worker processes and writes one result row per run, resuming where a killed
// sweep stopped; `plan-run` does both in one command; `merge` joins the result files of shards
// and resumed pieces, sorted by run.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "experiment/cli.h"
#include "experiment/design.h"
#include "experiment/merge.h"
#include "experiment/plan.h"
#include "experiment/sweep.h"
#include "io/output.h"
#include "sim/generate.h"

static const char PROGRAM[] = "vantu-sweep";

static const char HELP[] =
    "usage: vantu-sweep plan [--params FILE] [--vary NAME=VALUES]... [--replicates R] [--seed S]\n"
    "       vantu-sweep run DESIGN [--ticks T] [--jobs N] [--shard I/K] [--output FILE] [--quiet]\n"
    "                              [--pictures DIR]\n"
    "       vantu-sweep plan-run --design DESIGN [plan's options] [run's options]\n"
    "       vantu-sweep merge FILE... [--design DESIGN] [--output FILE]\n"
    "Experiments of many runs of the Vantu simulation: a design of runs, their results, merged.\n"
    "\n"
    "plan: writes a design on standard output, a CSV row per run: run, replicate, seed and the\n"
    "22 parameters. The runs are every combination of the varied values, replicates outermost;\n"
    "replicate r runs on seed S + r.\n"
    "  --params FILE       the parameters not varied, from FILE instead of preference.txt\n"
    "  --vary NAME=VALUES  vary the parameter NAME over VALUES, a comma list of values and\n"
    "                      ranges FIRST:LAST:STEP (both ends included); may be repeated\n"
    "  --replicates R      run every point R times, on seeds S to S + R - 1 (default 1)\n"
    "  --seed S            the first replicate's seed, 0 to 4294967295 (default: the time)\n"
    "\n"
    "run: runs the rows of DESIGN, a CSV file with the columns run, replicate, seed and the\n"
    "parameters, and writes a result row per run as it ends: the design's columns, then steps,\n"
    "end, energy, food, poison, restored, visited and the six priority bands' square counts.\n"
    "  --ticks T           run each row at most T clock ticks (default: until it is over)\n"
    "  --jobs N            run N runs at once, in worker processes (default: every core)\n"
    "  --shard I/K         run only the rows whose run modulo K is I\n"
    "  --output FILE       append the results to FILE, resuming the sweep it holds, instead of\n"
    "                      writing them on standard output\n"
    "  --quiet             no progress on standard error\n"
    "  --pictures DIR      also draw the boards at the end of each run into DIR/run-N.png, as\n"
    "                      vantu-headless --picture does (DIR is made when missing)\n"
    "\n"
    "plan-run: plans into the file DESIGN, then runs it; the same command again (with its\n"
    "--seed) finds the same design there and resumes the results.\n"
    "\n"
    "merge: joins result files into one sorted by run, on standard output.\n"
    "  --design DESIGN     say which runs of DESIGN are missing\n"
    "  --output FILE       write the merged results to FILE\n"
    "\n"
    "Exit status: 0 when all went well, 1 when a run failed, results could not be written or\n"
    "runs are missing from a merge, 2 on bad use or bad input.\n";

static int help() {
    std::fputs(HELP, stdout);
    return 0;
}

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
    DESIGN,
    HELP_OPTION
};

static const option PLAN_OPTIONS[] = {
    {"params", required_argument, nullptr, PARAMS},
    {"vary", required_argument, nullptr, VARY},
    {"replicates", required_argument, nullptr, REPLICATES},
    {"seed", required_argument, nullptr, SEED},
};
static const option RUN_OPTIONS[] = {
    {"ticks", required_argument, nullptr, TICKS},
    {"jobs", required_argument, nullptr, JOBS},
    {"shard", required_argument, nullptr, SHARD},
    {"output", required_argument, nullptr, OUTPUT},
    {"quiet", no_argument, nullptr, QUIET},
    {"pictures", required_argument, nullptr, PICTURES},
};
static const option DESIGN_OPTION[] = {{"design", required_argument, nullptr, DESIGN}};
static const option OUTPUT_OPTION[] = {{"output", required_argument, nullptr, OUTPUT}};

// A command's table for getopt_long: its options, then --help and the end mark. plan-run takes
// the options of plan and of run.
template <size_t... N>
static std::vector<option> optionTable(const option (&... parts)[N]) {
    std::vector<option> table;
    (table.insert(table.end(), parts, parts + N), ...);
    table.push_back({"help", no_argument, nullptr, HELP_OPTION});
    table.push_back({nullptr, 0, nullptr, 0});
    return table;
}

// ---- plan

struct PlanOptions {
    const char* paramPath = PARAM_FILE_NAME;
    std::vector<Varied> varied;
    uint64_t replicates = 1;
    uint32_t seed = calendarSeed();
};

static int takePlanOption(int id, const char* value, PlanOptions* options) {
    uint64_t number = 0;
    std::string error;
    switch (id) {
        case PARAMS:
            options->paramPath = value;
            return OPTIONS_GOOD;
        case VARY:
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
        case REPLICATES:
            if (!parseWhole(value, MAX_RUNS, &number) || number == 0) {
                return badUse(PROGRAM, "--replicates takes a whole number from 1, not", value);
            }
            options->replicates = number;
            return OPTIONS_GOOD;
        case SEED:
            if (!parseWhole(value, UINT32_MAX, &number)) {
                return badUse(PROGRAM, "--seed takes a whole number from 0 to 4294967295, not",
                              value);
            }
            options->seed = static_cast<uint32_t>(number);
            return OPTIONS_GOOD;
        case HELP_OPTION:
            return help();
    }
    return STATUS_BAD_USE;
}

// Refuses a plan too large before anything is written and reads the values not varied;
// OPTIONS_GOOD or the exit status.
static int preparePlan(const PlanOptions& options, int32_t base[PARAM_COUNT]) {
    if (planSize(options.varied, options.replicates) == 0) {
        return sayFault(PROGRAM, STATUS_BAD_USE,
                        "the plan would have " + std::to_string(MAX_RUNS) +
                            " runs or more; vary fewer values or take fewer replicates");
    }
    return loadParamFile(PROGRAM, options.paramPath, base) ? OPTIONS_GOOD : STATUS_FAILED;
}

static int planCommand(int argc, char** argv) {
    static const std::vector<option> OPTIONS = optionTable(PLAN_OPTIONS);
    PlanOptions options;
    for (int id; (id = nextOption(PROGRAM, argc, argv, OPTIONS.data())) != -1;) {
        const int status = takePlanOption(id, optarg, &options);
        if (status != OPTIONS_GOOD) {
            return status;
        }
    }
    if (optind < argc) {
        return badUse(PROGRAM, "plan takes no argument but its options, not", argv[optind]);
    }
    int32_t base[PARAM_COUNT];
    const int status = preparePlan(options, base);
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

constexpr uint64_t MAX_JOBS = 1024;

static bool parseShard(const char* text, uint64_t* shard, uint64_t* shards) {
    const char* slash = std::strchr(text, '/');
    if (slash == nullptr || slash - text > 20) {
        return false;
    }
    const std::string first(text, slash);
    return parseWhole(first.c_str(), UINT64_MAX, shard) &&
           parseWhole(slash + 1, MAX_RUNS, shards) && *shards > 0 && *shard < *shards;
}

static int takeRunOption(int id, const char* value, SweepSettings* options) {
    switch (id) {
        case TICKS:
            if (!parseWhole(value, UINT64_MAX, &options->ticks)) {
                return badUse(PROGRAM, "--ticks takes a whole number of 0 or more, not", value);
            }
            return OPTIONS_GOOD;
        case JOBS:
            if (!parseWhole(value, MAX_JOBS, &options->jobs) || options->jobs == 0) {
                return badUse(PROGRAM, "--jobs takes a whole number from 1 to 1024, not", value);
            }
            return OPTIONS_GOOD;
        case SHARD:
            if (!parseShard(value, &options->shard, &options->shards)) {
                return badUse(PROGRAM, "--shard takes I/K, whole numbers with I below K, not",
                              value);
            }
            return OPTIONS_GOOD;
        case OUTPUT:
            options->outputPath = value;
            return OPTIONS_GOOD;
        case QUIET:
            options->quiet = true;
            return OPTIONS_GOOD;
        case PICTURES:
            options->picturesDir = value;
            return OPTIONS_GOOD;
        case HELP_OPTION:
            return help();
    }
    return STATUS_BAD_USE;
}

static int parseSweepSettings(int argc, char** argv, SweepSettings* options) {
    static const std::vector<option> OPTIONS = optionTable(RUN_OPTIONS);
    for (int id; (id = nextOption(PROGRAM, argc, argv, OPTIONS.data())) != -1;) {
        const int status = takeRunOption(id, optarg, options);
        if (status != OPTIONS_GOOD) {
            return status;
        }
    }
    if (optind + 1 != argc) {
        return optind == argc
                   ? badUse(PROGRAM, "run takes a design file", nullptr)
                   : badUse(PROGRAM, "run takes one design file; too many:", argv[argc - 1]);
    }
    options->designPath = argv[optind];
    return OPTIONS_GOOD;
}

static int runCommand(int argc, char** argv) {
    SweepSettings options;
    const int status = parseSweepSettings(argc, argv, &options);
    return status != OPTIONS_GOOD ? status : runSweep(options);
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
    static const std::vector<option> OPTIONS =
        optionTable(DESIGN_OPTION, PLAN_OPTIONS, RUN_OPTIONS);
    PlanOptions plan;
    SweepSettings settings;
    for (int id; (id = nextOption(PROGRAM, argc, argv, OPTIONS.data())) != -1;) {
        int status = OPTIONS_GOOD;
        if (id == DESIGN) {
            settings.designPath = optarg;
        } else if (id == PARAMS || id == VARY || id == REPLICATES || id == SEED) {
            status = takePlanOption(id, optarg, &plan);
        } else {
            status = takeRunOption(id, optarg, &settings);
        }
        if (status != OPTIONS_GOOD) {
            return status;
        }
    }
    if (optind < argc) {
        return badUse(PROGRAM, "plan-run takes no argument but its options, not", argv[optind]);
    }
    if (settings.designPath == nullptr) {
        return badUse(PROGRAM, "plan-run needs --design FILE, where the design is kept", nullptr);
    }
    const int status = placeDesign(settings.designPath, plan);
    return status != OPTIONS_GOOD ? status : runSweep(settings);
}

// ---- merge

static int mergeCommand(int argc, char** argv) {
    static const std::vector<option> OPTIONS = optionTable(DESIGN_OPTION, OUTPUT_OPTION);
    const char* designPath = nullptr;
    const char* outputPath = nullptr;
    for (int id; (id = nextOption(PROGRAM, argc, argv, OPTIONS.data())) != -1;) {
        if (id == DESIGN) {
            designPath = optarg;
        } else if (id == OUTPUT) {
            outputPath = optarg;
        } else {
            return id == HELP_OPTION ? help() : STATUS_BAD_USE;
        }
    }
    if (optind == argc) {
        return badUse(PROGRAM, "merge takes one or more result files", nullptr);
    }
    const Report report =
        mergeResults(std::vector<const char*>(argv + optind, argv + argc), designPath, outputPath);
    for (const std::string& line : report.lines) {
        std::fprintf(stderr, "%s: %s\n", PROGRAM, line.c_str());
    }
    return report.status;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        return badUse(PROGRAM, "a command is needed: plan, run, plan-run or merge", nullptr);
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "help") {
        return help();
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
