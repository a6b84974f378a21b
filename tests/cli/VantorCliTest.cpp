#include <gmock/gmock.h>
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "InProcessCli.h"
#include "RunProgram.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing_support::MakeFile;
using testing_support::ProgramResult;
using testing_support::ReadBytes;
using testing_support::ScopedEnvironment;
using testing_support::TempFolder;
using testing_support::Utf16Bytes;

const std::string kDemo = std::string(VANTOR_SOURCE_DIR) + "/demo";

const char* const kDemoConsists =
    "Coal Drag\nDemo Freight\nEmpty Train\nLight Engine\nMixed Goods\nTransfer\nYard Shunt\n";

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return testing_support::RunCliInProcess(arguments);
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

// Runs each test with its own settings folder and an empty Wine prefix, so that
// neither the user's settings nor a registered simulator leak in.
class VantorCliTest : public testing::Test {
protected:
    TempFolder m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", (m_home.Path() / "config").string()};
    ScopedEnvironment m_appData{"APPDATA", (m_home.Path() / "config").string()};  // on Windows
    ScopedEnvironment m_wine{"WINEPREFIX", (m_home.Path() / "wine").string()};
};

// The program itself: its arguments reach the command line and its exit status and
// output are the command line's.
TEST_F(VantorCliTest, TheProgramRunsTheCommandLine) {
    const ProgramResult listed =
        testing_support::RunProgram(VANTOR_CLI, {"--msts", kDemo, "consists"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, kDemoConsists);
    const ProgramResult wrong = testing_support::RunProgram(VANTOR_CLI, {"nonsense"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_EQ(wrong.out, "");
    EXPECT_NE(wrong.err, "");
}

// The lists and a consist of the demo; the installation option stands anywhere, and
// after "--" a filter may begin with "-". The unfiltered stock list is checked on a
// generated installation below.
TEST_F(VantorCliTest, ListsOfTheDemoInstallation) {
    const std::string hoppers =
        "Wagon\tHopper\tHopper\nWagon\tHopper\tHopperLoaded\nWagon\tTanker\tTanker\n";
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"--msts", kDemo, "routes"}, "DemoVal(Demo Valley)\nHarbour(Harbour Branch)\n"},
        {{"--msts", kDemo, "stock", "GP*"}, "Engine\tGP38\tGP38\nEngine\tGP38\tGP38b\n"},
        {{"--msts", kDemo, "consist", "show", "light engine"},
         "Light Engine\nEngine\tGP38\tGP38\n"},
        {{"stock", "--msts", kDemo, "*er"}, hoppers},
        {{"--msts=" + kDemo, "stock", "*er"}, hoppers},
        {{"--msts", kDemo, "stock", "--", "*er"}, hoppers},
        {{"--msts", kDemo, "stock", "--", "-x"}, ""},
    };
    for (const auto& [arguments, out] : rows) {
        const ProgramResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 0) << arguments[2] << ": " << result.err;
        EXPECT_EQ(result.out, out) << arguments[2];
        EXPECT_EQ(result.err, "") << arguments[2];
    }
}

TEST_F(VantorCliTest, GeneratedInstallationWithOddNames) {
    TempFolder install;
    const fs::path trainset = install.Path() / "TRAINS" / "trainset";
    const fs::path zuege = testing_support::Utf8Path("Z\xC3\xBCge");
    MakeFile(trainset / zuege / "Lok 1.eng");
    MakeFile(trainset / zuege / "Lok 1.ENG.s");
    MakeFile(trainset / "a-b" / "Car.WAG");
    MakeFile(trainset / "a-b" / "picture.png");
    MakeFile(install.Path() / "TRAINS" / "Consists" /
             testing_support::Utf8Path("\xC3\x84rger.con"));
    const std::string folder = install.Path().string();

    const ProgramResult stock = Cli({"stock", "--msts", folder});
    EXPECT_EQ(stock.exitCode, 0);
    EXPECT_EQ(stock.out, "Wagon\ta-b\tCar\nWagon\ta-b\tpicture\nEngine\tZ\xC3\xBCge\tLok 1\n");
    const ProgramResult consists = Cli({"consists", "--msts", folder});
    EXPECT_EQ(consists.out, "\xC3\x84rger\n");
}

TEST_F(VantorCliTest, InstallationComesFromTheOptionElseTheSettingsElseTheRegistry) {
    const ProgramResult none = Cli({"stock"});
    EXPECT_EQ(none.exitCode, 2) << "a list of nothing is no success";
    EXPECT_EQ(none.out, "");
    EXPECT_THAT(none.err, HasSubstr("--msts"));

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

// Each error: its exit status, a message that names it, nothing on the standard output
// and no file written. Usage errors point to --help.
TEST_F(VantorCliTest, ErrorsExitWithAMessageAndWriteNothing) {
    TempFolder folder;
    const std::string target = folder.File("t.con");
    const std::string file = MakeFile(folder.Path() / "plain.txt", "x");
    const std::string notConsist = MakeFile(folder.Path() / "wagon.con", "Wagon ( W )");
    const std::string bare = (folder.Path() / "Bare").string();
    fs::create_directories(bare);
    const fs::path broken = folder.Path() / "Broken";
    MakeFile(broken / "TRAINS" / "trainset", "a file where the stock folders belong");
    fs::create_directories(broken / "Routes");
    const fs::path install = folder.Path() / "MSTS";
    MakeFile(install / "Trains" / "Trainset" / "GP38 (Conrail)" / "GP38.eng", "Wagon ( x )");
    MakeFile(install / "Trains" / "Trainset" / "Box" / "BOX.WAG", "Wagon ( x )");
    const std::string fifo = folder.File("pipe.con");
#if defined(_WIN32)
    // Windows has no FIFOs: there a folder is the target that is no regular file.
    fs::create_directories(fifo);
#else
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
#endif
    const std::vector<std::string> edit = {"--msts", install.string(), "consist", "edit", "--new"};
    const auto Edit = [&edit](std::vector<std::string> options) {
        options.insert(options.begin(), edit.begin(), edit.end());
        return options;
    };
    struct Row {
        std::vector<std::string> arguments;
        int exitCode;
        std::string message;
    };
    const Row rows[] = {
        {{}, 2, "--help"},
        {{"stock", "a", "b"}, 2, "--help"},
        {{"consists", "--msts"}, 2, "--help"},
        {{"--frob", "stock"}, 2, "--help"},
        {{"--msts", kDemo, "stock", "-x"}, 2, "--help"},
        {{"Stock", "--msts", kDemo}, 2, "--help"},
        {{"consist", "edit", "--new", "--add", "GP38/GP38.eng"}, 2, "--help"},
        {{"consist"}, 2, "'consist' needs one of: show, facts, edit"},
        {{"check"}, 2, "'check' needs one of: stock, shape, consist, all-stock"},
        {{"--msts", kDemo, "check", "consist-in-route", "DemoVal"}, 2, "--help"},
        // Failures of the commands.
        {{"--msts", kDemo, "consist", "edit", "Light Engine", "--remove", "2", "--save-as", target},
         1,
         "vantor-cli: "},
        {{"--msts", kDemo, "consist", "edit", "No Such Consist", "--save-as", target},
         1,
         "vantor-cli: "},
        {{"consist", "show", notConsist}, 1, "vantor-cli: "},
        {{"consist", "edit", "--new", "--save-as", folder.File("missing/t.con")},
         1,
         "vantor-cli: "},
        {{"consist", "edit", "--new", "--save-as", fifo}, 1, "is not a regular file"},
        // Installations that cannot be read, given or only in part.
        {{"--msts", folder.File("gone"), "check", "all-stock"},
         2,
         folder.File("gone") + " does not exist"},
        {{"--msts", file, "consists"}, 2, file + " is not a folder"},
        {{"--msts", bare, "routes"}, 2, bare + " is not an MSTS installation"},
        {{"--msts", broken.string(), "check", "all-stock"},
         2,
         broken.string() + "\\Trains\\Trainset is not a folder"},
        // What consist edit must not write: stock that is not installed, names the
        // reader cannot take back, an empty target.
        {Edit({"--add", "Nope/X.eng", "--save-as", target}), 1, "there is no such stock file"},
        {Edit({"--add", "../../../etc/passwd.eng", "--save-as", target}), 2, "--add needs"},
        {Edit({"--add", "GP38 (Conrail)/GP38.eng", "--save-as", target}), 1,
         "The stock folder \"GP38 (Conrail)\" holds \"(\""},
        {Edit({"--save-as", folder.File("Freight (2).con")}), 1,
         "The consist name \"Freight (2)\" holds \"(\""},
        {Edit({"--save-as", ""}), 2, "--save-as needs one file to write"},
    };
    for (const Row& row : rows) {
        const ProgramResult result = Cli(row.arguments);
        EXPECT_EQ(result.exitCode, row.exitCode) << row.message << ": " << result.err;
        EXPECT_EQ(result.out, "") << row.message;
        EXPECT_EQ(result.err.rfind("vantor-cli: ", 0), 0U) << result.err;
        EXPECT_THAT(result.err, HasSubstr(row.message));
        EXPECT_FALSE(fs::exists(target)) << row.message;
        EXPECT_FALSE(fs::exists(folder.File("Freight (2).con")));
    }
#if defined(_WIN32)
    EXPECT_TRUE(fs::is_directory(fifo));
#else
    EXPECT_TRUE(fs::is_fifo(fifo));
#endif
    EXPECT_EQ(Cli({"--msts", broken.string(), "consists"}).exitCode, 0)
        << "a missing consist folder is an empty list";
    EXPECT_EQ(Cli(Edit({"--add", "box/box.wag", "--save-as", target})).exitCode, 0)
        << "stock is found in any case";

    const ProgramResult dashed = Cli({"consist", "edit", "--save-as", target, "--", "--odd.con"});
    EXPECT_EQ(dashed.exitCode, 1) << "after --, --odd.con is the consist: " << dashed.err;
    EXPECT_THAT(dashed.err, HasSubstr("--odd.con"));
    EXPECT_THAT(dashed.err, testing::Not(HasSubstr("unknown option")));

#if !defined(_WIN32)
    if (::geteuid() != 0) {  // root reads any folder
        const fs::path locked = folder.Path() / "Locked";
        MakeFile(locked / "Trains" / "Consists" / "A.con", "x");
        fs::permissions(locked / "Trains" / "Consists", fs::perms::none);
        const ProgramResult unreadable = Cli({"--msts", locked.string(), "consists"});
        fs::permissions(locked / "Trains" / "Consists", fs::perms::owner_all);
        EXPECT_EQ(unreadable.exitCode, 2);
        EXPECT_THAT(unreadable.err, HasSubstr("cannot read the folder"));
    }
#endif
}

TEST_F(VantorCliTest, HelpDescribesCommandsAndOptions) {
    const ProgramResult help = Cli({"stock", "-h"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"routes", "consists", "--msts", "consist edit", "check all-stock"}) {
        EXPECT_THAT(help.out, HasSubstr(word));
    }
}

TEST_F(VantorCliTest, EditRunsTheEditorsCommandsInOrderAndSaves) {
    TempFolder out;
    const std::string target = out.File("Short Train.con");
    const ProgramResult result =
        Cli({"--msts", kDemo, "consist", "edit", "--new", "--add", "Demo Diesel/DD40.eng", "--add",
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

TEST_F(VantorCliTest, ATruncatedConsistIsShownAndEditedWithAWarning) {
    TempFolder folder;
    // The file ends after the first vehicle, inside TrainCfg and Train.
    const std::string cut = Head("Cut", "1 2", 2, "1") + Vehicle("Engine", 1, "GP38 GP38");
    const std::string file = MakeFile(folder.Path() / "Cut.con", ConsistBytes(cut));
    const ProgramResult shown = Cli({"consist", "show", file});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out, "Cut\nEngine\tGP38\tGP38\n");
    EXPECT_THAT(shown.err, HasSubstr("warning: " + file + " ends inside an item"));
    const ProgramResult edited =
        Cli({"consist", "edit", file, "--remove-all", "--save-as", folder.File("new.con")});
    EXPECT_EQ(edited.exitCode, 0);
    EXPECT_THAT(edited.err, HasSubstr("the saved consist holds only those"));
}

// Returns every file of a folder and its bytes, by path below the folder.
std::map<std::string, std::string> Files(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            // Keyed with "/" between names on every system.
            files[fs::relative(entry.path(), folder).generic_string()] =
                ReadBytes(entry.path().string());
        }
    }
    return files;
}

// Replacing the demo's Boxcar40 on a copy of the demo: a dry run and refusals
// write nothing; the replacement backs the changed consists up and leaves the rest
// byte for byte; a second run finds nothing to replace.
TEST_F(VantorCliTest, ReplaceStockAcrossTheDemosConsists) {
    TempFolder folder;
    const fs::path install = folder.Path() / "demo";
    fs::copy(kDemo, install, fs::copy_options::recursive);
    const auto before = Files(install);
    const std::string msts = install.string();
    const auto replace = [&msts](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--msts", msts, "replace-stock"});
        return Cli(arguments);
    };
    struct Refused {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Refused refusals[] = {
        {{"Boxcar/Boxcar40.wag", "GP38/GP38.eng"},
         "vantor-cli: A wagon can only be replaced by a wagon: GP38\\GP38.eng is an engine; "
         "nothing was changed\n"},
        {{"Boxcar/Boxcar40.wag", "Tanker/Tanker.wag", "--in"}, "--in needs a consist name"},
    };
    for (const Refused& refused : refusals) {
        const ProgramResult result = replace(refused.arguments);
        EXPECT_EQ(result.exitCode, 2) << refused.message;
        EXPECT_THAT(result.err, HasSubstr(refused.message));
    }
    const ProgramResult dry = replace({"Boxcar/Boxcar40.wag", "Tanker/Tanker.wag", "--dry-run"});
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_EQ(dry.out, "Demo Freight: would change rows 3, 5\nYard Shunt: would change row 2\n");
    EXPECT_EQ(Files(install), before) << "refusals and the dry run write nothing";

    const ProgramResult done =
        replace({"Boxcar/Boxcar40.wag", "Tanker/Tanker.wag", "--in", "yard shunt"});
    ASSERT_EQ(done.exitCode, 0) << done.err;
    const auto after = Files(install);
    std::vector<std::string> changed;
    for (const auto& [path, bytes] : after) {
        if (before.count(path) == 0 || before.at(path) != bytes) {
            changed.push_back(path);
        }
    }
    ASSERT_EQ(changed.size(), 2U);
    EXPECT_EQ(fs::path(changed[1]), fs::path("Trains/Consists/Yard Shunt.con"));
    EXPECT_EQ(after.at(changed[0]), before.at("Trains/Consists/Yard Shunt.con"))
        << changed[0] << " is the backup";
    EXPECT_THAT(
        done.out,
        HasSubstr("Yard Shunt: changed row 2\nThe consists as they were are in " +
                  (install / fs::path(changed[0]).parent_path()).make_preferred().string()));

    const ProgramResult again =
        replace({"Boxcar/Boxcar40.wag", "Tanker/Tanker.wag", "--in", "Yard Shunt"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.out,
              "No consist was changed: none that can be changed uses "
              "Boxcar\\Boxcar40.wag.\n");
}

// "Demo Freight" from the demo's files: GP38 (17.1 m, 113 t, 1491 kW, 60 kN, 65 mph)
// twice, one flipped; Boxcar40 twice and Boxcar40Red (12.8 m, 29 t, 60 kN); Caboose
// (11.2 m, 22 t, 60 kN); MaxVelocity 22.352 m/s. No file has a coupler's break force.
TEST_F(VantorCliTest, ConsistFactsOfTheDemoFreight) {
    const ProgramResult json = Cli({"--msts", kDemo, "consist", "facts", "Demo Freight", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const nlohmann::json facts = nlohmann::json::parse(json.out);
    EXPECT_EQ(facts.size(), 12U) << "exactly the documented keys";
    const std::pair<const char*, double> figures[] = {
        {"vehicles", 6},
        {"engines", 2},
        {"wagons", 4},
        {"flipped", 1},
        {"length_m", 2 * 17.1 + 3 * 12.8 + 11.2},
        {"mass_t", 2 * 113.0 + 3 * 29.0 + 22.0},
        {"power_kw", 2 * 1491.0},
        {"kw_per_t", 2982.0 / 335.0},
        {"brake_kn", 6 * 60.0},
        {"max_velocity_kmh", 22.352 * 3.6},
    };
    for (const auto& [key, expected] : figures) {
        ASSERT_TRUE(facts[key].is_number()) << key;
        EXPECT_NEAR(facts[key].get<double>(), expected, 1e-9) << key;
    }
    EXPECT_TRUE(facts["weakest_coupler"].is_null());
    ASSERT_EQ(facts["partial"].size(), 6U);
    EXPECT_EQ(facts["partial"][5], nlohmann::json({{"row", 6}, {"missing", "Coupling Break"}}));

    const ProgramResult text = Cli({"--msts", kDemo, "consist", "facts", "Demo Freight"});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    for (const char* line :
         {"Length: 83.8 m\n", "Braked tonnes per tonne: 0.110\n",
          "Lowest engine maximum velocity: 104.6 km/h\n", "Weakest coupler: unknown (partial)\n",
          "  row 6: no Coupling Break\n"}) {
        EXPECT_THAT(text.out, HasSubstr(line));
    }
    // A stock file that is not there is named; a consist that is not there fails.
    const ProgramResult mixed = Cli({"--msts", kDemo, "consist", "facts", "Mixed Goods"});
    EXPECT_EQ(mixed.exitCode, 0) << mixed.err;
    EXPECT_THAT(mixed.out, HasSubstr("Mass: 196.0 t (partial)\n"));
    EXPECT_THAT(mixed.out, HasSubstr("  row 3: no stock file\n"));
    const ProgramResult missing = Cli({"--msts", kDemo, "consist", "facts", "No Such Train"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
}

// The checks of the simulator's files, on the demo installation and its deliberate faults.
using VantorCliCheckTest = VantorCliTest;

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

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

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

// The program itself, started in the installation: a relative file argument whose
// folder's name lies outside the ANSI code page is found, and a missing one named.
TEST_F(VantorCliCheckTest, RelativeNonAsciiFileArgumentsAreFound) {
    const TempFolder install;
    const fs::path stock =
        install.Path() / "Trains" / "Trainset" / testing_support::Utf8Path("Z\xC3\xBCg\xC3\xA9");
    fs::create_directories(stock.parent_path());
    fs::copy(fs::path(kDemo) / "Trains" / "Trainset" / "GP38", stock, fs::copy_options::recursive);
    const std::string root = testing_support::Utf8Text(install.Path());
    const std::string folder = "Trains/Trainset/Z\xC3\xBCg\xC3\xA9/";

    const ProgramResult found = testing_support::RunProgram(
        VANTOR_CLI, {"--msts", root, "check", "stock", folder + "GP38.eng"}, root);
    EXPECT_EQ(found.exitCode, 0) << found.out << found.err;
    EXPECT_EQ(found.out, "");
    const ProgramResult gone = testing_support::RunProgram(
        VANTOR_CLI, {"--msts", root, "check", "stock", folder + "Gone.eng"}, root);
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_EQ(gone.out,
              "ERROR: " + root + "\\Trains\\Trainset\\Z\xC3\xBCg\xC3\xA9\\Gone.eng is MISSING\n");
}

// A file given in the Windows form, an installation folder with a last "/", and a
// route that is not there; the faults above are given with "/".
TEST_F(VantorCliCheckTest, FileArgumentsInEitherFormAndAMissingRoute) {
    const std::string corrupt = "GP38b.eng appears CORRUPT";
    EXPECT_THAT(
        Cli({"--msts", kDemo, "check", "stock", Demo("Trains\\Trainset\\GP38\\GP38b.eng")}).out,
        HasSubstr(corrupt));
    const ProgramResult slashed =
        Cli({"--msts", kDemo + "/", "check", "stock", kDemo + "/Trains/Trainset/GP38/GP38b.eng"});
    EXPECT_EQ(slashed.exitCode, 1);
    EXPECT_THAT(slashed.out, HasSubstr(corrupt));
    const ProgramResult missing =
        Cli({"--msts", kDemo, "check", "consist-in-route", "Nowhere", "X"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "ERROR: Route Nowhere is MISSING\n");
}

}  // namespace
