#pragma once

// The SIMIS wrapper of the simulator's files: which form a file has, and the
// inflating of compressed ones. Internal to the library.
//
//     SIMISA@@@@@@@@@@JINX0s1t______    text (8-bit, or UTF-16LE behind FF FE)
//     SIMISA@@@@@@@@@@JINX0s1b______    binary: a token stream follows
//     SIMISA@F nnnn @@@@ 78 9c ...      compressed: nnnn (uint32, little-endian)
//                                       bytes of zlib data, which inflate to
//                                       "JINX0s1b______\r\n" or "JINX0s1t______\r\n"
//                                       and what follows it
//
// Some files carry a stray CR LF before "SIMISA"; it is passed over.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::simis {

// A compressed file may state at most this many inflated bytes.
inline constexpr std::uint32_t kMaxInflated = 64U << 20U;

// Bytes of the SIMIS header and of the JINX line that follows it.
inline constexpr std::size_t kHeaderSize = 16;

enum class Wrapper { None, Binary, Compressed };

// Tells from a file's first bytes whether it is binary, compressed or neither,
// and where its SIMIS header starts (0, or 2 after a stray CR LF).
Wrapper WrapperOf(std::string_view head, std::size_t& headerAt) noexcept;

// Returns the inflated body of a compressed file whose SIMIS header starts at
// headerAt. Throws std::runtime_error naming fileName when the header is cut
// short, the stated length exceeds kMaxInflated, or the data is damaged, ends
// early or inflates to more or fewer bytes than stated.
std::string Inflate(std::string_view file, std::size_t headerAt, const std::string& fileName);

}  // namespace corvane::simis
