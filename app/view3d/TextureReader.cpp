#include "view3d/TextureReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "view3d/SimisData.h"

namespace vantor::view3d {

namespace {

// Reads little-endian numbers from a byte range with bounds checks.
class ByteReader {
public:
    ByteReader(std::string_view data, const char* what) : m_data(data), m_what(what) {}

    std::uint32_t U32(std::size_t at) const {
        Need(at, 4);
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value |= static_cast<std::uint32_t>(Byte(at + i)) << (8 * i);
        }
        return value;
    }
    std::uint8_t Byte(std::size_t at) const {
        Need(at, 1);
        return static_cast<std::uint8_t>(m_data[at]);
    }
    std::string_view Bytes(std::size_t at, std::size_t count) const {
        Need(at, count);
        return m_data.substr(at, count);
    }
    void Need(std::size_t at, std::size_t count) const {
        if (at > m_data.size() || count > m_data.size() - at) {
            throw FormatError(std::string("the file is truncated: its ") + m_what +
                              " ends at byte " + std::to_string(m_data.size()) + ", " +
                              std::to_string(at + count) + " needed");
        }
    }
    std::size_t Size() const { return m_data.size(); }

private:
    std::string_view m_data;
    const char* m_what;
};

void CheckSize(std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize) {
        throw FormatError("the file has an impossible size of " + std::to_string(width) + "x" +
                          std::to_string(height));
    }
}

std::size_t BlockBytes(int width, int height, std::size_t blockSize) {
    return static_cast<std::size_t>((width + 3) / 4) * static_cast<std::size_t>((height + 3) / 4) *
           blockSize;
}

// Returns true when a DXT1 block shows a transparent pixel (c0 <= c1 and index 3).
bool Dxt1BlockHasAlpha(std::string_view block) {
    const auto c0 = static_cast<std::uint16_t>(static_cast<std::uint8_t>(block[0]) |
                                               static_cast<std::uint8_t>(block[1]) << 8);
    const auto c1 = static_cast<std::uint16_t>(static_cast<std::uint8_t>(block[2]) |
                                               static_cast<std::uint8_t>(block[3]) << 8);
    if (c0 > c1) {
        return false;
    }
    for (int i = 4; i < 8; ++i) {
        const auto bits = static_cast<std::uint8_t>(block[i]);
        for (int shift = 0; shift < 8; shift += 2) {
            if (((bits >> shift) & 3) == 3) {
                return true;
            }
        }
    }
    return false;
}

bool Dxt1HasAlpha(const std::vector<std::uint8_t>& data) {
    const std::string_view all(reinterpret_cast<const char*>(data.data()), data.size());
    for (std::size_t at = 0; at + 8 <= all.size(); at += 8) {
        if (Dxt1BlockHasAlpha(all.substr(at, 8))) {
            return true;
        }
    }
    return false;
}

bool RgbaHasAlpha(const std::vector<std::uint8_t>& data) {
    for (std::size_t i = 3; i < data.size(); i += 4) {
        if (data[i] != 255) {
            return true;
        }
    }
    return false;
}

// ---- ACE ----

constexpr std::uint32_t kAceRgb = 0x0E;
constexpr std::uint32_t kAceMask = 0x10;
constexpr std::uint32_t kAceAlpha = 0x11;
constexpr std::uint32_t kAceDxt1 = 0x12;
constexpr std::size_t kAceHeader = 152;

struct AceChannel {
    std::uint32_t bits = 8;
    std::uint32_t type = 0;
};

// Reads one level of plain rows at at; returns where the next data starts.
std::size_t ReadAceRows(const ByteReader& body, std::size_t at, int width, int height,
                        const std::vector<AceChannel>& channels, TextureLevel& level) {
    std::size_t rowBytes = 0;
    for (const AceChannel& channel : channels) {
        rowBytes += channel.bits == 1 ? (static_cast<std::size_t>(width) + 7) / 8 : width;
    }
    body.Need(at, rowBytes * static_cast<std::size_t>(height));
    level.width = width;
    level.height = height;
    level.data.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    const bool hasAlpha = std::any_of(channels.begin(), channels.end(),
                                      [](const AceChannel& c) { return c.type == 6; });
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = level.data.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            row[4 * x + 3] = 255;
        }
        for (const AceChannel& channel : channels) {
            const std::size_t planeBytes =
                channel.bits == 1 ? (static_cast<std::size_t>(width) + 7) / 8 : width;
            const std::string_view plane = body.Bytes(at, planeBytes);
            at += planeBytes;
            int component = -1;
            switch (channel.type) {
                case 3:
                case 4:
                case 5:
                    component = static_cast<int>(channel.type) - 3;
                    break;
                case 6:
                    component = 3;
                    break;
                case 2:
                    component = hasAlpha ? -1 : 3;  // the mask only where no alpha plane is
                    break;
                default:
                    break;
            }
            if (component < 0) {
                continue;
            }
            for (int x = 0; x < width; ++x) {
                std::uint8_t value = 0;
                if (channel.bits == 1) {
                    const auto bits = static_cast<std::uint8_t>(plane[x / 8]);
                    value = (bits >> (7 - x % 8)) & 1 ? 255 : 0;
                } else {
                    value = static_cast<std::uint8_t>(plane[x]);
                }
                row[4 * x + component] = value;
            }
        }
    }
    return at;
}

TextureImage ReadAceBody(std::string_view data) {
    const ByteReader body(data, "data");
    if (body.U32(0) != 1) {
        throw FormatError("the file is not an ACE texture (its signature is wrong)");
    }
    const std::uint32_t options = body.U32(4);
    const std::uint32_t width = body.U32(8);
    const std::uint32_t height = body.U32(12);
    const std::uint32_t format = body.U32(16);
    const std::uint32_t channelCount = body.U32(20);
    CheckSize(width, height);
    if (channelCount == 0 || channelCount > 8) {
        throw FormatError("the file has " + std::to_string(channelCount) + " channels");
    }
    std::vector<AceChannel> channels(channelCount);
    for (std::uint32_t i = 0; i < channelCount; ++i) {
        channels[i].bits = body.U32(kAceHeader + std::size_t{16} * i);
        channels[i].type = body.U32(kAceHeader + std::size_t{16} * i + 8);
        if (channels[i].bits != 1 && channels[i].bits != 8) {
            throw FormatError("the file has a channel of " + std::to_string(channels[i].bits) +
                              " bits");
        }
    }
    const bool mipmaps = (options & 0x01) != 0;
    const bool raw = (options & 0x10) != 0;
    int levelCount = 1;
    if (mipmaps) {
        if (width != height || !std::has_single_bit(width)) {
            throw FormatError("the file has mipmaps but is not a square power of two (" +
                              std::to_string(width) + "x" + std::to_string(height) + ")");
        }
        levelCount = 1 + std::countr_zero(width);
    }
    const std::size_t tableAt = kAceHeader + 16 * static_cast<std::size_t>(channelCount);
    TextureImage image;
    if (!raw) {
        if (format != kAceRgb && format != kAceMask && format != kAceAlpha) {
            throw FormatError("the file has the unknown surface format " + std::to_string(format));
        }
        std::size_t rows = 0;
        for (int k = 0; k < levelCount; ++k) {
            rows += std::max<std::uint32_t>(1, height >> k);
        }
        std::size_t at = tableAt + 4 * rows;
        for (int k = 0; k < levelCount; ++k) {
            TextureLevel level;
            at = ReadAceRows(body, at, static_cast<int>(std::max<std::uint32_t>(1, width >> k)),
                             static_cast<int>(std::max<std::uint32_t>(1, height >> k)), channels,
                             level);
            image.levels.push_back(std::move(level));
        }
        image.hasAlpha = RgbaHasAlpha(image.levels.front().data);
        return image;
    }
    if (format != kAceDxt1) {
        throw FormatError("the file has the unsupported compressed surface format " +
                          std::to_string(format));
    }
    image.format = PixelFormat::Dxt1;
    std::size_t at = tableAt + 4 * static_cast<std::size_t>(levelCount);
    std::vector<TextureLevel> rows;  // the levels under 4x4, stored as rows
    for (int k = 0; k < levelCount; ++k) {
        const int w = static_cast<int>(std::max<std::uint32_t>(1, width >> k));
        const int h = static_cast<int>(std::max<std::uint32_t>(1, height >> k));
        if (w < 4 || h < 4) {
            rows.emplace_back();
            at = ReadAceRows(body, at, w, h, channels, rows.back());
            continue;
        }
        body.U32(at);  // the stated byte count: the size follows from the dimensions
        const std::size_t size = BlockBytes(w, h, 8);
        const std::string_view blocks = body.Bytes(at + 4, size);
        at += 4 + size;
        TextureLevel level;
        level.width = w;
        level.height = h;
        level.data.assign(blocks.begin(), blocks.end());
        image.levels.push_back(std::move(level));
    }
    if (image.levels.empty()) {
        // Smaller than 4x4 throughout: nothing but rows.
        image.format = PixelFormat::Rgba8;
        image.levels = std::move(rows);
        image.hasAlpha = RgbaHasAlpha(image.levels.front().data);
        return image;
    }
    image.hasAlpha = Dxt1HasAlpha(image.levels.front().data);
    return image;
}

// ---- DDS ----

constexpr std::uint32_t kDdsMipMapCount = 0x20000;
constexpr std::uint32_t kDdpfAlphaPixels = 0x1;
constexpr std::uint32_t kDdpfFourCc = 0x4;
constexpr std::uint32_t kDdpfRgb = 0x40;

constexpr std::uint32_t FourCc(const char (&code)[5]) {
    return static_cast<std::uint32_t>(code[0]) | static_cast<std::uint32_t>(code[1]) << 8 |
           static_cast<std::uint32_t>(code[2]) << 16 | static_cast<std::uint32_t>(code[3]) << 24;
}

// Returns the 8-bit value of a channel held under mask in pixel.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 255;
    }
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>(value * 255 / max);
}

bool Dxt3HasAlpha(const std::vector<std::uint8_t>& data) {
    for (std::size_t at = 0; at + 16 <= data.size(); at += 16) {
        for (std::size_t i = 0; i < 8; ++i) {
            if (data[at + i] != 0xFF) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

TextureImage ReadAce(std::string_view bytes) {
    const SimisPayload payload = UnwrapSimis(bytes);
    if (payload.utf16) {
        throw FormatError("the file is text, not an ACE texture");
    }
    return ReadAceBody(payload.payload);
}

TextureImage ReadDds(std::string_view bytes) {
    const ByteReader file(bytes, "data");
    if (bytes.size() < 4 || bytes.substr(0, 4) != "DDS ") {
        throw FormatError("the file is not a DDS texture");
    }
    if (file.U32(4) != 124) {
        throw FormatError("the file has a damaged DDS header");
    }
    const std::uint32_t flags = file.U32(8);
    const std::uint32_t height = file.U32(12);
    const std::uint32_t width = file.U32(16);
    CheckSize(width, height);
    const std::uint32_t mipCount = (flags & kDdsMipMapCount) != 0 ? file.U32(28) : 1;
    const std::uint32_t pfFlags = file.U32(80);
    const std::uint32_t fourCc = file.U32(84);
    const std::uint32_t bitCount = file.U32(88);
    const std::array<std::uint32_t, 4> masks = {file.U32(92), file.U32(96), file.U32(100),
                                                file.U32(104)};
    const int levelCount = static_cast<int>(
        std::clamp<std::uint32_t>(mipCount, 1, 1 + std::bit_width(std::max(width, height)) - 1));
    TextureImage image;
    std::size_t blockSize = 0;
    if ((pfFlags & kDdpfFourCc) != 0) {
        if (fourCc == FourCc("DXT1")) {
            image.format = PixelFormat::Dxt1;
            blockSize = 8;
        } else if (fourCc == FourCc("DXT3")) {
            image.format = PixelFormat::Dxt3;
            blockSize = 16;
        } else if (fourCc == FourCc("DXT5")) {
            image.format = PixelFormat::Dxt5;
            blockSize = 16;
        } else {
            throw FormatError("the file has the unsupported DDS pixel format \"" +
                              std::string(file.Bytes(84, 4)) + "\"");
        }
    } else if ((pfFlags & kDdpfRgb) == 0 || (bitCount != 32 && bitCount != 24)) {
        throw FormatError("the file has an unsupported DDS pixel format (" +
                          std::to_string(bitCount) + " bits)");
    }
    std::size_t at = 128;
    for (int k = 0; k < levelCount; ++k) {
        TextureLevel level;
        level.width = static_cast<int>(std::max<std::uint32_t>(1, width >> k));
        level.height = static_cast<int>(std::max<std::uint32_t>(1, height >> k));
        if (blockSize != 0) {
            const std::string_view blocks =
                file.Bytes(at, BlockBytes(level.width, level.height, blockSize));
            level.data.assign(blocks.begin(), blocks.end());
            at += blocks.size();
        } else {
            const std::size_t pixels = static_cast<std::size_t>(level.width) * level.height;
            const std::size_t step = bitCount / 8;
            const std::string_view source = file.Bytes(at, pixels * step);
            at += source.size();
            level.data.resize(pixels * 4);
            const bool alpha = (pfFlags & kDdpfAlphaPixels) != 0;
            for (std::size_t i = 0; i < pixels; ++i) {
                std::uint32_t pixel = 0;
                for (std::size_t b = 0; b < step; ++b) {
                    pixel |=
                        static_cast<std::uint32_t>(static_cast<std::uint8_t>(source[i * step + b]))
                        << (8 * b);
                }
                for (int c = 0; c < 3; ++c) {
                    level.data[4 * i + c] = Channel(pixel, masks[c]);
                }
                level.data[4 * i + 3] = alpha ? Channel(pixel, masks[3]) : 255;
                image.hasAlpha = image.hasAlpha || level.data[4 * i + 3] != 255;
            }
        }
        image.levels.push_back(std::move(level));
    }
    if (image.format == PixelFormat::Dxt1) {
        image.hasAlpha = Dxt1HasAlpha(image.levels.front().data);
    } else if (image.format == PixelFormat::Dxt3) {
        image.hasAlpha = Dxt3HasAlpha(image.levels.front().data);
    } else if (image.format == PixelFormat::Dxt5) {
        image.hasAlpha = true;
    }
    return image;
}

TextureImage ReadTexture(std::string_view bytes) {
    if (bytes.starts_with("DDS ")) {
        return ReadDds(bytes);
    }
    return ReadAce(bytes);
}

}  // namespace vantor::view3d
