#pragma once

// What opening a file means for each kind of file: the extension decides, an
// activity offers its loose consists, and engines and wagons open their shape.

#include <string>
#include <string_view>
#include <vector>

#include "corvane/TSFile.h"

namespace vantor {

// Returns the extension that decides how a path opens: the text after its last
// ".", in lower case; the whole path when it has no ".".
std::string OpenExtension(std::string_view path);

// Returns the loose consists of a loaded activity: for each child of
// "ActivityObjects" in "Tr_Activity_File" of "tr_activity", the first child of
// its "Train_Config". Throws std::runtime_error naming what is missing.
std::vector<corvane::TSFileItemPtr> LooseConsists(const corvane::TSFile& activity);

// Returns the question asked before loose consists are opened.
std::string LooseConsistQuestion(std::size_t count, const std::string& activityFile);

// Returns true when the answer to that question asks for loose consist number
// index: "*" asks for all, otherwise the answer's leading number (blanks ignored).
bool LooseConsistChosen(const std::string& answer, int index);

// Returns the leading number of a text as the old Val function reads it: blanks
// are skipped, the longest numeric prefix counts, and no number gives 0.
double LeadingNumber(std::string_view text);

// The shape window an engine or wagon file opens.
struct StockShape {
    std::string path;     // the folder of the stock file and its shape name
    std::string caption;  // "Engine - GP38"
};

// Loads an engine or wagon file and returns the shape it names; throws
// std::runtime_error when the file lacks "Wagon" or "WagonShape".
StockShape StockShapeOf(const std::string& path, bool isEngine);

}  // namespace vantor

namespace vantor {

// Returns the real folder a file dialog starts in: the installation's subfolder
// ("\Trains\Consists") found whatever the case of its names, else the installation
// folder itself, else empty (the dialog's own choice).
std::string DialogStartFolder(const std::string& installFolder, const std::string& subfolder);

}  // namespace vantor
