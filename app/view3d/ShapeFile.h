#pragma once

// What the 3D view reads of a shape file (.s): the lists that make its most
// detailed picture, in the file's own numbering. A shape looks like this in text
// (binary files hold the same blocks as tokens):
//
//     shape ( shape_header ( 00000000 00000000 )
//         points ( 3 point ( 0 0 0 ) point ( 1 0 0 ) point ( 0 1 0 ) )
//         matrices ( 1 matrix MAIN ( 1 0 0 0 1 0 0 0 1 0 0 0 ) )
//         prim_states ( 1 prim_state ( 00000000 0 tex_idxs ( 1 0 ) 0 0 0 0 1 ) )
//         lod_controls ( 1 lod_control ( ... distance_levels ( 1 distance_level (
//             distance_level_header ( dlevel_selection ( 200 ) hierarchy ( 1 -1 ) )
//             sub_objects ( 1 sub_object ( sub_object_header ( ... )
//                 vertices ( ... ) vertex_sets ( ... )
//                 primitives ( 2 prim_state_idx ( 0 ) indexed_trilist ( ... ) ) ) ) ) ) ) ) )
//
// The reader keeps the blocks a file holds, not the counts it states (counts lie
// in real files); it reads distance level 0 of each lod_control only and skips
// what a still picture does not need (sort vectors, colours, light materials,
// animations, sub-object headers, vertex sets, normal indices). It checks no
// index: the mesh builder does, where the indices are used.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "view3d/Matrix.h"

namespace vantor::view3d {

struct ShapeFile {
    struct Texture {
        std::int64_t image = 0;
        float mipMapLodBias = 0;
    };
    struct VtxState {
        std::int64_t matrix = 0;
        std::int64_t lightMaterial = 0;
        std::int64_t lightConfig = 0;
    };
    struct PrimState {
        std::int64_t shader = 0;
        std::vector<std::int64_t> textures;  // tex_idxs
        std::int64_t vtxState = 0;
        std::int64_t alphaTestMode = 0;
    };
    struct Vertex {
        std::int64_t point = 0;
        std::int64_t normal = 0;
        std::int64_t uv = -1;  // -1: no vertex_uvs, (0, 0)
    };
    struct Trilist {
        std::int64_t primState = 0;  // the prim_state_idx in force
        std::vector<std::int64_t> indices;
    };
    struct SubObject {
        std::vector<Vertex> vertices;
        std::vector<Trilist> trilists;
    };
    struct DistanceLevel {
        float selection = 0;
        std::vector<std::int64_t> hierarchy;  // parent matrix of each matrix, -1 root
        std::vector<SubObject> subObjects;
    };

    std::vector<std::string> shaders;
    std::vector<Vector3> points;
    std::vector<std::array<float, 2>> uvPoints;
    std::vector<Vector3> normals;
    std::vector<Matrix4> matrices;
    std::vector<std::string> matrixNames;
    std::vector<std::string> images;
    std::vector<Texture> textures;
    std::vector<std::int64_t> addressModes;  // of each light_model_cfg: 1 wrap .. 4 border
    std::vector<VtxState> vtxStates;
    std::vector<PrimState> primStates;
    std::vector<DistanceLevel> levels;  // distance level 0 of each lod_control
};

// Reads a shape from a file's bytes in any of its forms (Unicode or 8-bit text,
// binary tokens, compressed). Throws FormatError naming the fault and where it is
// (a line of text or a byte offset).
ShapeFile ReadShape(std::string_view bytes);

}  // namespace vantor::view3d
