#include "view3d/SnapshotFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/Paths.h"

namespace vantor::view3d {
namespace {

constexpr int kLastNumber = 99999;

std::string NumberedFile(std::string_view basePath, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", number);
    return std::string(basePath) + digits + ".png";
}

// Returns the lowest free number from first up, or 0 when none is.
int FreeNumber(std::string_view basePath, int first) {
    for (int number = first; number <= kLastNumber; ++number) {
        if (!platform::FileExists(NumberedFile(basePath, number)) &&
            !platform::FolderExists(NumberedFile(basePath, number))) {
            return number;
        }
    }
    return 0;
}

std::filesystem::path NativePath(const std::string& hostPath) {
    return {std::u8string(reinterpret_cast<const char8_t*>(hostPath.data()), hostPath.size())};
}

// Creates a file that must not exist yet; nullptr with errno set when it cannot.
std::FILE* CreateNew(const std::string& hostPath) {
    const std::filesystem::path path = NativePath(hostPath);
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wbx");
#else
    return std::fopen(path.c_str(), "wbx");
#endif
}

std::string Failure(const std::string& file, int error) {
    return "Cannot save the snapshot " + file + ": " + std::generic_category().message(error);
}

}  // namespace

std::string NextSnapshotFile(std::string_view basePath) {
    if (basePath.empty()) {
        return {};
    }
    const int number = FreeNumber(basePath, 1);
    return number == 0 ? std::string() : NumberedFile(basePath, number);
}

std::string WriteSnapshotFile(std::string_view basePath, std::string_view bytes,
                              std::string& written) {
    written.clear();
    if (basePath.empty()) {
        return "Cannot save the snapshot: no snapshot location is set";
    }
    for (int number = FreeNumber(basePath, 1); number != 0;
         number = FreeNumber(basePath, number + 1)) {
        const std::string file = NumberedFile(basePath, number);
        const std::string hostPath = platform::HostPath(file);
        std::FILE* stream = CreateNew(hostPath);
        if (stream == nullptr) {
            if (errno == EEXIST) {
                continue;
            }
            return Failure(file, errno);
        }
        const bool complete = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
        const int writeError = complete ? 0 : errno;
        const bool closed = std::fclose(stream) == 0;
        if (!complete || !closed) {
            const int error = writeError != 0 ? writeError : (errno != 0 ? errno : EIO);
            std::error_code ignored;
            std::filesystem::remove(NativePath(hostPath), ignored);
            return Failure(file, error);
        }
        written = file;
        return {};
    }
    return "Cannot save the snapshot " + std::string(basePath) +
           ": every number up to 99999 is taken";
}

}  // namespace vantor::view3d
