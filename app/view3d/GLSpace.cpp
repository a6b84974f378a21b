#include "view3d/GLSpace.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantor::view3d {
namespace {

Vector3 Subtract(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Length(const Vector3& v) {
    return std::sqrt(Dot(v, v));
}

Vector3 Normalised(const Vector3& v) {
    const float length = Length(v);
    return {v.x / length, v.y / length, v.z / length};
}

constexpr float kTiny = 1e-6F;

// Returns OpenGL's right-handed look-at in row-vector form.
Matrix4 LookAt(const Vector3& eye, const Vector3& target, Vector3 up) {
    Vector3 forward = Subtract(target, eye);
    forward = Length(forward) < kTiny ? Vector3{-1, 0, 0} : Normalised(forward);
    if (Length(up) < kTiny || Length(Cross(forward, Normalised(up))) < 1e-4F) {
        up = std::abs(forward.y) < 0.9F ? Vector3{0, 1, 0} : Vector3{0, 0, -1};
    }
    const Vector3 side = Normalised(Cross(forward, up));
    const Vector3 upright = Cross(side, forward);
    Matrix4 view = MatrixIdentity();
    const Vector3 axes[3] = {side, upright, {-forward.x, -forward.y, -forward.z}};
    for (int column = 0; column < 3; ++column) {
        view.m[0][column] = axes[column].x;
        view.m[1][column] = axes[column].y;
        view.m[2][column] = axes[column].z;
        view.m[3][column] = -Dot(axes[column], eye);
    }
    return view;
}

Matrix4 Perspective(float fieldOfView, float aspect, float nearDistance, float farDistance) {
    const float angle = std::clamp(fieldOfView, 1.0F, 179.0F) * std::numbers::pi_v<float> / 180;
    const float focal = 1 / std::tan(angle / 2);
    Matrix4 projection;
    projection.m[0][0] = focal / (aspect > 0 ? aspect : 1);
    projection.m[1][1] = focal;
    projection.m[2][2] = (farDistance + nearDistance) / (nearDistance - farDistance);
    projection.m[2][3] = -1;
    projection.m[3][2] = 2 * farDistance * nearDistance / (nearDistance - farDistance);
    return projection;
}

Matrix4 Mirror() {
    Matrix4 mirror = MatrixIdentity();
    mirror.m[2][2] = -1;
    return mirror;
}

}  // namespace

Matrix4 GLModelMatrix(const Matrix4& world) {
    return MatrixMultiply(world, Mirror());
}

Matrix4 GLViewProjection(const Camera& camera, float aspect) {
    const float farDistance = std::max(camera.viewDistance, 2 * kNearDistance);
    return MatrixMultiply(
        LookAt(GLDirection(camera.eye), GLDirection(camera.target), GLDirection(camera.up)),
        Perspective(camera.fieldOfView, aspect, kNearDistance, farDistance));
}

bool SphereInView(const Matrix4& viewProjection, const Vector3& centre, float radius) {
    const auto& m = viewProjection.m;
    // The six planes of the view, from the columns of the matrix: w + x, w - x,
    // w + y, w - y, w + z, w - z, each kept positive inside.
    for (int axis = 0; axis < 3; ++axis) {
        for (const float sign : {1.0F, -1.0F}) {
            const float a = m[0][3] + sign * m[0][axis];
            const float b = m[1][3] + sign * m[1][axis];
            const float c = m[2][3] + sign * m[2][axis];
            const float d = m[3][3] + sign * m[3][axis];
            const float length = std::sqrt(a * a + b * b + c * c);
            if (length > 0 && (a * centre.x + b * centre.y + c * centre.z + d) / length < -radius) {
                return false;
            }
        }
    }
    return true;
}

Vector3 GLDirection(const Vector3& direction) {
    return {direction.x, direction.y, -direction.z};
}

}  // namespace vantor::view3d
