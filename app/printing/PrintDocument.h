#pragma once

// The print command of the main window without its windows: the report of the
// active child window chosen by its mode, the print dialog, and the layout of a
// heading and lines on pages.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/DocumentMode.h"
#include "common/Prompter.h"
#include "documents/ConsistEditor.h"
#include "printing/ReportPrinter.h"

namespace vantor {

// What a child window prints: its mode, its caption and the lines of its report.
struct ReportContent {
    DocumentMode mode = DocumentMode::ConsistList;
    std::string heading;
    std::vector<std::string> lines;
};

// What the main window asks of a child window it prints. Results and document
// windows implement it.
class PrintSource {
public:
    virtual ~PrintSource() = default;
    // Returns the window's report as it is now.
    [[nodiscard]] virtual ReportContent PrintContent() const = 0;
};

// Opens the printer the print dialog chose; throws std::runtime_error when it cannot.
using PrinterFactory = std::function<std::unique_ptr<ReportPrinter>(const PrintRequest& request)>;

// Returns the name of a mode's report in the print dialog's title: "Results",
// "Consist List", "Consist", "Consist View" or "Stock View".
std::string ReportName(DocumentMode mode);

// Returns the lines of a text, broken at CR LF, LF or a lone CR; a break at the
// very end ends the last line rather than starting an empty one.
std::vector<std::string> ReportLines(std::string_view text);

// Returns the report of a results window: its caption and its text's lines.
ReportContent ResultsReport(const std::string& caption, std::string_view text);

// Returns the report of a consist list: its caption and one consist name a line.
ReportContent ConsistListReport(const std::string& caption, std::vector<std::string> names);

// Returns the report of a consist window: its caption and a line a vehicle, the
// type ("*" when reversed), a blank and the stock folder.
ReportContent ConsistReport(const std::string& caption, const std::vector<VehicleRow>& rows);

// Prints a report: the heading emphasised, an empty line, then the lines, starting
// a new page whenever the next line would not fit and never leaving an empty page
// at the end. A line taller than one row that does not fit below others starts
// a page of its own. Ends the document; throws what the printer throws.
void PrintReport(ReportPrinter& printer, const std::string& heading,
                 const std::vector<std::string>& lines);

// The Print and Print Preview commands for the active child window (null when
// none is open): Preview shows that it is not implemented; Print asks for a
// printer titled "Print " and the report name, and prints the report of a results
// window, a consist list or a consist; a 3D window prints nothing. A printer that
// cannot be opened or finished is reported in a critical box titled "Print".
void PrintDocument(bool preview, const PrintSource* active, Prompter& prompts,
                   const PrinterFactory& openPrinter);

}  // namespace vantor
