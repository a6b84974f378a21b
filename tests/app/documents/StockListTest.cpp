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

// Returns the folders that gave rows, each once, in row order.
Names FoldersOf(const Rows& rows) {
    Names folders;
    for (const StockRow& row : rows) {
        if (folders.empty() || folders.back() != row.folder) {
            folders.push_back(row.folder);
        }
    }
    return folders;
}

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
        {"Wagon", "GP38", "GP38b"},  // upper-case ENG is no engine
        {"Wagon", "GP38", "notes"},  // any three-letter extension ending in g
        {"Wagon", "GP38", "Thumb"},      {"Engine", "gp9", "gp9"},
        {"Engine", "SD38", "SD38"},      {"Wagon", "xGPx", "Flat"},
    };
    EXPECT_EQ(vantor::ScanStock(Install(), ""), expected);
}

TEST_F(StockListTest, AfterFolderRunsForEveryKeptEntryWithoutAnExtension) {
    // Boxcar, Empty, GP38, gp9, README (a plain file), SD38, xGPx; not Common.Snd or list.txt.
    int calls = 0;
    vantor::ScanStock(Install(), "", [&calls] { ++calls; });
    EXPECT_EQ(calls, 7);
    calls = 0;
    vantor::ScanStock(Install(), "GP*", [&calls] { ++calls; });
    EXPECT_EQ(calls, 1) << "filtered-out folders are not scanned";
}

TEST_F(StockListTest, FilterPicksFoldersByName) {
    struct Row {
        const char* why;
        const char* filter;
        Names folders;
    };
    const Row rows[] = {
        {"GP* keeps names beginning with GP", "GP*", {"GP38"}},
        {"*38 keeps names ending in 38", "*38", {"GP38", "SD38"}},
        {"38 keeps names containing 38", "38", {"GP38", "SD38"}},
        {"*** keeps every folder", "***", {"Boxcar", "GP38", "gp9", "SD38", "xGPx"}},
        {"*GP* wants names beginning with the three characters *GP", "*GP*", {}},
        {"filters are case-sensitive", "gp", {"gp9"}},
        {"filters apply to folder names, not file names", "Boxcar40", {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FoldersOf(vantor::ScanStock(Install(), row.filter)), row.folders) << row.why;
    }
}

TEST_F(StockListTest, PathsAreFoundWhateverTheirLetterCase) {
    TempFolder other;
    MakeFile(other.Path() / "TRAINS" / "TRAINSET" / "Dash9" / "Dash9.eng");
    EXPECT_EQ(vantor::ScanStock(other.Path().string(), ""), (Rows{{"Engine", "Dash9", "Dash9"}}));
}

TEST_F(StockListTest, MissingTrainsetFolderGivesNoRows) {
    TempFolder other;
    fs::create_directories(other.Path() / "Trains" / "Consists");
    int calls = 0;
    EXPECT_EQ(vantor::ScanStock(other.Path().string(), "", [&calls] { ++calls; }), Rows{});
    EXPECT_EQ(calls, 0);
}

TEST(StockFilePathTest, ExtensionIsTheTypesFirstThreeLettersInLowerCase) {
    struct Row {
        const char* why;
        StockRow row;
        const char* path;
    };
    const Row rows[] = {
        {"engine", {"Engine", "GP38", "GP38b"}, "C:\\MSTS\\Trains\\Trainset\\GP38\\GP38b.eng"},
        {"wagon", {"Wagon", "Demo Cars", "Box"}, "C:\\MSTS\\Trains\\Trainset\\Demo Cars\\Box.wag"},
        {"a mark after the type does not matter",
         {"Wagon (flipped)", "B", "b"},
         "C:\\MSTS\\Trains\\Trainset\\B\\b.wag"},
        {"upper-case type", {"ENGINE", "B", "b"}, "C:\\MSTS\\Trains\\Trainset\\B\\b.eng"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vantor::StockFilePath("C:\\MSTS", row.row), row.path) << row.why;
    }
}

TEST(StockSortTest, ClicksSwitchSortingOnAndReverseTheSortColumn) {
    struct Row {
        const char* why;
        std::vector<int> clicks;
        bool sorted;
        int key;
        bool ascending;
    };
    const Row rows[] = {
        {"no click: unsorted", {}, false, 0, true},
        {"first click sorts ascending", {2}, true, 2, true},
        {"second click on the column reverses", {2, 2}, true, 2, false},
        {"third click reverses back", {2, 2, 2}, true, 2, true},
        {"another column sorts ascending", {2, 2, 1}, true, 1, true},
        {"descending is not carried to another column", {0, 0, 1}, true, 1, true},
        {"first click on the type column", {0}, true, 0, true},
    };
    for (const Row& row : rows) {
        vantor::StockSort sort;
        for (const int column : row.clicks) {
            sort.Click(column);
        }
        EXPECT_EQ(sort.Sorted(), row.sorted) << row.why;
        EXPECT_EQ(sort.Key(), row.key) << row.why;
        EXPECT_EQ(sort.Ascending(), row.ascending) << row.why;
    }
}

TEST(StockSortTest, ApplySortsByTextIgnoringCaseAndKeepsTiesInOrder) {
    const Rows rows = {
        {"Wagon", "f1", "b"},
        {"Engine", "F2", "A"},
        {"Wagon", "f3", "c"},
        {"Engine", "f4", "B"},
    };
    const auto shapes = [](const Rows& sorted) {
        Names names;
        for (const StockRow& row : sorted) {
            names.push_back(row.shape + "/" + row.folder);
        }
        return names;
    };

    Rows unsorted = rows;
    vantor::StockSort sort;
    sort.Apply(unsorted);
    EXPECT_EQ(unsorted, rows) << "no click leaves the listing order";

    sort.Click(2);
    Rows ascending = rows;
    sort.Apply(ascending);
    EXPECT_EQ(shapes(ascending), (Names{"A/F2", "b/f1", "B/f4", "c/f3"}));

    sort.Click(2);
    Rows descending = rows;
    sort.Apply(descending);
    EXPECT_EQ(shapes(descending), (Names{"c/f3", "b/f1", "B/f4", "A/F2"}))
        << "equal texts keep their order when descending too";

    sort.Click(0);
    Rows byType = rows;
    sort.Apply(byType);
    EXPECT_EQ(shapes(byType), (Names{"A/F2", "B/f4", "b/f1", "c/f3"}));

    sort.Click(1);
    Rows byFolder = rows;
    sort.Apply(byFolder);
    EXPECT_EQ(shapes(byFolder), (Names{"b/f1", "A/F2", "c/f3", "B/f4"}));
}

}  // namespace
