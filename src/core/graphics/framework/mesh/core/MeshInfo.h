#pragma once
// The read side of a built mesh: what the renderer's mesh upload reads. Pointers it hands out
// live as long as the object behind it.
#include <cstdint>

#include "core/animation/Skeleton/SkeletalAnimation.h"
#include "core/animation/Skeleton/Skeleton.h"
#include "core/graphics/framework/mesh/core/MeshVertex.h"

namespace ztengine {

class MeshInfo {
public:
    virtual ~MeshInfo() = default;

    virtual uint32_t GetVertexCount() const = 0;
    // Triangles, not indices.
    virtual uint32_t GetFaceCount() const = 0;
    // No bounds checks: index below the matching count.
    virtual const MeshVertex* GetVertex(uint32_t index) const = 0;
    virtual const MeshFace* GetFace(uint32_t index) const = 0;
    virtual const MeshVertex* GetVertices() const = 0;
    virtual const MeshFace* GetFaces() const = 0;
    // At least one skin-weight record exists.
    virtual bool HasSkin() const = 0;
    // The animation set holds at least one animation.
    virtual bool HasAnimations() const = 0;
    virtual SkinWeights GetSkinWeights(uint32_t index) const = 0;
    virtual const SkinWeights* GetSkinWeightsData() const = 0;
    virtual const Skeleton& GetSkeleton() const = 0;
    virtual const SkeletalAnimationSet& GetAnimations() const = 0;
};

}  // namespace ztengine
