#pragma once

// Where a shape's textures are found: beside the shape first, then in the
// model's texture folder (given relative to the shape's folder, such as
// "..\textures\"). Names are found without regard to case; a name may carry a
// relative path. When the named .ace is not in a folder but a .dds of the same
// base name is, that is taken (and the other way round).

#include <optional>
#include <string>

namespace vantor::view3d {

// Returns the real path, spelt as on disk, of the texture name that the shape at
// shapePath uses, or nothing when it is in neither folder.
std::optional<std::string> FindTexture(const std::string& shapePath,
                                       const std::string& textureFolder, const std::string& name);

}  // namespace vantor::view3d
