// The print layout against a recording printer.

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "FakeReportPrinter.h"
#include "printing/PrintDocument.h"

namespace {

using Lines = std::vector<std::string>;

Lines Numbered(int count) {
    Lines lines;
    for (int i = 1; i <= count; ++i) {
        lines.push_back("line " + std::to_string(i));
    }
    return lines;
}

struct PageBreakRow {
    const char* name;
    double pageHeight;
    double rowHeight;
    Lines lines;
    std::vector<Lines> pages;
    std::size_t columns = 1000;
};

void PrintTo(const PageBreakRow& row, std::ostream* out) {
    *out << row.name;
}

// With rows 10 high, a page 60 high holds the heading, the empty line and four lines.
const PageBreakRow kPageBreakRows[] = {
    {"an empty list prints its heading", 100, 10, {}, {{"[Heading]", ""}}},
    {"a list exactly filling a page makes one page",
     60,
     10,
     Numbered(4),
     {{"[Heading]", "", "line 1", "line 2", "line 3", "line 4"}}},
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
    // Ten characters a row: the long line takes three rows of the two left.
    {"a wrapped line that does not fit starts the next page",
     60,
     10,
     {"line 1", "line 2", std::string(25, 'x'), "line 3"},
     {{"[Heading]", "", "line 1", "line 2"}, {std::string(25, 'x'), "line 3"}},
     10},
};

class PageBreaks : public testing::TestWithParam<PageBreakRow> {};

TEST_P(PageBreaks, BreakWhereTheNextLineWouldNotFitAndNeverLeaveAnEmptyPage) {
    const PageBreakRow& row = GetParam();
    testing_support::FakeReportPrinter printer(row.pageHeight, row.rowHeight, row.columns);
    vantor::PrintReport(printer, "Heading", row.lines);

    EXPECT_EQ(printer.Record()->pages, row.pages);
    EXPECT_LE(printer.Record()->deepest, row.pageHeight);
    // Every page is followed by exactly one new page, the last one by the end.
    Lines expected;
    for (const Lines& page : row.pages) {
        for (const std::string& line : page) {
            expected.push_back(line == "[Heading]" ? "Heading" : line);
        }
        expected.emplace_back("<new page>");
    }
    expected.emplace_back("<end>");
    EXPECT_EQ(printer.Record()->calls, expected);
}

INSTANTIATE_TEST_SUITE_P(Layout, PageBreaks, testing::ValuesIn(kPageBreakRows),
                         [](const auto& row) {
                             std::string name = row.param.name;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
                             }
                             return name;
                         });

TEST(PrintLayout, ReportTextBreaksAtEveryKindOfLineEnd) {
    EXPECT_EQ(vantor::ReportLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(vantor::ReportLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(vantor::ReportLines(""), Lines{});
}

}  // namespace
