#include "platform/FolderListing.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "platform/Names.h"
#include "platform/Paths.h"

#include "platform/WindowsApi.h"

namespace vantor::platform {

namespace detail {

namespace {

namespace fs = std::filesystem;

using ListingMap = std::unordered_map<fs::path::string_type, std::shared_ptr<const FolderListing>>;

// The listings kept by the active ListingCache of this thread, or null.
thread_local std::unique_ptr<ListingMap> t_activeCache;
// Paths resolved while a cache is active, by the text they were given as.
thread_local std::unordered_map<std::string, ResolvedFolder> t_resolved;
// Entries found by their exact names while a cache is active, by full path.
thread_local std::unordered_map<fs::path::string_type, FolderEntry> t_exactEntries;

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
            listing->entries.push_back(
                EntryFromAttributes(ToUtf8(fs::path(name)), data.dwFileAttributes));
        }
    } while (FindNextFileW(find, &data) != 0);
    FindClose(find);
    return listing;
}

// Returns the entry of an exact name, or nothing when it does not exist.
std::optional<FolderEntry> ExactEntry(const fs::path& folder, std::string_view name) {
    const DWORD attributes = GetFileAttributesW((folder / FromUtf8(name)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return EntryFromAttributes(std::string(name), attributes);
}
#else
std::shared_ptr<FolderListing> ReadFromDisk(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    if (ec) {
        return nullptr;
    }
    auto listing = std::make_shared<FolderListing>();
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        // The folder read tells the type of most entries; only links and entries of
        // unknown type cost a look at what they stand for.
        std::error_code typeError;
        FolderEntry entry;
        entry.name = it->path().filename().string();
        entry.hidden = !entry.name.empty() && entry.name.front() == '.';
        entry.kind = it->is_directory(typeError)      ? EntryKind::Folder
                     : it->is_regular_file(typeError) ? EntryKind::File
                                                      : EntryKind::Other;
        listing->entries.push_back(std::move(entry));
    }
    return ec ? nullptr : listing;
}

std::optional<FolderEntry> ExactEntry(const fs::path& folder, std::string_view name) {
    const fs::path path = folder / fs::path(std::string(name));
    std::error_code ec;
    fs::file_status status = fs::symlink_status(path, ec);
    if (!fs::exists(status)) {
        return std::nullopt;
    }
    if (fs::is_symlink(status)) {
        status = fs::status(path, ec);
    }
    FolderEntry entry;
    entry.name = std::string(name);
    entry.hidden = !entry.name.empty() && entry.name.front() == '.';
    entry.kind = fs::is_directory(status)      ? EntryKind::Folder
                 : fs::is_regular_file(status) ? EntryKind::File
                                               : EntryKind::Other;
    return entry;
}
#endif

// Sorts a listing into the order of NTFS and builds its index.
std::shared_ptr<const FolderListing> Finish(std::shared_ptr<FolderListing> listing) {
    if (!listing) {
        return nullptr;
    }
    std::vector<std::pair<std::string, FolderEntry>> keyed;
    keyed.reserve(listing->entries.size());
    for (auto& entry : listing->entries) {
        keyed.emplace_back(UpperCase(entry.name), std::move(entry));
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    listing->entries.clear();
    listing->upperNames.reserve(keyed.size());
    for (auto& [upper, entry] : keyed) {
        listing->upperNames.push_back(std::move(upper));
        listing->entries.push_back(std::move(entry));
    }
    listing->byUpperName.reserve(keyed.size());
    for (std::uint32_t i = 0; i < listing->upperNames.size(); ++i) {
        const auto [slot, added] =
            listing->byUpperName.try_emplace(listing->upperNames[i], std::make_pair(i, 0U));
        ++slot->second.second;
    }
    return listing;
}

}  // namespace

std::shared_ptr<const FolderListing> ReadListing(const fs::path& folder) {
    if (!t_activeCache) {
        return Finish(ReadFromDisk(folder));
    }
    const auto found = t_activeCache->find(folder.native());
    if (found != t_activeCache->end()) {
        return found->second;
    }
    auto listing = Finish(ReadFromDisk(folder));
    t_activeCache->emplace(folder.native(), listing);
    return listing;
}

std::vector<FolderEntry> FindEntries(const fs::path& folder, std::string_view name) {
    // The exact name wins when it exists; one look at it costs less than reading a
    // folder that is not kept yet.
    if (!t_activeCache) {
        if (auto exact = ExactEntry(folder, name)) {
            return {std::move(*exact)};
        }
    } else if (t_activeCache->find(folder.native()) == t_activeCache->end()) {
        const fs::path full = folder / FromUtf8(name);
        const auto known = t_exactEntries.find(full.native());
        if (known != t_exactEntries.end()) {
            return {known->second};
        }
        if (auto exact = ExactEntry(folder, name)) {
            t_exactEntries.emplace(full.native(), *exact);
            return {std::move(*exact)};
        }
    }
    const auto listing = ReadListing(folder);
    if (!listing) {
        return {};
    }
    const auto found = listing->byUpperName.find(UpperCase(name));
    if (found == listing->byUpperName.end()) {
        return {};
    }
    std::vector<FolderEntry> result;
    const auto [first, count] = found->second;
    for (std::uint32_t index = first; index < first + count; ++index) {
        const FolderEntry& entry = listing->entries[index];
        if (entry.name == name) {
            return {entry};
        }
        result.push_back(entry);
    }
    return result;
}

const ResolvedFolder* FindResolved(const std::string& key) {
    if (!t_activeCache) {
        return nullptr;
    }
    const auto found = t_resolved.find(key);
    return found == t_resolved.end() ? nullptr : &found->second;
}

void RememberResolved(const std::string& key, const ResolvedFolder& resolved) {
    if (t_activeCache) {
        t_resolved.emplace(key, resolved);
    }
}

void ForgetListing(const fs::path& folder) {
    if (t_activeCache) {
        t_resolved.clear();
        t_activeCache->erase(folder.native());
        std::erase_if(t_exactEntries, [&folder](const auto& entry) {
            return fs::path(entry.first).parent_path() == folder;
        });
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
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace detail

ListingCache::ListingCache() {
    if (!detail::t_activeCache) {
        detail::t_activeCache = std::make_unique<detail::ListingMap>();
        m_owner = true;
    }
}

ListingCache::~ListingCache() {
    if (m_owner) {
        detail::t_activeCache.reset();
        detail::t_exactEntries.clear();
        detail::t_resolved.clear();
    }
}

}  // namespace vantor::platform
