#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "InProcessCli.h"
#include "RunProgram.h"
#include "TempFolder.h"

namespace {

using testing::HasSubstr;
using testing_support::MakeFile;
using testing_support::ProgramResult;
using testing_support::ScopedEnvironment;
using testing_support::TempFolder;

const std::string kDemo = std::string(VANTOR_SOURCE_DIR) + "/demo";

// Returns the demo installation folder, "\" and a relative Windows path, as the
// checks build paths.
std::string Demo(const std::string& relative) {
    return kDemo + "\\" + relative;
}

// Returns the report line of a file that references a missing file, both given
// below the demo folder.
std::string Missing(const std::string& file, const std::string& reference) {
    return "ERROR: " + Demo(file) + " references missing file " + Demo(reference);
}

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return testing_support::RunCliInProcess(arguments);
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
        const char* check;
        std::string file;  // given as a path below the demo folder, or a consist's name
        std::string line;
    };
    const std::string stock = "Trains\\Trainset\\";
    const std::string valley = "Routes\\DemoVal\\SHAPES\\";
    const std::string harbour = "Routes\\Harbour\\SHAPES\\";
    const std::string suspect = " is SUSPECT due to problems with dependent files";
    const Row rows[] = {
        {"1 Tanker names a missing shape", "stock", stock + "Tanker\\Tanker.wag",
         Missing(stock + "Tanker\\Tanker.wag", stock + "Tanker\\Tanker.s")},
        {"2 DD40B names a missing cab view", "stock", stock + "Demo Diesel\\DD40B.eng",
         Missing(stock + "Demo Diesel\\DD40B.eng", stock + "Demo Diesel\\Cabview\\DD40B.cvf")},
        {"3 the DD40 cab view names a missing image", "stock", stock + "Demo Diesel\\DD40.eng",
         Missing(stock + "Demo Diesel\\Cabview\\DD40.cvf",
                 stock + "Demo Diesel\\Cabview\\DD40_Brake.ace")},
        {"4 GP38b's Engine section names GP38", "stock", stock + "GP38\\GP38b.eng",
         "ERROR: Engine and wagon names referenced by " + Demo(stock + "GP38\\GP38b.eng") +
             " appears CORRUPT"},
        {"5 the red boxcar's thumbnail is missing", "stock", stock + "Boxcar\\Boxcar40Red.wag",
         Missing(stock + "Boxcar\\Boxcar40Red.wag", stock + "Boxcar\\Boxcar40Red_Thumb.ace")},
        {"6 HopperLoaded.sms names a missing sound", "stock", stock + "Hopper\\HopperLoaded.wag",
         Missing(stock + "Hopper\\Sound\\HopperLoaded.sms",
                 stock + "Hopper\\Sound\\HopperLoaded_Squeal.wav")},
        {"7 Hopper.s names a missing texture", "shape", stock + "Hopper\\Hopper.s",
         Missing(stock + "Hopper\\Hopper.s", stock + "Hopper\\HopperChute.ace")},
        {"8 Mixed Goods names a wagon that is not installed", "consist", "Mixed Goods",
         Missing("Trains\\Consists\\Mixed Goods.con", stock + "Flatcar\\Flatcar60.wag")},
        {"9 DV_Shed lacks a WinterSnow texture", "shape", valley + "DV_Shed.s",
         Missing(valley + "DV_Shed.s", valley + "..\\Textures\\WinterSnow\\DV_ShedRoof.ace")},
        {"10 DV_Platform declares 2 images and lists 1", "shape", valley + "DV_Platform.s",
         "ERROR: Image count referenced by " + Demo(valley + "DV_Platform.s") + suspect},
        {"11 HB_Crane has no .sd file", "shape", harbour + "HB_Crane.s",
         Missing(harbour + "HB_Crane.s", harbour + "HB_Crane.sd")},
        {"12 HB_Warehouse.sd holds the broken value 256", "shape", harbour + "HB_Warehouse.s",
         "ERROR: Broken ESD_Alternative_Texture setting of 256 referenced by " +
             Demo(harbour + "HB_Warehouse.s") + suspect},
        {"13 HB_Bollard names a missing texture", "shape", harbour + "HB_Bollard.s",
         Missing(harbour + "HB_Bollard.s", harbour + "..\\Textures\\HB_Bollard.ace")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        // Files are given as a user types them, with "/" between the names.
        std::string file = row.file;
        std::replace(file.begin(), file.end(), '\\', '/');
        const bool consist = std::string(row.check) == "consist";
        const ProgramResult result =
            Cli({"--msts", kDemo, "check", row.check, consist ? file : kDemo + "/" + file});
        EXPECT_EQ(result.exitCode, 1) << result.err;
        const auto lines = Lines(result.out);
        EXPECT_NE(std::find(lines.begin(), lines.end(), row.line), lines.end()) << result.out;
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
    EXPECT_EQ(lines.back(),
              Missing(trainset + "Tanker\\Tanker.wag", trainset + "Tanker\\Tanker.s"));
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
        {"check", "shape", kDemo + "/Routes/DemoVal/SHAPES/DV_Signalbox.s"},
        {"check", "stock-in-route", kDemo + "/Trains/Trainset/Boxcar/Boxcar40.wag", "Harbour"},
        {"check", "stock-in-consists", kDemo + "/Trains/Trainset/Hopper/Hopper.wag"},
        {"check", "consist-in-route", "DemoVal", "Coal Drag"},
    };
    std::vector<std::string> outs;
    for (const auto& row : rows) {
        SCOPED_TRACE(row[1] + " " + row[2]);
        std::vector<std::string> arguments = {"--msts", kDemo};
        arguments.insert(arguments.end(), row.begin(), row.end());
        const ProgramResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 0) << result.out;
        EXPECT_EQ(result.out.find("ERROR: "), std::string::npos);
        outs.push_back(result.out);
    }
    EXPECT_EQ(Lines(outs[3]).size(), 3U) << "Coal Drag, Mixed Goods and Transfer, once each";
    EXPECT_EQ(outs[4], "INFO: " + Demo("Routes\\DemoVal\\Services\\Coal Empties.srv") +
                           " references file " + Demo("Trains\\Consists\\Coal Drag.con") + "\n");
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

    // A file that could not be read is the finding's file; why follows it.
    TempFolder folder;
    MakeFile(folder.Path() / "Trains" / "Consists" / "Cut.con",
             "Train ( TrainCfg ( Cut MaxVelocity ( 1 2 ) Durability ( 1 ) Wagon ( ) ) )");
    const ProgramResult cut =
        Cli({"--msts", folder.Path().string(), "--json", "check", "consist", "Cut"});
    const std::string file = folder.Path().string() + "\\Trains\\Consists\\Cut.con";
    const auto found = nlohmann::json::parse(cut.out);
    ASSERT_EQ(found.size(), 1U) << cut.out;
    EXPECT_EQ(found[0]["file"], file);
    EXPECT_EQ(found[0]["reason"].get<std::string>().rfind("Error 91 - ", 0), 0U) << cut.out;
    const ProgramResult line = Cli({"--msts", folder.Path().string(), "check", "consist", "Cut"});
    EXPECT_EQ(line.out.rfind("ERROR: " + file + " appears CORRUPT (Error 91 - ", 0), 0U)
        << line.out;
}

// A file given in the Windows form, and an installation folder with a last "/"; the
// faults above are given with "/".
TEST_F(VantorCliCheckTest, FileArgumentsInEitherForm) {
    const std::string gp38b = "Trains\\Trainset\\GP38\\GP38b.eng";
    const std::string corrupt = "GP38b.eng appears CORRUPT";
    EXPECT_THAT(Cli({"--msts", kDemo, "check", "stock", Demo(gp38b)}).out, HasSubstr(corrupt));
    const ProgramResult slashed =
        Cli({"--msts", kDemo + "/", "check", "stock", kDemo + "/Trains/Trainset/GP38/GP38b.eng"});
    EXPECT_EQ(slashed.exitCode, 1);
    EXPECT_THAT(slashed.out, HasSubstr(corrupt));
}

TEST_F(VantorCliCheckTest, UsageErrors) {
    const std::vector<std::vector<std::string>> rows = {
        {"--msts", kDemo, "check", "stock"},
        {"--msts", kDemo, "check", "consist-in-route", "DemoVal"},
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
