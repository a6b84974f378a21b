// Loads arbitrary bytes as a simulator file, saves the tree and loads the result.
// The first byte picks the file type, so every reading rule gets exercised.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "corvane/TSFile.h"

#if defined(_WIN32)
#include <process.h>
#define CORVANE_GETPID _getpid
#else
#include <unistd.h>
#define CORVANE_GETPID getpid
#endif

namespace {

constexpr std::array<const char*, 10> kNames = {"in.con",       "in.eng",     "in.s",      "in.sd",
                                                "carspawn.dat", "forest.dat", "ttype.dat", "in.ref",
                                                "in.act",       "in.txt"};

std::string Folder() {
    static const std::string folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("corvane-fuzz-" + std::to_string(CORVANE_GETPID()));
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return folder;
}

// Loads a file; the one error a well-formed call can meet is a list file
// without its element name.
void LoadTolerant(corvane::TSFile& file) {
    try {
        file.Load();
    } catch (const std::invalid_argument&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string name = kNames[data[0] % kNames.size()];
    // A Windows-style name, as the application gives them.
    const std::string input = Folder() + "\\" + name;
    const std::string output = Folder() + "\\out-" + name;
    {
        std::ofstream out(Folder() + "/" + name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    corvane::TSFile first(input);
    LoadTolerant(first);
    first.SetFileName(output);
    first.Save();
    corvane::TSFile second(output);
    LoadTolerant(second);
    return 0;
}
