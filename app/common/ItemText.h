#pragma once

// Reading file names and quoted values out of items of simulator files.

#include <string>
#include <string_view>

#include "corvane/TSFileItem.h"

namespace vantor {

// Returns the file name an item names: its parameters from the first, re-joined
// when the reader split a quoted name at blanks, then cleaned; empty when the item
// is null or has no parameters.
std::string ItemFileName(const corvane::TSFileItemPtr& item);

// Returns parameter index of an item without its quotes, re-joined with the
// following parameters when the reader split it at blanks; throws
// std::out_of_range when index is not a parameter.
std::string QuotedParameter(const corvane::TSFileItem& item, int index);

// Returns the extension of a vehicle's stock file from its type: the first three
// letters of "Engine" or "Wagon" in lower case ("eng", "wag").
std::string StockExtension(std::string_view vehicleType);

}  // namespace vantor
