#pragma once

// Read-only access to the Windows registry.
//
// On Windows this is the system's registry. Elsewhere it is the registry of a
// Wine prefix (WINEPREFIX, else ~/.wine): HKEY_LOCAL_MACHINE from its system.reg,
// HKEY_CURRENT_USER from its user.reg. Either way a key is tried as given and
// then in the 32-bit view ("Software\Wow6432Node\..."), where a 32-bit program
// such as the simulator's installer leaves its keys on a 64-bit system.

#include <functional>
#include <string>
#include <string_view>

namespace vantor::platform {

// The root keys that the application reads.
enum class RegistryRoot { LocalMachine, CurrentUser };

// Returns the string value valueName of the key keyPath under root, cut before its
// first NUL; empty when the key or the value is missing or on any error.
std::string GetRegistryString(RegistryRoot root, std::string_view keyPath,
                              std::string_view valueName);

// Returns a string value from the registry files of a Wine prefix, as GetRegistryString.
std::string GetWineRegistryString(const std::string& prefix, RegistryRoot root,
                                  std::string_view keyPath, std::string_view valueName);

// Returns the Wine prefix in use: WINEPREFIX, else ~/.wine.
std::string DefaultWinePrefix();

// Returns the path on this system of a Windows path in a Wine prefix, through the
// prefix's drive links ("C:\MSTS" gives "<prefix>/drive_c/MSTS" when "c:" links
// to "../drive_c"); empty when the path has no drive letter or the drive is not mapped.
std::string WindowsToHostPath(std::string_view windowsPath, const std::string& prefix);

// Where registry values come from, and how a Windows path read from them becomes
// a path on this system.
struct RegistrySource {
    std::function<std::string(RegistryRoot, std::string_view, std::string_view)> getString;
    std::function<std::string(std::string_view)> toHostPath;
};

// Returns the system's registry: on Windows, paths stay as they are; elsewhere the
// default Wine prefix, looked up at each call.
RegistrySource SystemRegistry();

}  // namespace vantor::platform
