#pragma once

// The commands of vantor-cli: each a row of a table, found by its name's words.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {
class ConsistEditor;
}  // namespace vantor

namespace vantor::cli {

// What a command needs of the installation folder.
enum class Needs { Nothing, Installation };

// What a command works with.
struct Context {
    std::string installFolder;  // the simulator's folder, empty when none is known
    std::ostream& out;
    std::ostream& err;
    bool json = false;            // the check commands print their raw error entries as JSON
    bool progress = false;        // the check commands send progress texts to err
    std::string pdf;              // the check commands also write their report to this PDF file
    std::string pageSize = "A4";  // the paper of PDF reports: "A4" or "Letter"
};

// One command: its name (one or more words, such as "stock" or "consist show"),
// its arguments and summary for the help text, how many arguments it takes, and
// the routine that runs it and returns the exit status. A command with options of
// its own receives the options that the program does not know among its arguments.
// A command that needs the installation does not run without a usable one; reads
// names the folder of the installation it lists, which must be readable when it
// is there.
struct Command {
    std::string_view name;
    std::string_view arguments;
    std::string_view summary;
    int minArguments = 0;
    int maxArguments = 0;
    int (*run)(const Context& context, const std::vector<std::string>& arguments) = nullptr;
    bool ownOptions = false;
    Needs needs = Needs::Nothing;
    const char* reads = nullptr;
};

// Returns the commands that print the lists of an installation: routes, consists, stock.
const std::vector<Command>& ListCommands();

// Returns the commands that show and edit a consist.
const std::vector<Command>& ConsistCommands();

// Returns the command that replaces a stock item with another across the consists.
const std::vector<Command>& ReplaceCommands();

// Returns the commands that run one check of the validator each.
const std::vector<Command>& CheckCommands();

// Returns the commands that draw a shape or a consist into a picture. A build
// without Qt has them answer that it cannot draw.
const std::vector<Command>& SnapshotCommands();

// Returns the command that draws a consist into a picture (part of SnapshotCommands).
const std::vector<Command>& ConsistSnapshotCommands();

// Returns the commands that write the lists as PDF files. A build without Qt has
// them answer that it cannot write PDF.
const std::vector<Command>& PrintCommands();

// Loads the consist that a NAME or FILE argument means into an editor; returns a
// message on failure.
std::string LoadConsist(const Context& context, const std::string& argument, ConsistEditor& editor);
// Returns the consist file that a NAME or FILE argument means: a path or a name
// ending in ".con" as given, else the named consist of the installation; nothing
// for a name when no installation is known.
std::optional<std::string> ConsistFile(const Context& context, const std::string& argument);

// Returns the message for a consist name given without an installation.
std::string NoInstallation(const std::string& name);

// Returns every command, in the order of the help text.
std::vector<Command> AllCommands();

}  // namespace vantor::cli
