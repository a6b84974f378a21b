#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "platform/Registry.h"

namespace {

namespace fs = std::filesystem;
using testing_support::MakeFile;
using testing_support::ScopedEnvironment;
using testing_support::TempFolder;
using vantor::platform::GetWineRegistryString;
using vantor::platform::RegistryRoot;
using vantor::platform::WindowsToHostPath;

constexpr const char* kSystemReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Train Simulator\\1.0] 1700000000
#time=1da0c1e5f6d2a10
"Path"="C:\\Program Files\\Microsoft Games\\Train Simulator"

[Software\\Test] 1700000000
"Plain"="a\\b \"q\""
"Unicode"="caf\xe9 \x00e9t\xe9"
"Expand"=str(2):"%SystemRoot%\\x"
"HexExpand"=hex(2):41,00,42,00,\
  00,00
"Number"=dword:00000001
)";

class RegistryTest : public testing::Test {
protected:
    RegistryTest() {
        MakeFile(m_prefix.Path() / "system.reg", kSystemReg);
        fs::create_directories(m_prefix.Path() / "drive_c" / "Program Files");
        fs::create_directories(m_prefix.Path() / "dosdevices");
        fs::create_symlink("../drive_c", m_prefix.Path() / "dosdevices" / "c:");
        fs::create_symlink("/", m_prefix.Path() / "dosdevices" / "z:");
    }

    std::string Prefix() const { return m_prefix.Path().string(); }

    std::string Machine(const char* key, const char* value) const {
        return GetWineRegistryString(Prefix(), RegistryRoot::LocalMachine, key, value);
    }

    TempFolder m_prefix;
};

TEST_F(RegistryTest, StringValuesAreUnescaped) {
    struct Row {
        const char* why;
        const char* value;
        std::string text;
    };
    const Row rows[] = {
        {"backslash and quote escapes", "Plain", "a\\b \"q\""},
        {"hex escapes of two and four digits", "Unicode", "caf\xC3\xA9 \xC3\xA9t\xC3\xA9"},
        {"str(2) read as text", "Expand", "%SystemRoot%\\x"},
        {"hex(2) decoded from UTF-16 and continued on the next line", "HexExpand", "AB"},
        {"dword is no string", "Number", ""},
        {"value names ignore case", "plain", "a\\b \"q\""},
        {"missing value", "Gone", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Machine("Software\\Test", row.value), row.text) << row.why;
    }
}

TEST_F(RegistryTest, KeysIgnoreCaseFallBackToThe32BitViewAndChangedFilesAreReadAgain) {
    EXPECT_EQ(Machine("SOFTWARE\\TEST", "Plain"), "a\\b \"q\"");
    EXPECT_EQ(Machine("SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0", "Path"),
              "C:\\Program Files\\Microsoft Games\\Train Simulator");
    EXPECT_EQ(Machine("SOFTWARE\\Microsoft\\Missing", "Path"), "");
    MakeFile(m_prefix.Path() / "system.reg",
             "WINE REGISTRY Version 2\n\n[Software\\\\Test] 1\n\"Plain\"=\"changed text\"\n");
    EXPECT_EQ(Machine("Software\\Test", "Plain"), "changed text") << "a changed file is read again";
    EXPECT_EQ(GetWineRegistryString(Prefix() + "/gone", RegistryRoot::LocalMachine,
                                    "Software\\Test", "Plain"),
              "");
}

TEST_F(RegistryTest, SystemRegistryReadsThePrefixNamedByWinePrefixElseWineInTheHomeFolder) {
    {
        const ScopedEnvironment prefix("WINEPREFIX", Prefix());
        EXPECT_EQ(vantor::platform::DefaultWinePrefix(), Prefix());
        const auto registry = vantor::platform::SystemRegistry();
        EXPECT_EQ(registry.getString(RegistryRoot::LocalMachine, "Software\\Test", "Expand"),
                  "%SystemRoot%\\x");
        EXPECT_EQ(registry.toHostPath("C:\\x"), Prefix() + "/drive_c/x");
    }
    const ScopedEnvironment prefix("WINEPREFIX", std::nullopt);
    const ScopedEnvironment home("HOME", "/home/someone");
    EXPECT_EQ(vantor::platform::DefaultWinePrefix(), "/home/someone/.wine");
}

TEST_F(RegistryTest, WindowsPathsFollowTheDriveLinksOfThePrefix) {
    // The drive is linked relative to dosdevices; existing folders are found in any case.
    EXPECT_EQ(WindowsToHostPath("c:\\PROGRAM FILES\\MSTS", Prefix()),
              Prefix() + "/drive_c/Program Files/MSTS");
    EXPECT_EQ(WindowsToHostPath("C:\\", Prefix()), Prefix() + "/drive_c");
    EXPECT_EQ(WindowsToHostPath("Z:\\tmp", Prefix()), "/tmp") << "drive linked to the root folder";
    EXPECT_EQ(WindowsToHostPath("D:\\Games", Prefix()), "") << "drive without a link";
    EXPECT_EQ(WindowsToHostPath("", Prefix()), "");
}

}  // namespace
