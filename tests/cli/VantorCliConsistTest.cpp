#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::MakeFile;
using testing_support::ProgramResult;
using testing_support::ReadBytes;
using testing_support::ScopedEnvironment;
using testing_support::TempFolder;
using testing_support::Utf16Bytes;

const std::string kDemo = std::string(VANTOR_SOURCE_DIR) + "/demo";

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return testing_support::RunProgram(VANTOR_CLI, arguments);
}

std::string ConsistBytes(const std::string& text) {
    return Utf16Bytes("SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n" + text);
}

// Returns the start of a consist named name, as the editor writes it, up to its vehicles.
std::string Head(const std::string& name, const std::string& velocity, int counter,
                 const std::string& durability) {
    return "Train (\r\n\tTrainCfg ( " + name + "\r\n\t\tName ( " + name +
           " )\r\n\t\tMaxVelocity ( " + velocity + " )\r\n\t\tNextWagonUID ( " +
           std::to_string(counter) + " )\r\n\t\tDurability ( " + durability + " )\r\n";
}

// Returns one vehicle, as the editor writes it; data is its file name and folder.
std::string Vehicle(const std::string& type, int uid, const std::string& data,
                    bool flipped = false) {
    return "\t\t" + type + " (\r\n" + (flipped ? "\t\t\tFlip (  )\r\n" : "") + "\t\t\tUiD ( " +
           std::to_string(uid) + " )\r\n\t\t\t" + type + "Data ( " + data + " )\r\n\t\t)\r\n";
}

const char* const kEnd = "\t)\r\n)";

// Each test has its own settings folder and an empty Wine prefix, so that no
// installation is known unless a test names one.
class VantorCliConsistTest : public testing::Test {
protected:
    TempFolder m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", (m_home.Path() / "config").string()};
    ScopedEnvironment m_wine{"WINEPREFIX", (m_home.Path() / "wine").string()};
};

TEST_F(VantorCliConsistTest, ShowListsAConsistAsTheEditorDoes) {
    struct Row {
        std::vector<std::string> arguments;
        std::string out;
    };
    const Row rows[] = {
        {{"--msts", kDemo, "consist", "show", "Demo Freight"},
         "Demo Freight\nEngine\tGP38\tGP38\nEngine*\tGP38\tGP38\nWagon\tBoxcar\tBoxcar40\n"
         "Wagon\tBoxcar\tBoxcar40Red\nWagon\tBoxcar\tBoxcar40\nWagon\tCaboose\tCaboose\n"},
        {{"--msts", kDemo, "consist", "show", "light engine"},
         "Light Engine\nEngine\tGP38\tGP38\n"},
        {{"consist", "show", kDemo + "/trains/consists/Coal Drag.CON"},
         "Coal Drag\nEngine\tDemo Diesel\tDD40\nEngine\tDemo Diesel\tDD40B\nWagon\tHopper\tHopper\n"
         "Wagon\tHopper\tHopper\nWagon\tHopper\tHopperLoaded\nWagon\tHopper\tHopper\n"
         "Wagon\tCaboose\tCaboose\n"},
    };
    for (const Row& row : rows) {
        const ProgramResult result = Cli(row.arguments);
        EXPECT_EQ(result.exitCode, 0) << row.arguments.back() << ": " << result.err;
        EXPECT_EQ(result.out, row.out) << row.arguments.back();
    }
}

TEST_F(VantorCliConsistTest, EditRunsTheEditorsCommandsInOrderAndSaves) {
    TempFolder out;
    const std::string target = out.File("Short Train.con");
    const ProgramResult result =
        Cli({"consist", "edit", "--new", "--add", "Demo Diesel/DD40.eng", "--add",
             "Boxcar/Boxcar40.wag", "--add", "Caboose\\Caboose.WAG", "--flip", "3", "--backward",
             "1", "--save-as", target});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadBytes(target),
              ConsistBytes(Head("\"Short Train\"", "40.00000 1.00000", 4, "1.0") +
                           Vehicle("Wagon", 2, "Boxcar40 Boxcar") +
                           Vehicle("Engine", 1, "DD40 \"Demo Diesel\"") +
                           Vehicle("Wagon", 3, "Caboose Caboose", true) + kEnd));
}

TEST_F(VantorCliConsistTest, EditOfAnInstalledConsistLeavesItAndWritesTheCopy) {
    TempFolder install;
    const std::string gen =
        MakeFile(install.Path() / "Trains" / "Consists" / "Gen.con",
                 ConsistBytes(Head("Gen", "1 2", 3, "1") + Vehicle("Engine", 0, "A F") +
                              Vehicle("Wagon", 1, "B F") + Vehicle("Wagon", 2, "C F") + kEnd));
    const std::string before = ReadBytes(gen);
    const std::string copy = install.File("copy.con");
    const ProgramResult edit = Cli({"--msts", install.Path().string(), "consist", "edit", "Gen",
                                    "--forward", "3", "--remove", "1", "--save-as", copy});
    ASSERT_EQ(edit.exitCode, 0) << edit.err;
    EXPECT_EQ(ReadBytes(gen), before);
    EXPECT_EQ(Cli({"consist", "show", copy}).out, "copy\nWagon\tF\tC\nWagon\tF\tB\n");
}

TEST_F(VantorCliConsistTest, FailuresExitOneWithAMessageAndWriteNothing) {
    TempFolder out;
    const std::string target = out.File("t.con");
    const std::string notConsist = MakeFile(out.Path() / "wagon.con", "Wagon ( W )");
    const std::vector<std::vector<std::string>> cases = {
        {"--msts", kDemo, "consist", "edit", "Light Engine", "--remove", "2", "--save-as", target},
        {"--msts", kDemo, "consist", "edit", "Light Engine", "--flip", "0", "--save-as", target},
        {"consist", "edit", "--new", "--forward", "1", "--save-as", target},
        {"--msts", kDemo, "consist", "edit", "No Such Consist", "--save-as", target},
        {"consist", "edit", "Light Engine", "--save-as", target},
        {"consist", "edit", notConsist, "--save-as", target},
        {"consist", "show", notConsist},
        {"consist", "edit", "--new", "--save-as", out.File("missing/t.con")},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const ProgramResult result = Cli(cases[i]);
        EXPECT_EQ(result.exitCode, 1) << "case " << i << ": " << result.err;
        EXPECT_EQ(result.out, "") << "case " << i;
        EXPECT_EQ(result.err.rfind("vantor-cli: ", 0), 0u) << "case " << i << ": " << result.err;
        EXPECT_FALSE(fs::exists(target)) << "case " << i;
    }
}

// The help text is checked with the other commands' help.
TEST_F(VantorCliConsistTest, UsageErrorsExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"consist", "edit", "--new", "--add", "GP38/GP38.eng"},
        {"consist", "edit", "A", "--new", "--save-as", "x.con"},
        {"consist", "edit", "--save-as", "x.con"},
        {"consist", "edit", "--new", "--add", "GP38/GP38.s", "--save-as", "x.con"},
        {"consist", "edit", "--new", "--remove", "one", "--save-as", "x.con"},
        {"consist", "edit", "--new", "--frob", "--save-as", "x.con"},
        {"consist", "show", "--new"},
        {"--remove-all", "consists"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const ProgramResult result = Cli(cases[i]);
        EXPECT_EQ(result.exitCode, 2) << "case " << i << ": " << result.err;
        EXPECT_NE(result.err.find("--help"), std::string::npos) << "case " << i;
    }
}

}  // namespace
