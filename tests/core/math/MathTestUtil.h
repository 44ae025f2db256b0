#pragma once
// Tolerant comparisons and readable printing of the math types for the math tests.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <sstream>
#include <string>

#include "core/math/Basis.h"
#include "core/math/Matrix3x3.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace ztmath {

inline void PrintTo(const Vector2& v, std::ostream* os) { *os << "(" << v.x << ", " << v.y << ")"; }
inline void PrintTo(const Vector3& v, std::ostream* os) {
    *os << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}
inline void PrintTo(const Vector4& v, std::ostream* os) {
    *os << "(" << v.x << ", " << v.y << ", " << v.z << ", " << v.w << ")";
}
inline void PrintTo(const Quaternion& q, std::ostream* os) {
    *os << "q(" << q.x << ", " << q.y << ", " << q.z << ", " << q.w << ")";
}
inline void PrintTo(const Basis& b, std::ostream* os) {
    *os << "{forward ";
    PrintTo(b.forward, os);
    *os << ", up ";
    PrintTo(b.up, os);
    *os << ", right ";
    PrintTo(b.right, os);
    *os << "}";
}
inline void PrintTo(const Matrix3x3& m, std::ostream* os) {
    *os << "[";
    for (int i = 0; i < 9; ++i) *os << m.m[i] << (i == 8 ? "]" : (i % 3 == 2 ? " | " : ", "));
}
inline void PrintTo(const Matrix4x4& m, std::ostream* os) {
    *os << "[";
    for (int i = 0; i < 16; ++i) *os << m.m[i] << (i == 15 ? "]" : (i % 4 == 3 ? " | " : ", "));
}

}  // namespace ztmath

namespace mathtest {

constexpr float kPi = 3.14159265358979f;
constexpr float kHalfSqrt2 = 0.70710678f;

template <class T>
std::string Str(const T& value) {
    std::ostringstream os;
    ztmath::PrintTo(value, &os);
    return os.str();
}

inline bool Close(float a, float b, float tol) { return std::fabs(a - b) <= tol; }

template <int N>
::testing::AssertionResult NearArray(const float* a, const float* b, float tol,
                                     const std::string& sa, const std::string& sb) {
    for (int i = 0; i < N; ++i) {
        if (!Close(a[i], b[i], tol)) {
            return ::testing::AssertionFailure()
                   << sa << " differs from " << sb << " at element " << i << " (tolerance "
                   << tol << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult Near(const ztmath::Vector3& a, const ztmath::Vector3& b,
                                       float tol = 1e-5f) {
    return NearArray<3>(a.data, b.data, tol, Str(a), Str(b));
}
inline ::testing::AssertionResult Near(const ztmath::Quaternion& a, const ztmath::Quaternion& b,
                                       float tol = 1e-5f) {
    const float fa[4] = {a.x, a.y, a.z, a.w};
    const float fb[4] = {b.x, b.y, b.z, b.w};
    return NearArray<4>(fa, fb, tol, Str(a), Str(b));
}
inline ::testing::AssertionResult Near(const ztmath::Matrix3x3& a, const ztmath::Matrix3x3& b,
                                       float tol = 1e-5f) {
    return NearArray<9>(a.m, b.m, tol, Str(a), Str(b));
}
inline ::testing::AssertionResult Near(const ztmath::Matrix4x4& a, const ztmath::Matrix4x4& b,
                                       float tol = 1e-5f) {
    return NearArray<16>(a.m, b.m, tol, Str(a), Str(b));
}
inline ::testing::AssertionResult Near(const ztmath::Basis& a, const ztmath::Basis& b,
                                       float tol = 1e-5f) {
    const float fa[9] = {a.forward.x, a.forward.y, a.forward.z, a.up.x, a.up.y,
                         a.up.z,      a.right.x,   a.right.y,   a.right.z};
    const float fb[9] = {b.forward.x, b.forward.y, b.forward.z, b.up.x, b.up.y,
                         b.up.z,      b.right.x,   b.right.y,   b.right.z};
    return NearArray<9>(fa, fb, tol, Str(a), Str(b));
}

inline ztmath::Quaternion AxisAngle(float angle, const ztmath::Vector3& axis) {
    ztmath::Quaternion q;
    q.SetFromAxisAngle(angle, axis);
    return q;
}

}  // namespace mathtest
