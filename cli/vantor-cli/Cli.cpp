#include "Cli.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>

#include "Commands.h"
#include "common/Installation.h"
#include "common/Text.h"
#include "platform/IniFile.h"
#include "platform/Locations.h"
#include "platform/Paths.h"

namespace vantor::cli {

namespace {

constexpr std::string_view kProgram = "vantor-cli";

// The arguments taken apart: options and the words that name a command and its arguments.
struct CommandLine {
    std::optional<std::string> msts;
    bool help = false;
    bool json = false;
    bool progress = false;
    std::optional<std::string> pdf;
    std::optional<std::string> pageSize;
    std::vector<std::string> words;
    // The first "--" option that the program does not know; it stays among the
    // words for a command with options of its own.
    std::string unknownOption;
    // How many words came before "--", which ends the options; none when no "--" came.
    std::optional<std::size_t> optionsEnd;
};

// A mistake in the arguments, with its description.
struct UsageError {
    std::string message;
};

std::variant<CommandLine, UsageError> Parse(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool options = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!options || argument == "-" || !argument.starts_with("-")) {
            line.words.push_back(argument);
        } else if (argument == "--") {
            options = false;
            line.optionsEnd = line.words.size();
        } else if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--json") {
            line.json = true;
        } else if (argument == "--progress") {
            line.progress = true;
        } else if (argument == "--msts") {
            if (i + 1 == arguments.size()) {
                return UsageError{"option --msts needs a folder"};
            }
            line.msts = arguments[++i];
        } else if (argument.starts_with("--msts=")) {
            line.msts = argument.substr(7);
        } else if (argument == "--pdf" || argument == "--page-size") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
                return UsageError{"option " + argument +
                                  (argument == "--pdf" ? " needs a file" : " needs A4 or Letter")};
            }
            (argument == "--pdf" ? line.pdf : line.pageSize) = arguments[++i];
        } else if (argument.starts_with("--")) {
            if (line.unknownOption.empty()) {
                line.unknownOption = argument;
            }
            line.words.push_back(argument);
        } else {
            return UsageError{"unknown option " + argument};
        }
    }
    if (line.pageSize) {
        const std::string size = AsciiLower(*line.pageSize);
        if (size != "a4" && size != "letter") {
            return UsageError{"unknown page size " + *line.pageSize + "; use A4 or Letter"};
        }
        line.pageSize = size == "a4" ? "A4" : "Letter";
    }
    return line;
}

// Returns what is wrong with the PDF options for a command, empty when nothing:
// --pdf goes with the check commands, --page-size with a PDF being written.
std::string PdfOptionProblem(const CommandLine& line, const Command& command) {
    const bool check = command.name.starts_with("check ");
    const bool print = command.name.starts_with("print ");
    if (line.pdf && !check) {
        return "--pdf goes with the check commands";
    }
    if (line.pageSize && !print && !line.pdf) {
        return "--page-size goes with --pdf and the print commands";
    }
    return {};
}

// Returns the command whose name is the longest run of leading words, or null.
const Command* FindCommand(const std::vector<Command>& commands,
                           const std::vector<std::string>& words, std::size_t& nameWords) {
    const Command* found = nullptr;
    nameWords = 0;
    for (const Command& command : commands) {
        std::size_t count = 0;
        std::string_view rest = command.name;
        bool matches = true;
        while (matches && !rest.empty()) {
            const std::size_t blank = rest.find(' ');
            const std::string_view word = rest.substr(0, blank);
            matches = count < words.size() && words[count] == word;
            ++count;
            rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        }
        if (matches && count > nameWords) {
            found = &command;
            nameWords = count;
        }
    }
    return found;
}

void PrintHelp(std::ostream& out, const std::vector<Command>& commands) {
    // Heads longer than this stand on a line of their own, above their summary.
    constexpr std::size_t kLongHead = 28;
    out << "Usage: " << kProgram << " [--msts DIR] COMMAND [ARGUMENTS]\n\n"
        << "Prints what a Microsoft Train Simulator installation holds, as Vantor lists it,\n"
        << "and edits consists with the commands of Vantor's consist editor.\n\n"
        << "Commands:\n";
    std::vector<std::string> heads;
    std::size_t width = 0;
    for (const Command& command : commands) {
        std::string head = std::string(command.name);
        if (!command.arguments.empty()) {
            head += " " + std::string(command.arguments);
        }
        if (head.size() <= kLongHead) {
            width = std::max(width, head.size());
        }
        heads.push_back(std::move(head));
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const std::string& head = heads[i];
        if (head.size() > width) {
            out << "  " << head << "\n" << std::string(width + 4, ' ');
        } else {
            out << "  " << head << std::string(width + 2 - head.size(), ' ');
        }
        out << commands[i].summary << "\n";
    }
    out << "\nOptions (anywhere among the arguments):\n"
        << "  --msts DIR   The installation folder. Without it, the \"MSTSDir\" setting of\n"
        << "               Vantor's settings file (" << platform::SettingsFile() << "),\n"
        << "               else the simulator's folder in the registry (through Wine).\n"
        << "  --json       Check commands: print the raw error entries instead, as a JSON\n"
        << "               array of {\"code\", \"file\", \"reference\"} objects, with a\n"
        << "               \"reason\" when a file could not be read. consist facts: print\n"
        << "               the figures as one JSON object.\n"
        << "  --progress   Check commands: send the progress texts to the error stream.\n"
        << "  --pdf FILE   Check commands: also write the report to FILE as PDF, as the\n"
        << "               results window prints it, headed by the window's caption.\n"
        << "  --page-size A4|Letter\n"
        << "               The paper of PDF reports; A4 unless given.\n"
        << "  --help       Prints this text.\n"
        << "  --           Ends the options; later arguments are taken as they are.\n\n"
        << "FILTER: empty or only \"*\" keeps every name; \"GP*\" keeps names beginning with\n"
        << "GP, \"*38\" names ending in 38, anything else names containing it. Matching is\n"
        << "case-sensitive. Names and paths are printed as UTF-8, one per line.\n\n"
        << "NAME|FILE: a NAME is a consist of the installation (Trains\\Consists\\NAME.con);\n"
        << "an argument with a folder separator, or ending in .con, is a consist FILE.\n"
        << "--new starts from the new-consist template instead. EDIT, applied in order as\n"
        << "the editor's buttons would (ROW counts vehicles from 1, front first):\n"
        << "  --add FOLDER/FILE.eng   Adds that engine (FILE.wag: that wagon) at the end.\n"
        << "  --remove ROW            Removes vehicle ROW.\n"
        << "  --remove-all            Removes every vehicle.\n"
        << "  --forward ROW           Moves vehicle ROW one place towards the front.\n"
        << "  --backward ROW          Moves vehicle ROW one place towards the end.\n"
        << "  --flip ROW              Turns vehicle ROW round (or back).\n"
        << "  --save-as PATH          The file to write; the consist takes its name.\n\n"
        << "Exit status: 0 when the command ran, 1 when a consist cannot be read, edited or\n"
        << "saved (a ROW that is not a vehicle, for one), 2 for a mistake in the arguments\n"
        << "or an installation that cannot be used (missing, not a folder, unreadable, or\n"
        << "without Trains and Routes folders), or a PDF that cannot be written (no file\n"
        << "is left behind then).\n"
        << "The check commands print their report, one finding a line, and exit 1 when a\n"
        << "line is an ERROR. Their FILE may be written with / or \\; a file inside the\n"
        << "installation is reported as the installation folder, \\ and the rest.\n";
}

int Usage(std::ostream& err, const std::string& message) {
    err << kProgram << ": " << message << "\nTry '" << kProgram << " --help'.\n";
    return kExitUsage;
}

// Returns the installation folder the application would use: the chosen folder,
// else the "MSTSDir" setting, else the registered folder.
std::string InstallFolder(const std::optional<std::string>& chosen) {
    Installation installation(platform::SystemRegistry());
    if (chosen) {
        installation.SetMSTSPath(*chosen);
    } else {
        const auto settings = ReadIniGroup(platform::SettingsFile(), "Settings");
        const auto found = settings.find("MSTSDir");
        installation.SetMSTSPath(found == settings.end() ? std::string() : found->second);
    }
    return installation.MSTSPath();
}

// Returns the second words of the commands whose name begins with word, joined by
// ", " ("show, edit" for "consist"); empty when no command does.
std::string SubCommands(const std::vector<Command>& commands, const std::string& word) {
    std::string list;
    const std::string prefix = word + " ";
    for (const Command& command : commands) {
        if (command.name.starts_with(prefix)) {
            list += (list.empty() ? "" : ", ") + std::string(command.name.substr(prefix.size()));
        }
    }
    return list;
}

// Returns what keeps a command from its installation, empty when nothing does. A
// command that does not need the installation only minds one given by --msts.
std::string InstallationProblem(const std::string& folder, const Command& command, bool given) {
    const bool needed = command.needs == Needs::Installation;
    if (folder.empty()) {
        return needed ? "no MSTS installation is set or registered; use --msts DIR" : "";
    }
    if (!needed && !given) {
        return {};
    }
    switch (platform::ProbeFolder(folder)) {
        case platform::FolderState::Missing:
            return "the installation folder " + folder + " does not exist";
        case platform::FolderState::NotFolder:
            return "the installation folder " + folder + " is not a folder";
        case platform::FolderState::Unreadable:
            return "cannot read the installation folder " + folder;
        case platform::FolderState::Readable:
            break;
    }
    if (!platform::FolderExists(folder + "\\Trains") &&
        !platform::FolderExists(folder + "\\Routes")) {
        return folder + " is not an MSTS installation: it has no Trains or Routes folder";
    }
    if (command.reads != nullptr) {
        const std::string listed = folder + "\\" + command.reads;
        switch (platform::ProbeFolder(listed)) {
            case platform::FolderState::NotFolder:
                return listed + " is not a folder";
            case platform::FolderState::Unreadable:
                return "cannot read the folder " + listed;
            case platform::FolderState::Missing:
            case platform::FolderState::Readable:
                break;
        }
    }
    return {};
}

}  // namespace

std::vector<Command> AllCommands() {
    std::vector<Command> commands;
    for (const auto* table : {&ListCommands(), &ConsistCommands(), &ReplaceCommands(),
                              &CheckCommands(), &SnapshotCommands(), &PrintCommands()}) {
        commands.insert(commands.end(), table->begin(), table->end());
    }
    return commands;
}

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const auto parsed = Parse(arguments);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        return Usage(err, error->message);
    }
    const CommandLine& line = std::get<CommandLine>(parsed);
    const std::vector<Command> commands = AllCommands();
    if (line.help || (!line.words.empty() && line.words.front() == "help")) {
        PrintHelp(out, commands);
        return kExitOk;
    }
    if (line.words.empty()) {
        return Usage(err, "no command given");
    }
    std::size_t nameWords = 0;
    const Command* command = FindCommand(commands, line.words, nameWords);
    if (!line.unknownOption.empty() && (command == nullptr || !command->ownOptions)) {
        return Usage(err, "unknown option " + line.unknownOption);
    }
    if (command == nullptr) {
        const std::string subCommands = SubCommands(commands, line.words.front());
        if (!subCommands.empty() && line.words.size() == 1) {
            return Usage(err, "'" + line.words.front() + "' needs one of: " + subCommands);
        }
        return Usage(err, "unknown command '" + line.words.front() + "'");
    }
    std::vector<std::string> rest(line.words.begin() + static_cast<std::ptrdiff_t>(nameWords),
                                  line.words.end());
    // A command with options of its own learns where "--" ended them.
    if (command->ownOptions && line.optionsEnd && *line.optionsEnd >= nameWords) {
        rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(*line.optionsEnd - nameWords), "--");
    }
    const int count = static_cast<int>(rest.size());
    if (count < command->minArguments || count > command->maxArguments) {
        std::string expected = std::string(command->name);
        if (!command->arguments.empty()) {
            expected += " " + std::string(command->arguments);
        }
        return Usage(
            err, "wrong arguments; usage: " + std::string(kProgram) + " [--msts DIR] " + expected);
    }
    if (const std::string problem = PdfOptionProblem(line, *command); !problem.empty()) {
        return Usage(err, problem);
    }
    const Context context{
        InstallFolder(line.msts),    out, err, line.json, line.progress, line.pdf.value_or(""),
        line.pageSize.value_or("A4")};
    if (const std::string problem =
            InstallationProblem(context.installFolder, *command, line.msts.has_value());
        !problem.empty()) {
        err << kProgram << ": " << problem << "\n";
        return kExitUsage;
    }
    return command->run(context, rest);
}

}  // namespace vantor::cli
