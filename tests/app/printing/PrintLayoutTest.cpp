// The print layout and the Print command against a recording printer.

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeReportPrinter.h"
#include "ScriptedPrompter.h"
#include "printing/PrintDocument.h"

namespace {

using testing_support::FakeReportPrinter;
using testing_support::ScriptedPrompter;
using vantor::DocumentMode;
using vantor::ReportContent;
using Pages = std::vector<std::vector<std::string>>;

std::vector<std::string> Numbered(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i) {
        lines.push_back("line " + std::to_string(i));
    }
    return lines;
}

struct PageBreakRow {
    const char* name;
    double pageHeight;
    double rowHeight;
    std::vector<std::string> lines;
    Pages pages;
};

// With rows 10 high, a page 60 high holds the heading, the empty line and four lines.
const PageBreakRow kPageBreakRows[] = {
    {"two lines fit on one page",
     100,
     10,
     {"Engine Demo", "Wagon Hopper"},
     {{"[Heading]", "", "Engine Demo", "Wagon Hopper"}}},
    {"an empty list prints its heading", 100, 10, {}, {{"[Heading]", ""}}},
    {"a list exactly filling a page makes one page",
     60,
     10,
     Numbered(4),
     {{"[Heading]", "", "line 1", "line 2", "line 3", "line 4"}}},
    {"one line more than fits goes to a second page",
     60,
     10,
     Numbered(5),
     {{"[Heading]", "", "line 1", "line 2", "line 3", "line 4"}, {"line 5"}}},
    {"later pages hold lines from the top",
     40,
     10,
     Numbered(7),
     {{"[Heading]", "", "line 1", "line 2"}, {"line 3", "line 4", "line 5", "line 6"}, {"line 7"}}},
    // 7 rows of 9.95 reach 69.65: beyond 69, within 69.9.
    {"the page height counts in whole units",
     69.9,
     9.95,
     Numbered(5),
     {{"[Heading]", "", "line 1", "line 2", "line 3", "line 4"}, {"line 5"}}},
};

void PrintTo(const PageBreakRow& row, std::ostream* out) {
    *out << row.name;
}

class PageBreaks : public testing::TestWithParam<PageBreakRow> {};

TEST_P(PageBreaks, BreakWhereTheNextLineWouldNotFitAndNeverLeaveAnEmptyPage) {
    const PageBreakRow& row = GetParam();
    FakeReportPrinter printer(row.pageHeight, row.rowHeight);
    vantor::PrintReport(printer, "Heading", row.lines);

    EXPECT_EQ(printer.Pages(), row.pages);
    EXPECT_LE(printer.Deepest(), row.pageHeight);
    // Every page is followed by exactly one new page, the last one by the end.
    std::vector<std::string> expected;
    for (const auto& page : row.pages) {
        for (const std::string& line : page) {
            expected.push_back(line == "[Heading]" ? "Heading" : line);
        }
        expected.emplace_back("<new page>");
    }
    expected.emplace_back("<end>");
    EXPECT_EQ(printer.Calls(), expected);
}

INSTANTIATE_TEST_SUITE_P(Layout, PageBreaks, testing::ValuesIn(kPageBreakRows),
                         [](const auto& row) {
                             std::string name = row.param.name;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
                             }
                             return name;
                         });

TEST(PrintLayout, ResultsLongerThanAPageBreakAcrossPagesInsteadOfRunningOff) {
    std::string text;
    for (int i = 1; i <= 12; ++i) {
        text += "ERROR: finding " + std::to_string(i) + "\r\n";
    }
    const ReportContent report = vantor::ResultsReport("Usage check of DD40", text);
    FakeReportPrinter printer(60, 10);
    vantor::PrintReport(printer, report.heading, report.lines);

    ASSERT_EQ(printer.Pages().size(), 3U);
    EXPECT_EQ(printer.Pages()[0].front(), "[Usage check of DD40]");
    EXPECT_EQ(printer.Pages()[1].front(), "ERROR: finding 5");
    EXPECT_EQ(printer.Pages()[2].back(), "ERROR: finding 12");
    EXPECT_LE(printer.Deepest(), 60);
}

TEST(PrintLayout, AWrappedLineThatDoesNotFitStartsTheNextPage) {
    // Ten characters a row: the long line takes three rows, 30 of the 20 left.
    FakeReportPrinter printer(60, 10, 10);
    vantor::PrintReport(printer, "H", {"short", "short", std::string(25, 'x'), "after"});

    const Pages expected = {{"[H]", "", "short", "short"}, {std::string(25, 'x'), "after"}};
    EXPECT_EQ(printer.Pages(), expected);
    EXPECT_LE(printer.Deepest(), 60);
}

TEST(PrintLayout, ReportTextBreaksAtEveryKindOfLineEnd) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(vantor::ReportLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(vantor::ReportLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(vantor::ReportLines("a\n\n"), (Lines{"a", ""}));
    EXPECT_EQ(vantor::ReportLines(""), Lines{});
}

// A child window that reports a fixed content.
class FixedSource : public vantor::PrintSource {
public:
    explicit FixedSource(ReportContent content) : m_content(std::move(content)) {}
    [[nodiscard]] ReportContent PrintContent() const override { return m_content; }

private:
    ReportContent m_content;
};

// A printer handed to the command that records on the test's printer.
class Forwarding : public vantor::ReportPrinter {
public:
    explicit Forwarding(FakeReportPrinter& to) : m_to(to) {}
    void PrintLine(const std::string& text) override { m_to.PrintLine(text); }
    [[nodiscard]] double CurrentY() const override { return m_to.CurrentY(); }
    [[nodiscard]] double TextHeight(const std::string& t) const override {
        return m_to.TextHeight(t);
    }
    [[nodiscard]] double PageHeight() const override { return m_to.PageHeight(); }
    void NewPage() override { m_to.NewPage(); }
    void EndDoc() override { m_to.EndDoc(); }
    void SetEmphasis(bool on) override { m_to.SetEmphasis(on); }

private:
    FakeReportPrinter& m_to;
};

class PrintCommand : public testing::Test {
protected:
    // Runs Print or Print Preview on a window (null for none).
    void Print(const vantor::PrintSource* source, bool preview = false) {
        vantor::PrintDocument(preview, source, m_prompts, [this](const vantor::PrintRequest&) {
            ++m_opened;
            return std::make_unique<Forwarding>(m_printer);
        });
    }

    ScriptedPrompter m_prompts;
    FakeReportPrinter m_printer{1000, 10};
    int m_opened = 0;
};

TEST_F(PrintCommand, EachModeTitlesTheDialogWithItsReportAndOnlyListsArePrinted) {
    struct Row {
        DocumentMode mode;
        const char* title;
        bool prints;
    };
    const Row rows[] = {
        {DocumentMode::Results, "Print Results", true},
        {DocumentMode::ConsistList, "Print Consist List", true},
        {DocumentMode::Consist, "Print Consist", true},
        {DocumentMode::Consist3D, "Print Consist View", false},
        {DocumentMode::Shape3D, "Print Stock View", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        m_opened = 0;
        const FixedSource source(ReportContent{row.mode, "Caption", {"one"}});
        m_prompts.ExpectPrint(row.title, true);
        Print(&source);
        EXPECT_EQ(m_opened, row.prints ? 1 : 0);
        // No page range is offered.
        EXPECT_EQ(m_prompts.LastPrintRequest().maxPage, 0);
        EXPECT_TRUE(m_prompts.Done());
    }
}

TEST_F(PrintCommand, PrintsAConsistsVehiclesWithTheirFoldersUnderItsCaption) {
    const FixedSource source(vantor::ConsistReport(
        "Consist - Coal Drag",
        {{"Engine", "Demo Diesel", "DD40", 1}, {"Wagon*", "Hopper", "Hopper", 2}}));
    m_prompts.ExpectPrint("Print Consist", true);
    Print(&source);

    const Pages expected = {{"[Consist - Coal Drag]", "", "Engine Demo Diesel", "Wagon* Hopper"}};
    EXPECT_EQ(m_printer.Pages(), expected);
    EXPECT_EQ(m_printer.Calls().back(), "<end>");
}

TEST_F(PrintCommand, PreviewCancelAndNoWindowPrintNothing) {
    const FixedSource source(vantor::ConsistListReport("Consist List 1", {"A"}));
    Print(nullptr);
    Print(nullptr, true);

    m_prompts.ExpectMessage(vantor::MessageIcon::Information, "Print Preview",
                            "Print Preview not implemented");
    Print(&source, true);

    m_prompts.ExpectPrint("Print Consist List", false);
    Print(&source);

    EXPECT_EQ(m_opened, 0);
    EXPECT_TRUE(m_printer.Calls().empty());
}

TEST_F(PrintCommand, APrinterThatCannotBeWrittenIsReportedNotPassedOver) {
    const FixedSource source(vantor::ConsistListReport("Consist List 1", {"A"}));
    m_prompts.ExpectPrint("Print Consist List", true)
        .ExpectMessage(vantor::MessageIcon::Critical, "Print", "Cannot print to out.pdf.");
    vantor::PrintDocument(
        false, &source, m_prompts,
        [](const vantor::PrintRequest&) -> std::unique_ptr<vantor::ReportPrinter> {
            throw std::runtime_error("Cannot print to out.pdf.");
        });
}

}  // namespace
