#pragma once
// Two-component float vector: screen positions, sprite sizes, texture offsets.
#include <cmath>

namespace ztmath {

struct Vector2 {
    // The two floats are also reachable as an array (shader uploads, indexed loops).
    union {
        struct {
            float x, y;
        };
        float data[2];
    };

    constexpr Vector2() : x(0.0f), y(0.0f) {}
    constexpr Vector2(float x_, float y_) : x(x_), y(y_) {}
    constexpr Vector2(const Vector2&) = default;
    constexpr Vector2& operator=(const Vector2&) = default;

    float& operator[](int i) { return data[i]; }
    const float& operator[](int i) const { return data[i]; }

    constexpr Vector2 operator+(const Vector2& o) const { return {x + o.x, y + o.y}; }
    constexpr Vector2 operator-(const Vector2& o) const { return {x - o.x, y - o.y}; }
    constexpr Vector2 operator-() const { return {-x, -y}; }
    constexpr Vector2 operator*(float s) const { return {x * s, y * s}; }
    constexpr Vector2 operator/(float s) const { return {x / s, y / s}; }
    Vector2& operator+=(const Vector2& o) { x += o.x; y += o.y; return *this; }
    Vector2& operator-=(const Vector2& o) { x -= o.x; y -= o.y; return *this; }
    Vector2& operator*=(float s) { x *= s; y *= s; return *this; }
    Vector2& operator/=(float s) { x /= s; y /= s; return *this; }
    constexpr bool operator==(const Vector2& o) const { return x == o.x && y == o.y; }
    constexpr bool operator!=(const Vector2& o) const { return !(*this == o); }

    constexpr float Dot(const Vector2& o) const { return x * o.x + y * o.y; }
    constexpr float LengthSquared() const { return x * x + y * y; }
    float Length() const { return std::sqrt(LengthSquared()); }
    // Divides by the length: a zero vector becomes NaN, so test Length() first where it can be 0.
    void Normalize() { *this /= Length(); }
    Vector2 Normalized() const { return *this / Length(); }
};

constexpr Vector2 operator*(float s, const Vector2& v) { return v * s; }
constexpr float Dot(const Vector2& a, const Vector2& b) { return a.Dot(b); }

}  // namespace ztmath
