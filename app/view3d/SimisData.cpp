#include "view3d/SimisData.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <limits>

#include "platform/Paths.h"

namespace vantor::view3d {

namespace {

constexpr std::string_view kPlain = "SIMISA@@@@@@@@@@";
constexpr std::string_view kCompressed = "SIMISA@F";
// Deflate cannot shrink data by more than about 1032 to 1: a stated length above
// that is a lie, refused before any memory is taken for it.
constexpr std::size_t kMaxDeflateRatio = 1032;

std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

// Returns true when the UTF-16LE units at the start of bytes spell text.
bool StartsWithUtf16(std::string_view bytes, std::string_view text) {
    if (bytes.size() < 2 * text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (bytes[2 * i] != text[i] || bytes[2 * i + 1] != '\0') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string ReadFileBytes(const std::string& realPath) {
    std::ifstream in(platform::Utf8Path(realPath), std::ios::binary | std::ios::ate);
    if (!in) {
        throw FormatError("the file cannot be opened");
    }
    const std::streamoff size = in.tellg();
    if (size < 0) {
        throw FormatError("the file cannot be read");
    }
    if (static_cast<std::uint64_t>(size) > kMaxFileSize) {
        throw FormatError("the file is too large (" + std::to_string(size) + " bytes)");
    }
    if (size == 0) {
        throw FormatError("the file is empty");
    }
    char head[18] = {};
    in.seekg(0);
    in.read(head, sizeof head);
    const std::string_view start(head, static_cast<std::size_t>(in.gcount()));
    const bool known = start.starts_with("DDS ") || start.starts_with("SIMISA@") ||
                       start.starts_with(std::string_view("\xFF\xFES\0", 4)) ||
                       start.starts_with("\r\nSIMISA@");
    if (!known) {
        throw FormatError("the file has no SIMIS header");
    }
    in.clear();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), size)) {
        throw FormatError("the file cannot be read");
    }
    return bytes;
}

std::string InflateExactly(std::string_view zlib, std::size_t expected) {
    if (expected > kMaxFileSize || expected / kMaxDeflateRatio > zlib.size()) {
        throw FormatError("the file states an inflated length of " + std::to_string(expected) +
                          " bytes that its compressed data cannot hold");
    }
    if (zlib.size() > std::numeric_limits<uInt>::max()) {
        throw FormatError("the compressed data is too large");
    }
    std::string out(expected, '\0');
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        throw FormatError("the file cannot start inflating");
    }
    // zlib's interface is not const-correct; it never writes to its input.
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zlib.data()));
    stream.avail_in = static_cast<uInt>(zlib.size());
    // One spare byte tells a stream that would run past the stated length.
    char spare = 0;
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(expected);
    int result = inflate(&stream, Z_FINISH);
    std::size_t produced = expected - static_cast<std::size_t>(stream.avail_out);
    if (result != Z_STREAM_END && stream.avail_out == 0 && result != Z_DATA_ERROR) {
        stream.next_out = reinterpret_cast<Bytef*>(&spare);
        stream.avail_out = 1;
        result = inflate(&stream, Z_FINISH);
        if (stream.avail_out == 0) {
            inflateEnd(&stream);
            throw FormatError("the compressed data inflates past its stated length of " +
                              std::to_string(expected) + " bytes");
        }
    }
    inflateEnd(&stream);
    if (result == Z_DATA_ERROR || result == Z_NEED_DICT) {
        throw FormatError("the compressed data is damaged");
    }
    if (result != Z_STREAM_END) {
        throw FormatError("the compressed data ends early");
    }
    if (produced != expected) {
        throw FormatError("the compressed data inflates to " + std::to_string(produced) +
                          " bytes, not the stated " + std::to_string(expected));
    }
    return out;
}

SimisPayload UnwrapSimis(std::string_view bytes) {
    if (bytes.empty()) {
        throw FormatError("the file is empty");
    }
    if (bytes.starts_with("\r\n")) {
        bytes.remove_prefix(2);  // a known malformed header the simulator accepts
    }
    SimisPayload result;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        bytes.remove_prefix(2);
        if (!StartsWithUtf16(bytes, kPlain)) {
            throw FormatError("the file has no SIMIS header");
        }
        result.utf16 = true;
        result.payload.assign(bytes.substr(2 * kPlain.size()));
        return result;
    }
    if (bytes.starts_with(kPlain)) {
        result.payload.assign(bytes.substr(kPlain.size()));
        return result;
    }
    if (bytes.starts_with(kCompressed)) {
        if (bytes.size() < 16 || bytes.substr(12, 4) != "@@@@") {
            throw FormatError("the file has a damaged compressed header");
        }
        result.compressed = true;
        result.payload = InflateExactly(bytes.substr(16), LittleEndian32(bytes, 8));
        return result;
    }
    throw FormatError("the file has no SIMIS header");
}

}  // namespace vantor::view3d
