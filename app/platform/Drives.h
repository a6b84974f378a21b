#pragma once

// The drives a folder can be chosen from: on Windows the drive letters; elsewhere
// the file system's root, its mount points and the drives of the Wine prefix.

#include <string>
#include <vector>

namespace vantor::platform {

struct Drive {
    std::string label;  // what the drive list shows
    std::string path;   // the drive's root folder on this system
};

// Returns the drives, the root first; Wine drives are labelled "c: (Wine)".
std::vector<Drive> ListDrives();

// Returns the drives of mount table text (the format of /proc/self/mounts) and of
// a Wine prefix's dosdevices folder, the root first.
std::vector<Drive> DrivesFrom(const std::string& mountTable, const std::string& winePrefix);

// Returns the position in drives of the drive that holds path (the longest root
// that is a prefix of it), or 0.
std::size_t DriveOf(const std::vector<Drive>& drives, const std::string& path);

}  // namespace vantor::platform
