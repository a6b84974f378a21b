#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "TempFolder.h"
#include "shell/InstallPaths.h"

namespace {

namespace fs = std::filesystem;
using testing::MatchesRegex;
using testing_support::MakeFile;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using vantor::platform::RegistryRoot;
using vantor::platform::RegistrySource;

constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A registry of fixed values under HKEY_LOCAL_MACHINE, paths left as they are.
RegistrySource FakeRegistry(const std::map<std::string, std::string>& values) {
    RegistrySource source;
    source.getString = [values](RegistryRoot root, std::string_view key, std::string_view name) {
        const auto found = values.find(std::string(key) + "|" + std::string(name));
        return root == RegistryRoot::LocalMachine && found != values.end() ? found->second
                                                                           : std::string();
    };
    source.toHostPath = [](std::string_view path) { return std::string(path); };
    return source;
}

class InstallPathsTest : public testing::Test {
protected:
    InstallPathsTest() { vantor::SetRegistrySource(FakeRegistry({})); }
    ~InstallPathsTest() override { vantor::ResetInstallPaths(); }

    TempFolder m_folder;
};

TEST_F(InstallPathsTest, SetMSTSPathStoresTheMacroAsEmptyAndFoldersAsGiven) {
    struct Row {
        const char* why;
        const char* value;
        const char* stored;
    };
    const Row rows[] = {
        {"macro in lower case with blanks", "  $msts ", ""},
        {"blanks only", "   ", ""},
        {"empty", "", ""},
        {"folder kept untrimmed", " C:\\MSTS ", " C:\\MSTS "},
        {"longer text is no macro", "$MSTS2", "$MSTS2"},
    };
    for (const Row& row : rows) {
        vantor::SetMSTSPath("previous");
        vantor::SetMSTSPath(row.value);
        EXPECT_EQ(vantor::MSTSDir(), row.stored) << row.why;
    }
}

TEST_F(InstallPathsTest, RegisteredFolderOfAWinePrefixIsTheDefault) {
    const fs::path prefix = m_folder.Path() / "wine";
    MakeFile(prefix / "system.reg",
             "WINE REGISTRY Version 2\n\n[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft "
             "Games\\\\Train Simulator\\\\1.0] 1\n\"Path\"=\"C:\\\\Games\\\\Train Simulator\"\n");
    fs::create_directories(prefix / "drive_c" / "games" / "train simulator");
    fs::create_directories(prefix / "dosdevices");
    fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
    vantor::SetRegistrySource(vantor::platform::WinePrefixRegistry(prefix.string()));

    const std::string registered = (prefix / "drive_c" / "games" / "train simulator").string();
    EXPECT_EQ(vantor::MSTSPath(), registered);
    EXPECT_TRUE(vantor::MSTSInstalled());
    vantor::SetMSTSPath("/elsewhere");
    EXPECT_EQ(vantor::MSTSPath(), "/elsewhere");
    vantor::SetMSTSPath("$MSTS");
    EXPECT_EQ(vantor::MSTSPath(), registered);
}

TEST_F(InstallPathsTest, NothingRegisteredMeansNotInstalled) {
    EXPECT_EQ(vantor::MSTSPath(), "");
    EXPECT_FALSE(vantor::MSTSInstalled());
}

TEST_F(InstallPathsTest, ShapeViewerIsFoundThroughItsUninstallEntry) {
    const std::string key3 = std::string(kUninstallKey) + "ST6UNST #3";
    const std::string key9 = std::string(kUninstallKey) + "ST6UNST #9";
    const std::string key10 = std::string(kUninstallKey) + "ST6UNST #10";
    const std::string uninstall = "C:\\WINDOWS\\ST6UNST.EXE -n \"C:\\Tools\\Orbisk\\ST6UNST.LOG\"";
    struct Row {
        const char* why;
        std::map<std::string, std::string> values;
        const char* path;
    };
    const Row rows[] = {
        {"third entry",
         {{std::string(kUninstallKey) + "ST6UNST #1|ApplicationName", "Other.exe"},
          {key3 + "|ApplicationName", "Orbisk.exe"},
          {key3 + "|UninstallString", uninstall}},
         "C:\\Tools\\Orbisk\\Orbisk.exe"},
        {"ninth entry is the last one read",
         {{key9 + "|ApplicationName", "Orbisk.exe"}, {key9 + "|UninstallString", uninstall}},
         "C:\\Tools\\Orbisk\\Orbisk.exe"},
        {"tenth entry is not read",
         {{key10 + "|ApplicationName", "Orbisk.exe"}, {key10 + "|UninstallString", uninstall}},
         ""},
        {"name compared exactly",
         {{key3 + "|ApplicationName", "orbisk.exe"}, {key3 + "|UninstallString", uninstall}},
         ""},
        {"uninstall command without a quote",
         {{key3 + "|ApplicationName", "Orbisk.exe"}, {key3 + "|UninstallString", "C:\\x\\y.exe"}},
         ""},
    };
    for (const Row& row : rows) {
        vantor::SetRegistrySource(FakeRegistry(row.values));
        EXPECT_EQ(vantor::ShapeViewerPath(), row.path) << row.why;
        EXPECT_EQ(vantor::ShapeViewerInstalled(), !std::string(row.path).empty()) << row.why;
    }
}

TEST_F(InstallPathsTest, LogLinesAreTimedAndAppended) {
    const fs::path log = m_folder.Path() / "state" / "vantor" / "vantor.log";
    vantor::SetLogFile(log.string());
    vantor::WriteLog("> tsview 1");
    vantor::WriteLog("< tsview 1");
    EXPECT_THAT(ReadBytes(log.string()),
                MatchesRegex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9] > tsview 1\r\n"
                             "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] < tsview 1\r\n"));
}

TEST_F(InstallPathsTest, LogThatCannotBeWrittenIsLeftAlone) {
    const std::string blocker = MakeFile(m_folder.Path() / "file");
    vantor::SetLogFile(blocker + "/vantor.log");
    EXPECT_NO_THROW(vantor::WriteLog("lost"));
    EXPECT_TRUE(fs::is_regular_file(blocker));
}

}  // namespace
