#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestInstallation.h"
#include "validation/TSValidation.h"

namespace {

using validation_tests::Joined;
using validation_tests::Replaced;
using validation_tests::TestInstallation;
using vantor::TSValidation;

// Writes a complete wagon (Boxcar) and a complete engine (GP38) with every file
// they name. Names differ in letter case from the files here and there, as in
// real content.
void MakeStock(const TestInstallation& install) {
    install.Sim("Trains/Trainset/Boxcar/Boxcar.wag",
                {"Wagon ( Boxcar", "\tWagonShape ( Boxcar.s )", "\tThumbnail ( Boxcar_Thumb.ace )",
                 "\tSound ( BOXCAR.sms )", ")"});
    for (const char* file : {"Boxcar.s", "Boxcar.sd", "Boxcar_Thumb.ace", "SOUND/Box Roll.wav"}) {
        install.Touch(std::string("Trains/Trainset/Boxcar/") + file);
    }
    install.Sim("Trains/Trainset/Boxcar/SOUND/Boxcar.sms",
                {"Tr_SMS ( ScalabiltyGroup ( 5 Streams ( 1 Stream ( Triggers ( 1 Initial_Trigger ( "
                 "StartLoop ( 1 File ( \"Box Roll.wav\" -1 ) ) ) ) ) ) ) )"});

    install.Sim("Trains/Trainset/GP38/GP38.eng",
                {"Wagon ( GP38 WagonShape ( GP38.s ) Sound ( GP38.sms ) )",
                 "Engine ( GP38 Wagon ( GP38 ) CabView ( gp38.cvf ) Sound ( \"GP38 Cab.sms\" ) )"});
    for (const char* file : {"GP38.s", "GP38.sd", "SOUND/Horn.wav", "SOUND/Idle.wav",
                             "CABVIEW/Front.ace", "CABVIEW/Left.ace", "CABVIEW/Speedo.ace"}) {
        install.Touch(std::string("Trains/Trainset/GP38/") + file);
    }
    install.Sim("Trains/Trainset/GP38/SOUND/GP38.sms",
                {"Tr_SMS ( ScalabiltyGroup ( 5 File ( horn.wav -1 ) ) )"});
    install.Sim("Trains/Trainset/GP38/SOUND/GP38 Cab.sms",
                {"Tr_SMS ( ScalabiltyGroup ( 5 File ( Idle.wav -1 ) ) )"});
    install.Sim("Trains/Trainset/GP38/CABVIEW/GP38.cvf",
                {"Tr_CabViewFile ( CabViewFile ( Front.ace ) CabViewFile ( Left.ace )",
                 "\tCabViewControls ( 2 Dial ( Type ( SPEEDOMETER DIAL ) Graphic ( Speedo.ace ) )",
                 "\t\tDigital ( Type ( SPEEDOMETER DIGITAL ) ) ) )"});
}

// The text of a row whose file is replaced by a folder of the same name.
constexpr const char* kFolder = "(a folder)";

// One change to the complete stock and what checking a stock file then finds.
struct Row {
    const char* fault;
    const char* file;  // below Trains/Trainset, empty for no change
    const char* text;  // the file's new text on one line, null to remove it, or kFolder
    TSValidation::Status status;
    const char* entries;  // {B} the Boxcar folder, {G} the GP38 folder
};

void RunRows(const std::vector<Row>& rows, const char* stockFile) {
    for (const Row& row : rows) {
        TestInstallation install;
        MakeStock(install);
        const std::string file = std::string("Trains/Trainset/") + row.file;
        if (*row.file != '\0' && (row.text == nullptr || row.text == kFolder)) {
            install.Remove(file);
            if (row.text == kFolder) {
                std::filesystem::create_directories(std::filesystem::path(install.Folder()) / file);
            }
        } else if (*row.file != '\0') {
            install.Sim(file, {row.text});
        }
        const auto expand = [&install](const std::string& text) {
            return Replaced(text, {{"{B}", install.Path("Trains\\Trainset\\Boxcar")},
                                   {"{G}", install.Path("Trains\\Trainset\\GP38")}});
        };
        TSValidation validator(install.Folder());
        EXPECT_EQ(validator.CheckStock(expand(stockFile)), row.status) << row.fault;
        EXPECT_EQ(Joined(validator.Errors()), expand(row.entries)) << row.fault;
    }
}

TEST(CheckStockTest, WagonFindings) {
    const char* wagon = "Boxcar/Boxcar.wag";
    const char* sms = "Boxcar/SOUND/Boxcar.sms";
    // A sound definition whose second File item stands a million items deep.
    std::string deep = "Tr_SMS ( File ( \"Box Roll.wav\" -1 ) ";
    for (int i = 0; i < 1'000'000; ++i) {
        deep += "S ( ";
    }
    deep += "File ( Deep.wav -1 )";
    for (int i = 0; i < 1'000'000; ++i) {
        deep += " )";
    }
    deep += " )";
    RunRows(
        {
            {"complete wagon, names in other letter case", "", nullptr, 0, ""},
            {"only the .sd beside the shape is missing", "Boxcar/Boxcar.sd", nullptr, 6,
             "6|{B}\\Boxcar.wag|{B}\\Boxcar.sd"},
            {"no Thumbnail item is not reported", wagon,
             "Wagon ( Boxcar WagonShape ( Boxcar.s ) Sound ( Boxcar.sms ) )", 0, ""},
            {"sound definition missing", sms, nullptr, 6,
             "6|{B}\\Boxcar.wag|{B}\\Sound\\BOXCAR.sms"},
            {"sound file of the sound definition missing makes the stock suspect",
             "Boxcar/SOUND/Box Roll.wav", nullptr, 5,
             "6|{B}\\Sound\\BOXCAR.sms|{B}\\Sound\\Box Roll.wav & 5|{B}\\Sound\\BOXCAR.sms|"},
            {"File items nested a million deep are checked", sms, deep.c_str(), 5,
             "6|{B}\\Sound\\BOXCAR.sms|{B}\\Sound\\Deep.wav & 5|{B}\\Sound\\BOXCAR.sms|"},
            {"stock file missing", wagon, nullptr, 1, "1|{B}\\Boxcar.wag|"},
            {"no Wagon item", wagon, "Tr_SMS ( )", 3, "3|{B}\\Boxcar.wag|"},
            {"WagonShape without a name: no test of the bare folder", wagon,
             "Wagon ( Boxcar WagonShape ( ) Sound ( Boxcar.sms ) )", 3,
             "3|{B}\\Boxcar.wag|WagonShape section"},
            {"no Sound item: no test of the bare Sound folder", wagon,
             "Wagon ( Boxcar WagonShape ( Boxcar.s ) )", 1,
             "1|{B}\\Boxcar.wag|Wagon Sound section"},
            {"a wagon file is never checked as an engine", wagon,
             "Wagon ( Boxcar WagonShape ( Boxcar.s ) Sound ( Boxcar.sms ) ) Engine ( Other )", 0,
             ""},
        },
        "{B}\\Boxcar.wag");
}

TEST(CheckStockTest, EngineFindings) {
    const char* engine = "GP38/GP38.eng";
    const std::string wagonPart = "Wagon ( GP38 WagonShape ( GP38.s ) Sound ( GP38.sms ) ) ";
    const std::string otherName =
        wagonPart + "Engine ( GP38 Wagon ( GP38b ) CabView ( GP38.cvf ) Sound ( GP38.sms ) )";
    const std::string noCab = wagonPart + "Engine ( GP38 Wagon ( GP38 ) )";
    RunRows(
        {
            {"complete engine, quoted cab sound name with a blank", "", nullptr, 0, ""},
            {"only one top-level item", engine, wagonPart.c_str(), 5,
             "1|{G}\\GP38.eng|Engine section"},
            {"Engine's Wagon item names other stock", engine, otherName.c_str(), 3,
             "3|{G}\\GP38.eng|Engine and wagon names"},
            {"no CabView and no engine Sound item", engine, noCab.c_str(), 1,
             "1|{G}\\GP38.eng|Cabview section & 1|{G}\\GP38.eng|Sound section"},
            {"a sound definition that reads as nothing is corrupt, not missing",
             "GP38/SOUND/GP38.sms", "", 5, "3|{G}\\Sound\\GP38.sms|"},
            {"image of the cab view missing makes the engine suspect", "GP38/CABVIEW/Left.ace",
             nullptr, 5,
             "6|{G}\\Cabview\\gp38.cvf|{G}\\Cabview\\Left.ace & 6|{G}\\Cabview\\gp38.cvf|"},
            {"a folder named like the cab view is no file", "GP38/CABVIEW/GP38.cvf", kFolder, 6,
             "6|{G}\\GP38.eng|{G}\\Cabview\\gp38.cvf"},
            {"a folder named like the cab sound definition is no file", "GP38/SOUND/GP38 Cab.sms",
             kFolder, 6, "6|{G}\\GP38.eng|{G}\\Sound\\GP38 Cab.sms"},
            {"image of a control missing; a control without Graphic shows none",
             "GP38/CABVIEW/Speedo.ace", nullptr, 5,
             "6|{G}\\Cabview\\gp38.cvf|{G}\\Cabview\\Speedo.ace & 6|{G}\\Cabview\\gp38.cvf|"},
        },
        "{G}\\GP38.eng");
}

TEST(CheckStockTest, SoundPathClimbsThroughAFolderThatDoesNotExist) {
    TestInstallation install;
    install.Sim(
        "Trains/Trainset/Tanker/Tanker.wag",
        {"Wagon ( Tanker WagonShape ( Tanker.s ) Sound ( ..\\..\\Common.Snd\\Freight.sms ) )"});
    install.Touch("Trains/Trainset/Tanker/Tanker.s");
    install.Touch("Trains/Trainset/Tanker/Tanker.sd");
    install.Sim("Trains/Trainset/Common.Snd/Freight.sms", {"Tr_SMS ( File ( Roll.wav -1 ) )"});
    install.Touch("Trains/Trainset/Common.Snd/Roll.wav");
    TSValidation validator(install.Folder());
    EXPECT_EQ(validator.CheckStock(install.Path("Trains\\Trainset\\Tanker\\Tanker.wag")),
              TSValidation::IsValid());
    EXPECT_EQ(validation_tests::Texts(validator.Errors()), std::vector<std::string>{})
        << "Tanker has no Sound folder; Windows resolves ..";
}

}  // namespace
