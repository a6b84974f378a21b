// The command that replaces one engine or wagon with another across the consists.

#include <string>
#include <vector>

#include "Cli.h"
#include "Commands.h"
#include "documents/ConsistFiles.h"
#include "documents/ReplaceStock.h"
#include "platform/Paths.h"

namespace vantor::cli {

namespace {

constexpr int kExitNothingMatched = 1;

// Reads the arguments of "replace-stock"; returns a usage message on a mistake.
std::string ParseReplace(const std::vector<std::string>& arguments, ReplaceRequest& request) {
    std::vector<std::string> stock;
    bool options = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "--dry-run") {
            request.dryRun = true;
        } else if (options && argument == "--in") {
            if (i + 1 == arguments.size()) {
                return "--in needs a consist name";
            }
            if (!request.only) {
                request.only.emplace();
            }
            request.only->push_back(arguments[++i]);
        } else if (options && argument.starts_with("--")) {
            return "unknown option " + argument;
        } else {
            stock.push_back(argument);
        }
    }
    if (stock.size() != 2) {
        return "give the stock to replace and its replacement: FOLDER/NAME.eng|wag twice";
    }
    for (std::size_t k = 0; k < 2; ++k) {
        const auto row = StockArgument(stock[k]);
        if (!row) {
            return stock[k] + " is not FOLDER/NAME.eng or FOLDER/NAME.wag";
        }
        (k == 0 ? request.from : request.to) = *row;
    }
    return {};
}

int ReplaceStockCommand(const Context& context, const std::vector<std::string>& arguments) {
    ReplaceRequest request;
    if (const std::string mistake = ParseReplace(arguments, request); !mistake.empty()) {
        context.err << "vantor-cli: " << mistake << "\nTry 'vantor-cli --help'.\n";
        return kExitUsage;
    }
    if (const std::string problem = ReplaceProblem(context.installFolder, request);
        !problem.empty()) {
        context.err << "vantor-cli: " << problem << "; nothing was changed\n";
        return kExitUsage;
    }
    for (const std::string& name : request.only.value_or(std::vector<std::string>{})) {
        if (!platform::FileExists(ConsistPath(context.installFolder, name))) {
            context.err << "vantor-cli: warning: there is no consist " << name << "\n";
        }
    }
    const ReplaceResult result = ReplaceStock(context.installFolder, request);
    context.out << ReplaceSummary(request, result);
    if (!result.failed.empty()) {
        return kExitUsage;
    }
    return result.changed.empty() ? kExitNothingMatched : kExitOk;
}

}  // namespace

const std::vector<Command>& ReplaceCommands() {
    static const std::vector<Command> commands = {
        {"replace-stock",
         "OLD_FOLDER/OLD.eng|wag NEW_FOLDER/NEW.eng|wag [--in CONSIST]... [--dry-run]",
         "Replaces a stock item with another in every consist that uses it (--in: only in these "
         "consists), keeping each vehicle's place, UiD and flip; prints each consist and the rows "
         "changed. The consists are first copied into a backup folder beside the consists "
         "folder. --dry-run changes nothing. Exit status 1 when no consist uses the stock.",
         2, 100000, ReplaceStockCommand, true, Needs::Installation, "Trains\\Consists"},
    };
    return commands;
}

}  // namespace vantor::cli
