#include "platform/Locations.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/FolderListing.h"

#include "platform/WindowsApi.h"

#if !defined(_WIN32)
#include <pwd.h>
#include <unistd.h>
#endif

namespace vantor::platform {

namespace {

namespace fs = std::filesystem;

#if !defined(_WIN32)
// Returns the folder an XDG variable names when it is an absolute path, else the
// fallback below the home folder.
std::string XdgFolder(const char* variable, const char* fallback) {
    std::string value = EnvironmentVariable(variable);
    if (!value.empty() && detail::FromUtf8(value).is_absolute()) {
        return value;
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : detail::ToUtf8(detail::FromUtf8(home) / fallback);
}
#endif

std::string Join(const std::string& folder, const char* relative) {
    return folder.empty() ? std::string() : detail::ToUtf8(detail::FromUtf8(folder) / relative);
}

}  // namespace

std::string EnvironmentVariable(const char* name) {
#if defined(_WIN32)
    const std::wstring wide = fs::path(name).wstring();
    const DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(wide.c_str(), value.data(), size);
    value.resize(length < size ? length : 0);
    return detail::ToUtf8(fs::path(value));
#else
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
#endif
}

std::string HomeFolder() {
#if defined(_WIN32)
    return EnvironmentVariable("USERPROFILE");
#else
    std::string home = EnvironmentVariable("HOME");
    if (home.empty()) {
        if (const passwd* entry = getpwuid(getuid());
            entry != nullptr && entry->pw_dir != nullptr) {
            home = entry->pw_dir;
        }
    }
    return home;
#endif
}

std::string ConfigFolder() {
#if defined(_WIN32)
    return EnvironmentVariable("APPDATA");
#else
    return XdgFolder("XDG_CONFIG_HOME", ".config");
#endif
}

std::string StateFolder() {
#if defined(_WIN32)
    return EnvironmentVariable("LOCALAPPDATA");
#else
    return XdgFolder("XDG_STATE_HOME", ".local/state");
#endif
}

std::string CacheFolder() {
#if defined(_WIN32)
    return EnvironmentVariable("LOCALAPPDATA");
#else
    return XdgFolder("XDG_CACHE_HOME", ".cache");
#endif
}

std::string SettingsFile() {
    return Join(ConfigFolder(), "Vantor/Vantor.conf");
}

std::string LogFile() {
#if defined(_WIN32)
    return "c:\\vantor.log";
#else
    return Join(StateFolder(), "vantor/vantor.log");
#endif
}

std::vector<std::string> LogFiles() {
    std::vector<std::string> files{LogFile()};
#if defined(_WIN32)
    if (std::string local = Join(StateFolder(), "Vantor\\vantor.log"); !local.empty()) {
        files.push_back(std::move(local));
    }
#endif
    return files;
}

std::string ProgramFile() {
#if defined(_WIN32)
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return detail::ToUtf8(fs::path(buffer));
        }
        buffer.resize(buffer.size() * 2);
    }
#else
    std::error_code ec;
    const fs::path file = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : detail::ToUtf8(file);
#endif
}

std::string ProgramFolder() {
    const std::string file = ProgramFile();
    return file.empty() ? std::string() : detail::ToUtf8(detail::FromUtf8(file).parent_path());
}

}  // namespace vantor::platform
