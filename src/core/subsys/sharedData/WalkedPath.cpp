#include "core/subsys/sharedData/WalkedPath.h"

#include "core/MessagingSystem.h"

namespace ztengine {

float DistanceSquaredToSegment(const ztmath::Vector3& point, const ztmath::Vector3& a,
                               const ztmath::Vector3& b)
{
    const ztmath::Vector3 ab = b - a;
    const float length = ab.LengthSquared();
    float t = length > 0.0f ? (point - a).Dot(ab) / length : 0.0f;
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return (a + ab * t - point).LengthSquared();
}

void WalkedPath::ListenForJumps(MessagingSystem& messaging)
{
    for (const char* jump : {"PLAYER_SET_POSITION", "PLAYER_WARP"})
        if (messaging.GetEventId(jump) != MessagingSystem::kInvalidEventId)
            messaging.RegisterHandler(jump, [this](const IEvent&) { Jump(); });
}

void WalkedPath::MoveTo(const ztmath::Vector3& camera)
{
    const bool walked = m_started && m_jumpChecks == 0;
    m_from = walked ? m_to : camera;
    m_to = camera;
    m_started = true;
    if (m_jumpChecks > 0)
        --m_jumpChecks;
}

float WalkedPath::DistanceSquaredTo(const ztmath::Vector3& point) const
{
    return DistanceSquaredToSegment(point, m_from, m_to);
}

}  // namespace ztengine
