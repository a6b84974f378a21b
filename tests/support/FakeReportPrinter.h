#pragma once

// A report printer that records what is printed, page by page, on pages of any
// height. Each line takes one row of a fixed height, or several when it is longer
// than the page is wide (counted in characters).

#include <algorithm>
#include <string>
#include <vector>

#include "printing/ReportPrinter.h"

namespace testing_support {

class FakeReportPrinter : public vantor::ReportPrinter {
public:
    FakeReportPrinter(double pageHeight, double rowHeight, std::size_t columns = 1000)
        : m_pageHeight(pageHeight), m_rowHeight(rowHeight), m_columns(columns) {}

    void PrintLine(const std::string& text) override {
        if (m_pages.empty() || m_pendingPage) {
            m_pages.emplace_back();
            m_pendingPage = false;
        }
        m_pages.back().push_back(m_emphasis ? "[" + text + "]" : text);
        m_calls.push_back(text);
        m_y += TextHeight(text);
        m_deepest = std::max(m_deepest, m_y);
    }
    [[nodiscard]] double CurrentY() const override { return m_y; }
    [[nodiscard]] double TextHeight(const std::string& text) const override {
        const std::size_t rows =
            std::max<std::size_t>(1, (text.size() + m_columns - 1) / m_columns);
        return static_cast<double>(rows) * m_rowHeight;
    }
    [[nodiscard]] double PageHeight() const override { return m_pageHeight; }
    void NewPage() override {
        m_calls.emplace_back("<new page>");
        m_pendingPage = true;
        m_y = 0;
    }
    void EndDoc() override { m_calls.emplace_back("<end>"); }
    void SetEmphasis(bool on) override { m_emphasis = on; }

    // The lines of each page; emphasised lines stand in brackets.
    [[nodiscard]] const std::vector<std::vector<std::string>>& Pages() const { return m_pages; }
    // Every line, new page and end of the document, in order.
    [[nodiscard]] const std::vector<std::string>& Calls() const { return m_calls; }
    // The lowest point any page was printed down to.
    [[nodiscard]] double Deepest() const { return m_deepest; }

private:
    double m_pageHeight;
    double m_rowHeight;
    std::size_t m_columns;
    double m_y = 0;
    double m_deepest = 0;
    bool m_emphasis = false;
    bool m_pendingPage = false;
    std::vector<std::vector<std::string>> m_pages;
    std::vector<std::string> m_calls;
};

}  // namespace testing_support
