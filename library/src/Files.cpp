#include "Files.h"

#include <cerrno>
#include <random>
#include <string>
#include <system_error>
#include <utility>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace corvane::files {

namespace {

std::filesystem::path FromUtf8(std::string_view text) {
#if defined(_WIN32)
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
    return std::filesystem::path(std::string(text));
#endif
}

[[noreturn]] void Fail(int error, const std::string& what) {
    throw std::system_error(error, std::generic_category(), what);
}

}  // namespace

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path NativePath(std::string_view fileName) {
    std::filesystem::path given = FromUtf8(fileName);
#if !defined(_WIN32)
    if (fileName.find('\\') != std::string_view::npos) {
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(given, ec))) {
            std::string converted(fileName);
            for (char& c : converted) {
                if (c == '\\') {
                    c = '/';
                }
            }
            return std::filesystem::path(converted);
        }
    }
#endif
    return given;
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::FILE* OpenForReading(const std::filesystem::path& path) {
#if defined(_WIN32)
    std::FILE* file = _wfopen(path.c_str(), L"rb");
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (file == nullptr) {
        Fail(errno, "Cannot open " + Utf8(path));
    }
    return file;
}

InputFile::~InputFile() {
    Close();
}

void InputFile::Close() noexcept {
#if defined(_WIN32)
    if (m_file != nullptr) {
        std::fclose(std::exchange(m_file, nullptr));
    }
#else
    if (m_fd >= 0) {
        ::close(std::exchange(m_fd, -1));
    }
#endif
}

InputFile::InputFile(InputFile&& other) noexcept {
    *this = std::move(other);
}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        Close();
#if defined(_WIN32)
        m_file = std::exchange(other.m_file, nullptr);
#else
        m_fd = std::exchange(other.m_fd, -1);
#endif
    }
    return *this;
}

bool InputFile::IsOpen() const noexcept {
#if defined(_WIN32)
    return m_file != nullptr;
#else
    return m_fd >= 0;
#endif
}

std::size_t InputFile::Read(void* buffer, std::size_t size) {
#if defined(_WIN32)
    const std::size_t n = std::fread(buffer, 1, size, m_file);
    if (n < size && std::ferror(m_file)) {
        Fail(errno ? errno : EIO, "Cannot read the file");
    }
    return n;
#else
    auto* at = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(m_fd, at + done, size - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno, "Cannot read the file");
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
#endif
}

std::size_t InputFile::ReadAt(void* buffer, std::size_t size, std::uint64_t offset) {
#if defined(_WIN32)
    const long long position = _ftelli64(m_file);
    if (position < 0 || _fseeki64(m_file, static_cast<long long>(offset), SEEK_SET) != 0) {
        Fail(errno ? errno : EIO, "Cannot read the file");
    }
    const std::size_t n = std::fread(buffer, 1, size, m_file);
    const bool failed = n < size && std::ferror(m_file);
    _fseeki64(m_file, position, SEEK_SET);
    if (failed) {
        Fail(errno ? errno : EIO, "Cannot read the file");
    }
    return n;
#else
    auto* at = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_fd, at + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno, "Cannot read the file");
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
#endif
}

InputFile OpenIfRegularFile(const std::filesystem::path& path, std::uint64_t& size) {
    InputFile opened;
#if defined(_WIN32)
    if (!IsRegularFile(path)) {
        return opened;
    }
    std::error_code ec;
    size = static_cast<std::uint64_t>(std::filesystem::file_size(path, ec));
    opened.m_file = OpenForReading(path);
    return opened;
#else
    return OpenIfRegularFile(path.c_str(), size);
#endif
}

#if !defined(_WIN32)
InputFile OpenIfRegularFile(const char* name, std::uint64_t& size) {
    InputFile opened;
    // One open and one look at the open file, rather than looking the name up first.
    // A file that is not regular (a pipe, say) is not waited on while it opens.
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR || errno == EISDIR) {
            return opened;
        }
        Fail(errno, std::string("Cannot open ") + name);
    }
    opened.m_fd = fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return InputFile();
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return opened;
}
#endif

void ReplaceFile(const std::filesystem::path& requested,
                 const std::function<void(std::FILE*)>& write) {
    std::error_code ec;
    std::filesystem::path target = requested;
    // Replace what a link points to, not the link.
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) {
        target = std::filesystem::weakly_canonical(target, ec);
        if (ec) {
            Fail(ec.value(), "Cannot save " + Utf8(requested));
        }
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::filesystem::path temporary;
    std::FILE* file = nullptr;
#if defined(_WIN32)
    std::random_device random;
    for (int attempt = 0; attempt < 100 && file == nullptr; ++attempt) {
        temporary = folder / (L"~" + target.filename().wstring() + L"." +
                              std::to_wstring(random()) + L".tmp");
        file = _wfopen(temporary.c_str(), L"wbx");
    }
    if (file == nullptr) {
        Fail(errno, "Cannot save " + Utf8(requested) + ": cannot create a file in " + Utf8(folder));
    }
#else
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        Fail(errno, "Cannot save " + Utf8(requested) + ": cannot create a file in " + Utf8(folder));
    }
    temporary = pattern;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        std::filesystem::remove(temporary, ec);
        Fail(error, "Cannot save " + Utf8(requested));
    }
#endif
    try {
        write(file);
        if (std::fflush(file) != 0) {
            Fail(errno, "Cannot write");
        }
#if !defined(_WIN32)
        if (::fsync(::fileno(file)) != 0 && errno != EINVAL) {
            Fail(errno, "Cannot write");
        }
#endif
        const int closed = std::fclose(file);
        file = nullptr;
        if (closed != 0) {
            Fail(errno, "Cannot write");
        }
        std::filesystem::rename(temporary, target);
    } catch (const std::system_error& e) {
        if (file != nullptr) {
            std::fclose(file);
        }
        std::filesystem::remove(temporary, ec);
        throw std::system_error(e.code(), "Cannot save " + Utf8(requested));
    } catch (...) {
        if (file != nullptr) {
            std::fclose(file);
        }
        std::filesystem::remove(temporary, ec);
        throw;
    }
}

}  // namespace corvane::files
