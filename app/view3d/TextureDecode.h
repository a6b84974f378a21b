#pragma once

// Decoding of DXT-compressed textures on the processor, for drivers that cannot
// take them as they are. The blocks are decoded by libsquish.

#include <cstddef>

#include "view3d/RenderDevice.h"

namespace vantor::view3d {

// Returns whether this build can decode DXT textures (it was built with libsquish).
bool CanDecompressTextures();

// Returns the texture as RGBA pixels, rows top first: DXT levels decoded, an
// RGBA texture as it is. The levels keep their order; decoding stops before the
// first level whose data is shorter than its size needs. Without a level left
// (or without libsquish) the result has no levels.
TextureImage DecompressTexture(const TextureImage& image);

// Returns the bytes that a level of the given size takes in a format.
std::size_t LevelBytes(PixelFormat format, int width, int height);

}  // namespace vantor::view3d
