#include "platform/FolderListing.h"

#include <algorithm>
#include <cerrno>

#include "platform/Names.h"

#include "platform/WindowsApi.h"

#if !defined(_WIN32)
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantor::platform::detail {

namespace fs = std::filesystem;

using NativeString = fs::path::string_type;

namespace {

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

// Reads a folder's entries unsorted; null when the folder cannot be read.
std::shared_ptr<FolderListing> ReadEntries(const fs::path& folder) {
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
#else
// Returns what a path stands for, links followed; a link that leads nowhere is Other.
EntryKind KindOf(const char* path) {
    struct stat status {};
    if (::stat(path, &status) != 0) {
        return EntryKind::Other;
    }
    return S_ISDIR(status.st_mode)   ? EntryKind::Folder
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

// Reads a folder's entries unsorted; null when the folder cannot be read.
std::shared_ptr<FolderListing> ReadEntries(const fs::path& folder) {
    const std::string& text = folder.native();
    std::string full = text.empty() ? std::string() : text + (text.back() == '/' ? "" : "/");
    const std::size_t folderLength = full.size();
    auto listing = std::make_shared<FolderListing>();
#if defined(__linux__)
    // getdents64 into a thread_local buffer: no DIR stream to allocate, and none of
    // the fstat that opendir makes of the folder.
    const int fd = ::open(text.empty() ? "." : text.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    thread_local std::vector<char> buffer(std::size_t{32} * 1024);
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

}  // namespace

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

NativeString Join(const fs::path& folder, std::string_view name) {
    NativeString full;
    JoinInto(full, folder, name);
    return full;
}

bool IsHiddenName(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

#if defined(_WIN32)
std::optional<FolderEntry> ExactEntry(const NativeString& full, std::string_view name) {
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return EntryFromAttributes(std::string(name), attributes);
}
#else
std::optional<FolderEntry> ExactEntry(const NativeString& full, std::string_view name) {
    struct stat status {};
    FolderEntry entry;
    if (::stat(full.c_str(), &status) == 0) {
        entry.kind = S_ISDIR(status.st_mode)   ? EntryKind::Folder
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

std::shared_ptr<const FolderListing> ReadFromDisk(const fs::path& folder) {
    return Finish(ReadEntries(folder));
}

}  // namespace vantor::platform::detail
