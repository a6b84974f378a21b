#pragma once

#include <QWidget>

#include "printing/PrintDocument.h"
#include "validation/CheckCommands.h"

class QPlainTextEdit;

namespace vantor {

class WindowHost;

// The results window ("frmResults"): a report with Save and Close.
class ResultsWindowWidget : public QWidget, public PrintSource {
    Q_OBJECT
public:
    ResultsWindowWidget(WindowHost& host, const Report& report, QWidget* parent = nullptr);

    // Results windows answer -1, so that commands can tell them from documents.
    [[nodiscard]] static constexpr DocumentMode Mode() { return ResultsWindow::Mode(); }
    [[nodiscard]] const std::string& Text() const { return m_results.Text(); }
    // Appends a framed copy of the report to a log file the user names.
    void Save();
    // Shows how many characters the report has.
    void ShowProperties();
    // The report that printing the window prints: its caption and its text.
    [[nodiscard]] ReportContent PrintContent() const override;

private:
    WindowHost& m_host;
    ResultsWindow m_results;
    QPlainTextEdit* m_text;
};

}  // namespace vantor
