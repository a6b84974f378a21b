#pragma once

// The names of the simulator's core tokens and the layout of their contents in
// binary files. Internal to the library.

#include <cstdint>
#include <string_view>

namespace corvane::tokens {

// Returns the name of a core token (table 0) by its id, empty for an unknown id.
// The table is made at build time from library/tokens/core-tokens.tsv.
std::string_view CoreTokenName(std::uint32_t id) noexcept;

// Returns how a token's contents are laid out in a binary file, empty when this
// library does not know. One letter per element, in order:
//   u  unsigned 32-bit integer, written in decimal ("3")
//   i  signed 32-bit integer, written in decimal ("-5")
//   d  32-bit flags, written as eight hexadecimal digits ("ff000000")
//   f  single-precision float, written as the simulator writes it ("-3.8e-005")
//   s  string: a 16-bit count of UTF-16LE units, then the units
//   b  a child block of any token
// A count before a letter repeats it ("3f"); "*" after a letter repeats it to the
// end of the block; the elements after "[" are read only while the block has bytes
// left.
std::string_view Layout(std::string_view name) noexcept;

}  // namespace corvane::tokens
