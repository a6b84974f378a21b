#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "TempFolder.h"
#include "corvane/TSFileItem.h"
#include "shell/InstallPaths.h"
#include "shell/Routines.h"

namespace {

using testing_support::MakeFile;
using testing_support::TempFolder;

corvane::TSFileItemPtr Item(const std::vector<std::string_view>& parameters) {
    auto item = std::make_shared<corvane::TSFileItem>("File");
    item->AssignParameters(parameters);
    return item;
}

TEST(RoutinesTest, CleanPathAndStripQuotes) {
    struct Row {
        const char* why;
        const char* path;
        const char* cleaned;
    };
    const Row rows[] = {
        {"slashes, doubled backslashes in one pass, blanks, quotes", " \"a//b\\\\\\c\" ",
         "a\\b\\\\c"},
        {"four backslashes become two", "a\\\\\\\\b", "a\\\\b"},
        {"tabs removed anywhere", "\ta\tb\t", "ab"},
        {"quotes go only after trimming", "  \"x y\"  ", "x y"},
        {"a lone quote stays", " \" ", "\""},
        {"only one quote pair goes", "\"\"a\"\"", "\"a\""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vantor::CleanPath(row.path), row.cleaned) << row.why;
    }
    EXPECT_EQ(vantor::StripQuotes("\""), "\"");
    EXPECT_EQ(vantor::StripQuotes("\"\""), "");
    EXPECT_EQ(vantor::StripQuotes("\"open"), "\"open");
}

TEST(RoutinesTest, ParentFolderAndFileNamePartSplitAtTheLastBackslash) {
    EXPECT_EQ(vantor::ParentFolder("C:\\Trains\\GP38\\GP38.eng"), "C:\\Trains\\GP38");
    EXPECT_EQ(vantor::FileNamePart("C:\\Trains\\GP38\\GP38.eng"), "GP38.eng");
    EXPECT_EQ(vantor::ParentFolder("GP38.eng"), "");
    EXPECT_EQ(vantor::FileNamePart("GP38.eng"), "GP38.eng");
    EXPECT_EQ(vantor::ParentFolder("a/b"), "") << "only backslashes separate";
    EXPECT_EQ(vantor::FileNamePart("C:\\Trains\\"), "");
}

TEST(RoutinesTest, ItemFileNameJoinsAQuotedNameSplitAtBlanks) {
    struct Row {
        const char* why;
        corvane::TSFileItemPtr item;
        const char* name;
    };
    auto hidden = Item({"x.s"});
    hidden->SetNumParameters(0);
    const Row rows[] = {
        {"null item", nullptr, ""},
        {"hidden parameters", hidden, ""},
        {"plain name ignores later parameters", Item({"x.s", "y.s"}), "x.s"},
        {"split name joined and cleaned", Item({"\"New", "York", "Cab.cvf\"", "5"}),
         "New York Cab.cvf"},
        {"never closed joins everything", Item({"\"a", "b"}), "\"a b"},
        {"single opening quote stays", Item({"\"a"}), "\"a"},
        {"quoted name in one parameter", Item({"\"..\\\\Sound\\\\x.sms\""}), "..\\Sound\\x.sms"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vantor::ItemFileName(row.item), row.name) << row.why;
    }
}

TEST(RoutinesTest, QuotedParameterRemovesQuotesAndRejoins) {
    struct Row {
        const char* why;
        corvane::TSFileItemPtr item;
        int index;
        const char* value;
    };
    const Row rows[] = {
        {"quoted in one parameter", Item({"\"abc\"", "5"}), 0, "abc"},
        {"split at a blank", Item({"\"New", "York\"", "5"}), 0, "New York"},
        {"split twice", Item({"1", "\"a", "b", "c\""}), 1, "a b c"},
        {"unquoted stays", Item({"abc\"", "5"}), 0, "abc\""},
        {"never closed joins to the end", Item({"\"a", "b"}), 0, "a b"},
        {"lone quote joins the next", Item({"\"", "x\""}), 0, " x"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vantor::QuotedParameter(*row.item, row.index), row.value) << row.why;
    }
    EXPECT_THROW((void)vantor::QuotedParameter(*Item({"a"}), 1), std::out_of_range);
}

TEST(RoutinesTest, FilterMatchPrefixSuffixOrContainedAndCaseSensitive) {
    struct Row {
        const char* why;
        const char* name;
        const char* filter;
        bool keeps;
    };
    const Row rows[] = {
        {"empty filter", "GP38", "", true},
        {"only asterisks", "GP38", "***", true},
        {"prefix", "GP38", "GP*", true},
        {"prefix elsewhere", "XGP38", "GP*", false},
        {"suffix", "GP38", "*38", true},
        {"suffix elsewhere", "GP380", "*38", false},
        {"contained", "GP38-2", "38", true},
        {"case matters", "GP38", "gp", false},
        {"star at both ends is a literal prefix", "*GP38", "*GP*", true},
        {"star at both ends needs the star", "GP38", "*GP*", false},
        {"name shorter than a prefix", "G", "GP*", false},
        {"name equal to the prefix", "GP", "GP*", true},
        {"name shorter than a suffix", "8", "*38", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vantor::FilterMatch(row.name, row.filter), row.keeps) << row.why;
    }
}

TEST(RoutinesTest, DegreesToRadiansInSinglePrecision) {
    EXPECT_EQ(vantor::DegreesToRadians(180.0F), 3.14159274F);
    EXPECT_EQ(vantor::DegreesToRadians(-90.0F), -1.57079637F);
    EXPECT_EQ(vantor::DegreesToRadians(0.0F), 0.0F);
}

TEST(RoutinesTest, SelectedItemsTextJoinsSelectedRowsInRowOrder) {
    const std::vector<std::string> rows = {"GP38", "SD40", "Caboose"};
    EXPECT_EQ(vantor::SelectedItemsText(rows, {true, false, true}, "|"), "GP38|Caboose");
    EXPECT_EQ(vantor::SelectedItemsText(rows, {false, true, false}, ", "), "SD40");
    EXPECT_EQ(vantor::SelectedItemsText(rows, {false, false, false}, "|"), "");
    EXPECT_EQ(vantor::SelectedItemsText(rows, {true}, "|"), "GP38")
        << "missing flags select nothing";
}

TEST(RouteListTest, ListsFoldersAndFilesWithoutDotsWithTheNamesOfTheRouteFiles) {
    TempFolder folder;
    const auto routes = folder.Path() / "ROUTES";
    MakeFile(routes / "ALPINE" / "alpine.TRK",
             "SIMISA@@@@@@@@@@JINX0r1t______\r\n\r\nTr_RouteFile (\r\n\tRouteID ( ALPINE )"
             "\r\n\tName ( \"Alpine Route\" )\r\n)\r\n");
    MakeFile(routes / "Old.Route" / "Old.Route.trk");
    MakeFile(routes / "readme");
    MakeFile(routes / ".git" / "config");
    MakeFile(routes / "Bare" / "Bare.trk", "SIMISA@@@@@@@@@@JINX0r1t______\r\n\r\n");
    const std::string install = folder.Path().string();

    EXPECT_EQ(vantor::RouteListIn(install, "", false), "ALPINE|Bare|readme");
    EXPECT_EQ(vantor::RouteListIn(install, "*E", false), "ALPINE") << "the filter applies";
    EXPECT_EQ(vantor::RouteListIn(install + "\\gone", "", false), "");
    EXPECT_EQ(vantor::RouteListIn(install, "", true), "ALPINE(Alpine Route)|Bare|readme");
    vantor::SetMSTSPath(install);
    EXPECT_EQ(vantor::RouteList("A*", true), "ALPINE(Alpine Route)");
    vantor::ResetInstallPaths();
}

}  // namespace
