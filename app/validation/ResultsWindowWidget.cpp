#include "validation/ResultsWindowWidget.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/WindowHost.h"

namespace vantor {

ResultsWindowWidget::ResultsWindowWidget(WindowHost& host, const Report& report, QWidget* parent)
    : QWidget(parent), m_host(host), m_results(report) {
    setObjectName("frmResults");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Q(report.caption.empty() ? std::string("Results") : report.caption));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName("txtResults");
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(Q(report.text).replace("\r\n", "\n"));

    auto* save = new QPushButton("&Save", this);
    save->setObjectName("cmdSave");
    auto* close = new QPushButton("&Close", this);
    close->setObjectName("cmdClose");
    connect(save, &QPushButton::clicked, this, &ResultsWindowWidget::Save);
    connect(close, &QPushButton::clicked, this, [this] {
        if (auto* window = parentWidget()) {
            window->close();
        } else {
            QWidget::close();
        }
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    resize(640, 400);
}

void ResultsWindowWidget::Save() {
    // Reports go beside the program when it may write there, else to the user's documents.
    const vantor::Services& services = m_host.Services();
    const QFileInfo program(Q(services.programFolder));
    const std::string folder =
        program.isDir() && program.isWritable() ? services.programFolder : services.documentsFolder;
    try {
        m_results.Save(*services.prompts, folder);
    } catch (const std::exception& e) {
        m_host.Services().prompts->Message(MessageIcon::Critical, "Save Results", e.what());
    }
}

ReportContent ResultsWindowWidget::PrintContent() const {
    return ResultsReport(S(windowTitle()), Text());
}

void ResultsWindowWidget::ShowProperties() {
    m_results.ShowProperties(*m_host.Services().prompts);
}

}  // namespace vantor
