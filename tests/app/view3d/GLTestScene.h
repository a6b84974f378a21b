#pragma once

// Meshes and textures that the OpenGL tests draw, and reading and checking their pictures.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

#include "view3d/GLSpace.h"
#include "view3d/RenderDevice.h"

namespace testing_support {

using vantor::view3d::BlendMode;
using vantor::view3d::MeshBatch;
using vantor::view3d::MeshVertex;
using vantor::view3d::ShapeMesh;
using vantor::view3d::Vector3;

// Adds a quad of four corners given clockwise as seen from its front (the
// simulator's winding), with (0, 0) of the texture at the first corner.
inline void AddQuad(ShapeMesh& mesh, const Vector3 (&corners)[4]) {
    const auto first = static_cast<std::uint32_t>(mesh.vertices.size());
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        mesh.vertices.push_back({corners[i], {}, uv[i][0], uv[i][1]});
    }
    for (const std::uint32_t index : {0U, 1U, 2U, 0U, 2U, 3U}) {
        mesh.indices.push_back(first + index);
    }
}

// Returns a mesh of one batch with texture slot 0, unlit so colours stay exact.
inline std::shared_ptr<ShapeMesh> OneBatch(ShapeMesh mesh, BlendMode blend = BlendMode::Opaque) {
    mesh.batches.push_back({0, blend, vantor::view3d::AddressMode::Clamp, false, 0,
                            static_cast<std::uint32_t>(mesh.indices.size())});
    return std::make_shared<ShapeMesh>(std::move(mesh));
}

// Returns a cube of the given half size, its faces wound clockwise seen from outside.
inline std::shared_ptr<ShapeMesh> Box(float half, BlendMode blend = BlendMode::Opaque) {
    ShapeMesh mesh;
    const Vector3 normals[6] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    for (const Vector3& n : normals) {
        // Seen from outside: up is +Y (or +X on the top and bottom), right is
        // up x (-n) in the left-handed space.
        const Vector3 up = n.y != 0 ? Vector3{1, 0, 0} : Vector3{0, 1, 0};
        const Vector3 right{up.y * -n.z - up.z * -n.y, up.z * -n.x - up.x * -n.z,
                            up.x * -n.y - up.y * -n.x};
        const auto corner = [&](float r, float u) {
            return Vector3{half * (n.x + r * right.x + u * up.x),
                           half * (n.y + r * right.y + u * up.y),
                           half * (n.z + r * right.z + u * up.z)};
        };
        const Vector3 corners[4] = {corner(-1, 1), corner(1, 1), corner(1, -1), corner(-1, -1)};
        AddQuad(mesh, corners);
    }
    mesh.radius = half * std::numbers::sqrt3_v<float>;
    return OneBatch(std::move(mesh), blend);
}

// Returns a square of side 2 x half in the plane X = 0, facing +X (the first
// view's camera), centred on (0, y, z).
inline std::shared_ptr<ShapeMesh> Panel(float half, float y, float z, bool facingCamera = true,
                                        BlendMode blend = BlendMode::Opaque) {
    ShapeMesh mesh;
    const Vector3 topLeft{0, y + half, z - half};
    const Vector3 topRight{0, y + half, z + half};
    const Vector3 bottomRight{0, y - half, z + half};
    const Vector3 bottomLeft{0, y - half, z - half};
    if (facingCamera) {
        AddQuad(mesh, {topLeft, topRight, bottomRight, bottomLeft});
    } else {
        AddQuad(mesh, {topLeft, bottomLeft, bottomRight, topRight});
    }
    return OneBatch(std::move(mesh), blend);
}

// Returns an RGBA texture of w x h pixels from colours given row by row, top first.
inline vantor::view3d::TextureImage RgbaTexture(int width, int height,
                                                const std::vector<QColor>& pixels) {
    vantor::view3d::TextureLevel level{width, height, {}};
    for (const QColor& colour : pixels) {
        level.data.insert(
            level.data.end(),
            {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
             static_cast<std::uint8_t>(colour.blue()), static_cast<std::uint8_t>(colour.alpha())});
    }
    return {vantor::view3d::PixelFormat::Rgba8, {level}, false};
}

// Returns where a point of the simulator's space lands on a picture of the
// camera, computed from the lens alone: the first view's camera looks along -X.
inline QPoint ExpectedPixel(const vantor::view3d::Camera& camera, const Vector3& point, int width,
                            int height) {
    const float distance = camera.eye.x - point.x;
    const float scale = std::tan(camera.fieldOfView * std::numbers::pi_v<float> / 360) * distance;
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const float ndcX = (point.z - camera.eye.z) / (scale * aspect);
    const float ndcY = (point.y - camera.eye.y) / scale;
    return {static_cast<int>((ndcX + 1) / 2 * static_cast<float>(width)),
            static_cast<int>((1 - ndcY) / 2 * static_cast<float>(height))};
}

// Returns whether two colours differ by at most tolerance in each channel.
inline bool Near(const QColor& a, const QColor& b, int tolerance = 6) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Returns the share of pixels that differ from the picture's corner (the sky).
inline double DrawnShare(const QImage& picture) {
    if (picture.isNull()) {
        return 0;
    }
    const QRgb sky = picture.pixel(0, 0);
    long drawn = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            drawn += picture.pixel(x, y) != sky ? 1 : 0;
        }
    }
    return static_cast<double>(drawn) / (static_cast<double>(picture.width()) * picture.height());
}

// Expects the quadrants of a panel 2 m wide around (0, 2, 0), facing the camera,
// in red top left, green top right, blue bottom left and white bottom right.
inline void ExpectQuadrants(const QImage& picture, const vantor::view3d::Camera& camera,
                            const char* what) {
    const std::pair<Vector3, QColor> expected[] = {{{0, 2.5F, -0.5F}, Qt::red},
                                                   {{0, 2.5F, 0.5F}, Qt::green},
                                                   {{0, 1.5F, -0.5F}, Qt::blue},
                                                   {{0, 1.5F, 0.5F}, Qt::white}};
    for (const auto& [point, colour] : expected) {
        const QColor found =
            picture.pixelColor(ExpectedPixel(camera, point, picture.width(), picture.height()));
        EXPECT_TRUE(Near(found, colour)) << what << ": " << colour.name().toStdString()
                                         << " expected, " << found.name().toStdString() << " drawn";
    }
}

}  // namespace testing_support
