#pragma once

// Folder listings of the path layer, kept by the active ListingCache.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantor::platform::detail {

// What an entry of a folder is, links followed.
enum class EntryKind : std::uint8_t { File, Folder, Other };

// One entry of a folder as stored on disk.
struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
    bool hidden = false;

    [[nodiscard]] bool IsOrdinaryFile() const { return kind == EntryKind::File && !hidden; }
};

// The entries of one folder in listing order. The names live in one text, each
// followed later by its upper case, and an index by upper-case name gives the
// first of the names equal but for case (they stand next to each other) in
// constant time.
struct FolderListing {
    struct Entry {
        std::uint32_t name = 0;  // where the name starts in text
        std::uint32_t nameLength = 0;
        std::uint32_t upper = 0;  // where its upper case starts
        std::uint32_t upperLength = 0;
        EntryKind kind = EntryKind::Other;
        bool hidden = false;

        [[nodiscard]] bool IsOrdinaryFile() const { return kind == EntryKind::File && !hidden; }
    };

    std::string text;
    std::vector<Entry> entries;
    std::vector<std::uint32_t> index;  // 1 + the first entry of a name, 0 in a free slot

    [[nodiscard]] std::string_view Name(const Entry& entry) const {
        return std::string_view(text).substr(entry.name, entry.nameLength);
    }
    [[nodiscard]] std::string_view Upper(const Entry& entry) const {
        return std::string_view(text).substr(entry.upper, entry.upperLength);
    }
    [[nodiscard]] FolderEntry ToEntry(const Entry& entry) const {
        return {std::string(Name(entry)), entry.kind, entry.hidden};
    }
    // Returns the first entry and the number of entries whose names are equal to
    // an upper-case name ignoring case; a count of 0 when there is none.
    [[nodiscard]] std::pair<std::uint32_t, std::uint32_t> Find(std::string_view upperName) const;
};

// Returns the listing of a real folder, kept while a cache is active; null when
// the folder cannot be read.
std::shared_ptr<const FolderListing> ReadListing(const std::filesystem::path& folder);

// Returns the entries of a real folder named name: the exact name when it exists,
// otherwise every name equal to it ignoring case, in listing order.
std::vector<FolderEntry> FindEntries(const std::filesystem::path& folder, std::string_view name);

// Returns true when a name's ordinary file in a real folder is best found by
// opening the name as given: it is not hidden by its name, and no listing of the
// folder is kept to answer without the file system.
bool OpensDirectly(const std::filesystem::path& folder, std::string_view name);

// Returns true when FindEntries(folder, name) holds an ordinary file.
bool HasOrdinaryFile(const std::filesystem::path& folder, std::string_view name);

// A folder path resolved while a cache is active: its real path and whether it
// names a folder.
struct ResolvedFolder {
    std::filesystem::path path;
    bool isFolder = true;
};

// Returns the resolution kept for the text of a path, or null (always null without
// an active cache).
std::shared_ptr<const ResolvedFolder> FindResolved(std::string_view key);

// Returns the resolution of a folder's text exactly as it was given in the last
// call of RememberResolvedText on this thread, or null (always null without an
// active cache).
std::shared_ptr<const ResolvedFolder> FindResolvedText(std::string_view text);

// Keeps the resolution of a folder's text as given, until the next call.
void RememberResolvedText(std::string_view text, std::shared_ptr<const ResolvedFolder> resolved);

// Keeps the resolution of the text of a path while a cache is active.
void RememberResolved(std::string_view key, const ResolvedFolder& resolved);

// Drops the kept listing of a folder after a change to it.
void ForgetListing(const std::filesystem::path& folder);

// Returns a folder's real path joined with a name, as the system's text.
std::filesystem::path::string_type Join(const std::filesystem::path& folder, std::string_view name);

// Returns a path made from UTF-8 text.
std::filesystem::path FromUtf8(std::string_view text);

// Returns a path as UTF-8 text.
std::string ToUtf8(const std::filesystem::path& path);

}  // namespace vantor::platform::detail
