// Command-line options, each declared once: the table getopt_long parses with and the lines of
// the help are both made from the declaration, so that the help cannot drift from what a program
// takes.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

struct OptionDeclaration {
    const char* name;   // without its dashes: "seed"
    const char* value;  // the value's name in the help ("N"), or null when it takes none
    const char* help;   // what it does, wrapped to fit the help
    int id;             // what the program is handed for it, from 1
    bool repeatable;    // may be given again: "..." in the synopsis
};
using OptionDeclarations = std::vector<OptionDeclaration>;

// Every command takes --help, and the parser answers it itself.
extern const OptionDeclaration HELP_OPTION;

// The parts' options in order: a command that takes two others' options joins theirs.
OptionDeclarations joinOptions(std::initializer_list<OptionDeclarations> parts);

// "LEAD [--name VALUE] [--name]...", wrapped at 80 columns with the lines after the first under
// the first option; newline included.
std::string synopsis(const std::string& lead, const OptionDeclarations& options);

// The text as one paragraph, its words wrapped at 80 columns; newline included.
std::string paragraph(const char* text);

// The column where the help of option lines starts: two blanks after the longest "--name VALUE".
size_t helpColumn(const OptionDeclarations& options);

// A line "  --name VALUE" per option, its help from `column` on, wrapped at 80 columns.
std::string optionLines(const OptionDeclarations& options, size_t column);

// Takes one option's id and value (null when it takes none); returns OPTIONS_GOOD to go on, else
// the exit status.
using OptionHandler = std::function<int(int id, const char* value)>;

// Hands each option on the command line to `take`, in order, until one returns a status, which
// is returned; OPTIONS_GOOD at the end. --help prints what `help` makes (only then is it made)
// and returns 0; an unknown option or a missing value is bad use, said as such. The arguments
// that are not options are moved after them, from optind on.
int takeOptions(const char* program, std::string (*help)(), int argc, char** argv,
                const OptionDeclarations& options, const OptionHandler& take);
