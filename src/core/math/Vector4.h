#pragma once
// Four-component float vector: colours (r, g, b, a in x, y, z, w), homogeneous points and the
// four-float parameter value.
#include <cmath>

#include "core/math/Vector3.h"

namespace ztmath {

struct Vector4 {
    union {
        struct {
            float x, y, z, w;
        };
        float data[4];
    };

    constexpr Vector4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    constexpr Vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    constexpr Vector4(const Vector3& v, float w_) : x(v.x), y(v.y), z(v.z), w(w_) {}
    constexpr Vector4(const Vector4&) = default;
    constexpr Vector4& operator=(const Vector4&) = default;

    float& operator[](int i) { return data[i]; }
    const float& operator[](int i) const { return data[i]; }

    constexpr Vector3 XYZ() const { return {x, y, z}; }

    constexpr Vector4 operator+(const Vector4& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
    constexpr Vector4 operator-(const Vector4& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
    constexpr Vector4 operator-() const { return {-x, -y, -z, -w}; }
    constexpr Vector4 operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    constexpr Vector4 operator/(float s) const { return {x / s, y / s, z / s, w / s}; }
    Vector4& operator+=(const Vector4& o) { x += o.x; y += o.y; z += o.z; w += o.w; return *this; }
    Vector4& operator-=(const Vector4& o) { x -= o.x; y -= o.y; z -= o.z; w -= o.w; return *this; }
    Vector4& operator*=(float s) { x *= s; y *= s; z *= s; w *= s; return *this; }
    Vector4& operator/=(float s) { x /= s; y /= s; z /= s; w /= s; return *this; }
    constexpr bool operator==(const Vector4& o) const {
        return x == o.x && y == o.y && z == o.z && w == o.w;
    }
    constexpr bool operator!=(const Vector4& o) const { return !(*this == o); }

    constexpr float Dot(const Vector4& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }
    constexpr float LengthSquared() const { return Dot(*this); }
    float Length() const { return std::sqrt(LengthSquared()); }
    // Divides by the length: a zero vector becomes NaN, so test Length() first where it can be 0.
    void Normalize() { *this /= Length(); }
    Vector4 Normalized() const { return *this / Length(); }
};

constexpr Vector4 operator*(float s, const Vector4& v) { return v * s; }
constexpr float Dot(const Vector4& a, const Vector4& b) { return a.Dot(b); }

}  // namespace ztmath
