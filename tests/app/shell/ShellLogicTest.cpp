#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "TempFolder.h"
#include "common/Installation.h"
#include "common/Prompter.h"
#include "common/SettingsStore.h"
#include "platform/Drives.h"
#include "shell/FileOpening.h"
#include "shell/ShellCommands.h"
#include "shell/StartupSettings.h"

namespace {

using testing::ElementsAre;
using testing::Pair;
using testing_support::MakeFile;
using testing_support::TempFolder;

TEST(OpenExtension, IsTheTextAfterTheLastDotInLowerCaseOrTheWholePath) {
    EXPECT_EQ(vantor::OpenExtension("C:\\Stock\\GP38\\GP38.ENG"), "eng");
    EXPECT_EQ(vantor::OpenExtension("\"My Train.con\""), "con\"");
    EXPECT_EQ(vantor::OpenExtension("C:\\a.b\\README"), "b\\readme");
}

TEST(LooseConsistAnswers, StarOrTheLeadingNumberChooses) {
    struct Row {
        const char* answer;
        int index;
        bool chosen;
    };
    const Row rows[] = {
        {"*", 3, true}, {"2", 2, true},   {"2", 1, false},   {" 2x", 2, true}, {"1 2", 12, true},
        {"x", 0, true}, {"**", 1, false}, {"1e1", 10, true}, {"-1", 1, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vantor::LooseConsistChosen(row.answer, row.index), row.chosen)
            << "\"" << row.answer << "\" for " << row.index;
    }
}

// The consist window's tests open loose consists of a good activity and stock
// files that name their shape, and pin the messages for files that do not.
TEST(LooseConsists, ActivityWithoutItsObjectsIsRefused) {
    TempFolder folder;
    MakeFile(folder.Path() / "b.act", "Tr_Activity ( Tr_Activity_File ( ) )");
    corvane::TSFile broken(folder.File("b.act"));
    broken.Load();
    EXPECT_THROW(vantor::LooseConsists(broken), std::runtime_error);
}

TEST(StockShape, ShapeIsInTheStockFilesFolderWhicheverSeparatorThePathUses) {
    TempFolder folder;
    MakeFile(folder.Path() / "GP38" / "GP38.ENG",
             "Wagon ( GP38\r\n\tWagonShape ( \"GP38.s\" )\r\n)\r\nEngine ( GP38 )");
    const std::string root = folder.Path().string();
    struct Row {
        const char* from;
        std::string path;
        std::string shape;  // the quoted shape name keeps its quotes
    };
    const Row rows[] = {
        {"a simulator path", root + "\\gp38\\gp38.eng", root + "\\gp38\\\"GP38.s\""},
        {"the open dialog", root + "/GP38/GP38.ENG", root + "/GP38/\"GP38.s\""},
    };
    for (const Row& row : rows) {
        const auto shape = vantor::StockShapeOf(row.path, /*isEngine=*/true);
        EXPECT_EQ(shape.path, row.shape) << row.from;
        EXPECT_EQ(shape.caption, "Engine - GP38") << row.from;
    }
}

TEST(Settings, BadNumbersKeepTheirDefaultsAndNumbersWriteShortest) {
    vantor::MemorySettingsStore store;
    store.Write("MainLeft", "1012.5");
    store.Write("MainTop", "12abc");
    store.Write("MainWidth", "");
    store.Write("MainHeight", "nan");
    store.Write("MSTSDir", "/msts");
    vantor::Installation installation(vantor::platform::RegistrySource{});
    const auto settings = vantor::ReadStartupSettings(store, "/opt/vantor", installation);
    EXPECT_EQ(installation.MSTSDir(), "/msts");
    EXPECT_EQ(settings.placement.left, 1012.5f);
    EXPECT_EQ(settings.placement.top, 1000.0f);
    EXPECT_EQ(settings.placement.width, 6500.0f);
    EXPECT_EQ(settings.placement.height, 6500.0f);
    EXPECT_EQ(settings.screenShotDir, "/opt/vantor");
    EXPECT_EQ(vantor::FormatSingle(6495.0f), "6495");
    EXPECT_EQ(vantor::FormatSingle(0.1f), "0.1");
}

// The version and About texts are pinned by the main window's About test.
TEST(ShellTexts, RetilingAndFilterPairs) {
    EXPECT_FALSE(vantor::RetileOnResize(true, vantor::Arrangement::Cascade));
    EXPECT_TRUE(vantor::RetileOnResize(true, vantor::Arrangement::TileHorizontal));
    EXPECT_THAT(
        vantor::FilterPairs("Consist Files (*.con)|*.con|All Files (*.*)|*.*"),
        ElementsAre(Pair("Consist Files (*.con)", "*.con"), Pair("All Files (*.*)", "*.*")));
}

TEST(Drives, MountTableGivesRealFileSystemsAndWineDrives) {
    TempFolder prefix;
    std::filesystem::create_directories(prefix.Path() / "drive_c");
    std::filesystem::create_directories(prefix.Path() / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix.Path() / "dosdevices" / "c:");
    const std::string table =
        "proc /proc proc rw 0 0\n"
        "/dev/sda1 / ext4 rw 0 0\n"
        "/dev/sdb1 /mnt/My\\040Games ext4 rw 0 0\n"
        "/dev/sdb1 /mnt/My\\040Games ext4 rw 0 0\n";
    const auto drives = vantor::platform::DrivesFrom(table, prefix.Path().string());
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0].path, "/");
    EXPECT_EQ(drives[1].path, "/mnt/My Games");
    EXPECT_EQ(drives[2].label, "c: (Wine)");
    EXPECT_EQ(drives[2].path, std::filesystem::canonical(prefix.Path() / "drive_c").string());
    EXPECT_EQ(vantor::platform::DriveOf(drives, "/mnt/My Games/MSTS"), 1u);
    EXPECT_EQ(vantor::platform::DriveOf(drives, "/mnt/My Gamesx"), 0u);
    EXPECT_EQ(vantor::platform::DriveOf(drives, drives[2].path + "/MSTS"), 2u);
}

}  // namespace
