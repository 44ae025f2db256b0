#pragma once
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshVertex.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// A unit square in the plane z = 0 facing +z, split into rows x columns quads. Zero counts are
// taken as 1.
class PlaneMeshBuilder final : public MeshBuilder {
public:
    PlaneMeshBuilder(uint32_t rows, uint32_t columns);
    bool Build(MeshCreator& creator) override;
    uint32_t EstimateVertexCount() const override { return (m_rows + 1) * (m_columns + 1); }

    const CountedVector<MeshVertex>& GetVertices() const { return m_vertices; }
    const CountedVector<MeshFace>& GetFaces() const { return m_faces; }

private:
    uint32_t m_rows;
    uint32_t m_columns;
    CountedVector<MeshVertex> m_vertices;
    CountedVector<MeshFace> m_faces;
};

}  // namespace ztengine
