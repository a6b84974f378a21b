#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "corvane/TSFile.h"

namespace corvane::cli {

// Returns text as a JSON string literal; invalid UTF-8 is replaced.
std::string JsonString(std::string_view text);

// Writes the items of a collection as a JSON array of
// {"name": str, "params": [str...], "children": [...]}, without recursion.
void WriteItemsJson(std::ostream& out, const TSItemCollection& items);

// Counts of a whole tree.
struct TreeStats {
    long long items = 0;
    long long parameters = 0;
    long long depth = 0;  // top-level items are level 1
};

// Walks a tree without recursion and counts its items, parameters and levels.
TreeStats CountTree(const TSItemCollection& items);

}  // namespace corvane::cli
