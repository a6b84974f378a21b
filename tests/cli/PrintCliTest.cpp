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
using testing_support::MakeFile;
using testing_support::ProgramResult;
using testing_support::RunProgram;
using testing_support::TempFolder;

const std::string kDemo = std::string(VANTOR_SOURCE_DIR) + "/demo";

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return testing_support::RunCliInProcess(arguments);
}

// Returns the path of a program found on PATH, empty when there is none.
std::string OnPath(const std::string& name) {
    const char* folders = std::getenv("PATH");
    std::istringstream path(folders != nullptr ? folders : "");
    for (std::string folder; std::getline(path, folder, ':');) {
        const fs::path candidate = fs::path(folder) / name;
        if (!folder.empty() && fs::exists(candidate)) {
            return candidate.string();
        }
    }
    return {};
}

// The text of a PDF file, page by page, without empty lines.
std::vector<std::vector<std::string>> PdfPages(const std::string& pdf) {
    const std::string program = OnPath("pdftotext");
    EXPECT_FALSE(program.empty()) << "pdftotext (poppler-utils) is needed: scripts/deps.sh test";
    const ProgramResult text = RunProgram(program, {pdf, "-"});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    std::vector<std::vector<std::string>> pages(1);
    std::istringstream lines(text.out);
    for (std::string line; std::getline(lines, line);) {
        for (const char c : line) {
            if (c == '\f') {
                pages.emplace_back();
            }
        }
        std::erase(line, '\f');
        if (!line.empty()) {
            pages.back().push_back(line);
        }
    }
    // pdftotext ends the last page with a form feed too.
    if (pages.size() > 1 && pages.back().empty()) {
        pages.pop_back();
    }
    return pages;
}

// The value of one field of pdfinfo ("Pages", "Page size").
std::string PdfInfo(const std::string& pdf, const std::string& field) {
    const std::string program = OnPath("pdfinfo");
    EXPECT_FALSE(program.empty()) << "pdfinfo (poppler-utils) is needed: scripts/deps.sh test";
    const ProgramResult info = RunProgram(program, {pdf});
    std::istringstream lines(info.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(field + ":")) {
            const std::size_t value = line.find_first_not_of(' ', field.size() + 1);
            return value == std::string::npos ? std::string() : line.substr(value);
        }
    }
    return {};
}

std::vector<std::string> Flatten(const std::vector<std::vector<std::string>>& pages) {
    std::vector<std::string> all;
    for (const auto& page : pages) {
        all.insert(all.end(), page.begin(), page.end());
    }
    return all;
}

// Returns a text without blanks, line breaks and hyphens: where a long line wraps,
// pdftotext joins the rows and drops a hyphen that ends one.
std::string Unwrapped(std::string text) {
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '-'; });
    return text;
}

class PrintCli : public testing::Test {
protected:
    // An installation of count consists, "Consist 0001" on.
    std::string Installation(int count) {
        const fs::path root = m_folder.Path() / ("Inst" + std::to_string(count));
        fs::create_directories(root / "Trains" / "Consists");
        for (int i = 1; i <= count; ++i) {
            MakeFile(root / "Trains" / "Consists" / (Name(i) + ".con"), "Train ( )");
        }
        return root.string();
    }
    static std::string Name(int i) {
        std::string number = std::to_string(i);
        return "Consist " + std::string(4 - number.size(), '0') + number;
    }
    // The files the folder holds, by name.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder.Path())) {
            if (entry.is_regular_file()) {
                names.push_back(entry.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder m_folder;
};

TEST_F(PrintCli, AConsistListOfSeveralPagesReadsBackInOrderWithoutAnEmptyPage) {
    const std::string pdf = m_folder.File("list.pdf");
    const ProgramResult result = Cli({"--msts", Installation(150), "print", "consists", pdf});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");

    const auto pages = PdfPages(pdf);
    ASSERT_GT(pages.size(), 1U);
    std::vector<std::string> expected = {"Consist List 1"};
    for (int i = 1; i <= 150; ++i) {
        expected.push_back(Name(i));
    }
    EXPECT_EQ(Flatten(pages), expected);
    EXPECT_EQ(PdfInfo(pdf, "Pages"), std::to_string(pages.size()));
    EXPECT_THAT(PdfInfo(pdf, "Page size"), HasSubstr("(A4)"));
    // Every full page holds as many lines as the first, heading and empty line counted.
    const std::size_t perPage = pages[0].size() + 1;
    for (std::size_t i = 1; i + 1 < pages.size(); ++i) {
        EXPECT_EQ(pages[i].size(), perPage) << "page " << i + 1;
    }

    // A list that fills two pages exactly makes two pages, not a third empty one.
    const int exact = static_cast<int>(2 * perPage - 2);
    const std::string filled = m_folder.File("filled.pdf");
    ASSERT_EQ(Cli({"--msts", Installation(exact), "print", "consists", filled}).exitCode, 0);
    EXPECT_EQ(PdfInfo(filled, "Pages"), "2");
    EXPECT_EQ(PdfPages(filled).back().back(), Name(exact));
    EXPECT_EQ(Files(), (std::vector<std::string>{"filled.pdf", "list.pdf"}));
}

TEST_F(PrintCli, AConsistAndACheckPrintAsTheirWindowsWould) {
    const std::string consist = m_folder.File("consist.pdf");
    ASSERT_EQ(
        Cli({"--msts", kDemo, "print", "consist", "Coal Drag", consist, "--page-size", "letter"})
            .exitCode,
        0);
    std::vector<std::string> expected = {"Consist - Coal Drag"};
    std::istringstream shown(Cli({"--msts", kDemo, "consist", "show", "Coal Drag"}).out);
    std::string line;
    std::getline(shown, line);  // the consist's name
    while (std::getline(shown, line)) {
        const std::size_t tab = line.find('\t');
        expected.push_back(line.substr(0, tab) + " " +
                           line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
    }
    ASSERT_GT(expected.size(), 2U);
    EXPECT_EQ(Flatten(PdfPages(consist)), expected);
    EXPECT_THAT(PdfInfo(consist, "Page size"), HasSubstr("(letter)"));

    // The report as printed, under the caption of Check Stock's window; long lines wrap.
    const std::string check = m_folder.File("check.pdf");
    const ProgramResult checked =
        Cli({"--msts", kDemo, "check", "consist", "Coal Drag", "--pdf", check});
    const ProgramResult plain = Cli({"--msts", kDemo, "check", "consist", "Coal Drag"});
    EXPECT_EQ(checked.exitCode, plain.exitCode);
    EXPECT_EQ(checked.out, plain.out);
    const auto printed = Flatten(PdfPages(check));
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.front(), "Stock check of Coal Drag");
    std::string body;
    for (std::size_t i = 1; i < printed.size(); ++i) {
        body += printed[i];
    }
    EXPECT_EQ(Unwrapped(body), Unwrapped(plain.out));
}

TEST_F(PrintCli, APdfThatCannotBeWrittenIsAnErrorAndLeavesNoFile) {
    const std::string folderTarget = m_folder.File("taken");
    fs::create_directories(folderTarget);
    struct Row {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Row rows[] = {
        {{"print", "consists", m_folder.File("missing/out.pdf")}, "does not exist"},
        {{"print", "consists", folderTarget}, "it is a folder"},
        {{"check", "consist", "Coal Drag", "--pdf", m_folder.File("missing/c.pdf")},
         "does not exist"},
        {{"print", "consists", m_folder.File("a.pdf"), "--page-size", "A5"},
         "unknown page size A5"},
        {{"consists", "--pdf", m_folder.File("a.pdf")}, "--pdf goes with the check commands"},
        {{"consists", "--page-size", "A4"}, "--page-size goes with"},
        {{"print", "consist", "No Such Consist", m_folder.File("a.pdf")}, "No Such Consist"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> arguments = {"--msts", kDemo};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const ProgramResult result = Cli(arguments);
        EXPECT_NE(result.exitCode, 0) << row.message;
        EXPECT_THAT(result.err, HasSubstr(row.message));
    }
    EXPECT_TRUE(Files().empty());
    EXPECT_TRUE(fs::is_directory(folderTarget));

    // A PDF replaces an older file only once it is complete.
    const std::string old = MakeFile(m_folder.Path() / "old.pdf", "old");
    ASSERT_EQ(Cli({"--msts", kDemo, "print", "consists", old}).exitCode, 0);
    EXPECT_EQ(Flatten(PdfPages(old)).front(), "Consist List 1");
    EXPECT_EQ(Files(), std::vector<std::string>{"old.pdf"});
}

}  // namespace
