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

// Runs program with arguments (no shell), with stdin empty, and waits for it.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace testing_support
