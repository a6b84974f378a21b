#include "platform/Registry.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/FolderListing.h"
#include "platform/Locations.h"
#include "platform/Names.h"
#include "platform/Paths.h"
#include "platform/RegFile.h"

#include "platform/WindowsApi.h"

namespace vantor::platform {

namespace {

namespace fs = std::filesystem;

// Returns the key in the 32-bit view ("Software\Wow6432Node\..."), empty when it has none.
std::string Wow6432Key(std::string_view keyPath) {
    std::string_view key = keyPath;
    while (!key.empty() && key.front() == '\\') {
        key.remove_prefix(1);
    }
    const std::size_t slash = key.find('\\');
    const std::string_view first = key.substr(0, slash);
    const std::string_view rest = slash == std::string_view::npos ? "" : key.substr(slash + 1);
    if (slash == std::string_view::npos || !SameName(first, "Software") ||
        SameName(rest.substr(0, rest.find('\\')), "Wow6432Node")) {
        return {};
    }
    return std::string(first) + "\\Wow6432Node" + std::string(key.substr(slash));
}

// Returns a value read by read() from the key as given, else from its 32-bit view.
template <typename Read>
std::string WithWow6432(std::string_view keyPath, Read read) {
    std::string value = read(keyPath);
    if (value.empty()) {
        const std::string alternative = Wow6432Key(keyPath);
        if (!alternative.empty()) {
            value = read(alternative);
        }
    }
    return value;
}

#if defined(_WIN32)
std::string ReadSystemValue(HKEY root, std::string_view keyPath, std::string_view valueName,
                            REGSAM view) {
    const std::wstring key = detail::FromUtf8(keyPath).wstring();
    const std::wstring value = detail::FromUtf8(valueName).wstring();
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) {
        return {};
    }
    DWORD type = 0;
    DWORD size = 0;
    std::wstring data;
    if (RegQueryValueExW(handle, value.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
        data.resize(size / sizeof(wchar_t) + 1);
        DWORD bytes = size;
        const LSTATUS status = RegQueryValueExW(handle, value.c_str(), nullptr, &type,
                                                reinterpret_cast<BYTE*>(data.data()), &bytes);
        data.resize(status == ERROR_SUCCESS ? bytes / sizeof(wchar_t) : 0);
    }
    RegCloseKey(handle);
    data.resize(std::min(data.size(), data.find(L'\0')));
    return detail::ToUtf8(fs::path(data));
}

std::string ReadSystemRegistry(RegistryRoot root, std::string_view keyPath,
                               std::string_view valueName) {
    HKEY rootKey = root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    std::string value = ReadSystemValue(rootKey, keyPath, valueName, 0);
    return value.empty() ? ReadSystemValue(rootKey, keyPath, valueName, KEY_WOW64_32KEY) : value;
}
#endif

// Returns the folder that a drive letter of a Wine prefix stands for, or nothing.
std::optional<fs::path> DriveFolder(char letter, const fs::path& prefix) {
    const char lower = static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter + 32 : letter);
    const fs::path devices = prefix / "dosdevices";
    const fs::path link = devices / (std::string(1, lower) + ":");
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(link, ec))) {
        const fs::path target = fs::read_symlink(link, ec);
        if (!ec) {
            return (target.is_absolute() ? target : devices / target).lexically_normal();
        }
    }
    if (fs::is_directory(link, ec)) {
        return link;
    }
    if (lower == 'c' && fs::is_directory(prefix / "drive_c", ec)) {
        return prefix / "drive_c";
    }
    return std::nullopt;
}

}  // namespace

std::string GetWineRegistryString(const std::string& prefix, RegistryRoot root,
                                  std::string_view keyPath, std::string_view valueName) {
    try {
        const fs::path file = detail::FromUtf8(prefix) /
                              (root == RegistryRoot::LocalMachine ? "system.reg" : "user.reg");
        return WithWow6432(keyPath, [&](std::string_view key) {
            return detail::ReadRegFileString(file, key, valueName);
        });
    } catch (const std::exception&) {
        return {};
    }
}

std::string GetRegistryString(RegistryRoot root, std::string_view keyPath,
                              std::string_view valueName) {
#if defined(_WIN32)
    try {
        return ReadSystemRegistry(root, keyPath, valueName);
    } catch (const std::exception&) {
        return {};
    }
#else
    return GetWineRegistryString(DefaultWinePrefix(), root, keyPath, valueName);
#endif
}

std::string DefaultWinePrefix() {
    std::string prefix = EnvironmentVariable("WINEPREFIX");
    if (!prefix.empty()) {
        return prefix;
    }
#if defined(_WIN32)
    return {};
#else
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.wine";
#endif
}

std::string WindowsToHostPath(std::string_view windowsPath, const std::string& prefix) {
    const bool hasDrive = windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                          ((windowsPath[0] >= 'A' && windowsPath[0] <= 'Z') ||
                           (windowsPath[0] >= 'a' && windowsPath[0] <= 'z'));
    if (!hasDrive || prefix.empty()) {
        return {};
    }
    const auto drive = DriveFolder(windowsPath[0], detail::FromUtf8(prefix));
    if (!drive) {
        return {};
    }
    std::string path = detail::ToUtf8(*drive);
    std::string_view rest = windowsPath.substr(2);
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find_first_of("\\/"), rest.size());
        if (end > 0) {
            path += (path.empty() || path.back() != '/') ? "/" : "";
            path += rest.substr(0, end);
        }
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return HostPath(path);
}

RegistrySource SystemRegistry() {
    RegistrySource source;
    source.getString = [](RegistryRoot root, std::string_view key, std::string_view value) {
        return GetRegistryString(root, key, value);
    };
#if defined(_WIN32)
    source.toHostPath = [](std::string_view path) { return std::string(path); };
#else
    source.toHostPath = [](std::string_view path) {
        return WindowsToHostPath(path, DefaultWinePrefix());
    };
#endif
    return source;
}

}  // namespace vantor::platform
