#pragma once
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshVertex.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// A sphere of radius 0.5 centred on the origin: stacks + 1 rings from the north pole down, each
// of slices + 1 vertices (the seam is doubled for the texture). The collapsed triangles at the
// poles are dropped. Zero counts are taken as 1.
class SphereMeshBuilder final : public MeshBuilder {
public:
    SphereMeshBuilder(uint32_t stacks, uint32_t slices);
    bool Build(MeshCreator& creator) override;
    uint32_t EstimateVertexCount() const override { return (m_stacks + 1) * (m_slices + 1); }

    const CountedVector<MeshVertex>& GetVertices() const { return m_vertices; }
    const CountedVector<MeshFace>& GetFaces() const { return m_faces; }

private:
    uint32_t m_stacks;
    uint32_t m_slices;
    CountedVector<MeshVertex> m_vertices;
    CountedVector<MeshFace> m_faces;
};

}  // namespace ztengine
