// Reads arbitrary bytes as an ACE or DDS texture: a damaged file must be refused
// with FormatError, never crash or hang, and an image that is read must hold
// levels whose data sizes match their format and dimensions.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "view3d/SimisData.h"
#include "view3d/TextureReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantor::view3d;
    TextureImage image;
    try {
        image = ReadTexture(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const FormatError&) {
        return 0;
    }
    if (image.levels.empty()) {
        fuzz_support::Fail("an image without levels");
    }
    for (const TextureLevel& level : image.levels) {
        const auto w = static_cast<std::size_t>(level.width);
        const auto h = static_cast<std::size_t>(level.height);
        std::size_t expected = w * h * 4;
        if (image.format != PixelFormat::Rgba8) {
            expected = (w + 3) / 4 * ((h + 3) / 4) * (image.format == PixelFormat::Dxt1 ? 8 : 16);
        }
        if (level.width < 1 || level.height < 1 || level.data.size() != expected) {
            fuzz_support::Fail("a level's data does not match its size");
        }
    }
    return 0;
}
