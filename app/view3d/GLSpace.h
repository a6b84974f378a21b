#pragma once

// The one place where the shape files' conventions meet OpenGL's. The view works
// in the simulator's space (left-handed, row vectors, see Matrix.h); OpenGL's is
// right-handed. Every conversion is the mirror S = diag(1, 1, -1): a world
// transform M becomes M x S (vertices stay as the files give them), the eye and
// the target of the camera are mirrored too, and the look-at is OpenGL's
// right-handed one. The picture then is the simulator's, not mirrored, and the
// front faces stay clockwise on the screen.
//
// Matrices come back in the row-vector form of Matrix.h: their 16 floats, row by
// row, are exactly the column-major array that glUniformMatrix4fv takes.

#include "view3d/Matrix.h"

namespace vantor::view3d {

// The camera of a canvas, in the simulator's space.
struct Camera {
    Vector3 eye{10, 2, 0};
    Vector3 target{0, 2, 0};
    Vector3 up{0, 1, 0};
    float fieldOfView = 50;    // vertical, in degrees
    float viewDistance = 600;  // the far plane, in metres
};

// The near plane, in metres.
inline constexpr float kNearDistance = 0.1F;

// Returns the OpenGL model matrix of a world transform.
Matrix4 GLModelMatrix(const Matrix4& world);

// Returns the OpenGL view matrix followed by the projection, for a picture of
// the given width / height. An eye on its target looks along -X; an up that runs
// along the line of sight is replaced.
Matrix4 GLViewProjection(const Camera& camera, float aspect);

// Returns whether any of a sphere (its centre already in OpenGL's space) lies
// inside the view of a GLViewProjection() matrix.
bool SphereInView(const Matrix4& viewProjection, const Vector3& centre, float radius);

// Returns a direction of the simulator's space in OpenGL's.
Vector3 GLDirection(const Vector3& direction);

}  // namespace vantor::view3d
