#pragma once

// Consist files written out in the tests, and tree dumps for comparisons.

#include <initializer_list>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "corvane/TSFile.h"
#include "documents/ConsistEditor.h"

namespace consist_test {

// Joins lines with CR LF, without a line break after the last.
inline std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "\r\n") + line;
    }
    return text;
}

// Returns the lines of one vehicle, indented as the program writes them.
inline std::string Vehicle(const std::string& type, int uid, const std::string& shape,
                           const std::string& folder, bool flipped = false) {
    return Lines({"\t\t" + type + " (" + (flipped ? "\r\n\t\t\tFlip (  )" : ""),
                  "\t\t\tUiD ( " + std::to_string(uid) + " )",
                  "\t\t\t" + type + "Data ( " + shape + " " + folder + " )", "\t\t)"});
}

// Returns the bytes of a consist file: the header line, an empty line and body.
inline std::string ConsistBytes(const std::string& body) {
    return testing_support::Utf16Bytes("SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n" + body);
}

// Returns the body of a consist named name, with a counter (none when empty) and
// the given vehicle lines.
inline std::string Consist(const std::string& name, const std::string& counter,
                           const std::string& vehicles) {
    std::string text = Lines({"Train (", "\tTrainCfg ( " + name, "\t\tName ( " + name + " )",
                              "\t\tMaxVelocity ( 22.35200 0.10000 )"});
    if (!counter.empty()) {
        text += "\r\n\t\tNextWagonUID ( " + counter + " )";
    }
    text += "\r\n\t\tDurability ( 1.00000 )\r\n" + vehicles;
    if (!vehicles.empty()) {
        text += "\r\n";
    }
    return text + "\t)\r\n)";
}

// Returns the tree as text: one line per item, its name and parameters in brackets.
inline std::string Dump(const corvane::TSItemCollection& items, const std::string& indent = "") {
    std::string text;
    for (const corvane::TSFileItemPtr& item : items) {
        text += indent + item->Name();
        for (int k = 0; k < item->NumParameters(); ++k) {
            text += " [" + item->Parameter(k) + "]";
        }
        text += "\n" + Dump(*item->Children(), indent + "  ");
    }
    return text;
}

// Each row of the editor's vehicle list as its shape, with a "*" when flipped.
inline std::vector<std::string> MarkedShapes(const vantor::ConsistEditor& editor) {
    std::vector<std::string> shapes;
    for (const auto& row : editor.Rows()) {
        shapes.push_back(row.shape + (row.type.back() == '*' ? "*" : ""));
    }
    return shapes;
}

}  // namespace consist_test
