#include "core/graphics/framework/mesh/builders/SimpleCubeMeshBuilder.h"

#include "core/graphics/framework/mesh/core/MeshCreator.h"

namespace ztengine {

using ztmath::Vector3;

bool SimpleCubeMeshBuilder::Build(MeshCreator& creator)
{
    const Vector3 corners[8] = {
        {-0.5f, 0.5f, 0.5f},  {0.5f, 0.5f, 0.5f},  {-0.5f, -0.5f, 0.5f},  {0.5f, -0.5f, 0.5f},
        {-0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f},
    };
    // Per face: top-left, top-right, bottom-left, bottom-right as seen from outside.
    const int faces[6][4] = {
        {0, 1, 2, 3},  // front
        {5, 4, 7, 6},  // back
        {4, 0, 6, 2},  // left
        {1, 5, 3, 7},  // right
        {1, 0, 5, 4},  // top
        {7, 6, 3, 2},  // bottom
    };
    const float uvs[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}};
    const Vector3 zero(0.0f, 0.0f, 0.0f);

    for (const auto& face : faces) {
        for (int k = 0; k < 4; ++k) {
            const Vector3& p = corners[face[k]];
            const Vector3 normal = p.Normalized();
            creator.AddVertex(&p, &normal, uvs[k], &zero);
        }
    }
    for (uint32_t k = 0; k < 6; ++k) {
        const uint32_t b = 4 * k;
        creator.AddTriangle(b, b + 2, b + 1);
        creator.AddTriangle(b + 1, b + 2, b + 3);
    }
    creator.ComputeTangents();
    return true;
}

}  // namespace ztengine
