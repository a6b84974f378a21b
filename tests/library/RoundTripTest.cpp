#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "TempFolder.h"
#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using corvane::TSFileItemPtr;
using testing_support::Describe;

// Builds random trees of the shapes the writer can express: names and parameters
// without blanks, tabs or parentheses, and no item without both parameters and children.
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
    const int parameters = children == 0 ? pick(1, 5) : pick(0, 3);
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
        copy.SetFileName(folder.File("u.con"));
        copy.Save();
        corvane::TSFile again(folder.File("u.con"));
        again.Load();
        ASSERT_EQ(Describe(*again.Items()), Describe(*file.Items())) << "seed " << seed;
        EXPECT_EQ(testing_support::ReadBytes(folder.File("u.con")),
                  testing_support::ReadBytes(folder.File("t.con")))
            << "seed " << seed;
    }
}

}  // namespace
