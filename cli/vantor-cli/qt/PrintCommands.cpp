// The commands that write the consist list and a consist as PDF reports.

#include <vector>

#include "Commands.h"
#include "qt/QtSession.h"

namespace vantor::cli {

const std::vector<Command>& PrintCommands() {
    static const std::vector<Command> commands{};
    return commands;
}

}  // namespace vantor::cli
