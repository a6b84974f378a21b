#pragma once

// A shape model: one shape file read and ready to draw on a device, with one
// texture slot per texture of the shape and a world transform. The view objects
// (one per vehicle or shape shown) each own one. Implemented by ShapeFileModel over
// the shape and texture readers; tests use fakes.

#include <cstdint>
#include <string>

#include "view3d/Matrix.h"
#include "view3d/RenderDevice.h"

namespace vantor::view3d {

// What TextureInfo reports of one texture: its name as the shape gives it (used),
// a text and three numbers (not used by the view).
struct TextureInfo {
    std::string name;
    std::string text;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t levels = 0;
};

class ShapeModel {
public:
    virtual ~ShapeModel() = default;

    // Attaches the model to the device it draws with; nullptr detaches it.
    virtual void SetDevice(RenderDevice* device) = 0;
    // Sets the folder where textures are looked up after the shape's own folder,
    // relative to the shape's folder ("..\textures\").
    virtual void SetTextureFolder(const std::string& folder) = 0;
    // Loads the named texture (looked up as the shape's textures are) and returns
    // it; an empty handle when it is missing or unreadable.
    virtual TextureHandle LoadTexture(const std::string& name, bool flag) = 0;
    // Reads the shape file; LoadError() tells how it went. Never throws for a bad file.
    virtual void LoadShapeFile(const std::string& path) = 0;
    // Draws the model with its transform and textures on its device.
    virtual void Render(std::int32_t& flags, float& level) = 0;
    // Sets the world transform (row vectors, see Matrix.h).
    virtual void SetTransform(const Matrix4& world) = 0;
    // "" after a good load, otherwise a text that names what is wrong.
    virtual std::string LoadError() const = 0;
    virtual int TextureCount() const = 0;
    // The texture at 0-based index.
    virtual TextureInfo GetTextureInfo(int index) const = 0;
    // Prepares the model again after the device's scene was reset.
    virtual void Refresh() = 0;
    virtual void SetTexture(int index, TextureHandle texture) = 0;
    virtual TextureHandle TextureObject(int index) const = 0;
};

}  // namespace vantor::view3d
