#include "platform/ListingCache.h"

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

#include "platform/Names.h"
#include "platform/Paths.h"

namespace vantor::platform {

namespace detail {

namespace fs = std::filesystem;

using NativeString = fs::path::string_type;

// A mutex held only for one hash-map lookup or insert. lock() spins (try_lock,
// then yield) up to 100 times, then blocks: the holder lets go within a few
// hundred nanoseconds, which is less than a futex sleep and wake-up costs.
class CacheMutex {
public:
    void lock() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (m_mutex.try_lock()) {
                return;
            }
            std::this_thread::yield();
        }
        m_mutex.lock();
    }
    void unlock() { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};

// What the active ListingCache objects of the threads working for one operation
// share: the folder listings read, and a count of the changes made through this
// layer. A listing, once kept, never changes.
struct CacheState {
    CacheMutex mutex;
    std::unordered_map<NativeString, std::shared_ptr<const FolderListing>> listings;
    std::atomic<std::uint64_t> changes{0};
};

// What one thread keeps besides, without a lock, of what it met lately: the shared
// listings it asked for, the folder paths it resolved and the entries it found by
// their exact names. A change made through this layer on any thread empties it.
struct ThreadView {
    std::shared_ptr<CacheState> shared;
    std::uint64_t changes = 0;
    // The shared listings this thread asked for lately (null for a folder that had
    // none kept when it asked), in slots chosen by the hash of the folder's path:
    // an operation goes from folder to folder and seldom comes back far.
    struct ListingSlot {
        std::size_t hash = 0;
        NativeString folder;
        std::shared_ptr<const FolderListing> listing;
        bool used = false;
    };
    std::array<ListingSlot, 64> listings;
    // The folder paths this thread resolved lately, in slots chosen by the hash of
    // their text; one pushed out is resolved again when next asked for.
    struct ResolvedSlot {
        std::size_t hash = 0;
        std::string key;
        std::shared_ptr<const ResolvedFolder> resolved;  // null while the slot is free
    };
    std::array<ResolvedSlot, 512> resolved;
    // Entries found lately by their exact names, in slots chosen by the hash of
    // their full paths: a file is looked at again soon after, if at all, and an
    // operation over thousands of folders keeps no entry for every file it met.
    struct ExactSlot {
        std::size_t hash = 0;
        NativeString full;  // empty while the slot is free
        FolderEntry entry;
    };
    std::array<ExactSlot, 256> exactEntries;
    // The folder looked into last, which the next look is mostly into again: its
    // resolution and its listing, found without hashing a long path.
    std::string lastKey;
    std::shared_ptr<const ResolvedFolder> lastResolved;
    // The folder text of the path looked up last, as it was given, and its
    // resolution: the next path is mostly in the same folder.
    std::string lastText;
    std::shared_ptr<const ResolvedFolder> lastTextResolved;
    NativeString lastFolder;
    std::shared_ptr<const FolderListing> lastListing;
    bool lastFolderKnown = false;

    // Drops what this thread kept when a change was made since.
    void Refresh() {
        const std::uint64_t now = shared->changes.load(std::memory_order_acquire);
        if (now != changes) {
            for (ListingSlot& slot : listings) {
                slot.used = false;
                slot.listing = nullptr;
            }
            for (ResolvedSlot& slot : resolved) {
                slot.resolved = nullptr;
            }
            for (ExactSlot& slot : exactEntries) {
                slot.full.clear();
            }
            lastResolved = nullptr;
            lastTextResolved = nullptr;
            lastListing = nullptr;
            lastFolderKnown = false;
            changes = now;
        }
    }
};

namespace {

// The view of the cache active on this thread, or null.
thread_local ThreadView* t_view = nullptr;

// Returns this thread's view of the active cache, brought up to date with the
// changes made since, or null when no cache is active.
ThreadView* FreshView() {
    ThreadView* const view = t_view;
    if (view != nullptr) {
        view->Refresh();
    }
    return view;
}

// Notes what this thread knows of a folder's listing (null: none kept) in the
// folder's slot and as the folder looked into last.
void NoteListing(ThreadView& view, ThreadView::ListingSlot& slot, std::size_t hash,
                 const fs::path& folder, std::shared_ptr<const FolderListing> listing) {
    slot.hash = hash;
    slot.folder = folder.native();
    slot.listing = listing;
    slot.used = true;
    view.lastFolder = folder.native();
    view.lastListing = std::move(listing);
    view.lastFolderKnown = true;
}

ThreadView::ListingSlot& SlotOf(ThreadView& view, std::size_t hash) {
    return view.listings[hash % view.listings.size()];
}

// Returns the listing kept for a folder (asking the shared state when this
// thread does not know it lately), or null.
std::shared_ptr<const FolderListing> KeptListing(ThreadView& view, const fs::path& folder) {
    if (view.lastFolderKnown && view.lastFolder == folder.native()) {
        return view.lastListing;
    }
    const std::size_t hash = std::hash<NativeString>{}(folder.native());
    ThreadView::ListingSlot& slot = SlotOf(view, hash);
    std::shared_ptr<const FolderListing> listing;
    if (slot.used && slot.hash == hash && slot.folder == folder.native()) {
        listing = slot.listing;
    } else {
        const std::lock_guard lock(view.shared->mutex);
        const auto found = view.shared->listings.find(folder.native());
        if (found != view.shared->listings.end()) {
            listing = found->second;
        }
    }
    NoteListing(view, slot, hash, folder, listing);
    return listing;
}

// An entry as a visit sees it, its name held elsewhere.
struct EntryView {
    std::string_view name;
    EntryKind kind;
    bool hidden;

    [[nodiscard]] bool IsOrdinaryFile() const { return kind == EntryKind::File && !hidden; }
};

// Calls visit with the entries of a folder named name: the exact name when it
// exists, otherwise every name equal to it ignoring case, in listing order; stops
// when visit returns true, and returns whether it did. visit must not look up
// names itself.
template <typename Visit>
bool VisitEntries(const fs::path& folder, std::string_view name, Visit&& visit) {
    ThreadView* const view = FreshView();
    // The full path lives in a buffer the thread keeps (a visit looks up nothing).
    thread_local NativeString full;
    JoinInto(full, folder, name);
    std::shared_ptr<const FolderListing> listing;
    // The exact name wins when it exists; one look at it costs less than reading a
    // folder that is not kept yet.
    if (view == nullptr) {
        if (const auto exact = ExactEntry(full, name)) {
            return visit(EntryView{exact->name, exact->kind, exact->hidden});
        }
    } else {
        listing = KeptListing(*view, folder);
        if (!listing) {
            const std::size_t hash = std::hash<NativeString>{}(full);
            ThreadView::ExactSlot& slot = view->exactEntries[hash % view->exactEntries.size()];
            if (slot.hash == hash && slot.full == full) {
                return visit(EntryView{slot.entry.name, slot.entry.kind, slot.entry.hidden});
            }
            if (auto exact = ExactEntry(full, name)) {
                slot.hash = hash;
                slot.full = full;
                slot.entry = std::move(*exact);
                return visit(EntryView{slot.entry.name, slot.entry.kind, slot.entry.hidden});
            }
        }
    }
    if (!listing) {
        listing = ReadListing(folder);
    }
    if (!listing) {
        return false;
    }
    thread_local std::string upper;
    upper.clear();
    AppendUpperCase(name, upper);
    const auto [first, count] = listing->Find(upper);
    for (std::uint32_t index = first; index < first + count; ++index) {
        const FolderListing::Entry& entry = listing->entries[index];
        if (listing->Name(entry) == name) {
            return visit(EntryView{listing->Name(entry), entry.kind, entry.hidden});
        }
    }
    for (std::uint32_t index = first; index < first + count; ++index) {
        const FolderListing::Entry& entry = listing->entries[index];
        if (visit(EntryView{listing->Name(entry), entry.kind, entry.hidden})) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::shared_ptr<const FolderListing> ReadListing(const fs::path& folder) {
    ThreadView* const view = FreshView();
    if (view == nullptr) {
        return ReadFromDisk(folder);
    }
    if (auto kept = KeptListing(*view, folder)) {
        return kept;
    }
    // Reads the folder without the lock held, so that other threads' lookups go
    // on meanwhile; emplace keeps the listing of a thread that got there first.
    auto listing = ReadFromDisk(folder);
    {
        const std::lock_guard lock(view->shared->mutex);
        listing = view->shared->listings.emplace(folder.native(), std::move(listing)).first->second;
    }
    const std::size_t hash = std::hash<NativeString>{}(folder.native());
    NoteListing(*view, SlotOf(*view, hash), hash, folder, listing);
    return listing;
}

bool OpensDirectly(const fs::path& folder, std::string_view name) {
#if defined(_WIN32)
    // Whether a file is hidden shows only in its attributes.
    static_cast<void>(folder);
    static_cast<void>(name);
    return false;
#else
    if (IsHiddenName(name)) {
        return false;
    }
    ThreadView* const view = FreshView();
    return view == nullptr || KeptListing(*view, folder) == nullptr;
#endif
}

std::vector<FolderEntry> FindEntries(const fs::path& folder, std::string_view name) {
    std::vector<FolderEntry> result;
    VisitEntries(folder, name, [&result](const EntryView& entry) {
        result.push_back({std::string(entry.name), entry.kind, entry.hidden});
        return false;
    });
    return result;
}

bool HasOrdinaryFile(const fs::path& folder, std::string_view name) {
    return VisitEntries(folder, name,
                        [](const EntryView& entry) { return entry.IsOrdinaryFile(); });
}

std::shared_ptr<const ResolvedFolder> FindResolved(std::string_view key) {
    ThreadView* const view = FreshView();
    if (view == nullptr) {
        return nullptr;
    }
    if (view->lastResolved && view->lastKey == key) {
        return view->lastResolved;
    }
    const std::size_t hash = std::hash<std::string_view>{}(key);
    const ThreadView::ResolvedSlot& slot = view->resolved[hash % view->resolved.size()];
    if (!slot.resolved || slot.hash != hash || slot.key != key) {
        return nullptr;
    }
    view->lastKey = key;
    view->lastResolved = slot.resolved;
    return slot.resolved;
}

std::shared_ptr<const ResolvedFolder> FindResolvedText(std::string_view text) {
    ThreadView* const view = FreshView();
    if (view != nullptr && view->lastTextResolved && view->lastText == text) {
        return view->lastTextResolved;
    }
    return nullptr;
}

void RememberResolvedText(std::string_view text, std::shared_ptr<const ResolvedFolder> resolved) {
    if (ThreadView* const view = t_view) {
        view->lastText.assign(text);
        view->lastTextResolved = std::move(resolved);
    }
}

void RememberResolved(std::string_view key, const ResolvedFolder& resolved) {
    if (ThreadView* const view = t_view) {
        const std::size_t hash = std::hash<std::string_view>{}(key);
        ThreadView::ResolvedSlot& slot = view->resolved[hash % view->resolved.size()];
        slot.hash = hash;
        slot.key.assign(key);
        slot.resolved = std::make_shared<const ResolvedFolder>(resolved);
    }
}

void ForgetListing(const fs::path& folder) {
    if (ThreadView* const view = t_view) {
        {
            const std::lock_guard lock(view->shared->mutex);
            view->shared->listings.erase(folder.native());
            view->shared->changes.fetch_add(1, std::memory_order_release);
        }
        view->Refresh();
    }
}

}  // namespace detail

ListingCache::ListingCache() {
    if (detail::t_view == nullptr) {
        m_view = std::make_unique<detail::ThreadView>();
        m_view->shared = std::make_shared<detail::CacheState>();
        detail::t_view = m_view.get();
    }
    m_state = detail::t_view->shared;
}

ListingCache::ListingCache(ShareWith shared) {
    if (detail::t_view == nullptr) {
        m_view = std::make_unique<detail::ThreadView>();
        m_view->shared = shared.cache.m_state;
        m_view->changes = m_view->shared->changes.load(std::memory_order_acquire);
        detail::t_view = m_view.get();
    }
    m_state = detail::t_view->shared;
}

ListingCache::~ListingCache() {
    if (m_view) {
        detail::t_view = nullptr;
    }
}

}  // namespace vantor::platform
