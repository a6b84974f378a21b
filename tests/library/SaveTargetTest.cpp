#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempFolder.h"
#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using testing_support::Item;
using testing_support::TempFolder;

// Saves a one-item consist to path.
void SaveConsist(const std::string& path) {
    corvane::TSFile file(path);
    file.Items()->Add(Item("train", {"1"}));
    file.Save();
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Returns the id of a process that has ended.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(SaveTarget, TargetsThatAreNoRegularFileOrAreReadOnlyAreRefusedAndKept) {
    TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.File("pipe.con").c_str(), 0600), 0);
    testing_support::WriteBytes(folder.File("locked.con"), "old");
    std::filesystem::permissions(folder.File("locked.con"), std::filesystem::perms::owner_read |
                                                                std::filesystem::perms::group_read);
    std::filesystem::create_symlink(folder.File("pipe.con"), folder.File("link.con"));
    struct Row {
        const char* name;
        const char* message;
    };
    for (const Row& row : {Row{"pipe.con", ": it is not a regular file"},
                           Row{"link.con", ": it is not a regular file"},
                           Row{"locked.con", ": the file is read-only"}}) {
        const std::string path = folder.File(row.name);
        EXPECT_THAT([&] { SaveConsist(path); },
                    testing::ThrowsMessage<std::runtime_error>(
                        testing::StrEq("Cannot save " + path + row.message)))
            << row.name;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(folder.File("pipe.con")));
    EXPECT_EQ(testing_support::ReadBytes(folder.File("locked.con")), "old");
    EXPECT_THAT(Names(folder.Path()), testing::ElementsAre("link.con", "locked.con", "pipe.con"));
}

// A replaced file keeps its mode, and its owner when the administrator saves it.
TEST(SaveTarget, ReplacedFileKeepsItsModeAndOwnerAndANewFileFollowsTheMask) {
    TempFolder folder;
    testing_support::WriteBytes(folder.File("a.con"), "old");
    ASSERT_EQ(::chmod(folder.File("a.con").c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(!root || ::chown(folder.File("a.con").c_str(), 4321, 8765) == 0);
    SaveConsist(folder.File("a.con"));
    struct stat info {};
    ASSERT_EQ(::stat(folder.File("a.con").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_TRUE(!root || (info.st_uid == 4321u && info.st_gid == 8765u));

    const mode_t mask = ::umask(027);
    SaveConsist(folder.File("new.con"));
    ::umask(mask);
    ASSERT_EQ(::stat(folder.File("new.con").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(SaveTarget, TemporaryFilesOfEndedWritersGoAndOthersStay) {
    TempFolder folder;
    const std::string dead = std::to_string(EndedProcess());
    const std::string alive = std::to_string(::getppid());
    const std::vector<std::string> kept = {
        ".a.con~" + alive + ".Ab3xYz",  // its writer still runs
        ".a.con~" + dead + ".Ab3xY",    // not a temporary name: too short
        ".a.con~" + dead + "x.Ab3xYz",  // not a process id
        ".b.con~" + dead + ".Ab3xYz",   // another target's
    };
    for (const auto& name : kept) {
        testing_support::WriteBytes(folder.File(name), "x");
    }
    testing_support::WriteBytes(folder.File(".a.con~" + dead + ".Ab3xYz"), "abandoned");
    SaveConsist(folder.File("a.con"));
    std::vector<std::string> expected = kept;
    expected.push_back("a.con");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(folder.Path()), expected);
}

TEST(SaveTarget, NamesOfTheLongestLegalLengthSave) {
    TempFolder folder;
    const std::string name = std::string(NAME_MAX - 4, 'n') + ".con";
    SaveConsist(folder.File(name));
    SaveConsist(folder.File(name));  // over the file, with a temporary of a cut name
    EXPECT_THAT(Names(folder.Path()), testing::ElementsAre(name));
}

TEST(SaveTarget, TerminatedSaveRemovesItsTemporaryFile) {
    TempFolder folder;
    const pid_t child = ::fork();
    if (child == 0) {
        corvane::TSFile file(folder.File("big.con"));
        file.Items()->Add(Item("train", {std::string(50'000'000, 'x').c_str()}));
        while (true) {
            file.Save();
        }
    }
    const auto temporaryExists = [&] {
        for (const auto& name : Names(folder.Path())) {
            if (name.starts_with(".big.con~")) {
                return true;
            }
        }
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!temporaryExists() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_FALSE(temporaryExists());
}

}  // namespace
