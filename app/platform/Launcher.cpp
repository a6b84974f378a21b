#include "platform/Launcher.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/FolderListing.h"
#include "platform/Locations.h"
#include "platform/Names.h"
#include "platform/Paths.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace vantor::platform {

namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

bool IsProgramFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return false;
    }
#if defined(_WIN32)
    return true;
#else
    return ::access(path.c_str(), X_OK) == 0;
#endif
}

// Returns true when a program is a Windows program that needs Wine here.
bool NeedsWine(std::string_view program) {
#if defined(_WIN32)
    (void)program;
    return false;
#else
    return program.size() >= 4 && SameName(program.substr(program.size() - 4), ".exe");
#endif
}

std::string DisplayName(std::string_view program) {
    const std::size_t slash = program.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? program : program.substr(slash + 1));
}

}  // namespace

std::string FindInSearchPath(std::string_view name, std::string_view searchPath) {
    if (name.empty() || name.find_first_of("\\/") != std::string_view::npos) {
        return {};
    }
    while (!searchPath.empty()) {
        const std::size_t end = std::min(searchPath.find(kPathListSeparator), searchPath.size());
        const std::string_view folder = searchPath.substr(0, end);
        searchPath.remove_prefix(std::min(end + 1, searchPath.size()));
        if (folder.empty()) {
            continue;
        }
        const fs::path candidate = detail::FromUtf8(folder) / detail::FromUtf8(name);
        if (IsProgramFile(candidate)) {
            return detail::ToUtf8(candidate);
        }
#if defined(_WIN32)
        if (IsProgramFile(fs::path(candidate).concat(L".exe"))) {
            return detail::ToUtf8(fs::path(candidate).concat(L".exe"));
        }
#endif
    }
    return {};
}

std::string FindOnPath(std::string_view name) {
    return FindInSearchPath(name, EnvironmentVariable("PATH"));
}

Launcher::Launcher() : Launcher(FindOnPath, SpawnDetached) {}

Launcher::Launcher(ProgramFinder finder, ProgramSpawner spawner)
    : m_finder(std::move(finder)), m_spawner(std::move(spawner)) {}

LaunchResult Launcher::Start(const LaunchRequest& request) const {
    try {
        return Run(request);
    } catch (const std::exception& e) {
        return {false, "Cannot start " + request.program + ": " + e.what()};
    }
}

LaunchResult Launcher::Run(const LaunchRequest& request) const {
    const std::string& program = request.program;
    const bool hasFolder = program.find_first_of("\\/") != std::string::npos;
    std::string path;
    if (hasFolder) {
        path = FolderExists(program) ? std::string() : ResolvePath(program).value_or("");
    } else if (!program.empty()) {
        path = m_finder(program);
    }
    if (path.empty()) {
        return {false, "Cannot find " + program};
    }
    std::string folder;
    if (!request.workingFolder.empty()) {
        folder = FolderExists(request.workingFolder) ? *ResolvePath(request.workingFolder) : "";
        if (folder.empty()) {
            return {false, "Cannot find the folder " + request.workingFolder};
        }
    }
    std::vector<std::string> command;
    if (NeedsWine(path)) {
        const std::string wine = m_finder("wine");
        if (wine.empty()) {
            return {false, "Cannot start " + DisplayName(program) +
                               ": it is a Windows program and needs Wine, which is not installed."};
        }
        command.push_back(wine);
    }
    command.push_back(path);
    command.insert(command.end(), request.arguments.begin(), request.arguments.end());
    std::string error = m_spawner(command, folder, request.hidden);
    return {error.empty(), std::move(error)};
}

}  // namespace vantor::platform
