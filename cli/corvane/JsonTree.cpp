#include "JsonTree.h"

#include <vector>

#include <nlohmann/json.hpp>

namespace corvane::cli {

std::string JsonString(std::string_view text) {
    return nlohmann::json(std::string(text))
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

namespace {

void WriteItemHead(std::ostream& out, const TSFileItem& item) {
    out << "{\"name\":" << JsonString(item.Name()) << ",\"params\":[";
    const int count = item.NumParameters();
    for (int i = 0; i < count; ++i) {
        out << (i ? "," : "") << JsonString(item.ParameterView(i));
    }
    out << "],\"children\":[";
}

}  // namespace

void WriteItemsJson(std::ostream& out, const TSItemCollection& items) {
    // Each open array is a collection and the position reached in it.
    std::vector<std::pair<const TSItemCollection*, int>> open{{&items, 0}};
    out << '[';
    while (!open.empty()) {
        auto& [collection, index] = open.back();
        if (index >= collection->Count()) {
            open.pop_back();
            out << ']';
            if (!open.empty()) {
                out << '}';
            }
            continue;
        }
        if (index > 0) {
            out << ',';
        }
        const TSFileItem& item = *collection->Item(++index);
        WriteItemHead(out, item);
        if (item.HasChildren()) {
            open.emplace_back(item.Children().get(), 0);
        } else {
            out << "]}";
        }
    }
}

TreeStats CountTree(const TSItemCollection& items) {
    TreeStats stats;
    std::vector<std::pair<const TSItemCollection*, int>> open{{&items, 0}};
    while (!open.empty()) {
        auto& [collection, index] = open.back();
        if (index >= collection->Count()) {
            open.pop_back();
            continue;
        }
        const TSFileItem& item = *collection->Item(++index);
        ++stats.items;
        stats.parameters += item.NumParameters();
        stats.depth = std::max<long long>(stats.depth, static_cast<long long>(open.size()));
        if (item.HasChildren()) {
            open.emplace_back(item.Children().get(), 0);
        }
    }
    return stats;
}

}  // namespace corvane::cli
