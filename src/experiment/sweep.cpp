#include "experiment/sweep.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/messages.h"  // the exit statuses
#include "experiment/design.h"
#include "experiment/identity.h"
#include "experiment/progress.h"
#include "experiment/table_file.h"
#include "experiment/workers.h"
#include "io/output.h"

// A design is read whole once before anything is written, so that a bad one leaves nothing
// half-written, and once more to run it: it must be a file that reads the same twice.
static bool surveyDesignFile(const char* path, DesignSurvey* survey, std::string* error) {
    if (isSpecialFile(path)) {
        *error = std::string(path) +
                 ": is not a regular file; a design is read twice, to check it and to run it";
        return false;
    }
    return surveyDesign(path, survey, error);
}

int runSweep(const SweepSettings& options, const Notify& say) {
    DesignSurvey survey;
    std::string error;
    if (!surveyDesignFile(options.designPath, &survey, &error)) {
        say(error);
        return STATUS_BAD_USE;
    }
    if (options.picturesDir != nullptr && mkdir(options.picturesDir, 0777) != 0 &&
        errno != EEXIST) {
        say(std::string("cannot make ") + options.picturesDir + ": " + std::strerror(errno));
        return STATUS_FAILED;
    }
    std::vector<bool> done(survey.runs.size());
    int outFd = STDOUT_FILENO;
    if (options.outputPath != nullptr) {
        const TableFile results =
            openResults(options.outputPath, sweepIdentity(survey.hash, options.ticks), &done);
        if (results.fd < 0) {
            say(results.error);
            return results.status;
        }
        outFd = results.fd;
    } else if (!writeWhole(outFd, resultHeader(), std::strlen(resultHeader()))) {
        say(std::string("cannot write the results: ") + std::strerror(errno));
        return STATUS_FAILED;
    }
    // A run whose result is written but whose series is not (its rows were moved out, or the
    // series was asked for only now) runs again for its series alone.
    std::vector<bool> recorded(survey.runs.size());
    int seriesFd = -1;
    if (options.seriesPath != nullptr) {
        const TableFile series =
            openSeries(options.seriesPath,
                       seriesIdentity(survey.hash, options.ticks, options.every), done, &recorded);
        if (series.fd < 0) {
            close(outFd);
            say(series.error);
            return series.status;
        }
        seriesFd = series.fd;
    }
    auto mine = [&](uint64_t run) { return run % options.shards == options.shard; };
    auto finished = [&](uint64_t run) { return done[run] && (seriesFd < 0 || recorded[run]); };
    uint64_t total = 0;
    uint64_t doneHere = 0;
    for (uint64_t run = 0; run < survey.runs.size(); ++run) {
        total += survey.runs[run] && mine(run);
        doneHere += survey.runs[run] && mine(run) && finished(run);
    }
    Progress progress = startProgress(total, doneHere, options.quiet, options.progressName);
    SweepOutcome outcome = {0, 0, false, false, {}};
    bool designFault = false;
    if (doneHere < total) {
        DesignReader reader;
        designFault = !openDesign(options.designPath, &reader, &error);
        NextRow next = [&](DesignRow* row) {
            DesignRead read = DesignRead::End;
            while (!designFault &&
                   (read = readDesignRow(&reader, row, &error)) == DesignRead::Row) {
                if (mine(row->run) && !finished(row->run)) {
                    return true;
                }
            }
            designFault = read == DesignRead::Fault;
            return false;
        };
        const uint64_t jobs = std::min(options.jobs, total - doneHere);
        const RunWork work = {options.ticks, seriesFd < 0 ? 0 : options.every, options.picturesDir};
        outcome = runOnWorkers(static_cast<int>(jobs), work, {outFd, seriesFd, done}, next,
                               &progress, say);
        closeDesign(&reader);
    }
    finishProgress(&progress);
    int status = 0;
    if (designFault) {
        say("the design cannot be read again: " + error);
        status = STATUS_FAILED;
    }
    for (int fd : {outFd, seriesFd}) {
        if (!outcome.writeFailed && fd >= 0 && fd != STDOUT_FILENO && close(fd) != 0) {
            outcome.writeFailed = true;
            outcome.error = std::string("cannot write the results: ") + std::strerror(errno);
        }
    }
    if (outcome.writeFailed) {
        say(outcome.error);
        status = STATUS_FAILED;
    }
    if (outcome.unfinished) {
        say(outcome.error + "; the same command runs the rows left");
        status = STATUS_FAILED;
    }
    if (outcome.deadWorkers > 0) {
        say("workers died: " + std::to_string(outcome.deadWorkers) + ", runs failed: " +
            std::to_string(outcome.lostRuns) + "; the same command runs them again");
        status = STATUS_FAILED;
    }
    if (outcome.stoppedBy != 0) {
        // The last line, for whoever comes back to a stopped sweep: how far it got, how to go on.
        say("stopped by signal " + std::to_string(outcome.stoppedBy) + " (" +
            strsignal(outcome.stoppedBy) + "): " + std::to_string(progress.done) + " of " +
            std::to_string(progress.total) + " runs done; " +
            (options.outputPath != nullptr ? "the same command resumes"
                                           : "to resume a sweep, give it --output FILE"));
        status = 128 + outcome.stoppedBy;
    }
    return status;
}
