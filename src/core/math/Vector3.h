#pragma once
// Three-component float vector: positions, directions, scales, colours without alpha.
#include <cmath>

namespace ztmath {

struct Vector3 {
    // The three floats are also reachable as an array: uploads, physics and mesh code read
    // a Vector3 as three contiguous floats.
    union {
        struct {
            float x, y, z;
        };
        float data[3];
    };

    constexpr Vector3() : x(0.0f), y(0.0f), z(0.0f) {}
    constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    constexpr Vector3(const Vector3&) = default;
    constexpr Vector3& operator=(const Vector3&) = default;

    float& operator[](int i) { return data[i]; }
    const float& operator[](int i) const { return data[i]; }

    constexpr Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vector3 operator-() const { return {-x, -y, -z}; }
    constexpr Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr Vector3 operator/(float s) const { return {x / s, y / s, z / s}; }
    Vector3& operator+=(const Vector3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vector3& operator-=(const Vector3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    Vector3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    Vector3& operator/=(float s) { x /= s; y /= s; z /= s; return *this; }
    constexpr bool operator==(const Vector3& o) const { return x == o.x && y == o.y && z == o.z; }
    constexpr bool operator!=(const Vector3& o) const { return !(*this == o); }

    constexpr float Dot(const Vector3& o) const { return x * o.x + y * o.y + z * o.z; }
    // this x o, right-handed.
    constexpr Vector3 Cross(const Vector3& o) const {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    constexpr float LengthSquared() const { return x * x + y * y + z * z; }
    float Length() const { return std::sqrt(LengthSquared()); }
    // Divides by the length: a zero vector becomes NaN, so test Length() first where it can be 0.
    void Normalize() { *this /= Length(); }
    Vector3 Normalized() const { return *this / Length(); }
};

constexpr Vector3 operator*(float s, const Vector3& v) { return v * s; }
constexpr float Dot(const Vector3& a, const Vector3& b) { return a.Dot(b); }
constexpr Vector3 Cross(const Vector3& a, const Vector3& b) { return a.Cross(b); }

}  // namespace ztmath
