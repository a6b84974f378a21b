#pragma once

// File-system helpers of the library: opening by name and replacing a file safely.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace corvane::files {

// Returns the path to open for a file name. Windows-style names work on any
// system: where the name as given does not exist, "\" separates folders.
std::filesystem::path NativePath(std::string_view fileName);

// Returns true when path names a regular file (links followed).
bool IsRegularFile(const std::filesystem::path& path);

// Opens a file for reading in binary mode; throws std::system_error on failure.
std::FILE* OpenForReading(const std::filesystem::path& path);

// A file open for reading: a descriptor of the system where there are such,
// a stream elsewhere. Closed when it goes.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Returns a file that reads the bytes given, which must outlive it.
    static InputFile InMemory(std::string_view bytes) noexcept;

    [[nodiscard]] bool IsOpen() const noexcept;
    // Reads up to size bytes, fewer only at the end of the file; throws
    // std::system_error when reading fails.
    std::size_t Read(void* buffer, std::size_t size);
    // Reads up to size bytes from offset on, fewer only at the end of the file,
    // without moving the position that Read goes on from.
    std::size_t ReadAt(void* buffer, std::size_t size, std::uint64_t offset);

private:
    void Close() noexcept;
    friend InputFile OpenIfRegularFile(const std::filesystem::path& path, std::uint64_t& size);

#if !defined(_WIN32)
    // The same for a name in the system's own form.
    InputFile OpenIfRegularFile(const char* name, std::uint64_t& size);
#endif
#if !defined(_WIN32)
    friend InputFile OpenIfRegularFile(const char* name, std::uint64_t& size);
#endif
#if defined(_WIN32)
    std::FILE* m_file = nullptr;
#else
    int m_fd = -1;
#endif
    const char* m_memory = nullptr;  // the bytes of a file in memory
    std::size_t m_memorySize = 0;
    std::size_t m_memoryPos = 0;
};

// Opens a regular file (links followed) for reading and tells its size; returns a
// file that is not open when there is no such file (a folder does not count), and
// throws std::system_error when the file exists but cannot be opened.
InputFile OpenIfRegularFile(const std::filesystem::path& path, std::uint64_t& size);

#if !defined(_WIN32)
// The same for a name in the system's own form.
InputFile OpenIfRegularFile(const char* name, std::uint64_t& size);
#endif

// Opens a file by the name TSFile holds, as Load does: a name without "\" as
// the system's own name, others Windows-style (see NativePath).
InputFile OpenNamed(const std::string& fileName, std::uint64_t& size);

// Writes a file through write(), into a temporary file beside it that then
// replaces the file in one step, keeping the old file's mode, owner and group.
// When anything fails, the old file is untouched, the temporary file is removed
// and the error is thrown. A target that is not a regular file or is read-only
// is refused with std::runtime_error. Temporary files of the same target left by
// processes that no longer run are removed first; SIGINT and SIGTERM remove the
// one being written.
void ReplaceFile(const std::filesystem::path& path, const std::function<void(std::FILE*)>& write);

// Returns the path as UTF-8 text, for messages.
std::string Utf8(const std::filesystem::path& path);

}  // namespace corvane::files
