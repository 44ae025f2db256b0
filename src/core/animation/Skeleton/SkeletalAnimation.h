#pragma once
// Key-framed node animations of a mesh, the set a mesh owns with its skeleton, and the key
// sampling rule the pose evaluation uses.
#include <cstdint>
#include <string_view>

#include "core/animation/Skeleton/Skeleton.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

struct VectorKey {
    double time = 0.0;
    ztmath::Vector3 value;
};

struct QuaternionKey {
    double time = 0.0;
    ztmath::Quaternion value;
};

// The keys of one node. Key times are kept as imported but the evaluation spaces the keys
// evenly over the clip.
struct AnimationChannel {
    CountedString nodeName;
    CountedVector<QuaternionKey> rotationKeys;
    CountedVector<VectorKey> scaleKeys;
    CountedVector<VectorKey> positionKeys;
};

struct SkeletalAnimation {
    CountedString name;
    double duration = 0.0;
    double ticksPerSecond = 0.0;
    CountedVector<AnimationChannel> channels;
};

// What a mesh carries for animation: its clips and its own copy of the skeleton they drive.
struct SkeletalAnimationSet {
    // First channel of the animation for that node; an animation index past the list uses
    // animation 0. Null when there is no such channel (or no animation at all).
    const AnimationChannel* FindChannel(std::string_view nodeName, uint32_t animationIndex) const;

    CountedVector<SkeletalAnimation> m_animations;
    Skeleton m_skeleton;
};

// Samples a key array at phase t in [0, 1] with the keys treated as evenly spaced: n keys put
// key i at i / (n - 1). t is clamped to [0, 1] and t = 1 gives the last key. An empty array
// gives the fallback, so a clip that lacks one kind of key leaves that part neutral.
ztmath::Vector3 SampleVectorKeys(const CountedVector<VectorKey>& keys, float t,
                                 const ztmath::Vector3& fallback);
ztmath::Quaternion SampleRotationKeys(const CountedVector<QuaternionKey>& keys, float t);

}  // namespace ztengine
