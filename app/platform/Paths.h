#pragma once

// Windows-style paths on the real file system.
//
// The application builds every path the Windows way: "\" between folders and
// names in any letter case, for example MSTSPath() + "\Trains\Consists\" + name +
// ".con". This layer finds such paths on the real file system: "\" and "/" both
// separate folders, "." and ".." work as usual, and each name that does not exist
// exactly is found without regard to case (the exact name is preferred; among
// names that differ only in case the first in listing order is taken).
//
// Listings come in the order NTFS gives, whatever the file system: names in upper
// case compared by code point, ties broken by the exact names. They never hold
// "." or "..", nor hidden entries (on Linux, names that begin with "."). An
// ordinary file is a file that is neither a folder nor hidden.
//
// Strings are UTF-8. Real paths use the system's own separators.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::platform {

// Which entries a listing holds.
enum class EntryTypes { Files, Folders, Both };

// One entry of a listing.
struct DirEntry {
    std::string name;
    bool isFolder = false;
};

namespace detail {
struct CacheState;
struct ThreadView;
}  // namespace detail

// Keeps every folder listing read while it lives, so that an operation that looks
// at thousands of folders reads each folder once. Without one, every call sees the
// file system as it is now. Changes made through this layer update the kept
// listings; changes made otherwise are not seen until the object goes. A second
// object made while one is active shares the first one's listings.
//
// Threads that work for one operation share one set of listings: each makes an
// object with ShareWith naming the cache of the thread that started the work.
class ListingCache {
public:
    // Names the cache whose listings a thread shares.
    struct ShareWith {
        const ListingCache& cache;
    };

    ListingCache();
    explicit ListingCache(ShareWith shared);
    ~ListingCache();
    ListingCache(const ListingCache&) = delete;
    ListingCache& operator=(const ListingCache&) = delete;

private:
    std::shared_ptr<detail::CacheState> m_state;
    std::unique_ptr<detail::ThreadView> m_view;  // set when this object made the thread's view
};

// Returns the path that UTF-8 text names, for the standard library's files and
// streams: every file is opened through it, because on Windows the narrow text
// of a path is in the ANSI code page, which cannot name every file.
std::filesystem::path Utf8Path(std::string_view text);

// Returns a path as UTF-8 text.
std::string Utf8Text(const std::filesystem::path& path);

// Returns the real path of an existing file or folder, or nothing.
std::optional<std::string> ResolvePath(std::string_view path);

// Returns the real path of an existing file or folder with every name spelt as it
// is on disk, or nothing: one text for all the spellings of one file, to key what
// is kept per file. (On Windows any case opens a file, and ResolvePath keeps the
// names as given.)
std::optional<std::string> OnDiskPath(std::string_view path);

// Returns the real path to read or write: the existing part resolved, the rest as given.
std::string HostPath(std::string_view path);

// Returns true when a search for path finds an ordinary file. The last name may
// hold wildcards; a path that ends with a separator searches its folder for any file.
bool FileExists(std::string_view path);

// Returns the real path at which to open path's file at once, without looking it
// up first: its folder resolved and its name as given. Opening it finds the
// ordinary file that FileExists(path) finds, if it finds a regular file at all;
// when it finds none, FileExists and HostPath still decide. Returns nothing where
// FileExists answers without the file system or the name is not a plain one.
std::optional<std::string> DirectPath(std::string_view path);

// Returns true when path names an existing folder.
bool FolderExists(std::string_view path);

// What a folder path (names in any case) leads to.
enum class FolderState { Missing, NotFolder, Unreadable, Readable };

// Returns whether a folder is there and its entries can be read.
FolderState ProbeFolder(std::string_view path);

// Returns the entries of a folder whose names match the pattern that ends the
// path ("...\Trains\Trainset\*", "...\*.con"), in listing order.
std::vector<DirEntry> ListEntries(std::string_view pattern, EntryTypes types);

// Returns the names of ListEntries().
std::vector<std::string> ListNames(std::string_view pattern, EntryTypes types);

// Copies an ordinary file (its name taken literally) to target in an existing
// folder, replacing a file whose name differs only in case, in one step; throws
// std::runtime_error with a description when it fails.
void FileCopy(std::string_view source, std::string_view target);

// Deletes one ordinary file (its name taken literally); throws std::runtime_error
// with a description when it fails.
void RemoveFile(std::string_view path);

// Appends text to a file, created when missing; throws std::runtime_error when it fails.
void AppendText(std::string_view path, std::string_view text);

// Creates a folder and the folders above it that are missing; throws
// std::runtime_error when it fails.
void CreateFolders(std::string_view path);

}  // namespace vantor::platform
