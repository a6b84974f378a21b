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

    std::string Word() {
        static const std::array<const char*, 14> kPieces = {"a",
                                                            "Z",
                                                            "0",
                                                            "9",
                                                            ".",
                                                            "-",
                                                            "_",
                                                            "\"",
                                                            "\xC3\xA9",
                                                            "\xE2\x82\xAC",
                                                            "\xF0\x9F\x9A\x82",
                                                            "x1",
                                                            "1.5e-005",
                                                            "ff000000"};
        std::string word;
        const int length = Pick(1, 4);
        for (int i = 0; i < length; ++i) {
            word += kPieces[static_cast<std::size_t>(Pick(0, kPieces.size() - 1))];
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

std::string Reload(const std::string& path, std::vector<std::string>& tree) {
    corvane::TSFile file(path);
    file.Load();
    tree = Describe(*file.Items());
    return testing_support::ReadBytes(path);
}

TEST(RoundTrip, LoadSaveLoadGivesTheSameTree) {
    TempFolder folder;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        TreeMaker maker(seed);
        corvane::TSFile file(folder.File("t.con"));
        file.Items()->Add(maker.Make("train", 1 + static_cast<int>(seed % 5)));
        const std::vector<std::string> built = Describe(*file.Items());
        file.Save();

        std::vector<std::string> read;
        const std::string firstBytes = Reload(folder.File("t.con"), read);
        ASSERT_EQ(read, built) << "seed " << seed;

        corvane::TSFile again(folder.File("t.con"));
        again.Load();
        again.SetFileName(folder.File("u.con"));
        again.Save();
        std::vector<std::string> reread;
        EXPECT_EQ(Reload(folder.File("u.con"), reread), firstBytes) << "seed " << seed;
        EXPECT_EQ(reread, built) << "seed " << seed;
    }
}

TEST(RoundTrip, EightBitFileSavesAsUnicodeWithTheSameTree) {
    TempFolder folder;
    testing_support::WriteBytes(folder.File("a.con"),
                                "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nTrain (\r\n\tTrainCfg ( "
                                "\"Caf\xE9 \x80\"\r\n\t\tMaxVelocity ( 1 2 )\r\n\t)\r\n)");
    corvane::TSFile file(folder.File("a.con"));
    file.Load();
    file.SetFileName(folder.File("b.con"));
    file.Save();
    corvane::TSFile reread(folder.File("b.con"));
    reread.Load();
    EXPECT_EQ(Describe(*reread.Items()), Describe(*file.Items()));
    EXPECT_EQ(Describe(*reread.Items()).at(0),
              "train{TrainCfg<\"Caf\xC3\xA9|\xE2\x82\xAC\">{MaxVelocity<1|2>}}");
}

}  // namespace
