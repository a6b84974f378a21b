#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "documents/ConsistList.h"

namespace {

namespace fs = std::filesystem;
using testing_support::MakeFile;
using testing_support::TempFolder;
using Names = std::vector<std::string>;

class ConsistListTest : public testing::Test {
protected:
    ConsistListTest() {
        for (const char* name : {"Zulu Goods.con", "alpha GP38.con", "GP38 Freight.con",
                                 "Coal GP9.con", "SD38.con", "_Shunt.con"}) {
            MakeFile(m_install.Path() / "Trains" / "Consists" / name);
        }
    }
    [[nodiscard]] std::string Install() const { return m_install.Path().string(); }

    TempFolder m_install;
};

TEST_F(ConsistListTest, NamesComeInTheListingOrderOfWindows) {
    // Upper-case code-point order: "_" (0x5F) sorts after "Z", "alpha" between.
    EXPECT_EQ(vantor::ListConsists(Install(), ""),
              (Names{"alpha GP38", "Coal GP9", "GP38 Freight", "SD38", "Zulu Goods", "_Shunt"}));
}

TEST_F(ConsistListTest, OnlyConsistFilesAreListedWithoutTheirExtension) {
    const fs::path consists = m_install.Path() / "Trains" / "Consists";
    MakeFile(consists / "LOUD.CON");
    MakeFile(consists / "notes.txt");
    MakeFile(consists / "Backup.con.bak");
    MakeFile(consists / "x.cons");
    fs::create_directories(consists / "Folder.con");
    const Names names = vantor::ListConsists(Install(), "");
    EXPECT_EQ(names, (Names{"alpha GP38", "Coal GP9", "GP38 Freight", "LOUD", "SD38", "Zulu Goods",
                            "_Shunt"}));
}

TEST_F(ConsistListTest, FilterRulesApplyToTheNames) {
    struct Row {
        const char* why;
        const char* filter;
        Names names;
    };
    const Row rows[] = {
        {"empty keeps all",
         "",
         {"alpha GP38", "Coal GP9", "GP38 Freight", "SD38", "Zulu Goods", "_Shunt"}},
        {"asterisks only keep all",
         "***",
         {"alpha GP38", "Coal GP9", "GP38 Freight", "SD38", "Zulu Goods", "_Shunt"}},
        {"trailing asterisk is a prefix match", "GP*", {"GP38 Freight"}},
        {"leading asterisk is a suffix match", "*38", {"alpha GP38", "SD38"}},
        {"plain filter is a containment match", "GP", {"alpha GP38", "Coal GP9", "GP38 Freight"}},
        {"matching is case-sensitive", "gp", {}},
        {"both asterisks: prefix match with a literal leading asterisk", "*GP*", {}},
        {"filter longer than the name", "SD38 Long*", {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vantor::ListConsists(Install(), row.filter), row.names) << row.why;
    }
}

TEST_F(ConsistListTest, FoldersAreFoundWhateverTheirLetterCase) {
    TempFolder other;
    MakeFile(other.Path() / "TRAINS" / "consists" / "Upper.con");
    EXPECT_EQ(vantor::ListConsists(other.Path().string(), ""), Names{"Upper"});
    EXPECT_EQ(vantor::ListConsists((other.Path() / "missing").string(), ""), Names{});
}

TEST(ConsistListCaptionTest, FilterShowsUnlessEmptyOrAsterisk) {
    EXPECT_EQ(vantor::ConsistListCaption(2, "*"), "Consist List 2");
    EXPECT_EQ(vantor::ConsistListCaption(2, ""), "Consist List 2");
    EXPECT_EQ(vantor::ConsistListCaption(2, "GP"), "Consist List 2 (Filtered on GP)");
    EXPECT_EQ(vantor::ConsistListCaption(0, "**"), "Consist List 0 (Filtered on **)");
    EXPECT_EQ(vantor::ConsistListCaption(13, " "), "Consist List 13 (Filtered on  )");
}

}  // namespace
