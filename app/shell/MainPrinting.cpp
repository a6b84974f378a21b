// The main window's Print and Print Preview commands.

#include "printing/PainterPrinter.h"
#include "shell/MainWindow.h"

namespace vantor {

void MainWindow::PrintDocument(bool preview) {
    // Every child window that can be printed says what it prints; the main window
    // needs nothing else of it.
    const auto* source = dynamic_cast<const PrintSource*>(ActiveChild());
    vantor::PrintDocument(preview, source, *m_services.prompts,
                          m_openPrinter ? m_openPrinter : PrinterFactory(OpenSystemPrinter));
}

}  // namespace vantor
