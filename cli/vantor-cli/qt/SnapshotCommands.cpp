// The commands that draw a shape or a consist into a PNG picture.

#include <vector>

#include "Commands.h"
#include "qt/QtSession.h"

namespace vantor::cli {

const std::vector<Command>& SnapshotCommands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> rows{};
        const auto& consist = ConsistSnapshotCommands();
        rows.insert(rows.end(), consist.begin(), consist.end());
        return rows;
    }();
    return commands;
}

}  // namespace vantor::cli
