#pragma once

// Reads the INI files that the application's settings are kept in.

#include <map>
#include <string>
#include <string_view>

namespace vantor {

// Returns the keys and values of one group of INI text, such as "[Settings]". Keys
// stay as written; values lose the double quotes and backslash escapes with which
// they are written when they hold blanks or special characters. A key given twice
// keeps its last value.
std::map<std::string, std::string> ParseIniGroup(std::string_view text, std::string_view group);

// Returns ParseIniGroup() of a file, empty when the file cannot be read.
std::map<std::string, std::string> ReadIniGroup(const std::string& path, std::string_view group);

}  // namespace vantor
