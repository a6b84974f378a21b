#pragma once

#include <cstdint>

namespace vantor {

// What a child window of the main window shows. The values are the window's mode
// numbers, which the commands compare.
enum class DocumentMode : std::int16_t {
    Results = -1,     // a results window
    ConsistList = 0,  // the installed consists
    Consist = 1,      // one consist being edited
    Consist3D = 2,    // a consist in 3D
    Shape3D = 3,      // a shape in 3D
};

// Returns true for the four modes of a document window.
constexpr bool IsDocumentMode(DocumentMode mode) {
    return mode >= DocumentMode::ConsistList && mode <= DocumentMode::Shape3D;
}

}  // namespace vantor
