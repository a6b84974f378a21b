#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestInstallation.h"
#include "validation/TSValidation.h"

namespace {

using validation_tests::TestInstallation;
using vantor::TSValidation;
using Entries = std::vector<std::string>;

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
                {"Tr_SMS (", "\tScalabiltyGroup ( 5", "\t\tStreams ( 1",
                 "\t\t\tStream ( Triggers ( 1 Initial_Trigger ( StartLoop ( 1 File ( \"Box "
                 "Roll.wav\" -1 ) ) ) ) )",
                 "\t\t)", "\t)", ")"});

    install.Sim(
        "Trains/Trainset/GP38/GP38.eng",
        {"Wagon ( GP38", "\tWagonShape ( GP38.s )", "\tSound ( GP38.sms )", ")", "Engine ( GP38",
         "\tWagon ( GP38 )", "\tCabView ( gp38.cvf )", "\tSound ( \"GP38 Cab.sms\" )", ")"});
    for (const char* file : {"GP38.s", "GP38.sd", "SOUND/Horn.wav", "SOUND/Idle.wav",
                             "CABVIEW/Front.ace", "CABVIEW/Left.ace", "CABVIEW/Speedo.ace"}) {
        install.Touch(std::string("Trains/Trainset/GP38/") + file);
    }
    install.Sim("Trains/Trainset/GP38/SOUND/GP38.sms",
                {"Tr_SMS ( ScalabiltyGroup ( 5 File ( horn.wav -1 ) ) )"});
    install.Sim("Trains/Trainset/GP38/SOUND/GP38 Cab.sms",
                {"Tr_SMS ( ScalabiltyGroup ( 5 File ( Idle.wav -1 ) ) )"});
    install.Sim("Trains/Trainset/GP38/CABVIEW/GP38.cvf",
                {"Tr_CabViewFile (", "\tCabViewFile ( Front.ace )", "\tCabViewFile ( Left.ace )",
                 "\tCabViewControls ( 2",
                 "\t\tDial ( Type ( SPEEDOMETER DIAL ) Graphic ( "
                 "Speedo.ace ) )",
                 "\t\tDigital ( Type ( SPEEDOMETER DIGITAL ) )", "\t)", ")"});
}

// Replaces {B} by the Boxcar folder and {G} by the GP38 folder, as Windows paths.
std::string Expand(const TestInstallation& install, std::string text) {
    for (const auto& [key, folder] : {std::pair<std::string, std::string>{"{B}", "Boxcar"},
                                      std::pair<std::string, std::string>{"{G}", "GP38"}}) {
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key)) {
            text.replace(at, key.size(), install.Path("Trains\\Trainset\\" + folder));
        }
    }
    return text;
}

// Returns a change that writes a stock file anew from lines.
std::function<void(const TestInstallation&)> Rewrite(
    std::string relative, std::initializer_list<std::string_view> lines) {
    std::string text = "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n";
    for (const auto line : lines) {
        text.append(line).append("\r\n");
    }
    return [relative, text](const TestInstallation& install) { install.Bytes(relative, text); };
}

struct Row {
    const char* fault;
    std::function<void(const TestInstallation&)> change;
    TSValidation::Status status;
    Entries entries;
};

void RunRows(const std::vector<Row>& rows, const char* stockFile) {
    for (const Row& row : rows) {
        TestInstallation install;
        MakeStock(install);
        if (row.change) {
            row.change(install);
        }
        TSValidation validator(install.Folder());
        EXPECT_EQ(validator.CheckStock(Expand(install, stockFile)), row.status) << row.fault;
        Entries expected;
        for (const std::string& entry : row.entries) {
            expected.push_back(Expand(install, entry));
        }
        EXPECT_EQ(validator.Errors(), expected) << row.fault;
    }
}

TEST(CheckStockTest, WagonFindings) {
    const auto rewrite = [](std::initializer_list<std::string_view> lines) {
        return Rewrite("Trains/Trainset/Boxcar/Boxcar.wag", lines);
    };
    const std::vector<Row> rows = {
        {"complete wagon, names in other letter case", nullptr, 0, {}},
        {"only the .sd beside the shape is missing",
         [](const TestInstallation& i) { i.Remove("Trains/Trainset/Boxcar/Boxcar.sd"); },
         6,
         {"6|{B}\\Boxcar.wag|{B}\\Boxcar.sd"}},
        {"no Thumbnail item is not reported",
         rewrite({"Wagon ( Boxcar", "\tWagonShape ( Boxcar.s )", "\tSound ( Boxcar.sms )", ")"}),
         0,
         {}},
        {"thumbnail missing",
         [](const TestInstallation& i) { i.Remove("Trains/Trainset/Boxcar/Boxcar_Thumb.ace"); },
         6,
         {"6|{B}\\Boxcar.wag|{B}\\Boxcar_Thumb.ace"}},
        {"sound definition missing",
         [](const TestInstallation& i) { i.Remove("Trains/Trainset/Boxcar/SOUND/Boxcar.sms"); },
         6,
         {"6|{B}\\Boxcar.wag|{B}\\Sound\\BOXCAR.sms"}},
        {"sound file of the sound definition missing makes the stock suspect",
         [](const TestInstallation& i) { i.Remove("Trains/Trainset/Boxcar/SOUND/Box Roll.wav"); },
         5,
         {"6|{B}\\Sound\\BOXCAR.sms|{B}\\Sound\\Box Roll.wav", "5|{B}\\Sound\\BOXCAR.sms|"}},
        {"stock file missing",
         [](const TestInstallation& i) { i.Remove("Trains/Trainset/Boxcar/Boxcar.wag"); },
         1,
         {"1|{B}\\Boxcar.wag|"}},
        {"no Wagon item", rewrite({"Tr_SMS ( )"}), 3, {"3|{B}\\Boxcar.wag|"}},
        {"no WagonShape item: no test of the bare folder",
         rewrite(
             {"Wagon ( Boxcar", "\tThumbnail ( Boxcar_Thumb.ace )", "\tSound ( Boxcar.sms )", ")"}),
         1,
         {"1|{B}\\Boxcar.wag|WagonShape section"}},
        {"WagonShape without a name: no test of the bare folder",
         rewrite({"Wagon ( Boxcar", "\tWagonShape ( )", "\tSound ( Boxcar.sms )", ")"}),
         3,
         {"3|{B}\\Boxcar.wag|WagonShape section"}},
        {"no Sound item: no test of the bare Sound folder",
         rewrite({"Wagon ( Boxcar", "\tWagonShape ( Boxcar.s )", ")"}),
         1,
         {"1|{B}\\Boxcar.wag|Wagon Sound section"}},
        {"a wagon file is never checked as an engine",
         rewrite({"Wagon ( Boxcar", "\tWagonShape ( Boxcar.s )", "\tSound ( Boxcar.sms )", ")",
                  "Engine ( Other", ")"}),
         0,
         {}},
    };
    RunRows(rows, "{B}\\Boxcar.wag");
}

TEST(CheckStockTest, EngineFindings) {
    const auto rewrite = [](std::initializer_list<std::string_view> lines) {
        return Rewrite("Trains/Trainset/GP38/GP38.eng", lines);
    };
    const std::vector<Row> rows = {
        {"complete engine, quoted cab sound name with a blank", nullptr, 0, {}},
        {"only one top-level item",
         rewrite({"Wagon ( GP38", "\tWagonShape ( GP38.s )", "\tSound ( GP38.sms )", ")"}),
         5,
         {"1|{G}\\GP38.eng|Engine section"}},
        {"Engine's Wagon item names other stock",
         rewrite({"Wagon ( GP38", "\tWagonShape ( GP38.s )", "\tSound ( GP38.sms )", ")",
                  "Engine ( GP38", "\tWagon ( GP38b )", "\tCabView ( GP38.cvf )",
                  "\tSound ( GP38.sms )", ")"}),
         3,
         {"3|{G}\\GP38.eng|Engine and wagon names"}},
        {"Engine without a Wagon item reads an empty name",
         rewrite({"Wagon ( GP38", "\tWagonShape ( GP38.s )", "\tSound ( GP38.sms )", ")",
                  "Engine ( GP38", "\tCabView ( GP38.cvf )", "\tSound ( GP38.sms )", ")"}),
         3,
         {"3|{G}\\GP38.eng|Engine and wagon names"}},
        {"no CabView and no engine Sound item",
         rewrite({"Wagon ( GP38", "\tWagonShape ( GP38.s )", "\tSound ( GP38.sms )", ")",
                  "Engine ( GP38", "\tWagon ( GP38 )", ")"}),
         1,
         {"1|{G}\\GP38.eng|Cabview section", "1|{G}\\GP38.eng|Sound section"}},
        {"CabView and engine Sound without names: no folder tests",
         rewrite({"Wagon ( GP38", "\tWagonShape ( GP38.s )", "\tSound ( GP38.sms )", ")",
                  "Engine ( GP38", "\tWagon ( GP38 )", "\tCabView ( )", "\tSound ( )", ")"}),
         3,
         {"3|{G}\\GP38.eng|Cabview section", "3|{G}\\GP38.eng|Sound section"}},
        {"cab view missing",
         [](const TestInstallation& i) { i.Remove("Trains/Trainset/GP38/CABVIEW/GP38.cvf"); },
         6,
         {"6|{G}\\GP38.eng|{G}\\Cabview\\gp38.cvf"}},
        {"image of the cab view missing makes the engine suspect",
         [](const TestInstallation& i) { i.Remove("Trains/Trainset/GP38/CABVIEW/Left.ace"); },
         5,
         {"6|{G}\\Cabview\\gp38.cvf|{G}\\Cabview\\Left.ace", "6|{G}\\Cabview\\gp38.cvf|"}},
    };
    RunRows(rows, "{G}\\GP38.eng");
}

TEST(CheckStockTest, ProgressTextsInOrder) {
    TestInstallation install;
    MakeStock(install);
    TSValidation validator(install.Folder());
    std::vector<std::string> texts;
    validation_tests::RecordProgress(validator, texts);
    const std::string engine = install.Path("Trains\\Trainset\\GP38\\GP38.eng");
    validator.CheckStock(engine);
    validator.CheckStock(install.Path("Trains\\Trainset\\Boxcar\\Boxcar.wag"));
    const std::vector<std::string> expected = {
        "Checking " + engine,
        "Checking shape files",
        "Checking sound files",
        "Checking engine related files",
        "Checking cabview files",
        "Checking sound files",
        "Checking " + install.Path("Trains\\Trainset\\Boxcar\\Boxcar.wag"),
        "Checking shape files",
        "Checking sound files",
        "Checking engine related files",
    };
    EXPECT_EQ(texts, expected);
}

TEST(CheckSoundTest, FileItems) {
    struct SoundRow {
        const char* fault;
        std::vector<std::string_view> lines;
        TSValidation::Status status;
        Entries entries;
    };
    const std::vector<SoundRow> rows = {
        {"one of two files missing",
         {"Tr_SMS ( Stream ( File ( a.wav -1 ) File ( Gone.wav -1 ) ) )"},
         5,
         {"6|{B}\\SOUND\\x.sms|{B}\\SOUND\\Gone.wav", "5|{B}\\SOUND\\x.sms|"}},
        {"File item without a name: no test of the bare folder",
         {"Tr_SMS ( Stream ( File ( ) ) )"},
         5,
         {"3|{B}\\SOUND\\x.sms|File section", "5|{B}\\SOUND\\x.sms|"}},
    };
    for (const SoundRow& row : rows) {
        TestInstallation install;
        install.Touch("Trains/Trainset/Boxcar/SOUND/Box Roll.wav");
        install.Touch("Trains/Trainset/Boxcar/SOUND/a.wav");
        std::string text = "SIMISA@@@@@@@@@@JINX0x1t______\r\n\r\n";
        for (const auto line : row.lines) {
            text.append(line).append("\r\n");
        }
        install.Bytes("Trains/Trainset/Boxcar/SOUND/x.sms", text);
        TSValidation validator(install.Folder());
        const std::string sms = Expand(install, "{B}\\SOUND\\x.sms");
        EXPECT_EQ(validator.CheckSound(sms), row.status) << row.fault;
        Entries expected;
        for (const std::string& entry : row.entries) {
            expected.push_back(Expand(install, entry));
        }
        EXPECT_EQ(validator.Errors(), expected) << row.fault;
    }
}

TEST(CheckStockTest, SoundPathClimbsThroughAFolderThatDoesNotExist) {
    TestInstallation install;
    install.Sim("Trains/Trainset/Tanker/Tanker.wag",
                {"Wagon ( Tanker", "\tWagonShape ( Tanker.s )",
                 "\tSound ( ..\\..\\Common.Snd\\Freight.sms )", ")"});
    install.Touch("Trains/Trainset/Tanker/Tanker.s");
    install.Touch("Trains/Trainset/Tanker/Tanker.sd");
    install.Sim("Trains/Trainset/Common.Snd/Freight.sms", {"Tr_SMS ( File ( Roll.wav -1 ) )"});
    install.Touch("Trains/Trainset/Common.Snd/Roll.wav");
    TSValidation validator(install.Folder());
    EXPECT_EQ(validator.CheckStock(install.Path("Trains\\Trainset\\Tanker\\Tanker.wag")),
              TSValidation::IsValid());
    EXPECT_EQ(validator.Errors(), Entries{}) << "Tanker has no Sound folder; Windows resolves ..";
}

TEST(CheckCabViewTest, AllImagesPresentAndOneMissing) {
    TestInstallation install;
    MakeStock(install);
    const std::string cvf = Expand(install, "{G}\\CABVIEW\\GP38.cvf");
    TSValidation validator(install.Folder());
    EXPECT_EQ(validator.CheckCabView(cvf), TSValidation::IsValid());
    EXPECT_TRUE(validator.Errors().empty()) << "a control without Graphic shows no image";

    install.Remove("Trains/Trainset/GP38/CABVIEW/Speedo.ace");
    EXPECT_EQ(validator.CheckCabView(cvf), TSValidation::HasMissingReference());
    const std::vector<std::string> expected = {
        "ERROR: " + cvf + " references missing file " + Expand(install, "{G}\\CABVIEW\\Speedo.ace"),
        "ERROR: " + cvf + " references missing file ",
    };
    EXPECT_EQ(validation_tests::Lines(validator), expected);
}

}  // namespace
