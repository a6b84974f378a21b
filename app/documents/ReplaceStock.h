#pragma once

// Replacing one engine or wagon with another in every consist that uses it. The
// consists are found as the stock-in-consists check finds them; each vehicle keeps
// its place, its UiD and its Flip, and only its Data item names the new stock.
// Before the first consist is written, every consist to be changed is copied into
// a backup folder beside the consists folder, so copying the files back undoes it.
// The window and vantor-cli both drive it.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Prompter.h"
#include "documents/StockList.h"

namespace vantor {

// What to replace, and where.
struct ReplaceRequest {
    StockRow from;  // the stock vehicles use now
    StockRow to;    // the stock they are to use
    // The consists to change, by name without ".con" (any case); nothing: every
    // consist that uses the stock.
    std::optional<std::vector<std::string>> only = {};
    // Consists open in an editor with unsaved changes, by name: never written.
    std::vector<std::string> openEdited = {};
    // True when an engine may replace a wagon or a wagon an engine.
    bool allowKindChange = false;
    // True: find and report what would change, write nothing.
    bool dryRun = false;
    // The time the backup folder is named after ("2026-12-07 14.05.09"); empty: now.
    std::string backupTime = {};
};

// A consist and its vehicle rows (1-based, as the consist editor lists them).
struct ConsistRows {
    std::string name;
    std::vector<int> rows;
};

// A consist left alone, and why.
struct ConsistNote {
    std::string name;
    std::string reason;
};

// What a replacement did, in the consists' listing order.
struct ReplaceResult {
    std::vector<ConsistRows> changed;     // written (a dry run: would be written)
    std::vector<ConsistNote> skipped;     // open and edited, or ending inside an item
    std::vector<ConsistNote> unreadable;  // could not be searched
    std::vector<ConsistNote> failed;      // could not be backed up or written
    std::string backupFolder;             // where the originals went; empty when none were copied
};

// Returns the stock row that "FOLDER/NAME.eng" or "FOLDER\NAME.wag" names (one
// folder, not "." or "..", extension in any case), or nothing.
std::optional<StockRow> StockArgument(std::string_view text);

// Returns the stock row of an engine or wagon file given by its path (its
// folder is the last folder of the path), or nothing for another extension.
std::optional<StockRow> StockFromPath(std::string_view path);

// Returns the stock's name as given on the command line: "FOLDER\NAME.eng".
std::string StockText(const StockRow& stock);

// Returns why a stock cannot stand in a consist's Data item so that the reader
// gives it back: "(" or ")", a quote character, a blank in the file name, more
// than one blank or blanks at the ends of the folder. Empty when it can.
std::string StockNameProblem(const StockRow& stock);

// Returns why a replacement cannot be made: a kind that is neither engine nor
// wagon, a change of kind not allowed, the same stock twice, a name the reader
// cannot take back, or a new stock file that is not installed. Empty when it can.
std::string ReplaceProblem(const std::string& installFolder, const ReplaceRequest& request);

// Returns the names of the consists that use a stock, in listing order.
std::vector<std::string> ConsistsUsing(const std::string& installFolder, const StockRow& stock);

// Replaces the stock. Throws std::invalid_argument with ReplaceProblem's text
// when the replacement cannot be made; nothing is written then. A backup that
// cannot be made stops everything before the first consist is written.
ReplaceResult ReplaceStock(const std::string& installFolder, const ReplaceRequest& request);

// The title of the window's replacement and of its questions and report.
inline constexpr const char* kReplaceTitle = "Replace in Consists";

// Returns the question asked before an engine replaces a wagon or a wagon an engine.
std::string KindChangeQuestion(const ReplaceRequest& request);

// Runs a replacement set up in the window: asks before a change of kind (No
// changes nothing), replaces and shows the report. Returns the result; nothing
// when the user said No or the replacement could not be made (shown as an error).
std::optional<ReplaceResult> ReplaceAfterAsking(const std::string& installFolder,
                                                ReplaceRequest request, Prompter& prompts);

// Returns the report of a replacement: one line per changed consist with its
// rows, the consists left alone and why, and the backup folder.
std::string ReplaceSummary(const ReplaceRequest& request, const ReplaceResult& result);

}  // namespace vantor
