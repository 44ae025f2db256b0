#pragma once
// When a shrine counts as within the player's reach: near the eye (the shrine's point is taken
// 10 units up, about where the player looks at it) and in front of the camera.
#include "core/math/Vector3.h"

namespace ztengine {

inline constexpr float kShrineReachMargin = 3.3f;
inline constexpr float kShrineEyeHeight = 10.0f;

inline bool ShrineInReach(const ztmath::Vector3& shrine, float radius,
                          const ztmath::Vector3& camera, const ztmath::Vector3& forward)
{
    const ztmath::Vector3 eye(shrine.x, shrine.y + kShrineEyeHeight, shrine.z);
    const ztmath::Vector3 toEye = eye - camera;
    const float reach = radius + kShrineReachMargin;
    if (toEye.Dot(toEye) >= reach * reach)
        return false;
    return forward.Dot(shrine - camera) > 0.0f;
}

}  // namespace ztengine
