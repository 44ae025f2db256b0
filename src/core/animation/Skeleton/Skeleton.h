#pragma once
// The bones and node tree of an imported mesh, and the pose evaluation that turns an animation
// into one skinning matrix per bone.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/math/Matrix4x4.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

struct SkeletalAnimationSet;

// A bone as skinning sees it. Its index in the skeleton is the index the skin weights use. The
// parent index and child list are node indices (the bone's node in the node tree), kept for
// tools; the pose itself is evaluated over the node tree.
struct Bone {
    CountedString name;
    int32_t parentIndex = -1;
    uint32_t childCount = 0;
    CountedVector<uint32_t> children;
    // Takes a vertex from model space into the bone's bind space.
    ztmath::Matrix4x4 offset;
    ztmath::Matrix4x4 nodeTransform;
};

// One node of the flattened tree, root first; children are indices into the same buffer.
struct SkeletonNode {
    CountedString name;
    ztmath::Matrix4x4 transform;
    CountedVector<uint32_t> children;
};

class Skeleton {
public:
    // First bone with exactly this name, or null / -1.
    const Bone* FindBone(std::string_view name) const;
    int32_t FindBoneIndex(std::string_view name) const;
    uint32_t GetBoneCount() const { return static_cast<uint32_t>(m_bones.size()); }

    // Writes root matrix x (global node transform) x offset for every bone of this skeleton
    // into out[bone index], walking the node tree breadth-first from node 0 with rootTransform
    // as its parent. phase runs over the whole clip, 0 at its start and 1 at its end; values
    // outside [0, 1] are clamped. Bones whose index is not below outCount are skipped, so a short
    // output never overflows; a skeleton without nodes writes nothing.
    void ComputePose(const SkeletalAnimationSet& animations, float phase,
                     const ztmath::Matrix4x4& rootTransform, uint32_t animationIndex,
                     ztmath::Matrix4x4* out, size_t outCount) const;

    // Same, into a growable array that is first grown to the bone count.
    template <class MatrixArray>
    void ComputePose(const SkeletalAnimationSet& animations, float phase,
                     const ztmath::Matrix4x4& rootTransform, uint32_t animationIndex,
                     MatrixArray& out) const
    {
        if (out.size() < m_bones.size())
            out.resize(m_bones.size());
        ComputePose(animations, phase, rootTransform, animationIndex, out.data(), out.size());
    }

    CountedVector<Bone> m_bones;
    // Identity unless the import found a bone without a parent node; then that node's transform.
    ztmath::Matrix4x4 m_rootMatrix;
    CountedVector<SkeletonNode> mNodeBuffer;
};

}  // namespace ztengine
