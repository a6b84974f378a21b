#include "view3d/ShapeFileModel.h"

#include <utility>

#include "platform/Paths.h"
#include "view3d/SimisData.h"
#include "view3d/TextureLookup.h"

namespace vantor::view3d {

ShapeFileModel::ShapeFileModel(std::shared_ptr<ShapeLibrary> library)
    : m_library(library ? std::move(library) : ShapeLibrary::Shared()) {}

void ShapeFileModel::SetDevice(RenderDevice* device) {
    if (device == m_device) {
        return;
    }
    m_device = device;
    // Textures belong to the device that made them.
    LoadSlots();
}

void ShapeFileModel::SetTextureFolder(const std::string& folder) {
    m_textureFolder = folder;
}

TextureHandle ShapeFileModel::LoadTexture(const std::string& name, bool /*flag*/) {
    if (m_device == nullptr || m_path.empty()) {
        return {};
    }
    const auto path = FindTexture(m_path, m_textureFolder, name);
    if (!path) {
        return {};
    }
    try {
        const auto image = m_library->Texture(*path);
        return m_device->UploadTexture(*path, *image);
    } catch (const FormatError&) {
        return {};  // drawn grey
    }
}

void ShapeFileModel::LoadShapeFile(const std::string& path) {
    // One look at each folder for the shape and all its textures.
    const platform::ListingCache listings;
    m_path = path;
    m_shape.reset();
    m_error.clear();
    m_slots.clear();
    m_infos.clear();
    const auto real = platform::FileExists(path) ? platform::OnDiskPath(path) : std::nullopt;
    if (!real) {
        m_error = path + " does not exist";
        return;
    }
    try {
        m_shape = m_library->Shape(*real);
    } catch (const FormatError& e) {
        m_error = path + ": " + e.what();
        return;
    }
    for (const std::string& name : m_shape->images) {
        TextureInfo info;
        info.name = name;
        if (const auto found = FindTexture(m_path, m_textureFolder, name)) {
            info.text = *found;
            try {
                const auto image = m_library->Texture(*found);
                info.width = image->levels.front().width;
                info.height = image->levels.front().height;
                info.levels = static_cast<std::int32_t>(image->levels.size());
            } catch (const FormatError& e) {
                info.text += ": ";
                info.text += e.what();
            }
        }
        m_infos.push_back(std::move(info));
    }
    LoadSlots();
}

void ShapeFileModel::LoadSlots() {
    m_slots.assign(m_infos.size(), nullptr);
    if (m_device == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < m_infos.size(); ++i) {
        m_slots[i] = LoadTexture(m_infos[i].name, true);
    }
}

void ShapeFileModel::Render(std::int32_t& /*flags*/, float& /*level*/) {
    if (m_device == nullptr || !m_shape) {
        return;
    }
    m_device->DrawMesh(m_shape->mesh, m_world, m_slots);
}

void ShapeFileModel::SetTransform(const Matrix4& world) {
    m_world = world;
}

std::string ShapeFileModel::LoadError() const {
    return m_error;
}

int ShapeFileModel::TextureCount() const {
    return static_cast<int>(m_infos.size());
}

TextureInfo ShapeFileModel::GetTextureInfo(int index) const {
    if (index < 0 || index >= TextureCount()) {
        return {};
    }
    return m_infos[static_cast<std::size_t>(index)];
}

void ShapeFileModel::Refresh() {
    // The device may have dropped its textures with its scene: ask for each shown
    // texture again (the device gives back the one it kept, or uploads it anew).
    if (m_device == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i]) {
            m_slots[i] = LoadTexture(m_infos[i].name, true);
        }
    }
}

void ShapeFileModel::SetTexture(int index, TextureHandle texture) {
    if (index >= 0 && index < static_cast<int>(m_slots.size())) {
        m_slots[static_cast<std::size_t>(index)] = std::move(texture);
    }
}

TextureHandle ShapeFileModel::TextureObject(int index) const {
    if (index < 0 || index >= static_cast<int>(m_slots.size())) {
        return {};
    }
    return m_slots[static_cast<std::size_t>(index)];
}

std::shared_ptr<const ShapeMesh> ShapeFileModel::Mesh() const {
    return m_shape ? m_shape->mesh : nullptr;
}

}  // namespace vantor::view3d
