#include "common/Installation.h"

#include <exception>
#include <string>

#include "common/Text.h"
#include "platform/Clock.h"
#include "platform/Locations.h"
#include "platform/Names.h"
#include "platform/Paths.h"

namespace vantor {

Installation::Installation() : Installation(platform::SystemRegistry()) {}

Installation::Installation(platform::RegistrySource registry, std::string logFile)
    : m_registry(std::move(registry)) {
    if (!logFile.empty()) {
        m_logFiles.push_back(std::move(logFile));
    }
}

Installation::Installation(platform::RegistrySource registry, std::vector<std::string> logFiles)
    : m_registry(std::move(registry)), m_logFiles(std::move(logFiles)) {}

std::string Installation::ReadLocalMachine(std::string_view key, std::string_view value) const {
    return m_registry.getString
               ? m_registry.getString(platform::RegistryRoot::LocalMachine, key, value)
               : std::string();
}

std::string Installation::ToHostPath(std::string_view windowsPath) const {
    return windowsPath.empty() || !m_registry.toHostPath ? std::string()
                                                         : m_registry.toHostPath(windowsPath);
}

std::string Installation::MSTSPath() const {
    return m_msTSDir.empty() ? RegisteredMSTSPath() : m_msTSDir;
}

void Installation::SetMSTSPath(std::string_view value) {
    const std::string trimmed = TrimBlanks(value);
    const bool registered = trimmed.empty() || platform::SameName(trimmed, "$MSTS");
    m_msTSDir = registered ? std::string() : std::string(value);
}

bool Installation::MSTSInstalled() const {
    return !MSTSPath().empty();
}

std::string Installation::RegisteredMSTSPath() const {
    return ToHostPath(ReadLocalMachine(kMSTSRegistryKey, kMSTSRegistryValue));
}

std::string Installation::ShapeViewerPath() const {
    // The viewer's installer numbers its uninstall entries "ST6UNST #1" to "#9".
    std::string key;
    for (int n = 1; n <= 9 && key.empty(); ++n) {
        std::string candidate =
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ST6UNST #" +
            std::to_string(n);
        if (ReadLocalMachine(candidate, "ApplicationName") == "Orbisk.exe") {
            key = std::move(candidate);
        }
    }
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

bool Installation::ShapeViewerInstalled() const {
    return !ShapeViewerPath().empty();
}

void Installation::WriteLog(std::string_view message) const {
    const std::string line = platform::LocalTimeText("%H:%M:%S ") + std::string(message) + "\r\n";
    for (const std::string& file : m_logFiles.empty() ? platform::LogFiles() : m_logFiles) {
        try {
            const std::size_t slash = file.find_last_of("\\/");
            if (slash != std::string::npos && slash > 0) {
                platform::CreateFolders(file.substr(0, slash));
            }
            platform::AppendText(file, line);
            return;
        } catch (const std::exception&) {
            // The log is a help, never a reason to stop: the next file is tried.
        }
    }
}

}  // namespace vantor
