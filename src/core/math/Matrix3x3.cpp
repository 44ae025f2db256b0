// Matrix3x3: identity, products and transpose.
#include "core/math/Matrix3x3.h"

namespace ztmath {

Matrix3x3::Matrix3x3() { SetIdentity(); }

Matrix3x3::Matrix3x3(float m00, float m01, float m02,
                     float m10, float m11, float m12,
                     float m20, float m21, float m22)
    : m{m00, m01, m02, m10, m11, m12, m20, m21, m22} {}

void Matrix3x3::SetIdentity() {
    for (int i = 0; i < 9; ++i) m[i] = (i % 4 == 0) ? 1.0f : 0.0f;
}

Matrix3x3 Matrix3x3::operator*(const Matrix3x3& rhs) const {
    Matrix3x3 r;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            r.m[3 * row + col] = m[3 * row + 0] * rhs.m[0 + col] +
                                 m[3 * row + 1] * rhs.m[3 + col] +
                                 m[3 * row + 2] * rhs.m[6 + col];
        }
    }
    return r;
}

Vector3 Matrix3x3::operator*(const Vector3& v) const {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z,
            m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

Matrix3x3 Matrix3x3::Transpose() const {
    return {m[0], m[3], m[6],
            m[1], m[4], m[7],
            m[2], m[5], m[8]};
}

bool Matrix3x3::operator==(const Matrix3x3& o) const {
    for (int i = 0; i < 9; ++i) {
        if (m[i] != o.m[i]) return false;
    }
    return true;
}

}  // namespace ztmath
