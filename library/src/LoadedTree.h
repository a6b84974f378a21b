#pragma once

// The compact form in which Load leaves a file's items. Internal to the library.
//
// The reader makes a TSFileItem only for each top-level item. Everything below
// stays in the load's arena as plain records: the children of one item lie side
// by side behind a small header, with no reference count and no slot of their
// own. An item turns its children into TSFileItem objects the first time anyone
// asks for the collection (Children(), Child() on a hit), so that callers see the
// usual shared items; lookups by name and the writer read the records directly.

#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class Arena;
struct LoadedChildren;

// One item below the top level, as the reader left it.
struct LoadedItem {
    const std::string* name;
    const char* parameters;          // a parameter block, or null for none
    const LoadedChildren* children;  // null for none
};

// The children of one item, in file order, laid out right behind this header.
struct LoadedChildren {
    Arena* arena;
    std::uint32_t count;

    [[nodiscard]] const LoadedItem* Items() const noexcept {
        return reinterpret_cast<const LoadedItem*>(this + 1);
    }
};

static_assert(sizeof(LoadedChildren) % alignof(LoadedItem) == 0);

// A parameter array packed into one block: a uint32 count, the uint32 end offset
// of each value, then the values' text.
namespace parameters {

inline std::uint32_t ReadU32(const char* at) noexcept {
    std::uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

inline void WriteU32(char* at, std::uint32_t value) noexcept {
    std::memcpy(at, &value, sizeof value);
}

// Returns the number of values in a block; 0 for no block.
inline std::uint32_t Count(const char* block) noexcept {
    return block != nullptr ? ReadU32(block) : 0;
}

// Returns the size of the block that holds values.
inline std::size_t PackedSize(const std::vector<std::string_view>& values) {
    std::size_t textSize = 0;
    for (const auto& v : values) {
        textSize += v.size();
    }
    if (values.size() > std::numeric_limits<std::uint32_t>::max() / 8 ||
        textSize > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("The parameters of one item are too large");
    }
    return 4 * (1 + values.size()) + textSize;
}

// Writes values into a block of PackedSize(values) bytes.
inline void Pack(const std::vector<std::string_view>& values, char* block) noexcept {
    WriteU32(block, static_cast<std::uint32_t>(values.size()));
    char* text = block + 4 * (1 + values.size());
    std::uint32_t end = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i].empty()) {
            std::memcpy(text + end, values[i].data(), values[i].size());
        }
        end += static_cast<std::uint32_t>(values[i].size());
        WriteU32(block + 4 * (1 + i), end);
    }
}

// Returns the value at index, which must lie below Count(block).
inline std::string_view Unpack(const char* block, std::uint32_t index) noexcept {
    const std::uint32_t count = ReadU32(block);
    const char* text = block + 4 * (1 + static_cast<std::size_t>(count));
    const std::uint32_t begin =
        index == 0 ? 0 : ReadU32(block + 4 * static_cast<std::size_t>(index));
    const std::uint32_t end = ReadU32(block + 4 * (1 + static_cast<std::size_t>(index)));
    return {text + begin, end - begin};
}

}  // namespace parameters

}  // namespace corvane
