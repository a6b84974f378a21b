#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/FolderListing.h"
#include "platform/Launcher.h"

#include "platform/WindowsApi.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vantor::platform {

namespace {

#if !defined(_WIN32)
// What failed in the new process, reported through the pipe.
enum Stage : int { kFork = 1, kFolder = 2, kExec = 3 };

void Report(int fd, int stage) {
    const int message[2] = {stage, errno};
    [[maybe_unused]] const ssize_t written = ::write(fd, message, sizeof message);
}

// Runs in the new process: detaches twice so that nobody has to wait for the
// program, then starts it; a failure goes to the pipe.
[[noreturn]] void RunChild(int reportFd, char* const* argv, const char* folder) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) {
        if (grandchild < 0) {
            Report(reportFd, kFork);
        }
        ::_exit(0);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    if (folder != nullptr && ::chdir(folder) != 0) {
        Report(reportFd, kFolder);
        ::_exit(127);
    }
    ::execv(argv[0], argv);
    Report(reportFd, kExec);
    ::_exit(127);
}

std::string Describe(int stage, int error, const std::vector<std::string>& command,
                     const std::string& folder) {
    const std::string reason = std::generic_category().message(error);
    if (stage == kFolder) {
        return "Cannot change to the folder " + folder + ": " + reason;
    }
    return "Cannot start " + command.front() + ": " + reason;
}
#endif

}  // namespace

#if defined(_WIN32)
std::string SpawnDetached(const std::vector<std::string>& command, const std::string& workingFolder,
                          bool hidden) {
    if (command.empty()) {
        return "No program to start";
    }
    std::vector<std::wstring> wide;
    for (const std::string& argument : command) {
        wide.push_back(detail::FromUtf8(argument).wstring());
    }
    std::wstring line = CommandLine(wide);
    const std::wstring program = detail::FromUtf8(command.front()).wstring();
    const std::wstring folder = detail::FromUtf8(workingFolder).wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(hidden ? SW_HIDE : SW_SHOWNORMAL);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        const DWORD error = GetLastError();
        return "Cannot start " + command.front() + ": " +
               std::system_category().message(static_cast<int>(error));
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}
#else
std::string SpawnDetached(const std::vector<std::string>& command, const std::string& workingFolder,
                          bool /*hidden*/) {
    if (command.empty()) {
        return "No program to start";
    }
    std::vector<std::string> arguments = command;
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return Describe(kFork, errno, command, workingFolder);
    }
    const char* folder = workingFolder.empty() ? nullptr : workingFolder.c_str();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        RunChild(fds[1], argv.data(), folder);
    }
    const int forkError = errno;
    ::close(fds[1]);
    if (child < 0) {
        ::close(fds[0]);
        return Describe(kFork, forkError, command, workingFolder);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int message[2] = {0, 0};
    ssize_t got = 0;
    do {
        got = ::read(fds[0], message, sizeof message);
    } while (got < 0 && errno == EINTR);
    ::close(fds[0]);
    return got == static_cast<ssize_t>(sizeof message)
               ? Describe(message[0], message[1], command, workingFolder)
               : std::string();
}
#endif

}  // namespace vantor::platform
