#include "view3d/MeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

#include "view3d/SimisData.h"

namespace vantor::view3d {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(text[i]) != lower(prefix[i])) {
            return false;
        }
    }
    return true;
}

// Throws unless 0 <= index < size.
void CheckIndex(std::int64_t index, std::size_t size, const char* what) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= size) {
        throw FormatError(std::string(what) + " " + std::to_string(index) + " is out of range (" +
                          std::to_string(size) + " present)");
    }
}

Vector3 TransformNormal(const Vector3& n, const Matrix4& m) {
    Vector3 r{n.x * m.m[0][0] + n.y * m.m[1][0] + n.z * m.m[2][0],
              n.x * m.m[0][1] + n.y * m.m[1][1] + n.z * m.m[2][1],
              n.x * m.m[0][2] + n.y * m.m[1][2] + n.z * m.m[2][2]};
    const float length = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
    if (length > 0) {
        r = {r.x / length, r.y / length, r.z / length};
    }
    return r;
}

AddressMode AddressOf(std::int64_t mode) {
    switch (mode) {
        case 2:
            return AddressMode::Mirror;
        case 3:
            return AddressMode::Clamp;
        case 4:
            return AddressMode::Border;
        default:
            return AddressMode::Wrap;
    }
}

// What sets one batch apart from another; blend first, so batches sort in drawing order.
using BatchKey = std::tuple<BlendMode, int, AddressMode, bool>;

class Builder {
public:
    explicit Builder(const ShapeFile& shape) : m_shape(shape) {}

    ShapeMesh Build() {
        for (const ShapeFile::DistanceLevel& level : m_shape.levels) {
            const std::vector<Matrix4> world = WorldMatrices(m_shape.matrices, level.hierarchy);
            for (const ShapeFile::SubObject& sub : level.subObjects) {
                AddSubObject(sub, world);
            }
        }
        for (auto& [key, indices] : m_batches) {
            MeshBatch batch;
            std::tie(batch.blend, batch.texture, batch.address, batch.lit) = key;
            batch.firstIndex = static_cast<std::uint32_t>(m_mesh.indices.size());
            batch.indexCount = static_cast<std::uint32_t>(indices.size());
            m_mesh.indices.insert(m_mesh.indices.end(), indices.begin(), indices.end());
            m_mesh.batches.push_back(batch);
        }
        Bound();
        return std::move(m_mesh);
    }

private:
    void AddSubObject(const ShapeFile::SubObject& sub, const std::vector<Matrix4>& world) {
        // The mesh vertex of each of the sub_object's vertices under each matrix.
        std::unordered_map<std::int64_t, std::vector<std::uint32_t>> made;
        for (const ShapeFile::Trilist& trilist : sub.trilists) {
            CheckIndex(trilist.primState, m_shape.primStates.size(), "prim_state");
            const ShapeFile::PrimState& prim = m_shape.primStates[trilist.primState];
            CheckIndex(prim.vtxState, m_shape.vtxStates.size(), "vtx_state");
            const ShapeFile::VtxState& vtx = m_shape.vtxStates[prim.vtxState];
            CheckIndex(vtx.matrix, world.size(), "matrix");
            std::vector<std::uint32_t>& index = made[vtx.matrix];
            index.resize(sub.vertices.size(), kNone);
            std::vector<std::uint32_t>& out = m_batches[KeyOf(prim, vtx)];
            const std::size_t whole = trilist.indices.size() / 3 * 3;
            for (std::size_t i = 0; i < whole; ++i) {
                const std::int64_t v = trilist.indices[i];
                CheckIndex(v, sub.vertices.size(), "vertex");
                if (index[v] == kNone) {
                    index[v] = MakeVertex(sub.vertices[v], world[vtx.matrix]);
                }
                out.push_back(index[v]);
            }
        }
    }

    BatchKey KeyOf(const ShapeFile::PrimState& prim, const ShapeFile::VtxState& vtx) const {
        CheckIndex(prim.shader, m_shape.shaders.size(), "shader");
        const std::string& shader = m_shape.shaders[prim.shader];
        int texture = -1;
        if (!prim.textures.empty()) {
            CheckIndex(prim.textures.front(), m_shape.textures.size(), "texture");
            const std::int64_t image = m_shape.textures[prim.textures.front()].image;
            CheckIndex(image, m_shape.images.size(), "image");
            texture = static_cast<int>(image);
        }
        AddressMode address = AddressMode::Wrap;
        if (!m_shape.addressModes.empty()) {
            CheckIndex(vtx.lightConfig, m_shape.addressModes.size(), "light_model_cfg");
            address = AddressOf(m_shape.addressModes[vtx.lightConfig]);
        }
        const bool lit = LitShader(shader) && vtx.lightMaterial != -8;
        return {BlendOf(shader, prim.alphaTestMode), texture, address, lit};
    }

    std::uint32_t MakeVertex(const ShapeFile::Vertex& vertex, const Matrix4& world) {
        CheckIndex(vertex.point, m_shape.points.size(), "point");
        CheckIndex(vertex.normal, m_shape.normals.size(), "normal");
        MeshVertex out;
        out.position = TransformPoint(m_shape.points[vertex.point], world);
        out.normal = TransformNormal(m_shape.normals[vertex.normal], world);
        if (vertex.uv >= 0) {
            CheckIndex(vertex.uv, m_shape.uvPoints.size(), "uv_point");
            out.u = m_shape.uvPoints[vertex.uv][0];
            out.v = m_shape.uvPoints[vertex.uv][1];
        }
        m_mesh.vertices.push_back(out);
        return static_cast<std::uint32_t>(m_mesh.vertices.size() - 1);
    }

    // The bounding sphere: the centre of the box around the vertices that triangles use.
    void Bound() {
        if (m_mesh.vertices.empty()) {
            return;
        }
        Vector3 low = m_mesh.vertices.front().position;
        Vector3 high = low;
        for (const MeshVertex& v : m_mesh.vertices) {
            low = {std::min(low.x, v.position.x), std::min(low.y, v.position.y),
                   std::min(low.z, v.position.z)};
            high = {std::max(high.x, v.position.x), std::max(high.y, v.position.y),
                    std::max(high.z, v.position.z)};
        }
        m_mesh.centre = {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
        float radius = 0;
        for (const MeshVertex& v : m_mesh.vertices) {
            const float dx = v.position.x - m_mesh.centre.x;
            const float dy = v.position.y - m_mesh.centre.y;
            const float dz = v.position.z - m_mesh.centre.z;
            radius = std::max(radius, dx * dx + dy * dy + dz * dz);
        }
        m_mesh.radius = std::sqrt(radius);
    }

    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    const ShapeFile& m_shape;
    ShapeMesh m_mesh;
    std::map<BatchKey, std::vector<std::uint32_t>> m_batches;
};

}  // namespace

BlendMode BlendOf(std::string_view shader, std::int64_t alphaTestMode) {
    if (StartsWithNoCase(shader, "BlendA")) {
        return BlendMode::Blend;
    }
    if (StartsWithNoCase(shader, "AddA")) {
        return BlendMode::Additive;
    }
    return alphaTestMode == 1 ? BlendMode::AlphaTest : BlendMode::Opaque;
}

bool LitShader(std::string_view shader) {
    return shader.size() >= 4 && StartsWithNoCase(shader.substr(shader.size() - 4), "Diff");
}

std::vector<Matrix4> WorldMatrices(const std::vector<Matrix4>& matrices,
                                   const std::vector<std::int64_t>& hierarchy) {
    std::vector<Matrix4> world(matrices.size());
    for (std::size_t i = 0; i < matrices.size(); ++i) {
        Matrix4 product = MatrixIdentity();
        std::int64_t at = static_cast<std::int64_t>(i);
        int depth = 0;
        while (at >= 0) {
            if (++depth > kMaxHierarchyDepth) {
                throw FormatError("the matrix hierarchy loops or nests deeper than " +
                                  std::to_string(kMaxHierarchyDepth) + " at matrix " +
                                  std::to_string(i));
            }
            Matrix4 own = matrices[static_cast<std::size_t>(at)];
            const std::int64_t parent =
                static_cast<std::size_t>(at) < hierarchy.size() ? hierarchy[at] : -1;
            if (at == 0 && parent < 0) {
                own.m[3][0] = own.m[3][1] = own.m[3][2] = 0;
            }
            product = MatrixMultiply(product, own);
            if (parent >= 0) {
                CheckIndex(parent, matrices.size(), "parent matrix");
            } else if (parent != -1) {
                throw FormatError("parent matrix " + std::to_string(parent) + " is out of range");
            }
            at = parent;
        }
        world[i] = product;
    }
    return world;
}

ShapeMesh BuildMesh(const ShapeFile& shape) {
    return Builder(shape).Build();
}

}  // namespace vantor::view3d
