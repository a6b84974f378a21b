#include "view3d/Matrix.h"

#include <cmath>

namespace vantor::view3d {

Matrix4 MatrixIdentity() {
    Matrix4 result;
    for (int i = 0; i < 4; ++i) {
        result.m[i][i] = 1;
    }
    return result;
}

Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[row][k] * b.m[k][column];
            }
            result.m[row][column] = sum;
        }
    }
    return result;
}

Matrix4 MatrixTranslation(float x, float y, float z) {
    Matrix4 result = MatrixIdentity();
    result.m[3][0] = x;
    result.m[3][1] = y;
    result.m[3][2] = z;
    return result;
}

Matrix4 MatrixRotationY(float angle) {
    Matrix4 result = MatrixIdentity();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    result.m[0][0] = c;
    result.m[0][2] = -s;
    result.m[2][0] = s;
    result.m[2][2] = c;
    return result;
}

Vector3 TransformPoint(const Vector3& p, const Matrix4& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

}  // namespace vantor::view3d
