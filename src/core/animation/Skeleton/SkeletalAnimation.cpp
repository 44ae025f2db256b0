// Channel lookup and evenly spaced key sampling for skeletal clips.
#include "core/animation/Skeleton/SkeletalAnimation.h"

#include <cmath>
#include <cstddef>

namespace ztengine {

namespace {

// Where phase t falls between two evenly spaced keys: the left key and the fraction towards
// the next. The last key is returned with fraction 0, so the right key is never read past the
// end (t = 1 used to land on key n).
struct KeySpan {
    size_t left;
    float fraction;
};

KeySpan LocateKey(size_t keyCount, float t)
{
    if (!(t > 0.0f))  // also catches NaN
        t = 0.0f;
    if (t > 1.0f)
        t = 1.0f;
    const float x = t * static_cast<float>(keyCount - 1);
    const size_t left = static_cast<size_t>(std::floor(x));
    if (left >= keyCount - 1)
        return {keyCount - 1, 0.0f};
    return {left, x - static_cast<float>(left)};
}

}  // namespace

const AnimationChannel* SkeletalAnimationSet::FindChannel(std::string_view nodeName,
                                                          uint32_t animationIndex) const
{
    if (m_animations.empty())
        return nullptr;
    const SkeletalAnimation& animation =
        animationIndex < m_animations.size() ? m_animations[animationIndex] : m_animations[0];
    for (const AnimationChannel& channel : animation.channels) {
        if (std::string_view(channel.nodeName) == nodeName)
            return &channel;
    }
    return nullptr;
}

ztmath::Vector3 SampleVectorKeys(const CountedVector<VectorKey>& keys, float t,
                                 const ztmath::Vector3& fallback)
{
    if (keys.empty())
        return fallback;
    if (keys.size() == 1)
        return keys[0].value;
    const KeySpan span = LocateKey(keys.size(), t);
    const ztmath::Vector3& a = keys[span.left].value;
    if (span.fraction == 0.0f)
        return a;
    const ztmath::Vector3& b = keys[span.left + 1].value;
    return a + (b - a) * span.fraction;
}

ztmath::Quaternion SampleRotationKeys(const CountedVector<QuaternionKey>& keys, float t)
{
    if (keys.empty())
        return ztmath::Quaternion();
    if (keys.size() == 1)
        return keys[0].value;
    const KeySpan span = LocateKey(keys.size(), t);
    if (span.fraction == 0.0f)
        return keys[span.left].value;
    return ztmath::Quaternion::Slerp(keys[span.left].value, span.fraction,
                                     keys[span.left + 1].value);
}

}  // namespace ztengine
