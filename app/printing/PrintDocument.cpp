#include "printing/PrintDocument.h"

#include <array>
#include <cmath>
#include <exception>

namespace vantor {

std::string ReportName(DocumentMode mode) {
    static const std::array<const char*, 5> kNames = {"Results", "Consist List", "Consist",
                                                      "Consist View", "Stock View"};
    const int index = static_cast<int>(mode) + 1;
    return index >= 0 && index < static_cast<int>(kNames.size())
               ? kNames[static_cast<std::size_t>(index)]
               : "";
}

std::vector<std::string> ReportLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

ReportContent ResultsReport(const std::string& caption, std::string_view text) {
    return ReportContent{DocumentMode::Results, caption, ReportLines(text)};
}

ReportContent ConsistListReport(const std::string& caption, std::vector<std::string> names) {
    return ReportContent{DocumentMode::ConsistList, caption, std::move(names)};
}

ReportContent ConsistReport(const std::string& caption, const std::vector<VehicleRow>& rows) {
    ReportContent report{DocumentMode::Consist, caption, {}};
    report.lines.reserve(rows.size());
    for (const VehicleRow& row : rows) {
        report.lines.push_back(row.type + " " + row.folder);
    }
    return report;
}

void PrintReport(ReportPrinter& printer, const std::string& heading,
                 const std::vector<std::string>& lines) {
    printer.SetEmphasis(true);
    printer.PrintLine(heading);
    printer.SetEmphasis(false);
    printer.PrintLine("");
    // The page height counts in whole units.
    const double pageHeight = std::trunc(printer.PageHeight());
    bool newPage = false;
    for (const std::string& line : lines) {
        // Only a line that wraps onto several rows can overrun the page here: after
        // every line there is room for at least one more row.
        if (printer.CurrentY() > 0 && printer.CurrentY() + printer.TextHeight(line) > pageHeight) {
            printer.NewPage();
        }
        printer.PrintLine(line);
        newPage = printer.CurrentY() + printer.TextHeight(" ") > pageHeight;
        if (newPage) {
            printer.NewPage();
        }
    }
    if (!newPage) {
        printer.NewPage();
    }
    printer.EndDoc();
}

void PrintDocument(bool preview, const PrintSource* active, Prompter& prompts,
                   const PrinterFactory& openPrinter) {
    if (active == nullptr) {
        return;
    }
    if (preview) {
        prompts.Message(MessageIcon::Information, "Print Preview", "Print Preview not implemented");
        return;
    }
    const ReportContent report = active->PrintContent();
    PrintRequest request;
    request.title = "Print " + ReportName(report.mode);
    if (!prompts.PrintDialog(request)) {
        return;
    }
    if (report.mode == DocumentMode::Consist3D || report.mode == DocumentMode::Shape3D) {
        return;
    }
    try {
        const std::unique_ptr<ReportPrinter> printer = openPrinter(request);
        if (printer != nullptr) {
            PrintReport(*printer, report.heading, report.lines);
        }
    } catch (const std::exception& e) {
        prompts.Message(MessageIcon::Critical, "Print", e.what());
    }
}

}  // namespace vantor
