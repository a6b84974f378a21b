#pragma once

// Shape and texture files built by hand for the tests: a shape is described
// once as blocks and values and written as text, binary tokens or compressed
// binary; ACE and DDS files are laid out byte by byte.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace shape_fixtures {

struct Block;

// One value of a block: u unsigned, i signed, f float, d dword, s string, or a child block.
struct Value {
    char kind;
    double number = 0;
    std::string text;
    std::vector<Block> child;  // one element for a block
};

struct Block {
    std::string name;
    std::string label;
    std::vector<Value> values;
};

Value U(std::uint32_t v);
Value I(std::int32_t v);
Value F(float v);
Value D(std::uint32_t v);
Value S(std::string v);
Value B(std::string name, std::vector<Value> values, std::string label = {});

// The shape as Unicode text (FF FE, UTF-16LE) or as 8-bit text.
std::string TextShape(const Block& shape, bool utf16);
// The shape as binary tokens behind "SIMISA@@@@@@@@@@JINX0s1b______\r\n".
std::string BinaryShape(const Block& shape);
// Wraps the bytes after a file's 16-byte SIMIS header into the compressed form.
std::string Compress(std::string_view file);
// Returns zlib data of bytes.
std::string Zlib(std::string_view bytes);

// The test shape: three matrices MAIN (turned 90 degrees about Y and moved by 5
// along X), BOGIE under MAIN (moved 1 up) and WHEEL under BOGIE (moved 2 along
// Z); two images ("Body.ACE", "glass.dds"); one sub_object whose first trilist
// (0 2 3) is blended under WHEEL with image 1 and whose second (0 1 2) is opaque
// under MAIN with image 0. hierarchy overrides the parents, indices the second
// trilist.
struct ShapeOptions {
    std::vector<std::int32_t> hierarchy = {-1, 0, 1};
    std::vector<std::uint32_t> opaqueIndices = {0, 1, 2};
    std::uint32_t pointOfVertex3 = 3;
    std::uint32_t imageOfTexture0 = 0;
};
Block TestShape(const ShapeOptions& options = {});

// ACE files. Pixels are RGBA, rows top first.
struct AcePicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};
enum class AceKind { Rgb, RgbMask, RgbMaskAlpha };
// An uncompressed ACE of the picture and its halved levels when mipmaps is set
// (each level's pixels taken as pixel (2x, 2y) of the one above). badOffsets
// fills the offset table with nonsense.
std::string AceFile(const AcePicture& picture, AceKind kind, bool mipmaps, bool badOffsets = false,
                    std::vector<std::uint8_t> mask = {});
// A DXT1 ACE with mipmaps of a square picture width wide: blocks for every level of
// 4x4 or more (the given level 0 blocks repeated), rows of grey for smaller levels.
std::string AceDxt1File(int width, const std::vector<std::uint8_t>& level0Blocks);

// A DDS file: fourCc "DXT1"/"DXT3"/"DXT5" with levels of block data, or "" for
// uncompressed pixels of bitCount bits with the given channel masks.
std::string DdsFile(int width, int height, const char* fourCc, int levels,
                    const std::vector<std::uint8_t>& data, std::uint32_t bitCount = 0,
                    std::uint32_t rMask = 0, std::uint32_t gMask = 0, std::uint32_t bMask = 0,
                    std::uint32_t aMask = 0);

void Put32(std::string& out, std::uint32_t value);

}  // namespace shape_fixtures
