#pragma once
// Orientation frame of cameras, instances and sky boxes. Read as the rotation matrix whose
// columns are right, up and forward; right = up x forward. Pitch, Yaw and Roll take degrees,
// everything else radians.
#include "core/math/Matrix3x3.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"

namespace ztmath {

struct Basis {
    Vector3 forward;
    Vector3 up;
    Vector3 right;

    // forward (0, 0, 1), up (0, 1, 0), right (1, 0, 0).
    Basis();
    // right = up x forward from the vectors as given; with normalise set, all three are then
    // normalised.
    Basis(const Vector3& forward, const Vector3& up, bool normalise);

    bool operator==(const Basis& o) const {
        return forward == o.forward && up == o.up && right == o.right;
    }
    bool operator!=(const Basis& o) const { return !(*this == o); }

    // The matrix with columns right, up, forward.
    Matrix3x3 ToMatrix3x3() const;

    // forward, up and right = q turning the default axes, each normalised.
    void SetFromQuaternion(const Quaternion& q);
    // right, up and forward = the columns of q's rotation matrix.
    static Basis FromQuaternion(const Quaternion& q);
    Quaternion ToQuaternion() const;

    // Rebuilds the frame around a direction with the world up (0, 1, 0), or +-z when the
    // direction is (nearly) vertical. A zero direction gives NaN axes.
    void SetForward(const Vector3& direction);
    // Rebuilds right and up from the current forward so there is no roll; an upside-down
    // frame stays upside down.
    void RemoveRoll();

    // Turns in place about the frame's own right, up or forward axis; angles in degrees,
    // right-handed (from the default frame: pitch turns forward toward -y, yaw toward +x,
    // roll turns up toward -x).
    void Pitch(float degrees);
    void Yaw(float degrees);
    void Roll(float degrees);

    // forward and up turned by q (q v q*), right = up x forward; nothing normalised.
    void Rotate(const Quaternion& q);
    // A new frame: q's rotation expressed in this frame's axes, normalised. This is unchanged.
    Basis RotateLocal(const Quaternion& q) const;
};

}  // namespace ztmath
