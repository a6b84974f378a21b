#pragma once

// The container every shape and ACE texture comes in. A file starts with the
// 16 bytes "SIMISA@@@@@@@@@@" (in UTF-16 behind FF FE for Unicode text) and its
// payload follows; or it is compressed: "SIMISA@F", the payload's length N as a
// little-endian uint32, "@@@@" and a zlib stream that inflates to exactly N bytes.
// For shapes the payload starts with a 16-character line such as
// "JINX0s1b______\r\n" (t: text, b: binary tokens); for ACE textures with the
// ACE body (01 00 00 00).

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantor::view3d {

// A file that cannot be read as what it claims to be; the text names the fault.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Files larger than this are refused before they are read.
inline constexpr std::size_t kMaxFileSize = std::size_t{256} << 20;

// Returns the bytes of a shape or texture file (a real path). Throws FormatError
// when it cannot be read, is larger than kMaxFileSize, or starts with neither a
// SIMIS header (the compressed one included) nor "DDS ": such a file is refused
// before the rest of it is read.
std::string ReadFileBytes(const std::string& realPath);

// What a file's container held.
struct SimisPayload {
    bool compressed = false;
    bool utf16 = false;   // Unicode text: payload holds UTF-16LE units
    std::string payload;  // everything after the 16-byte SIMIS header (inflated)
};

// Unwraps a file's bytes: checks the header, inflates a compressed file (never
// beyond the length it states), and returns the payload. Tolerates a stray CR LF
// before the header. Throws FormatError.
SimisPayload UnwrapSimis(std::string_view bytes);

// Inflates a zlib stream that must give exactly expected bytes. Throws FormatError.
std::string InflateExactly(std::string_view zlib, std::size_t expected);

}  // namespace vantor::view3d
