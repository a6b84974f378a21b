#include "platform/Drives.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/Registry.h"

#include "platform/WindowsApi.h"

namespace vantor::platform {

namespace {

// File systems that hold no user files.
bool IsPseudoFileSystem(const std::string& type) {
    static const std::set<std::string> kPseudo = {
        "proc",       "sysfs",      "devtmpfs", "devpts",     "cgroup",
        "cgroup2",    "securityfs", "pstore",   "debugfs",    "tracefs",
        "mqueue",     "hugetlbfs",  "configfs", "fusectl",    "binfmt_misc",
        "autofs",     "bpf",        "efivarfs", "rpc_pipefs", "nsfs",
        "ramfs",      "squashfs",   "overlay",  "tmpfs",      "fuse.gvfsd-fuse",
        "fuse.portal"};
    return kPseudo.count(type) != 0;
}

// Undoes the octal escapes (\040 for a blank) of the mount table.
std::string Unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.size() == 3 && digits.find_first_not_of("01234567") == std::string::npos) {
                out.push_back(static_cast<char>(std::stoi(digits, nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

}  // namespace

std::vector<Drive> DrivesFrom(const std::string& mountTable, const std::string& winePrefix) {
    std::vector<Drive> drives{{"/", "/"}};
    std::set<std::string> seen{"/"};
    std::istringstream lines(mountTable);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        std::string type;
        if (!(fields >> device >> mountPoint >> type) || IsPseudoFileSystem(type)) {
            continue;
        }
        mountPoint = Unescape(mountPoint);
        if (mountPoint.rfind("/proc", 0) == 0 || mountPoint.rfind("/sys", 0) == 0 ||
            mountPoint.rfind("/dev", 0) == 0 || mountPoint.rfind("/run", 0) == 0 ||
            !seen.insert(mountPoint).second) {
            continue;
        }
        drives.push_back({mountPoint, mountPoint});
    }
    if (!winePrefix.empty()) {
        std::error_code ec;
        for (char letter = 'a'; letter <= 'z'; ++letter) {
            const std::string name = std::string(1, letter) + ":";
            const std::filesystem::path link =
                std::filesystem::path(winePrefix) / "dosdevices" / name;
            const auto target = std::filesystem::canonical(link, ec);
            if (!ec && std::filesystem::is_directory(target, ec)) {
                drives.push_back({name + " (Wine)", target.string()});
            }
        }
    }
    return drives;
}

std::vector<Drive> ListDrives() {
#if defined(_WIN32)
    std::vector<Drive> drives;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (mask & (1u << i)) {
            const std::string root = std::string(1, static_cast<char>('a' + i)) + ":";
            drives.push_back({root, root + "\\"});
        }
    }
    return drives;
#else
    std::ifstream mounts("/proc/self/mounts");
    std::stringstream table;
    table << mounts.rdbuf();
    return DrivesFrom(table.str(), DefaultWinePrefix());
#endif
}

std::size_t DriveOf(const std::vector<Drive>& drives, const std::string& path) {
    std::size_t best = 0;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const std::string& root = drives[i].path;
        const bool under =
            path.rfind(root, 0) == 0 && (path.size() == root.size() || root.back() == '/' ||
                                         root.back() == '\\' || path[root.size()] == '/');
        if (under && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

}  // namespace vantor::platform
