// The headless runner as a user meets it: its options, messages, exit statuses and log.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct RunResult {
    int status;
    std::string out, err;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Named after the test, since tests may run side by side.
std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "vantu_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
}

std::string writeTemp(const std::string& name, const std::string& text) {
    const std::string path = tempPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// A folder of its own to run in, where no preference.txt lies.
const std::string& emptyFolder() {
    static std::string folder = [] {
        std::string name = ::testing::TempDir() + "vantu_XXXXXX";
        const char* made = mkdtemp(&name[0]);
        return std::string(made != nullptr ? made : "/nonexistent");  // then every run fails
    }();
    return folder;
}

// Runs the runner in the empty folder. Its log goes to `out`, read back unless it is a device.
RunResult run(const std::string& args, const std::string& out = tempPath("out")) {
    const std::string err = tempPath("err");
    const std::string command = "cd '" + emptyFolder() + "' && '" VANTU_HEADLESS "' " + args +
                                " > '" + out + "' 2> '" + err + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            out.rfind("/dev/", 0) == 0 ? "" : readFile(out), readFile(err)};
}

// A parameter file of the 22 values, a pair to a line.
std::string paramFile(const std::string& name, const std::vector<long long>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        text += "param" + std::to_string(i + 1) + " " + std::to_string(values[i]) + "\n";
    }
    return writeTemp(name, text);
}

const std::string DEFAULTS = std::string("--params '") + VANTU_DEFAULT_PARAMS + "'";
const char STARTUP[] = "Starting up...";

}  // namespace

// What each use gets: its exit status, a piece of its standard error, the start of its log.
TEST(Headless, StatusesAndMessages) {
    const std::string cut = writeTemp("cut.txt", "energy 10\nfood 5\npoison lots\n");
    const std::string usage = "usage: vantu-headless [--seed N] [--ticks N] [--params FILE]\n";
    struct Case {
        std::string args;
        int status;
        std::string err, out;
        std::string outPath = tempPath("out");
    } cases[] = {
        {"--help", 0, "", usage},
        {"--bogus", 2, "vantu-headless: unknown option '--bogus'\nTry", ""},
        {"stray", 2, "unknown option 'stray'", ""},
        {"--seed", 2, "vantu-headless: missing value after '--seed'\nTry", ""},
        {"--seed abc", 2, "0 to 4294967295, not 'abc'\nTry 'vantu-headless --help'.\n", ""},
        {"--seed 4294967296", 2, "not '4294967296'", ""},
        {"--seed -1", 2, "not '-1'", ""},
        {"--ticks 1x", 2, "--ticks takes a whole number of 0 or more, not '1x'", ""},
        {"--ticks ''", 2, "not ''", ""},
        {"--ticks 18446744073709551616", 2, "not '18446744073709551616'", ""},
        {"--params /nonexistent/p.txt", 1,
         "vantu-headless: cannot open /nonexistent/p.txt: No such file or directory\n", ""},
        {"--seed 1", 1, "vantu-headless: cannot open preference.txt: No such file", ""},
        {"--params /", 1, "vantu-headless: cannot read /: Is a directory\n", ""},
        {"--seed 1 --params '" + cut + "'", 0,
         "vantu-headless: " + cut +
             ": parameter 3 (poisonRarity): its value is not a number; it and every later "
             "parameter are 0\n",
         STARTUP},  // maxSteps is then 0: no step
        {"--seed 1 --ticks 1000 " + DEFAULTS, 1, "vantu-headless: cannot write the log: ", "",
         "/dev/full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const RunResult r = run(c.args, c.outPath);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.err.empty(), c.err.empty()) << r.err;
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(r.out.empty(), c.out.empty());
    }
}

TEST(Headless, TheLogDependsOnlyOnSeedAndTicks) {
    const RunResult first = run("--seed 77 --ticks 300 " + DEFAULTS);
    const RunResult again = run("--ticks 300 " + DEFAULTS + " --seed 77");
    const RunResult longer = run("--seed 77 --ticks 600 " + DEFAULTS);
    const RunResult other = run("--seed 78 --ticks 300 " + DEFAULTS);
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.err, "");
    EXPECT_EQ(first.out.rfind(STARTUP, 0), 0u);
    EXPECT_EQ(first.out, again.out);
    EXPECT_EQ(longer.out.rfind(first.out, 0), 0u);
    EXPECT_GT(longer.out.size(), first.out.size());
    EXPECT_NE(first.out, other.out);
    EXPECT_EQ(run("--seed 77 --ticks 0 " + DEFAULTS).out, STARTUP);
}

// Every line is one of the five forms, step numbers run on from 0 and the agent stays on the
// board; hostile values must not upset the runner (the sanitizer build runs this too).
TEST(Headless, HostileFilesRunClean) {
    const long long MAX = INT_MAX, MIN = INT_MIN;
    // Each runs for all its ticks: energy and maxSteps high, stepCost 0 or negative.
    const std::vector<std::vector<long long>> files = {
        {MAX, MAX, MAX, MAX, MAX, MAX, MAX, MAX, MAX, MAX, MAX,
         MAX, MAX, MAX, MAX, MAX, MAX, 0,   MAX, MAX, MAX, MAX},
        {MAX, MIN, MIN, MIN, MIN, MIN, MIN, MIN, MIN, MIN, MIN,
         MIN, MIN, MIN, MIN, MIN, MIN, 0,   MIN, MIN, MAX, MIN},
        {MAX, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, MAX, 0},  // zero moduli
        {MAX, 3,   2,   MAX, MIN, 5,   MAX, MAX, MAX, MAX, MIN,
         MIN, MIN, MIN, 2,   MIN, MAX, 0,   0,   0,   MAX, 0},  // priorities wrapping both ways
        {1, -1, -2, -5, -5, -5, -9, 0, -9, 0, 9, 9, 9, 9, -2, -9, -9, -7, -9, 9, MAX, 0},
        {5, 3, 3, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, -1, 0, 0, MAX, 0},  // walls of 0
    };
    const std::regex step(
        "(\\d+) - (\\d+),(\\d+) Priotity previous:-?\\d+   (\\d+),(\\d+) Priotity current:-?\\d+"
        "  Energy:-?\\d+");
    const std::regex event("Found food \\(\\+-?\\d+\\)|Found poison \\(--?\\d+\\)");
    const std::regex item("Item generated at:(\\d+),(\\d+)");
    for (size_t f = 0; f < files.size(); ++f) {
        SCOPED_TRACE(f);
        const std::string path = paramFile("hostile" + std::to_string(f), files[f]);
        const RunResult r =
            run("--seed " + std::to_string(f) + " --ticks 1500 --params '" + path + "'");
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        ASSERT_EQ(r.out.rfind(STARTUP, 0), 0u);
        std::istringstream lines(r.out.substr(sizeof STARTUP - 1));
        long long steps = 0;
        for (std::string line; std::getline(lines, line);) {
            std::smatch m;
            if (std::regex_match(line, m, step)) {
                ASSERT_EQ(std::stoll(m[1]), steps++);
                for (int i = 2; i <= 5; ++i) {
                    ASSERT_LE(std::stoi(m[i]), 49) << line;
                }
            } else if (std::regex_match(line, m, item)) {
                ASSERT_GE(std::stoi(m[1]), 1);
                ASSERT_LE(std::stoi(m[1]), 49);
                ASSERT_GE(std::stoi(m[2]), 1);
                ASSERT_LE(std::stoi(m[2]), 49);
            } else {
                ASSERT_TRUE(std::regex_match(line, event)) << line;
            }
        }
        EXPECT_EQ(steps, 1500);
    }
}
