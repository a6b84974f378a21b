#pragma once

// File names as Windows treats them: upper-case comparison, the listing order
// of NTFS and wildcard patterns.

#include <memory>
#include <string>
#include <string_view>

namespace vantor::platform {

// Returns UTF-8 text in upper case (Latin, Greek and Cyrillic letters); bytes
// that are not valid UTF-8 stay as they are.
std::string UpperCase(std::string_view text);

// Appends UTF-8 text in upper case to out, as UpperCase() makes it.
void AppendUpperCase(std::string_view text, std::string& out);

// Returns true when two names are equal ignoring case.
bool SameName(std::string_view a, std::string_view b);

// Returns true when name matches a wildcard pattern as on Windows, ignoring case:
// "*" and "?" as usual, "*." only names without an extension, "*.*" every name.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// A wildcard pattern prepared once, to match the names of a folder one by one
// as MatchesPattern() does.
class NamePattern {
public:
    explicit NamePattern(std::string_view pattern);
    ~NamePattern();
    NamePattern(const NamePattern&) = delete;
    NamePattern& operator=(const NamePattern&) = delete;

    bool Matches(std::string_view name);

private:
    class Matcher;
    std::unique_ptr<Matcher> m_matcher;
};

// Appends a code point to UTF-8 text.
void AppendUtf8(char32_t code, std::string& text);

// Returns true when text holds "*" or "?".
bool HasWildcards(std::string_view text);

}  // namespace vantor::platform
