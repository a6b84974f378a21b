#include "Files.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include "WindowsApi.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
// The Windows API's ReplaceFile (ReplaceFileW) is not used; ours keeps its name.
#undef ReplaceFile
#else
#include <fcntl.h>
#include <pthread.h>
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

InputFile OpenNamed(const std::string& fileName, std::uint64_t& size) {
#if !defined(_WIN32)
    // A name without "\" is the system's own name of the file.
    if (fileName.find('\\') == std::string::npos) {
        return OpenIfRegularFile(fileName.c_str(), size);
    }
#endif
    return OpenIfRegularFile(NativePath(fileName), size);
}

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
        m_memory = std::exchange(other.m_memory, nullptr);
        m_memorySize = std::exchange(other.m_memorySize, 0);
        m_memoryPos = std::exchange(other.m_memoryPos, 0);
    }
    return *this;
}

InputFile InputFile::InMemory(std::string_view bytes) noexcept {
    InputFile file;
    // A valid address also for no bytes, so that the file counts as open.
    file.m_memory = bytes.empty() ? "" : bytes.data();
    file.m_memorySize = bytes.size();
    return file;
}

bool InputFile::IsOpen() const noexcept {
    if (m_memory != nullptr) {
        return true;
    }
#if defined(_WIN32)
    return m_file != nullptr;
#else
    return m_fd >= 0;
#endif
}

#if !defined(_WIN32)
// Reads until size bytes came or the file ended: readSome(at, wanted, done) reads
// once; a read that a signal interrupted (EINTR) is made again.
template <typename ReadSome>
std::size_t ReadRetrying(void* buffer, std::size_t size, ReadSome readSome) {
    auto* at = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = readSome(at + done, size - done, done);
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
}
#endif

std::size_t InputFile::Read(void* buffer, std::size_t size) {
    if (m_memory != nullptr) {
        const std::size_t n = ReadAt(buffer, size, m_memoryPos);
        m_memoryPos += n;
        return n;
    }
#if defined(_WIN32)
    const std::size_t n = std::fread(buffer, 1, size, m_file);
    if (n < size && std::ferror(m_file)) {
        Fail(errno ? errno : EIO, "Cannot read the file");
    }
    return n;
#else
    return ReadRetrying(buffer, size, [this](char* at, std::size_t wanted, std::size_t) {
        return ::read(m_fd, at, wanted);
    });
#endif
}

std::size_t InputFile::ReadAt(void* buffer, std::size_t size, std::uint64_t offset) {
    if (m_memory != nullptr) {
        if (offset >= m_memorySize) {
            return 0;
        }
        const auto n =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, m_memorySize - offset));
        std::memcpy(buffer, m_memory + offset, n);
        return n;
    }
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
    return ReadRetrying(buffer, size,
                        [this, offset](char* at, std::size_t wanted, std::size_t done) {
                            return ::pread(m_fd, at, wanted, static_cast<off_t>(offset + done));
                        });
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

#if defined(_WIN32)
namespace {

[[noreturn]] void FailWindows(DWORD error, const std::string& what) {
    throw std::system_error(static_cast<int>(error), std::system_category(), what);
}

// Refuses a target that exists and is not a regular file, or that is read-only.
void CheckTarget(const std::filesystem::path& target, const std::filesystem::path& requested) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        throw std::runtime_error("Cannot save " + Utf8(requested) + ": it is not a regular file");
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw std::runtime_error("Cannot save " + Utf8(requested) + ": the file is read-only");
    }
}

// Creates a new temporary file beside the target and opens it for writing.
// CREATE_NEW never opens a file that is there already, whatever the C run-time
// library makes of fopen's "x".
std::FILE* CreateTemporary(const std::filesystem::path& folder, const std::filesystem::path& target,
                           const std::filesystem::path& requested,
                           std::filesystem::path& temporary) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder / (L"~" + target.filename().wstring() + L"." +
                              std::to_wstring(random()) + L".tmp");
        HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
                continue;
            }
            FailWindows(error, "Cannot save " + Utf8(requested) + ": cannot create a file in " +
                                   Utf8(folder));
        }
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        if (fd < 0) {
            CloseHandle(handle);
            DeleteFileW(temporary.c_str());
            Fail(EMFILE, "Cannot save " + Utf8(requested));
        }
        std::FILE* file = _fdopen(fd, "wb");
        if (file == nullptr) {
            const int error = errno;
            _close(fd);
            DeleteFileW(temporary.c_str());
            Fail(error, "Cannot save " + Utf8(requested));
        }
        return file;
    }
    Fail(EEXIST, "Cannot save " + Utf8(requested) + ": cannot create a file in " + Utf8(folder));
}

// Writes the file's data through to the disk.
void Flush(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) == 0) {
        FailWindows(GetLastError(), "Cannot write");
    }
}

// Returns true when another handle to the file keeps it from being deleted,
// which is what keeps it from being replaced.
bool InUse(const std::filesystem::path& file) {
    HANDLE handle =
        CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION;
    }
    CloseHandle(handle);
    return false;
}

// Replaces target by temporary in one step. A target that another program holds
// open without letting others delete it cannot be replaced: it stays as it was.
void Replace(const std::filesystem::path& temporary, const std::filesystem::path& target,
             const std::filesystem::path& requested) {
    if (MoveFileExW(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
        return;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
        (error == ERROR_ACCESS_DENIED && InUse(target))) {
        throw std::runtime_error("Cannot save " + Utf8(requested) +
                                 ": the file is in use by another program");
    }
    FailWindows(error, "Cannot save " + Utf8(requested));
}

}  // namespace
#else
namespace {

// Temporary files being written, removed when SIGINT or SIGTERM ends the process.
// The signal handler only reads these slots and calls unlink() and raise().
struct TemporarySlot {
    std::atomic<int> state{0};  // 0 free, 1 being filled, 2 holds a path
    char path[4096] = {};
};
constexpr int kSlotCount = 16;
TemporarySlot g_temporaries[kSlotCount];

extern "C" void RemoveTemporariesAndRaise(int signal) {
    for (TemporarySlot& slot : g_temporaries) {
        if (slot.state.load() == 2) {
            ::unlink(slot.path);
        }
    }
    // The handler was reset on entry: raised again, the signal does what it did.
    ::raise(signal);
}

// Installs the handler for the signals whose disposition is still the default.
void InstallSignalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signal : {SIGINT, SIGTERM}) {
            struct sigaction old {};
            if (::sigaction(signal, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
                old.sa_handler != SIG_DFL) {
                continue;
            }
            struct sigaction handler {};
            handler.sa_handler = RemoveTemporariesAndRaise;
            sigemptyset(&handler.sa_mask);
            handler.sa_flags = SA_RESETHAND;
            ::sigaction(signal, &handler, nullptr);
        }
    });
}

// Holds a temporary file's path in a slot while the file is written.
class TemporaryRecord {
public:
    explicit TemporaryRecord(const std::string& path) {
        if (path.size() >= sizeof(TemporarySlot::path)) {
            return;
        }
        for (int i = 0; i < kSlotCount; ++i) {
            int expected = 0;
            if (g_temporaries[i].state.compare_exchange_strong(expected, 1)) {
                std::memcpy(g_temporaries[i].path, path.c_str(), path.size() + 1);
                g_temporaries[i].state.store(2);
                m_slot = i;
                return;
            }
        }
    }
    ~TemporaryRecord() {
        if (m_slot >= 0) {
            g_temporaries[m_slot].state.store(0);
        }
    }
    TemporaryRecord(const TemporaryRecord&) = delete;
    TemporaryRecord& operator=(const TemporaryRecord&) = delete;

private:
    int m_slot = -1;
};

// A temporary file is named "." + base + "~" + the writer's process id + "." +
// six random characters; a base name too long for that is cut and hashed.
constexpr std::size_t kRandomPart = 6;
constexpr std::size_t kLongestBase = NAME_MAX - 1 - 1 - 10 - 1 - kRandomPart;

std::string TemporaryBase(const std::string& name) {
    if (name.size() <= kLongestBase) {
        return name;
    }
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return name.substr(0, kLongestBase - 17) + "#" + hex;
}

// Returns the process id in a temporary file's name that starts with prefix, or 0.
pid_t WriterOf(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) {
        return 0;
    }
    name.remove_prefix(prefix.size());
    const std::size_t dot = name.find('.');
    if (dot == 0 || dot > 10 || dot == std::string_view::npos ||
        name.size() != dot + 1 + kRandomPart) {
        return 0;
    }
    long long pid = 0;
    for (const char c : name.substr(0, dot)) {
        if (c < '0' || c > '9') {
            return 0;
        }
        pid = pid * 10 + (c - '0');
    }
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() ? static_cast<pid_t>(pid) : 0;
}

// Removes the temporary files of this target whose writing process has ended.
void RemoveAbandonedTemporaries(const std::filesystem::path& folder, const std::string& prefix) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const pid_t pid = WriterOf(name, prefix);
        if (pid == 0 || pid == ::getpid()) {
            continue;
        }
        struct stat info {};
        if (::lstat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::kill(pid, 0) != 0 && errno == ESRCH) {
            ::unlink(it->path().c_str());
        }
    }
}

// Refuses a target that exists and is not a regular file, or that is read-only.
void CheckTarget(const std::filesystem::path& target, const std::filesystem::path& requested,
                 struct stat& old, bool& exists) {
    exists = ::stat(target.c_str(), &old) == 0;
    if (!exists) {
        return;
    }
    if (!S_ISREG(old.st_mode)) {
        throw std::runtime_error("Cannot save " + Utf8(requested) + ": it is not a regular file");
    }
    // As the system's administrator every file counts as writable: the mode tells.
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        throw std::runtime_error("Cannot save " + Utf8(requested) + ": the file is read-only");
    }
    if (::access(target.c_str(), W_OK) != 0) {
        Fail(errno, "Cannot save " + Utf8(requested));
    }
}

}  // namespace
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
    CheckTarget(target, requested);
    file = CreateTemporary(folder, target, requested, temporary);
#else
    struct stat old {};
    bool exists = false;
    CheckTarget(target, requested, old, exists);
    const std::string prefix = "." + TemporaryBase(target.filename().string()) + "~";
    RemoveAbandonedTemporaries(folder, prefix);
    InstallSignalHandlers();
    std::string pattern =
        (folder / (prefix + std::to_string(::getpid()) + "." + std::string(kRandomPart, 'X')))
            .string();
    // The signals wait while the file is made and recorded, so that none finds it
    // made and not yet recorded.
    sigset_t signals;
    sigset_t previous;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &signals, &previous);
    const int fd = ::mkstemp(pattern.data());
    const int madeError = errno;
    std::optional<TemporaryRecord> record;
    if (fd >= 0) {
        record.emplace(pattern);
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (fd < 0) {
        Fail(madeError,
             "Cannot save " + Utf8(requested) + ": cannot create a file in " + Utf8(folder));
    }
    temporary = pattern;
    if (exists) {
        // The new file keeps the old one's owner, group and mode. Only the
        // administrator may give a file away; others keep what they may.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        }
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
#if defined(_WIN32)
        Flush(file);
#else
        if (::fsync(::fileno(file)) != 0 && errno != EINVAL) {
            Fail(errno, "Cannot write");
        }
#endif
        const int closed = std::fclose(file);
        file = nullptr;
        if (closed != 0) {
            Fail(errno, "Cannot write");
        }
#if defined(_WIN32)
        Replace(temporary, target, requested);
#else
        std::filesystem::rename(temporary, target);
#endif
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
