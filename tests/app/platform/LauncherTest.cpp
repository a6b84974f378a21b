#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempFolder.h"
#include "platform/Launcher.h"

namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing_support::MakeFile;
using testing_support::TempFolder;
using vantor::platform::FindInSearchPath;
using vantor::platform::Launcher;
using vantor::platform::LaunchRequest;

std::string MakeProgram(const fs::path& path, const std::string& text = "#!/bin/sh\n") {
    MakeFile(path, text);
    fs::permissions(path, fs::perms::owner_all);
    return path.string();
}

// Returns up to 64 KiB that another process writes to a FIFO: open blocks until
// the writer opens its end, and read blocks until data or EOF.
std::string ReadFifo(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return "(cannot open the FIFO: " + std::generic_category().message(errno) + ")";
    }
    std::string text;
    char buffer[4096];
    while (text.size() < 64 * 1024) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}

class LauncherTest : public testing::Test {
protected:
    // Returns a launcher that finds programs in the folder "bin" and records the
    // commands it would start.
    Launcher FakeLauncher() {
        const std::string bin = (m_folder.Path() / "bin").string();
        return Launcher([bin](std::string_view name) { return FindInSearchPath(name, bin); },
                        [this](const std::vector<std::string>& command, const std::string&, bool) {
                            m_spawned.push_back(command);
                            return std::string();
                        });
    }

    TempFolder m_folder;
    std::vector<std::vector<std::string>> m_spawned;
};

// The script cannot end before the test reads: opening a FIFO to write blocks
// until a reader opens it, and the test opens it only after Start returns. So
// Start returns while the program runs; a Start that waited would block for good.
TEST_F(LauncherTest, StartsWithArgumentsAsGivenAndInTheWorkingFolderWithoutWaiting) {
    const fs::path work = m_folder.Path() / "work";
    fs::create_directories(work);
    const fs::path fifo = m_folder.Path() / "out.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::generic_category().message(errno);
    const std::string script =
        MakeProgram(m_folder.Path() / "print args.sh",
                    "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do echo \"$a\"; done; } > '" +
                        fifo.string() + "'\n");
    const auto result = Launcher().Start({script, {"two words", "$HOME", "a;b"}, work.string()});
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(ReadFifo(fifo), fs::canonical(work).string() + "\ntwo words\n$HOME\na;b\n");
}

TEST_F(LauncherTest, FailuresComeBackAsDescriptions) {
    MakeFile(m_folder.Path() / "plain.sh", "#!/bin/sh\n");
    fs::permissions(m_folder.Path() / "plain.sh", fs::perms::owner_read | fs::perms::owner_write);
    MakeProgram(m_folder.Path() / "bin" / "tool");
    const std::string root = m_folder.Path().string();
    const auto failure = [](const Launcher& launcher, const LaunchRequest& request) {
        const auto result = launcher.Start(request);
        return result.started ? std::string("started") : result.error;
    };
    const Launcher launcher = FakeLauncher();
    EXPECT_EQ(failure(launcher, {root + "\\gone.sh", {}, ""}), "Cannot find " + root + "\\gone.sh");
    EXPECT_EQ(failure(launcher, {"frobnicate", {}, ""}), "Cannot find frobnicate");
    EXPECT_EQ(failure(launcher, {root + "/bin", {}, ""}), "Cannot find " + root + "/bin")
        << "a folder is no program";
    EXPECT_EQ(failure(launcher, {"tool", {}, root + "/gone"}),
              "Cannot find the folder " + root + "/gone");
    EXPECT_TRUE(m_spawned.empty());
    EXPECT_THAT(failure(Launcher(), {root + "/plain.sh", {}, ""}),
                testing::StartsWith("Cannot start " + root + "/plain.sh: "));
}

TEST_F(LauncherTest, WindowsProgramStartsThroughWineOrIsRefusedWithAReason) {
    const std::string exe = MakeFile(m_folder.Path() / "MSTS" / "launcher.exe");
    fs::create_directories(m_folder.Path() / "bin");
    const LaunchRequest request{
        m_folder.Path().string() + "\\msts\\LAUNCHER.EXE", {"-runeditor"}, ""};
    const auto refused = FakeLauncher().Start(request);
    EXPECT_FALSE(refused.started);
    EXPECT_EQ(refused.error,
              "Cannot start LAUNCHER.EXE: it is a Windows program and needs Wine, which is not "
              "installed.");
    EXPECT_TRUE(m_spawned.empty());

    const std::string wine = MakeProgram(m_folder.Path() / "bin" / "wine");
    const auto result = FakeLauncher().Start(request);
    EXPECT_TRUE(result.started) << result.error;
    ASSERT_EQ(m_spawned.size(), 1U);
    EXPECT_THAT(m_spawned[0], ElementsAre(wine, exe, "-runeditor"));
}

TEST_F(LauncherTest, SearchPathSkipsWhatCannotRun) {
    MakeFile(m_folder.Path() / "one" / "tool");
    fs::create_directories(m_folder.Path() / "two" / "tool");
    const std::string tool = MakeProgram(m_folder.Path() / "three" / "tool");
    const std::string root = m_folder.Path().string();
    const std::string searchPath = "::" + root + "/one:" + root + "/two:" + root + "/three";
    fs::permissions(m_folder.Path() / "one" / "tool", fs::perms::owner_read);
    EXPECT_EQ(FindInSearchPath("tool", searchPath), tool);
    EXPECT_EQ(FindInSearchPath("gone", searchPath), "");
    EXPECT_EQ(FindInSearchPath("three/tool", root), "") << "names with a folder are not searched";
}

}  // namespace
