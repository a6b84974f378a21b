#pragma once

// Where the simulator and the shape viewer are installed, and the log.

#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace vantor {

// The simulator's registry key and the value that holds its folder.
inline constexpr const char* kMSTSRegistryKey =
    "SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0";
inline constexpr const char* kMSTSRegistryValue = "Path";

// Returns the installation folder: the folder chosen by the user, else the
// simulator's registered folder (empty when the simulator is not registered).
std::string MSTSPath();

// Sets the chosen folder: empty when value, trimmed, is empty or "$MSTS" in any
// case, otherwise value exactly as given.
void SetMSTSPath(std::string_view value);

// Returns true when MSTSPath() is not empty.
bool MSTSInstalled();

// Returns the folder chosen by the user (MSTSDir); empty means the registered folder.
std::string MSTSDir();

// Returns the simulator's registered folder as a path on this system, empty when
// the simulator is not registered.
std::string RegisteredMSTSPath();

// Returns the full path of the shape viewer "Orbisk.exe" from its uninstall entry,
// empty when it is not registered.
std::string ShapeViewerPath();

// Returns true when ShapeViewerPath() is not empty.
bool ShapeViewerInstalled();

// Appends a line "hh:mm:ss " + message + CR LF to the log; a log that cannot be
// written is left alone.
void WriteLog(std::string_view message);

// Replaces the registry that the installation paths are read from.
void SetRegistrySource(platform::RegistrySource source);

// Sets the log file; empty restores the default location.
void SetLogFile(std::string path);

// Returns the chosen folder, the registry and the log file to their state at start.
void ResetInstallPaths();

}  // namespace vantor
