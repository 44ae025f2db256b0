#pragma once
// The one implementation of both mesh interfaces: a loader is built on the stack around one
// builder, built, handed to the renderer as a MeshInfo and destroyed.
#include <cstdint>
#include <vector>

#include "core/animation/Skeleton/SkeletalAnimation.h"
#include "core/animation/Skeleton/Skeleton.h"
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshCreator.h"
#include "core/graphics/framework/mesh/core/MeshGeometry.h"
#include "core/graphics/framework/mesh/core/MeshInfo.h"
#include "core/graphics/framework/mesh/core/MeshVertex.h"
#include "core/util/assert/AppAssert.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

template <template <class> class AllocatorObject = CountingAllocator>
class MeshLoader final : public MeshCreator, public MeshInfo {
public:
    // The builder is not owned and must outlive Build.
    explicit MeshLoader(MeshBuilder* builder) : m_builder(builder) {}
    MeshLoader(const MeshLoader&) = delete;
    MeshLoader& operator=(const MeshLoader&) = delete;

    // ---- MeshCreator
    void AddVertex(const ztmath::Vector3* position, const ztmath::Vector3* normal,
                   const float* texCoord, const ztmath::Vector3* tangent) override
    {
        MeshVertex vertex;
        if (position)
            vertex.position = *position;
        if (normal)
            vertex.normal = *normal;
        if (texCoord) {
            vertex.u = texCoord[0];
            vertex.v = texCoord[1];
        }
        if (tangent)
            vertex.tangent = *tangent;
        m_vertices.push_back(vertex);
    }

    void AddTriangle(uint32_t v0, uint32_t v1, uint32_t v2) override
    {
        MeshFace face;
        face.indices[0] = v0;
        face.indices[1] = v1;
        face.indices[2] = v2;
        m_faces.push_back(face);
    }

    bool IsDegenerateTriangle(uint32_t v0, uint32_t v1, uint32_t v2) const override
    {
        assert(v0 < m_vertices.size() && v1 < m_vertices.size() && v2 < m_vertices.size());
        return ztengine::IsDegenerateTriangle(m_vertices[v0].position, m_vertices[v1].position,
                                              m_vertices[v2].position);
    }

    void ComputeTangents() override
    {
        ComputeVertexTangents(m_vertices.data(), m_vertices.size(), m_faces.data(),
                              m_faces.size());
    }

    void AddSkinWeights(const ztmath::Vector4& weights,
                        const std::array<int32_t, 4>& boneIds) override
    {
        SkinWeights record;
        for (int i = 0; i < 4; ++i) {
            record.weights[i] = weights[i];
            record.boneIds[i] = boneIds[static_cast<size_t>(i)];
        }
        m_skinWeights.push_back(record);
    }

    bool Build() override
    {
        if (m_builder == nullptr)
            return false;
        const uint32_t estimate = m_builder->EstimateVertexCount();
        if (m_vertices.capacity() < estimate)
            m_vertices.reserve(estimate);
        if (m_faces.capacity() < estimate / 3 + 1)
            m_faces.reserve(estimate / 3 + 1);
        return m_builder->Build(*this);
    }

    Skeleton& GetMutableSkeleton() override { return m_skeleton; }
    SkeletalAnimationSet& GetMutableAnimations() override { return m_animations; }

    // ---- MeshInfo
    uint32_t GetVertexCount() const override { return static_cast<uint32_t>(m_vertices.size()); }
    uint32_t GetFaceCount() const override { return static_cast<uint32_t>(m_faces.size()); }
    const MeshVertex* GetVertex(uint32_t index) const override { return &m_vertices[index]; }
    const MeshFace* GetFace(uint32_t index) const override { return &m_faces[index]; }
    const MeshVertex* GetVertices() const override { return m_vertices.data(); }
    const MeshFace* GetFaces() const override { return m_faces.data(); }
    bool HasSkin() const override { return !m_skinWeights.empty(); }
    bool HasAnimations() const override { return !m_animations.m_animations.empty(); }
    SkinWeights GetSkinWeights(uint32_t index) const override { return m_skinWeights[index]; }
    const SkinWeights* GetSkinWeightsData() const override { return m_skinWeights.data(); }
    const Skeleton& GetSkeleton() const override { return m_skeleton; }
    const SkeletalAnimationSet& GetAnimations() const override { return m_animations; }

private:
    Skeleton m_skeleton;
    SkeletalAnimationSet m_animations;
    std::vector<MeshVertex, AllocatorObject<MeshVertex>> m_vertices;
    std::vector<MeshFace, AllocatorObject<MeshFace>> m_faces;
    std::vector<SkinWeights, AllocatorObject<SkinWeights>> m_skinWeights;
    MeshBuilder* m_builder;
};

}  // namespace ztengine
