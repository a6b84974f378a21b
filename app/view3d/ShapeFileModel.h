#pragma once

// The shape model over the simulator's files: reads a shape (any form) through
// a ShapeLibrary, fills one texture slot per entry of the shape's images list
// with the texture found beside the shape or in the texture folder, and draws
// its mesh on its device with its world transform. A missing or unreadable
// texture leaves its slot empty (drawn grey); a bad shape leaves the model empty
// with a LoadError naming the fault.

#include <memory>
#include <string>
#include <vector>

#include "view3d/ShapeLibrary.h"
#include "view3d/ShapeModel.h"

namespace vantor::view3d {

class ShapeFileModel : public ShapeModel {
public:
    explicit ShapeFileModel(std::shared_ptr<ShapeLibrary> library = ShapeLibrary::Shared());

    void SetDevice(RenderDevice* device) override;
    void SetTextureFolder(const std::string& folder) override;
    TextureHandle LoadTexture(const std::string& name, bool flag) override;
    void LoadShapeFile(const std::string& path) override;
    void Render(std::int32_t& flags, float& level) override;
    void SetTransform(const Matrix4& world) override;
    [[nodiscard]] std::string LoadError() const override;
    [[nodiscard]] int TextureCount() const override;
    [[nodiscard]] TextureInfo GetTextureInfo(int index) const override;
    void Refresh() override;
    void SetTexture(int index, TextureHandle texture) override;
    [[nodiscard]] TextureHandle TextureObject(int index) const override;

    // The mesh drawn, or null before a good load.
    [[nodiscard]] std::shared_ptr<const ShapeMesh> Mesh() const;
    [[nodiscard]] const Matrix4& Transform() const { return m_world; }

private:
    // Fills every slot with its texture, or empties them all without a device.
    void LoadSlots();

    std::shared_ptr<ShapeLibrary> m_library;
    RenderDevice* m_device = nullptr;
    std::string m_textureFolder;
    std::string m_path;  // the shape as given, for looking up its textures
    std::shared_ptr<const LoadedShape> m_shape;
    std::string m_error;
    Matrix4 m_world = MatrixIdentity();
    std::vector<TextureHandle> m_slots;
    std::vector<TextureInfo> m_infos;
};

}  // namespace vantor::view3d
