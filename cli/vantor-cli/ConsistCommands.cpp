// The commands that show a consist as the consist editor lists it, and edit one
// with the editor's own commands.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <exception>
#include <optional>
#include <string>

#include "Cli.h"
#include "Commands.h"
#include "common/Text.h"
#include "documents/ConsistEditor.h"
#include "documents/ConsistFiles.h"
#include "documents/StockList.h"
#include "platform/Paths.h"

namespace vantor::cli {

namespace {

constexpr int kExitFailed = 1;

// One editing step of the command line, in the order given.
struct EditStep {
    std::string option;  // as given, for messages
    MoveCommand command = MoveCommand::Add;
    int row = 0;  // the row to select first; 0 for none
    StockRow stock;
};

// What "consist edit" was asked to do.
struct EditRequest {
    std::optional<std::string> source;
    bool newConsist = false;
    std::vector<EditStep> steps;
    std::optional<std::string> saveAs;
};

int Failed(const Context& context, const std::string& message) {
    context.err << "vantor-cli: " << message << "\n";
    return kExitFailed;
}

int UsageError(const Context& context, const std::string& message) {
    context.err << "vantor-cli: " << message << "\nTry 'vantor-cli --help'.\n";
    return kExitUsage;
}

void WarnIfTruncated(const Context& context, const std::string& source, const ConsistEditor& editor,
                     const char* consequence) {
    if (editor.Truncated()) {
        context.err << "vantor-cli: warning: " << source
                    << " ends inside an item, so only the vehicles before that point were read; "
                    << consequence << "\n";
    }
}

// Returns why the stock of "--add" cannot be added, empty when it is an engine or
// wagon file of the installation's trainset (names in any case).
std::string StockProblem(const Context& context, const EditStep& step) {
    if (context.installFolder.empty()) {
        return step.option +
               ": no MSTS installation is set or registered to find the stock in; use --msts DIR";
    }
    const std::string trainset = context.installFolder + "\\Trains\\Trainset";
    if (!platform::FileExists(StockFilePath(context.installFolder, step.stock))) {
        return step.option + ": there is no such stock file in " + trainset;
    }
    return {};
}

bool EndsWithConsistExtension(const std::string& text) {
    if (text.size() < 4) {
        return false;
    }
    return AsciiLower(text.substr(text.size() - 4)) == ".con";
}

// Returns the file that a NAME or FILE argument means; nothing for a name without installation.
std::optional<std::string> ConsistFile(const Context& context, const std::string& argument) {
    if (argument.find_first_of("\\/") != std::string::npos || EndsWithConsistExtension(argument)) {
        return argument;
    }
    if (context.installFolder.empty()) {
        return std::nullopt;
    }
    return ConsistPath(context.installFolder, argument);
}

std::string NoInstallation(const std::string& name) {
    return "no MSTS installation is set or registered to find the consist " + name +
           " in; use --msts DIR or give a consist file";
}

// Returns the stock row that "--add FOLDER/FILE.eng" names, or nothing: one
// folder of the trainset, not "." or "..", and a file in it.
std::optional<StockRow> StockArgument(const std::string& text) {
    const std::size_t slash = text.find_last_of("\\/");
    const std::size_t dot = text.rfind('.');
    if (slash == std::string::npos || slash == 0 || dot == std::string::npos || dot < slash + 2 ||
        text.find_first_of("\\/") != slash) {
        return std::nullopt;
    }
    const std::string folder = text.substr(0, slash);
    if (folder == "." || folder == "..") {
        return std::nullopt;
    }
    const std::string extension = AsciiLower(text.substr(dot + 1));
    if (extension != "eng" && extension != "wag") {
        return std::nullopt;
    }
    return StockRow{extension == "eng" ? "Engine" : "Wagon", text.substr(0, slash),
                    text.substr(slash + 1, dot - slash - 1)};
}

// Returns a row number written in decimal digits, or nothing.
std::optional<int> RowArgument(const std::string& text) {
    int row = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), row);
    if (text.empty() || text.front() == '-' || error != std::errc() ||
        end != text.data() + text.size()) {
        return std::nullopt;
    }
    return row;
}

// Reads the arguments of "consist edit"; returns a usage message on a mistake.
std::string ParseEdit(const std::vector<std::string>& arguments, EditRequest& request) {
    static const std::pair<const char*, MoveCommand> kRowOptions[] = {
        {"--remove", MoveCommand::Remove},
        {"--forward", MoveCommand::Forwards},
        {"--backward", MoveCommand::Backwards},
        {"--flip", MoveCommand::Flip},
    };
    bool options = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (options && argument == "--") {
            options = false;
            continue;
        }
        if (!options) {
            if (request.source || request.newConsist) {
                return "give one consist to edit: NAME, FILE or --new";
            }
            request.source = argument;
            continue;
        }
        const auto rowOption =
            std::find_if(std::begin(kRowOptions), std::end(kRowOptions),
                         [&](const auto& option) { return argument == option.first; });
        if (argument == "--new") {
            if (request.newConsist || request.source) {
                return "give one consist to edit: NAME, FILE or --new";
            }
            request.newConsist = true;
        } else if (argument == "--remove-all") {
            request.steps.push_back({argument, MoveCommand::RemoveAll, 0, {}});
        } else if (argument == "--add") {
            const auto stock = hasValue ? StockArgument(arguments[i + 1]) : std::nullopt;
            if (!stock) {
                return "--add needs FOLDER/FILE.eng or FOLDER/FILE.wag";
            }
            request.steps.push_back({argument + " " + arguments[++i], MoveCommand::Add, 0, *stock});
        } else if (rowOption != std::end(kRowOptions)) {
            const auto row = hasValue ? RowArgument(arguments[i + 1]) : std::nullopt;
            if (!row) {
                return argument + " needs a row number";
            }
            request.steps.push_back({argument + " " + arguments[++i], rowOption->second, *row, {}});
        } else if (argument == "--save-as") {
            if (!hasValue || request.saveAs || arguments[i + 1].empty()) {
                return "--save-as needs one file to write";
            }
            request.saveAs = arguments[++i];
        } else if (argument.starts_with("--")) {
            return "unknown option " + argument;
        } else if (request.source || request.newConsist) {
            return "give one consist to edit: NAME, FILE or --new";
        } else {
            request.source = argument;
        }
    }
    if (!request.source && !request.newConsist) {
        return "give the consist to edit: NAME, FILE or --new";
    }
    if (!request.saveAs) {
        return "consist edit needs --save-as PATH";
    }
    return {};
}

// Loads the consist that an argument names into an editor; returns a message on failure.
std::string LoadConsist(const Context& context, const std::string& argument,
                        ConsistEditor& editor) {
    const auto file = ConsistFile(context, argument);
    if (!file) {
        return NoInstallation(argument);
    }
    try {
        editor.Load(*file);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

int ShowConsist(const Context& context, const std::vector<std::string>& arguments) {
    ConsistEditor editor;
    if (const std::string problem = LoadConsist(context, arguments.front(), editor);
        !problem.empty()) {
        return Failed(context, problem);
    }
    WarnIfTruncated(context, arguments.front(), editor, "the list shows only those");
    std::string text = editor.Name() + "\n";
    for (const VehicleRow& row : editor.Rows()) {
        text.append(row.type).append("\t").append(row.folder).append("\t").append(row.shape);
        text.push_back('\n');
    }
    context.out << text;
    return kExitOk;
}

int EditConsist(const Context& context, const std::vector<std::string>& arguments) {
    EditRequest request;
    if (const std::string mistake = ParseEdit(arguments, request); !mistake.empty()) {
        return UsageError(context, mistake);
    }
    for (const EditStep& step : request.steps) {
        if (step.command != MoveCommand::Add) {
            continue;
        }
        if (const std::string problem = StockProblem(context, step); !problem.empty()) {
            return Failed(context, problem);
        }
    }
    ConsistEditor editor;
    if (request.newConsist) {
        editor.New();
    } else if (const std::string problem = LoadConsist(context, *request.source, editor);
               !problem.empty()) {
        return Failed(context, problem);
    }
    if (request.source) {
        WarnIfTruncated(context, *request.source, editor, "the saved consist holds only those");
    }
    for (const EditStep& step : request.steps) {
        const int rows = static_cast<int>(editor.Rows().size());
        if (step.command != MoveCommand::Add && step.command != MoveCommand::RemoveAll) {
            if (step.row < 1 || step.row > rows) {
                return Failed(context, step.option + ": there is no vehicle " +
                                           std::to_string(step.row) + "; the consist has " +
                                           std::to_string(rows) + " vehicles");
            }
            editor.SelectRow(step.row);
        }
        const std::optional<StockRow> stock =
            step.command == MoveCommand::Add ? std::optional<StockRow>(step.stock) : std::nullopt;
        if (const std::string refused = editor.Move(step.command, stock); !refused.empty()) {
            return Failed(context, step.option + ": " + refused);
        }
    }
    try {
        editor.Save(*request.saveAs);
    } catch (const std::exception& e) {
        return Failed(context, e.what());
    }
    return kExitOk;
}

}  // namespace

const std::vector<Command>& ConsistCommands() {
    static const std::vector<Command> commands = {
        {"consist show", "NAME|FILE",
         "Prints a consist as the consist editor shows it: its name, then one line per "
         "vehicle: type (\"*\" when flipped), folder and shape, tab-separated.",
         1, 1, ShowConsist},
        {"consist edit", "(NAME|FILE|--new) [EDIT]... --save-as PATH",
         "Edits a consist with the editor's commands, in order, and saves it as PATH.", 1, 100000,
         EditConsist, true},
    };
    return commands;
}

}  // namespace vantor::cli
