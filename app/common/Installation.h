#pragma once

// The simulator's installation as the program sees it: the folder the user chose
// or the simulator's registered folder, the registry it is read from, the shape
// viewer's entry, and the log. One object, built at start and handed to whoever
// needs it.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace vantor {

// The simulator's registry key and the value that holds its folder.
inline constexpr const char* kMSTSRegistryKey =
    "SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0";
inline constexpr const char* kMSTSRegistryValue = "Path";

class Installation {
public:
    // Reads the registry of the system and logs to the default log file.
    Installation();
    // Reads a given registry; an empty log file means the default location.
    explicit Installation(platform::RegistrySource registry, std::string logFile = {});
    // Reads a given registry and logs to the first of the log files that can be written.
    Installation(platform::RegistrySource registry, std::vector<std::string> logFiles);

    // Returns the installation folder: the folder chosen by the user, else the
    // simulator's registered folder (empty when the simulator is not registered).
    [[nodiscard]] std::string MSTSPath() const;
    // Sets the chosen folder: empty when value, trimmed, is empty or "$MSTS" in any
    // case, otherwise value exactly as given.
    void SetMSTSPath(std::string_view value);
    // Returns true when MSTSPath() is not empty.
    [[nodiscard]] bool MSTSInstalled() const;
    // Returns the folder chosen by the user (MSTSDir); empty means the registered folder.
    [[nodiscard]] const std::string& MSTSDir() const { return m_msTSDir; }
    // Returns the simulator's registered folder as a path on this system, empty when
    // the simulator is not registered.
    [[nodiscard]] std::string RegisteredMSTSPath() const;

    // Returns the full path of the shape viewer "Orbisk.exe" from its uninstall entry,
    // empty when it is not registered.
    [[nodiscard]] std::string ShapeViewerPath() const;
    // Returns true when ShapeViewerPath() is not empty.
    [[nodiscard]] bool ShapeViewerInstalled() const;

    // Appends a line "hh:mm:ss " + message + CR LF to the first log file that can
    // be written (see platform::LogFiles); when none can, the line is dropped.
    void WriteLog(std::string_view message) const;

    // The registry the paths are read from.
    [[nodiscard]] const platform::RegistrySource& Registry() const { return m_registry; }

private:
    [[nodiscard]] std::string ReadLocalMachine(std::string_view key, std::string_view value) const;
    [[nodiscard]] std::string ToHostPath(std::string_view windowsPath) const;

    std::string m_msTSDir;
    platform::RegistrySource m_registry;
    std::vector<std::string> m_logFiles;  // empty: platform::LogFiles()
};

}  // namespace vantor
