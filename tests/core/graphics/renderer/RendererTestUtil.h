#pragma once
// Small meshes and comparisons shared by the renderer tests.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "core/graphics/framework/mesh/builders/MeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshCreator.h"
#include "core/graphics/framework/mesh/core/MeshLoader.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace renderertest {

// A mesh of the given points, one triangle per three of them; optionally skinned, and with a
// number of empty animations in its set.
class PointsBuilder : public ztengine::MeshBuilder {
public:
    explicit PointsBuilder(std::vector<ztmath::Vector3> points, uint32_t animations = 0, bool skinned = false)
        : m_points(std::move(points)), m_animations(animations), m_skinned(skinned)
    {
    }

    bool Build(ztengine::MeshCreator& creator) override
    {
        const float uv[2] = {0.0f, 0.0f};
        for (const ztmath::Vector3& p : m_points) {
            creator.AddVertex(&p, nullptr, uv, nullptr);
            if (m_skinned)
                creator.AddSkinWeights(ztmath::Vector4(1.0f, 0.0f, 0.0f, 0.0f), std::array<int32_t, 4>{2, 0, 0, 0});
        }
        for (uint32_t i = 0; i + 2 < m_points.size(); i += 3)
            creator.AddTriangle(i, i + 1, i + 2);
        for (uint32_t i = 0; i < m_animations; ++i)
            creator.GetMutableAnimations().m_animations.emplace_back();
        return true;
    }

private:
    std::vector<ztmath::Vector3> m_points;
    uint32_t m_animations;
    bool m_skinned;
};

// A built mesh of the points, ready for AddMesh.
struct PointsMesh {
    explicit PointsMesh(std::vector<ztmath::Vector3> points, uint32_t animations = 0, bool skinned = false)
        : builder(std::move(points), animations, skinned), mesh(&builder)
    {
        mesh.Build();
    }
    PointsBuilder builder;
    ztengine::MeshLoader<> mesh;
};

inline std::vector<ztmath::Vector3> TrianglePoints()
{
    return {{0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
}

inline void ExpectNear(const ztmath::Vector3& actual, const ztmath::Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace renderertest
