#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CheckInstallation.h"
#include "TestInstallation.h"
#include "platform/Paths.h"
#include "validation/TSValidation.h"

namespace {

using validation_tests::Joined;
using validation_tests::Replaced;
using validation_tests::TestInstallation;
using validation_tests::Texts;
using vantor::TSValidation;
using vantor::platform::EntryTypes;
using vantor::platform::ListNames;
using Entries = std::vector<std::string>;

// Returns a TrainCfg item on one line holding vehicles given as
// "Engine GP38 GP38; Wagon Boxcar Boxcar": each vehicle's kind, then the parameters
// of its Data item (none: no Data item).
std::string TrainCfg(const std::string& vehicles) {
    std::string text = "TrainCfg ( Test Name ( Test ) MaxVelocity ( 40 1 )";
    std::istringstream list(vehicles);
    int uid = 0;
    for (std::string vehicle; std::getline(list >> std::ws, vehicle, ';');) {
        const std::size_t blank = std::min(vehicle.find(' '), vehicle.size());
        const std::string kind = vehicle.substr(0, blank);
        text += " " + kind + " ( UiD ( " + std::to_string(++uid) + " )";
        if (blank < vehicle.size()) {
            text += " " + kind + "Data ( " + vehicle.substr(blank + 1) + " )";
        }
        text += " )";
    }
    return text + " )";
}

// Returns the text of a consist file holding vehicles given as for TrainCfg.
std::string Train(const std::string& vehicles) {
    return "Train ( " + TrainCfg(vehicles) + " )";
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

// The stock of WriteStock, and the wagon Shapeless and the engine Bare without
// their shape items.
class ConsistChecksTest : public testing::Test {
protected:
    ConsistChecksTest() {
        WriteStock(m_install);
        m_install.Sim("Trains/Trainset/Shapeless/Shapeless.wag",
                      {"Wagon ( Shapeless Size ( 1 2 3 ) )"});
        m_install.Sim("Trains/Trainset/Bare/Bare.eng", {"Engine ( Bare )"});
    }
    [[nodiscard]] std::string Consist(const std::string& name) const {
        return m_install.Path("Trains\\Consists\\" + name + ".con");
    }
    [[nodiscard]] std::string Stock(const std::string& folderAndFile) const {
        return m_install.Path("Trains\\Trainset\\" + folderAndFile);
    }
    void WriteConsist(const std::string& name, const std::string& text) const {
        m_install.Sim("Trains/Consists/" + name + ".con", {text});
    }
    TestInstallation m_install;
};

TEST_F(ConsistChecksTest, CheckConsistFindings) {
    struct Row {
        const char* fault;
        std::string text;  // of the consist file; empty: no file
        TSValidation::Status status;
        const char* entries;  // {C} the consist, {T} the Trainset folder
    };
    const Row rows[] = {
        {"every vehicle present, one twice: two entries per vehicle",
         Train("Engine GP38 GP38; Wagon Boxcar Boxcar; Wagon Boxcar Boxcar"), 0,
         "7|{C}|{T}GP38\\GP38.eng & 7|{T}GP38\\GP38.eng|{T}GP38\\GP38.s & "
         "7|{C}|{T}Boxcar\\Boxcar.wag & 7|{T}Boxcar\\Boxcar.wag|{T}Boxcar\\Boxcar.s & "
         "7|{C}|{T}Boxcar\\Boxcar.wag & 7|{T}Boxcar\\Boxcar.wag|{T}Boxcar\\Boxcar.s"},
        {"missing wagon: no shape entry for it", Train("Wagon Flatcar Flatcar"), 6,
         "6|{C}|{T}Flatcar\\Flatcar.wag"},
        {"folder with a blank, written in quotes, is joined again",
         Train("Engine DD40 \"Demo Diesel\""), 0,
         "7|{C}|{T}Demo Diesel\\DD40.eng & 7|{T}Demo Diesel\\DD40.eng|{T}Demo Diesel\\DD40.s"},
        {"stock without its Wagon or WagonShape item",
         Train("Wagon Shapeless Shapeless; Engine Bare Bare"), 3,
         "7|{C}|{T}Shapeless\\Shapeless.wag & 1|{T}Shapeless\\Shapeless.wag|WagonShape section & "
         "7|{C}|{T}Bare\\Bare.eng & 3|{T}Bare\\Bare.eng|"},
        {"no TrainCfg item", "Train ( )", 1, "1|{C}|TrainCfg section"},
        {"no consist file", "", 1, "1|{C}|"},
        {"a run-time error ends the check with its text; the findings before it stay",
         Train("Engine GP38 GP38; Wagon; Wagon X X"), 3,
         "7|{C}|{T}GP38\\GP38.eng & 7|{T}GP38\\GP38.eng|{T}GP38\\GP38.s & 3|{C}||Error 91 - Object "
         "variable or With block variable not set (item \"Wagon\" has no \"WagonData\" item)"},
    };
    for (const Row& row : rows) {
        m_install.Remove("Trains/Consists/Row.con");
        if (!row.text.empty()) {
            WriteConsist("Row", row.text);
        }
        TSValidation validator(m_install.Folder());
        EXPECT_EQ(validator.CheckConsist(Consist("Row")), row.status) << row.fault;
        EXPECT_EQ(Joined(validator.Errors()),
                  Replaced(row.entries, {{"{C}", Consist("Row")}, {"{T}", Stock("")}}))
            << row.fault;
    }
}

TEST_F(ConsistChecksTest, CheckStockInConsistsExaminesEveryConsistInFullOrFindsNone) {
    WriteConsist("A First", Train("Engine GP38 GP38; Wagon Boxcar Boxcar"));
    WriteConsist("B Second", Train("Wagon Boxcar Boxcar; Engine GP38 GP38"));
    WriteConsist("C Twice", Train("Engine GP38 GP38; Engine GP38 GP38"));
    WriteConsist("D Lower", Train("Engine GP38 gp38"));
    WriteConsist("E Diesel", Train("Wagon Boxcar Boxcar; Engine DD40 \"Demo Diesel\""));
    WriteConsist("F Broken", "Train ( )");
    WriteConsist("G NoData", Train("Wagon"));

    TSValidation validator(m_install.Folder());
    std::vector<std::string> progress;
    validation_tests::RecordProgress(validator, progress);
    const std::string gp38 = Stock("GP38\\GP38.eng");
    EXPECT_EQ(validator.CheckStockInConsists(gp38), TSValidation::IsCorrupt())
        << "the broken consist's finding";
    // A later consist is examined past its first vehicle; a consist holding the
    // stock twice is reported once; D Lower names another folder.
    EXPECT_EQ(Joined(validator.Errors()),
              Replaced("7|{C}A First.con|{G} & 7|{C}B Second.con|{G} & 7|{C}C Twice.con|{G} & "
                       "1|{C}F Broken.con|TrainCfg section & 3|{C}G NoData.con||Error 91 - Object "
                       "variable or With block variable not set (item \"Wagon\" has no "
                       "\"WagonData\" item)",
                       {{"{C}", m_install.Path("Trains\\Consists\\")}, {"{G}", gp38}}));
    EXPECT_EQ(progress.front(), "Checking A First.con");
    EXPECT_EQ(progress.back(), "Done");
    EXPECT_EQ(progress.size(), 8U) << "one text per consist, then Done";

    TSValidation diesel(m_install.Folder());
    diesel.CheckStockInConsists(Stock("Demo Diesel\\DD40.eng"));
    EXPECT_EQ(Texts(diesel.Errors()).front(),
              "7|" + Consist("E Diesel") + "|" + Stock("Demo Diesel\\DD40.eng"))
        << "a quoted folder with a blank matches";

    // Stock no consist holds is missing, after G NoData's corrupt finding.
    const std::string bare = Stock("Bare\\Bare.eng");
    TSValidation unused(m_install.Folder());
    EXPECT_EQ(unused.CheckStockInConsists(bare), TSValidation::IsMissing());
    EXPECT_EQ(Texts(unused.Errors()).back(), "1|all consists|" + bare);
}

TEST_F(ConsistChecksTest, CheckConsistUseInRoute) {
    const auto service = [this](const std::string& name, const std::string& body) {
        m_install.Sim("Routes/R/SERVICES/" + name + ".srv", {body});
    };
    service("A Quoted", "Service_Definition ( A Train_Config ( \"Two Words\" ) )");
    service("B Lower", "Service_Definition ( B Train_Config ( \"two words\" ) )");
    service("C Plain", "Service_Definition ( C Train_Config ( Freight ) )");
    service("D NoConfig", "Service_Definition ( D Name ( x ) )");
    service("E Wrong", "Tr_Activity ( )");

    TSValidation validator(m_install.Folder());
    EXPECT_EQ(validator.CheckConsistUseInRoute("R", "Two Words"), TSValidation::IsMissing());
    const std::string services = m_install.Path("Routes\\R\\Services\\");
    const std::string consist = Consist("Two Words");
    const Entries expected = {
        "7|" + services + "A Quoted.srv|" + consist,
        "1|" + services + "D NoConfig.srv|Train_Config section",
        "1|" + services + "E Wrong.srv|Service_Definition section",
    };
    EXPECT_EQ(Texts(validator.Errors()), expected);

    TSValidation quiet(m_install.Folder());
    quiet.SetVerboseMessages(true);
    std::vector<std::string> messages;
    quiet.OnMessageRaised([&](std::int16_t level, const std::string& text) {
        messages.push_back(std::to_string(level) + " " + text);
    });
    EXPECT_EQ(quiet.CheckConsistUseInRoute("R", "Nobody"), TSValidation::IsMissing())
        << "a consist no service runs leaves the status of the findings before";
    EXPECT_EQ(messages.back(), "1 INFO: Nobody referenced by R services is OK");

    TSValidation missing(m_install.Folder());
    EXPECT_EQ(missing.CheckConsistUseInRoute("XY", "Two Words"), TSValidation::IsMissing());
    EXPECT_EQ(Texts(missing.Errors()), Entries{"1|Route XY|"});
}

TEST_F(ConsistChecksTest, CheckStockUseInRoute) {
    const auto object = [](const std::string& type, const std::string& vehicles) {
        return "ActivityObject ( ObjectType ( " + type + " ) Train_Config ( " + TrainCfg(vehicles) +
               " ) )";
    };
    const auto activity = [this](const std::string& name, const std::string& objects) {
        m_install.Sim("Routes/R/ACTIVITIES/" + name + ".act",
                      {"Tr_Activity ( Tr_Activity_File ( ActivityObjects ( " + objects + " ) ) )"});
    };
    activity("A Three", object("WagonsList", "Engine GP38 GP38; Engine GP38 GP38") +
                            object("WagonsList", "Wagon Boxcar Boxcar; Engine GP38 GP38") +
                            object("WagonsList", "Engine GP38 GP38"));
    activity("B Other", object("Restricted", "Engine GP38 GP38"));
    m_install.Sim("Routes/R/ACTIVITIES/C Quiet.act", {"Tr_Activity ( Tr_Activity_File ( ) )"});

    const std::string gp38 = Stock("GP38\\GP38.eng");
    const std::string activities = m_install.Path("Routes\\R\\Activities\\");
    TSValidation validator(m_install.Folder());
    EXPECT_EQ(validator.CheckStockUseInRoute(gp38, "R"), TSValidation::IsValid());
    EXPECT_EQ(Texts(validator.Errors()), Entries(3, "7|" + activities + "A Three.act|" + gp38))
        << "one entry per loose consist; other object types ignored";

    TSValidation missing(m_install.Folder());
    EXPECT_EQ(missing.CheckStockUseInRoute(gp38, "XY"), TSValidation::IsMissing());
    EXPECT_EQ(Texts(missing.Errors()), Entries{"1|Route XY|"});
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
    EXPECT_EQ(progress, (std::vector<std::string>{
                            "Checking your TS Installation", "Checking (1 of 2) " + boxcar,
                            "Checking " + boxcar, "Checking shape files", "Checking sound files",
                            "Checking engine related files", "Checking (2 of 2) " + notes,
                            "Checking " + notes, "TS Installation check complete"}));
    EXPECT_EQ(yields, 1) << "once per stock folder that passes the filter";
    EXPECT_EQ(Texts(validator.Errors()).back(), "3|" + notes + "|")
        << "*.??g takes in .jpg files too";
}

TEST(CheckAllStockTest, RaisesWhatEachFileRaisesInTheOrderOfTheFiles) {
    // Enough folders that every thread gets many, with faults spread among them.
    testing_support::TempFolder folder;
    vantor::bench::MakeCheckInstallation(folder.Path(), 120);
    const std::string install = folder.Path().string();
    int removed = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(folder.Path() / "Trains/Trainset")) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".wav") && name.find("Roll") != std::string::npos &&
            ++removed % 3 == 0) {
            std::filesystem::remove(entry.path());
        }
    }
    ASSERT_GT(removed, 20);

    // Every event is recorded as a text, and whether it came on the calling thread.
    const auto caller = std::this_thread::get_id();
    bool everyEventOnTheCaller = true;
    const auto record = [&](TSValidation& validator, Entries& events) {
        validator.SetVerboseMessages(true);
        validator.OnMessageRaised([&](std::int16_t level, const std::string& text) {
            everyEventOnTheCaller = everyEventOnTheCaller && std::this_thread::get_id() == caller;
            events.push_back(std::to_string(level) + text);
        });
        validator.OnErrorRaised([&](std::int16_t code, const std::string& file,
                                    const std::string& reference) {
            everyEventOnTheCaller = everyEventOnTheCaller && std::this_thread::get_id() == caller;
            events.push_back(std::to_string(code) + "|" + file + "|" + reference);
        });
    };

    // What checking the stock files one by one, in order, raises.
    const std::string trainset = install + "\\Trains\\Trainset\\";
    Entries stockFiles;
    for (const std::string& stockFolder : ListNames(trainset + "*.", EntryTypes::Both)) {
        for (const std::string& name :
             ListNames(trainset + stockFolder + "\\*.??g", EntryTypes::Files)) {
            stockFiles.push_back(trainset + stockFolder + "\\" + name);
        }
    }
    Entries expected{"0Checking your TS Installation"};
    std::vector<vantor::Finding> expectedErrors;
    for (std::size_t i = 0; i < stockFiles.size(); ++i) {
        expected.push_back("0Checking (" + std::to_string(i + 1) + " of " +
                           std::to_string(stockFiles.size()) + ") " + stockFiles[i]);
        TSValidation one(install);
        record(one, expected);
        one.CheckStock(stockFiles[i]);
        expectedErrors.insert(expectedErrors.end(), one.Errors().begin(), one.Errors().end());
    }
    expected.push_back("0TS Installation check complete");

    TSValidation all(install);
    Entries events;
    record(all, events);
    EXPECT_EQ(all.CheckAllStock(""), TSValidation::IsSuspect());
    EXPECT_EQ(events, expected);
    EXPECT_EQ(all.Errors(), expectedErrors);
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
        std::ofstream{folder / name};
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
