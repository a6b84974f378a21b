#pragma once

// Turns a shape read from its file into the mesh the device draws: every
// vertex carried through its matrix hierarchy, triangles gathered into one batch
// per texture and way of blending, opaque and alpha-tested batches first,
// blended after, additive last.

#include <cstdint>
#include <string_view>
#include <vector>

#include "view3d/Matrix.h"
#include "view3d/RenderDevice.h"
#include "view3d/ShapeFile.h"

namespace vantor::view3d {

// Matrix chains deeper than this are refused.
inline constexpr int kMaxHierarchyDepth = 32;

// Returns how a shader blends: the Blend and Add shaders blend, others are
// opaque, or alpha-tested when the prim_state's AlphaTestMode is 1.
BlendMode BlendOf(std::string_view shader, std::int64_t alphaTestMode);

// Returns whether a shader is lit (the Diff shaders) rather than full bright.
bool LitShader(std::string_view shader);

// Returns the shape-space transform of every matrix: the matrix itself times its
// parent's, and so on up to the root (hierarchy[i] is the parent of matrix i, -1
// for a root; a matrix without an entry is a root). The translation of matrix 0
// is dropped when it is a root, as the simulator does. Throws FormatError for a
// parent out of range, a loop or a chain deeper than kMaxHierarchyDepth.
std::vector<Matrix4> WorldMatrices(const std::vector<Matrix4>& matrices,
                                   const std::vector<std::int64_t>& hierarchy);

// Builds the mesh of distance level 0 of every lod_control. Throws FormatError
// naming the first index that is out of range.
ShapeMesh BuildMesh(const ShapeFile& shape);

}  // namespace vantor::view3d
