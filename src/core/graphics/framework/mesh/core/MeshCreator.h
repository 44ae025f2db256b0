#pragma once
// The write side of a mesh under construction: what a MeshBuilder fills.
#include <array>
#include <cstdint>

#include "core/animation/Skeleton/SkeletalAnimation.h"
#include "core/animation/Skeleton/Skeleton.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace ztengine {

class MeshCreator {
public:
    virtual ~MeshCreator() = default;

    // Appends a vertex. texCoord points at two floats (u, v). A null pointer stands for zeros,
    // so a builder can pass along what an imported file simply does not have.
    virtual void AddVertex(const ztmath::Vector3* position, const ztmath::Vector3* normal,
                           const float* texCoord, const ztmath::Vector3* tangent) = 0;
    // Appends a triangle. The indices are not checked here: a builder may name vertices it adds
    // later.
    virtual void AddTriangle(uint32_t v0, uint32_t v1, uint32_t v2) = 0;
    // True when an edge is shorter than 1e-7. The three vertices must exist (asserted).
    virtual bool IsDegenerateTriangle(uint32_t v0, uint32_t v1, uint32_t v2) const = 0;
    // Replaces every tangent with the average of the texture-space tangents of the triangles
    // around it (not normalised; zero where texture coordinates give no direction).
    virtual void ComputeTangents() = 0;
    virtual void AddSkinWeights(const ztmath::Vector4& weights,
                                const std::array<int32_t, 4>& boneIds) = 0;
    // Runs the builder over this creator and returns its result.
    virtual bool Build() = 0;

    // The skeleton and animations an importing builder fills in.
    virtual Skeleton& GetMutableSkeleton() = 0;
    virtual SkeletalAnimationSet& GetMutableAnimations() = 0;
};

}  // namespace ztengine
