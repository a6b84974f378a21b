#pragma once

// The consist list of a document window in mode 0: the installed consists.

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Returns the names of the consists in an installation's "\Trains\Consists" folder
// (file names without ".con") that pass a filter, in listing order.
std::vector<std::string> ListConsists(std::string_view installFolder, std::string_view filter);

// Returns the caption of a consist-list window: "Consist List 2", or
// "Consist List 2 (Filtered on GP)" when the filter is neither empty nor "*".
std::string ConsistListCaption(int windowNumber, std::string_view filter);

}  // namespace vantor
