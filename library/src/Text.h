#pragma once

// Text helpers shared by the reader and the writer. Internal to the library.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::text {

// Appends the UTF-8 form of a code point; lone surrogates are kept as three bytes
// so that a UTF-16 file round-trips unit for unit.
void AppendUtf8(std::string& out, char32_t codePoint);

// Returns the Unicode code point of a Windows-1252 byte.
char32_t FromWindows1252(unsigned char byte) noexcept;

// Appends the UTF-16LE bytes of UTF-8 text. A byte that is not part of a valid
// sequence is written as the unit of the same value.
void AppendUtf16Le(std::vector<char>& out, std::string_view utf8);

// Returns the text in lower case (ASCII and Latin-1 letters).
std::string LowerCase(std::string_view text);

// Lower-cases one ASCII character.
inline char LowerAscii(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Returns the text without leading and trailing blanks (U+0020 only).
std::string_view TrimBlanks(std::string_view text) noexcept;

// Returns the text without trailing blanks.
std::string_view TrimTrailingBlanks(std::string_view text) noexcept;

// Returns the text with every tab replaced by a blank.
std::string TabsToBlanks(std::string_view text);

// Splits the text at every single blank; two blanks in a row give an empty piece.
void SplitAtBlanks(std::string_view text, std::vector<std::string_view>& pieces);

// Returns a / b for non-negative numbers, rounded to the nearest whole number
// with halves going to the even number.
std::int64_t DivideRoundHalfEven(std::int64_t a, std::int64_t b) noexcept;

}  // namespace corvane::text
