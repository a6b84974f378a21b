#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "RunProgram.h"
#include "TempFolder.h"
#include "Tool.h"

namespace {

using nlohmann::json;
using testing::HasSubstr;
using testing_support::RunProgram;
using testing_support::TempFolder;
using testing_support::Utf16Bytes;

// Runs corvane's command line in the test's process.
testing_support::ProgramResult Corvane(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    testing_support::ProgramResult result;
    result.exitCode = corvane::cli::RunCorvane(arguments, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

class CorvaneToolTest : public testing::Test {
protected:
    std::string Consist(const std::string& name) {
        const std::string path = m_folder.File(name);
        testing_support::WriteBytes(
            path, Utf16Bytes("SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nTrain (\r\n\tTrainCfg ( \"Two "
                             "Car\"\r\n\t\tName ( \"Two Car\" )\r\n\t\tWagon (\r\n\t\t\tUiD ( "
                             "1 )\r\n\t\t)\r\n\t)\r\n)"));
        return path;
    }
    TempFolder m_folder;
};

// The program itself: its arguments reach the command line, and its output and
// exit status are the command line's.
TEST_F(CorvaneToolTest, TheProgramRunsTheCommandLine) {
    const auto typed = RunProgram(CORVANE_TOOL, {"types", "a.con"});
    EXPECT_EQ(typed.exitCode, 0) << typed.err;
    EXPECT_EQ(json::parse(typed.out)["filetype"], "con");
    const auto missing = RunProgram(CORVANE_TOOL, {"stat", m_folder.File("none.con")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.err, HasSubstr("No file at"));

    // Names outside the ANSI code page reach the library whole, on Windows too.
    const std::string odd = Consist("Z\xC3\xBCge \xD0\x96\xE2\x82\xAC.con");
    const auto tree = RunProgram(CORVANE_TOOL, {"tree", odd});
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    EXPECT_EQ(json::parse(tree.out)["items"][0]["name"], "train");
    const std::string copy = m_folder.File("\xC3\x84rger.con");
    EXPECT_EQ(RunProgram(CORVANE_TOOL, {"save", odd, copy}).exitCode, 0);
    EXPECT_EQ(Corvane({"tree", copy}).out, Corvane({"tree", odd}).out);
    // Lines end in LF alone on every system.
    EXPECT_EQ(tree.out.find('\r'), std::string::npos);
    EXPECT_EQ(tree.out, Corvane({"tree", odd}).out);
}

TEST_F(CorvaneToolTest, TreeAndStatShowTheItemsWithExactlyTheirParameters) {
    const std::string path = Consist("a.con");
    const auto result = Corvane({"tree", path});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const json tree = json::parse(result.out);
    EXPECT_EQ(tree["filetype"], "con");
    const json& train = tree["items"][0];
    EXPECT_EQ(train["name"], "train");
    const json& cfg = train["children"][0];
    EXPECT_EQ(cfg["name"], "TrainCfg");
    EXPECT_EQ(cfg["params"], json({"\"Two", "Car\""}));
    EXPECT_EQ(cfg["children"][1]["children"][0]["params"], json({"1"}));
    EXPECT_FALSE(tree.contains("error"));

    const auto events = Corvane({"tree", "--events", path});
    EXPECT_EQ(events.out, result.out);
    EXPECT_EQ(events.err.substr(events.err.size() - 16), "status load 100\n");

    const json stats = json::parse(Corvane({"stat", path}).out);
    EXPECT_EQ(stats["items"], 5);       // train, TrainCfg, Name, Wagon, UiD
    EXPECT_EQ(stats["parameters"], 5);  // 2 + 2 + 1
    EXPECT_EQ(stats["depth"], 4);
    EXPECT_EQ(stats["bytes"], testing_support::ReadBytes(path).size());
    EXPECT_EQ(stats["truncated"], false);
}

TEST_F(CorvaneToolTest, LoadErrorsExitOneWithTheMessageAndWhatWasRead) {
    testing_support::WriteBytes(m_folder.File("forest.dat"),
                                "SIMISA@@@@@@@@@@JINX0F0t______\r\n\r\n3\r\nTree ( 1 )");
    const auto list = Corvane({"tree", m_folder.Path().string() + "\\forest.dat"});
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_FALSE(list.err.empty());
    EXPECT_EQ(json::parse(list.out)["items"], json::array());

    const auto missing = Corvane({"tree", m_folder.File("none.con")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.err, HasSubstr("none.con"));
}

TEST_F(CorvaneToolTest, SaveRewritesInTheSimulatorsLayout) {
    testing_support::WriteBytes(m_folder.File("in.con"), "Train ( TrainCfg ( x Name ( y ) ) )");
    const auto result = Corvane({"save", m_folder.File("in.con"), m_folder.File("out.con")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(testing_support::ReadBytes(m_folder.File("out.con")),
              Utf16Bytes(
                  "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\ntrain (\r\n\tTrainCfg ( x\r\n\t\tName ( y "
                  ")\r\n\t)\r\n)"));
    EXPECT_EQ(Corvane({"save", m_folder.File("in.con"), m_folder.File("no/dir/o.con")}).exitCode,
              1);
}

// A shape "shape ( points ( 1 point ( 1 2.5 -3.8e-005 ) ) )" as tokens.
const std::string kShapeTokens = std::string(
    "\x47\0\0\0\x23\0\0\0\0"                                           // shape, 35 bytes
    "\x07\0\0\0\x1a\0\0\0\0\x01\0\0\0"                                 // points, 26 bytes, 1
    "\x02\0\0\0\x0d\0\0\0\0\0\0\x80\x3f\0\0\x20\x40\x30\x62\x1f\xb8",  // point
    43);

TEST_F(CorvaneToolTest, BinaryAndCompressedFilesAreShownAndSavedAsTextOnlyOnRequest) {
    // zlib's stored form: no compression, so the test writes it by hand.
    const std::string inflated = "JINX0s1b______\r\n" + kShapeTokens;
    std::string stored = std::string("\x78\x01\x01", 3) + static_cast<char>(inflated.size()) +
                         '\0' + static_cast<char>(~inflated.size() & 0xFF) + '\xff' + inflated;
    unsigned a = 1;
    unsigned b = 0;
    for (const unsigned char c : inflated) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (const unsigned word : {b >> 8, b & 0xFF, a >> 8, a & 0xFF}) {
        stored.push_back(static_cast<char>(word));
    }
    struct Row {
        const char* why;
        std::string bytes;
    };
    for (const Row& row :
         {Row{"binary", "SIMISA@@@@@@@@@@JINX0s1b______\r\n" + kShapeTokens},
          Row{"compressed", "SIMISA@F" + std::string(1, static_cast<char>(inflated.size())) +
                                std::string("\0\0\0@@@@", 7) + stored}}) {
        const std::string in = m_folder.File("in.s");
        const std::string out = m_folder.File("out.s");
        testing_support::WriteBytes(in, row.bytes);
        testing_support::WriteBytes(out, "kept");

        const auto tree = Corvane({"tree", in});
        ASSERT_EQ(tree.exitCode, 0) << row.why << tree.err;
        const json shape = json::parse(tree.out)["items"][0];
        EXPECT_EQ(shape["name"], "shape") << row.why;
        EXPECT_EQ(shape["children"][0]["children"][0]["params"], json({"1", "2.5", "-3.8e-005"}))
            << row.why;

        const auto save = Corvane({"save", in, out});
        EXPECT_EQ(save.exitCode, 1) << row.why;
        EXPECT_THAT(save.err,
                    HasSubstr(in + " is a " + row.why + " file, which corvane cannot read"));
        EXPECT_EQ(testing_support::ReadBytes(out), "kept") << row.why;
        ASSERT_EQ(Corvane({"save", "--text", in, out}).exitCode, 0) << row.why;
        EXPECT_EQ(
            testing_support::ReadBytes(out),
            Utf16Bytes("SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape (\r\n\tpoints (\r\n\t\tpoint "
                       "( 1 2.5 -3.8e-005 ) 1\r\n\t)\r\n)"))
            << row.why;
    }
    // A damaged file: the message names the file and the fault; nothing is shown.
    testing_support::WriteBytes(m_folder.File("cut.s"),
                                "SIMISA@@@@@@@@@@JINX0s1b______\r\n" + kShapeTokens.substr(0, 40));
    const auto cut = Corvane({"tree", m_folder.File("cut.s")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_EQ(json::parse(cut.out)["items"], json::array());
    EXPECT_THAT(cut.err,
                HasSubstr(m_folder.File("cut.s") + ": block \"shape\" of 35 bytes runs past"));
}

TEST_F(CorvaneToolTest, TruncatedFileIsShownAndSaidToBeTruncated) {
    const std::string path = m_folder.File("cut.con");
    testing_support::WriteBytes(path, "Train ( TrainCfg ( x Wagon ( UiD ( 1 )");
    const auto tree = Corvane({"tree", path});
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    EXPECT_EQ(json::parse(tree.out)["truncated"], true);
    EXPECT_EQ(json::parse(tree.out)["items"][0]["children"][0]["children"][0]["name"], "Wagon");
    EXPECT_THAT(tree.err, HasSubstr("cut.con ends inside an item: it is truncated"));
    EXPECT_EQ(json::parse(Corvane({"stat", path}).out)["truncated"], true);
}

#if !defined(_WIN32)
TEST_F(CorvaneToolTest, SaveOntoAPipeIsRefused) {
    const std::string pipe = m_folder.File("pipe.con");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto save = Corvane({"save", Consist("in.con"), pipe});
    EXPECT_EQ(save.exitCode, 1);
    EXPECT_THAT(save.err, HasSubstr("Cannot save " + pipe + ": it is not a regular file"));
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}
#endif

TEST_F(CorvaneToolTest, WrongArgumentsExitTwoAndHelpListsTheCommands) {
    EXPECT_EQ(Corvane({}).exitCode, 2);
    EXPECT_EQ(Corvane({"tree"}).exitCode, 2);
    EXPECT_EQ(Corvane({"save", "only-one"}).exitCode, 2);
    const auto types = Corvane({"types", "C:\\Route\\carspawn.dat"});
    ASSERT_EQ(types.exitCode, 0) << "types need no file";
    EXPECT_EQ(json::parse(types.out)["subfiletype"], "carspawn");
    const auto help = Corvane({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"tree", "save", "types", "stat"}) {
        EXPECT_THAT(help.out, HasSubstr(command));
    }
}

}  // namespace
