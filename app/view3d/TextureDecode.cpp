#include "view3d/TextureDecode.h"

#include <cstddef>

#ifdef VANTOR_HAVE_SQUISH
#include <squish.h>
#endif

namespace vantor::view3d {

bool CanDecompressTextures() {
#ifdef VANTOR_HAVE_SQUISH
    return true;
#else
    return false;
#endif
}

std::size_t LevelBytes(PixelFormat format, int width, int height) {
    if (width <= 0 || height <= 0) {
        return 0;
    }
    const auto blocks =
        static_cast<std::size_t>((width + 3) / 4) * static_cast<std::size_t>((height + 3) / 4);
    switch (format) {
        case PixelFormat::Rgba8:
            return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
        case PixelFormat::Dxt1:
            return blocks * 8;
        case PixelFormat::Dxt3:
        case PixelFormat::Dxt5:
            return blocks * 16;
    }
    return 0;
}

TextureImage DecompressTexture(const TextureImage& image) {
    if (image.format == PixelFormat::Rgba8) {
        return image;
    }
    TextureImage result;
    result.hasAlpha = image.hasAlpha;
#ifdef VANTOR_HAVE_SQUISH
    const int flags = image.format == PixelFormat::Dxt1   ? squish::kDxt1
                      : image.format == PixelFormat::Dxt3 ? squish::kDxt3
                                                          : squish::kDxt5;
    for (const TextureLevel& level : image.levels) {
        const std::size_t needed = LevelBytes(image.format, level.width, level.height);
        if (needed == 0 || level.data.size() < needed) {
            break;
        }
        TextureLevel decoded{level.width, level.height, {}};
        decoded.data.resize(LevelBytes(PixelFormat::Rgba8, level.width, level.height));
        squish::DecompressImage(decoded.data.data(), level.width, level.height, level.data.data(),
                                flags);
        result.levels.push_back(std::move(decoded));
    }
#endif
    return result;
}

}  // namespace vantor::view3d
