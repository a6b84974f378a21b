// The library's services: its name and version, and showing a file in a viewer.

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "Files.h"
#include "corvane/TSFile.h"

#include "WindowsApi.h"

#if !defined(_WIN32)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#ifndef CORVANE_VERSION
#define CORVANE_VERSION "0.0.0"
#endif

namespace corvane {

std::string Version() {
    return CORVANE_VERSION;
}

std::string TSFile::About() {
    return "Corvane " + Version() + " - simulator file library";
}

#if defined(_WIN32)

void TSFile::Preview() const {
    std::wstring command = L"\"c:\\windows\\system32\\notepad.exe\" \"" +
                           files::NativePath(m_fileName).wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"c:\\windows\\system32\\notepad.exe", command.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &startup, &process)) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "Cannot start Notepad");
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

#else

namespace {

// Returns the full path of a program found on PATH, or an empty string.
std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t colon = folders.find(':', start);
        const std::string folder = folders.substr(start, colon - start);
        std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (colon == std::string::npos) {
            break;
        }
        start = colon + 1;
    }
    return {};
}

// Returns the text viewer to use: $CORVANE_VIEWER, a desktop text editor, or xdg-open.
std::string FindViewer() {
    if (const char* chosen = std::getenv("CORVANE_VIEWER"); chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    for (const char* name : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma",
                             "xed", "featherpad", "leafpad", "geany", "xdg-open"}) {
        std::string found = FindProgram(name);
        if (!found.empty()) {
            return found;
        }
    }
    return {};
}

}  // namespace

void TSFile::Preview() const {
    const std::string viewer = FindViewer();
    if (viewer.empty()) {
        throw std::system_error(ENOENT, std::generic_category(),
                                "Cannot show " + m_fileName + ": no text viewer is installed");
    }
    const std::string file = files::NativePath(m_fileName).string();
    std::vector<char*> argv{const_cast<char*>(viewer.c_str()), const_cast<char*>(file.c_str()),
                            nullptr};
    // The viewer runs as a grandchild so that no child is left for us to wait for.
    const pid_t middle = ::fork();
    if (middle < 0) {
        throw std::system_error(errno, std::generic_category(), "Cannot start " + viewer);
    }
    if (middle == 0) {
        ::setsid();
        pid_t viewerPid = 0;
        const int rc = ::posix_spawnp(&viewerPid, argv[0], nullptr, nullptr, argv.data(), environ);
        ::_exit(rc == 0 ? 0 : (rc & 0x7F) | 0x80);
    }
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 0xFF;
    if (code != 0) {
        throw std::system_error((code & 0x80) != 0 ? (code & 0x7F) : ECHILD,
                                std::generic_category(), "Cannot start " + viewer);
    }
}

#endif

}  // namespace corvane
