#include "RunProgram.h"

#include <stdexcept>

#include "TempFolder.h"

#include "platform/CommandLine.h"
#include "platform/WindowsApi.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;
#endif

namespace testing_support {

namespace {

#if defined(_WIN32)
// A handle closed when it goes.
struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    Handle() = default;
    explicit Handle(HANDLE handle) : h(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE && h != nullptr) {
            CloseHandle(h);
        }
    }
};

HANDLE Inheritable(const std::filesystem::path& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES security{};
    security.nLength = sizeof security;
    security.bInheritHandle = TRUE;
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif

}  // namespace

#if defined(_WIN32)
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingFolder) {
    TempFolder folder;
    const std::string outPath = folder.File("out");
    const std::string errPath = folder.File("err");
    ProgramResult result;
    {
        const Handle in(Inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING));
        const Handle out(Inheritable(Utf8Path(outPath), GENERIC_WRITE, CREATE_ALWAYS));
        const Handle err(Inheritable(Utf8Path(errPath), GENERIC_WRITE, CREATE_ALWAYS));
        std::vector<std::wstring> command{Utf8Path(program).wstring()};
        for (const auto& a : arguments) {
            command.push_back(Utf8Path(a).wstring());
        }
        std::wstring line = vantor::platform::CommandLine(command);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.h;
        startup.hStdOutput = out.h;
        startup.hStdError = err.h;
        PROCESS_INFORMATION process{};
        const std::wstring application = Utf8Path(program).wstring();
        const std::wstring working = Utf8Path(workingFolder).wstring();
        if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            working.empty() ? nullptr : working.c_str(), &startup, &process)) {
            throw std::runtime_error("cannot start " + program);
        }
        const Handle thread(process.hThread);
        const Handle child(process.hProcess);
        WaitForSingleObject(child.h, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(child.h, &code);
        result.exitCode = static_cast<int>(code);
    }
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    return result;
}
#else
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingFolder) {
    TempFolder folder;
    const std::string outPath = folder.File("out");
    const std::string errPath = folder.File("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        throw std::runtime_error("cannot start " + program);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    return result;
}
#endif

}  // namespace testing_support
