#pragma once

// The four matrix functions the 3D view places shapes with. They follow the
// conventions of the simulator's shape files (those of Direct3D): row vectors, so a
// point p lands at p x M; in a product A x B, A applies first; left-handed, Y up,
// and a positive rotation about Y turns clockwise when one looks down the Y axis
// towards the origin. Only the OpenGL canvas converts to OpenGL's conventions.

namespace vantor::view3d {

struct Matrix4 {
    float m[4][4] = {};  // m[row][column]

    bool operator==(const Matrix4&) const = default;
};

struct Vector3 {
    float x = 0;
    float y = 0;
    float z = 0;

    bool operator==(const Vector3&) const = default;
};

// Returns the identity.
Matrix4 MatrixIdentity();
// Returns A x B: A applies first, then B.
Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b);
// Returns the translation by (x, y, z), held in the fourth row.
Matrix4 MatrixTranslation(float x, float y, float z);
// Returns the rotation about the Y axis by angle radians.
Matrix4 MatrixRotationY(float angle);
// Returns the point p transformed by M (p x M, with w = 1).
Vector3 TransformPoint(const Vector3& p, const Matrix4& m);

}  // namespace vantor::view3d
