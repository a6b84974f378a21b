#pragma once

// The user's folders for settings, log and cache, and the program's own folder.

#include <string>
#include <vector>

namespace vantor::platform {

// Returns an environment variable as UTF-8 text, empty when it is not set.
std::string EnvironmentVariable(const char* name);

// Returns the user's home folder (HOME, else the user database).
std::string HomeFolder();

// Returns the user's configuration folder: XDG_CONFIG_HOME, else ~/.config
// (on Windows, APPDATA).
std::string ConfigFolder();

// Returns the user's state folder: XDG_STATE_HOME, else ~/.local/state (on
// Windows, LOCALAPPDATA).
std::string StateFolder();

// Returns the user's cache folder: XDG_CACHE_HOME, else ~/.cache (on Windows,
// LOCALAPPDATA).
std::string CacheFolder();

// Returns the settings file: "Vantor/Vantor.conf" in the configuration folder.
std::string SettingsFile();

// Returns the log file: "vantor/vantor.log" in the state folder (on Windows "c:\vantor.log").
std::string LogFile();

// Returns the log files to try in turn: LogFile(), and on Windows, where a
// standard user may not write to "c:\", "Vantor\vantor.log" in the user's local
// application data folder after it.
std::vector<std::string> LogFiles();

// Returns the full path of the running program, empty when it cannot be found.
std::string ProgramFile();

// Returns the folder that holds the running program.
std::string ProgramFolder();

}  // namespace vantor::platform
