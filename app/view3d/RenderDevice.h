#pragma once

// What a shape model hands to the device that draws it: the mesh of a shape and
// the pictures of its textures, both plain data read from the simulator's files,
// and the device interface that the OpenGL canvas implements (tests use a
// recording fake). Nothing here knows Qt or OpenGL.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "view3d/Matrix.h"

namespace vantor::view3d {

// How a part of a shape meets what lies behind it (from its shader's name and
// its prim_state's alpha test).
enum class BlendMode {
    Opaque,     // texture alpha ignored
    AlphaTest,  // pixels whose alpha is below the reference are dropped
    Blend,      // source alpha over what is behind, drawn after every opaque part
    Additive    // added to what is behind, drawn last
};

// How texture coordinates outside 0..1 are read.
enum class AddressMode { Wrap, Mirror, Clamp, Border };

// One vertex, in the shape's own space with the matrix hierarchy already applied.
struct MeshVertex {
    Vector3 position;
    Vector3 normal;
    float u = 0;  // (0, 0) is the top left of the picture
    float v = 0;
};

// A run of triangles drawn with one texture and one way of blending.
struct MeshBatch {
    int texture = -1;  // 0-based index of the model's texture slot; -1: untextured
    BlendMode blend = BlendMode::Opaque;
    AddressMode address = AddressMode::Wrap;
    bool lit = true;               // false for the full-bright shaders
    std::uint32_t firstIndex = 0;  // into ShapeMesh::indices
    std::uint32_t indexCount = 0;  // a multiple of 3
};

// The drawable form of one distance level of a shape. Triangles are clockwise
// seen from their front (the simulator's winding); the batches come opaque and
// alpha-tested first, blended after, additive last.
struct ShapeMesh {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<MeshBatch> batches;
    Vector3 centre;    // of the bounding sphere
    float radius = 0;  // of the bounding sphere
};

// The layout of a texture's pixel data.
enum class PixelFormat {
    Rgba8,  // 4 bytes a pixel, R G B A, rows top first
    Dxt1,   // BC1 blocks of 8 bytes (with 1-bit alpha when hasAlpha)
    Dxt3,   // BC2 blocks of 16 bytes
    Dxt5    // BC3 blocks of 16 bytes
};

struct TextureLevel {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> data;
};

// A decoded texture file: its levels, largest first.
struct TextureImage {
    PixelFormat format = PixelFormat::Rgba8;
    std::vector<TextureLevel> levels;
    bool hasAlpha = false;  // an alpha channel or mask that is not all opaque
};

// A texture as the device holds it (uploaded once, shared by every model that
// uses the same file). Empty handle: no texture, drawn in neutral grey.
class DeviceTexture {
public:
    virtual ~DeviceTexture() = default;
};
using TextureHandle = std::shared_ptr<DeviceTexture>;

// What models draw with. The canvas owns it; it lives while the canvas has a
// usable OpenGL context.
class RenderDevice {
public:
    virtual ~RenderDevice() = default;

    // Uploads a texture once per key (the resolved path of its file); later calls
    // with the same key return the same handle.
    virtual TextureHandle UploadTexture(const std::string& key, const TextureImage& image) = 0;
    // Draws a mesh with the world transform and the textures of its slots.
    // The mesh must outlive the device's use of it (meshes are shared and cached).
    virtual void DrawMesh(const std::shared_ptr<const ShapeMesh>& mesh, const Matrix4& world,
                          const std::vector<TextureHandle>& textures) = 0;
};

}  // namespace vantor::view3d
