#pragma once

// Item trees built in one expression, and their compact text forms, so that tests
// compare whole trees at once: name<param|param>{child;child}.

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "corvane/TSFile.h"

namespace testing_support {

inline corvane::TSFileItemPtr Item(const std::string& name,
                                   std::initializer_list<const char*> parameters = {},
                                   std::initializer_list<corvane::TSFileItemPtr> children = {}) {
    auto item = std::make_shared<corvane::TSFileItem>(name);
    item->SetNumParameters(static_cast<int>(parameters.size()));
    int i = 0;
    for (const char* p : parameters) {
        item->SetParameter(i++, p);
    }
    for (const auto& child : children) {
        item->Children()->Add(child);
    }
    return item;
}

inline std::string Describe(const corvane::TSFileItem& item) {
    std::string text = item.Name();
    for (int i = 0; i < item.NumParameters(); ++i) {
        text += (i ? "|" : "<") + item.Parameter(i) + (i + 1 < item.NumParameters() ? "" : ">");
    }
    if (item.HasChildren()) {
        const char* separator = "{";
        for (const auto& child : *item.Children()) {
            text += separator + Describe(*child);
            separator = ";";
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
