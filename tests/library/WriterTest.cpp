#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "FileSizeLimit.h"
#include "TempFolder.h"
#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using corvane::TSFileItemPtr;
using testing_support::Item;
using testing_support::TempFolder;
using testing_support::Utf16Bytes;

class WriterTest : public testing::Test {
protected:
    // Saves items under a name and returns the file's bytes.
    std::string Save(const std::string& name, std::initializer_list<TSFileItemPtr> items) {
        corvane::TSFile file(m_folder.File(name));
        for (const auto& item : items) {
            file.Items()->Add(item);
        }
        file.Save();
        return testing_support::ReadBytes(m_folder.File(name));
    }

    static std::string Expected(const std::string& text) {
        return Utf16Bytes("SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n" + text);
    }

    TempFolder m_folder;
};

// Each row guards a way in which a saved tree used to be written, or to load back, as
// another tree. Every save goes over a longer file, which must leave no trace.
TEST_F(WriterTest, SavedTreesAreWrittenAndLoadBackAsTheSameTree) {
    const std::string con = "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n";
    struct Row {
        const char* why;
        const char* name;
        std::vector<TSFileItemPtr> items;
        std::string text;    // the whole file, before UTF-16
        const char* loaded;  // top-level items joined by " & "
    };
    const Row rows[] = {
        {"consist indented, TrainCfg's parameters on its opening line",
         "a.con",
         {Item("train", {},
               {Item("TrainCfg", {"\"Two", "Car\""},
                     {Item("Name", {"\"Two", "Car\""}), Item("Serial", {"1"})})})},
         con + "train (\r\n\tTrainCfg ( \"Two Car\"\r\n\t\tName ( \"Two Car\" )\r\n"
               "\t\tSerial ( 1 )\r\n\t)\r\n)",
         "train{TrainCfg<\"Two|Car\">{Name<\"Two|Car\">;Serial<1>}}"},
        {"parameters with blanks quoted unless a quote stands at an end",
         "a.con",
         {Item("train", {"a b", "\"a b", "a b\"", "", "plain"})},
         con + "train ( \"a b\" \"a b a b\"  plain )",
         "train<\"a|b\"|\"a|b|a|b\"||plain>"},
        {"other parents put their parameters after the last child",
         "a.con",
         {Item("train", {"p1", "p2"}, {Item("A", {}, {Item("B", {"1"})}), Item("Flag")})},
         con + "train (\r\n\tA (\r\n\t\tB ( 1 )\r\n\t)\r\n\tFlag ( ) p1 p2\r\n)",
         "train<p1|p2>{A{B<1>};Flag}"},
        {"an empty item read back as its parent's parameter",
         "a.con",
         {Item("train", {}, {Item("Engine", {}, {Item("Flip"), Item("UiD", {"1"})})})},
         con + "train (\r\n\tEngine (\r\n\t\tFlip ( )\r\n\t\tUiD ( 1 )\r\n\t)\r\n)",
         "train{Engine{Flip;UiD<1>}}"},
        {"an empty top-level item ran into the next item's name; no line break at the end",
         "a.con",
         {Item("train", {"1"}), Item("Flag"), Item("B", {"2"})},
         con + "train ( 1 )\r\nFlag ( )\r\nB ( 2 )",
         "train<1> & Flag  & B <2>"},
        {"a line break ends a file that ends with one of the five names",
         "b.con",
         {Item("TrainCfg", {"x"}, {Item("A", {"1"})})},
         con + "TrainCfg ( x\r\n\tA ( 1 )\r\n)\r\n",
         "train<x>{A<1>}"},
        {"a list file's count stays a bare word",
         "forest.dat",
         {Item("3"), Item("Forest", {"1"})},
         "SIMISA@@@@@@@@@@JINX0F0t______\r\n\r\n3\r\nForest ( 1 )",
         "3 & Forest<1>"},
        {"car spawners end with a closing parenthesis on a line of its own",
         "carspawn.dat",
         {Item("2"), Item("CarSpawnerItem", {"\"a.s\"", "10"})},
         "SIMISA@@@@@@@@@@JINX0v1t______\r\n\r\n2\r\nCarSpawnerItem ( \"a.s\" 10 )\r\n)",
         "2 & CarSpawnerItem<\"a.s\"|10>"},
        {"a name grew by a blank on every save",
         "a.eng",
         {Item("wagon", {"x"}), Item("Engine  ", {"y"})},
         con + "wagon ( x )\r\nEngine ( y )",
         "wagon<x> & Engine <y>"},
        {"a nameless first child took the last word of its TrainCfg's opening line",
         "a.con",
         {Item("train", {}, {Item("TrainCfg", {"x", "y"}, {Item("", {"a"})})})},
         con + "train (\r\n\tTrainCfg (\r\n\t\t ( a ) x y\r\n\t)\r\n)",
         "train{TrainCfg<x|y>{<a>}}"},
        {"an empty consist is its header", "empty.con", {}, con, ""},
        {"an empty file without a header", "empty.txt", {}, "\r\n\r\n", ""},
    };
    for (const Row& row : rows) {
        testing_support::WriteBytes(m_folder.File(row.name), std::string(10000, 'x'));
        const std::string path = m_folder.Path().string() + "\\" + row.name;
        corvane::TSFile file(path);
        for (const auto& item : row.items) {
            file.Items()->Add(item);
        }
        file.Save();
        EXPECT_EQ(testing_support::ReadBytes(m_folder.File(row.name)), Utf16Bytes(row.text))
            << row.why;
        corvane::TSFile again(path);
        again.Load();
        std::string loaded;
        for (const std::string& item : testing_support::Describe(*again.Items())) {
            loaded += (loaded.empty() ? "" : " & ") + item;
        }
        EXPECT_EQ(loaded, row.loaded) << row.why;
    }
}

TEST_F(WriterTest, IndentationStopsAtThirtyTwoTabs) {
    auto top = Item("train");
    corvane::TSFileItem* deepest = top.get();
    for (int level = 1; level <= 40; ++level) {
        auto child = Item("L" + std::to_string(level), {"1"});
        deepest->Children()->Add(child);
        deepest = child.get();
    }
    const std::string bytes = Save("deep.con", {top});
    EXPECT_NE(bytes.find(Utf16Bytes(std::string(32, '\t') + "L40 ( 1 )", false)),
              std::string::npos);
    EXPECT_EQ(bytes.find(Utf16Bytes(std::string(33, '\t'), false)), std::string::npos);
    corvane::TSFile again(m_folder.File("deep.con"));
    again.Load();
    EXPECT_EQ(testing_support::Describe(*again.Items()),
              std::vector<std::string>{testing_support::Describe(*top)});
}

TEST_F(WriterTest, EveryCharacterIsOneOrTwoUtf16UnitsBehindTheMark) {
    const auto bytes = Save("a.con", {Item("train", {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x9A\x82"})});
    EXPECT_NE(bytes.find(std::string("\xE9\x00\xAC\x20\x3D\xD8\x82\xDE", 8)), std::string::npos);
    EXPECT_EQ(bytes, Expected("train ( \xC3\xA9\xE2\x82\xAC\xF0\x9F\x9A\x82 )"));
}

TEST_F(WriterTest, MissingFolderIsAnErrorNamingTheFile) {
    corvane::TSFile file(m_folder.File("no/such/folder/a.con"));
    EXPECT_THAT([&] { file.Save(); },
                testing::ThrowsMessage<std::system_error>(testing::HasSubstr("a.con")));
}

TEST_F(WriterTest, ATopLevelNameThatBeginsWithATabIsRefusedUnwritten) {
    // Read from mid-line text; at the start of a line the tab would read as a blank.
    testing_support::WriteBytes(m_folder.File("a.ref"),
                                "SIMISA@@@@@@@@@@JINX0r1t______\tClass ( x )");
    corvane::TSFile file(m_folder.File("a.ref"));
    file.Load();
    ASSERT_EQ(file.Items()->Item(1)->Name(), "\tClass ");
    file.SetFileName(m_folder.File("out.ref"));
    EXPECT_THAT([&] { file.Save(); }, testing::ThrowsMessage<std::invalid_argument>(
                                          testing::HasSubstr("begins with a tab")));
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("out.ref")));
}

TEST_F(WriterTest, FailedWriteKeepsThePreviousFileAndLeavesNoTemporaryFile) {
    if (!testing_support::FileSizeLimit::kSupported) {
        GTEST_SKIP() << "no file size limit to make the write fail";
    }
    const std::string old = Utf16Bytes("SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\ntrain ( old )");
    testing_support::WriteBytes(m_folder.File("a.con"), old);
    corvane::TSFile file(m_folder.File("a.con"));
    file.Items()->Add(Item("train", {std::string(200'000, 'n').c_str()}));
    {
        testing_support::FileSizeLimit limit(4096);
        EXPECT_THROW(file.Save(), std::system_error);
    }
    EXPECT_EQ(testing_support::ReadBytes(m_folder.File("a.con")), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.Path()), {}), 1);
}

TEST_F(WriterTest, SavingThroughALinkReplacesTheLinkedFile) {
    if (!testing_support::SymlinksWork()) {
        GTEST_SKIP() << "symbolic links cannot be made here";
    }
    testing_support::WriteBytes(m_folder.File("real.con"), "old");
    std::filesystem::create_symlink(m_folder.File("real.con"), m_folder.File("link.con"));
    Save("link.con", {Item("train", {"1"})});
    EXPECT_TRUE(std::filesystem::is_symlink(m_folder.File("link.con")));
    EXPECT_EQ(testing_support::ReadBytes(m_folder.File("real.con")), Expected("train ( 1 )"));
}

}  // namespace
