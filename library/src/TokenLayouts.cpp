#include <algorithm>
#include <array>
#include <utility>

#include "Tokens.h"

namespace corvane::tokens {

namespace {

// The shape file's grammar: lists open with their element count, and the element
// blocks follow. Sorted by name.
constexpr std::array<std::pair<std::string_view, std::string_view>, 74> kLayouts = {{
    {"anim_node", "b*"},
    {"anim_nodes", "ub*"},
    {"animation", "uub"},
    {"animations", "ub*"},
    {"colour", "4f"},
    {"colours", "ub*"},
    {"controllers", "ub*"},
    {"cullable_prims", "3u"},
    {"distance_level", "b*"},
    {"distance_level_header", "b*"},
    {"distance_levels", "ub*"},
    {"distance_levels_header", "i"},
    {"dlevel_selection", "f"},
    {"flags", "ud*"},
    {"geometry_info", "10ubb"},
    {"geometry_node", "5ub"},
    {"geometry_node_map", "ui*"},
    {"geometry_nodes", "ub*"},
    {"hierarchy", "ui*"},
    {"image", "s"},
    {"images", "ub*"},
    {"indexed_trilist", "b*"},
    {"light_material", "d4uf"},
    {"light_materials", "ub*"},
    {"light_model_cfg", "db"},
    {"light_model_cfgs", "ub*"},
    {"linear_key", "u3f"},
    {"linear_pos", "ub*"},
    {"lod_control", "b*"},
    {"lod_controls", "ub*"},
    {"matrices", "ub*"},
    {"matrix", "12f"},
    {"named_filter_mode", "s"},
    {"named_shader", "s"},
    {"normal_idxs", "uu*"},
    {"normals", "ub*"},
    {"point", "3f"},
    {"points", "ub*"},
    {"prim_state", "dubf4u"},
    {"prim_state_idx", "u"},
    {"prim_states", "ub*"},
    {"primitives", "ub*"},
    {"shader_names", "ub*"},
    {"shape", "b*"},
    {"shape_header", "d[d"},
    {"slerp_rot", "u4f"},
    {"sort_vectors", "ub*"},
    {"sub_object", "b*"},
    {"sub_object_header", "diiddb[bbu"},
    {"sub_objects", "ub*"},
    {"subobject_light_cfgs", "uu*"},
    {"subobject_shaders", "uu*"},
    {"tcb_key", "u9f"},
    {"tcb_pos", "ub*"},
    {"tcb_rot", "ub*"},
    {"tex_idxs", "uu*"},
    {"texture", "uuf[d"},
    {"texture_filter_names", "ub*"},
    {"textures", "ub*"},
    {"uv_op_copy", "uu"},
    {"uv_ops", "ub*"},
    {"uv_point", "2f"},
    {"uv_points", "ub*"},
    {"vector", "3f"},
    {"vertex", "duuddb"},
    {"vertex_idxs", "uu*"},
    {"vertex_set", "3u"},
    {"vertex_sets", "ub*"},
    {"vertex_uvs", "uu*"},
    {"vertices", "ub*"},
    {"vol_sphere", "bf"},
    {"volumes", "ub*"},
    {"vtx_state", "duiud[i"},
    {"vtx_states", "ub*"},
}};

}  // namespace

std::string_view Layout(std::string_view name) noexcept {
    static_assert(std::is_sorted(kLayouts.begin(), kLayouts.end()));
    const auto it =
        std::lower_bound(kLayouts.begin(), kLayouts.end(), name,
                         [](const auto& row, std::string_view n) { return row.first < n; });
    return it != kLayouts.end() && it->first == name ? it->second : std::string_view();
}

}  // namespace corvane::tokens
