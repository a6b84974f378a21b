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
using testing_support::ScopedEnvironment;
using testing_support::TempFolder;

const std::string kDemo = std::string(VANTOR_SOURCE_DIR) + "/demo";

const char* const kDemoConsists =
    "Coal Drag\nDemo Freight\nEmpty Train\nLight Engine\nMixed Goods\nTransfer\nYard Shunt\n";

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return testing_support::RunProgram(VANTOR_CLI, arguments);
}

// Runs each test with its own settings folder and an empty Wine prefix, so that
// neither the user's settings nor a registered simulator leak in.
class VantorCliTest : public testing::Test {
protected:
    TempFolder m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", (m_home.Path() / "config").string()};
    ScopedEnvironment m_wine{"WINEPREFIX", (m_home.Path() / "wine").string()};
};

// The unfiltered stock list is checked on a generated installation below.
TEST_F(VantorCliTest, ListsOfTheDemoInstallation) {
    struct Row {
        std::vector<std::string> arguments;
        std::string out;
    };
    const Row rows[] = {
        {{"--msts", kDemo, "routes"}, "DemoVal(Demo Valley)\nHarbour(Harbour Branch)\n"},
        {{"--msts", kDemo, "routes", "H*"}, "Harbour(Harbour Branch)\n"},
        {{"--msts", kDemo, "consists"}, kDemoConsists},
        {{"--msts", kDemo, "consists", "*Freight"}, "Demo Freight\n"},
        {{"--msts", kDemo, "stock", "GP*"}, "Engine\tGP38\tGP38\nEngine\tGP38\tGP38b\n"},
    };
    for (const Row& row : rows) {
        const ProgramResult result = Cli(row.arguments);
        EXPECT_EQ(result.exitCode, 0) << row.arguments[2] << ": " << result.err;
        EXPECT_EQ(result.out, row.out) << row.arguments[2];
        EXPECT_EQ(result.err, "") << row.arguments[2];
    }
}

TEST_F(VantorCliTest, InstallationOptionStandsAnywhere) {
    const std::vector<std::vector<std::string>> placements = {
        {"stock", "--msts", kDemo, "*er"},
        {"stock", "*er", "--msts", kDemo},
        {"--msts=" + kDemo, "stock", "*er"},
        {"--msts", kDemo, "stock", "--", "*er"},
    };
    const std::string expected =
        "Wagon\tHopper\tHopper\nWagon\tHopper\tHopperLoaded\nWagon\tTanker\tTanker\n";
    EXPECT_EQ(Cli({"--msts", kDemo, "stock", "--", "-x"}).exitCode, 0)
        << "after --, a filter may begin with -";
    for (std::size_t i = 0; i < placements.size(); ++i) {
        const ProgramResult result = Cli(placements[i]);
        EXPECT_EQ(result.exitCode, 0) << i;
        EXPECT_EQ(result.out, expected) << "placement " << i;
    }
}

TEST_F(VantorCliTest, GeneratedInstallationWithOddNames) {
    TempFolder install;
    const fs::path trainset = install.Path() / "TRAINS" / "trainset";
    MakeFile(trainset / "Z\xC3\xBCge" / "Lok 1.eng");
    MakeFile(trainset / "Z\xC3\xBCge" / "Lok 1.ENG.s");
    MakeFile(trainset / "a-b" / "Car.WAG");
    MakeFile(trainset / "a-b" / "picture.png");
    MakeFile(install.Path() / "TRAINS" / "Consists" / "\xC3\x84rger.con");
    const std::string folder = install.Path().string();

    const ProgramResult stock = Cli({"stock", "--msts", folder});
    EXPECT_EQ(stock.exitCode, 0);
    EXPECT_EQ(stock.out, "Wagon\ta-b\tCar\nWagon\ta-b\tpicture\nEngine\tZ\xC3\xBCge\tLok 1\n");
    const ProgramResult consists = Cli({"consists", "--msts", folder});
    EXPECT_EQ(consists.out, "\xC3\x84rger\n");
}

TEST_F(VantorCliTest, InstallationComesFromTheOptionElseTheSettingsElseTheRegistry) {
    const ProgramResult none = Cli({"stock"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("--msts"), std::string::npos) << "says so: " << none.err;

    const fs::path prefix = m_home.Path() / "wine";
    MakeFile(prefix / "system.reg",
             "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Train "
             "Simulator\\\\1.0] 1\n\"Path\"=\"C:\\\\Games\\\\MSTS\"\n");
    MakeFile(prefix / "drive_c" / "Games" / "MSTS" / "Trains" / "Consists" / "Registered.con");
    fs::create_directories(prefix / "dosdevices");
    fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
    EXPECT_EQ(Cli({"consists"}).out, "Registered\n") << "no settings file";
    const fs::path settings = m_home.Path() / "config" / "Vantor" / "Vantor.conf";
    MakeFile(settings, "[Settings]\nMSTSDir=$MSTS\n");
    EXPECT_EQ(Cli({"consists"}).out, "Registered\n") << "the macro means the registered folder";

    const fs::path folder = m_home.Path() / "Train Sim, Gold";
    MakeFile(folder / "Trains" / "Consists" / "Only One.con");
    // As the settings store writes it: quoted because of the comma, backslashes doubled.
    std::string written;
    for (const char c : folder.string()) {
        written += c == '/' ? std::string("\\\\") : std::string(1, c);
    }
    MakeFile(settings, "[General]\nMSTSDir=/nowhere\n\n[Settings]\nMainLeft=1000\nMSTSDir=\"" +
                           written + "\"\n");
    const ProgramResult result = Cli({"consists"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Only One\n");
    EXPECT_EQ(Cli({"consists", "--msts", kDemo}).out, kDemoConsists) << "the option comes first";
}

TEST_F(VantorCliTest, UsageErrorsExitTwoWithAMessage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--msts", kDemo},
        {"frobnicate"},
        {"stock", "a", "b"},
        {"routes", "x", "y"},
        {"consists", "--msts"},
        {"--frob", "stock"},
        {"--msts", kDemo, "stock", "-x"},
        {"Stock", "--msts", kDemo},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const ProgramResult result = Cli(cases[i]);
        EXPECT_EQ(result.exitCode, 2) << "case " << i;
        EXPECT_EQ(result.out, "") << "case " << i;
        EXPECT_NE(result.err.find("vantor-cli: "), std::string::npos) << "case " << i;
    }
}

TEST_F(VantorCliTest, HelpDescribesCommandsAndOptions) {
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--help"}, {"stock", "-h"}, {"help"}}) {
        const ProgramResult help = Cli(arguments);
        EXPECT_EQ(help.exitCode, 0);
        for (const char* word :
             {"routes", "consists", "stock", "--msts", "FILTER", "MSTSDir", "consist show",
              "consist edit", "--save-as", "--add", "--backward", "check all-stock", "--json"}) {
            EXPECT_NE(help.out.find(word), std::string::npos) << word;
        }
    }
}

}  // namespace
