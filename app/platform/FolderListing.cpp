#include "platform/FolderListing.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/Names.h"
#include "platform/Paths.h"

#include "platform/WindowsApi.h"

#if !defined(_WIN32)
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantor::platform {

namespace detail {

namespace fs = std::filesystem;

using NativeString = fs::path::string_type;

// A lock held for a few lookups at a time: a thread that finds it taken tries
// again for a moment before it sleeps, which is dearer than the wait.
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

// Sets full to a folder's real path joined with a name.
void JoinInto(NativeString& full, const fs::path& folder, std::string_view name) {
    full.assign(folder.native());
    if (!full.empty() && full.back() != fs::path::preferred_separator && full.back() != '/') {
        full.push_back(fs::path::preferred_separator);
    }
#if defined(_WIN32)
    full += FromUtf8(name).native();
#else
    full.append(name);
#endif
}

}  // namespace

NativeString Join(const fs::path& folder, std::string_view name) {
    NativeString full;
    JoinInto(full, folder, name);
    return full;
}

namespace {

bool IsHiddenName(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

// Adds an entry, its name after the names before it, to a listing being read.
void AddToListing(FolderListing& listing, std::string_view name, EntryKind kind, bool hidden) {
    FolderListing::Entry entry;
    entry.name = static_cast<std::uint32_t>(listing.text.size());
    entry.nameLength = static_cast<std::uint32_t>(name.size());
    entry.kind = kind;
    entry.hidden = hidden;
    listing.text.append(name);
    listing.entries.push_back(entry);
}

std::size_t IndexSlot(std::string_view upperName, std::size_t slots) {
    return std::hash<std::string_view>{}(upperName) & (slots - 1);
}

#if defined(_WIN32)
constexpr DWORD kHiddenAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

FolderEntry EntryFromAttributes(std::string name, DWORD attributes) {
    FolderEntry entry;
    entry.name = std::move(name);
    entry.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::File;
    entry.hidden = (attributes & kHiddenAttributes) != 0;
    return entry;
}

std::shared_ptr<FolderListing> ReadFromDisk(const fs::path& folder) {
    WIN32_FIND_DATAW data{};
    const std::wstring pattern = (folder / L"*").wstring();
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    auto listing = std::make_shared<FolderListing>();
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") {
            const FolderEntry entry =
                EntryFromAttributes(ToUtf8(fs::path(name)), data.dwFileAttributes);
            AddToListing(*listing, entry.name, entry.kind, entry.hidden);
        }
    } while (FindNextFileW(find, &data) != 0);
    FindClose(find);
    return listing;
}

// Returns the entry of an exact name, or nothing when it does not exist.
std::optional<FolderEntry> ExactEntry(const NativeString& full, std::string_view name) {
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return EntryFromAttributes(std::string(name), attributes);
}
#else
// Returns what a path stands for, links followed; a link that leads nowhere is Other.
EntryKind KindOf(const char* path) {
    struct stat status {};
    if (::stat(path, &status) != 0) {
        return EntryKind::Other;
    }
    return S_ISDIR(status.st_mode) ? EntryKind::Folder
           : S_ISREG(status.st_mode) ? EntryKind::File
                                     : EntryKind::Other;
}

// Adds one entry read from a folder to a listing; full holds the folder's path
// and a separator, followed by whatever came last.
void AddEntry(FolderListing& listing, std::string_view name, unsigned char type, std::string& full,
              std::size_t folderLength) {
    if (name == "." || name == "..") {
        return;
    }
    EntryKind kind = EntryKind::Other;
    // The folder read tells the type of most entries; only links and entries of
    // unknown type cost a look at what they stand for.
    switch (type) {
        case DT_DIR:
            kind = EntryKind::Folder;
            break;
        case DT_REG:
            kind = EntryKind::File;
            break;
        case DT_LNK:
        case DT_UNKNOWN:
            full.resize(folderLength);
            full.append(name);
            kind = KindOf(full.c_str());
            break;
        default:
            break;
    }
    AddToListing(listing, name, kind, IsHiddenName(name));
}

std::shared_ptr<FolderListing> ReadFromDisk(const fs::path& folder) {
    const std::string& text = folder.native();
    std::string full = text.empty() ? std::string() : text + (text.back() == '/' ? "" : "/");
    const std::size_t folderLength = full.size();
    auto listing = std::make_shared<FolderListing>();
#if defined(__linux__)
    // The folder's entries straight into a buffer kept by the thread: no stream to
    // allocate and no look at the folder beyond opening it.
    const int fd = ::open(text.empty() ? "." : text.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    thread_local std::vector<char> buffer(32 * 1024);
    for (;;) {
        const ssize_t length = ::getdents64(fd, buffer.data(), buffer.size());
        if (length <= 0) {
            ::close(fd);
            return length == 0 ? listing : nullptr;
        }
        for (ssize_t at = 0; at < length;) {
            const auto* found = reinterpret_cast<const dirent64*>(buffer.data() + at);
            AddEntry(*listing, found->d_name, found->d_type, full, folderLength);
            at += found->d_reclen;
        }
    }
#else
    DIR* dir = ::opendir(text.empty() ? "." : text.c_str());
    if (dir == nullptr) {
        return nullptr;
    }
    errno = 0;
    while (const dirent* found = ::readdir(dir)) {
        AddEntry(*listing, found->d_name, found->d_type, full, folderLength);
        errno = 0;  // a look at a link that leads nowhere is no failure of the read
    }
    const bool failed = errno != 0;
    ::closedir(dir);
    return failed ? nullptr : listing;
#endif
}

std::optional<FolderEntry> ExactEntry(const NativeString& full, std::string_view name) {
    struct stat status {};
    FolderEntry entry;
    if (::stat(full.c_str(), &status) == 0) {
        entry.kind = S_ISDIR(status.st_mode) ? EntryKind::Folder
                     : S_ISREG(status.st_mode) ? EntryKind::File
                                               : EntryKind::Other;
    } else if (::lstat(full.c_str(), &status) != 0) {
        return std::nullopt;
    }
    entry.name = std::string(name);
    entry.hidden = IsHiddenName(name);
    return entry;
}
#endif

// Sorts a listing into the order of NTFS and builds its index.
std::shared_ptr<const FolderListing> Finish(std::shared_ptr<FolderListing> listing) {
    if (!listing) {
        return nullptr;
    }
    auto& entries = listing->entries;
    listing->text.reserve(listing->text.size() * 2);
    for (FolderListing::Entry& entry : entries) {
        const std::size_t start = listing->text.size();
        AppendUpperCase(listing->Name(entry), listing->text);
        entry.upper = static_cast<std::uint32_t>(start);
        entry.upperLength = static_cast<std::uint32_t>(listing->text.size() - start);
    }
    const FolderListing& done = *listing;
    std::sort(entries.begin(), entries.end(),
              [&done](const FolderListing::Entry& a, const FolderListing::Entry& b) {
                  const int byUpper = done.Upper(a).compare(done.Upper(b));
                  return byUpper != 0 ? byUpper < 0 : done.Name(a) < done.Name(b);
              });
    // Open addressing, at most half full: the first entry of each run of names
    // equal ignoring case.
    std::size_t slots = 8;
    while (slots < entries.size() * 2) {
        slots *= 2;
    }
    listing->index.assign(slots, 0);
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        const std::string_view upper = done.Upper(entries[i]);
        if (i > 0 && done.Upper(entries[i - 1]) == upper) {
            continue;
        }
        std::size_t slot = IndexSlot(upper, slots);
        while (listing->index[slot] != 0) {
            slot = (slot + 1) & (slots - 1);
        }
        listing->index[slot] = i + 1;
    }
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

std::pair<std::uint32_t, std::uint32_t> FolderListing::Find(std::string_view upperName) const {
    if (index.empty()) {
        return {0, 0};
    }
    for (std::size_t slot = IndexSlot(upperName, index.size()); index[slot] != 0;
         slot = (slot + 1) & (index.size() - 1)) {
        const std::uint32_t first = index[slot] - 1;
        if (Upper(entries[first]) == upperName) {
            std::uint32_t last = first + 1;
            while (last < entries.size() && Upper(entries[last]) == upperName) {
                ++last;
            }
            return {first, last - first};
        }
    }
    return {0, 0};
}

std::shared_ptr<const FolderListing> ReadListing(const fs::path& folder) {
    ThreadView* const view = FreshView();
    if (view == nullptr) {
        return Finish(ReadFromDisk(folder));
    }
    if (auto kept = KeptListing(*view, folder)) {
        return kept;
    }
    // Read without the lock; when another thread kept the folder meanwhile, its
    // listing stands.
    auto listing = Finish(ReadFromDisk(folder));
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

fs::path FromUtf8(std::string_view text) {
#if defined(_WIN32)
    return fs::path(std::u8string(text.begin(), text.end()));
#else
    return fs::path(std::string(text));
#endif
}

std::string ToUtf8(const fs::path& path) {
#if defined(_WIN32)
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.native();
#endif
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
