#pragma once

// Helpers shared by the validator's checks: file tests, loading, numbers read
// from parameters, the vehicles of a consist and the text of run-time errors.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "corvane/TSFile.h"
#include "corvane/TSFileItem.h"

namespace vantor::validation {

// A run-time error of a check, with the number that its error text shows. The
// numbers are the run-time error numbers that reports have always shown ("Error 91
// - ..."), which readers of saved reports know.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description), m_number(number) {}
    [[nodiscard]] int Number() const noexcept { return m_number; }

private:
    int m_number;
};

// Returns a Windows-style path with "." and "name\.." taken out of its text, as
// Windows does before it looks at the disk, so that "a\missing\..\b" means "a\b".
std::string Lexical(std::string_view path);

// Returns true when a search for path finds an ordinary file (wildcards allowed,
// names in any case, a path ending with "\" searching its folder).
bool Exists(std::string_view path);

// Returns true when a file name read from a file names a file rather than a
// folder: not empty and not ending with "\".
bool NamesFile(std::string_view name);

// Loads a file given by a Windows-style path; errors reach the caller.
std::unique_ptr<corvane::TSFile> LoadFile(const std::string& path);

// Loads a file given by a Windows-style path, keeping what was read when reading fails.
std::unique_ptr<corvane::TSFile> LoadFileQuietly(const std::string& path);

// Loads the ordinary file that Exists(path) finds, keeping what was read when
// reading fails; returns null when there is none.
std::unique_ptr<corvane::TSFile> LoadIfOrdinaryFile(const std::string& path);

// Returns the number at the start of text (blanks skipped, sign, digits, decimals),
// and whether it took up all of the text; nothing when text does not start with one.
std::optional<double> LeadingNumber(std::string_view text, bool* wholeText = nullptr);

// Returns a number rounded half to even when it fits a signed 16-bit integer.
std::optional<std::int16_t> ToInt16(double value);

// Returns a parameter read as a 16-bit integer, nothing when the item has no such
// parameter or it is not a number that fits.
std::optional<std::int16_t> Int16Parameter(const corvane::TSFileItem& item, int index);

// Returns the child of a given name; throws RuntimeError 91 when there is none.
corvane::TSFileItemPtr RequireChild(const corvane::TSFileItem& item, std::string_view name);

// Returns the Data item of a vehicle (its name followed by "Data"); throws
// RuntimeError 91 when there is none.
corvane::TSFileItemPtr VehicleData(const corvane::TSFileItem& vehicle);

// Returns the stock folder of a vehicle's Data item: with exactly three
// parameters the quoted two-word folder joined again, otherwise parameter 1.
std::string VehicleFolder(const corvane::TSFileItem& data);

// Calls visit with each vehicle ("Engine" or "Wagon" child) of a TrainCfg item,
// in order, until visit returns false.
void ForEachVehicle(const corvane::TSFileItem& cfg,
                    const std::function<bool(const corvane::TSFileItem& vehicle)>& visit);

// The two texts that identify a stock file given as a full path: the last folder
// of the path and the file name without its last four characters.
struct StockIdentity {
    std::string folder;
    std::string base;
};
StockIdentity IdentityOf(std::string_view stockPath);

// Returns true when a vehicle's Data item names the stock of an identity.
bool RefersTo(const corvane::TSFileItem& vehicle, const StockIdentity& identity);

// What the search for the consists that use a stock file reports, each optional.
struct ConsistWalk {
    // Before each consist is read: its file name without folder.
    std::function<void(const std::string& name)> progress;
    // A consist without its "Train" or "TrainCfg": its path and the missing section.
    std::function<void(const std::string& path, const std::string& section)> missingSection;
    // A consist one of whose vehicles is the stock file: its path and its tree as read.
    std::function<void(const std::string& path, std::unique_ptr<corvane::TSFile> file)> uses;
    // A consist whose reading or walk failed: its path and the error.
    std::function<void(const std::string& path, const std::exception& error)> unreadable;
};

// Reads each consist of an installation ("\Trains\Consists\*.con", in listing
// order) and reports those that hold a stock file given by its full path, each once.
void FindConsistsUsing(const std::string& installFolder, const std::string& stockPath,
                       const ConsistWalk& walk);

// Returns "Error " + number + " - " + description for an error caught by a check.
std::string ErrorText(const std::exception& error);

// Returns true when a file is a shape in the simulator's binary or compressed form,
// which the text reader cannot read.
bool IsPackedShape(const std::string& path);

}  // namespace vantor::validation
