#include "core/subsys/sharedData/WalkedPath.h"

#include <algorithm>
#include <cmath>

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

float WalkedPath::HorizontalDistanceSquaredTo(const ztmath::Vector3& point) const
{
    const auto flat = [](const ztmath::Vector3& v) { return ztmath::Vector3(v.x, 0.0f, v.z); };
    return DistanceSquaredToSegment(flat(point), flat(m_from), flat(m_to));
}

bool WalkedPath::SpanWithin(const ztmath::Vector3& point, float reachSquared, float& first,
                            float& last) const
{
    const ztmath::Vector3 way = m_to - m_from;
    const ztmath::Vector3 offset = m_from - point;
    const float a = way.LengthSquared();
    const float c = offset.LengthSquared() - reachSquared;
    if (a <= 0.0f) {
        // Standing still: exactly the test of the one spot.
        if ((m_to - point).LengthSquared() >= reachSquared)
            return false;
        first = last = 1.0f;
        return true;
    }
    // |offset + t way|^2 < reach^2 between the roots of a t^2 + b t + c.
    const float b = 2.0f * way.Dot(offset);
    const float discriminant = b * b - 4.0f * a * c;
    if (discriminant <= 0.0f)
        return false;
    const float root = std::sqrt(discriminant);
    first = std::max(0.0f, (-b - root) / (2.0f * a));
    last = std::min(1.0f, (-b + root) / (2.0f * a));
    // Either end of the path inside counts even when rounding put its root just past it.
    if ((m_from - point).LengthSquared() < reachSquared)
        first = 0.0f;
    if ((m_to - point).LengthSquared() < reachSquared)
        last = 1.0f;
    return first <= last;
}

bool WalkedPath::TouchesBox(const ztmath::Vector3& low, const ztmath::Vector3& high) const
{
    // The part of the path inside each pair of faces, narrowed axis by axis.
    float enter = 0.0f;
    float leave = 1.0f;
    const float from[3] = {m_from.x, m_from.y, m_from.z};
    const float to[3] = {m_to.x, m_to.y, m_to.z};
    const float lows[3] = {low.x, low.y, low.z};
    const float highs[3] = {high.x, high.y, high.z};
    for (int axis = 0; axis < 3; ++axis) {
        const float step = to[axis] - from[axis];
        if (step == 0.0f) {
            if (from[axis] < lows[axis] || from[axis] > highs[axis])
                return false;
            continue;
        }
        float t0 = (lows[axis] - from[axis]) / step;
        float t1 = (highs[axis] - from[axis]) / step;
        if (t0 > t1)
            std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave)
            return false;
    }
    return true;
}

}  // namespace ztengine
