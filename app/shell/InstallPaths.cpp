#include "shell/InstallPaths.h"

#include "platform/Clock.h"

#include <cstdio>
#include <ctime>
#include <exception>
#include <string>

#include "platform/Locations.h"
#include "platform/Names.h"
#include "platform/Paths.h"

namespace vantor {

namespace {

// The module's state: the chosen folder, the registry and the log file.
struct InstallState {
    std::string msTSDir;
    platform::RegistrySource registry = platform::SystemRegistry();
    std::string logFile;
};

InstallState& State() {
    static InstallState state;
    return state;
}

std::string ReadLocalMachine(std::string_view key, std::string_view value) {
    const auto& getString = State().registry.getString;
    return getString ? getString(platform::RegistryRoot::LocalMachine, key, value) : std::string();
}

std::string ToHostPath(std::string_view windowsPath) {
    const auto& toHostPath = State().registry.toHostPath;
    return windowsPath.empty() || !toHostPath ? std::string() : toHostPath(windowsPath);
}

// Returns the uninstall key of the shape viewer, empty when it is not registered.
std::string ShapeViewerKey() {
    for (int n = 1; n <= 9; ++n) {
        std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ST6UNST #" +
                          std::to_string(n);
        if (ReadLocalMachine(key, "ApplicationName") == "Orbisk.exe") {
            return key;
        }
    }
    return {};
}

}  // namespace

std::string MSTSPath() {
    const std::string& chosen = State().msTSDir;
    return chosen.empty() ? RegisteredMSTSPath() : chosen;
}

void SetMSTSPath(std::string_view value) {
    const std::size_t first = value.find_first_not_of(' ');
    const std::string_view trimmed =
        first == std::string_view::npos
            ? std::string_view()
            : value.substr(first, value.find_last_not_of(' ') - first + 1);
    const bool registered = trimmed.empty() || platform::SameName(trimmed, "$MSTS");
    State().msTSDir = registered ? std::string() : std::string(value);
}

bool MSTSInstalled() {
    return !MSTSPath().empty();
}

std::string MSTSDir() {
    return State().msTSDir;
}

std::string RegisteredMSTSPath() {
    return ToHostPath(ReadLocalMachine(kMSTSRegistryKey, kMSTSRegistryValue));
}

std::string ShapeViewerPath() {
    const std::string key = ShapeViewerKey();
    if (key.empty()) {
        return {};
    }
    const std::string uninstall = ReadLocalMachine(key, "UninstallString");
    const std::size_t quote = uninstall.find('"');
    if (quote == std::string::npos) {
        return {};
    }
    const std::string quoted = uninstall.substr(quote + 1);
    const std::size_t slash = quoted.rfind('\\');
    const std::string folder =
        slash == std::string::npos ? std::string() : quoted.substr(0, slash + 1);
    return ToHostPath(folder + "Orbisk.exe");
}

bool ShapeViewerInstalled() {
    return !ShapeViewerPath().empty();
}

void WriteLog(std::string_view message) {
    try {
        const std::string file = State().logFile.empty() ? platform::LogFile() : State().logFile;
        const std::size_t slash = file.find_last_of("\\/");
        if (slash != std::string::npos && slash > 0) {
            platform::CreateFolders(file.substr(0, slash));
        }
        platform::AppendText(file,
                             platform::LocalTimeText("%H:%M:%S ") + std::string(message) + "\r\n");
    } catch (const std::exception&) {
        // The log is a help, never a reason to stop.
    }
}

void SetRegistrySource(platform::RegistrySource source) {
    State().registry = std::move(source);
}

void SetLogFile(std::string path) {
    State().logFile = std::move(path);
}

void ResetInstallPaths() {
    State() = InstallState();
}

}  // namespace vantor
