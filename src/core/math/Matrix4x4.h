#pragma once
// 4x4 float matrix, row-major (element (r, c) at m[4r + c]). Vectors are columns: a point p
// transforms as M x p, so the translation sits in m[3], m[7], m[11]. Upload to GL transposed.
#include "core/math/Matrix3x3.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace ztmath {

struct Basis;

struct Matrix4x4 {
    float m[16];

    // Identity.
    Matrix4x4();
    Matrix4x4(float m00, float m01, float m02, float m03,
              float m10, float m11, float m12, float m13,
              float m20, float m21, float m22, float m23,
              float m30, float m31, float m32, float m33);
    Matrix4x4(const Matrix4x4&) = default;
    Matrix4x4& operator=(const Matrix4x4&) = default;

    void SetIdentity();

    float& operator[](int i) { return m[i]; }
    const float& operator[](int i) const { return m[i]; }
    float* data() { return m; }
    const float* data() const { return m; }

    // this x rhs.
    Matrix4x4 operator*(const Matrix4x4& rhs) const;
    // this = this x rhs; safe when rhs is *this.
    Matrix4x4& operator*=(const Matrix4x4& rhs);
    // this x v (v as a column).
    Vector4 operator*(const Vector4& v) const;
    // this x (p, 1), without a perspective divide.
    Vector3 TransformPoint(const Vector3& p) const;
    // this x (d, 0): rotation and scale only.
    Vector3 TransformDirection(const Vector3& d) const;

    Matrix4x4 Transpose() const;
    // The upper-left 3x3 block.
    Matrix3x3 ToMatrix3x3() const;

    bool operator==(const Matrix4x4& o) const;
    bool operator!=(const Matrix4x4& o) const { return !(*this == o); }

    // Right-handed GL projection; fov is the vertical field of view in radians.
    void SetPerspective(float fov, float aspect, float nearPlane, float farPlane);
    // A volume centred on the origin; a zero width or height gives a zero scale on that axis.
    void SetOrthographic(float width, float height, float nearPlane, float farPlane);
    // SetOrthographic, returning the result as well.
    Matrix4x4 MakeOrthographic(float width, float height, float nearPlane, float farPlane);
    // Rotation by angle (radians) about a unit axis; laid out as the sprite and debug drawing
    // code expects (the transpose of the textbook column-vector form).
    void SetRotation(float angle, const Vector3& axis);
    void SetRotation(float angle, float x, float y, float z);

    // Inverse by cofactors. When m is singular (determinant exactly 0), out is left as it was
    // and false is returned.
    static bool Inverse(const Matrix4x4& m, Matrix4x4& out);
    // Columns 0, 1, 2 = a, b, c; column 3 = t; last row (0, 0, 0, 1).
    static Matrix4x4 FromAxes(const Vector3& a, const Vector3& b, const Vector3& c,
                              const Vector3& t);
    static Matrix4x4 MakeTranslation(const Vector3& t);
    static Matrix4x4 MakeScale(const Vector3& s);
    // View matrix of a camera at position with the given frame; nothing is normalised.
    static Matrix4x4 LookAt(const Vector3& position, const Basis& basis);
};

}  // namespace ztmath
