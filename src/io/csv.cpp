#include "io/csv.h"

#include <cerrno>
#include <cstring>

CsvReader startCsv(std::FILE* file) {
    CsvReader reader;
    reader.lines = startLines(file);
    return reader;
}

namespace {

enum class State { FieldStart, Plain, Quoted, QuoteInQuoted };

struct Parse {
    CsvReader* reader;
    State state = State::FieldStart;
    size_t fieldStart = 0;

    void endField() {
        reader->fields.emplace_back(fieldStart, reader->text.size() - fieldStart);
        fieldStart = reader->text.size();
        state = State::FieldStart;
    }

    // Takes a line's characters; true when the record ends with it, false when a quoted field
    // goes on to the next line. A character after a closing quote other than a comma or the
    // line's end is a fault, said in `error`.
    bool take(std::string_view line, std::string* error) {
        for (size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            const bool lineEnd =
                c == '\n' || (c == '\r' && i + 1 < line.size() && line[i + 1] == '\n');
            if (state == State::Quoted) {
                if (c == '"') {
                    state = State::QuoteInQuoted;
                } else {
                    reader->text += c;
                }
            } else if (state == State::QuoteInQuoted && c == '"') {
                reader->text += '"';
                state = State::Quoted;
            } else if (c == ',') {
                endField();
            } else if (lineEnd) {
                if (c == '\n') {
                    endField();
                    return true;
                }
            } else if (state == State::QuoteInQuoted) {
                *error = "a quoted field goes on after its closing quote";
                return true;
            } else if (state == State::FieldStart && c == '"') {
                state = State::Quoted;
            } else {
                reader->text += c;
                state = State::Plain;
            }
        }
        return false;
    }
};

bool isBlank(std::string_view line) {
    return line == "\n" || line == "\r\n" || line == "\r";
}

}  // namespace

CsvRead readRecord(CsvReader* reader, std::string* error) {
    reader->text.clear();
    reader->fields.clear();
    Parse parse{reader};
    std::string_view line;
    bool started = false;
    while (readLine(&reader->lines, &line)) {
        if (reader->lines.lines == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") {
            line.remove_prefix(3);  // the byte-order mark some spreadsheets write
        }
        if (!started && isBlank(line)) {
            continue;
        }
        if (!started) {
            started = true;
            reader->recordLine = reader->lines.lines;
        }
        std::string fault;
        if (parse.take(line, &fault)) {
            if (!fault.empty()) {
                *error = "line " + std::to_string(reader->lines.lines) + ": " + fault;
                return CsvRead::Fault;
            }
            reader->complete = true;
            reader->recordEnd = reader->lines.bytes;
            return CsvRead::Record;
        }
    }
    if (std::ferror(reader->lines.file)) {
        *error = std::strerror(errno);
        return CsvRead::Fault;
    }
    if (!started) {
        return CsvRead::End;
    }
    if (parse.state == State::Quoted) {
        *error = "line " + std::to_string(reader->recordLine) +
                 ": a quoted field is not closed by the end of the file";
        return CsvRead::Fault;
    }
    parse.endField();  // the last line without its line break
    reader->complete = false;
    return CsvRead::Record;
}

void endCsv(CsvReader* reader) {
    endLines(&reader->lines);
}
