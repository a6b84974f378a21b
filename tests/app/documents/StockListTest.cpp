#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "documents/StockList.h"

namespace {

namespace fs = std::filesystem;
using testing_support::MakeFile;
using testing_support::TempFolder;
using vantor::StockRow;
using Rows = std::vector<StockRow>;
using Names = std::vector<std::string>;

class StockListTest : public testing::Test {
protected:
    StockListTest() {
        const fs::path trainset = m_install.Path() / "Trains" / "Trainset";
        for (const char* file :
             {"GP38/GP38.eng", "GP38/GP38b.ENG", "GP38/Thumb.png", "GP38/notes.jpg", "GP38/GP38.s",
              "GP38/GP38.sd", "GP38/GP38.ace", "GP38/odd.eg", "GP38/long.engx",
              "GP38/SOUND/Horn.wag", "Boxcar/Boxcar40.wag", "Boxcar/Boxcar40.s", "SD38/SD38.eng",
              "gp9/gp9.eng", "xGPx/Flat.wag", "Empty/Empty.s", "Common.Snd/Shared.wag", "README",
              "list.txt"}) {
            MakeFile(trainset / file);
        }
        fs::create_directories(trainset / "GP38" / "Parts.eng");
    }
    [[nodiscard]] std::string Install() const { return m_install.Path().string(); }

    TempFolder m_install;
};

TEST_F(StockListTest, RowsComeFolderByFolderInListingOrder) {
    const Rows expected = {
        {"Wagon", "Boxcar", "Boxcar40"}, {"Engine", "GP38", "GP38"},
        {"Engine", "GP38", "GP38b"},  // an upper-case ENG is an engine too
        {"Wagon", "GP38", "notes"},   // any three-letter extension ending in g
        {"Wagon", "GP38", "Thumb"},      {"Engine", "gp9", "gp9"},
        {"Engine", "SD38", "SD38"},      {"Wagon", "xGPx", "Flat"},
    };
    EXPECT_EQ(vantor::ScanStock(Install(), ""), expected);
}

TEST_F(StockListTest, FilterPicksFoldersByNameAndOnlyThoseAreScanned) {
    // Boxcar, Empty, GP38, gp9, README (a plain file), SD38, xGPx; not Common.Snd or list.txt.
    int calls = 0;
    vantor::ScanStock(Install(), "", [&calls] { ++calls; });
    EXPECT_EQ(calls, 7);
    calls = 0;
    const Rows gp = vantor::ScanStock(Install(), "GP*", [&calls] { ++calls; });
    EXPECT_EQ(calls, 1) << "filtered-out folders are not scanned";
    EXPECT_EQ(gp.size(), 4u);
    EXPECT_EQ(gp.back(), (StockRow{"Wagon", "GP38", "Thumb"}));
    EXPECT_EQ(vantor::ScanStock(Install(), "Boxcar40"), Rows{})
        << "filters apply to folder names, not file names";
}

TEST(StockListFoldersTest, PathsAreFoundWhateverTheirLetterCaseAndMayBeMissing) {
    TempFolder install;
    MakeFile(install.Path() / "TRAINS" / "TRAINSET" / "Dash9" / "Dash9.eng");
    EXPECT_EQ(vantor::ScanStock(install.Path().string(), ""), (Rows{{"Engine", "Dash9", "Dash9"}}));

    TempFolder other;
    fs::create_directories(other.Path() / "Trains" / "Consists");
    int calls = 0;
    EXPECT_EQ(vantor::ScanStock(other.Path().string(), "", [&calls] { ++calls; }), Rows{});
    EXPECT_EQ(calls, 0);
}

TEST(StockFilePathTest, ExtensionIsTheTypesFirstThreeLettersInLowerCase) {
    EXPECT_EQ(vantor::StockFilePath("C:\\MSTS", {"Engine", "GP38", "GP38b"}),
              "C:\\MSTS\\Trains\\Trainset\\GP38\\GP38b.eng");
    EXPECT_EQ(vantor::StockFilePath("C:\\MSTS", {"Wagon (flipped)", "Demo Cars", "Box"}),
              "C:\\MSTS\\Trains\\Trainset\\Demo Cars\\Box.wag");
    EXPECT_EQ(vantor::StockFilePath("C:\\MSTS", {"ENGINE", "B", "b"}),
              "C:\\MSTS\\Trains\\Trainset\\B\\b.eng");
}

TEST(StockSortTest, ClicksSortByTheColumnIgnoringCaseAndReverseItAndKeepTiesInOrder) {
    const Rows rows = {
        {"Wagon", "f1", "b"},
        {"Engine", "F2", "A"},
        {"Wagon", "f3", "c"},
        {"Engine", "f4", "B"},
    };
    // Each click on a column heading and the order it gives, as shape/folder.
    struct Step {
        int click;
        Names order;
    };
    const Step steps[] = {
        {-1, {"b/f1", "A/F2", "c/f3", "B/f4"}},  // no click leaves the listing order
        {2, {"A/F2", "b/f1", "B/f4", "c/f3"}},
        {2, {"c/f3", "b/f1", "B/f4", "A/F2"}},  // equal texts keep their order descending too
        {0, {"A/F2", "B/f4", "b/f1", "c/f3"}},  // another column sorts ascending
    };
    vantor::StockSort sort;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        if (steps[i].click >= 0) {
            sort.Click(steps[i].click);
        }
        Rows sorted = rows;
        sort.Apply(sorted);
        Names order;
        for (const StockRow& row : sorted) {
            order.push_back(row.shape + "/" + row.folder);
        }
        EXPECT_EQ(order, steps[i].order);
    }
}

}  // namespace
