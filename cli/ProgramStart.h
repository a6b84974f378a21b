#pragma once

// How the command-line programs start: their arguments as UTF-8 text and their
// standard streams set up alike on every system.
//
// Standard output and error are binary on Windows too: lines end in LF alone,
// as on Linux, so that what a program prints is the same byte for byte on both
// (a JSON reader or a script does not care, and redirected output compares
// directly). A Windows console shows UTF-8 while the program runs.

#include <string>
#include <vector>

#include "platform/WindowsApi.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#endif

namespace program_start {

#if defined(_WIN32)
// Returns the arguments after the program's name as UTF-8 text.
inline std::vector<std::string> Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::u8string text = std::filesystem::path(argv[i]).u8string();
        arguments.emplace_back(text.begin(), text.end());
    }
    return arguments;
}
#else
// Returns the arguments after the program's name, which are UTF-8 text already.
inline std::vector<std::string> Arguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}
#endif

// Sets the standard streams up while the object lives; before anything is printed.
class StandardStreams {
public:
    StandardStreams() {
#if defined(_WIN32)
        _setmode(_fileno(stdout), _O_BINARY);
        _setmode(_fileno(stderr), _O_BINARY);
        m_codePage = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
#endif
    }
    ~StandardStreams() {
#if defined(_WIN32)
        if (m_codePage != 0) {
            SetConsoleOutputCP(m_codePage);
        }
#endif
    }
    StandardStreams(const StandardStreams&) = delete;
    StandardStreams& operator=(const StandardStreams&) = delete;

private:
#if defined(_WIN32)
    UINT m_codePage = 0;
#endif
};

}  // namespace program_start
