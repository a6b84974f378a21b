#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "TempFolder.h"
#include "common/ItemText.h"
#include "common/Routes.h"
#include "common/Text.h"
#include "corvane/TSFileItem.h"

namespace {

using testing_support::MakeFile;
using testing_support::TempFolder;

corvane::TSFileItemPtr Item(const std::vector<std::string_view>& parameters) {
    auto item = std::make_shared<corvane::TSFileItem>("File");
    item->AssignParameters(parameters);
    return item;
}

TEST(TextTest, CleanPathStripQuotesAndTheLastBackslash) {
    EXPECT_EQ(vantor::TrimBlanks("  a b \t "), "a b \t") << "only spaces are blanks";
    EXPECT_EQ(vantor::AsciiLower("Engine\xC9"), "engine\xC9");
    // Slashes turn to backslashes and doubled backslashes halve in one pass; then blanks
    // and tabs go, and one pair of quotes.
    EXPECT_EQ(vantor::CleanPath(" \"a//b\\\\\\c\" "), "a\\b\\\\c");
    EXPECT_EQ(vantor::CleanPath("\ta\tb\t"), "ab");
    EXPECT_EQ(vantor::CleanPath("\"\"a\"\""), "\"a\"");
    EXPECT_EQ(vantor::StripQuotes("\""), "\"");
    EXPECT_EQ(vantor::ParentFolder("C:\\Trains\\GP38\\GP38.eng"), "C:\\Trains\\GP38");
    EXPECT_EQ(vantor::FileNamePart("C:\\Trains\\GP38\\GP38.eng"), "GP38.eng");
    EXPECT_EQ(vantor::ParentFolder("a/b"), "") << "only backslashes separate";
    // Paths of the host: either separator, the last of them counts.
    EXPECT_EQ(vantor::AnyParentFolder("C:\\Trains\\GP38\\GP38.eng"), "C:\\Trains\\GP38");
    EXPECT_EQ(vantor::AnyParentFolder("/msts/Trains\\GP38/GP38.eng"), "/msts/Trains\\GP38");
    EXPECT_EQ(vantor::AnyFileNamePart("/msts/GP38\\GP38.eng"), "GP38.eng");
    EXPECT_EQ(vantor::AnyFileNamePart("GP38.eng"), "GP38.eng");
    EXPECT_EQ(vantor::AnyParentFolder("GP38.eng"), "");
}

TEST(TextTest, QuotedNamesSplitAtBlanksAreJoined) {
    auto hidden = Item({"x.s"});
    hidden->SetNumParameters(0);
    EXPECT_EQ(vantor::ItemFileName(nullptr), "");
    EXPECT_EQ(vantor::ItemFileName(hidden), "");
    EXPECT_EQ(vantor::ItemFileName(Item({"x.s", "y.s"})), "x.s");
    EXPECT_EQ(vantor::ItemFileName(Item({"\"New", "York", "Cab.cvf\"", "5"})), "New York Cab.cvf");
    EXPECT_EQ(vantor::ItemFileName(Item({"\"a", "b"})), "\"a b") << "never closed";
    EXPECT_EQ(vantor::ItemFileName(Item({"\"..\\\\Sound\\\\x.sms\""})), "..\\Sound\\x.sms");

    EXPECT_EQ(vantor::QuotedParameter(*Item({"\"abc\"", "5"}), 0), "abc");
    EXPECT_EQ(vantor::QuotedParameter(*Item({"1", "\"New", "York\"", "5"}), 1), "New York");
    EXPECT_EQ(vantor::QuotedParameter(*Item({"abc\"", "5"}), 0), "abc\"");
    EXPECT_EQ(vantor::QuotedParameter(*Item({"\"a", "b"}), 0), "a b") << "never closed";
    EXPECT_EQ(vantor::QuotedParameter(*Item({"\"", "x\""}), 0), " x") << "a lone quote";
    EXPECT_THROW((void)vantor::QuotedParameter(*Item({"a"}), 1), std::out_of_range);
    EXPECT_EQ(vantor::StockExtension("Engine"), "eng");
    EXPECT_EQ(vantor::StockExtension("WAGON"), "wag");
}

TEST(TextTest, FilterMatchPrefixSuffixOrContainedAndCaseSensitive) {
    EXPECT_TRUE(vantor::FilterMatch("GP38", ""));
    EXPECT_TRUE(vantor::FilterMatch("GP38", "GP*"));
    EXPECT_FALSE(vantor::FilterMatch("XGP38", "GP*"));
    EXPECT_FALSE(vantor::FilterMatch("G", "GP*"));
    EXPECT_TRUE(vantor::FilterMatch("GP38", "*38"));
    EXPECT_TRUE(vantor::FilterMatch("GP38-2", "38"));
    EXPECT_FALSE(vantor::FilterMatch("GP38", "gp"));
    EXPECT_TRUE(vantor::FilterMatch("*GP38", "*GP*")) << "a star at both ends: a literal prefix";
}

TEST(TextTest, SelectedItemsTextJoinsSelectedRowsInRowOrder) {
    const std::vector<std::string> rows = {"GP38", "SD40", "Caboose"};
    EXPECT_EQ(vantor::SelectedItemsText(rows, {true, false, true}, "|"), "GP38|Caboose");
    EXPECT_EQ(vantor::SelectedItemsText(rows, {false, false, false}, "|"), "");
    EXPECT_EQ(vantor::SelectedItemsText(rows, {true}, "|"), "GP38")
        << "missing flags select nothing";
    EXPECT_EQ(vantor::SplitAtBars("a||b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(vantor::SplitAtBars("").empty());
    EXPECT_EQ(vantor::JoinWithBars(vantor::SplitAtBars("a||b")), "a||b");
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

    EXPECT_EQ(vantor::RouteList(install, "", false), "ALPINE|Bare|readme");
    EXPECT_EQ(vantor::RouteList(install, "*E", false), "ALPINE") << "the filter applies";
    EXPECT_EQ(vantor::RouteList(install + "\\gone", "", false), "");
    EXPECT_EQ(vantor::RouteList(install, "", true), "ALPINE(Alpine Route)|Bare|readme");
    EXPECT_EQ(vantor::RouteList(install, "A*", true), "ALPINE(Alpine Route)");
}

}  // namespace
