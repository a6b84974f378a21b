#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "CheckInstallation.h"
#include "TestInstallation.h"
#include "platform/Paths.h"
#include "validation/TSValidation.h"

namespace {

using validation_tests::TestInstallation;
using vantor::TSValidation;
using Entries = std::vector<std::string>;

// One vehicle of a consist: "Engine" or "Wagon" and the text of its Data item.
struct Vehicle {
    std::string kind;
    std::string data;
};

// Returns the lines of a TrainCfg item holding vehicles, indented by depth tabs.
std::vector<std::string> TrainCfgLines(const std::vector<Vehicle>& vehicles, int depth) {
    const std::string tabs(static_cast<std::size_t>(depth), '\t');
    std::vector<std::string> lines = {tabs + "TrainCfg ( Test", tabs + "\tName ( Test )",
                                      tabs + "\tMaxVelocity ( 40 1 )"};
    int uid = 1;
    for (const Vehicle& vehicle : vehicles) {
        lines.push_back(tabs + "\t" + vehicle.kind + " (");
        lines.push_back(tabs + "\t\tUiD ( " + std::to_string(uid++) + " )");
        if (!vehicle.data.empty()) {
            lines.push_back(tabs + "\t\t" + vehicle.kind + "Data ( " + vehicle.data + " )");
        }
        lines.push_back(tabs + "\t)");
    }
    lines.push_back(tabs + ")");
    return lines;
}

void WriteLines(const TestInstallation& install, std::string_view relative,
                const std::vector<std::string>& lines) {
    std::string text = "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n";
    for (const std::string& line : lines) {
        text.append(line).append("\r\n");
    }
    install.Bytes(relative, text);
}

void WriteConsist(const TestInstallation& install, const std::string& name,
                  const std::vector<Vehicle>& vehicles) {
    std::vector<std::string> lines = {"Train ("};
    for (const std::string& line : TrainCfgLines(vehicles, 1)) {
        lines.push_back(line);
    }
    lines.push_back(")");
    WriteLines(install, "Trains/Consists/" + name + ".con", lines);
}

// Installs the engines GP38 (folder GP38) and DD40 (folder "Demo Diesel") and the
// wagon Boxcar, each with its shape.
void WriteStock(const TestInstallation& install) {
    install.Sim("Trains/Trainset/GP38/GP38.eng",
                {"Wagon ( GP38 WagonShape ( GP38.s ) )", "Engine ( GP38 )"});
    install.Touch("Trains/Trainset/GP38/GP38.s");
    install.Sim("Trains/Trainset/Demo Diesel/DD40.eng",
                {"Wagon ( DD40 WagonShape ( DD40.s ) )", "Engine ( DD40 )"});
    install.Touch("Trains/Trainset/Demo Diesel/DD40.s");
    install.Sim("Trains/Trainset/Boxcar/Boxcar.wag",
                {"Wagon ( Boxcar WagonShape ( \"Boxcar.s\" ) )"});
    install.Touch("Trains/Trainset/Boxcar/Boxcar.s");
}

class ConsistChecksTest : public testing::Test {
protected:
    ConsistChecksTest() { WriteStock(m_install); }
    [[nodiscard]] std::string Consist(const std::string& name) const {
        return m_install.Path("Trains\\Consists\\" + name + ".con");
    }
    [[nodiscard]] std::string Stock(const std::string& folderAndFile) const {
        return m_install.Path("Trains\\Trainset\\" + folderAndFile);
    }
    TestInstallation m_install;
};

TEST_F(ConsistChecksTest, CheckConsistFindings) {
    const std::string gp38 = Stock("GP38\\GP38.eng");
    const std::string boxcar = Stock("Boxcar\\Boxcar.wag");
    struct Row {
        const char* fault;
        std::vector<Vehicle> vehicles;
        TSValidation::Status status;
        Entries entries;  // "{C}" stands for the consist
    };
    const std::vector<Row> rows = {
        {"every vehicle present, one twice: two entries per vehicle",
         {{"Engine", "GP38 GP38"}, {"Wagon", "Boxcar Boxcar"}, {"Wagon", "Boxcar Boxcar"}},
         0,
         {"7|{C}|" + gp38, "7|" + gp38 + "|" + Stock("GP38\\GP38.s"), "7|{C}|" + boxcar,
          "7|" + boxcar + "|" + Stock("Boxcar\\Boxcar.s"), "7|{C}|" + boxcar,
          "7|" + boxcar + "|" + Stock("Boxcar\\Boxcar.s")}},
        {"missing wagon: no shape entry for it",
         {{"Wagon", "Flatcar Flatcar"}},
         6,
         {"6|{C}|" + Stock("Flatcar\\Flatcar.wag")}},
        {"folder with a blank, written in quotes, is joined again",
         {{"Engine", "DD40 \"Demo Diesel\""}},
         0,
         {"7|{C}|" + Stock("Demo Diesel\\DD40.eng"),
          "7|" + Stock("Demo Diesel\\DD40.eng") + "|" + Stock("Demo Diesel\\DD40.s")}},
        {"folder named in other letter case is found",
         {{"Engine", "GP38 gp38"}},
         0,
         {"7|{C}|" + Stock("gp38\\GP38.eng"),
          "7|" + Stock("gp38\\GP38.eng") + "|" + Stock("gp38\\GP38.s")}},
    };
    for (const Row& row : rows) {
        WriteConsist(m_install, "Row", row.vehicles);
        TSValidation validator(m_install.Folder());
        EXPECT_EQ(validator.CheckConsist(Consist("Row")), row.status) << row.fault;
        Entries expected;
        for (std::string entry : row.entries) {
            if (const auto at = entry.find("{C}"); at != std::string::npos) {
                entry.replace(at, 3, Consist("Row"));
            }
            expected.push_back(entry);
        }
        EXPECT_EQ(validator.Errors(), expected) << row.fault;
    }
}

TEST_F(ConsistChecksTest, CheckConsistOnBrokenFiles) {
    const std::string consist = Consist("Broken");
    struct Row {
        const char* fault;
        std::vector<std::string> lines;
        TSValidation::Status status;
        Entries entries;
    };
    const std::vector<Row> rows = {
        {"no TrainCfg item", {"Train ( )"}, 1, {"1|" + consist + "|TrainCfg section"}},
        {"no Train item", {"Nothing at all"}, 1, {"1|" + consist + "|Train section"}},
    };
    for (const Row& row : rows) {
        WriteLines(m_install, "Trains/Consists/Broken.con", row.lines);
        TSValidation validator(m_install.Folder());
        EXPECT_EQ(validator.CheckConsist(consist), row.status) << row.fault;
        EXPECT_EQ(validator.Errors(), row.entries) << row.fault;
    }

    TSValidation validator(m_install.Folder());
    EXPECT_EQ(validator.CheckConsist(Consist("Absent")), TSValidation::IsMissing());
    EXPECT_EQ(validator.Errors(), Entries{"1|" + Consist("Absent") + "|"});
}

TEST_F(ConsistChecksTest, RunTimeErrorEndsTheConsistCheckWithItsText) {
    WriteConsist(m_install, "NoData", {{"Engine", "GP38 GP38"}, {"Wagon", ""}, {"Wagon", "X X"}});
    TSValidation validator(m_install.Folder());
    EXPECT_EQ(validator.CheckConsist(Consist("NoData")), TSValidation::IsCorrupt());
    ASSERT_EQ(validator.Errors().size(), 3U) << "the findings before the error stay";
    const std::string& last = validator.Errors().back();
    EXPECT_TRUE(last.starts_with("3|Error 91 - ")) << last;
    EXPECT_TRUE(last.ends_with("|" + Consist("NoData"))) << last;
}

TEST_F(ConsistChecksTest, CheckConsistOnStockWithoutItsShapeItem) {
    m_install.Sim("Trains/Trainset/Boxcar/Boxcar.wag", {"Wagon ( Boxcar Size ( 1 2 3 ) )"});
    m_install.Sim("Trains/Trainset/GP38/GP38.eng", {"Engine ( GP38 )"});
    WriteConsist(m_install, "Shapeless", {{"Wagon", "Boxcar Boxcar"}, {"Engine", "GP38 GP38"}});
    TSValidation validator(m_install.Folder());
    EXPECT_EQ(validator.CheckConsist(Consist("Shapeless")), TSValidation::IsCorrupt());
    const Entries expected = {
        "7|" + Consist("Shapeless") + "|" + Stock("Boxcar\\Boxcar.wag"),
        "1|" + Stock("Boxcar\\Boxcar.wag") + "|WagonShape section",
        "7|" + Consist("Shapeless") + "|" + Stock("GP38\\GP38.eng"),
        "3|" + Stock("GP38\\GP38.eng") + "|",
    };
    EXPECT_EQ(validator.Errors(), expected);
}

TEST_F(ConsistChecksTest, CheckStockInConsistsExaminesEveryConsistInFull) {
    WriteConsist(m_install, "A First", {{"Engine", "GP38 GP38"}, {"Wagon", "Boxcar Boxcar"}});
    WriteConsist(m_install, "B Second", {{"Wagon", "Boxcar Boxcar"}, {"Engine", "GP38 GP38"}});
    WriteConsist(m_install, "C Twice", {{"Engine", "GP38 GP38"}, {"Engine", "GP38 GP38"}});
    WriteConsist(m_install, "D Lower", {{"Engine", "GP38 gp38"}});
    WriteConsist(m_install, "E Diesel",
                 {{"Wagon", "Boxcar Boxcar"}, {"Engine", "DD40 \"Demo Diesel\""}});
    WriteLines(m_install, "Trains/Consists/F Broken.con", {"Train ( )"});
    WriteConsist(m_install, "G NoData", {{"Wagon", ""}});
    WriteConsist(m_install, "H Last", {{"Wagon", "Boxcar Boxcar"}, {"Engine", "GP38 GP38"}});

    TSValidation validator(m_install.Folder());
    std::vector<std::string> progress;
    validation_tests::RecordProgress(validator, progress);
    const std::string gp38 = Stock("GP38\\GP38.eng");
    EXPECT_EQ(validator.CheckStockInConsists(gp38), TSValidation::IsCorrupt())
        << "the broken consist's finding";
    ASSERT_EQ(validator.Errors().size(), 6U);
    EXPECT_EQ(validator.Errors()[0], "7|" + Consist("A First") + "|" + gp38);
    EXPECT_EQ(validator.Errors()[1], "7|" + Consist("B Second") + "|" + gp38)
        << "a later consist is examined past its first vehicle";
    EXPECT_EQ(validator.Errors()[2], "7|" + Consist("C Twice") + "|" + gp38)
        << "reported once however often it holds the stock";
    EXPECT_EQ(validator.Errors()[3], "1|" + Consist("F Broken") + "|TrainCfg section");
    EXPECT_TRUE(validator.Errors()[4].starts_with("3|Error 91 - ")) << validator.Errors()[4];
    EXPECT_EQ(validator.Errors()[5], "7|" + Consist("H Last") + "|" + gp38);
    EXPECT_EQ(progress.front(), "Checking A First.con");
    EXPECT_EQ(progress.back(), "Done");
    EXPECT_EQ(progress.size(), 9U) << "one text per consist, then Done";

    TSValidation diesel(m_install.Folder());
    diesel.CheckStockInConsists(Stock("Demo Diesel\\DD40.eng"));
    EXPECT_EQ(diesel.Errors().front(),
              "7|" + Consist("E Diesel") + "|" + Stock("Demo Diesel\\DD40.eng"))
        << "a quoted folder with a blank matches";
}

TEST_F(ConsistChecksTest, CheckStockInConsistsWithoutUse) {
    WriteConsist(m_install, "Only", {{"Engine", "GP38 GP38"}});
    TSValidation validator(m_install.Folder());
    const std::string boxcar = Stock("Boxcar\\Boxcar.wag");
    EXPECT_EQ(validator.CheckStockInConsists(boxcar), TSValidation::IsMissing());
    EXPECT_EQ(validation_tests::Lines(validator),
              Entries{"ERROR: " + boxcar + " referenced by all consists is MISSING"});

    WriteConsist(m_install, "Other", {{"Wagon", "Boxcar Boxcar"}});
    WriteConsist(m_install, "Third", {{"Wagon", "Boxcar Boxcar"}});
    TSValidation twice(m_install.Folder());
    EXPECT_EQ(twice.CheckStockInConsists(boxcar), TSValidation::IsValid());
    EXPECT_EQ(twice.Errors().size(), 2U);
}

TEST_F(ConsistChecksTest, CheckConsistUseInRoute) {
    const auto service = [this](const std::string& name, const std::string& config) {
        m_install.Sim("Routes/R/SERVICES/" + name + ".srv",
                      {"Service_Definition ( " + name, "\tTrain_Config ( " + config + " )", ")"});
    };
    service("A Quoted", "\"Two Words\"");
    service("B Lower", "\"two words\"");
    service("C Plain", "Freight");
    m_install.Sim("Routes/R/SERVICES/D NoConfig.srv", {"Service_Definition ( D Name ( x ) )"});
    m_install.Sim("Routes/R/SERVICES/E Wrong.srv", {"Tr_Activity ( )"});
    service("F Again", "\"Two Words\"");

    TSValidation validator(m_install.Folder());
    EXPECT_EQ(validator.CheckConsistUseInRoute("R", "Two Words"), TSValidation::IsMissing());
    const std::string services = m_install.Path("Routes\\R\\Services\\");
    const std::string consist = Consist("Two Words");
    const Entries expected = {
        "7|" + services + "A Quoted.srv|" + consist,
        "1|" + services + "D NoConfig.srv|Train_Config section",
        "1|" + services + "E Wrong.srv|Service_Definition section",
        "7|" + services + "F Again.srv|" + consist,
    };
    EXPECT_EQ(validator.Errors(), expected);

    TSValidation quiet(m_install.Folder());
    quiet.SetVerboseMessages(true);
    std::vector<std::string> messages;
    quiet.OnMessageRaised([&](std::int16_t level, const std::string& text) {
        messages.push_back(std::to_string(level) + " " + text);
    });
    m_install.Remove("Routes/R/SERVICES/D NoConfig.srv");
    m_install.Remove("Routes/R/SERVICES/E Wrong.srv");
    EXPECT_EQ(quiet.CheckConsistUseInRoute("R", "Nobody"), TSValidation::IsValid());
    EXPECT_TRUE(quiet.Errors().empty());
    EXPECT_EQ(messages, std::vector<std::string>{"1 INFO: Nobody referenced by R services is OK"});

    TSValidation missing(m_install.Folder());
    EXPECT_EQ(missing.CheckConsistUseInRoute("XY", "Two Words"), TSValidation::IsMissing());
    EXPECT_EQ(missing.Errors(), Entries{"1|Route XY|"});
}

TEST_F(ConsistChecksTest, CheckStockUseInRoute) {
    const auto object = [](const std::string& type, const std::vector<Vehicle>& vehicles) {
        std::vector<std::string> lines = {"\t\t\tActivityObject (",
                                          "\t\t\t\tObjectType ( " + type + " )",
                                          "\t\t\t\tTrain_Config ("};
        for (const std::string& line : TrainCfgLines(vehicles, 5)) {
            lines.push_back(line);
        }
        lines.push_back("\t\t\t\t)");
        lines.push_back("\t\t\t)");
        return lines;
    };
    const auto activity = [&](const std::string& name,
                              const std::vector<std::vector<std::string>>& objects) {
        std::vector<std::string> lines = {"Tr_Activity (", "\tTr_Activity_File (",
                                          "\t\tActivityObjects ("};
        for (const auto& o : objects) {
            lines.insert(lines.end(), o.begin(), o.end());
        }
        lines.insert(lines.end(), {"\t\t)", "\t)", ")"});
        WriteLines(m_install, "Routes/R/ACTIVITIES/" + name + ".act", lines);
    };
    activity("A Three",
             {object("WagonsList", {{"Engine", "GP38 GP38"}, {"Engine", "GP38 GP38"}}),
              object("WagonsList", {{"Wagon", "Boxcar Boxcar"}, {"Engine", "GP38 GP38"}}),
              object("WagonsList", {{"Engine", "GP38 GP38"}})});
    activity("B Other", {object("Restricted", {{"Engine", "GP38 GP38"}})});
    WriteLines(m_install, "Routes/R/ACTIVITIES/C Quiet.act",
               {"Tr_Activity ( Tr_Activity_File ( ) )"});
    activity("D Diesel", {object("WagonsList", {{"Engine", "DD40 \"Demo Diesel\""}})});

    const std::string gp38 = Stock("GP38\\GP38.eng");
    const std::string activities = m_install.Path("Routes\\R\\Activities\\");
    TSValidation validator(m_install.Folder());
    EXPECT_EQ(validator.CheckStockUseInRoute(gp38, "R"), TSValidation::IsValid());
    EXPECT_EQ(validator.Errors(), Entries(3, "7|" + activities + "A Three.act|" + gp38))
        << "one entry per loose consist; other object types ignored";

    TSValidation diesel(m_install.Folder());
    diesel.CheckStockUseInRoute(Stock("Demo Diesel\\DD40.eng"), "R");
    EXPECT_EQ(diesel.Errors(),
              Entries{"7|" + activities + "D Diesel.act|" + Stock("Demo Diesel\\DD40.eng")});

    TSValidation unused(m_install.Folder());
    EXPECT_EQ(unused.CheckStockUseInRoute(Stock("Caboose\\Caboose.wag"), "R"),
              TSValidation::IsValid());
    EXPECT_TRUE(unused.Errors().empty());

    TSValidation missing(m_install.Folder());
    EXPECT_EQ(missing.CheckStockUseInRoute(gp38, "XY"), TSValidation::IsMissing());
    EXPECT_EQ(missing.Errors(), Entries{"1|Route XY|"});
}

TEST(CheckAllStockTest, ProgressYieldsAndFilter) {
    TestInstallation install;
    WriteStock(install);
    install.Touch("Trains/Trainset/README");
    install.Touch("Trains/Trainset/Boxcar/notes.jpg");
    TSValidation validator(install.Folder());
    std::vector<std::string> progress;
    validation_tests::RecordProgress(validator, progress);
    int yields = 0;
    validator.OnLetEventsRun([&yields] { ++yields; });
    EXPECT_EQ(validator.CheckAllStock("Box*"), TSValidation::IsSuspect());
    const std::string boxcar = install.Path("Trains\\Trainset\\Boxcar\\Boxcar.wag");
    const std::string notes = install.Path("Trains\\Trainset\\Boxcar\\notes.jpg");
    std::vector<std::string> counters;
    for (const std::string& text : progress) {
        if (text.starts_with("Checking (") || text.starts_with("TS ") ||
            text.starts_with("Checking your")) {
            counters.push_back(text);
        }
    }
    EXPECT_EQ(counters, (std::vector<std::string>{
                            "Checking your TS Installation", "Checking (1 of 2) " + boxcar,
                            "Checking (2 of 2) " + notes, "TS Installation check complete"}));
    EXPECT_EQ(yields, 1) << "once per stock folder that passes the filter";
    EXPECT_EQ(validator.Errors().back(), "3|" + notes + "|") << "*.??g takes in .jpg files too";

    TSValidation all(install.Folder());
    int allYields = 0;
    all.OnLetEventsRun([&allYields] { ++allYields; });
    all.CheckAllStock("");
    EXPECT_EQ(allYields, 4) << "Boxcar, Demo Diesel, GP38 and the README entry";
}

TEST(CheckAllStockTest, GeneratedInstallationIsCleanUntilAFileGoes) {
    testing_support::TempFolder folder;
    const auto made = vantor::bench::MakeCheckInstallation(folder.Path(), 12);
    ASSERT_EQ(made.engines + made.wagons, 12);
    TSValidation validator(folder.Path().string());
    EXPECT_EQ(validator.CheckAllStock(""), TSValidation::IsValid());
    EXPECT_EQ(validator.Errors(), Entries{});

    const std::string stock = folder.Path().string() + "\\Trains\\Trainset\\Box car00001";
    std::filesystem::remove(folder.Path() /
                            "Trains/Trainset/Box car00001/SOUND/Box_car00001 Squeal.wav");
    TSValidation again(folder.Path().string());
    EXPECT_EQ(again.CheckAllStock(""), TSValidation::IsSuspect());
    const std::string sms = stock + "\\Sound\\Box_car00001.sms";
    const std::string wav = stock + "\\Sound\\Box_car00001 Squeal.wav";
    EXPECT_EQ(again.Errors(),
              (Entries{"6|" + sms + "|" + wav, "6|" + sms + "|" + wav, "5|" + sms + "|"}))
        << "both triggers of the stream name the file";
}

TEST(CheckAllStockTest, RaisesWhatEachFileRaisesInTheOrderOfTheFiles) {
    // Enough folders that every thread gets many, with faults spread among them.
    testing_support::TempFolder folder;
    const auto made = vantor::bench::MakeCheckInstallation(folder.Path(), 120);
    const std::filesystem::path trainset = folder.Path() / "Trains/Trainset";
    std::vector<std::string> stockFiles;
    int removed = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(trainset)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".wav") && name.find("Roll") != std::string::npos &&
            ++removed % 3 == 0) {
            std::filesystem::remove(entry.path());
        }
    }
    ASSERT_GT(removed, 20);
    const std::string install = folder.Path().string();
    for (const std::string& stockFolder : vantor::platform::ListNames(
             install + "\\Trains\\Trainset\\*.", vantor::platform::EntryTypes::Both)) {
        for (const std::string& name :
             vantor::platform::ListNames(install + "\\Trains\\Trainset\\" + stockFolder + "\\*.??g",
                                         vantor::platform::EntryTypes::Files)) {
            stockFiles.push_back(install + "\\Trains\\Trainset\\" + stockFolder + "\\" + name);
        }
    }
    ASSERT_EQ(stockFiles.size(), static_cast<std::size_t>(made.engines + made.wagons));

    // What checking the files one by one, in order, raises.
    std::vector<std::string> expectedMessages{"Checking your TS Installation"};
    Entries expectedErrors;
    for (std::size_t i = 0; i < stockFiles.size(); ++i) {
        expectedMessages.push_back("Checking (" + std::to_string(i + 1) + " of " +
                                   std::to_string(stockFiles.size()) + ") " + stockFiles[i]);
        TSValidation one(install);
        one.SetVerboseMessages(true);
        one.OnMessageRaised([&expectedMessages](std::int16_t level, const std::string& text) {
            expectedMessages.push_back(std::to_string(level) + text);
        });
        one.CheckStock(stockFiles[i]);
        expectedErrors.insert(expectedErrors.end(), one.Errors().begin(), one.Errors().end());
    }
    expectedMessages.push_back("TS Installation check complete");

    TSValidation all(install);
    all.SetVerboseMessages(true);
    std::vector<std::string> messages;
    std::vector<std::string> raised;
    const auto caller = std::this_thread::get_id();
    bool everyEventOnTheCaller = true;
    all.OnMessageRaised([&](std::int16_t level, const std::string& text) {
        everyEventOnTheCaller = everyEventOnTheCaller && std::this_thread::get_id() == caller;
        messages.push_back(text.starts_with("Checking (") || text.starts_with("TS ") ||
                                   text.starts_with("Checking your")
                               ? text
                               : std::to_string(level) + text);
    });
    all.OnErrorRaised(
        [&](std::int16_t code, const std::string& file, const std::string& reference) {
            everyEventOnTheCaller = everyEventOnTheCaller && std::this_thread::get_id() == caller;
            raised.push_back(std::to_string(code) + "|" + file + "|" + reference);
        });
    EXPECT_EQ(all.CheckAllStock(""), TSValidation::IsSuspect());
    EXPECT_EQ(all.Errors(), expectedErrors);
    EXPECT_EQ(raised, expectedErrors);
    EXPECT_EQ(messages, expectedMessages);
    EXPECT_TRUE(everyEventOnTheCaller);
}

TEST(CheckAllStockTest, MoreThan32767FilesAreCountedAndCheckedInFull) {
    TestInstallation install;
    constexpr int kFiles = 32770;
    const std::filesystem::path folder =
        std::filesystem::path(install.Folder()) / "Trains/Trainset/Many";
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "w%05d.wag", i);
        std::FILE* file = std::fopen((folder / name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    TSValidation validator(install.Folder());
    std::string last;
    validator.OnMessageRaised([&last](std::int16_t, const std::string& text) {
        if (text.starts_with("Checking (")) {
            last = text;
        }
    });
    EXPECT_EQ(validator.CheckAllStock(""), TSValidation::IsSuspect());
    EXPECT_EQ(validator.Errors().size(), static_cast<std::size_t>(kFiles))
        << "every empty file appears corrupt";
    EXPECT_EQ(last,
              "Checking (32770 of 32770) " + install.Path("Trains\\Trainset\\Many\\w32769.wag"));
}

}  // namespace
