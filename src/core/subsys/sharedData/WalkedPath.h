#pragma once
// The way the player walked between two checks of a trigger in the world (the dungeon's stairs
// and rooms, the hub's portals, orbs and altar, coins, shrines). A trigger tested against the camera's spot of each frame alone misses a
// player who crosses it between two frames: at a software renderer's few frames per second a
// running step is longer than a trigger is wide. Tested against this path it does not. Moves
// that are no walk (set position, warp, another system taking the camera over) do not count:
// the checks after one look at the camera's own spot only.
#include <cstdint>

#include "core/math/Vector3.h"

namespace ztengine {

class MessagingSystem;

// Squared distance from `point` to the nearest point of the segment from `a` to `b`.
float DistanceSquaredToSegment(const ztmath::Vector3& point, const ztmath::Vector3& a,
                               const ztmath::Vector3& b);

class WalkedPath {
public:
    // After a jump the camera reaches its new place an update late, so this many checks look at
    // the camera's spot alone.
    static constexpr int32_t kChecksAfterJump = 2;

    // Every "PLAYER_SET_POSITION" and "PLAYER_WARP" from now on is a jump. The path must outlive
    // the messaging system's handlers, as the systems owning one do.
    void ListenForJumps(MessagingSystem& messaging);
    // The player was moved without walking.
    void Jump() { m_jumpChecks = kChecksAfterJump; }
    // Nothing walked so far counts: the next check starts a new path.
    void Forget() { m_started = false; }

    // One check: the path now runs from the camera's spot at the last check to `camera`.
    void MoveTo(const ztmath::Vector3& camera);
    // Squared distance from `point` to the path walked up to the last check.
    float DistanceSquaredTo(const ztmath::Vector3& point) const;
    // The same seen from above: heights left out.
    float HorizontalDistanceSquaredTo(const ztmath::Vector3& point) const;
    // The part of the path strictly closer to `point` than the reach, as fractions of the way
    // from From() (0) to To() (1); false when no part is. A path of no length is its end spot.
    bool SpanWithin(const ztmath::Vector3& point, float reachSquared, float& first, float& last) const;
    // The spot a fraction of the way along the path.
    ztmath::Vector3 At(float fraction) const { return m_from + (m_to - m_from) * fraction; }
    // Whether the path touches the box between `low` and `high` (faces included).
    bool TouchesBox(const ztmath::Vector3& low, const ztmath::Vector3& high) const;

    const ztmath::Vector3& From() const { return m_from; }
    const ztmath::Vector3& To() const { return m_to; }

private:
    ztmath::Vector3 m_from;
    ztmath::Vector3 m_to;
    bool m_started = false;
    int32_t m_jumpChecks = 0;
};

}  // namespace ztengine
