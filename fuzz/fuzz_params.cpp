// libFuzzer target for the parameter reader: any bytes at all, read as a parameter file. Besides
// the sanitizers' own checks it aborts when the reader breaks its promises or when its values
// differ from the same bytes read another way, as one block with strtoll doing the conversion.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sim/params.h"

namespace {

const size_t MAX_VALUE_CHARS = 15;

struct Reading {
    int32_t values[PARAM_COUNT];
    ParamReport report;
};

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz_params: %s\n", what);
        std::abort();
    }
}

bool isBlank(uint8_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int32_t clampToInt32(long long value) {
    return value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : int32_t(value);
}

// A value's first 15 characters at most go to strtoll, which takes the same signs and prefixes;
// only a "0x" without a hexadecimal digit after it, which strtoll reads as 0, is not a number.
// Returns the characters taken, 0 when there is no number.
size_t convertValue(const uint8_t* text, size_t size, int32_t* value) {
    char chars[MAX_VALUE_CHARS + 1] = {};
    std::memcpy(chars, text, size < MAX_VALUE_CHARS ? size : MAX_VALUE_CHARS);
    const char* digits = chars + (chars[0] == '+' || chars[0] == '-');
    char* end = nullptr;
    const long long converted = std::strtoll(chars, &end, 0);
    const bool bareHexPrefix = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    if (end == chars || (bareHexPrefix && end == digits + 1)) {
        return 0;
    }
    *value = clampToInt32(converted);
    return size_t(end - chars);
}

Reading readAnotherWay(const uint8_t* data, size_t size) {
    Reading reading = {};
    size_t at = 0;
    for (int i = 0; i < PARAM_COUNT; ++i) {
        while (at < size && isBlank(data[at])) {
            ++at;
        }
        if (at == size) {
            reading.report = {i, ParamFault::EndBeforeLabel, 0};
            return reading;
        }
        while (at < size && !isBlank(data[at])) {
            ++at;
        }
        while (at < size && isBlank(data[at])) {
            ++at;
        }
        if (at == size) {
            reading.report = {i, ParamFault::EndBeforeValue, 0};
            return reading;
        }
        const size_t taken = convertValue(data + at, size - at, &reading.values[i]);
        if (taken == 0) {
            reading.report = {i, ParamFault::NotANumber, 0};
            return reading;
        }
        at += taken;
    }
    reading.report = {PARAM_COUNT, ParamFault::None, 0};
    return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    require(file != nullptr, "fmemopen failed");
    Reading read;
    std::memset(read.values, 0x5a, sizeof read.values);  // so that a value left unset shows
    read.report = readParams(file, read.values);
    std::fclose(file);

    const int count = read.report.valuesRead;
    require(count >= 0 && count <= PARAM_COUNT, "values read out of 0..22");
    require((read.report.fault == ParamFault::None) == (count == PARAM_COUNT),
            "a fault reported with all 22 values read, or none with fewer");
    for (int i = count; i < PARAM_COUNT; ++i) {
        require(read.values[i] == 0, "a value from the fault on is not 0");
    }
    const Reading expected = readAnotherWay(data, size);
    require(count == expected.report.valuesRead && read.report.fault == expected.report.fault,
            "the reading stops elsewhere than strtoll's reading, or for another reason");
    require(std::memcmp(read.values, expected.values, sizeof read.values) == 0,
            "a value differs from strtoll's, clamped to 32 bits");
    return 0;
}
