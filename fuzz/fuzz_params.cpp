// libFuzzer target: any bytes, read as a parameter file. Besides the sanitizers' own checks it
// aborts when the reading differs from a second one that hands each value's first 15 characters
// to strtoll, which takes the same signs and prefixes (but reads a bare "0x" as 0); and when the
// same bytes, given as one value's text, are taken otherwise than strtoll takes them whole.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sim/params.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    int32_t values[PARAM_COUNT], expected[PARAM_COUNT] = {};
    std::memset(values, 0x5a, sizeof values);  // so that a value left unset shows
    const ParamReport report =
        file ? readParams(file, values) : ParamReport{0, ParamFault::None, 0};
    ParamReport second = {PARAM_COUNT, ParamFault::None, 0};
    const auto blank = [&](size_t i) {
        return i < size && data[i] && std::strchr(" \t\n\v\f\r", data[i]);
    };
    size_t at = 0;
    for (int i = 0; i < PARAM_COUNT && second.fault == ParamFault::None; ++i) {
        while (blank(at))
            ++at;
        const bool labelled = at < size;
        while (at < size && !blank(at))
            ++at;
        while (blank(at))
            ++at;
        char chars[16] = {}, *end = nullptr;
        std::memcpy(chars, data + at, size - at < 15 ? size - at : 15);
        const long long value = std::strtoll(chars, &end, 0);
        const char* digits = chars + (chars[0] == '+' || chars[0] == '-');
        const bool bareHex = digits[0] == '0' && (digits[1] | 0x20) == 'x' && end == digits + 1;
        if (at == size) {
            second = {i, labelled ? ParamFault::EndBeforeValue : ParamFault::EndBeforeLabel, 0};
        } else if (end == chars || bareHex) {
            second = {i, ParamFault::NotANumber, 0};
        } else {
            expected[i] = value < INT32_MIN   ? INT32_MIN
                          : value > INT32_MAX ? INT32_MAX
                                              : int32_t(value);
            at += static_cast<size_t>(end - chars);
        }
    }
    if (file == nullptr || (std::fclose(file), false) || report.valuesRead != second.valuesRead ||
        report.fault != second.fault || std::memcmp(values, expected, sizeof values) != 0) {
        std::fprintf(stderr, "fuzz_params: the reading differs from strtoll's\n");
        std::abort();
    }
    char text[16] = {}, *end = nullptr;
    std::memcpy(text, data, size < 15 ? size : 15);
    const long long whole = std::strtoll(text, &end, 0);
    int32_t single = 0;
    const bool taken = parseParamValue(reinterpret_cast<const char*>(data), size, &single);
    if (taken != (size > 0 && size <= 15 && !blank(0) && end == text + size) ||
        (taken && single != (whole < INT32_MIN   ? INT32_MIN
                             : whole > INT32_MAX ? INT32_MAX
                                                 : whole))) {
        std::fprintf(stderr, "fuzz_params: a value's text is taken otherwise than strtoll's\n");
        std::abort();
    }
    return 0;
}
