#pragma once

// The command line of vantor-cli: options, the command table and the help text.

#include <ostream>
#include <string>
#include <vector>

namespace vantor::cli {

// The exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;

// Runs vantor-cli with its arguments (without the program's name) and returns the
// exit status.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace vantor::cli
