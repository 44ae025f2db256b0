// Quaternion: products, rotation of vectors, conversion to and from rotation matrices, slerp.
#include "core/math/Quaternion.h"

#include <cmath>

#include "core/util/assert/AppAssert.h"

namespace ztmath {

Quaternion Quaternion::operator*(const Quaternion& rhs) const {
    const Vector3 a = VectorPart();
    const Vector3 b = rhs.VectorPart();
    const Vector3 v = b * w + a * rhs.w + a.Cross(b);
    return {v, w * rhs.w - a.Dot(b)};
}

float Quaternion::Length() const { return std::sqrt(LengthSquared()); }

void Quaternion::Normalize() { *this = Normalized(); }

Quaternion Quaternion::Normalized() const { return *this * (1.0f / Length()); }

Vector3 Quaternion::Rotate(const Vector3& v) const {
    return ((*this) * Quaternion(v, 0.0f) * Conjugate()).VectorPart();
}

void Quaternion::SetFromAxisAngle(float angle, const Vector3& axis) {
    const float s = std::sin(angle * 0.5f);
    x = axis.x * s;
    y = axis.y * s;
    z = axis.z * s;
    w = std::cos(angle * 0.5f);
}

void Quaternion::SetFromMatrix3x3(const Matrix3x3& mat) {
    const float* m = mat.m;
    const float d0 = m[0];
    const float d1 = m[4];
    const float d2 = m[8];
    const float trace = d0 + d1 + d2;
    if (trace >= 0.0f) {
        const float s = std::sqrt(trace + 1.0f);
        w = s * 0.5f;
        const float e = 0.5f / s;
        x = (m[7] - m[5]) * e;
        y = (m[2] - m[6]) * e;
        z = (m[3] - m[1]) * e;
        return;
    }

    // Build from the largest diagonal element, which keeps s well away from 0.
    int axis;
    if (d0 < d1) {
        axis = (d1 >= d2) ? 1 : 2;
    } else {
        axis = (d0 >= d2) ? 0 : 2;
    }
    if (axis == 0) {
        const float s = std::sqrt(d0 - d1 - d2 + 1.0f);
        const float e = 0.5f / s;
        x = s * 0.5f;
        y = (m[3] + m[1]) * e;
        z = (m[6] + m[2]) * e;
        w = (m[7] - m[5]) * e;
    } else if (axis == 1) {
        const float s = std::sqrt(d1 - d0 - d2 + 1.0f);
        const float e = 0.5f / s;
        y = s * 0.5f;
        x = (m[3] + m[1]) * e;
        z = (m[7] + m[5]) * e;
        w = (m[2] - m[6]) * e;
    } else {
        const float s = std::sqrt(d2 - d0 - d1 + 1.0f);
        const float e = 0.5f / s;
        z = s * 0.5f;
        x = (m[6] + m[2]) * e;
        y = (m[7] + m[5]) * e;
        w = (m[3] - m[1]) * e;
    }
}

Matrix3x3 Quaternion::ToMatrix3x3() const {
    const float n = LengthSquared();
    const float f = (n == 0.0f) ? 0.0f : 2.0f / n;
    return {1.0f - f * (y * y + z * z), f * (x * y - w * z), f * (x * z + w * y),
            f * (x * y + w * z), 1.0f - f * (x * x + z * z), f * (y * z - w * x),
            f * (x * z - w * y), f * (y * z + w * x), 1.0f - f * (x * x + y * y)};
}

Matrix4x4 Quaternion::ToMatrix4x4() const {
    const Matrix3x3 r = ToMatrix3x3();
    Matrix4x4 out;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) out.m[4 * row + col] = r.m[3 * row + col];
    }
    return out;
}

Quaternion Quaternion::Slerp(const Quaternion& q1, float t, const Quaternion& q2) {
    // Out-of-range t would extrapolate past the keys; animation callers clamp before calling.
    assert(t >= 0.0 && t <= 1.0);

    float d = q1.Dot(q2);
    Quaternion to = q2;
    if (d < 0.0f) {
        // q and -q are the same rotation: go the shorter way round.
        d = -d;
        to = -q2;
    }
    if (1.0f - d < 1e-5f) {
        // Too close for sin(theta) to be a safe divisor.
        return q1 * (1.0f - t) + to * t;
    }
    const float theta = std::acos(d);
    const float sinTheta = std::sin(theta);
    return q1 * (std::sin((1.0f - t) * theta) / sinTheta) + to * (std::sin(t * theta) / sinTheta);
}

}  // namespace ztmath
