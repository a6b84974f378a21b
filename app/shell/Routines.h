#pragma once

// String, path and list routines shared by the whole application.

#include <string>
#include <string_view>
#include <vector>

#include "corvane/TSFileItem.h"

namespace vantor {

// Returns the text of path before its last "\", empty when it has none.
std::string ParentFolder(std::string_view path);

// Returns the text of path after its last "\", all of it when it has none.
std::string FileNamePart(std::string_view path);

// Returns text without its enclosing double quotes, when it has both and is not a
// single double quote.
std::string StripQuotes(std::string_view text);

// Returns a path with "/" turned into "\", each "\\" made one "\" (left to right),
// tabs removed, blanks trimmed and enclosing quotes stripped.
std::string CleanPath(std::string_view path);

// Returns the file name an item names: its parameters from the first, re-joined
// when the reader split a quoted name at blanks, then cleaned; empty when the item
// is null or has no parameters.
std::string ItemFileName(const corvane::TSFileItemPtr& item);

// Returns parameter index of an item without its quotes, re-joined with the
// following parameters when the reader split it at blanks; throws
// std::out_of_range when index is not a parameter.
std::string QuotedParameter(const corvane::TSFileItem& item, int index);

// Returns degrees in radians, single precision.
float DegreesToRadians(float degrees);

// Returns the texts of the selected rows in row order, joined by separator.
std::string SelectedItemsText(const std::vector<std::string>& rowTexts,
                              const std::vector<bool>& selected, std::string_view separator);

// Returns true when a name passes a filter: empty or all "*" keeps every name,
// "ab*" names beginning with "ab", "*ab" names ending with "ab", otherwise names
// containing the filter; comparisons are case-sensitive.
bool FilterMatch(std::string_view name, std::string_view filter);

// Returns the route folders of the installation that pass a filter, joined by "|";
// with names, each followed by the route's name in parentheses ("ALPINE(Alpine Route)").
std::string RouteList(std::string_view filter, bool withNames);

// Returns RouteList() for the installation in a given folder.
std::string RouteListIn(std::string_view installFolder, std::string_view filter, bool withNames);

}  // namespace vantor
