#include "Simis.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include <zlib.h>

namespace corvane::simis {

namespace {

[[noreturn]] void Fail(const std::string& fileName, const std::string& problem) {
    throw std::runtime_error(fileName + ": " + problem);
}

// Ends the zlib stream however the inflating ends.
struct Inflater {
    z_stream stream{};
    Inflater() = default;
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater() { inflateEnd(&stream); }
};

}  // namespace

Wrapper WrapperOf(std::string_view head, std::size_t& headerAt) noexcept {
    headerAt = head.starts_with("\r\nSIMISA") ? 2 : 0;
    head.remove_prefix(headerAt);
    if (head.starts_with("SIMISA@F")) {
        return Wrapper::Compressed;
    }
    if (head.size() >= 24 && head.starts_with("SIMISA@@@@@@@@@@JINX0") && head[23] == 'b') {
        return Wrapper::Binary;
    }
    return Wrapper::None;
}

std::string Inflate(std::string_view file, std::size_t headerAt, const std::string& fileName) {
    const std::string_view header = file.substr(headerAt);
    if (header.size() < kHeaderSize) {
        Fail(fileName, "the compressed file ends inside its header");
    }
    if (header.substr(12, 4) != "@@@@") {
        Fail(fileName, "the compressed file's header lacks \"@@@@\" after the length");
    }
    std::uint32_t expected = 0;
    for (int i = 11; i >= 8; --i) {
        expected =
            (expected << 8) | static_cast<unsigned char>(header[static_cast<std::size_t>(i)]);
    }
    if (expected > kMaxInflated) {
        Fail(fileName, "the compressed file states " + std::to_string(expected) +
                           " inflated bytes, more than the " + std::to_string(kMaxInflated) +
                           " allowed");
    }
    const std::string_view input = header.substr(kHeaderSize);
    std::string out(expected, '\0');
    Inflater z;
    if (inflateInit(&z.stream) != Z_OK) {
        Fail(fileName, "zlib cannot start inflating");
    }
    z.stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    z.stream.avail_in = static_cast<uInt>(std::min<std::size_t>(input.size(), UINT_MAX));
    z.stream.next_out = reinterpret_cast<Bytef*>(out.data());
    z.stream.avail_out = expected;
    // Past the stated length, one byte of room shows whether more would come.
    unsigned char beyond = 0;
    while (true) {
        if (z.stream.avail_out == 0 && z.stream.next_out != &beyond) {
            z.stream.next_out = &beyond;
            z.stream.avail_out = 1;
        }
        const int rc = inflate(&z.stream, Z_NO_FLUSH);
        if (z.stream.next_out == &beyond + 1) {
            Fail(fileName, "the compressed data inflates to more than the " +
                               std::to_string(expected) + " bytes its header states");
        }
        if (rc == Z_STREAM_END) {
            break;
        }
        if (rc == Z_OK || (rc == Z_BUF_ERROR && z.stream.avail_out == 0)) {
            continue;  // it went on, or room is made beyond the stated length
        }
        if (rc == Z_BUF_ERROR) {
            Fail(fileName, "the compressed data ends before its end mark");
        }
        Fail(fileName, std::string("the compressed data is damaged (") +
                           (z.stream.msg != nullptr ? z.stream.msg : "zlib error") + ")");
    }
    if (z.stream.total_out != expected) {
        Fail(fileName, "the compressed data inflates to " + std::to_string(z.stream.total_out) +
                           " bytes, fewer than the " + std::to_string(expected) +
                           " its header states");
    }
    return out;
}

}  // namespace corvane::simis
