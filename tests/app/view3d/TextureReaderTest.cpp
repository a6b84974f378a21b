// The ACE and DDS readers, on files laid out byte by byte.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ShapeFixtures.h"
#include "view3d/SimisData.h"
#include "view3d/TextureReader.h"

namespace {

using namespace vantor::view3d;
using namespace shape_fixtures;
using testing::HasSubstr;

// A picture whose every pixel differs: R = 10x + y, G = 100 + y, B = 200 - x, A given.
AcePicture Picture(int width, int height, std::uint8_t alpha = 255) {
    AcePicture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.rgba.insert(picture.rgba.end(), {static_cast<std::uint8_t>(10 * x + y),
                                                     static_cast<std::uint8_t>(100 + y),
                                                     static_cast<std::uint8_t>(200 - x), alpha});
        }
    }
    return picture;
}

std::string ErrorOf(const std::string& bytes) {
    try {
        ReadTexture(bytes);
    } catch (const FormatError& e) {
        return e.what();
    }
    return "no error";
}

TEST(AceTexture, UncompressedRgbReadsRowsTopFirstInEveryForm) {
    const AcePicture picture = Picture(5, 3);
    const std::string plain = AceFile(picture, AceKind::Rgb, false);
    for (const std::string& file :
         {plain, Compress(plain), AceFile(picture, AceKind::Rgb, false, true)}) {
        const TextureImage image = ReadTexture(file);
        EXPECT_EQ(image.format, PixelFormat::Rgba8);
        ASSERT_EQ(image.levels.size(), 1U);
        EXPECT_EQ(image.levels[0].width, 5);
        EXPECT_EQ(image.levels[0].height, 3);
        EXPECT_EQ(image.levels[0].data, picture.rgba);
        EXPECT_FALSE(image.hasAlpha);
    }
}

TEST(AceTexture, MaskBitsRunFromTheMostSignificantBitAtTheLeft) {
    AcePicture picture = Picture(10, 2);
    std::vector<std::uint8_t> mask(20, 1);
    mask[0] = 0;  // leftmost pixel of the top row
    mask[9] = 0;  // the last, in the second mask byte
    const TextureImage image = ReadTexture(AceFile(picture, AceKind::RgbMask, false, false, mask));
    const auto alphaAt = [&](int x, int y) { return image.levels[0].data[4 * (10 * y + x) + 3]; };
    EXPECT_EQ(alphaAt(0, 0), 0);
    EXPECT_EQ(alphaAt(1, 0), 255);
    EXPECT_EQ(alphaAt(9, 0), 0);
    EXPECT_EQ(alphaAt(0, 1), 255);
    EXPECT_TRUE(image.hasAlpha);
}

TEST(AceTexture, FiveChannelsTakeAlphaFromItsPlaneNotTheMask) {
    const AcePicture picture = Picture(4, 4, 77);
    const TextureImage image = ReadTexture(
        AceFile(picture, AceKind::RgbMaskAlpha, false, false, std::vector<std::uint8_t>(16, 0)));
    EXPECT_EQ(image.levels[0].data, picture.rgba);
    EXPECT_TRUE(image.hasAlpha);
}

TEST(AceTexture, MipmapsGiveEveryLevelDownToOnePixel) {
    const AcePicture picture = Picture(8, 8);
    const TextureImage image = ReadTexture(AceFile(picture, AceKind::RgbMask, true));
    ASSERT_EQ(image.levels.size(), 4U);
    EXPECT_EQ(image.levels[3].width, 1);
    // Level 1 pixel (1, 2) is level 0 pixel (2, 4).
    const std::size_t at = std::size_t{4} * (2 * 4 + 1);
    const std::size_t above = std::size_t{4} * (4 * 8 + 2);
    EXPECT_EQ(image.levels[1].data[at], picture.rgba[above]);
    EXPECT_EQ(image.levels[1].data[at + 2], picture.rgba[above + 2]);
}

TEST(AceTexture, Dxt1KeepsItsBlocksAndFindsTheOneBitAlpha) {
    // c0 = 0xF800 (red) > c1 = 0x001F (blue): four colours, no transparency.
    const std::vector<std::uint8_t> opaque = {0x00, 0xF8, 0x1F, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    // c0 <= c1 and pixel (1, 0) has index 3: transparent.
    const std::vector<std::uint8_t> holed = {0x1F, 0x00, 0x00, 0xF8, 0x0C, 0x00, 0x00, 0x00};
    const TextureImage image = ReadTexture(AceDxt1File(8, opaque));
    EXPECT_EQ(image.format, PixelFormat::Dxt1);
    ASSERT_EQ(image.levels.size(), 2U);  // 8x8 and 4x4; 2x2 and 1x1 are rows
    EXPECT_EQ(image.levels[0].data.size(), 4U * 8U);
    EXPECT_EQ(
        std::vector<std::uint8_t>(image.levels[1].data.begin(), image.levels[1].data.begin() + 8),
        opaque);
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_TRUE(ReadTexture(AceDxt1File(4, holed)).hasAlpha);
    // A DXT1 file smaller than 4x4 holds rows only: read as pixels.
    const TextureImage tiny = ReadTexture(AceDxt1File(2, opaque));
    EXPECT_EQ(tiny.format, PixelFormat::Rgba8);
    ASSERT_EQ(tiny.levels.size(), 2U);
    const std::vector<std::uint8_t> grey = {0x80, 0x80, 0x80, 255};
    EXPECT_EQ(
        std::vector<std::uint8_t>(tiny.levels[0].data.begin(), tiny.levels[0].data.begin() + 4),
        grey);
    EXPECT_EQ(tiny.levels[1].data, grey);
    EXPECT_FALSE(tiny.hasAlpha);
    // c0 <= c1 without index 3 stays opaque.
    EXPECT_FALSE(
        ReadTexture(AceDxt1File(4, {0x1F, 0x00, 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00})).hasAlpha);
}

TEST(AceTexture, DamagedFilesAreRefused) {
    const std::string good = AceFile(Picture(4, 4), AceKind::Rgb, false);
    std::string badSignature = good;
    badSignature[16] = 2;
    std::string hugeWidth = good;
    hugeWidth[16 + 8 + 3] = 0x40;
    std::string unknownFormat = good;
    unknownFormat[16 + 16] = 0x15;
    const std::string nonSquareMips =
        AceFile(Picture(8, 8), AceKind::Rgb, true).replace(16 + 12, 1, "\x04");
    EXPECT_EQ(ErrorOf(badSignature), "the file is not an ACE texture (its signature is wrong)");
    EXPECT_EQ(ErrorOf(hugeWidth), "the file has an impossible size of 1073741828x4");
    EXPECT_EQ(ErrorOf(unknownFormat), "the file has the unknown surface format 21");
    EXPECT_EQ(ErrorOf(nonSquareMips),
              "the file has mipmaps but is not a square power of two (8x4)");
    EXPECT_THAT(ErrorOf(good.substr(0, good.size() - 5)), HasSubstr("the file is truncated"));
    EXPECT_THAT(ErrorOf(good.substr(0, 40)), HasSubstr("the file is truncated"));
    EXPECT_EQ(ErrorOf("SIMISA@@@@@@@@@@JINX0s1t______"),
              "the file is not an ACE texture (its signature is wrong)");
}

TEST(DdsTexture, CompressedLevelsKeepTheirBlocks) {
    struct Case {
        const char* fourCc;
        PixelFormat format;
        std::size_t blockSize;
    };
    for (const Case& c : {Case{"DXT1", PixelFormat::Dxt1, 8}, Case{"DXT3", PixelFormat::Dxt3, 16},
                          Case{"DXT5", PixelFormat::Dxt5, 16}}) {
        SCOPED_TRACE(c.fourCc);
        // 8x4 with four levels: 2 blocks, 1, 1, 1.
        std::vector<std::uint8_t> data(5 * c.blockSize);
        for (std::size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<std::uint8_t>(i);
        }
        const TextureImage image = ReadTexture(DdsFile(8, 4, c.fourCc, 4, data));
        EXPECT_EQ(image.format, c.format);
        ASSERT_EQ(image.levels.size(), 4U);
        EXPECT_EQ(image.levels[0].data.size(), 2 * c.blockSize);
        EXPECT_EQ(image.levels[3].width, 1);
        EXPECT_EQ(image.levels[3].data.front(), 4 * c.blockSize);
        EXPECT_THAT(ErrorOf(DdsFile(8, 4, c.fourCc, 4, std::vector<std::uint8_t>(4 * c.blockSize))),
                    HasSubstr("the file is truncated"));
    }
}

TEST(DdsTexture, UncompressedPixelsFollowTheirMasks) {
    // Two pixels of 32-bit BGRA: opaque red, half-transparent green.
    const std::vector<std::uint8_t> bgra = {0, 0, 255, 255, 0, 255, 0, 128};
    const TextureImage image =
        ReadTexture(DdsFile(2, 1, "", 1, bgra, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000));
    EXPECT_EQ(image.levels[0].data, (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 255, 0, 128}));
    EXPECT_TRUE(image.hasAlpha);
    const std::vector<std::uint8_t> bgr = {10, 20, 30, 40, 50, 60};
    const TextureImage rgb = ReadTexture(DdsFile(2, 1, "", 1, bgr, 24, 0xFF0000, 0xFF00, 0xFF));
    EXPECT_EQ(rgb.levels[0].data, (std::vector<std::uint8_t>{30, 20, 10, 255, 60, 50, 40, 255}));
    EXPECT_FALSE(rgb.hasAlpha);
}

TEST(DdsTexture, UnsupportedFormatsAreNamed) {
    EXPECT_EQ(ErrorOf(DdsFile(4, 4, "ATI2", 1, std::vector<std::uint8_t>(16))),
              "the file has the unsupported DDS pixel format \"ATI2\"");
    EXPECT_EQ(ErrorOf(DdsFile(4, 4, "", 1, std::vector<std::uint8_t>(32), 16, 0xF800, 0x7E0, 0x1F)),
              "the file has an unsupported DDS pixel format (16 bits)");
    EXPECT_EQ(ErrorOf(std::string("DDS ") + std::string(10, '\0')),
              "the file has a damaged DDS header");
}

}  // namespace
