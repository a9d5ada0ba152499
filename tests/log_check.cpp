// Checks a run's log on standard input line by line as it streams by, keeping none of it: every
// line is one of the five forms; step numbers run on from 0; each step starts where the last one
// ended, moves at most one square and stays on rows and columns 0..49; no step follows one that
// spent the energy; at most one food or poison line comes before each step line, and item lines
// come after one, on interior squares other than the agent's. On success it prints the number
// of step, food, poison and item lines and the last energy; else the first bad line.
#include <sys/types.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Cursor {
    const char* at;
    const char* end;
};

struct Square {
    int64_t row, col;
};

struct LogState {
    int64_t steps, food, poison, items;
    Square agent;       // after the last step
    int64_t energy;     // after the last step
    bool eventPending;  // a food or poison line waits for its step line
};

const char STARTUP[] = "Starting up...";

bool literal(Cursor* c, const char* text) {
    const size_t length = std::strlen(text);
    if (size_t(c->end - c->at) < length || std::memcmp(c->at, text, length) != 0) {
        return false;
    }
    c->at += length;
    return true;
}

bool isDigit(const char* p, const char* end) {
    return p < end && *p >= '0' && *p <= '9';
}

// As the log writes a number: plain decimal with no leading zero, a minus sign when negative,
// within 32 bits.
bool number(Cursor* c, int64_t* value) {
    const bool negative = c->at < c->end && *c->at == '-';
    const char* const digits = c->at + negative;
    const char* p = digits;
    int64_t magnitude = 0;
    for (; isDigit(p, c->end) && p - digits < 11; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
    }
    const bool plain = p > digits && !isDigit(p, c->end) && (*digits != '0' || p == digits + 1) &&
                       !(negative && magnitude == 0);
    *value = negative ? -magnitude : magnitude;
    if (!plain || *value < INT32_MIN || *value > INT32_MAX) {
        return false;
    }
    c->at = p;
    return true;
}

bool square(Cursor* c, Square* s) {
    return number(c, &s->row) && literal(c, ",") && number(c, &s->col);
}

bool within(Square s, int64_t low, int64_t high) {
    return s.row >= low && s.row <= high && s.col >= low && s.col <= high;
}

[[noreturn]] void reject(int64_t lineNumber, const char* why, const char* line) {
    std::fprintf(stderr, "log_check: line %lld: %s: %s\n", static_cast<long long>(lineNumber), why,
                 line);
    std::exit(1);
}

// Returns what is wrong with the line, or nullptr.
const char* checkStep(Cursor c, LogState* log) {
    int64_t stepNumber = 0, previousPriority = 0, currentPriority = 0, energy = 0;
    Square from = {}, to = {};
    if (!(number(&c, &stepNumber) && literal(&c, " - ") && square(&c, &from) &&
          literal(&c, " Priotity previous:") && number(&c, &previousPriority) &&
          literal(&c, "   ") && square(&c, &to) && literal(&c, " Priotity current:") &&
          number(&c, &currentPriority) && literal(&c, "  Energy:") && number(&c, &energy) &&
          c.at == c.end)) {
        return "not one of the five line forms";
    }
    if (stepNumber != log->steps) {
        return "step number out of turn";
    }
    if (!within(from, 0, 49) || !within(to, 0, 49)) {
        return "a square off rows and columns 0..49";
    }
    if (log->steps > 0 && (from.row != log->agent.row || from.col != log->agent.col)) {
        return "the step starts elsewhere than the last one ended";
    }
    if (std::llabs(to.row - from.row) + std::llabs(to.col - from.col) > 1) {
        return "a move of more than one square";
    }
    if (log->steps > 0 && log->energy <= 0) {
        return "a step after the energy ran out";
    }
    ++log->steps;
    log->agent = to;
    log->energy = energy;
    log->eventPending = false;
    return nullptr;
}

const char* checkEvent(Cursor c, LogState* log) {
    int64_t energy = 0;
    const bool food = literal(&c, "Found food (+");
    if (!((food || literal(&c, "Found poison (-")) && number(&c, &energy) && literal(&c, ")") &&
          c.at == c.end)) {
        return "not one of the five line forms";
    }
    if (log->eventPending) {
        return "two food or poison lines in one step";
    }
    ++(food ? log->food : log->poison);
    log->eventPending = true;
    return nullptr;
}

const char* checkItem(Cursor c, LogState* log) {
    Square at = {};
    if (!(literal(&c, "Item generated at:") && square(&c, &at) && c.at == c.end)) {
        return "not one of the five line forms";
    }
    if (log->steps == 0 || log->eventPending) {
        return "an item line before its step line";
    }
    if (!within(at, 1, 49)) {
        return "an item off the interior";
    }
    if (at.row == log->agent.row && at.col == log->agent.col) {
        return "an item under the agent";
    }
    ++log->items;
    return nullptr;
}

const char* checkLine(Cursor c, LogState* log) {
    if (c.at < c.end && *c.at == 'F') {
        return checkEvent(c, log);
    }
    if (c.at < c.end && *c.at == 'I') {
        return checkItem(c, log);
    }
    return checkStep(c, log);
}

}  // namespace

int main() {
    LogState log = {};
    char* line = nullptr;
    size_t capacity = 0;
    int64_t lineNumber = 0;
    for (ssize_t length; (length = getline(&line, &capacity, stdin)) > 0;) {
        ++lineNumber;
        Cursor c = {line, line + length};
        // The first log line continues the start-up text's line.
        if (lineNumber == 1 && !literal(&c, STARTUP)) {
            reject(lineNumber, "the log does not begin with the start-up text", line);
        }
        const bool ended = c.end[-1] == '\n';
        c.end -= ended;
        if (lineNumber == 1 && c.at == c.end && !ended) {
            break;  // a run of no step
        }
        const char* wrong = ended ? checkLine(c, &log) : "a line without its end";
        if (wrong != nullptr) {
            reject(lineNumber, wrong, line);
        }
    }
    if (lineNumber == 0) {
        reject(0, "the log is empty", "");
    }
    if (log.eventPending) {
        reject(lineNumber, "a food or poison line without its step line", line);
    }
    std::free(line);
    std::printf("%lld %lld %lld %lld %lld\n", static_cast<long long>(log.steps),
                static_cast<long long>(log.food), static_cast<long long>(log.poison),
                static_cast<long long>(log.items), static_cast<long long>(log.energy));
    return 0;
}
