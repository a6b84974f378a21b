#pragma once

// The memory of the items that one Load reads. Internal to the library.

#include <atomic>
#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Hands out memory from large blocks and keeps one copy of each item name met,
// so that a file of many small items needs few, large allocations. The arena
// lives while anything allocated from it does: each allocation holds it, and
// the reader holds it while it reads.
class Arena {
public:
    // Returns a new arena, held once by the caller.
    static Arena* Create() { return new Arena(); }

    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    // Returns size bytes aligned to align; they are freed with the arena.
    void* Allocate(std::size_t size, std::size_t align);
    // Returns the arena's copy of a name, made on first use.
    const std::string* Name(std::string_view name);

    void Hold() noexcept { m_holds.fetch_add(1, std::memory_order_relaxed); }
    void Release() noexcept {
        if (m_holds.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete this;
        }
    }

private:
    Arena() = default;
    ~Arena() = default;

    std::atomic<long> m_holds{1};
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_next = nullptr;
    std::size_t m_left = 0;
    std::size_t m_blockSize = 4096;
    std::deque<std::string> m_names;
    // Recently met names by a cheap hash of their text: names repeat in runs.
    static constexpr std::size_t kRecent = 256;
    const std::string* m_recent[kRecent] = {};
};

// Allocates from an arena, for std::allocate_shared; each allocation holds it.
template <class T>
class ArenaAllocator {
public:
    using value_type = T;

    explicit ArenaAllocator(Arena* arena) noexcept : m_arena(arena) {}
    template <class U>
    ArenaAllocator(const ArenaAllocator<U>& other) noexcept : m_arena(other.GetArena()) {}

    T* allocate(std::size_t n) {
        void* p = m_arena->Allocate(n * sizeof(T), alignof(T));
        m_arena->Hold();
        return static_cast<T*>(p);
    }
    void deallocate(T*, std::size_t) noexcept { m_arena->Release(); }

    [[nodiscard]] Arena* GetArena() const noexcept { return m_arena; }
    template <class U>
    bool operator==(const ArenaAllocator<U>& other) const noexcept {
        return m_arena == other.GetArena();
    }

private:
    Arena* m_arena;
};

}  // namespace corvane
