// The check commands: one validator check each, its report printed as the
// results window shows it, or its raw error entries as JSON.

#include <filesystem>
#include <string>
#include <system_error>

#include <nlohmann/json.hpp>

#include "Cli.h"
#include "Commands.h"
#include "PdfOutput.h"
#include "platform/Paths.h"
#include "validation/CheckCommands.h"
#include "validation/TSValidation.h"

namespace vantor::cli {

namespace {

namespace fs = std::filesystem;

// The exit status of a check whose report holds an ERROR line.
constexpr int kExitFindings = 1;

std::string Unified(std::string path) {
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    while (path.size() > 1 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

// Returns a path given on the command line in the form the application builds:
// inside the installation, the installation folder as given, "\" and the rest;
// elsewhere the path with "\" between its names.
std::string WindowsPath(const std::string& installFolder, const std::string& argument) {
    const std::string install = Unified(installFolder);
    const std::string given = Unified(argument);
    if (!install.empty() && given.starts_with(install + "\\")) {
        return installFolder + given.substr(install.size());
    }
    // The arguments are UTF-8 text: made into paths as such, so that a name
    // outside the ANSI code page stays whole on Windows.
    std::error_code ec;
    const std::string absolute = Unified(
        platform::Utf8Text(fs::absolute(platform::Utf8Path(argument), ec).lexically_normal()));
    const std::string absoluteInstall = Unified(
        platform::Utf8Text(fs::absolute(platform::Utf8Path(installFolder), ec).lexically_normal()));
    if (!installFolder.empty() && absolute.starts_with(absoluteInstall + "\\")) {
        return installFolder + absolute.substr(absoluteInstall.size());
    }
    return platform::Utf8Path(argument).is_absolute() ? given : absolute;
}

bool EndsWithIgnoringCase(const std::string& text, std::string_view ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    for (std::size_t i = 0; i < ending.size(); ++i) {
        char c = text[text.size() - ending.size() + i];
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (c != ending[i]) {
            return false;
        }
    }
    return true;
}

// Runs one check on a fresh validator and prints its report, and writes it as PDF
// under the results window's caption when asked; returns the exit status.
template <typename Check>
int RunCheck(const Context& context, const std::string& caption, Check check) {
    if (const std::string problem = context.pdf.empty() ? "" : PdfUnavailable(); !problem.empty()) {
        context.err << "vantor-cli: " << problem << "\n";
        return kExitUsage;
    }
    if (context.installFolder.empty()) {
        context.err << "vantor-cli: no MSTS installation is set or registered; use --msts DIR\n";
    }
    TSValidation validator(context.installFolder);
    const auto progress = [&context](const std::string& text) {
        if (context.progress) {
            context.err << text << "\n";
        }
    };
    validator.OnMessageRaised(
        [&progress](std::int16_t, const std::string& message) { progress(message); });
    check(validator, progress);

    bool errors = false;
    std::string report;
    nlohmann::json entries = nlohmann::json::array();
    for (const Finding& entry : validator.Errors()) {
        const std::string line = TSValidation::TranslateError(entry);
        errors = errors || line.starts_with("ERROR: ");
        report.append(line).push_back('\n');
        nlohmann::json json = {
            {"code", entry.code}, {"file", entry.fileName}, {"reference", entry.reference}};
        if (!entry.reason.empty()) {
            json["reason"] = entry.reason;
        }
        entries.push_back(std::move(json));
    }
    if (context.json) {
        context.out << entries.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                    << "\n";
    } else {
        context.out << report;
    }
    if (!context.pdf.empty()) {
        const std::string problem =
            WritePdf(context.pdf, ResultsReport(caption, report), context.pageSize);
        if (!problem.empty()) {
            context.err << "vantor-cli: " << problem << "\n";
            return kExitUsage;
        }
    }
    return errors ? kExitFindings : kExitOk;
}

using Progress = std::function<void(const std::string&)>;

int CheckStock(const Context& context, const std::vector<std::string>& arguments) {
    const std::string path = WindowsPath(context.installFolder, arguments[0]);
    return RunCheck(context, UsageCheckCaption(NameOfPath(path)),
                    [&](TSValidation& v, const Progress&) { v.CheckStock(path); });
}

int CheckShape(const Context& context, const std::vector<std::string>& arguments) {
    const std::string path = WindowsPath(context.installFolder, arguments[0]);
    return RunCheck(context, UsageCheckCaption(path),
                    [&](TSValidation& v, const Progress&) { v.CheckShape(path); });
}

int CheckConsist(const Context& context, const std::vector<std::string>& arguments) {
    const std::string& argument = arguments[0];
    const bool isFile = argument.find_first_of("/\\") != std::string::npos ||
                        EndsWithIgnoringCase(argument, ".con");
    const std::string path =
        isFile ? WindowsPath(context.installFolder, argument)
               : context.installFolder + "\\Trains\\Consists\\" + argument + ".con";
    return RunCheck(context, StockCheckCaption(isFile ? NameOfPath(path) : argument),
                    [&](TSValidation& v, const Progress&) { v.CheckConsist(path); });
}

int CheckAllStock(const Context& context, const std::vector<std::string>&) {
    return RunCheck(context, InstallationCheckCaption(),
                    [](TSValidation& v, const Progress&) { v.CheckAllStock(""); });
}

int CheckStockInConsists(const Context& context, const std::vector<std::string>& arguments) {
    const std::string path = WindowsPath(context.installFolder, arguments[0]);
    return RunCheck(context, UsageCheckCaption(NameOfPath(path)),
                    [&](TSValidation& v, const Progress&) { v.CheckStockInConsists(path); });
}

int CheckConsistInRoute(const Context& context, const std::vector<std::string>& arguments) {
    const std::string& route = arguments[0];
    const std::string& consist = arguments[1];
    return RunCheck(context, UsageCheckCaption(consist),
                    [&](TSValidation& v, const Progress& progress) {
                        progress("Checking " + consist + " in " + route + "...");
                        v.CheckConsistUseInRoute(route, consist);
                        progress("Done");
                    });
}

int CheckStockInRoute(const Context& context, const std::vector<std::string>& arguments) {
    const std::string path = WindowsPath(context.installFolder, arguments[0]);
    const std::string& route = arguments[1];
    return RunCheck(context, UsageCheckCaption(NameOfPath(path)),
                    [&](TSValidation& v, const Progress& progress) {
                        progress("Checking " + path + " in " + route + "...");
                        v.CheckStockUseInRoute(path, route);
                        progress("Done");
                    });
}

}  // namespace

const std::vector<Command>& CheckCommands() {
    static const std::vector<Command> commands = {
        {"check stock", "FILE",
         "Checks an engine or wagon file: shape, .sd, thumbnail, sounds, cab view.", 1, 1,
         CheckStock},
        {"check shape", "FILE",
         "Checks a shape: image list, textures, .sd file, seasonal and night textures.", 1, 1,
         CheckShape},
        {"check consist", "NAME|FILE", "Checks that a consist's vehicles and their shapes exist.",
         1, 1, CheckConsist},
        {"check all-stock", "", "Checks every engine and wagon file of the installation.", 0, 0,
         CheckAllStock, false, Needs::Installation, "Trains\\Trainset"},
        {"check stock-in-consists", "FILE", "Lists the consists that use an engine or wagon.", 1, 1,
         CheckStockInConsists, false, Needs::Installation, "Trains\\Consists"},
        {"check consist-in-route", "ROUTE CONSIST",
         "Lists the services of a route that run a consist (given by name).", 2, 2,
         CheckConsistInRoute, false, Needs::Installation, "Routes"},
        {"check stock-in-route", "FILE ROUTE",
         "Lists the activities of a route whose loose consists hold an engine or wagon.", 2, 2,
         CheckStockInRoute, false, Needs::Installation, "Routes"},
    };
    return commands;
}

}  // namespace vantor::cli
