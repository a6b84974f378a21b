#pragma once

// Runs vantor-cli's command line in the test's own process.

#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "RunProgram.h"

namespace testing_support {

// Runs vantor-cli with arguments and keeps what it printed, as RunProgram does.
inline ProgramResult RunCliInProcess(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    ProgramResult result;
    result.exitCode = vantor::cli::RunCli(arguments, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

}  // namespace testing_support
