// The drawing and PDF commands of a build without Qt: they are listed, and say
// plainly that this build cannot run them.

#include <string>
#include <vector>

#include "Cli.h"
#include "Commands.h"

namespace vantor::cli {
namespace {

int NoSnapshot(const Context& context, const std::vector<std::string>& /*arguments*/) {
    context.err << "vantor-cli: this build has no snapshot: it was built without Qt and OpenGL\n";
    return kExitUsage;
}

int NoPdf(const Context& context, const std::vector<std::string>& /*arguments*/) {
    context.err << "vantor-cli: this build cannot write PDF: it was built without Qt\n";
    return kExitUsage;
}

}  // namespace

const std::vector<Command>& SnapshotCommands() {
    static const std::vector<Command> commands{
        {"snapshot shape", "FILE OUT.png [--size WxH]",
         "draw a shape into a PNG picture (needs Qt)", 0, 100, NoSnapshot, true},
        {"snapshot consist", "NAME_OR_FILE OUT.png [--size WxH]",
         "draw a consist into a PNG picture (needs Qt)", 0, 100, NoSnapshot, true},
    };
    return commands;
}

const std::vector<Command>& PrintCommands() {
    static const std::vector<Command> commands{
        {"print consists", "OUT.pdf [--page-size A4|Letter]",
         "write the consist list as a PDF report (needs Qt)", 0, 100, NoPdf, true},
        {"print consist", "NAME_OR_FILE OUT.pdf [--page-size A4|Letter]",
         "write a consist's vehicles as a PDF report (needs Qt)", 0, 100, NoPdf, true},
    };
    return commands;
}

}  // namespace vantor::cli
