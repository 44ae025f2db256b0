#include "core/graphics/framework/mesh/builders/PlaneMeshBuilder.h"

#include "core/graphics/framework/mesh/builders/BuilderShapes.h"
#include "core/graphics/framework/mesh/core/MeshCreator.h"

namespace ztengine {

PlaneMeshBuilder::PlaneMeshBuilder(uint32_t rows, uint32_t columns)
    : m_rows(meshshapes::AtLeastOne(rows)), m_columns(meshshapes::AtLeastOne(columns))
{
}

bool PlaneMeshBuilder::Build(MeshCreator& creator)
{
    m_vertices.clear();
    m_faces.clear();
    for (uint32_t a = 0; a <= m_rows; ++a) {
        for (uint32_t i = 0; i <= m_columns; ++i) {
            const float s = static_cast<float>(i) / static_cast<float>(m_columns);
            const float t = static_cast<float>(a) / static_cast<float>(m_rows);
            MeshVertex vertex;
            vertex.position = {s - 0.5f, 0.5f - t, 0.0f};
            vertex.normal = {0.0f, 0.0f, 1.0f};
            vertex.u = s;
            vertex.v = t;
            vertex.tangent = {1.0f, 0.0f, 0.0f};
            m_vertices.push_back(vertex);
        }
    }
    meshshapes::EmitGridB(creator, m_vertices, m_rows, m_columns, m_faces);
    for (const MeshVertex& vertex : m_vertices)
        meshshapes::AddMeshVertex(creator, vertex);
    return true;
}

}  // namespace ztengine
