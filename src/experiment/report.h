// What a command has to say and how it ends: the library gathers it, the program prints each line
// on standard error under its own name and exits with the status.
#pragma once

#include <string>
#include <vector>

struct Report {
    int status = 0;
    std::vector<std::string> lines;

    // Adds a line; a failure's status replaces a lesser one.
    void say(const std::string& line, int failure = 0) {
        lines.push_back(line);
        status = failure > status ? failure : status;
    }
};
