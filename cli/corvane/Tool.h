#pragma once

// The command line of corvane, which the program and the tests run.

#include <ostream>
#include <string>
#include <vector>

namespace corvane::cli {

// Runs corvane with its arguments (without the program's name), printing to out
// and err; returns the exit status.
int RunCorvane(std::vector<std::string> args, std::ostream& out, std::ostream& err);

}  // namespace corvane::cli
