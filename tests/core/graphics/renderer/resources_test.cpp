// Meshes, bounds, materials, models and animations as the renderer records them, checked on the
// headless renderer (the same records the OpenGL renderer keeps).
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/graphics/framework/MeshBounds.h"
#include "core/graphics/framework/mesh/builders/SimpleCubeMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/SphereMeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshLoader.h"
#include "RendererTestUtil.h"
#include "support/NullRenderer3D.h"

namespace {

using renderertest::ExpectNear;
using renderertest::PointsMesh;
using ztengine::BoundingSphere;
using ztengine::MeshBounds;
using ztengine::MeshVertex;
using ztengine::RenderMaterial;
using ztmath::Vector3;

std::vector<MeshVertex> Vertices(const std::vector<Vector3>& points)
{
    std::vector<MeshVertex> vertices(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        vertices[i].position = points[i];
    return vertices;
}

void ExpectContainsAll(const BoundingSphere& sphere, const MeshVertex* vertices, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const float distance = (vertices[i].position - sphere.m_center).Length();
        EXPECT_LE(distance, sphere.m_radius * (1.0f + 1e-5f) + 1e-6f) << "vertex " << i;
    }
}

TEST(MeshBounds, EmptyMeshHasUnitSphereAtOriginAndZeroBox)
{
    const BoundingSphere sphere = ztengine::ComputeBoundingSphere(nullptr, 0);
    EXPECT_EQ(sphere.m_center, Vector3());
    EXPECT_EQ(sphere.m_radius, 1.0f);
    const MeshBounds bounds = ztengine::ComputeMeshBounds(nullptr, 0);
    EXPECT_EQ(bounds.m_min, Vector3());
    EXPECT_EQ(bounds.m_max, Vector3());
    EXPECT_EQ(bounds.m_center, Vector3());
    EXPECT_EQ(bounds.m_extents, Vector3());
}

TEST(MeshBounds, SphereContainsEveryVertex)
{
    // Seeded with a space diagonal, a centred unit cube gets the smallest sphere.
    const std::vector<MeshVertex> diagonalFirst =
        Vertices({{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f},
                  {-0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}});
    const BoundingSphere tight = ztengine::ComputeBoundingSphere(diagonalFirst.data(), diagonalFirst.size());
    ExpectNear(tight.m_center, Vector3());
    EXPECT_NEAR(tight.m_radius, std::sqrt(0.75f), 1e-6f);

    // The cube mesh's own vertex order seeds with a face diagonal: the sphere grows off centre
    // and larger than the smallest (radius 0.866) but still holds every corner.
    ztengine::SimpleCubeMeshBuilder cubeBuilder;
    ztengine::MeshLoader<> cube(&cubeBuilder);
    cube.Build();
    const BoundingSphere cubeSphere = ztengine::ComputeBoundingSphere(cube.GetVertices(), cube.GetVertexCount());
    ExpectContainsAll(cubeSphere, cube.GetVertices(), cube.GetVertexCount());
    EXPECT_LT(cubeSphere.m_radius, 1.1f);

    ztengine::SphereMeshBuilder sphereBuilder(12, 16);
    ztengine::MeshLoader<> sphereMesh(&sphereBuilder);
    sphereMesh.Build();
    const BoundingSphere sphere = ztengine::ComputeBoundingSphere(sphereMesh.GetVertices(), sphereMesh.GetVertexCount());
    ExpectContainsAll(sphere, sphereMesh.GetVertices(), sphereMesh.GetVertexCount());
    // Ritter's sphere is close to the smallest one (radius 0.5 here).
    EXPECT_LT(sphere.m_radius, 0.5f * 1.1f);

    // Clouds where the grown sphere has to move: every vertex stays inside.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f);
    for (int cloud = 0; cloud < 20; ++cloud) {
        std::vector<Vector3> points(200);
        for (Vector3& p : points)
            p = Vector3(coordinate(random), coordinate(random) * 0.2f, coordinate(random) * 3.0f);
        const std::vector<MeshVertex> vertices = Vertices(points);
        ExpectContainsAll(ztengine::ComputeBoundingSphere(vertices.data(), vertices.size()), vertices.data(),
                          vertices.size());
    }
}

TEST(MeshBounds, BoxIsMinimumMaximumCentreAndHalfExtents)
{
    const std::vector<MeshVertex> vertices = Vertices({{1.0f, -2.0f, 3.0f}, {-1.0f, 4.0f, 5.0f}, {0.0f, 0.0f, -1.0f}});
    const MeshBounds bounds = ztengine::ComputeMeshBounds(vertices.data(), vertices.size());
    EXPECT_EQ(bounds.m_min, Vector3(-1.0f, -2.0f, -1.0f));
    EXPECT_EQ(bounds.m_max, Vector3(1.0f, 4.0f, 5.0f));
    EXPECT_EQ(bounds.m_center, Vector3(0.0f, 1.0f, 2.0f));
    EXPECT_EQ(bounds.m_extents, Vector3(1.0f, 3.0f, 3.0f));
}

TEST(RendererMeshes, AddMeshKeepsIndexCountBoundsAndSkeleton)
{
    zttest::NullRenderer3D renderer;
    PointsMesh empty({});
    const int32_t emptyId = renderer.AddMesh(empty.mesh);
    const int32_t cubeId = renderer.CreateCubeMesh();
    EXPECT_EQ(emptyId, 0);
    EXPECT_EQ(cubeId, 1);

    EXPECT_EQ(renderer.GetRawModel(0).m_indexCount, 0u);
    EXPECT_EQ(renderer.GetMeshBoundingSphere(0).m_radius, 1.0f);
    EXPECT_EQ(renderer.GetMeshAABB(0).m_max, Vector3());

    EXPECT_EQ(renderer.GetRawModel(1).m_indexCount, 36u);
    EXPECT_EQ(renderer.GetMeshAABB(1).m_min, Vector3(-0.5f, -0.5f, -0.5f));
    EXPECT_EQ(renderer.GetMeshAABB(1).m_max, Vector3(0.5f, 0.5f, 0.5f));
    EXPECT_NE(renderer.GetRawModel(0).m_vao, renderer.GetRawModel(1).m_vao);
    EXPECT_EQ(renderer.GetBoneCount(1), 0u);
    EXPECT_TRUE(renderer.IsValidMesh(1));
    EXPECT_FALSE(renderer.IsValidMesh(2));
    EXPECT_FALSE(renderer.IsValidMeshId(0xFFFFFFFFu));
}

TEST(RendererMaterials, CreateMaterialResolvesMissingImagesToTheDefaults)
{
    zttest::NullRenderer3D renderer;
    const RenderMaterial defaults = renderer.GetMaterial(0);
    EXPECT_EQ(defaults.m_index, 0);
    EXPECT_NE(defaults.m_diffuseTexture, ztengine::kNoTexture);
    EXPECT_EQ(renderer.GetMaterialCount(), 1u);

    // Nothing given: the default material, nothing created.
    EXPECT_EQ(renderer.CreateMaterial(nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(renderer.GetMaterialCount(), 1u);

    // A height image without a normal image keeps the default displacement.
    const int32_t noNormal = renderer.CreateMaterial("d.png", nullptr, nullptr, "h.png");
    RenderMaterial m = renderer.GetMaterial(noNormal);
    EXPECT_EQ(noNormal, 1);
    EXPECT_EQ(m.m_index, 1);
    EXPECT_EQ(renderer.GetTexturePath(m.m_diffuseTexture), "d.png");
    EXPECT_EQ(m.m_specularTexture, defaults.m_specularTexture);
    EXPECT_EQ(m.m_normalTexture, defaults.m_normalTexture);
    EXPECT_EQ(m.m_displacementTexture, defaults.m_displacementTexture);

    const int32_t full = renderer.CreateMaterial(nullptr, "s.png", "n.png", "h.png");
    m = renderer.GetMaterial(full);
    EXPECT_EQ(m.m_diffuseTexture, defaults.m_diffuseTexture);
    EXPECT_EQ(renderer.GetTexturePath(m.m_specularTexture), "s.png");
    EXPECT_EQ(renderer.GetTexturePath(m.m_normalTexture), "n.png");
    EXPECT_EQ(renderer.GetTexturePath(m.m_displacementTexture), "h.png");

    // Every id outside the list reads as the record of absent textures.
    const RenderMaterial absent{0, 1281, 1281, 1281, 1281, 0};
    EXPECT_EQ(renderer.GetMaterial(static_cast<int32_t>(renderer.GetMaterialCount())), absent);
    EXPECT_EQ(renderer.GetMaterial(-1), absent);
    EXPECT_TRUE(renderer.IsValidMaterial(2));
    EXPECT_FALSE(renderer.IsValidMaterial(3));

    // A blend-map material is always a new one, with the baked texture as diffuse.
    ztengine::BlendMapDescription description;
    description.m_blendMapPath = "blend.png";
    const int32_t blended = renderer.CreateBlendMapMaterial(description, {4.0f, 4.0f}, nullptr, nullptr, nullptr);
    EXPECT_EQ(blended, 3);
    EXPECT_EQ(renderer.GetTexturePath(renderer.GetMaterial(blended).m_diffuseTexture), "blend.png");
    EXPECT_EQ(renderer.GetMaterial(blended).m_normalTexture, defaults.m_normalTexture);
}

TEST(RendererModels, ModelsPairAMaterialWithAMesh)
{
    zttest::NullRenderer3D renderer;
    const int32_t cube = renderer.CreateCubeMesh();
    const int32_t plane = renderer.CreatePlaneMesh(1, 1);
    const int32_t material = renderer.CreateMaterial("a.png", nullptr, nullptr, nullptr);

    EXPECT_EQ(renderer.CreateModel(cube, 0), 0);
    EXPECT_EQ(renderer.CreateModel(plane, material), 1);
    EXPECT_EQ(renderer.GetModelMesh(0), cube);
    EXPECT_EQ(renderer.GetModelMesh(1), plane);
    // Ids are taken as unsigned: -1 is past the end.
    EXPECT_EQ(renderer.GetModelMesh(static_cast<uint32_t>(-1)), -1);
    EXPECT_EQ(renderer.GetModelMesh(2), -1);
    EXPECT_EQ(renderer.GetModelEntityCount(1), 0);
    EXPECT_TRUE(renderer.isValidInstance(1));
    EXPECT_FALSE(renderer.isValidInstance(2));
    EXPECT_FALSE(renderer.isValidInstance(-1));

    renderer.SetModelMesh(1, cube);
    renderer.SetModelMaterial(1, 0);
    EXPECT_EQ(renderer.GetModel(1).m_mesh, cube);
    EXPECT_EQ(renderer.GetModel(1).m_material, 0);

    const MeshBounds bounds = renderer.GetModelAABB(1);
    EXPECT_EQ(bounds.m_extents, Vector3(0.5f, 0.5f, 0.5f));
}

TEST(RendererModels, AnimationQueriesNeedMoreThanOneAnimation)
{
    zttest::NullRenderer3D renderer;
    struct Case {
        uint32_t animations;
        bool has;
    };
    for (const Case& c : {Case{0, false}, Case{1, false}, Case{2, true}, Case{5, true}}) {
        SCOPED_TRACE(c.animations);
        PointsMesh mesh(renderertest::TrianglePoints(), c.animations);
        const int32_t model = renderer.CreateModel(static_cast<uint32_t>(renderer.AddMesh(mesh.mesh)), 0);
        EXPECT_EQ(renderer.HasAnimations(model), c.has);
        EXPECT_EQ(renderer.GetAnimationCount(model), c.animations);
    }
    for (int32_t invalid : {-1, 4, 1000}) {
        EXPECT_FALSE(renderer.HasAnimations(invalid));
        EXPECT_EQ(renderer.GetAnimationCount(invalid), 0u);
        EXPECT_FALSE(renderer.LoadAnimation(invalid, "animation/anim_skele_run.fbx"));
    }
    // A file that cannot be read loads nothing and says so.
    EXPECT_FALSE(renderer.LoadAnimation(0, "animation/no_such_file.fbx"));
    EXPECT_EQ(renderer.GetAnimationCount(0), 0u);

    // A readable file appends its clips after the ones the mesh has; other meshes keep theirs.
    const std::string clip = std::string(ZT_RUNTIME_DIR) + "/animation/anim_skele_run.fbx";
    EXPECT_TRUE(renderer.LoadAnimation(1, clip.c_str()));
    EXPECT_GE(renderer.GetAnimationCount(1), 2u);
    EXPECT_TRUE(renderer.HasAnimations(1));
    EXPECT_EQ(renderer.GetAnimationCount(2), 2u);
}

TEST(RendererModels, LiveInstanceCountFollowsIncrementAndDecrement)
{
    zttest::NullRenderer3D renderer;
    const int32_t model = renderer.CreateModel(static_cast<uint32_t>(renderer.CreateCubeMesh()), 0);
    renderer.IncrementModelEntityCount(model);
    renderer.IncrementModelEntityCount(model);
    renderer.DecrementModelEntityCount(model);
    EXPECT_EQ(renderer.GetModelEntityCount(0), 1);
}

TEST(RendererResourceDeathTest, OutOfRangeIdsStopTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    zttest::NullRenderer3D renderer;
    renderer.CreateCubeMesh();
    EXPECT_DEATH(renderer.GetMeshBoundingSphere(-1), "meshId >= 0");
    EXPECT_DEATH(renderer.GetMeshBoundingSphere(1), "meshId < \\(int\\)m_modelBs.size\\(\\)");
    EXPECT_DEATH(renderer.GetMeshAABB(1), "meshId\\) < m_rawModels.size\\(\\)");
    EXPECT_DEATH(renderer.GetBoneCount(1), "meshId\\) < m_rawModels.size\\(\\)");
    EXPECT_DEATH(renderer.CreateModel(1, 0), "meshid\\) < m_rawModels.size\\(\\)");
    EXPECT_DEATH(renderer.CreateModel(0, 5), "mat < m_materials.size\\(\\)");
    EXPECT_DEATH(renderer.SetModelMesh(0, 0), "texturedModelInstance\\) < m_texturedBatch.size\\(\\)");
    EXPECT_DEATH(renderer.IncrementModelEntityCount(-1), "texturedMeshInstance >= 0");
    EXPECT_DEATH(renderer.DecrementModelEntityCount(3), "m_texturedEntityCount.size\\(\\)");
}

}  // namespace
