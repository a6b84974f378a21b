#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "TempFolder.h"

namespace {

using testing_support::ProgramResult;
using testing_support::ScopedEnvironment;
using testing_support::TempFolder;

const std::string kDemo = std::string(VANTOR_SOURCE_DIR) + "/demo";

// Returns the demo installation folder, "\" and a relative Windows path, as the
// checks build paths.
std::string Demo(const std::string& relative) {
    return kDemo + "\\" + relative;
}

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return testing_support::RunProgram(VANTOR_CLI, arguments);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

class VantorCliCheckTest : public testing::Test {
protected:
    TempFolder m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", (m_home.Path() / "config").string()};
    ScopedEnvironment m_wine{"WINEPREFIX", (m_home.Path() / "wine").string()};
};

TEST_F(VantorCliCheckTest, EveryDeliberateFaultOfTheDemoIsFound) {
    struct Row {
        const char* fault;
        std::vector<std::string> arguments;
        std::string line;
    };
    const std::string trainset = "Trains\\Trainset\\";
    const std::vector<Row> rows = {
        {"1 Tanker names a missing shape",
         {"check", "stock", kDemo + "/Trains/Trainset/Tanker/Tanker.wag"},
         "ERROR: " + Demo(trainset + "Tanker\\Tanker.wag") + " references missing file " +
             Demo(trainset + "Tanker\\Tanker.s")},
        {"2 DD40B names a missing cab view",
         {"check", "stock", kDemo + "/Trains/Trainset/Demo Diesel/DD40B.eng"},
         "ERROR: " + Demo(trainset + "Demo Diesel\\DD40B.eng") + " references missing file " +
             Demo(trainset + "Demo Diesel\\Cabview\\DD40B.cvf")},
        {"3 the DD40 cab view names a missing image",
         {"check", "stock", kDemo + "/Trains/Trainset/Demo Diesel/DD40.eng"},
         "ERROR: " + Demo(trainset + "Demo Diesel\\Cabview\\DD40.cvf") +
             " references missing file " + Demo(trainset + "Demo Diesel\\Cabview\\DD40_Brake.ace")},
        {"4 GP38b's Engine section names GP38",
         {"check", "stock", kDemo + "/Trains/Trainset/GP38/GP38b.eng"},
         "ERROR: Engine and wagon names referenced by " + Demo(trainset + "GP38\\GP38b.eng") +
             " appears CORRUPT"},
        {"5 the red boxcar's thumbnail is missing",
         {"check", "stock", kDemo + "/Trains/Trainset/Boxcar/Boxcar40Red.wag"},
         "ERROR: " + Demo(trainset + "Boxcar\\Boxcar40Red.wag") + " references missing file " +
             Demo(trainset + "Boxcar\\Boxcar40Red_Thumb.ace")},
        {"6 HopperLoaded.sms names a missing sound",
         {"check", "stock", kDemo + "/Trains/Trainset/Hopper/HopperLoaded.wag"},
         "ERROR: " + Demo(trainset + "Hopper\\Sound\\HopperLoaded.sms") +
             " references missing file " +
             Demo(trainset + "Hopper\\Sound\\HopperLoaded_Squeal.wav")},
        {"7 Hopper.s names a missing texture",
         {"check", "shape", kDemo + "/Trains/Trainset/Hopper/Hopper.s"},
         "ERROR: " + Demo(trainset + "Hopper\\Hopper.s") + " references missing file " +
             Demo(trainset + "Hopper\\HopperChute.ace")},
        {"8 Mixed Goods names a wagon that is not installed",
         {"check", "consist", "Mixed Goods"},
         "ERROR: " + Demo("Trains\\Consists\\Mixed Goods.con") + " references missing file " +
             Demo(trainset + "Flatcar\\Flatcar60.wag")},
        {"9 DV_Shed lacks a WinterSnow texture",
         {"check", "shape", kDemo + "/Routes/DemoVal/SHAPES/DV_Shed.s"},
         "ERROR: " + Demo("Routes\\DemoVal\\SHAPES\\DV_Shed.s") + " references missing file " +
             Demo("Routes\\DemoVal\\SHAPES\\..\\Textures\\WinterSnow\\DV_ShedRoof.ace")},
        {"10 DV_Platform declares 2 images and lists 1",
         {"check", "shape", kDemo + "/Routes/DemoVal/SHAPES/DV_Platform.s"},
         "ERROR: Image count referenced by " + Demo("Routes\\DemoVal\\SHAPES\\DV_Platform.s") +
             " is SUSPECT due to problems with dependent files"},
        {"11 HB_Crane has no .sd file",
         {"check", "shape", kDemo + "/Routes/Harbour/SHAPES/HB_Crane.s"},
         "ERROR: " + Demo("Routes\\Harbour\\SHAPES\\HB_Crane.s") + " references missing file " +
             Demo("Routes\\Harbour\\SHAPES\\HB_Crane.sd")},
        {"12 HB_Warehouse.sd holds the broken value 256",
         {"check", "shape", kDemo + "/Routes/Harbour/SHAPES/HB_Warehouse.s"},
         "ERROR: Broken ESD_Alternative_Texture setting of 256 referenced by " +
             Demo("Routes\\Harbour\\SHAPES\\HB_Warehouse.s") +
             " is SUSPECT due to problems with dependent files"},
        {"13 HB_Bollard names a missing texture",
         {"check", "shape", kDemo + "/Routes/Harbour/SHAPES/HB_Bollard.s"},
         "ERROR: " + Demo("Routes\\Harbour\\SHAPES\\HB_Bollard.s") + " references missing file " +
             Demo("Routes\\Harbour\\SHAPES\\..\\Textures\\HB_Bollard.ace")},
    };
    for (const Row& row : rows) {
        std::vector<std::string> arguments = {"--msts", kDemo};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const ProgramResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 1) << row.fault << ": " << result.err;
        const auto lines = Lines(result.out);
        EXPECT_NE(std::find(lines.begin(), lines.end(), row.line), lines.end()) << row.fault << "\n"
                                                                                << result.out;
    }
}

TEST_F(VantorCliCheckTest, CheckAllStockOfTheDemo) {
    const std::string trainset = "Trains\\Trainset\\";
    const ProgramResult result = Cli({"check", "all-stock", "--msts", kDemo});
    EXPECT_EQ(result.exitCode, 1);
    const auto lines = Lines(result.out);
    // Faults 1 to 6 (two lines each for 3 and 6: the sub-check's summary); the
    // shared sound reached through ".." and the names in other letter case are found.
    EXPECT_EQ(lines.size(), 8U) << result.out;
    EXPECT_EQ(lines.back(), "ERROR: " + Demo(trainset + "Tanker\\Tanker.wag") +
                                " references missing file " + Demo(trainset + "Tanker\\Tanker.s"));
    EXPECT_EQ(result.err, "") << "progress only with --progress";

    const ProgramResult progress = Cli({"--progress", "--msts", kDemo, "check", "all-stock"});
    const auto texts = Lines(progress.err);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Checking your TS Installation");
    EXPECT_EQ(texts[1], "Checking (1 of 10) " + Demo(trainset + "Boxcar\\Boxcar40.wag"));
    EXPECT_EQ(texts.back(), "TS Installation check complete");
    EXPECT_EQ(progress.out, result.out);
}

TEST_F(VantorCliCheckTest, CleanChecksExitZero) {
    const std::vector<std::vector<std::string>> rows = {
        {"check", "consist", "Coal Drag"},  // its folder "Demo Diesel" is written in quotes
        {"check", "consist", kDemo + "/Trains/Consists/Empty Train.con"},
        {"check", "shape", kDemo + "/Routes/DemoVal/SHAPES/DV_Signalbox.s"},
        {"check", "stock", kDemo + "/Trains/Trainset/GP38/GP38.eng"},
        {"check", "stock-in-consists", kDemo + "/Trains/Trainset/Hopper/Hopper.wag"},
        {"check", "stock-in-route", kDemo + "/Trains/Trainset/Boxcar/Boxcar40.wag", "Harbour"},
        {"check", "consist-in-route", "DemoVal", "Coal Drag"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> arguments = {"--msts", kDemo};
        arguments.insert(arguments.end(), row.begin(), row.end());
        const ProgramResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 0) << row[1] << " " << row[2] << "\n" << result.out;
        EXPECT_EQ(result.out.find("ERROR: "), std::string::npos) << row[2];
    }
    const ProgramResult coal =
        Cli({"--msts", kDemo, "check", "consist-in-route", "DemoVal", "Coal Drag"});
    EXPECT_EQ(coal.out, "INFO: " + Demo("Routes\\DemoVal\\Services\\Coal Empties.srv") +
                            " references file " + Demo("Trains\\Consists\\Coal Drag.con") + "\n");
    const ProgramResult hoppers = Cli({"--msts", kDemo, "check", "stock-in-consists",
                                       kDemo + "/Trains/Trainset/Hopper/Hopper.wag"});
    EXPECT_EQ(Lines(hoppers.out).size(), 3U) << "Coal Drag, Mixed Goods and Transfer, once each";
}

TEST_F(VantorCliCheckTest, JsonGivesTheRawEntries) {
    const ProgramResult result =
        Cli({"check", "stock", kDemo + "/Trains/Trainset/Hopper/HopperLoaded.wag", "--json",
             "--msts", kDemo});
    EXPECT_EQ(result.exitCode, 1);
    const auto entries = nlohmann::json::parse(result.out);
    const std::string sms = Demo("Trains\\Trainset\\Hopper\\Sound\\HopperLoaded.sms");
    const nlohmann::json expected = nlohmann::json::array(
        {{{"code", 6},
          {"file", sms},
          {"reference", Demo("Trains\\Trainset\\Hopper\\Sound\\HopperLoaded_Squeal.wav")}},
         {{"code", 5}, {"file", sms}, {"reference", ""}}});
    EXPECT_EQ(entries, expected);

    const ProgramResult clean =
        Cli({"--json", "--msts", kDemo, "check", "consist", "Light Engine"});
    EXPECT_EQ(clean.exitCode, 0);
    const auto info = nlohmann::json::parse(clean.out);
    ASSERT_EQ(info.size(), 2U);
    EXPECT_EQ(info[0]["code"], 7);
}

TEST_F(VantorCliCheckTest, FileArgumentsInEitherFormAndOptionsAnywhere) {
    const std::string reference =
        Cli({"--msts", kDemo, "check", "stock", kDemo + "/Trains/Trainset/GP38/GP38b.eng"}).out;
    ASSERT_NE(reference, "");
    const std::vector<std::vector<std::string>> rows = {
        {"--msts", kDemo, "check", "stock", Demo("Trains\\Trainset\\GP38\\GP38b.eng")},
        {"check", "stock", kDemo + "/Trains/Trainset/GP38/GP38b.eng", "--msts", kDemo},
        {"check", "--msts", kDemo, "stock", kDemo + "/Trains/Trainset/GP38/GP38b.eng"},
        {"--msts", kDemo + "/", "check", "stock", kDemo + "/Trains/Trainset/GP38/GP38b.eng"},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ProgramResult result = Cli(rows[i]);
        EXPECT_EQ(result.exitCode, 1) << i;
        if (i < 3) {
            EXPECT_EQ(result.out, reference) << "form " << i;
        } else {
            EXPECT_NE(result.out.find("GP38b.eng appears CORRUPT"), std::string::npos)
                << result.out;
        }
    }
}

TEST_F(VantorCliCheckTest, UsageErrors) {
    const std::vector<std::vector<std::string>> rows = {
        {"--msts", kDemo, "check", "stock"},
        {"--msts", kDemo, "check", "consist-in-route", "DemoVal"},
        {"--msts", kDemo, "check", "all-stock", "extra"},
        {"--msts", kDemo, "check", "nothing"},
    };
    for (const auto& row : rows) {
        const ProgramResult result = Cli(row);
        EXPECT_EQ(result.exitCode, 2) << row.back();
        EXPECT_EQ(result.out, "") << row.back();
    }
    const ProgramResult missing =
        Cli({"--msts", kDemo, "check", "consist-in-route", "Nowhere", "X"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "ERROR: Route Nowhere is MISSING\n");
}

}  // namespace
