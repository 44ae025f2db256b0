// Grid and fan triangulation shared by the procedural builders.
#include "core/graphics/framework/mesh/builders/BuilderShapes.h"

#include "core/graphics/framework/mesh/core/MeshCreator.h"
#include "core/graphics/framework/mesh/core/MeshGeometry.h"

namespace ztengine::meshshapes {

namespace {

void AddIfSolid(MeshCreator& creator, uint32_t a, uint32_t b, uint32_t c)
{
    if (!creator.IsDegenerateTriangle(a, b, c))
        creator.AddTriangle(a, b, c);
}

void AddIfSolid(MeshCreator& creator, const CountedVector<MeshVertex>& vertices, uint32_t a,
                uint32_t b, uint32_t c, CountedVector<MeshFace>& faces)
{
    if (IsDegenerateTriangle(vertices[a].position, vertices[b].position, vertices[c].position))
        return;
    MeshFace face;
    face.indices[0] = a;
    face.indices[1] = b;
    face.indices[2] = c;
    faces.push_back(face);
    creator.AddTriangle(a, b, c);
}

}  // namespace

void EmitGridA(MeshCreator& creator, uint32_t start, uint32_t rows, uint32_t columns)
{
    const uint32_t w = columns + 1;
    for (uint32_t r = 0; r < rows; ++r) {
        for (uint32_t c = 0; c < columns; ++c) {
            const uint32_t q = start + r * w + c;
            AddIfSolid(creator, q, q + w, q + 1);
            AddIfSolid(creator, q + 1, q + w, q + w + 1);
        }
    }
}

void EmitGridB(MeshCreator& creator, const CountedVector<MeshVertex>& vertices, uint32_t rows,
               uint32_t columns, CountedVector<MeshFace>& faces)
{
    const uint32_t w = columns + 1;
    for (uint32_t r = 0; r < rows; ++r) {
        for (uint32_t c = 0; c < columns; ++c) {
            const uint32_t q = r * w + c;
            AddIfSolid(creator, vertices, q + 1, q + w, q + w + 1, faces);
            AddIfSolid(creator, vertices, q, q + w, q + 1, faces);
        }
    }
}

void AddMeshVertex(MeshCreator& creator, const MeshVertex& vertex)
{
    const float uv[2] = {vertex.u, vertex.v};
    creator.AddVertex(&vertex.position, &vertex.normal, uv, &vertex.tangent);
}

void EmitFan(MeshCreator& creator, uint32_t centre, uint32_t slices)
{
    for (uint32_t d = centre + 1; d < centre + slices; ++d)
        AddIfSolid(creator, centre, d, d + 1);
    AddIfSolid(creator, centre, centre + slices, centre + 1);
}

}  // namespace ztengine::meshshapes
