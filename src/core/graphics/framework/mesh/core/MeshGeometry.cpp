// Degenerate-triangle test and averaged per-vertex tangents.
#include "core/graphics/framework/mesh/core/MeshGeometry.h"

#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

using ztmath::Vector3;

bool IsDegenerateTriangle(const Vector3& p0, const Vector3& p1, const Vector3& p2)
{
    return (p1 - p0).Length() < kDegenerateEdgeLength ||
           (p2 - p1).Length() < kDegenerateEdgeLength ||
           (p0 - p2).Length() < kDegenerateEdgeLength;
}

void ComputeVertexTangents(MeshVertex* vertices, size_t vertexCount, const MeshFace* faces,
                           size_t faceCount)
{
    CountedVector<uint32_t> counts(vertexCount, 0u);
    for (size_t i = 0; i < vertexCount; ++i)
        vertices[i].tangent = Vector3(0.0f, 0.0f, 0.0f);

    for (size_t f = 0; f < faceCount; ++f) {
        const uint32_t i0 = faces[f].indices[0];
        const uint32_t i1 = faces[f].indices[1];
        const uint32_t i2 = faces[f].indices[2];
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount)
            continue;
        const MeshVertex& a = vertices[i0];
        const MeshVertex& b = vertices[i1];
        const MeshVertex& c = vertices[i2];

        const float ds1 = b.u - a.u;
        const float dt1 = b.v - a.v;
        const float ds2 = c.u - a.u;
        const float dt2 = c.v - a.v;
        const float d = dt2 * ds1 - dt1 * ds2;
        if (d > -kTangentDeterminantEpsilon && d < kTangentDeterminantEpsilon)
            continue;

        const Vector3 tangent = ((b.position - a.position) * dt2 - (c.position - a.position) * dt1) / d;
        for (uint32_t index : {i0, i1, i2}) {
            vertices[index].tangent += tangent;
            counts[index] += 1;
        }
    }

    for (size_t i = 0; i < vertexCount; ++i) {
        if (counts[i] > 0)
            vertices[i].tangent /= static_cast<float>(counts[i]);
    }
}

}  // namespace ztengine
