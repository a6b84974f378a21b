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

class InstallPathsTest : public testing::Test {
protected:
    InstallPathsTest() { vantor::SetRegistrySource(FakeRegistry({})); }
    ~InstallPathsTest() override { vantor::ResetInstallPaths(); }

    TempFolder m_folder;
};

TEST_F(InstallPathsTest, TheMacroIsStoredAsEmptyAndTheRegisteredFolderIsTheDefault) {
    EXPECT_EQ(vantor::MSTSPath(), "");
    vantor::SetMSTSPath(" C:\\MSTS ");
    EXPECT_EQ(vantor::MSTSDir(), " C:\\MSTS ") << "a folder is kept untrimmed";
    vantor::SetMSTSPath("$MSTS2");
    EXPECT_EQ(vantor::MSTSDir(), "$MSTS2") << "a longer text is no macro";
    vantor::SetMSTSPath("  $msts ");
    EXPECT_EQ(vantor::MSTSDir(), "");

    vantor::SetRegistrySource(FakeRegistry(
        {{std::string(vantor::kMSTSRegistryKey) + "|" + vantor::kMSTSRegistryValue, "C:\\TS"}}));
    EXPECT_EQ(vantor::MSTSPath(), "/host/C:\\TS");
    vantor::SetMSTSPath("/elsewhere");
    EXPECT_EQ(vantor::MSTSPath(), "/elsewhere");
    vantor::SetMSTSPath("$MSTS");
    EXPECT_EQ(vantor::MSTSPath(), "/host/C:\\TS");
}

TEST_F(InstallPathsTest, ShapeViewerIsFoundThroughItsUninstallEntry) {
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
        vantor::SetRegistrySource(
            FakeRegistry({{key(1) + "|ApplicationName", "Other.exe"},
                          {key(row.entry) + "|ApplicationName", row.name},
                          {key(row.entry) + "|UninstallString", row.uninstall}}));
        EXPECT_EQ(vantor::ShapeViewerPath(), row.path);
    }
}

TEST_F(InstallPathsTest, LogLinesAreTimedAndAppendedAndAnUnwritableLogIsLeftAlone) {
    const fs::path log = m_folder.Path() / "state" / "vantor" / "vantor.log";
    vantor::SetLogFile(log.string());
    vantor::WriteLog("> tsview 1");
    vantor::WriteLog("< tsview 1");
    EXPECT_THAT(ReadBytes(log.string()),
                MatchesRegex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9] > tsview 1\r\n"
                             "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] < tsview 1\r\n"));

    const std::string blocker = MakeFile(m_folder.Path() / "file");
    vantor::SetLogFile(blocker + "/vantor.log");
    EXPECT_NO_THROW(vantor::WriteLog("lost"));
    EXPECT_TRUE(fs::is_regular_file(blocker));
}

}  // namespace
