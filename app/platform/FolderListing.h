#pragma once

// Folder listings of the path layer as read from the file system, with their
// index by upper-case name. ListingCache.h keeps them while a ListingCache is
// active.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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

// Returns true when a name alone hides its entry (on Linux, a leading ".").
bool IsHiddenName(std::string_view name);

// Returns the listing of a real folder as the file system holds it now, sorted
// and indexed; null when the folder cannot be read. ReadListing keeps it.
std::shared_ptr<const FolderListing> ReadFromDisk(const std::filesystem::path& folder);

// Returns the entry at a full path, named name, from that one path's attributes
// (stat, then lstat for a link that leads nowhere); nothing when it does not exist.
std::optional<FolderEntry> ExactEntry(const std::filesystem::path::string_type& full,
                                      std::string_view name);

// Sets full to a folder's real path joined with a name; reuses full's buffer.
void JoinInto(std::filesystem::path::string_type& full, const std::filesystem::path& folder,
              std::string_view name);

// Returns a folder's real path joined with a name, as the system's text.
std::filesystem::path::string_type Join(const std::filesystem::path& folder, std::string_view name);

// Returns a path made from UTF-8 text.
std::filesystem::path FromUtf8(std::string_view text);

// Returns a path as UTF-8 text.
std::string ToUtf8(const std::filesystem::path& path);

}  // namespace vantor::platform::detail
