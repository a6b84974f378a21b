#pragma once

// Compact text forms of item trees, so that tests compare whole trees at once:
// name<param|param>{child;child}.

#include <memory>
#include <string>
#include <vector>

#include "corvane/TSFile.h"

namespace testing_support {

inline std::string Describe(const corvane::TSFileItem& item) {
    std::string text = item.Name();
    if (item.NumParameters() > 0) {
        text += "<";
        for (int i = 0; i < item.NumParameters(); ++i) {
            text += (i ? "|" : "") + item.Parameter(i);
        }
        text += ">";
    }
    if (item.HasChildren()) {
        text += "{";
        bool first = true;
        for (const auto& child : *item.Children()) {
            text += (first ? "" : ";") + Describe(*child);
            first = false;
        }
        text += "}";
    }
    return text;
}

inline std::vector<std::string> Describe(const corvane::TSItemCollection& items) {
    std::vector<std::string> result;
    for (const auto& item : items) {
        result.push_back(Describe(*item));
    }
    return result;
}

}  // namespace testing_support
