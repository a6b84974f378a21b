#pragma once

// Throw-away folders and file helpers for tests.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// A new empty folder, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
    // Returns the path of a name inside the folder, as UTF-8 text.
    [[nodiscard]] std::string File(std::string_view name) const;

private:
    std::filesystem::path m_path;
};

// Returns the path that UTF-8 text names, and a path as UTF-8 text: on Windows
// the narrow forms of std::filesystem use the ANSI code page instead.
std::filesystem::path Utf8Path(std::string_view utf8);
std::string Utf8Text(const std::filesystem::path& path);

// Returns true when symbolic links can be made (not by mingw's standard library
// under Wine, for one); tests that need them skip themselves where they cannot.
bool SymlinksWork();

// Returns UTF-8 text as UTF-16LE bytes, behind the byte-order mark FF FE when bom is set.
std::string Utf16Bytes(std::string_view utf8, bool bom = true);

// Writes bytes to a file, replacing it.
void WriteBytes(const std::string& path, std::string_view bytes);

// Returns the bytes of a file.
std::string ReadBytes(const std::string& path);

// Writes bytes to a file, creating the folders above it, and returns its path as text.
std::string MakeFile(const std::filesystem::path& path, std::string_view bytes = {});

// Sets an environment variable, or unsets it for nothing, until the object goes.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

}  // namespace testing_support
