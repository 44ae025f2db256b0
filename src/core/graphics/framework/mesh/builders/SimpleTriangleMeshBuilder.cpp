#include "core/graphics/framework/mesh/builders/SimpleTriangleMeshBuilder.h"

#include "core/graphics/framework/mesh/core/MeshCreator.h"

namespace ztengine {

using ztmath::Vector3;

bool SimpleTriangleMeshBuilder::Build(MeshCreator& creator)
{
    struct Corner {
        Vector3 position;
        float uv[2];
    };
    const Corner corners[6] = {
        {{-1.0f, -1.0f, 0.0f}, {0.0f, 0.0f}}, {{1.0f, -1.0f, 0.0f}, {1.0f, 0.0f}},
        {{-1.0f, 1.0f, 0.0f}, {0.0f, 1.0f}},  {{1.0f, -1.0f, 0.0f}, {1.0f, 0.0f}},
        {{1.0f, 1.0f, 0.0f}, {1.0f, 1.0f}},   {{-1.0f, 1.0f, 0.0f}, {0.0f, 1.0f}},
    };
    const Vector3 normal(0.0f, 0.0f, 1.0f);
    const Vector3 tangent(1.0f, 0.0f, 0.0f);
    for (const Corner& corner : corners)
        creator.AddVertex(&corner.position, &normal, corner.uv, &tangent);
    creator.AddTriangle(0, 1, 2);
    creator.AddTriangle(3, 4, 5);
    return true;
}

}  // namespace ztengine
