#pragma once

// What the fuzz targets share: a folder of their own for the files they write,
// the input written as a file, and the end of a run that found a fault.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#if defined(_WIN32)
#include <process.h>
#define CORVANE_GETPID _getpid
#else
#include <unistd.h>
#define CORVANE_GETPID getpid
#endif

namespace fuzz_support {

// Returns this process's folder under the temporary folder, made once with the
// given subfolders, so that parallel fuzzers never share files.
inline std::string Folder(const char* prefix, std::initializer_list<const char*> subfolders = {}) {
    const auto path = std::filesystem::temp_directory_path() /
                      (std::string(prefix) + std::to_string(CORVANE_GETPID()));
    std::filesystem::create_directories(path);
    for (const char* subfolder : subfolders) {
        std::filesystem::create_directories(path / subfolder);
    }
    return path.string();
}

// Writes the input, without the first byte that picked the file type, to path.
inline void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
}

// Ends the run with a fault the fuzzer reports.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace fuzz_support
