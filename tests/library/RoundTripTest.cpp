#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>
#include <string>

#include "TempFolder.h"
#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using corvane::TSFileItem;
using corvane::TSFileItemPtr;
using testing_support::Describe;
using testing_support::TempFolder;

// Builds random trees of the shapes the writer can express: one top-level item
// named as the reader names it, names and parameters without blanks, tabs or
// parentheses, and no item without both parameters and children.
class TreeMaker {
public:
    explicit TreeMaker(unsigned seed) : m_random(seed) {}

    TSFileItemPtr Make(const std::string& name, int depth) {
        auto item = std::make_shared<TSFileItem>(name);
        const int children = depth > 0 ? Pick(0, 4) : 0;
        for (int i = 0; i < children; ++i) {
            item->Children()->Add(Make(Name(), depth - 1));
        }
        const int parameters = children == 0 ? Pick(1, 5) : Pick(0, 3);
        item->SetNumParameters(parameters);
        for (int i = 0; i < parameters; ++i) {
            item->SetParameter(i, Word());
        }
        return item;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // Pieces 0 to 7 are the single characters of kCharacters, the others longer.
    std::string Word() {
        static const std::string kCharacters = "aZ09.-_\"";
        static const std::array<const char*, 6> kLonger = {
            "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x9A\x82", "x1", "1.5e-005", "ff000000"};
        std::string word;
        const int length = Pick(1, 4);
        for (int i = 0; i < length; ++i) {
            const auto piece = static_cast<std::size_t>(Pick(0, 13));
            word += piece < 8 ? std::string(1, kCharacters[piece]) : kLonger[piece - 8];
        }
        return word;
    }

    std::string Name() {
        static const std::array<const char*, 8> kNames = {
            "Wagon", "TrainCfg", "SignalUnit", "UiD",
            "Name",  "x\"y",     "N\xC3\xA9",  "Service_Definition"};
        return kNames[static_cast<std::size_t>(Pick(0, kNames.size() - 1))];
    }

    std::mt19937 m_random;
};

// Loads a file, saves it under another name and returns the tree read back from the copy.
std::vector<std::string> LoadAndSaveAs(const std::string& from, const std::string& to) {
    corvane::TSFile file(from);
    file.Load();
    file.SetFileName(to);
    file.Save();
    corvane::TSFile copy(to);
    copy.Load();
    return Describe(*copy.Items());
}

TEST(RoundTrip, SaveLoadSaveLoadGivesTheSameTreeAndBytes) {
    TempFolder folder;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        TreeMaker maker(seed);
        corvane::TSFile file(folder.File("t.con"));
        file.Items()->Add(maker.Make("train", 1 + static_cast<int>(seed % 5)));
        file.Save();
        ASSERT_EQ(LoadAndSaveAs(folder.File("t.con"), folder.File("u.con")),
                  Describe(*file.Items()))
            << "seed " << seed;
        EXPECT_EQ(testing_support::ReadBytes(folder.File("u.con")),
                  testing_support::ReadBytes(folder.File("t.con")))
            << "seed " << seed;
    }
}

TEST(RoundTrip, EightBitFileSavesAsUnicodeWithTheSameTree) {
    TempFolder folder;
    testing_support::WriteBytes(folder.File("a.con"),
                                "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nTrain (\r\n\tTrainCfg ( "
                                "\"Caf\xE9 \x80\"\r\n\t\tMaxVelocity ( 1 2 )\r\n\t)\r\n)");
    EXPECT_EQ(LoadAndSaveAs(folder.File("a.con"), folder.File("b.con")),
              std::vector<std::string>{
                  "train{TrainCfg<\"Caf\xC3\xA9|\xE2\x82\xAC\">{MaxVelocity<1|2>}}"});
}

}  // namespace
