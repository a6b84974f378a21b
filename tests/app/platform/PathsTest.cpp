#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "platform/CommandLine.h"
#include "platform/Paths.h"

namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing_support::MakeFile;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using vantor::platform::EntryTypes;
using vantor::platform::FileExists;
using vantor::platform::ListingCache;
using vantor::platform::ListNames;
using vantor::platform::OnDiskPath;
using vantor::platform::ResolvePath;

// A throw-away installation, addressed the way the application does: the real
// folder followed by Windows-style parts.
class PathsTest : public testing::Test {
protected:
    std::string Real(const std::string& relative) const {
        return testing_support::Utf8Text(
            (m_folder.Path() / testing_support::Utf8Path(relative)).make_preferred());
    }
    std::string Win(const std::string& windowsPart) const {
        return m_folder.Path().string() + windowsPart;
    }
    std::string Make(const std::string& relative, const std::string& text = "x") const {
        return MakeFile(m_folder.Path() / relative, text);
    }
    void MakeFolder(const std::string& relative) const {
        fs::create_directories(m_folder.Path() / relative);
    }

    TempFolder m_folder;
};

TEST_F(PathsTest, ResolvesWindowsPathWhoseCaseDiffersFromTheDisk) {
    const std::string file = Make("Trains/Consists/GP38 Set.con");
    EXPECT_EQ(ResolvePath(Win("\\TRAINS\\consists\\gp38 set.CON")), file);
    EXPECT_EQ(ResolvePath(Win("/Trains\\Consists/GP38 Set.con")), file);
    EXPECT_EQ(ResolvePath(Win("\\Trains\\Consists\\GP39 Set.con")), std::nullopt);
    // ".." leaves the folder the way Windows reads it.
    MakeFolder("Trains/Trainset");
    EXPECT_EQ(ResolvePath(Win("\\trains\\trainset\\..\\CONSISTS\\.\\GP38 set.con")), file);
}

// What is kept per file is keyed by this path: every spelling of a file gives the
// one path, on every system, with or without a cache.
TEST_F(PathsTest, OnDiskPathIsOnePathForEverySpellingOfAFile) {
    Make("Trains/Consists/GP38 Set.con");
    MakeFolder("Trains/Trainset");
    const std::string file = Real("Trains/Consists/GP38 Set.con");
    for (const bool cached : {false, true}) {
        SCOPED_TRACE(cached ? "cached" : "uncached");
        std::optional<ListingCache> cache;
        if (cached) {
            cache.emplace();
        }
        EXPECT_EQ(OnDiskPath(Win("\\TRAINS\\consists\\gp38 set.CON")), file);
        EXPECT_EQ(OnDiskPath(Win("/Trains\\Consists/GP38 Set.con")), file);
        EXPECT_EQ(OnDiskPath(Win("\\trains\\TRAINSET\\..\\CONSISTS\\.\\GP38 set.con")), file);
        EXPECT_EQ(OnDiskPath(Win("\\trains\\CONSISTS\\")), Real("Trains/Consists"));
        EXPECT_EQ(OnDiskPath(Win("\\Trains\\Consists\\GP39 Set.con")), std::nullopt);
        EXPECT_EQ(OnDiskPath(Win("\\Trains\\Consists\\GP38 Set.con\\")), std::nullopt);
    }
}

TEST_F(PathsTest, PrefersTheExactNameThenTheFirstInListingOrder) {
    MakeFolder("Routes/alpine");
    MakeFolder("Routes/ALPINE");
    for (const bool cached : {false, true}) {
        std::optional<ListingCache> cache;
        if (cached) {
            cache.emplace();
        }
        EXPECT_EQ(ResolvePath(Win("\\Routes\\alpine")), Real("Routes/alpine"));
        EXPECT_EQ(ResolvePath(Win("\\Routes\\Alpine")), Real("Routes/ALPINE"))
            << "cached " << cached;
    }
}

TEST_F(PathsTest, FileTestFindsOnlyOrdinaryFiles) {
    Make("Trains/Consists/Coal.con");
    Make("Trains/Consists/.Hidden.con");
    Make("Trains/Trainset/GP38/GP38.eng");
    MakeFolder("Trains/Trainset/Empty/Sub");
    struct Row {
        const char* why;
        std::string path;
        bool exists;
    };
    const Row rows[] = {
        {"a folder is no file", Win("\\Trains\\Consists"), false},
        {"hidden file", Win("\\Trains\\Consists\\.Hidden.con"), false},
        {"wildcard", Win("\\Trains\\Consists\\*.CON"), true},
        {"wildcard matching only a hidden file", Win("\\Trains\\Consists\\.H*"), false},
        {"trailing separator searches the folder", Win("\\Trains\\Trainset\\GP38\\"), true},
        {"folder holding only a folder", Win("\\Trains\\Trainset\\Empty\\"), false},
        {"missing folder on the way", Win("\\Trains\\Gone\\Coal.con"), false},
        {"file used as a folder", Win("\\Trains\\Consists\\Coal.con\\x"), false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FileExists(row.path), row.exists) << row.why;
    }
    EXPECT_TRUE(vantor::platform::FolderExists(Win("\\TRAINS\\trainset\\gp38")));
    EXPECT_FALSE(vantor::platform::FolderExists(Win("\\Trains\\Consists\\Coal.con")));
}

TEST_F(PathsTest, ListingsComeInNtfsOrderWithoutHiddenEntries) {
    for (const char* name : {"b.con", "_x.con", "a.con", "A.con", ".hidden.con"}) {
        Make(std::string("Consists/") + name);
    }
    MakeFolder("Consists/Sub.con");
    EXPECT_THAT(ListNames(Win("\\CONSISTS\\*.con"), EntryTypes::Files),
                ElementsAre("A.con", "a.con", "b.con", "_x.con"));
    EXPECT_THAT(ListNames(Win("\\Consists\\*"), EntryTypes::Both),
                ElementsAre("A.con", "a.con", "b.con", "Sub.con", "_x.con"));
    EXPECT_THAT(ListNames(Win("\\Gone\\*"), EntryTypes::Both), testing::IsEmpty());
}

// Threads sharing a cache read each folder once and see the changes made through it.
TEST_F(PathsTest, CacheKeepsListingsUntilItGoesButSeesItsOwnChangesOnEveryThread) {
    Make("Consists/A.con");
    {
        ListingCache cache;
        EXPECT_TRUE(FileExists(Win("\\consists\\a.con")));
        Make("Consists/B.con");
        const auto onAnotherThread = [&](const std::string& path) {
            bool found = false;
            std::thread([&] {
                const ListingCache shared(ListingCache::ShareWith{cache});
                found = FileExists(path);
            }).join();
            return found;
        };
        EXPECT_FALSE(onAnotherThread(Win("\\CONSISTS\\b.con")))
            << "a change made outside the layer shows only after the cache";
        vantor::platform::FileCopy(Real("Consists/A.con"), Win("\\Consists\\C.con"));
        EXPECT_TRUE(onAnotherThread(Win("\\CONSISTS\\c.con")))
            << "a copy through the layer renews the listing for every thread";
        vantor::platform::RemoveFile(Win("\\Consists\\a.con"));
        EXPECT_FALSE(FileExists(Win("\\Consists\\A.con")));
        Make("Consists/D.con");
        EXPECT_FALSE(FileExists(Win("\\Consists\\D.con")));
    }
    EXPECT_TRUE(FileExists(Win("\\Consists\\d.con")));
}

TEST_F(PathsTest, CopyReplacesTheTargetWhateverItsCase) {
    const std::string source = Make("Consists/GP38 Set.con", "new text");
    const std::string target = Make("Consists/COPY.CON", "old text that is longer");
    vantor::platform::FileCopy(Win("\\consists\\gp38 set.con"), Win("\\Consists\\Copy.con"));
    EXPECT_EQ(ReadBytes(target), "new text");
    EXPECT_THAT(ListNames(Win("\\Consists\\*"), EntryTypes::Both),
                ElementsAre("COPY.CON", "GP38 Set.con"))
        << "no second file and no temporary file left behind";
    EXPECT_EQ(ReadBytes(source), "new text");
}

TEST_F(PathsTest, CopyAndDeleteDescribeWhatWentWrongAndDeleteFindsAnyCase) {
    const std::string file = Make("Consists/A.con");
    // Returns the start of the message a copy, or a delete without target, fails with.
    const auto error = [this](const char* source, const std::string& target = "") {
        try {
            target.empty() ? vantor::platform::RemoveFile(Win(source))
                           : vantor::platform::FileCopy(Win(source), Win(target));
        } catch (const std::runtime_error& e) {
            return std::string(e.what()).substr(0, std::string(e.what()).find(": ") + 2);
        }
        return std::string("no error");
    };
    EXPECT_EQ(error("\\Consists\\Gone.con", "\\Consists\\B.con"), "File not found: ");
    EXPECT_EQ(error("\\Consists\\A.con", "\\Gone\\B.con"), "Path not found: ");
    EXPECT_EQ(error("\\Consists\\A.con", "\\Consists\\a?b.con"), "Bad file name: ");
    EXPECT_EQ(error("\\Consists\\Gone.con"), "File not found: ");
    EXPECT_EQ(error("\\Consists\\*.con"), "File not found: ") << "delete takes no wildcards";
    EXPECT_TRUE(FileExists(Win("\\Consists\\A.con")));
    vantor::platform::RemoveFile(Win("\\CONSISTS\\a.CON"));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(PathsTest, HostPathResolvesTheExistingPartAndKeepsTheNewName) {
    MakeFolder("Trains/Consists");
    EXPECT_EQ(vantor::platform::HostPath(Win("\\TRAINS\\consists\\New One.con")),
              Real("Trains/Consists/New One.con"));
    EXPECT_EQ(vantor::platform::HostPath(Win("\\Trains\\New\\..\\Consists\\x.con")),
              Real("Trains/Consists/x.con"));
}

// A Windows program splits its command line back into these arguments only when
// backslashes are doubled exactly where a quote follows them.
TEST(CommandLineTest, QuotesWhatTheRunTimeLibraryWouldSplitOrUnescape) {
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"plain", L"plain"},
        {L"", L"\"\""},
        {L"two words", L"\"two words\""},
        {L"C:\\Program Files\\", L"\"C:\\Program Files\\\\\""},
        {L"say \"hi\"", L"\"say \\\"hi\\\"\""},
        {L"a\\\"b", L"\"a\\\\\\\"b\""},
        {L"C:\\no\\quote", L"C:\\no\\quote"},
    };
    for (const auto& [argument, quoted] : rows) {
        EXPECT_EQ(vantor::platform::QuoteArgument(argument), quoted);
    }
    EXPECT_EQ(vantor::platform::CommandLine({L"C:\\a b\\x.exe", L"-n", L"c d"}),
              L"\"C:\\a b\\x.exe\" -n \"c d\"");
}

}  // namespace
