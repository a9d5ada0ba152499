#include "experiment/plan.h"

#include <cstring>

#include "cli/settings.h"

static bool parseValue(const char* text, size_t length, int32_t* value, std::string* error) {
    if (!parseParamValue(text, length, value)) {
        *error = "'" + std::string(text, length) + "' is not a value as the file writes one";
        return false;
    }
    return true;
}

// One item of the list, a value or FIRST:LAST:STEP, appended to `values`.
static bool parseItem(const char* text, size_t length, uint64_t room, std::vector<int32_t>* values,
                      std::string* error) {
    const char* end = text + length;
    const char* colon = static_cast<const char*>(std::memchr(text, ':', length));
    int32_t first = 0;
    if (colon == nullptr) {
        if (!parseValue(text, length, &first, error)) {
            return false;
        }
        values->push_back(first);
        return true;
    }
    const char* second = static_cast<const char*>(std::memchr(colon + 1, ':', end - colon - 1));
    int32_t last = 0;
    int32_t step = 0;
    if (second == nullptr) {
        *error = "a range is FIRST:LAST:STEP, not '" + std::string(text, length) + "'";
        return false;
    }
    if (!parseValue(text, colon - text, &first, error) ||
        !parseValue(colon + 1, second - colon - 1, &last, error) ||
        !parseValue(second + 1, end - second - 1, &step, error)) {
        return false;
    }
    const int64_t span = int64_t{last} - first;
    if (step == 0 || (span != 0 && (span < 0) != (step < 0))) {
        *error = "the range '" + std::string(text, length) + "' has a step of " +
                 std::to_string(step) + ", which never goes from its first value to its last";
        return false;
    }
    const uint64_t count = static_cast<uint64_t>(span / step) + 1;
    if (count > room) {
        *error = "the list has more than " + std::to_string(MAX_RUNS) + " values";
        return false;
    }
    for (uint64_t i = 0; i < count; ++i) {
        values->push_back(static_cast<int32_t>(first + static_cast<int64_t>(i) * step));
    }
    return true;
}

bool parseVaried(const char* text, Varied* varied, std::string* error) {
    const char* equals = std::strchr(text, '=');
    varied->param = equals == nullptr ? -1 : paramIndex(text, static_cast<size_t>(equals - text));
    if (equals == nullptr) {
        *error = "--vary takes NAME=VALUES, not '" + std::string(text) + "'";
        return false;
    }
    if (varied->param < 0) {
        *error = unknownParameter(std::string(text, equals));
        return false;
    }
    varied->values.clear();
    const char* item = equals + 1;
    if (*item == '\0') {
        *error = std::string("--vary ") + text + ": an empty list of values";
        return false;
    }
    for (;;) {
        const char* comma = std::strchr(item, ',');
        const size_t length = comma == nullptr ? std::strlen(item) : comma - item;
        if (length == 0) {
            *error = std::string("--vary ") + text + ": an empty value in the list";
            return false;
        }
        if (!parseItem(item, length, MAX_RUNS - varied->values.size(), &varied->values, error)) {
            *error = std::string("--vary ") + text + ": " + *error;
            return false;
        }
        if (comma == nullptr) {
            return true;
        }
        item = comma + 1;
    }
}

uint64_t planSize(const std::vector<Varied>& varied, uint64_t replicates) {
    uint64_t size = replicates;
    for (const Varied& v : varied) {
        if (size >= MAX_RUNS || v.values.size() >= MAX_RUNS) {
            return 0;
        }
        size *= v.values.size();
    }
    return size < MAX_RUNS ? size : 0;
}

bool writePlan(std::FILE* out, const int32_t base[PARAM_COUNT], const std::vector<Varied>& varied,
               uint64_t replicates, uint32_t seed) {
    std::fputs(designHeader(), out);
    DesignRow row = {0, 0, seed, {}};
    std::memcpy(row.values, base, sizeof row.values);
    std::vector<size_t> at(varied.size(), 0);  // each varied parameter's value, an odometer
    char line[RESULT_ROW_MAX];
    for (row.replicate = 0; row.replicate < replicates; ++row.replicate) {
        row.seed = static_cast<uint32_t>(seed + row.replicate);
        for (bool more = true; more; ++row.run) {
            for (size_t v = 0; v < varied.size(); ++v) {
                row.values[varied[v].param] = varied[v].values[at[v]];
            }
            std::fwrite(line, 1, formatDesignRow(row, line), out);
            // The last --vary turns fastest.
            more = false;
            for (size_t v = varied.size(); v-- > 0 && !more;) {
                more = ++at[v] < varied[v].values.size();
                if (!more) {
                    at[v] = 0;
                }
            }
        }
    }
    return std::fflush(out) == 0 && !std::ferror(out);
}
