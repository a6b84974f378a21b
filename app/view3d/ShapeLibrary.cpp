#include "view3d/ShapeLibrary.h"

#include <filesystem>
#include <system_error>

#include "platform/Paths.h"
#include "view3d/MeshBuilder.h"
#include "view3d/ShapeFile.h"
#include "view3d/SimisData.h"
#include "view3d/TextureReader.h"

namespace vantor::view3d {

namespace {

// Returns what tells one version of a file from another: its size and time of change.
std::string StampOf(const std::string& realPath) {
    std::error_code error;
    const std::filesystem::path path = platform::Utf8Path(realPath);
    const auto size = std::filesystem::file_size(path, error);
    const auto time = std::filesystem::last_write_time(path, error);
    return std::to_string(error ? 0 : size) + "/" +
           std::to_string(error ? 0 : time.time_since_epoch().count());
}

}  // namespace

std::shared_ptr<ShapeLibrary> ShapeLibrary::Shared() {
    static const std::shared_ptr<ShapeLibrary> shared = std::make_shared<ShapeLibrary>();
    return shared;
}

template <typename T, typename Read>
std::shared_ptr<const T> ShapeLibrary::Cached(std::map<std::string, Entry<T>>& entries,
                                              const std::string& realPath, int& reads,
                                              const Read& read) {
    const std::string stamp = StampOf(realPath);
    Entry<T>& entry = entries[realPath];
    if (entry.stamp != stamp || (!entry.value && entry.error.empty())) {
        entry = {stamp, nullptr, {}};
        ++reads;
        try {
            entry.value = read();
        } catch (const FormatError& e) {
            entry.error = e.what();
        } catch (const std::bad_alloc&) {
            entry.error = "the file needs more memory than there is";
        }
    }
    if (!entry.value) {
        throw FormatError(entry.error);
    }
    return entry.value;
}

std::shared_ptr<const LoadedShape> ShapeLibrary::Shape(const std::string& realPath) {
    return Cached(m_shapes, realPath, m_shapeReads, [&realPath] {
        const ShapeFile shape = ReadShape(ReadFileBytes(realPath));
        auto loaded = std::make_shared<LoadedShape>();
        loaded->mesh = std::make_shared<const ShapeMesh>(BuildMesh(shape));
        loaded->images = shape.images;
        return loaded;
    });
}

std::shared_ptr<const TextureImage> ShapeLibrary::Texture(const std::string& realPath) {
    return Cached(m_textures, realPath, m_textureReads, [&realPath] {
        return std::make_shared<const TextureImage>(ReadTexture(ReadFileBytes(realPath)));
    });
}

void ShapeLibrary::Clear() {
    m_shapes.clear();
    m_textures.clear();
}

}  // namespace vantor::view3d
