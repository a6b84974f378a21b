#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>

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

TEST_F(WriterTest, ConsistIsIndentedWithParametersOfTrainCfgOnItsOpeningLine) {
    // Saving over a longer file leaves no trace of it.
    testing_support::WriteBytes(m_folder.File("a.con"), std::string(10000, 'x'));
    const auto bytes =
        Save("a.con", {Item("train", {},
                            {Item("TrainCfg", {"\"Two", "Car\""},
                                  {Item("Name", {"\"Two", "Car\""}), Item("Serial", {"1"})})})});
    EXPECT_EQ(bytes, Expected("train (\r\n\tTrainCfg ( \"Two Car\"\r\n\t\tName ( \"Two Car\" )\r\n"
                              "\t\tSerial ( 1 )\r\n\t)\r\n)"));
}

TEST_F(WriterTest, ParametersWithBlanksAreQuotedUnlessAQuoteStandsAtAnEnd) {
    const auto bytes = Save("a.con", {Item("train", {"a b", "\"a b", "a b\"", "", "plain"})});
    EXPECT_EQ(bytes, Expected("train ( \"a b\" \"a b a b\"  plain )"));
}

TEST_F(WriterTest, OtherParentsPutTheirParametersAfterTheLastChildAndLeavesAreBareNames) {
    EXPECT_EQ(Save("a.con", {Item("train", {"p1", "p2"},
                                  {Item("A", {}, {Item("B", {"1"})}), Item("Flag")})}),
              Expected("train (\r\n\tA (\r\n\t\tB ( 1 )\r\n\t)\r\n\tFlag p1 p2\r\n)"));
}

TEST_F(WriterTest, FileEndsWithoutLineBreakExceptAfterTheFiveNamesAndCarSpawners) {
    EXPECT_EQ(Save("empty.con", {}), Expected(""));
    EXPECT_EQ(Save("empty.txt", {}), Utf16Bytes("\r\n\r\n"));
    EXPECT_EQ(Save("a.con", {Item("A", {"1"}), Item("B", {"2"})}), Expected("A ( 1 )\r\nB ( 2 )"));
    EXPECT_EQ(Save("b.con", {Item("TrainCfg", {"x"}, {Item("A", {"1"})})}),
              Expected("TrainCfg ( x\r\n\tA ( 1 )\r\n)\r\n"));
    corvane::TSFile spawner(m_folder.Path().string() + "\\carspawn.dat");
    spawner.Items()->Add(Item("2"));
    spawner.Items()->Add(Item("CarSpawnerItem", {"\"a.s\"", "10"}));
    spawner.Save();
    EXPECT_EQ(testing_support::ReadBytes(m_folder.File("carspawn.dat")),
              Utf16Bytes(
                  "SIMISA@@@@@@@@@@JINX0v1t______\r\n\r\n2\r\nCarSpawnerItem ( \"a.s\" 10 )\r\n)"));
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

TEST_F(WriterTest, FailedWriteKeepsThePreviousFileAndLeavesNoTemporaryFile) {
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
    testing_support::WriteBytes(m_folder.File("real.con"), "old");
    std::filesystem::create_symlink(m_folder.File("real.con"), m_folder.File("link.con"));
    Save("link.con", {Item("train", {"1"})});
    EXPECT_TRUE(std::filesystem::is_symlink(m_folder.File("link.con")));
    EXPECT_EQ(testing_support::ReadBytes(m_folder.File("real.con")), Expected("train ( 1 )"));
}

}  // namespace
