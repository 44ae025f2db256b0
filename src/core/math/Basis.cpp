// Basis: the orientation frame, its conversions and the camera-style turns.
#include "core/math/Basis.h"

#include <cmath>

namespace ztmath {

namespace {

// Half of an angle given in degrees, in radians, as the turns below use it.
float HalfAngle(float degrees) { return degrees / 360.0f * 6.2831855f * 0.5f; }

// The world up used to rebuild a frame around `direction`: +y, unless the direction is
// (nearly) vertical, where +y would give a zero cross product; then +z or -z.
Vector3 WorldUpFor(const Vector3& direction) {
    if (std::fabs(direction.x) < 1e-5f && std::fabs(direction.z) < 1e-5f) {
        return (direction.y > 0.0f) ? Vector3(0.0f, 0.0f, 1.0f) : Vector3(0.0f, 0.0f, -1.0f);
    }
    return {0.0f, 1.0f, 0.0f};
}

}  // namespace

Basis::Basis() : forward(0.0f, 0.0f, 1.0f), up(0.0f, 1.0f, 0.0f), right(1.0f, 0.0f, 0.0f) {}

Basis::Basis(const Vector3& forward_, const Vector3& up_, bool normalise)
    : forward(forward_), up(up_), right(up_.Cross(forward_)) {
    if (normalise) {
        forward.Normalize();
        up.Normalize();
        right.Normalize();
    }
}

Matrix3x3 Basis::ToMatrix3x3() const {
    return {right.x, up.x, forward.x,
            right.y, up.y, forward.y,
            right.z, up.z, forward.z};
}

void Basis::SetFromQuaternion(const Quaternion& q) {
    forward = q.Rotate({0.0f, 0.0f, 1.0f}).Normalized();
    up = q.Rotate({0.0f, 1.0f, 0.0f}).Normalized();
    right = q.Rotate({1.0f, 0.0f, 0.0f}).Normalized();
}

Basis Basis::FromQuaternion(const Quaternion& q) {
    const Matrix3x3 m = q.ToMatrix3x3();
    Basis b;
    b.right = {m.m[0], m.m[3], m.m[6]};
    b.up = {m.m[1], m.m[4], m.m[7]};
    b.forward = {m.m[2], m.m[5], m.m[8]};
    return b;
}

Quaternion Basis::ToQuaternion() const {
    const Vector3& r = right;
    const Vector3& u = up;
    const Vector3& f = forward;
    const float trace = r.x + u.y + f.z;
    Quaternion q;
    if (trace > 0.0f) {
        const float s = 0.5f / std::sqrt(trace + 1.0f);
        q.w = 0.25f / s;
        q.x = (u.z - f.y) * s;
        q.y = (f.x - r.z) * s;
        q.z = (r.y - u.x) * s;
    } else if (r.x > u.y && r.x > f.z) {
        const float s = 2.0f * std::sqrt(1.0f + r.x - u.y - f.z);
        q.x = s / 4.0f;
        q.w = (u.z - f.y) / s;
        q.y = (r.y + u.x) / s;
        q.z = (f.x + r.z) / s;
    } else if (u.y > f.z) {
        const float s = 2.0f * std::sqrt(1.0f + u.y - r.x - f.z);
        q.y = s / 4.0f;
        q.w = (f.x - r.z) / s;
        q.x = (r.y + u.x) / s;
        q.z = (u.z + f.y) / s;
    } else {
        const float s = 2.0f * std::sqrt(1.0f + f.z - r.x - u.y);
        q.z = s / 4.0f;
        q.w = (r.y - u.x) / s;
        q.x = (f.x + r.z) / s;
        q.y = (u.z + f.y) / s;
    }
    return q;
}

void Basis::SetForward(const Vector3& direction) {
    // The vertical test looks at the direction as given, before normalising. A zero direction
    // has no length to divide by and leaves NaN in all three axes.
    const Vector3 worldUp = WorldUpFor(direction);
    forward = direction.Normalized();
    right = worldUp.Cross(forward).Normalized();
    up = forward.Cross(right);
}

void Basis::RemoveRoll() {
    const Vector3 oldUp = up;
    const Vector3 worldUp = WorldUpFor(forward);
    right = worldUp.Cross(forward).Normalized();
    up = forward.Cross(right);
    // An upside-down camera (looping, falling) must stay upside down instead of flipping over.
    if (up.Dot(oldUp) < 0.0f) {
        up = -up;
        right = up.Cross(forward);
    }
}

void Basis::Pitch(float degrees) {
    const float h = HalfAngle(degrees);
    const Quaternion q(right * std::sin(h), std::cos(h));
    forward = q.Rotate(forward).Normalized();
    up = q.Rotate(up).Normalized();
    right = up.Cross(forward);
}

void Basis::Yaw(float degrees) {
    const float h = HalfAngle(degrees);
    const Quaternion q(up * std::sin(h), std::cos(h));
    forward = q.Rotate(forward).Normalized();
    right = up.Cross(forward).Normalized();
}

void Basis::Roll(float degrees) {
    const float h = HalfAngle(degrees);
    const Quaternion q(forward * std::sin(h), std::cos(h));
    up = q.Rotate(up).Normalized();
    right = up.Cross(forward).Normalized();
}

void Basis::Rotate(const Quaternion& q) {
    forward = q.Rotate(forward);
    up = q.Rotate(up);
    right = up.Cross(forward);
}

Basis Basis::RotateLocal(const Quaternion& q) const {
    const Basis turned = FromQuaternion(q);
    const Matrix3x3 m = ToMatrix3x3();
    return Basis(m * turned.forward, m * turned.up, true);
}

}  // namespace ztmath
