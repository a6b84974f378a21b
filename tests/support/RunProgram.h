#pragma once

// Runs a program of the project as a user would, and keeps what it printed.

#include <string>
#include <vector>

namespace testing_support {

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs program with arguments (no shell), with stdin empty, in workingFolder
// (empty: the test's own), and waits for it. Paths are UTF-8 text.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingFolder = {});

}  // namespace testing_support
