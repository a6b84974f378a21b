#include "platform/Paths.h"

#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

#include "platform/ListingCache.h"
#include "platform/Names.h"
#include "platform/WindowsApi.h"

namespace vantor::platform {

namespace {

namespace fs = std::filesystem;
using detail::EntryKind;
using detail::FolderEntry;

// A path taken apart: where it starts, its names, and whether it ends with a separator.
struct ParsedPath {
    fs::path root;
    std::vector<std::string> names;
    bool endsWithSeparator = false;
};

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Returns the root of a path and the length of text it takes.
std::pair<fs::path, std::size_t> ParseRoot(std::string_view path) {
#if defined(_WIN32)
    if (path.size() >= 2 && path[1] == ':') {
        return {detail::FromUtf8(path.substr(0, 2)) / "\\", 2};
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        const std::size_t server = path.find_first_of("\\/", 2);
        const std::size_t share =
            server == std::string_view::npos ? server : path.find_first_of("\\/", server + 1);
        const std::size_t end = share == std::string_view::npos ? path.size() : share;
        std::string unc(path.substr(0, end));
        for (char& c : unc) {
            c = IsSeparator(c) ? '\\' : c;
        }
        return {detail::FromUtf8(unc + "\\"), end};
    }
    if (!path.empty() && IsSeparator(path[0])) {
        return {fs::path(L"\\"), 1};
    }
#else
    if (!path.empty() && IsSeparator(path[0])) {
        return {fs::path("/"), 1};
    }
#endif
    return {fs::path(), 0};
}

// Calls take(name) for each name of a path's text from position start on; empty
// names and "." are no names.
template <typename Take>
void ForEachName(std::string_view path, std::size_t start, Take&& take) {
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        const std::string_view name = path.substr(start, end - start);
        if (!name.empty() && name != ".") {
            take(name);
        }
        start = end + 1;
    }
}

ParsedPath Parse(std::string_view path) {
    ParsedPath parsed;
    const auto [root, length] = ParseRoot(path);
    parsed.root = root;
    ForEachName(path, length,
                [&parsed](std::string_view name) { parsed.names.emplace_back(name); });
    parsed.endsWithSeparator = !path.empty() && IsSeparator(path.back());
    return parsed;
}

// Returns a real folder path joined with a name, as UTF-8 text.
std::string JoinText(const fs::path& folder, std::string_view name) {
#if defined(_WIN32)
    return detail::ToUtf8(fs::path(detail::Join(folder, name)));
#else
    return detail::Join(folder, name);
#endif
}

// Applies ".." to a real path: the parent, but never above the root.
void GoUp(fs::path& current, const fs::path& root) {
    if (current.empty() || current.filename() == "..") {
        current /= "..";
    } else if (current != root) {
        current = current.parent_path();
    }
}

// Returns the entry to follow: a folder when more names follow, else the first.
const FolderEntry* Pick(const std::vector<FolderEntry>& candidates, bool wantFolder) {
    for (const FolderEntry& entry : candidates) {
        if (!wantFolder || entry.kind == EntryKind::Folder) {
            return &entry;
        }
    }
    return candidates.empty() ? nullptr : &candidates.front();
}

// The outcome of resolving the first names of a path.
struct Resolution {
    fs::path path;
    std::size_t resolved = 0;
    bool lastIsFolder = true;
};

// Returns the text that the resolution of a path's root and first names is kept
// under while a cache is active.
std::string KeyOf(const fs::path& root, const std::vector<std::string>& names, std::size_t count) {
    std::string key = detail::ToUtf8(root);
    for (std::size_t i = 0; i < count; ++i) {
        key.append(1, '\0').append(names[i]);
    }
    return key;
}

// Resolves names[0..count) as far as they exist.
Resolution ResolvePrefix(const ParsedPath& parsed, std::size_t count) {
    if (parsed.root.empty() && parsed.names.empty()) {
        return {fs::path(), 0, false};
    }
    // While a cache is active, the folder of a path is resolved once for all the
    // names looked up in it.
    const std::string key = KeyOf(parsed.root, parsed.names, count);
    if (const auto known = detail::FindResolved(key)) {
        return {known->path, count, known->isFolder};
    }
    Resolution result{parsed.root, 0, true};
    if (count > 1) {
        const std::size_t parentLength = key.size() - parsed.names[count - 1].size() - 1;
        if (const auto parent =
                detail::FindResolved(std::string_view(key).substr(0, parentLength))) {
            result = {parent->path, count - 1, parent->isFolder};
        }
    }
    for (; result.resolved < count; ++result.resolved) {
        const std::string& name = parsed.names[result.resolved];
        if (name == "..") {
            GoUp(result.path, parsed.root);
            result.lastIsFolder = true;
            continue;
        }
        const auto candidates = detail::FindEntries(result.path, name);
        const FolderEntry* entry = Pick(candidates, result.resolved + 1 < parsed.names.size());
        if (entry == nullptr) {
            break;
        }
        result.path /= detail::FromUtf8(entry->name);
        result.lastIsFolder = entry->kind == EntryKind::Folder;
    }
    if (result.resolved == count && count > 0) {
        detail::RememberResolved(key, {result.path, result.lastIsFolder});
    }
    return result;
}

// A path split into the folder that holds its last name and that name, when the
// name is a plain one (no wildcards, not "." or "..") and the folder text holds
// at least one name: the common case that skips taking the whole path apart.
struct FolderAndName {
    std::shared_ptr<const detail::ResolvedFolder> folder;  // null when it does not resolve
    std::string_view name;
};

std::optional<FolderAndName> SplitPlainName(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string_view::npos || cut + 1 >= path.size()) {
        return std::nullopt;
    }
    const std::string_view name = path.substr(cut + 1);
    if (name == "." || name == ".." || HasWildcards(name)) {
        return std::nullopt;
    }
    // The key of the folder, built as KeyOf() builds it, without taking the path
    // apart, in a buffer the thread keeps.
    const std::string_view folderText = path.substr(0, cut);
    if (auto known = detail::FindResolvedText(folderText)) {
        return FolderAndName{std::move(known), name};
    }
    thread_local std::string key;
    std::size_t rootLength = 0;
#if defined(_WIN32)
    const auto parsedRoot = ParseRoot(folderText);
    key = detail::ToUtf8(parsedRoot.first);
    rootLength = parsedRoot.second;
#else
    // The root is "/" or nothing: ParseRoot's answer without building a path.
    rootLength = !folderText.empty() && IsSeparator(folderText[0]) ? 1 : 0;
    key.assign(rootLength == 1 ? "/" : "");
#endif
    std::size_t names = 0;
    ForEachName(folderText, rootLength, [&names](std::string_view part) {
        key.append(1, '\0').append(part);
        ++names;
    });
    if (names == 0) {
        return std::nullopt;
    }
    FolderAndName split{detail::FindResolved(key), name};
    if (!split.folder) {
        const ParsedPath parsed = Parse(folderText);
        const std::size_t count = parsed.names.size();
        if (const Resolution found = ResolvePrefix(parsed, count); found.resolved == count) {
            split.folder = std::make_shared<const detail::ResolvedFolder>(
                detail::ResolvedFolder{found.path, found.lastIsFolder});
        }
    }
    if (split.folder) {
        detail::RememberResolvedText(folderText, split.folder);
    }
    return split;
}

// Returns the real folder that holds the last name of a path, or nothing.
std::optional<fs::path> ParentOf(const ParsedPath& parsed) {
    if (parsed.names.empty()) {
        return std::nullopt;
    }
    const std::size_t count = parsed.names.size() - 1;
    const Resolution folder = ResolvePrefix(parsed, count);
    if (folder.resolved < count || !folder.lastIsFolder) {
        return std::nullopt;
    }
    return folder.path;
}

// Returns the real folder of a pattern path and the pattern of names it ends with.
std::optional<std::pair<fs::path, std::string>> SplitPattern(std::string_view path) {
    const ParsedPath parsed = Parse(path);
    if (parsed.endsWithSeparator || parsed.names.empty()) {
        const Resolution folder = ResolvePrefix(parsed, parsed.names.size());
        if (folder.resolved < parsed.names.size() || !folder.lastIsFolder) {
            return std::nullopt;
        }
        return std::make_pair(folder.path, std::string("*"));
    }
    auto folder = ParentOf(parsed);
    if (!folder || parsed.names.back() == "..") {
        return std::nullopt;
    }
    return std::make_pair(*folder, parsed.names.back());
}

bool Wanted(const FolderEntry& entry, EntryTypes types) {
    if (entry.hidden || entry.kind == EntryKind::Other) {
        return false;
    }
    const bool folder = entry.kind == EntryKind::Folder;
    return types == EntryTypes::Both || folder == (types == EntryTypes::Folders);
}

// Returns the entries of a folder that a pattern (or a plain name) selects.
std::vector<FolderEntry> Select(const fs::path& folder, const std::string& pattern) {
    if (!HasWildcards(pattern)) {
        return detail::FindEntries(folder, pattern);
    }
    std::vector<FolderEntry> result;
    if (const auto listing = detail::ReadListing(folder)) {
        NamePattern matcher(pattern);
        for (const detail::FolderListing::Entry& entry : listing->entries) {
            if (matcher.Matches(listing->Name(entry))) {
                result.push_back(listing->ToEntry(entry));
            }
        }
    }
    return result;
}

// Returns the real path of the ordinary file that a path names, taken literally.
std::optional<fs::path> FindOrdinaryFile(std::string_view path) {
    const ParsedPath parsed = Parse(path);
    const auto folder = parsed.endsWithSeparator ? std::nullopt : ParentOf(parsed);
    if (!folder) {
        return std::nullopt;
    }
    for (const FolderEntry& entry : detail::FindEntries(*folder, parsed.names.back())) {
        if (entry.IsOrdinaryFile()) {
            return *folder / detail::FromUtf8(entry.name);
        }
    }
    return std::nullopt;
}

[[noreturn]] void Fail(const std::string& what, const std::error_code& ec) {
    throw std::runtime_error(what + ": " + ec.message());
}

// Returns true when a name cannot be a file name on Windows.
bool IsBadFileName(std::string_view name) {
    if (name.empty() || name == "..") {
        return true;
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// Returns the real path to write a file at, in an existing folder.
fs::path TargetPath(std::string_view target) {
    const ParsedPath parsed = Parse(target);
    const auto folder = parsed.endsWithSeparator ? std::nullopt : ParentOf(parsed);
    if (!folder) {
        throw std::runtime_error("Path not found: " + std::string(target));
    }
    const std::string& name = parsed.names.back();
    if (IsBadFileName(name)) {
        throw std::runtime_error("Bad file name: " + std::string(target));
    }
    const auto existing = detail::FindEntries(*folder, name);
    return *folder / detail::FromUtf8(existing.empty() ? name : existing.front().name);
}

fs::path TemporaryBeside(const fs::path& target) {
    std::random_device random;
    return target.parent_path() / detail::FromUtf8("." + detail::ToUtf8(target.filename()) + "." +
                                                   std::to_string(random()) + ".tmp");
}

}  // namespace

std::optional<std::string> ResolvePath(std::string_view path) {
    const ParsedPath parsed = Parse(path);
    const Resolution found = ResolvePrefix(parsed, parsed.names.size());
    if (found.resolved < parsed.names.size() || (parsed.endsWithSeparator && !found.lastIsFolder) ||
        (parsed.root.empty() && parsed.names.empty())) {
        return std::nullopt;
    }
    return found.path.empty() ? std::string(".") : detail::ToUtf8(found.path);
}

std::optional<std::string> OnDiskPath(std::string_view path) {
    std::optional<std::string> real = ResolvePath(path);
#if defined(_WIN32)
    if (!real) {
        return real;
    }
    const ParsedPath parsed = Parse(*real);
    std::wstring root = parsed.root.native();
    if (root.size() >= 2 && root[1] == L':' && root[0] >= L'a' && root[0] <= L'z') {
        root[0] = static_cast<wchar_t>(root[0] - L'a' + L'A');
    }
    fs::path result(root);
    for (const std::string& name : parsed.names) {
        fs::path next = result / detail::FromUtf8(name);
        // The search gives the name as the folder holds it (a short 8.3 name
        // gives the long one).
        WIN32_FIND_DATAW data{};
        if (name != ".." && name.find_first_of("*?") == std::string::npos) {
            const HANDLE find = FindFirstFileW(next.c_str(), &data);
            if (find != INVALID_HANDLE_VALUE) {
                FindClose(find);
                next = result / data.cFileName;
            }
        }
        result = std::move(next);
    }
    real = result.empty() ? std::string(".") : detail::ToUtf8(result);
#endif
    return real;
}

std::string HostPath(std::string_view path) {
    if (path.empty()) {
        return {};
    }
    if (const auto plain = SplitPlainName(path);
        plain && plain->folder && plain->folder->isFolder) {
        std::string name(plain->name);
        const auto found = detail::FindEntries(plain->folder->path, name);
        if (!found.empty()) {
            name = found.front().name;
        }
        return JoinText(plain->folder->path, name);
    }
    const ParsedPath parsed = Parse(path);
    Resolution found = ResolvePrefix(parsed, parsed.names.size());
    for (std::size_t i = found.resolved; i < parsed.names.size(); ++i) {
        if (parsed.names[i] == "..") {
            GoUp(found.path, parsed.root);
        } else {
            found.path /= detail::FromUtf8(parsed.names[i]);
        }
    }
    return found.path.empty() ? std::string(".") : detail::ToUtf8(found.path);
}

bool FileExists(std::string_view path) {
    if (const auto plain = SplitPlainName(path)) {
        return plain->folder && plain->folder->isFolder &&
               detail::HasOrdinaryFile(plain->folder->path, plain->name);
    }
    const auto split = SplitPattern(path);
    if (!split) {
        return false;
    }
    for (const FolderEntry& entry : Select(split->first, split->second)) {
        if (entry.IsOrdinaryFile()) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> DirectPath(std::string_view path) {
    const auto plain = SplitPlainName(path);
    if (!plain || !plain->folder || !plain->folder->isFolder ||
        !detail::OpensDirectly(plain->folder->path, plain->name)) {
        return std::nullopt;
    }
    return JoinText(plain->folder->path, plain->name);
}

bool FolderExists(std::string_view path) {
    const ParsedPath parsed = Parse(path);
    const Resolution found = ResolvePrefix(parsed, parsed.names.size());
    return found.resolved == parsed.names.size() && found.lastIsFolder;
}

FolderState ProbeFolder(std::string_view path) {
    const auto found = ResolvePath(path);
    if (!found) {
        return FolderState::Missing;
    }
    const fs::path host = detail::FromUtf8(*found);
    std::error_code ec;
    if (!fs::is_directory(host, ec)) {
        return FolderState::NotFolder;
    }
    // Opening the folder for reading is the test: its mode bits do not tell what
    // root or an access list allows.
    const fs::directory_iterator entries(host, ec);
    return ec ? FolderState::Unreadable : FolderState::Readable;
}

std::vector<DirEntry> ListEntries(std::string_view pattern, EntryTypes types) {
    std::vector<DirEntry> result;
    const auto split = SplitPattern(pattern);
    if (!split) {
        return result;
    }
    for (FolderEntry& entry : Select(split->first, split->second)) {
        if (Wanted(entry, types)) {
            result.push_back({std::move(entry.name), entry.kind == EntryKind::Folder});
        }
    }
    return result;
}

std::vector<std::string> ListNames(std::string_view pattern, EntryTypes types) {
    std::vector<std::string> names;
    for (DirEntry& entry : ListEntries(pattern, types)) {
        names.push_back(std::move(entry.name));
    }
    return names;
}

void FileCopy(std::string_view source, std::string_view target) {
    const auto from = FindOrdinaryFile(source);
    if (!from) {
        throw std::runtime_error("File not found: " + std::string(source));
    }
    fs::path to = TargetPath(target);
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(to, ec))) {
        to = fs::weakly_canonical(to, ec);
    }
    if (fs::is_directory(to, ec)) {
        throw std::runtime_error("Path/File access error: " + std::string(target));
    }
    const fs::path temporary = TemporaryBeside(to);
    fs::copy_file(*from, temporary, fs::copy_options::overwrite_existing, ec);
    if (!ec) {
        fs::rename(temporary, to, ec);
    }
    detail::ForgetListing(to.parent_path());
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        Fail("Cannot copy " + std::string(source) + " to " + std::string(target), ec);
    }
}

void RemoveFile(std::string_view path) {
    const auto file = FindOrdinaryFile(path);
    if (!file) {
        throw std::runtime_error("File not found: " + std::string(path));
    }
    std::error_code ec;
    fs::remove(*file, ec);
    detail::ForgetListing(file->parent_path());
    if (ec) {
        Fail("Cannot delete " + std::string(path), ec);
    }
}

void AppendText(std::string_view path, std::string_view text) {
    const fs::path file = detail::FromUtf8(HostPath(path));
    {
        std::ofstream out(file, std::ios::binary | std::ios::app);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out) {
            throw std::runtime_error("Cannot write " + std::string(path));
        }
    }
    detail::ForgetListing(file.parent_path());
}

void CreateFolders(std::string_view path) {
    const fs::path folder = detail::FromUtf8(HostPath(path));
    std::error_code ec;
    fs::create_directories(folder, ec);
    for (fs::path step = folder; step.has_relative_path(); step = step.parent_path()) {
        detail::ForgetListing(step.parent_path());
    }
    if (ec) {
        Fail("Cannot create " + std::string(path), ec);
    }
}

}  // namespace vantor::platform
