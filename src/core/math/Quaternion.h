#pragma once
// Rotation quaternion (x, y, z vector part, w scalar part); default is the identity.
#include "core/math/Matrix3x3.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"

namespace ztmath {

struct Quaternion {
    float x, y, z, w;

    constexpr Quaternion() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    constexpr Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    constexpr Quaternion(const Vector3& v, float w_) : x(v.x), y(v.y), z(v.z), w(w_) {}

    constexpr Vector3 VectorPart() const { return {x, y, z}; }

    constexpr Quaternion Conjugate() const { return {-x, -y, -z, w}; }
    // Hamilton product this x rhs: applying the result rotates by rhs first, then by this.
    Quaternion operator*(const Quaternion& rhs) const;
    constexpr Quaternion operator+(const Quaternion& o) const {
        return {x + o.x, y + o.y, z + o.z, w + o.w};
    }
    constexpr Quaternion operator-() const { return {-x, -y, -z, -w}; }
    constexpr Quaternion operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    constexpr bool operator==(const Quaternion& o) const {
        return x == o.x && y == o.y && z == o.z && w == o.w;
    }
    constexpr bool operator!=(const Quaternion& o) const { return !(*this == o); }

    // Four-component dot product.
    constexpr float Dot(const Quaternion& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }
    constexpr float LengthSquared() const { return Dot(*this); }
    float Length() const;
    // Divides by the length: a zero quaternion becomes NaN.
    void Normalize();
    Quaternion Normalized() const;

    // Vector part of q (v, 0) q*; q is not normalised first, so a non-unit q also scales.
    Vector3 Rotate(const Vector3& v) const;
    // angle in radians; the axis is used as given (pass a unit axis for a pure rotation).
    void SetFromAxisAngle(float angle, const Vector3& axis);
    void SetFromMatrix3x3(const Matrix3x3& m);
    // Rotation matrix of this quaternion, also correct for non-unit quaternions; the zero
    // quaternion gives the identity.
    Matrix3x3 ToMatrix3x3() const;
    Matrix4x4 ToMatrix4x4() const;

    // Spherical interpolation along the shorter arc. t must lie in [0, 1] (asserted): clamp it
    // before calling. Nearly equal inputs are blended linearly and not normalised.
    static Quaternion Slerp(const Quaternion& q1, float t, const Quaternion& q2);
};

constexpr Quaternion operator*(float s, const Quaternion& q) { return q * s; }

}  // namespace ztmath
