// Bone lookup and the breadth-first pose evaluation over the node tree.
#include "core/animation/Skeleton/Skeleton.h"

#include "core/animation/Skeleton/SkeletalAnimation.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

using ztmath::Matrix4x4;
using ztmath::Quaternion;
using ztmath::Vector3;

const Bone* Skeleton::FindBone(std::string_view name) const
{
    const int32_t index = FindBoneIndex(name);
    return index < 0 ? nullptr : &m_bones[static_cast<size_t>(index)];
}

int32_t Skeleton::FindBoneIndex(std::string_view name) const
{
    for (size_t i = 0; i < m_bones.size(); ++i) {
        if (std::string_view(m_bones[i].name) == name)
            return static_cast<int32_t>(i);
    }
    return -1;
}

namespace {

// Local transform of an animated node: translation x rotation x scale from the sampled keys.
Matrix4x4 AnimatedLocal(const AnimationChannel& channel, float phase)
{
    const Vector3 position = SampleVectorKeys(channel.positionKeys, phase, Vector3(0, 0, 0));
    const Quaternion rotation = SampleRotationKeys(channel.rotationKeys, phase);
    const Vector3 scale = SampleVectorKeys(channel.scaleKeys, phase, Vector3(1, 1, 1));

    const Matrix4x4 r = Matrix4x4::FromAxes(rotation.Rotate(Vector3(1, 0, 0)),
                                            rotation.Rotate(Vector3(0, 1, 0)),
                                            rotation.Rotate(Vector3(0, 0, 1)), Vector3(0, 0, 0));
    return Matrix4x4::MakeTranslation(position) * r * Matrix4x4::MakeScale(scale);
}

struct PendingNode {
    uint32_t node;
    Matrix4x4 parentTransform;
};

}  // namespace

void Skeleton::ComputePose(const SkeletalAnimationSet& animations, float phase,
                           const Matrix4x4& rootTransform, uint32_t animationIndex,
                           Matrix4x4* out, size_t outCount) const
{
    // A mesh without a node tree (procedural, or animations loaded onto the wrong mesh) has
    // nothing to pose.
    if (mNodeBuffer.empty())
        return;

    CountedDeque<PendingNode> queue;
    queue.push_back({0, rootTransform});
    while (!queue.empty()) {
        const uint32_t NodeIndex = queue.front().node;
        const Matrix4x4 parentTransform = queue.front().parentTransform;
        queue.pop_front();
        assert(NodeIndex < mNodeBuffer.size());
        const SkeletonNode& node = mNodeBuffer[NodeIndex];

        Matrix4x4 local = node.transform;
        if (const AnimationChannel* channel = animations.FindChannel(node.name, animationIndex))
            local = AnimatedLocal(*channel, phase);
        const Matrix4x4 global = parentTransform * local;

        const int32_t bone = FindBoneIndex(node.name);
        if (bone >= 0 && static_cast<size_t>(bone) < outCount)
            out[bone] = m_rootMatrix * global * m_bones[static_cast<size_t>(bone)].offset;

        for (uint32_t child : node.children)
            queue.push_back({child, global});
    }
}

}  // namespace ztengine
