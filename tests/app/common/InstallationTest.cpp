#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "TempFolder.h"
#include "common/Installation.h"

namespace {

namespace fs = std::filesystem;
using testing::MatchesRegex;
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
    EXPECT_THAT(ReadBytes(log.string()),
                MatchesRegex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9] > tsview 1\r\n"
                             "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] < tsview 1\r\n"));

    const std::string blocker = MakeFile(folder.Path() / "file");
    const vantor::Installation blocked(FakeRegistry({}), blocker + "/vantor.log");
    EXPECT_NO_THROW(blocked.WriteLog("lost"));
    EXPECT_TRUE(fs::is_regular_file(blocker));
}

}  // namespace
