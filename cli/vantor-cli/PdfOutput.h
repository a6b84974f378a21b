#pragma once

// Writing reports as PDF files. Only a build with Qt can: the part of vantor-cli
// built with Qt writes them, a build without it answers that it cannot.

#include <string>

#include "printing/PrintDocument.h"

namespace vantor::cli {

// Returns why this program cannot write PDF, empty when it can.
std::string PdfUnavailable();

// Writes a report as a PDF file on paper of a size ("A4" or "Letter"), laid out as
// the windows print it. The file appears only when it is complete. Returns "" or
// why it could not be written.
std::string WritePdf(const std::string& path, const ReportContent& report,
                     const std::string& pageSize);

}  // namespace vantor::cli
