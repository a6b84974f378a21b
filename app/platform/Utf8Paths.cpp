// Paths from UTF-8 text and back. Kept apart from the folder listings so that the
// file readers can be built on their own (the fuzz targets take only these).

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/FolderListing.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace vantor::platform {
namespace detail {

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

fs::path Utf8Path(std::string_view text) {
    return detail::FromUtf8(text);
}

std::string Utf8Text(const fs::path& path) {
    return detail::ToUtf8(path);
}

}  // namespace vantor::platform
