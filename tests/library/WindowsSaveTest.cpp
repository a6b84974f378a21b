// Save's handling of its target on Windows: the temporary file, attributes,
// sharing, and names outside the ANSI code page.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "TreeText.h"
#include "corvane/TSFile.h"
#include "platform/WindowsApi.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Item;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::Utf8Path;
using testing_support::Utf8Text;
using testing_support::WriteBytes;

void SaveConsist(const std::string& path, const char* value = "1") {
    corvane::TSFile file(path);
    file.Items()->Add(Item("train", {value}));
    file.Save();
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(Utf8Text(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A handle closed when it goes.
struct OpenFile {
    HANDLE handle;
    explicit OpenFile(HANDLE h) : handle(h) {}
    ~OpenFile() { CloseHandle(handle); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
};

TEST(WindowsSave, NamesOutsideTheCodePageSaveAndLoadAndNoTemporaryFileStays) {
    const TempFolder folder;
    const std::string name = "Z\xC3\xBCge \xD0\x96\xE2\x82\xAC.con";  // Züge Ж€
    const std::string path = folder.File(name);
    SaveConsist(path, "1");
    SaveConsist(path, "2");  // replaces the file
    EXPECT_THAT(Names(folder.Path()), testing::ElementsAre(name));
    corvane::TSFile loaded(path);
    loaded.Load();
    ASSERT_NE(loaded.Child("train"), nullptr);
    EXPECT_EQ(loaded.Child("train")->Parameter(0), "2");
}

TEST(WindowsSave, TargetsThatAreNoRegularFileOrAreReadOnlyAreRefusedAndKept) {
    const TempFolder folder;
    fs::create_directory(folder.Path() / "folder.con");
    WriteBytes(folder.File("locked.con"), "old");
    ASSERT_NE(
        SetFileAttributesW(Utf8Path(folder.File("locked.con")).c_str(), FILE_ATTRIBUTE_READONLY),
        0);
    const std::pair<const char*, const char*> rows[] = {
        {"folder.con", ": it is not a regular file"}, {"locked.con", ": the file is read-only"}};
    for (const auto& [target, reason] : rows) {
        try {
            SaveConsist(folder.File(target));
            ADD_FAILURE() << target << " was saved";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot save " + folder.File(target) + reason);
        }
    }
    EXPECT_TRUE(fs::is_directory(folder.Path() / "folder.con"));
    EXPECT_EQ(ReadBytes(folder.File("locked.con")), "old");
    EXPECT_THAT(Names(folder.Path()), testing::ElementsAre("folder.con", "locked.con"));
    SetFileAttributesW(Utf8Path(folder.File("locked.con")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A file another program holds open (without letting others delete it) cannot be
// replaced on Windows: the old file stays whole and the message says why.
TEST(WindowsSave, AFileInUseElsewhereIsKeptAndTheMessageSaysSo) {
    const TempFolder folder;
    const std::string path = folder.File("Busy.con");
    WriteBytes(path, "old bytes");
    const OpenFile other(CreateFileW(Utf8Path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(other.handle, INVALID_HANDLE_VALUE);
    try {
        SaveConsist(path);
        ADD_FAILURE() << "a file in use was replaced";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot save " + path + ": the file is in use by another program");
    }
    EXPECT_EQ(ReadBytes(path), "old bytes");
    EXPECT_THAT(Names(folder.Path()), testing::ElementsAre("Busy.con"))
        << "the temporary file is removed";
}

// The temporary file is made with CREATE_NEW: files already there, whatever their
// names, are never opened and written over.
TEST(WindowsSave, FilesBesideTheTargetAreLeftAlone) {
    const TempFolder folder;
    WriteBytes(folder.File("~a.con.1.tmp"), "someone else's");
    WriteBytes(folder.File("a.con"), "old");
    SaveConsist(folder.File("a.con"));
    EXPECT_EQ(ReadBytes(folder.File("~a.con.1.tmp")), "someone else's");
    EXPECT_THAT(Names(folder.Path()), testing::ElementsAre("a.con", "~a.con.1.tmp"));
    EXPECT_THAT(ReadBytes(folder.File("a.con")),
                testing::HasSubstr(std::string("t\0r\0a\0i\0n\0", 10)));
}

}  // namespace
