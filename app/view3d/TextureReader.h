#pragma once

// Readers of the simulator's texture files into TextureImage.
//
// ACE: a SIMIS header (or the compressed wrapper) and a body of a 152-byte
// header (signature 1, options, width, height, surface format, channel count),
// one 16-byte record per channel (bits and type: 2 mask, 3 red, 4 green, 5 blue,
// 6 alpha), an offset table and the pixel data. Uncompressed images hold one row
// after another, each row a plane per channel (8-bit: a byte a pixel; 1-bit: a
// bit a pixel, the leftmost in the most significant bit). DXT1 images hold each
// level as a byte count and 8-byte blocks; levels under 4x4 are stored as rows.
// Rows and levels are read one after another from the end of the offset table,
// since some files carry wrong offsets over data that lies in order.
//
// DDS: "DDS ", a 124-byte header, the levels one after another: DXT1, DXT3 and
// DXT5 blocks, or uncompressed 32-bit or 24-bit pixels with channel masks.
//
// DXT data stays in blocks (the device uploads them compressed). Levels of a
// DXT1 ACE smaller than 4x4 are left out: such an image has fewer levels than a
// full chain.

#include <string>
#include <string_view>

#include "view3d/RenderDevice.h"

namespace vantor::view3d {

// Images wider or taller than this are refused.
inline constexpr int kMaxTextureSize = 16384;

// Reads an ACE or DDS file's bytes, told apart by their start. Throws
// FormatError naming the fault.
TextureImage ReadTexture(std::string_view bytes);

TextureImage ReadAce(std::string_view bytes);
TextureImage ReadDds(std::string_view bytes);

}  // namespace vantor::view3d
