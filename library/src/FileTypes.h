#pragma once

// File-type tables: the first element each type expects and its header line.

#include <string>
#include <string_view>

namespace corvane::filetypes {

// Returns the text after the last "." of a path, lower-cased; empty without a ".".
std::string FiletypeOf(std::string_view fileName);

// Returns the base name of a ".dat" path without ".dat" (after the last "\", or
// "/" where that separates folders too), empty for other types.
std::string SubFileTypeOf(std::string_view fileName, std::string_view filetype);

// Returns the expected first element of a type ("Train", "#CarSpawnerItem", "*", "").
std::string_view FirstElementOf(std::string_view filetype, std::string_view subFileType);

// Returns the three-character header code of a type ("D0t"), empty for none.
std::string_view HeaderCodeOf(std::string_view filetype, std::string_view subFileType);

// The two byte-order characters U+00FF U+00FE in UTF-8.
inline constexpr std::string_view kByteOrderChars = "\xC3\xBF\xC3\xBE";

}  // namespace corvane::filetypes
