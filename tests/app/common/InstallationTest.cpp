#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "common/Installation.h"
#include "platform/Locations.h"

namespace {

namespace fs = std::filesystem;
using testing_support::MakeFile;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using vantor::platform::RegistryRoot;
using vantor::platform::RegistrySource;

const std::string kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ST6UNST #";

// A registry of fixed values ("key|name") under HKEY_LOCAL_MACHINE; its host paths
// are the Windows paths behind "/host/", so that the tests see the translation.
RegistrySource FakeRegistry(const std::map<std::string, std::string>& values) {
    RegistrySource source;
    source.getString = [values](RegistryRoot root, std::string_view key, std::string_view name) {
        const auto found = values.find(std::string(key) + "|" + std::string(name));
        return root == RegistryRoot::LocalMachine && found != values.end() ? found->second
                                                                           : std::string();
    };
    source.toHostPath = [](std::string_view path) { return "/host/" + std::string(path); };
    return source;
}

TEST(InstallationTest, TheMacroIsStoredAsEmptyAndTheRegisteredFolderIsTheDefault) {
    vantor::Installation unregistered(FakeRegistry({}));
    EXPECT_EQ(unregistered.MSTSPath(), "");
    unregistered.SetMSTSPath(" C:\\MSTS ");
    EXPECT_EQ(unregistered.MSTSDir(), " C:\\MSTS ") << "a folder is kept untrimmed";
    unregistered.SetMSTSPath("$MSTS2");
    EXPECT_EQ(unregistered.MSTSDir(), "$MSTS2") << "a longer text is no macro";
    unregistered.SetMSTSPath("  $msts ");
    EXPECT_EQ(unregistered.MSTSDir(), "");

    vantor::Installation install(FakeRegistry(
        {{std::string(vantor::kMSTSRegistryKey) + "|" + vantor::kMSTSRegistryValue, "C:\\TS"}}));
    EXPECT_EQ(install.MSTSPath(), "/host/C:\\TS");
    install.SetMSTSPath("/elsewhere");
    EXPECT_EQ(install.MSTSPath(), "/elsewhere");
    install.SetMSTSPath("$MSTS");
    EXPECT_EQ(install.MSTSPath(), "/host/C:\\TS");
}

TEST(InstallationTest, ShapeViewerIsFoundThroughItsUninstallEntry) {
    const std::string uninstall = "C:\\WINDOWS\\ST6UNST.EXE -n \"C:\\Tools\\Orbisk\\ST6UNST.LOG\"";
    const char* found = "/host/C:\\Tools\\Orbisk\\Orbisk.exe";
    struct Row {
        int entry;  // the number of the uninstall entry that holds the values
        const char* name;
        std::string uninstall;
        const char* path;
    };
    const Row rows[] = {
        {9, "Orbisk.exe", uninstall, found},  // the last entry read
        {10, "Orbisk.exe", uninstall, ""},
        {3, "orbisk.exe", uninstall, ""},  // names are compared exactly
        {3, "Orbisk.exe", "C:\\x\\y.exe", ""},
    };
    const auto key = [](int entry) { return kUninstallKey + std::to_string(entry); };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry);
        // Entry 1 belongs to another program.
        const vantor::Installation install(
            FakeRegistry({{key(1) + "|ApplicationName", "Other.exe"},
                          {key(row.entry) + "|ApplicationName", row.name},
                          {key(row.entry) + "|UninstallString", row.uninstall}}));
        EXPECT_EQ(install.ShapeViewerPath(), row.path);
    }
}

TEST(InstallationTest, LogLinesAreTimedAndAppendedAndAnUnwritableLogIsLeftAlone) {
    const TempFolder folder;
    const fs::path log = folder.Path() / "state" / "vantor" / "vantor.log";
    const vantor::Installation install(FakeRegistry({}), log.string());
    install.WriteLog("> tsview 1");
    install.WriteLog("< tsview 1");
    // std::regex, since GoogleTest's own regular expressions on Windows know no classes.
    const std::regex lines(
        "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] > tsview 1\r\n"
        "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] < tsview 1\r\n");
    EXPECT_TRUE(std::regex_match(ReadBytes(log.string()), lines)) << ReadBytes(log.string());

    const std::string blocker = MakeFile(folder.Path() / "file");
    const vantor::Installation blocked(FakeRegistry({}), blocker + "/vantor.log");
    EXPECT_NO_THROW(blocked.WriteLog("lost"));
    EXPECT_TRUE(fs::is_regular_file(blocker));
}

// The first log file that can be written takes the line, and only that one.
TEST(InstallationTest, ALogThatCannotBeWrittenGivesWayToTheNext) {
    const TempFolder folder;
    const std::string blocker = MakeFile(folder.Path() / "file");
    const std::string fallback = (folder.Path() / "local" / "Vantor" / "vantor.log").string();
    const std::string last = (folder.Path() / "last.log").string();
    const vantor::Installation install(
        FakeRegistry({}), std::vector<std::string>{blocker + "/vantor.log", fallback, last});
    install.WriteLog("> tsview 7");
    EXPECT_THAT(ReadBytes(fallback), testing::EndsWith(" > tsview 7\r\n"));
    EXPECT_FALSE(fs::exists(last));
    EXPECT_EQ(ReadBytes(blocker), "");
}

// On Windows the log is "c:\vantor.log", which a standard user cannot write: the
// user's local application data folder comes next.
TEST(InstallationTest, LogFilesAreTheSimulatorsNameThenOnWindowsTheLocalApplicationData) {
    const TempFolder folder;
    const testing_support::ScopedEnvironment local("LOCALAPPDATA", folder.Path().string());
    const std::vector<std::string> files = vantor::platform::LogFiles();
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files.front(), vantor::platform::LogFile());
#if defined(_WIN32)
    EXPECT_EQ(files.front(), "c:\\vantor.log");
    EXPECT_THAT(files, testing::ElementsAre("c:\\vantor.log",
                                            folder.Path().string() + "\\Vantor\\vantor.log"));
#else
    EXPECT_EQ(files.size(), 1U);
#endif
}

}  // namespace
