// Matrix4x4: products, projections, rotation, inverse and the camera view matrix.
#include "core/math/Matrix4x4.h"

#include <cmath>

#include "core/math/Basis.h"

namespace ztmath {

Matrix4x4::Matrix4x4() { SetIdentity(); }

Matrix4x4::Matrix4x4(float m00, float m01, float m02, float m03,
                     float m10, float m11, float m12, float m13,
                     float m20, float m21, float m22, float m23,
                     float m30, float m31, float m32, float m33)
    : m{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33} {}

void Matrix4x4::SetIdentity() {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

Matrix4x4 Matrix4x4::operator*(const Matrix4x4& rhs) const {
    Matrix4x4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r.m[4 * row + col] = m[4 * row + 0] * rhs.m[0 + col] +
                                 m[4 * row + 1] * rhs.m[4 + col] +
                                 m[4 * row + 2] * rhs.m[8 + col] +
                                 m[4 * row + 3] * rhs.m[12 + col];
        }
    }
    return r;
}

Matrix4x4& Matrix4x4::operator*=(const Matrix4x4& rhs) {
    // The product goes to a temporary first, so m *= m reads no half-written element.
    *this = *this * rhs;
    return *this;
}

Vector4 Matrix4x4::operator*(const Vector4& v) const {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3] * v.w,
            m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7] * v.w,
            m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11] * v.w,
            m[12] * v.x + m[13] * v.y + m[14] * v.z + m[15] * v.w};
}

Vector3 Matrix4x4::TransformPoint(const Vector3& p) const {
    return (*this * Vector4(p, 1.0f)).XYZ();
}

Vector3 Matrix4x4::TransformDirection(const Vector3& d) const {
    return (*this * Vector4(d, 0.0f)).XYZ();
}

Matrix4x4 Matrix4x4::Transpose() const {
    Matrix4x4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) r.m[4 * col + row] = m[4 * row + col];
    }
    return r;
}

Matrix3x3 Matrix4x4::ToMatrix3x3() const {
    return {m[0], m[1], m[2],
            m[4], m[5], m[6],
            m[8], m[9], m[10]};
}

bool Matrix4x4::operator==(const Matrix4x4& o) const {
    for (int i = 0; i < 16; ++i) {
        if (m[i] != o.m[i]) return false;
    }
    return true;
}

void Matrix4x4::SetPerspective(float fov, float aspect, float nearPlane, float farPlane) {
    const float c = std::cos(fov * 0.5f) / std::sin(fov * 0.5f);
    for (float& e : m) e = 0.0f;
    m[0] = c / aspect;
    m[5] = c;
    m[10] = (-nearPlane - farPlane) / (farPlane - nearPlane);
    m[11] = -2.0f * farPlane * nearPlane / (farPlane - nearPlane);
    m[14] = -1.0f;
}

void Matrix4x4::SetOrthographic(float width, float height, float nearPlane, float farPlane) {
    for (float& e : m) e = 0.0f;
    // A window minimised to zero size must not turn the 2D projection into infinities.
    m[0] = (width != 0.0f) ? 2.0f / width : 0.0f;
    m[5] = (height != 0.0f) ? 2.0f / height : 0.0f;
    m[10] = -2.0f / (farPlane - nearPlane);
    m[11] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    m[15] = 1.0f;
}

Matrix4x4 Matrix4x4::MakeOrthographic(float width, float height, float nearPlane,
                                      float farPlane) {
    SetOrthographic(width, height, nearPlane, farPlane);
    return *this;
}

void Matrix4x4::SetRotation(float angle, const Vector3& axis) {
    SetRotation(angle, axis.x, axis.y, axis.z);
}

void Matrix4x4::SetRotation(float angle, float x, float y, float z) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float h = 1.0f - c;
    m[0] = x * x * h + c;
    m[1] = x * y * h + z * s;
    m[2] = x * z * h - y * s;
    m[3] = 0.0f;
    m[4] = x * y * h - z * s;
    m[5] = y * y * h + c;
    m[6] = y * z * h + x * s;
    m[7] = 0.0f;
    m[8] = x * z * h + y * s;
    m[9] = y * z * h - x * s;
    m[10] = z * z * h + c;
    m[11] = 0.0f;
    m[12] = 0.0f;
    m[13] = 0.0f;
    m[14] = 0.0f;
    m[15] = 1.0f;
}

namespace {

// Determinant of the 3x3 minor of a 4x4 row-major matrix that skips row `r` and column `c`.
float Minor(const float* a, int r, int c) {
    float e[9];
    int k = 0;
    for (int row = 0; row < 4; ++row) {
        if (row == r) continue;
        for (int col = 0; col < 4; ++col) {
            if (col == c) continue;
            e[k++] = a[4 * row + col];
        }
    }
    return e[0] * (e[4] * e[8] - e[5] * e[7]) -
           e[1] * (e[3] * e[8] - e[5] * e[6]) +
           e[2] * (e[3] * e[7] - e[4] * e[6]);
}

}  // namespace

bool Matrix4x4::Inverse(const Matrix4x4& src, Matrix4x4& out) {
    float cof[16];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const float sign = ((r + c) % 2 == 0) ? 1.0f : -1.0f;
            cof[4 * r + c] = sign * Minor(src.m, r, c);
        }
    }
    const float det = src.m[0] * cof[0] + src.m[1] * cof[1] + src.m[2] * cof[2] +
                      src.m[3] * cof[3];
    if (det == 0.0f) return false;

    // Written only once everything is read, so Inverse(m, m) works too.
    const float invDet = 1.0f / det;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) out.m[4 * r + c] = cof[4 * c + r] * invDet;
    }
    return true;
}

Matrix4x4 Matrix4x4::FromAxes(const Vector3& a, const Vector3& b, const Vector3& c,
                              const Vector3& t) {
    return {a.x, b.x, c.x, t.x,
            a.y, b.y, c.y, t.y,
            a.z, b.z, c.z, t.z,
            0.0f, 0.0f, 0.0f, 1.0f};
}

Matrix4x4 Matrix4x4::MakeTranslation(const Vector3& t) {
    Matrix4x4 r;
    r.m[3] = t.x;
    r.m[7] = t.y;
    r.m[11] = t.z;
    return r;
}

Matrix4x4 Matrix4x4::MakeScale(const Vector3& s) {
    Matrix4x4 r;
    r.m[0] = s.x;
    r.m[5] = s.y;
    r.m[10] = s.z;
    return r;
}

Matrix4x4 Matrix4x4::LookAt(const Vector3& position, const Basis& basis) {
    // The camera looks down -z in view space, so the third row is the negated forward.
    const Vector3 n = -basis.forward;
    const Vector3 r = basis.up.Cross(n);
    const Vector3 u = n.Cross(r);
    return {r.x, r.y, r.z, -r.Dot(position),
            u.x, u.y, u.z, -u.Dot(position),
            n.x, n.y, n.z, -n.Dot(position),
            0.0f, 0.0f, 0.0f, 1.0f};
}

}  // namespace ztmath
