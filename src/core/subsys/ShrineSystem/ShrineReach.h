#pragma once
// When a shrine counts as within the player's reach: near the eye (the shrine's point is taken
// 10 units up, about where the player looks at it) and in front of the camera.
#include "core/math/Vector3.h"
#include "core/subsys/sharedData/WalkedPath.h"

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

// The same for the whole way walked since the last check, seen with this frame's view: in reach
// when some spot of the way was near enough with the shrine in front of it. Standing still this
// is the test above.
inline bool ShrineInReach(const ztmath::Vector3& shrine, float radius, const WalkedPath& walk,
                          const ztmath::Vector3& forward)
{
    const ztmath::Vector3 eye(shrine.x, shrine.y + kShrineEyeHeight, shrine.z);
    const float reach = radius + kShrineReachMargin;
    float first = 0.0f;
    float last = 0.0f;
    if (!walk.SpanWithin(eye, reach * reach, first, last))
        return false;
    // How far the shrine lies ahead changes evenly along the way: if anywhere, it is ahead at
    // one end of the near part.
    return forward.Dot(shrine - walk.At(first)) > 0.0f || forward.Dot(shrine - walk.At(last)) > 0.0f;
}

}  // namespace ztengine
