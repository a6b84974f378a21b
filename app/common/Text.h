#pragma once

// Text and path routines shared by the whole application. Paths here are the
// simulator's Windows-style paths, "\" between folders.

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Returns true when text begins, or ends, with a double quote.
bool StartsWithQuote(std::string_view text);
bool EndsWithQuote(std::string_view text);

// Returns text without its leading and trailing blanks (spaces only).
std::string TrimBlanks(std::string_view text);

// Returns text with the letters A to Z made lower case; other bytes stay.
std::string AsciiLower(std::string text);

// Returns the text of path before its last "\", empty when it has none.
std::string ParentFolder(std::string_view path);

// Returns the text of path after its last "\", all of it when it has none.
std::string FileNamePart(std::string_view path);

// The same for a path of the host, which may use "/" as well as "\": the text
// before, or after, its last "\" or "/".
std::string AnyParentFolder(std::string_view path);
std::string AnyFileNamePart(std::string_view path);

// Returns true when a name holds a wildcard character, "*" or "?".
bool HasWildcard(std::string_view name);

// Returns text without its enclosing double quotes, when it has both and is not a
// single double quote.
std::string StripQuotes(std::string_view text);

// Returns a path with "/" turned into "\", each "\\" made one "\" (left to right),
// tabs removed, blanks trimmed and enclosing quotes stripped.
std::string CleanPath(std::string_view path);

// Returns degrees in radians, single precision.
float DegreesToRadians(float degrees);

// Returns the texts of the selected rows in row order, joined by separator.
std::string SelectedItemsText(const std::vector<std::string>& rowTexts,
                              const std::vector<bool>& selected, std::string_view separator);

// Returns true when a name passes a filter: empty or all "*" keeps every name,
// "ab*" names beginning with "ab", "*ab" names ending with "ab", otherwise names
// containing the filter; comparisons are case-sensitive.
bool FilterMatch(std::string_view name, std::string_view filter);

// Returns the pieces of a "|"-separated list; none for empty text.
std::vector<std::string> SplitAtBars(std::string_view text);

// Returns pieces joined by "|".
std::string JoinWithBars(const std::vector<std::string>& pieces);

}  // namespace vantor
