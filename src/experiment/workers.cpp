#include "experiment/workers.h"

#include "experiment/stop_signals.h"
#include "io/output.h"
#include "picture/picture.h"
#include "run/series.h"

#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <new>
#include <vector>

// Rows go to a worker in batches worth about BATCH_SECONDS of its time, two batches at most
// unanswered, so that it always has the next batch while the parent takes the last one's
// results. A worker sends its results when it has run the rows it read, or sooner when
// FLUSH_SECONDS have passed since the oldest it holds: short runs cost the parent a wake-up per
// batch, not per run, and long runs still come back as each ends. Few enough that neither pipe
// fills with rows, so that the parent never waits on a worker.
constexpr size_t MAX_BATCH = 24;
constexpr size_t MAX_IN_FLIGHT = 2 * MAX_BATCH;
constexpr double BATCH_SECONDS = 0.01;
constexpr double FLUSH_SECONDS = 0.005;
// A worker with a long series to send sends it as soon as this much has gathered: it then waits
// for the parent to read, which it does whatever the other workers do.
constexpr size_t OUTBOX_BYTES = 1 << 16;

// Which run a worker is on, in memory shared with the parent: run + 1, or 0 between runs. When
// the worker dies, that run is the one to blame; its other rows are handed out again.
struct RunningSlot {
    std::atomic<uint64_t> runPlusOne;
};

struct Worker {
    pid_t pid;
    int rowsFd;     // the parent writes rows here
    int resultsFd;  // and reads result lines here
    RunningSlot* slot;
    std::deque<DesignRow> inFlight;  // in the order sent, which is the order answered
    std::string partial;             // a result line read in part
};

// The boards as vantu-headless --picture draws them; false, reported, on failure.
static bool drawRun(const char* picturesDir, uint64_t run, const Notify& notify) {
    const std::string path = std::string(picturesDir) + "/run-" + std::to_string(run) + ".png";
    const std::string error = writeBoardsPicture(path.c_str(), DEFAULT_PICTURE_SCALE);
    if (!error.empty()) {
        notify(error);
    }
    return error.empty();
}

// What a worker sends for each run, in the order of its rows: the length of the run's series
// rows (8 bytes, 0 without a series), the rows, then its result row.
static void appendRun(const DesignRow& row, const RunMetrics& metrics, const std::string& series,
                      std::string* outbox) {
    const uint64_t length = series.size();
    outbox->append(reinterpret_cast<const char*>(&length), sizeof length);
    outbox->append(series);
    char line[RESULT_ROW_MAX];
    outbox->append(line, formatResultRow(row, metrics, line));
}

static RunMetrics runWithWork(const DesignRow& row, const RunWork& work, Series* series) {
    if (work.every == 0) {
        return runRow(row, work.ticks);
    }
    startRow(row);
    *series = Series();
    series->run = row.run;
    series->every = work.every;
    return runRecorded(work.ticks, series);
}

// The worker's life: rows in, a run's rows out per row, until the rows end. A run whose picture
// cannot be drawn ends the worker while it is still the worker's run, so that the death names
// it; the runs before it are sent first.
[[noreturn]] static void serveRows(int rowsFd, int resultsFd, RunningSlot* slot,
                                   const RunWork& work, const Notify& notify) {
    static char rows[MAX_BATCH * sizeof(DesignRow)];
    std::string outbox;
    Series series = {};
    size_t held = 0;
    for (;;) {
        const ssize_t got = read(rowsFd, rows + held, sizeof rows - held);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            _exit(got == 0 && held == 0 ? 0 : 1);
        }
        held += static_cast<size_t>(got);
        size_t used = 0;
        double oldest = 0;
        for (; held - used >= sizeof(DesignRow); used += sizeof(DesignRow)) {
            DesignRow row;
            std::memcpy(&row, rows + used, sizeof row);
            slot->runPlusOne = row.run + 1;
            const RunMetrics metrics = runWithWork(row, work, &series);
            if (work.picturesDir != nullptr && !drawRun(work.picturesDir, row.run, notify)) {
                writeWhole(resultsFd, outbox.data(), outbox.size());
                _exit(1);
            }
            slot->runPlusOne = 0;
            oldest = outbox.empty() ? nowSeconds() : oldest;
            appendRun(row, metrics, series.rows, &outbox);
            if (nowSeconds() - oldest >= FLUSH_SECONDS || outbox.size() >= OUTBOX_BYTES) {
                if (!writeWhole(resultsFd, outbox.data(), outbox.size())) {
                    _exit(1);
                }
                outbox.clear();
            }
        }
        if (!writeWhole(resultsFd, outbox.data(), outbox.size())) {
            _exit(1);
        }
        outbox.clear();
        std::memmove(rows, rows + used, held - used);
        held -= used;
    }
}

struct Pool {
    std::vector<Worker> workers;
    std::deque<DesignRow> retry;  // rows handed to a worker that died before it came to them
    bool rowsEnded;
    double startSeconds;
    uint64_t runsDone;  // in this sweep, to size the batches
    RunWork work;
    SweepFiles files;
    Notify notify;
    StopSignals signals;
    SweepOutcome outcome;
};

// Starts a worker; the pipes of the others are closed in it, so that each sees its own end.
static bool startWorker(const Pool& pool, Worker* worker) {
    int rows[2];
    int results[2];
    if (pipe(rows) != 0) {
        return false;
    }
    if (pipe(results) != 0) {
        close(rows[0]);
        close(rows[1]);
        return false;
    }
    void* shared = mmap(nullptr, sizeof(RunningSlot), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        for (int fd : {rows[0], rows[1], results[0], results[1]}) {
            close(fd);
        }
        return false;
    }
    RunningSlot* slot = new (shared) RunningSlot{{0}};
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // a parent killed outright leaves no runs behind
        releaseStopSignals(pool.signals);
        for (const Worker& other : pool.workers) {
            close(other.rowsFd);
            close(other.resultsFd);
        }
        close(pool.files.resultsFd);
        if (pool.files.seriesFd >= 0) {
            close(pool.files.seriesFd);
        }
        close(rows[1]);
        close(results[0]);
        serveRows(rows[0], results[1], slot, pool.work, pool.notify);
    }
    close(rows[0]);
    close(results[1]);
    if (pid < 0) {
        close(rows[1]);
        close(results[0]);
        munmap(shared, sizeof(RunningSlot));
        return false;
    }
    *worker = Worker{pid, rows[1], results[0], slot, {}, {}};
    return true;
}

static void describeDeath(int status, char* text, size_t size) {
    if (WIFSIGNALED(status)) {
        std::snprintf(text, size, "was killed by signal %d (%s)", WTERMSIG(status),
                      strsignal(WTERMSIG(status)));
    } else {
        std::snprintf(text, size, "exited with status %d", WEXITSTATUS(status));
    }
}

// Once a stop signal has come: no more rows are handed out and the workers are killed; the
// results they sent before are still taken. True when stopping.
static bool stopOnSignal(Pool* pool) {
    if (pool->outcome.stoppedBy == 0) {
        pool->outcome.stoppedBy = stopSignal(pool->signals);
        if (pool->outcome.stoppedBy == 0) {
            return false;
        }
        pool->retry.clear();
        for (const Worker& worker : pool->workers) {
            kill(worker.pid, SIGKILL);
        }
    }
    return true;
}

static bool takeRow(Pool* pool, const NextRow& next, DesignRow* row) {
    if (!pool->retry.empty()) {
        *row = pool->retry.front();
        pool->retry.pop_front();
        return true;
    }
    if (!pool->rowsEnded && !next(row)) {
        pool->rowsEnded = true;
    }
    return !pool->rowsEnded;
}

// Rows worth about BATCH_SECONDS of a worker's time, by the runs done so far.
static size_t batchSize(const Pool& pool) {
    const double busy =
        (nowSeconds() - pool.startSeconds) * static_cast<double>(pool.workers.size());
    const double rows = pool.runsDone == 0 ? 1 : BATCH_SECONDS * pool.runsDone / busy;
    return rows < 1 ? 1 : rows > MAX_BATCH ? MAX_BATCH : static_cast<size_t>(rows);
}

// Tops each worker up to two batches, in one write.
static void handOutRows(Pool* pool, const NextRow& next) {
    const size_t batch = batchSize(*pool);
    for (Worker& worker : pool->workers) {
        DesignRow rows[MAX_IN_FLIGHT];
        size_t count = 0;
        while (worker.inFlight.size() + count < 2 * batch && takeRow(pool, next, &rows[count])) {
            ++count;
        }
        worker.inFlight.insert(worker.inFlight.end(), rows, rows + count);
        // A worker that has died is found by its results pipe; its rows then go to the others.
        writeWhole(worker.rowsFd, reinterpret_cast<const char*>(rows), count * sizeof(DesignRow));
    }
}

// The worker at `index` has closed its results: it is done or dead. Reports a death with the
// run it was on, hands its other rows back and starts another in its place while rows remain;
// after a stop signal, which may have killed it too, it is simply gone.
static void retireWorker(Pool* pool, size_t index) {
    Worker worker = pool->workers[index];
    pool->workers.erase(pool->workers.begin() + static_cast<long>(index));
    close(worker.rowsFd);
    close(worker.resultsFd);
    int status = 0;
    while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    const bool died = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    const uint64_t runPlusOne = worker.slot->runPlusOne;
    munmap(worker.slot, sizeof(RunningSlot));
    if (stopOnSignal(pool)) {
        return;  // the signal may have killed it, and all the others too
    }
    if (died) {
        char how[160];
        describeDeath(status, how, sizeof how);
        char said[256];
        if (runPlusOne == 0) {
            std::snprintf(said, sizeof said, "a worker (pid %d) %s between runs", worker.pid, how);
        } else {
            std::snprintf(said, sizeof said, "run %llu failed: its worker (pid %d) %s",
                          static_cast<unsigned long long>(runPlusOne - 1), worker.pid, how);
            ++pool->outcome.lostRuns;
            // Not run again: a row that kills its worker would kill the next one too.
            for (auto row = worker.inFlight.begin(); row != worker.inFlight.end(); ++row) {
                if (row->run + 1 == runPlusOne) {
                    worker.inFlight.erase(row);
                    break;
                }
            }
        }
        pool->notify(said);
        ++pool->outcome.deadWorkers;
    }
    pool->retry.insert(pool->retry.begin(), worker.inFlight.begin(), worker.inFlight.end());
    Worker replacement;
    if (died && (!pool->retry.empty() || !pool->rowsEnded) && startWorker(*pool, &replacement)) {
        pool->workers.push_back(replacement);
    }
}

// What the worker sent: each run whose rows have all come goes out, its series rows before its
// result row, the runs of one read in one write to each file; a part of a run waits for the rest.
static void takeResults(Pool* pool, Worker* worker, const char* bytes, size_t length,
                        Progress* progress) {
    std::string& partial = worker->partial;
    partial.append(bytes, length);
    std::string series;
    std::string results;
    size_t at = 0;
    uint64_t runs = 0;
    for (uint64_t rows = 0; partial.size() - at >= sizeof rows; ++runs) {
        std::memcpy(&rows, partial.data() + at, sizeof rows);
        const size_t start = at + sizeof rows;
        const size_t end =
            partial.size() - start < rows ? std::string::npos : partial.find('\n', start + rows);
        if (end == std::string::npos) {
            break;
        }
        series.append(partial, start, rows);
        if (!pool->files.resultWritten[worker->inFlight[runs].run]) {
            results.append(partial, start + rows, end + 1 - start - rows);
        }
        at = end + 1;
    }
    const bool wrote = pool->outcome.writeFailed ||
                       ((pool->files.seriesFd < 0 ||
                         writeWhole(pool->files.seriesFd, series.data(), series.size())) &&
                        writeWhole(pool->files.resultsFd, results.data(), results.size()));
    if (!wrote) {
        pool->outcome.writeFailed = true;
        pool->outcome.error = std::string("cannot write the results: ") + std::strerror(errno);
    }
    partial.erase(0, at);
    worker->inFlight.erase(worker->inFlight.begin(),
                           worker->inFlight.begin() + static_cast<long>(runs));
    pool->runsDone += runs;
    advanceProgress(progress, runs);
}

// Waits for results, a stop signal or the progress's next showing, and takes the results;
// retires the workers that closed their end.
static void collectResults(Pool* pool, Progress* progress) {
    std::vector<pollfd> polls;
    for (const Worker& worker : pool->workers) {
        polls.push_back({worker.resultsFd, POLLIN, 0});
    }
    const int dueMs = msUntilProgressDue(*progress);
    const timespec due = {dueMs / 1000, dueMs % 1000 * 1000000L};
    const int ready =
        ppoll(polls.data(), polls.size(), dueMs < 0 ? nullptr : &due, &pool->signals.maskBefore);
    advanceProgress(progress, 0);
    if (ready <= 0) {
        return;  // a stop signal, or only the clock: the caller comes back
    }
    for (size_t i = polls.size(); i-- > 0;) {
        if (polls[i].revents == 0) {
            continue;
        }
        static char bytes[65536];
        const ssize_t got = read(polls[i].fd, bytes, sizeof bytes);
        if (got > 0) {
            takeResults(pool, &pool->workers[i], bytes, static_cast<size_t>(got), progress);
        } else if (got == 0 || errno != EINTR) {
            retireWorker(pool, i);
        }
    }
}

static bool allIdle(const Pool& pool) {
    for (const Worker& worker : pool.workers) {
        if (!worker.inFlight.empty()) {
            return false;
        }
    }
    return pool.retry.empty();
}

// The loop of the pool, until every worker has ended.
static void runPool(Pool* pool, const NextRow& next, Progress* progress) {
    while (!pool->workers.empty()) {
        const bool stopping = stopOnSignal(pool);
        if (pool->outcome.writeFailed) {
            pool->retry.clear();  // nowhere to put their results
        } else if (!stopping) {
            handOutRows(pool, next);
        }
        if ((pool->rowsEnded || pool->outcome.writeFailed) && allIdle(*pool)) {
            for (Worker& worker : pool->workers) {
                close(worker.rowsFd);  // the end of its rows: it finishes and exits
                worker.rowsFd = -1;
            }
        }
        collectResults(pool, progress);
    }
}

SweepOutcome runOnWorkers(int jobs, const RunWork& work, const SweepFiles& files,
                          const NextRow& next, Progress* progress, const Notify& notify) {
    std::signal(SIGPIPE, SIG_IGN);  // a dead worker's pipe fails a write, not the sweep
    Pool pool = {{}, {}, false, nowSeconds(), 0, work, files, notify, {}, {0, 0, false, false, {}}};
    catchStopSignals(&pool.signals);
    for (int i = 0; i < jobs; ++i) {
        Worker worker;
        if (startWorker(pool, &worker)) {
            pool.workers.push_back(worker);
        }
    }
    if (pool.workers.empty()) {
        const std::string error = std::string("cannot start a worker: ") + std::strerror(errno);
        endStopSignals(pool.signals);
        return {0, 0, true, false, error};
    }
    runPool(&pool, next, progress);
    if (!pool.outcome.writeFailed && pool.outcome.stoppedBy == 0 &&
        (!pool.retry.empty() || !pool.rowsEnded)) {
        pool.outcome.unfinished = true;
        pool.outcome.error = std::string("cannot start a worker again: ") + std::strerror(errno);
    }
    endStopSignals(pool.signals);
    return pool.outcome;
}
