// What a command has to say and how it ends: the library gathers it, the program prints each line
// on standard error under its own name and exits with the status.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Says a line as it happens, for the program to print under its name: "run 7 failed: its worker
// (pid 12) was killed by signal 9 (Killed)".
using Notify = std::function<void(const std::string& line)>;

struct Report {
    int status = 0;
    std::vector<std::string> lines;

    // Adds a line; a failure's status replaces a lesser one.
    void say(const std::string& line, int failure = 0) {
        lines.push_back(line);
        status = failure > status ? failure : status;
    }
};
