#pragma once

// A report printer that records the pages printed, on pages of any height. A line
// takes one row of a fixed height, or several when it is longer than the page is
// wide (counted in characters). The record outlives the printer.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "printing/ReportPrinter.h"

namespace testing_support {

struct PrintRecord {
    // The lines of each page; emphasised lines stand in brackets.
    std::vector<std::vector<std::string>> pages;
    // Every line, new page and end of the document, in order.
    std::vector<std::string> calls;
    // The lowest point any page was printed down to.
    double deepest = 0;
};

class FakeReportPrinter : public vantor::ReportPrinter {
public:
    FakeReportPrinter(double pageHeight, double rowHeight, std::size_t columns = 1000)
        : m_pageHeight(pageHeight), m_rowHeight(rowHeight), m_columns(columns) {}

    void PrintLine(const std::string& text) override {
        if (m_record->pages.empty() || m_record->calls.back() == "<new page>") {
            m_record->pages.emplace_back();
        }
        m_record->pages.back().push_back(m_emphasis ? "[" + text + "]" : text);
        m_record->calls.push_back(text);
        m_y += TextHeight(text);
        m_record->deepest = std::max(m_record->deepest, m_y);
    }
    [[nodiscard]] double CurrentY() const override { return m_y; }
    [[nodiscard]] double TextHeight(const std::string& text) const override {
        const std::size_t rows =
            std::max<std::size_t>(1, (text.size() + m_columns - 1) / m_columns);
        return static_cast<double>(rows) * m_rowHeight;
    }
    [[nodiscard]] double PageHeight() const override { return m_pageHeight; }
    void NewPage() override {
        m_record->calls.emplace_back("<new page>");
        m_y = 0;
    }
    void EndDoc() override { m_record->calls.emplace_back("<end>"); }
    void SetEmphasis(bool on) override { m_emphasis = on; }

    [[nodiscard]] const std::shared_ptr<PrintRecord>& Record() const { return m_record; }

private:
    double m_pageHeight;
    double m_rowHeight;
    std::size_t m_columns;
    double m_y = 0;
    bool m_emphasis = false;
    std::shared_ptr<PrintRecord> m_record = std::make_shared<PrintRecord>();
};

}  // namespace testing_support
