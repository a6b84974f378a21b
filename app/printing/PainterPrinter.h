#pragma once

// The report printer on Qt's paged devices: the printer the print dialog chose,
// and PDF files.

#include <memory>
#include <string>

#include "common/Prompter.h"
#include "printing/PrintDocument.h"
#include "printing/ReportPrinter.h"

namespace vantor {

// Opens the printer or PDF file a print request names, with its copies and page
// size; throws std::runtime_error when it cannot be written to.
std::unique_ptr<ReportPrinter> OpenSystemPrinter(const PrintRequest& request);

// Writes a report as a PDF file of a page size ("A4" or "Letter"). The file is
// written beside the target and put in its place only when it is complete, so a
// failure leaves no half-written file. Returns "" or why it could not be written.
std::string WritePdfReport(const std::string& path, const ReportContent& report,
                           const std::string& pageSize);

}  // namespace vantor
