// The UV sphere: rings from pole to pole on the builder's own list, then tangents.
#include "core/graphics/framework/mesh/builders/SphereMeshBuilder.h"

#include <cmath>

#include "core/graphics/framework/mesh/builders/BuilderShapes.h"
#include "core/graphics/framework/mesh/core/MeshCreator.h"
#include "core/graphics/framework/mesh/core/MeshGeometry.h"

namespace ztengine {

using meshshapes::kPi;
using meshshapes::kTwoPi;

SphereMeshBuilder::SphereMeshBuilder(uint32_t stacks, uint32_t slices)
    : m_stacks(meshshapes::AtLeastOne(stacks)), m_slices(meshshapes::AtLeastOne(slices))
{
}

bool SphereMeshBuilder::Build(MeshCreator& creator)
{
    m_vertices.clear();
    m_faces.clear();
    for (uint32_t a = 0; a <= m_stacks; ++a) {
        const float t = static_cast<float>(a) / static_cast<float>(m_stacks);
        const float latitude = kPi * 0.5f - t * kPi;
        const float ringRadius = 0.5f * std::cos(latitude);
        const float y = 0.5f * std::sin(latitude);
        for (uint32_t i = 0; i <= m_slices; ++i) {
            const float u = static_cast<float>(i) / static_cast<float>(m_slices);
            const float longitude = u * kTwoPi;
            MeshVertex vertex;
            vertex.position = {ringRadius * std::sin(longitude), y,
                               ringRadius * std::cos(longitude)};
            vertex.normal = vertex.position.Normalized();
            vertex.u = u;
            vertex.v = t;
            m_vertices.push_back(vertex);
        }
    }
    meshshapes::EmitGridB(creator, m_vertices, m_stacks, m_slices, m_faces);
    ComputeVertexTangents(m_vertices.data(), m_vertices.size(), m_faces.data(), m_faces.size());
    for (const MeshVertex& vertex : m_vertices)
        meshshapes::AddMeshVertex(creator, vertex);
    return true;
}

}  // namespace ztengine
