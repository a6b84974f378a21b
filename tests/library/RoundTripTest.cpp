#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using corvane::TSFileItemPtr;
using testing_support::Describe;

// Builds random trees of the shapes the writer can express: names and parameters
// without blanks, tabs or parentheses.
TSFileItemPtr RandomTree(std::mt19937& random, const std::string& name, int depth) {
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    static const std::string kCharacters = "aZ09.-_\"";
    static const char* const kLonger[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x9A\x82",
                                          "1.5e-005", "ff000000",     "x1"};
    static const char* const kNames[] = {"Wagon", "TrainCfg",  "UiD",
                                         "x\"y",  "N\xC3\xA9", "Service_Definition"};
    auto item = std::make_shared<corvane::TSFileItem>(name);
    const int children = depth > 0 ? pick(0, 4) : 0;
    for (int i = 0; i < children; ++i) {
        item->Children()->Add(RandomTree(random, kNames[pick(0, 5)], depth - 1));
    }
    const int parameters = children == 0 ? pick(0, 5) : pick(0, 3);
    item->SetNumParameters(parameters);
    for (int i = 0; i < parameters; ++i) {
        std::string word;
        for (int length = pick(1, 4); length > 0; --length) {
            const int piece = pick(0, 13);
            word += piece < 8 ? std::string(1, kCharacters[static_cast<std::size_t>(piece)])
                              : kLonger[piece - 8];
        }
        item->SetParameter(i, word);
    }
    return item;
}

TEST(RoundTrip, SaveLoadSaveLoadGivesTheSameTreeAndBytes) {
    testing_support::TempFolder folder;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        corvane::TSFile file(folder.File("t.con"));
        file.Items()->Add(RandomTree(random, "train", 1 + static_cast<int>(seed % 5)));
        file.Save();
        corvane::TSFile copy(folder.File("t.con"));
        copy.Load();
        ASSERT_EQ(Describe(*copy.Items()), Describe(*file.Items())) << "seed " << seed;
        copy.SetFileName(folder.File("u.con"));
        copy.Save();
        EXPECT_EQ(testing_support::ReadBytes(folder.File("u.con")),
                  testing_support::ReadBytes(folder.File("t.con")))
            << "seed " << seed;
    }
}

// Returns a tree's text with the top-level names' trailing blanks removed: the
// reader keeps the blank that stands after a later top-level name.
std::vector<std::string> LoadedTree(const corvane::TSItemCollection& items) {
    std::vector<std::string> tree;
    for (const auto& item : items) {
        std::string name = item->Name();
        name.erase(name.find_last_not_of(' ') + 1);
        tree.push_back(name + "|" + Describe(*item).substr(item->Name().size()));
    }
    return tree;
}

// Every text file of the demo installation is loaded, saved under the same name in
// another folder, loaded and saved again: the trees read must be the same and the
// two saves byte for byte. (The fuzz replay does the same with the fuzz seeds.)
TEST(RoundTrip, EveryDemoTextFileLoadsBackAsTheSameTreeAndSavesTheSameBytes) {
    testing_support::TempFolder folder;
    std::filesystem::create_directories(folder.File("1"));
    std::filesystem::create_directories(folder.File("2"));
    int checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             std::filesystem::path(VANTOR_SOURCE_DIR) / "demo")) {
        const std::string path = entry.path().string();
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || extension == ".ace" || extension == ".wav" ||
            extension == ".md") {
            continue;
        }
        corvane::TSFile original(path);
        original.Load();
        if (original.Form() != corvane::FileForm::Text) {
            continue;
        }
        const std::string once = folder.File("1") + "/" + entry.path().filename().string();
        const std::string twice = folder.File("2") + "/" + entry.path().filename().string();
        original.SetFileName(once);
        original.Save();
        corvane::TSFile saved(once);
        saved.Load();
        ASSERT_EQ(LoadedTree(*saved.Items()), LoadedTree(*original.Items())) << path;
        saved.SetFileName(twice);
        saved.Save();
        EXPECT_EQ(testing_support::ReadBytes(twice), testing_support::ReadBytes(once)) << path;
        ++checked;
    }
    EXPECT_GT(checked, 40);
}

}  // namespace
