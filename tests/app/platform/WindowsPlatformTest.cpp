// The Windows side of the platform layer, run on Windows (or under Wine): the
// system registry, starting programs through the Windows API, and the drives.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "TempFolder.h"
#include "platform/Drives.h"
#include "platform/Launcher.h"
#include "platform/Locations.h"
#include "platform/Registry.h"
#include "platform/WindowsApi.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::Utf8Path;
using testing_support::Utf8Text;
using vantor::platform::GetRegistryString;
using vantor::platform::RegistryRoot;

constexpr const char* kKey = "Software\\Vantor Tests\\Z\xC3\xBCge";

// A key of the user's registry, filled by the test and deleted afterwards.
class WindowsRegistryTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Utf8Path(kKey).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(m_key);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vantor Tests");
    }
    void Set(const wchar_t* name, DWORD type, const std::wstring& data) {
        ASSERT_EQ(RegSetValueExW(m_key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    HKEY m_key = nullptr;
};

TEST_F(WindowsRegistryTest, StringValuesComeAsUtf8CutAtTheFirstNulAndAnythingElseIsEmpty) {
    Set(L"Path", REG_SZ, std::wstring(L"C:\\Program Files\\M\u00fcnchen") + L'\0');
    Set(L"Two", REG_SZ, std::wstring(L"first\0second", 12));
    Set(L"Expand", REG_EXPAND_SZ, L"%SystemRoot%\\x");
    const DWORD number = 7;
    ASSERT_EQ(RegSetValueExW(m_key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                             sizeof number),
              ERROR_SUCCESS);

    EXPECT_EQ(GetRegistryString(RegistryRoot::CurrentUser, kKey, "Path"),
              "C:\\Program Files\\M\xC3\xBCnchen");
    EXPECT_EQ(GetRegistryString(RegistryRoot::CurrentUser, kKey, "path"),
              "C:\\Program Files\\M\xC3\xBCnchen")
        << "value names ignore case";
    EXPECT_EQ(GetRegistryString(RegistryRoot::CurrentUser, kKey, "Two"), "first");
    EXPECT_EQ(GetRegistryString(RegistryRoot::CurrentUser, kKey, "Expand"), "%SystemRoot%\\x");
    EXPECT_EQ(GetRegistryString(RegistryRoot::CurrentUser, kKey, "Number"), "");
    EXPECT_EQ(GetRegistryString(RegistryRoot::CurrentUser, kKey, "Gone"), "");
    EXPECT_EQ(GetRegistryString(RegistryRoot::CurrentUser, "Software\\Vantor Tests\\Gone", "Path"),
              "");
    EXPECT_EQ(GetRegistryString(RegistryRoot::LocalMachine, kKey, "Path"), "")
        << "the other root is another registry";
}

// Waits up to twenty seconds for a file that another program writes.
std::string WaitForFile(const fs::path& file) {
    for (int i = 0; i < 200 && !fs::exists(file); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::string text;
    for (int i = 0; i < 50; ++i) {  // until the writer has closed it
        text = ReadBytes(Utf8Text(file));
        if (!text.empty()) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return text;
}

TEST(WindowsLauncher, StartsAProgramFoundOnThePathInTheWorkingFolderWithItsArguments) {
    const TempFolder folder;
    const fs::path working = folder.Path() / Utf8Path("Z\xC3\xBCge und Wagen");
    fs::create_directories(working);
    const std::string cmd = vantor::platform::FindOnPath("cmd");
    ASSERT_FALSE(cmd.empty());
    EXPECT_EQ(Utf8Path(cmd).filename().wstring().size(), 7U) << cmd;  // "cmd.exe" in any case

    const vantor::platform::LaunchResult result = vantor::platform::Launcher().Start(
        {"cmd", {"/c", "echo one two> out.txt"}, Utf8Text(working), true});
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(WaitForFile(working / "out.txt"), "one two\r\n");
}

TEST(WindowsLauncher, FailuresComeBackAsDescriptions) {
    const TempFolder folder;
    const std::string gone = Utf8Text(folder.Path() / "gone.exe");
    const vantor::platform::Launcher launcher;
    EXPECT_EQ(launcher.Start({gone, {}, ""}).error, "Cannot find " + gone);
    EXPECT_EQ(launcher.Start({"cmd", {}, gone}).error, "Cannot find the folder " + gone);

    // A file that is no program: CreateProcess refuses it and says why.
    const std::string text = testing_support::MakeFile(folder.Path() / "notes.exe", "just text");
    const std::string refused = vantor::platform::SpawnDetached({text}, "", true);
    EXPECT_THAT(refused, testing::StartsWith("Cannot start " + text + ": "));
    EXPECT_GT(refused.size(), ("Cannot start " + text + ": ").size()) << "a reason follows";
}

TEST(WindowsDrives, TheDrivesOfTheSystemWithTheirRoots) {
    const auto drives = vantor::platform::ListDrives();
    ASSERT_FALSE(drives.empty());
    bool hasC = false;
    for (const auto& drive : drives) {
        EXPECT_EQ(drive.path, drive.label + "\\");
        hasC = hasC || drive.label == "c:";
    }
    EXPECT_TRUE(hasC);
    const std::size_t c = vantor::platform::DriveOf(drives, "c:\\windows\\system32");
    EXPECT_EQ(drives[c].label, "c:");
}

}  // namespace
