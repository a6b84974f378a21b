// The commands that write the consist list and a consist as PDF reports, and the
// PDF output of the check commands: the same layout as the windows print.

#include <string>
#include <vector>

#include "Cli.h"
#include "Commands.h"
#include "PdfOutput.h"
#include "documents/ConsistEditor.h"
#include "documents/ConsistList.h"
#include "printing/PainterPrinter.h"
#include "qt/QtSession.h"

namespace vantor::cli {

namespace {

constexpr int kExitFailed = 1;

// Writes a report and returns the exit status.
int Write(const Context& context, const std::string& path, const ReportContent& report) {
    if (const std::string problem = WritePdf(path, report, context.pageSize); !problem.empty()) {
        context.err << "vantor-cli: " << problem << "\n";
        return kExitUsage;
    }
    return kExitOk;
}

// print consists [FILTER] OUT.pdf: the report of the first consist list window,
// captioned as that window is.
int PrintConsistList(const Context& context, const std::vector<std::string>& arguments) {
    const std::string filter = arguments.size() == 2 ? arguments.front() : std::string();
    // The first consist list window the main window opens is number 1.
    const std::string caption = ConsistListCaption(1, filter);
    return Write(context, arguments.back(),
                 ConsistListReport(caption, ListConsists(context.installFolder, filter)));
}

// print consist NAME|FILE OUT.pdf: the report of the consist's window.
int PrintConsist(const Context& context, const std::vector<std::string>& arguments) {
    ConsistEditor editor;
    if (const std::string problem = LoadConsist(context, arguments.front(), editor);
        !problem.empty()) {
        context.err << "vantor-cli: " << problem << "\n";
        return kExitFailed;
    }
    return Write(context, arguments.back(), ConsistReport(editor.Caption(), editor.Rows()));
}

}  // namespace

std::string PdfUnavailable() {
    const std::string problem = StartQt();
    return problem.empty() ? problem : "cannot write PDF: " + problem;
}

std::string WritePdf(const std::string& path, const ReportContent& report,
                     const std::string& pageSize) {
    if (std::string problem = PdfUnavailable(); !problem.empty()) {
        return problem;
    }
    return WritePdfReport(path, report, pageSize);
}

const std::vector<Command>& PrintCommands() {
    static const std::vector<Command> commands{
        {"print consists", "[FILTER] OUT.pdf",
         "Writes the consist list as a PDF report, as the window prints it.", 1, 2,
         PrintConsistList, false, Needs::Installation, "Trains\\Consists"},
        {"print consist", "NAME|FILE OUT.pdf",
         "Writes a consist's vehicles as a PDF report, as its window prints it.", 2, 2,
         PrintConsist},
    };
    return commands;
}

}  // namespace vantor::cli
