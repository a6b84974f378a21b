#pragma once

// The shapes and textures read so far, shared by the models of a view or of the
// whole program, so that fifty equal wagons read and build their shape once and
// decode each texture once. Entries are keyed by the file's real path as spelt on
// disk (platform::OnDiskPath: one key for every spelling of a file) and its
// size and time of change: a file changed on disk is read again. Failures are
// kept as well, so a bad file is not read again for every model that names it.
// One thread at a time.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "view3d/RenderDevice.h"

namespace vantor::view3d {

// A shape ready to draw: its mesh and its images list (names as the shape gives them).
struct LoadedShape {
    std::shared_ptr<const ShapeMesh> mesh;
    std::vector<std::string> images;
};

class ShapeLibrary {
public:
    // Returns the library the models of this program share by default.
    static std::shared_ptr<ShapeLibrary> Shared();

    // Returns the shape at a real path, read on first use. Throws FormatError
    // with the fault (without the file's name).
    std::shared_ptr<const LoadedShape> Shape(const std::string& realPath);
    // Returns the texture at a real path, decoded on first use. Throws FormatError.
    std::shared_ptr<const TextureImage> Texture(const std::string& realPath);

    // How many shape and texture files were read: for tests and measurements.
    [[nodiscard]] int ShapeReads() const { return m_shapeReads; }
    [[nodiscard]] int TextureReads() const { return m_textureReads; }
    // Forgets every entry.
    void Clear();

private:
    template <typename T>
    struct Entry {
        std::string stamp;
        std::shared_ptr<const T> value;
        std::string error;
    };
    // Returns the entry of realPath, read again (counting the read in reads) when
    // the file has changed since; a file that could not be read throws its error again.
    template <typename T, typename Read>
    static std::shared_ptr<const T> Cached(std::map<std::string, Entry<T>>& entries,
                                           const std::string& realPath, int& reads,
                                           const Read& read);

    std::map<std::string, Entry<LoadedShape>> m_shapes;
    std::map<std::string, Entry<TextureImage>> m_textures;
    int m_shapeReads = 0;
    int m_textureReads = 0;
};

}  // namespace vantor::view3d
