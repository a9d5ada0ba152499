#include "cli/options.h"

#include <getopt.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cli/messages.h"

// Above the ids programs give their own options.
const OptionDeclaration HELP_OPTION = {"help", nullptr, "print this help and exit", 0x100, false};

constexpr size_t LINE_WIDTH = 80;

OptionDeclarations joinOptions(std::initializer_list<OptionDeclarations> parts) {
    OptionDeclarations joined;
    for (const OptionDeclarations& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

static std::string label(const OptionDeclaration& declared) {
    std::string text = std::string("--") + declared.name;
    if (declared.value != nullptr) {
        text = text + " " + declared.value;
    }
    return text;
}

static size_t lastLineLength(const std::string& text) {
    const size_t newline = text.rfind('\n');
    return newline == std::string::npos ? text.size() : text.size() - newline - 1;
}

// Appends the items, a blank between two, starting a new line at `indent` where one would pass
// the last column; the line is then ended.
static void appendWrapped(std::string* out, const std::vector<std::string>& items, size_t indent) {
    for (const std::string& item : items) {
        const size_t used = lastLineLength(*out);
        if (used > indent && used + 1 + item.size() > LINE_WIDTH) {
            *out += '\n' + std::string(indent, ' ');
        } else if (used > 0 && out->back() != ' ') {
            *out += ' ';
        }
        *out += item;
    }
    *out += '\n';
}

static std::vector<std::string> words(const char* text) {
    std::vector<std::string> found;
    for (const char* start = text; *start != '\0';) {
        const size_t length = std::strcspn(start, " ");
        found.emplace_back(start, length);
        start += length + (start[length] == ' ');
    }
    return found;
}

std::string paragraph(const char* text) {
    std::string wrapped;
    appendWrapped(&wrapped, words(text), 0);
    return wrapped;
}

std::string synopsis(const std::string& lead, const OptionDeclarations& options) {
    std::vector<std::string> items;
    for (const OptionDeclaration& declared : options) {
        items.push_back("[" + label(declared) + "]" + (declared.repeatable ? "..." : ""));
    }
    std::string text = lead;
    appendWrapped(&text, items, lead.size() + 1);
    return text;
}

size_t helpColumn(const OptionDeclarations& options) {
    size_t longest = 0;
    for (const OptionDeclaration& declared : options) {
        longest = std::max(longest, label(declared).size());
    }
    return 2 + longest + 2;
}

std::string optionLines(const OptionDeclarations& options, size_t column) {
    std::string text;
    for (const OptionDeclaration& declared : options) {
        std::string line = "  " + label(declared);
        line.resize(column, ' ');
        appendWrapped(&line, words(declared.help), column);
        text += line;
    }
    return text;
}

static std::vector<option> getoptTable(const OptionDeclarations& options) {
    std::vector<option> table;
    for (const OptionDeclaration& declared : joinOptions({options, {HELP_OPTION}})) {
        table.push_back({declared.name, declared.value == nullptr ? no_argument : required_argument,
                         nullptr, declared.id});
    }
    table.push_back({nullptr, 0, nullptr, 0});
    return table;
}

int takeOptions(const char* program, std::string (*help)(), int argc, char** argv,
                const OptionDeclarations& options, const OptionHandler& take) {
    const std::vector<option> table = getoptTable(options);
    opterr = 0;  // its messages are not ours
    for (int id; (id = getopt_long(argc, argv, ":", table.data(), nullptr)) != -1;) {
        int status = OPTIONS_GOOD;
        if (id == '?') {
            status = badUse(program, "unknown option", argv[optind - 1]);
        } else if (id == ':') {
            status = badUse(program, "missing value after", argv[optind - 1]);
        } else if (id == HELP_OPTION.id) {
            std::fputs(help().c_str(), stdout);
            status = 0;
        } else {
            status = take(id, optarg);
        }
        if (status != OPTIONS_GOOD) {
            return status;
        }
    }
    return OPTIONS_GOOD;
}
