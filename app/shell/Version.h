#pragma once

#include <string>

namespace vantor {

// The program's title and version: "Vantor v1.0-75".
inline constexpr const char* kAppTitle = "Vantor";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 75;
// The file description of the program's version information.
inline constexpr const char* kAppDescription = "Consist manager for Microsoft Train Simulator";

// Returns the main window's caption: title, " v", major, ".", minor, "-", revision.
std::string AppCaption();

}  // namespace vantor
