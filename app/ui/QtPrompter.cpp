#include "ui/QtPrompter.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>

namespace vantor {

namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
        case MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

Answer FromQt(int button) {
    switch (button) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Retry:
            return Answer::Retry;
        default:
            return Answer::Cancel;
    }
}

// Message texts come with CR LF line ends; Qt wants LF.
QString Lines(const std::string& text) {
    return Q(text).replace("\r\n", "\n");
}

}  // namespace

QString QtFilter(const std::string& filter) {
    QStringList parts;
    for (const auto& [description, pattern] : FilterPairs(filter)) {
        QString patterns = Q(pattern);
        patterns.replace(';', ' ');
        // "Consist Files (*.con)" names its patterns already; Qt reads them from there.
        const QString named = Q(description);
        parts << (named.endsWith("(" + patterns + ")") ? named : named + " (" + patterns + ")");
    }
    return parts.join(";;");
}

Answer QtPrompter::Message(MessageIcon icon, const std::string& title, const std::string& text,
                           MessageButtons buttons) {
    QMessageBox box(ToQt(icon), Q(title), Lines(text), ToQt(buttons), m_parent);
    return FromQt(box.exec());
}

std::string QtPrompter::Input(const std::string& prompt, const std::string& title,
                              const std::string& defaultAnswer) {
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, Q(title), Lines(prompt),
                                                 QLineEdit::Normal, Q(defaultAnswer), &ok);
    return ok ? S(answer) : std::string();
}

namespace {

// The filter list in Qt's form, the filter selected first, and the start name.
struct QtFileDialog {
    QString filters;
    QString selected;
    QString start;

    explicit QtFileDialog(const FileDialogRequest& request) : filters(QtFilter(request.filter)) {
        const QStringList list = filters.split(";;");
        if (request.filterIndex >= 1 && request.filterIndex <= list.size()) {
            selected = list[request.filterIndex - 1];
        }
        start =
            Q(request.folder.empty() ? request.fileName : request.folder + "/" + request.fileName);
    }
};

}  // namespace

std::string QtPrompter::OpenFileName(const FileDialogRequest& request) {
    QtFileDialog dialog(request);
    return S(QFileDialog::getOpenFileName(m_parent, Q(request.title), dialog.start, dialog.filters,
                                          &dialog.selected));
}

std::string QtPrompter::SaveFileName(const FileDialogRequest& request) {
    QtFileDialog dialog(request);
    // The program asks its own overwrite question.
    return S(QFileDialog::getSaveFileName(m_parent, Q(request.title), dialog.start, dialog.filters,
                                          &dialog.selected, QFileDialog::DontConfirmOverwrite));
}

std::string QtPrompter::FolderName(const std::string& title, const std::string& start) {
    return S(QFileDialog::getExistingDirectory(m_parent, Q(title), Q(start)));
}

bool QtPrompter::PrintDialog(PrintRequest& request) {
    QPrinter printer;
    if (!request.printerName.empty()) {
        printer.setPrinterName(Q(request.printerName));
    }
    if (!request.outputFile.empty()) {
        printer.setOutputFileName(Q(request.outputFile));
    }
    printer.setCopyCount(request.copies);
    QPrintDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(Q(request.title));
    if (request.maxPage > 0) {
        dialog.setMinMax(1, request.maxPage);
    } else {
        // Without a page count there is no page range to choose.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    request.printerName = S(printer.printerName());
    request.outputFile = S(printer.outputFileName());
    request.copies = printer.copyCount();
    const bool range = printer.printRange() == QPrinter::PageRange;
    request.fromPage = range ? printer.fromPage() : 0;
    request.toPage = range ? printer.toPage() : 0;
    const QPageLayout layout = printer.pageLayout();
    const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
    request.pageWidthMm = paper.width();
    request.pageHeightMm = paper.height();
    request.landscape = layout.orientation() == QPageLayout::Landscape;
    return true;
}

}  // namespace vantor
