#include "sim/params.h"

#include <cerrno>

const char* const PARAM_NAMES[PARAM_COUNT] = {
    "initialEnergy",
    "foodRarity",
    "poisonRarity",
    "foodPriority",
    "poisonPriority",
    "emptyPriority",
    "foodRewardCurrent",
    "currentPriorityCap",
    "foodRewardPrevious",
    "previousPriorityCap",
    "poisonPenaltyCurrent",
    "poisonPenaltyPrevious",
    "bareStepPenaltyCurrent",
    "bareStepPenaltyPrevious",
    "regenRarity",
    "propagationThreshold",
    "propagationReward",
    "stepCost",
    "foodEnergy",
    "poisonEnergy",
    "maxSteps",
    "startupDrawFlag",
};

static const int MAX_VALUE_CHARS = 15;

static bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static int peekChar(std::FILE* file) {
    const int c = std::getc(file);
    if (c != EOF) {
        std::ungetc(c, file);
    }
    return c;
}

// Leaves the first character that is not whitespace unread and returns it, or EOF.
static int skipSpace(std::FILE* file) {
    int c;
    while ((c = std::getc(file)) != EOF && isSpace(c)) {
    }
    if (c != EOF) {
        std::ungetc(c, file);
    }
    return c;
}

// A label of any length is skipped a character at a time: nothing holds it.
static bool skipLabel(std::FILE* file) {
    if (skipSpace(file) == EOF) {
        return false;
    }
    int c;
    while ((c = std::getc(file)) != EOF && !isSpace(c)) {
    }
    return true;
}

static int digitValue(int c, int base) {
    int digit = base;
    if (c >= '0' && c <= '9') {
        digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
    }
    return digit < base ? digit : -1;
}

// The characters of one value, at most MAX_VALUE_CHARS of them, from the file or from a text;
// what it does not take stays for the next read.
struct ValueChars {
    std::FILE* file;  // null when the value is read from the text
    const char* text;
    const char* end;
    int left;

    int peek() const {
        if (left <= 0) {
            return EOF;
        }
        if (file != nullptr) {
            return peekChar(file);
        }
        return text < end ? static_cast<unsigned char>(*text) : EOF;
    }
    void take() {
        if (file != nullptr) {
            std::getc(file);
        } else {
            ++text;
        }
        --left;
    }
};

static int32_t clampToInt32(bool negative, uint64_t magnitude) {
    if (negative) {
        return magnitude >= uint64_t{0x80000000} ? INT32_MIN : -static_cast<int32_t>(magnitude);
    }
    return magnitude > uint64_t{INT32_MAX} ? INT32_MAX : static_cast<int32_t>(magnitude);
}

static ParamFault readNumber(ValueChars* chars, int32_t* value) {
    const bool negative = chars->peek() == '-';
    if (negative || chars->peek() == '+') {
        chars->take();
    }
    int base = 10;
    bool hasDigits = false;
    if (chars->peek() == '0') {
        chars->take();
        base = 8;
        hasDigits = true;
        if (chars->peek() == 'x' || chars->peek() == 'X') {
            chars->take();
            base = 16;
            hasDigits = false;  // "0x" alone is not a number
        }
    }
    // Fifteen characters hold at most fifteen digits, which fit in 64 bits in any base.
    uint64_t magnitude = 0;
    for (int digit; (digit = digitValue(chars->peek(), base)) >= 0; chars->take()) {
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        hasDigits = true;
    }
    if (!hasDigits) {
        return ParamFault::NotANumber;
    }
    *value = clampToInt32(negative, magnitude);
    return ParamFault::None;
}

static ParamFault readValue(std::FILE* file, int32_t* value) {
    if (skipSpace(file) == EOF) {
        return ParamFault::EndBeforeValue;
    }
    ValueChars chars = {file, nullptr, nullptr, MAX_VALUE_CHARS};
    return readNumber(&chars, value);
}

bool parseParamValue(const char* text, size_t length, int32_t* value) {
    ValueChars chars = {nullptr, text, text + length, MAX_VALUE_CHARS};
    return readNumber(&chars, value) == ParamFault::None && chars.text == chars.end;
}

ParamReport readParams(std::FILE* file, int32_t values[PARAM_COUNT]) {
    for (int i = 0; i < PARAM_COUNT; ++i) {
        values[i] = 0;
    }
    for (int i = 0; i < PARAM_COUNT; ++i) {
        ParamFault fault =
            skipLabel(file) ? readValue(file, &values[i]) : ParamFault::EndBeforeLabel;
        if (fault != ParamFault::None) {
            if (std::ferror(file)) {
                return {i, ParamFault::ReadError, errno};
            }
            return {i, fault, 0};
        }
    }
    return {PARAM_COUNT, ParamFault::None, 0};
}

ParamReport readParamFile(const char* path, int32_t values[PARAM_COUNT]) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        const int error = errno;
        for (int i = 0; i < PARAM_COUNT; ++i) {
            values[i] = 0;
        }
        return {0, ParamFault::CannotOpen, error};
    }
    const ParamReport report = readParams(file, values);
    std::fclose(file);
    return report;
}
