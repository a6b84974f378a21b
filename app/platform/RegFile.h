#pragma once

// The registry files of a Wine prefix (system.reg, user.reg).
//
// A file is a list of keys, each a line "[Key\\Path] time" followed by its values,
// one a line: "Name"="text", @="default text", "Name"=str(2):"text",
// "Name"=hex(7):41,00,00,00 or "Name"=dword:00000001. Key names and texts are
// escaped: \\ \" \n \t \xNNNN and octal \NNN; long hex lines go on after a
// closing "\". Key and value names are compared without regard to case.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantor::platform::detail {

// Returns the escaped text that starts at text[pos] up to the unescaped character
// endChar, unescaped to UTF-8; pos is left after endChar. Nothing when endChar is missing.
std::optional<std::string> UnescapeRegText(std::string_view text, std::size_t& pos, char endChar);

// Returns the string that a value's data holds ("text", str(2):"text" or hex(1),
// hex(2) and hex(7) bytes), cut before its first NUL; nothing for other types.
std::optional<std::string> RegDataString(std::string_view data);

// Returns the string value of a key in a registry file; empty when anything is missing.
std::string ReadRegFileString(const std::filesystem::path& file, std::string_view keyPath,
                              std::string_view valueName);

}  // namespace vantor::platform::detail
