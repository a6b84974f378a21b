// The commands that show a consist as the consist editor lists it, and edit one
// with the editor's own commands.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <exception>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "Cli.h"
#include "Commands.h"
#include "common/Text.h"
#include "documents/ConsistEditor.h"
#include "documents/ConsistFacts.h"
#include "documents/ConsistFiles.h"
#include "documents/ReplaceStock.h"
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

}  // namespace

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

namespace {

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

// Returns a value with a fixed number of decimals, or "unknown".
std::string Figure(const std::optional<double>& value, int decimals, const char* unit) {
    if (!value) {
        return "unknown";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, *value);
    return std::string(text) + (unit[0] != '\0' ? " " : "") + unit;
}

// Returns a total scaled from its SI unit, marked when a vehicle could not add to it.
std::string TotalFigure(const Total& total, double scale, int decimals, const char* unit) {
    const auto value = total.value ? std::optional<double>(*total.value / scale) : std::nullopt;
    return Figure(value, decimals, unit) + (total.partial ? " (partial)" : "");
}

nlohmann::json JsonNumber(const std::optional<double>& value, double scale = 1.0) {
    return value ? nlohmann::json(*value / scale) : nlohmann::json(nullptr);
}

nlohmann::json FactsJson(const ConsistFacts& facts) {
    nlohmann::json partial = nlohmann::json::array();
    for (const PartialVehicle& vehicle : facts.partial) {
        partial.push_back({{"row", vehicle.row}, {"missing", vehicle.missing}});
    }
    nlohmann::json coupler = nullptr;
    if (facts.weakestCoupler) {
        coupler = {{"row", facts.weakestCoupler->row},
                   {"kn", facts.weakestCoupler->newtons / 1000.0}};
    }
    nlohmann::json speed = nullptr;
    if (facts.maxVelocity) {
        speed = *facts.maxVelocity * 3.6;
    }
    return {{"vehicles", facts.vehicles},
            {"engines", facts.engines},
            {"wagons", facts.wagons},
            {"flipped", facts.flipped},
            {"length_m", JsonNumber(facts.length.value)},
            {"mass_t", JsonNumber(facts.mass.value, 1000.0)},
            {"power_kw", JsonNumber(facts.power.value, 1000.0)},
            {"kw_per_t", JsonNumber(facts.kilowattsPerTonne)},
            {"brake_kn", JsonNumber(facts.brakeForce.value, 1000.0)},
            {"weakest_coupler", coupler},
            {"max_velocity_kmh", speed},
            {"partial", partial}};
}

std::string FactsText(const ConsistFacts& facts) {
    const auto kmh = [](const std::optional<double>& speed) {
        return speed ? std::optional<double>(*speed * 3.6) : std::nullopt;
    };
    std::string text;
    text += "Vehicles: " + std::to_string(facts.vehicles) + "\n";
    text += "Engines: " + std::to_string(facts.engines) + "\n";
    text += "Wagons: " + std::to_string(facts.wagons) + "\n";
    text += "Flipped: " + std::to_string(facts.flipped) + "\n";
    text += "Length: " + TotalFigure(facts.length, 1.0, 1, "m") + "\n";
    text += "Mass: " + TotalFigure(facts.mass, 1000.0, 1, "t") + "\n";
    text += "Power: " + TotalFigure(facts.power, 1000.0, 0, "kW") + "\n";
    text += "Power per tonne: " + Figure(facts.kilowattsPerTonne, 2, "kW/t") + "\n";
    text += "Brake force: " + TotalFigure(facts.brakeForce, 1000.0, 1, "kN") + "\n";
    text += "Braked tonnes per tonne: " + Figure(facts.brakedTonnesPerTonne, 3, "") + "\n";
    text += "Weakest coupler: ";
    if (facts.weakestCoupler) {
        text += Figure(facts.weakestCoupler->newtons / 1000.0, 1, "kN") + " (row " +
                std::to_string(facts.weakestCoupler->row) + ")";
    } else {
        text += "unknown";
    }
    text += std::string(facts.couplerPartial ? " (partial)" : "") + "\n";
    text += "Maximum velocity: " + Figure(kmh(facts.maxVelocity), 1, "km/h") + "\n";
    text += "Lowest engine maximum velocity: " +
            TotalFigure({kmh(facts.lowestEngineVelocity.value), facts.lowestEngineVelocity.partial},
                        1.0, 1, "km/h") +
            "\n";
    if (!facts.partial.empty()) {
        text += "Partial:\n";
        for (const PartialVehicle& vehicle : facts.partial) {
            text += "  row " + std::to_string(vehicle.row) + ": no " + vehicle.missing + "\n";
        }
    }
    return text;
}

int ConsistFactsCommand(const Context& context, const std::vector<std::string>& arguments) {
    ConsistEditor editor;
    if (const std::string problem = LoadConsist(context, arguments.front(), editor);
        !problem.empty()) {
        return Failed(context, problem);
    }
    WarnIfTruncated(context, arguments.front(), editor, "the facts cover only those");
    const ConsistFacts facts = ComputeFacts(editor, context.installFolder);
    if (context.json) {
        context.out << FactsJson(facts).dump(2, ' ', false,
                                             nlohmann::json::error_handler_t::replace)
                    << "\n";
    } else {
        context.out << FactsText(facts);
    }
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

const std::vector<Command>& ConsistCommands() {
    static const std::vector<Command> commands = {
        {"consist show", "NAME|FILE",
         "Prints a consist as the consist editor shows it: its name, then one line per "
         "vehicle: type (\"*\" when flipped), folder and shape, tab-separated.",
         1, 1, ShowConsist},
        {"consist facts", "NAME|FILE",
         "Prints the figures of a consist from its engine and wagon files: counts, length, "
         "mass, power, brake force, the weakest coupler and speeds (--json: as a JSON object).",
         1, 1, ConsistFactsCommand},
        {"consist edit", "(NAME|FILE|--new) [EDIT]... --save-as PATH",
         "Edits a consist with the editor's commands, in order, and saves it as PATH.", 1, 100000,
         EditConsist, true},
    };
    return commands;
}

}  // namespace vantor::cli
