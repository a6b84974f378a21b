#include "printing/PainterPrinter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextOption>
#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace vantor {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Lines on the pages of a paged device, wrapped at the page's width. A new page is
// made only when the next line is printed.
class PainterPrinter : public ReportPrinter {
public:
    PainterPrinter(std::unique_ptr<QPagedPaintDevice> device, const std::string& target)
        : m_device(std::move(device)), m_target(target) {
        if (!m_painter.begin(m_device.get())) {
            throw std::runtime_error("Cannot print to " + target + ".");
        }
        // Without full-page painting the device is the printable part of the page.
        m_page = QRect(0, 0, m_device->width(), m_device->height());
        // Reports are plain text, laid out in columns of blanks.
        m_plain = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        m_plain.setPointSizeF(10);
        m_emphasised = m_plain;
        m_emphasised.setBold(true);
        m_emphasised.setUnderline(true);
        m_painter.setFont(m_plain);
        m_wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
    ~PainterPrinter() override {
        if (m_painter.isActive()) {
            m_painter.end();
        }
    }
    PainterPrinter(const PainterPrinter&) = delete;
    PainterPrinter& operator=(const PainterPrinter&) = delete;

    void PrintLine(const std::string& text) override {
        if (m_pendingPage) {
            m_device->newPage();
            m_pendingPage = false;
        }
        const QRectF area(0, m_y, m_page.width(), m_page.height() * 1000);
        m_painter.drawText(area, Q(text), m_wrap);
        m_y += TextHeight(text);
    }
    [[nodiscard]] double CurrentY() const override { return m_y; }
    [[nodiscard]] double TextHeight(const std::string& text) const override {
        const QRectF area(0, 0, m_page.width(), m_page.height() * 1000);
        const QRectF used =
            m_painter.boundingRect(area, text.empty() ? QString(" ") : Q(text), m_wrap);
        return std::max(used.height(), m_painter.fontMetrics().lineSpacing() * 1.0);
    }
    [[nodiscard]] double PageHeight() const override { return m_page.height(); }
    void NewPage() override {
        m_pendingPage = true;
        m_y = 0;
    }
    void EndDoc() override {
        if (!m_painter.end()) {
            throw std::runtime_error("Cannot finish printing to " + m_target + ".");
        }
    }
    void SetEmphasis(bool on) override { m_painter.setFont(on ? m_emphasised : m_plain); }

private:
    std::unique_ptr<QPagedPaintDevice> m_device;
    std::string m_target;
    // Measuring asks the painter, which does not change what it paints.
    mutable QPainter m_painter;
    QTextOption m_wrap;
    QFont m_plain;
    QFont m_emphasised;
    QRect m_page;
    double m_y = 0;
    bool m_pendingPage = false;
};

}  // namespace

std::unique_ptr<ReportPrinter> OpenSystemPrinter(const PrintRequest& request) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!request.printerName.empty()) {
        printer->setPrinterName(Q(request.printerName));
    }
    if (!request.outputFile.empty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(Q(request.outputFile));
    }
    printer->setCopyCount(std::max(1, request.copies));
    if (request.pageWidthMm > 0 && request.pageHeightMm > 0) {
        printer->setPageSize(
            QPageSize(QSizeF(request.pageWidthMm, request.pageHeightMm), QPageSize::Millimeter));
        printer->setPageOrientation(request.landscape ? QPageLayout::Landscape
                                                      : QPageLayout::Portrait);
    }
    const std::string target = !request.outputFile.empty()    ? request.outputFile
                               : !request.printerName.empty() ? request.printerName
                                                              : std::string("the printer");
    return std::make_unique<PainterPrinter>(std::move(printer), target);
}

std::string WritePdfReport(const std::string& path, const ReportContent& report,
                           const std::string& pageSize) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    std::error_code ec;
    if (target.filename().empty() || fs::is_directory(target, ec)) {
        return "cannot write " + path + ": it is a folder";
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) {
        return "cannot write " + path + ": the folder " + folder.string() + " does not exist";
    }
    const fs::path temporary =
        folder / ("." + target.filename().string() + "~" +
                  std::to_string(QCoreApplication::applicationPid()) + ".tmp");
    const auto failed = [&temporary, &path](const std::string& reason) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return "cannot write " + path + ": " + reason;
    };

    QFile file(Q(temporary.string()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return "cannot write " + path + ": " + file.errorString().toStdString();
    }
    try {
        auto writer = std::make_unique<QPdfWriter>(&file);
        writer->setPageSize(QPageSize(pageSize == "Letter" ? QPageSize::Letter : QPageSize::A4));
        writer->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer->setTitle(Q(report.heading));
        writer->setCreator("Vantor");
        PainterPrinter printer(std::move(writer), path);
        PrintReport(printer, report.heading, report.lines);
    } catch (const std::exception& e) {
        file.close();
        return failed(e.what());
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const std::string reason = file.errorString().toStdString();
        file.close();
        return failed(reason);
    }
    file.close();
    fs::rename(temporary, target, ec);
    if (ec) {
        return failed(ec.message());
    }
    return {};
}

}  // namespace vantor
