// The commands that print an installation's lists: routes, consists and stock.

#include <algorithm>
#include <string>

#include "Cli.h"
#include "Commands.h"
#include "common/Routes.h"
#include "common/Text.h"
#include "documents/ConsistList.h"
#include "documents/StockList.h"

namespace vantor::cli {

namespace {

std::string FilterArgument(const std::vector<std::string>& arguments) {
    return arguments.empty() ? std::string() : arguments.front();
}

int PrintRoutes(const Context& context, const std::vector<std::string>& arguments) {
    const std::string list = RouteList(context.installFolder, FilterArgument(arguments), true);
    std::string text;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t bar = std::min(list.find('|', start), list.size());
        text.append(list, start, bar - start).push_back('\n');
        start = bar + 1;
    }
    context.out << text;
    return kExitOk;
}

int PrintConsists(const Context& context, const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& name : ListConsists(context.installFolder, FilterArgument(arguments))) {
        text.append(name).push_back('\n');
    }
    context.out << text;
    return kExitOk;
}

int PrintStock(const Context& context, const std::vector<std::string>& arguments) {
    std::string text;
    for (const StockRow& row : ScanStock(context.installFolder, FilterArgument(arguments))) {
        text.append(row.type).append("\t").append(row.folder).append("\t").append(row.shape);
        text.push_back('\n');
    }
    context.out << text;
    return kExitOk;
}

}  // namespace

const std::vector<Command>& ListCommands() {
    static const std::vector<Command> commands = {
        {"routes", "[FILTER]",
         "Prints the route folders, each with its route's name: DemoVal(Demo Valley).", 0, 1,
         PrintRoutes, false, Needs::Installation, "Routes"},
        {"consists", "[FILTER]", "Prints the names of the consists, in the consist list's order.",
         0, 1, PrintConsists, false, Needs::Installation, "Trains\\Consists"},
        {"stock", "[FILTER]",
         "Prints the stock list: type, folder and shape, tab-separated. FILTER picks folders.", 0,
         1, PrintStock, false, Needs::Installation, "Trains\\Trainset"},
    };
    return commands;
}

}  // namespace vantor::cli
