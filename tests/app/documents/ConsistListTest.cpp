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

TEST(ConsistListTest, ConsistFilesAreListedWithoutTheirExtensionInListingOrder) {
    TempFolder install;
    // The folders are found whatever their letter case.
    const fs::path consists = install.Path() / "TRAINS" / "consists";
    for (const char* name : {"Zulu Goods.con", "alpha GP38.con", "SD38.con", "_Shunt.con",
                             "LOUD.CON", "notes.txt", "Backup.con.bak", "x.cons"}) {
        MakeFile(consists / name);
    }
    fs::create_directories(consists / "Folder.con");
    const std::string folder = install.Path().string();
    EXPECT_EQ(vantor::ListConsists(folder, ""),
              (Names{"alpha GP38", "LOUD", "SD38", "Zulu Goods", "_Shunt"}));
    // The filter sees the name without ".con": "*38" is a suffix match.
    EXPECT_EQ(vantor::ListConsists(folder, "*38"), (Names{"alpha GP38", "SD38"}));
    EXPECT_EQ(vantor::ListConsists(folder, "gp"), Names{}) << "filters are case-sensitive";
    EXPECT_EQ(vantor::ListConsists((install.Path() / "missing").string(), ""), Names{});
}

TEST(ConsistListCaptionTest, FilterShowsUnlessEmptyOrAsterisk) {
    EXPECT_EQ(vantor::ConsistListCaption(2, "*"), "Consist List 2");
    EXPECT_EQ(vantor::ConsistListCaption(2, ""), "Consist List 2");
    EXPECT_EQ(vantor::ConsistListCaption(13, "**"), "Consist List 13 (Filtered on **)");
}

}  // namespace
