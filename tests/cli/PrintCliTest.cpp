// vantor-cli's PDF reports, read back with poppler's pdftotext and pdfinfo.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "InProcessCli.h"
#include "RunProgram.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing_support::ProgramResult;
using Lines = std::vector<std::string>;

const std::string kDemo = std::string(VANTOR_SOURCE_DIR) + "/demo";

ProgramResult Cli(const Lines& arguments) {
    return testing_support::RunCliInProcess(arguments);
}

// Runs a poppler program found on PATH and returns what it printed.
std::string Poppler(const std::string& name, const Lines& arguments) {
    std::istringstream folders(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (!folder.empty() && fs::exists(fs::path(folder) / name)) {
            return testing_support::RunProgram((fs::path(folder) / name).string(), arguments).out;
        }
    }
    ADD_FAILURE() << name << " (poppler-utils) is needed: scripts/deps.sh test";
    return {};
}

// The text of a PDF file, page by page, without empty lines.
std::vector<Lines> PdfPages(const std::string& pdf) {
    std::vector<Lines> pages(1);
    std::istringstream text(Poppler("pdftotext", {pdf, "-"}));
    for (std::string line; std::getline(text, line);) {
        for (; !line.empty() && line.front() == '\f'; line.erase(0, 1)) {
            pages.emplace_back();
        }
        if (!line.empty()) {
            pages.back().push_back(line);
        }
    }
    if (pages.back().empty()) {  // the form feed that ends the last page
        pages.pop_back();
    }
    return pages;
}

// The value of one field of pdfinfo ("Pages", "Page size").
std::string PdfInfo(const std::string& pdf, const std::string& field) {
    std::istringstream info(Poppler("pdfinfo", {pdf}));
    for (std::string line; std::getline(info, line);) {
        if (line.starts_with(field + ":")) {
            return line.substr(line.find_first_not_of(' ', field.size() + 1));
        }
    }
    return {};
}

Lines Joined(const std::vector<Lines>& pages) {
    Lines all;
    for (const Lines& page : pages) {
        all.insert(all.end(), page.begin(), page.end());
    }
    return all;
}

class PrintCli : public testing::Test {
protected:
    // An installation of consists "Consist 0001" to count.
    std::string Installation(int count, Lines& names) {
        const fs::path root = m_folder.Path() / ("Inst" + std::to_string(count));
        fs::create_directories(root / "Trains" / "Consists");
        for (int i = 1; i <= count; ++i) {
            const std::string number = std::to_string(10000 + i).substr(1);
            names.push_back("Consist " + number);
            testing_support::MakeFile(root / "Trains" / "Consists" / (names.back() + ".con"));
        }
        return root.string();
    }

    testing_support::TempFolder m_folder;
};

TEST_F(PrintCli, AConsistListOfSeveralPagesReadsBackInOrderWithoutAnEmptyPage) {
    Lines expected = {"Consist List 1"};
    const std::string install = Installation(150, expected);
    const std::string pdf = m_folder.File("list.pdf");
    const ProgramResult result = Cli({"--msts", install, "print", "consists", pdf});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const std::vector<Lines> pages = PdfPages(pdf);
    ASSERT_GT(pages.size(), 2U);
    EXPECT_EQ(Joined(pages), expected);
    EXPECT_THAT(PdfInfo(pdf, "Page size"), HasSubstr("(A4)"));
    // A full page holds as many lines as the first with its heading and empty line.
    const std::size_t perPage = pages[0].size() + 1;
    EXPECT_EQ(pages[1].size(), perPage);

    // A list that fills two pages exactly makes two pages, not a third empty one.
    Lines names;
    const std::string filled = m_folder.File("filled.pdf");
    const std::string exact = Installation(static_cast<int>(2 * perPage - 2), names);
    ASSERT_EQ(Cli({"--msts", exact, "print", "consists", filled}).exitCode, 0);
    EXPECT_EQ(PdfInfo(filled, "Pages"), "2");
    EXPECT_EQ(PdfPages(filled).back().back(), names.back());
}

TEST_F(PrintCli, AConsistAndACheckReportPrintUnderTheirWindowsCaptions) {
    const std::string consist = m_folder.File("consist.pdf");
    ASSERT_EQ(
        Cli({"--msts", kDemo, "print", "consist", "Coal Drag", consist, "--page-size", "letter"})
            .exitCode,
        0);
    // A line a vehicle of the consist's list: its type, a blank and its folder.
    Lines expected = {"Consist - Coal Drag"};
    std::istringstream shown(Cli({"--msts", kDemo, "consist", "show", "Coal Drag"}).out);
    std::string row;
    std::getline(shown, row);  // the consist's name
    while (std::getline(shown, row)) {
        const std::size_t tab = row.find('\t');
        expected.push_back(row.substr(0, tab) + " " +
                           row.substr(tab + 1, row.find('\t', tab + 1) - tab - 1));
    }
    ASSERT_GT(expected.size(), 2U);
    EXPECT_EQ(Joined(PdfPages(consist)), expected);
    EXPECT_THAT(PdfInfo(consist, "Page size"), HasSubstr("(letter)"));

    const std::string check = m_folder.File("check.pdf");
    const ProgramResult checked =
        Cli({"--msts", kDemo, "check", "consist", "Coal Drag", "--pdf", check});
    EXPECT_EQ(checked.exitCode, 0) << checked.err;
    const Lines report = Joined(PdfPages(check));
    ASSERT_GT(report.size(), 1U);
    EXPECT_EQ(report.front(), "Stock check of Coal Drag");
    EXPECT_THAT(report[1], testing::StartsWith("INFO: "));
}

TEST_F(PrintCli, APdfThatCannotBeWrittenIsAnErrorAndLeavesNoFile) {
    const std::string old = testing_support::MakeFile(m_folder.Path() / "old.pdf", "old");
    const std::string missing = m_folder.File("missing/out.pdf");
    const struct {
        Lines arguments;
        std::string message;
    } rows[] = {
        {{"print", "consists", missing}, "does not exist"},
        {{"print", "consists", m_folder.Path().string()}, "it is a folder"},
        {{"check", "consist", "Coal Drag", "--pdf", missing}, "does not exist"},
        {{"print", "consists", old, "--page-size", "A5"}, "unknown page size A5"},
        {{"consists", "--pdf", old}, "--pdf goes with the check commands"},
    };
    for (const auto& row : rows) {
        Lines arguments = {"--msts", kDemo};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const ProgramResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 2) << row.message;
        EXPECT_THAT(result.err, HasSubstr(row.message));
    }
    EXPECT_EQ(testing_support::ReadBytes(old), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 1)
        << "no temporary file is left";
}

}  // namespace
