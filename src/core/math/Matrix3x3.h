#pragma once
// 3x3 float matrix, row-major (element (r, c) at m[3r + c]); vectors are columns.
#include "core/math/Vector3.h"

namespace ztmath {

class Matrix3x3 {
public:
    float m[9];

    // Identity.
    Matrix3x3();
    Matrix3x3(float m00, float m01, float m02,
              float m10, float m11, float m12,
              float m20, float m21, float m22);
    Matrix3x3(const Matrix3x3&) = default;
    Matrix3x3& operator=(const Matrix3x3&) = default;
    virtual ~Matrix3x3() = default;

    void SetIdentity();

    float& operator[](int i) { return m[i]; }
    const float& operator[](int i) const { return m[i]; }
    float* data() { return m; }
    const float* data() const { return m; }

    // this x rhs.
    Matrix3x3 operator*(const Matrix3x3& rhs) const;
    // this x v (v as a column).
    Vector3 operator*(const Vector3& v) const;
    Matrix3x3 Transpose() const;

    bool operator==(const Matrix3x3& o) const;
    bool operator!=(const Matrix3x3& o) const { return !(*this == o); }
};

}  // namespace ztmath
