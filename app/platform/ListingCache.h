#pragma once

// What the active ListingCache (declared in Paths.h) keeps for the path layer:
// folder listings shared by the threads of one operation, and per thread, without
// a lock, the listings, resolved folders and exact entries it met lately. Without
// an active cache every call reads the file system.

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/FolderListing.h"

namespace vantor::platform::detail {

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

}  // namespace vantor::platform::detail
