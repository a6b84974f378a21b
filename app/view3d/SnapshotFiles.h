#pragma once

// The files of 3D snapshots. A snapshot's base path (a folder and a base name,
// written the Windows way, such as ScreenShotDir + "\VantorC") gets a number of
// four digits or more and ".png": VantorC0001.png, VantorC0002.png, ... A
// snapshot never replaces a file, not even one made between the look-up and
// the write.

#include <string>
#include <string_view>

namespace vantor::view3d {

// Returns the file the next snapshot of this base path writes: the base, the
// lowest number from 1 up that no file (in any letter case) has yet, and ".png".
// Empty for an empty base or when every number up to 99999 is taken.
std::string NextSnapshotFile(std::string_view basePath);

// Writes the bytes of a picture as a new snapshot file of the base path, at
// NextSnapshotFile() or, when another program took that name meanwhile, at the
// next free number. Returns "" and sets written to the file's path (as the base
// gives it) when all was written, else a text naming the file and what went wrong;
// then no file is left behind.
std::string WriteSnapshotFile(std::string_view basePath, std::string_view bytes,
                              std::string& written);

}  // namespace vantor::view3d
