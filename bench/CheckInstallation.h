#pragma once

// Makes complete simulator installations of any size, with every file that the
// stock checks follow: engines and wagons with their shapes, .sd files,
// textures, thumbnails, sound definitions and sound files, and for engines a cab
// view with its images and a cab sound definition.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace vantor::bench {

// What a generated installation holds.
struct CheckInstallation {
    int engines = 0;
    int wagons = 0;
    // Every file that checking all stock reads: the engine and wagon files, their
    // sound definitions and cab views, each once.
    std::vector<std::filesystem::path> readFiles;
    // The total size of those files in bytes.
    std::uintmax_t readBytes = 0;
    // Every folder whose listing the check needs: the trainset folder, each stock
    // folder and its SOUND and CABVIEW folders.
    std::vector<std::filesystem::path> folders;
};

// Writes count stock folders under folder's "Trains/Trainset" (every fourth an
// engine, the others wagons), files as the simulator writes them (UTF-16LE with
// the byte-order mark, header line, CR LF), folder names in the capitals that
// much content uses (SOUND, CABVIEW), and an empty "Trains/Consists" folder.
// Nothing is missing: checking all stock finds no problem.
CheckInstallation MakeCheckInstallation(const std::filesystem::path& folder, int count);

}  // namespace vantor::bench
