#include "Arena.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace corvane {

namespace {

constexpr std::size_t kLargestBlock = std::size_t{1} << 20;

}  // namespace

void* Arena::Allocate(std::size_t size, std::size_t align) {
    auto padding = [&] {
        return (align - reinterpret_cast<std::uintptr_t>(m_next) % align) % align;
    };
    if (size + align > m_blockSize / 4) {
        // A large request gets a block of its own, so that the rest of the
        // current block stays in use.
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size + align));
        void* start = m_blocks.back().get();
        std::size_t space = size + align;
        return std::align(align, size, start, space);
    }
    if (m_next == nullptr || padding() + size > m_left) {
        // Blocks grow as the file proves large, so that a small file takes little.
        const std::size_t blockSize = std::max(m_blockSize, size + align);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
        m_next = m_blocks.back().get();
        m_left = blockSize;
        m_blockSize = std::min(m_blockSize * 2, kLargestBlock);
    }
    const std::size_t pad = padding();
    char* result = m_next + pad;
    m_next += pad + size;
    m_left -= pad + size;
    return result;
}

const std::string* Arena::Name(std::string_view name) {
    std::size_t hash = name.size();
    if (!name.empty()) {
        hash = hash * 31 + static_cast<unsigned char>(name.front());
        hash = hash * 31 + static_cast<unsigned char>(name.back());
        hash = hash * 31 + static_cast<unsigned char>(name[name.size() / 2]);
    }
    const std::string*& slot = m_recent[hash % kRecent];
    if (slot == nullptr || *slot != name) {
        slot = &m_names.emplace_back(name);
    }
    return slot;
}

}  // namespace corvane
