// The mesh loader as creator and as info: degenerate triangles, tangents, skin records.
#include <gtest/gtest.h>

#include <array>

#include "MeshExpect.h"
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshLoader.h"

using namespace ztengine;
using ztmath::Vector3;
using ztmath::Vector4;

namespace {

struct Corner {
    Vector3 position;
    float u, v;
};

// A builder that replays a fixed list of corners and triangles.
class ListBuilder : public MeshBuilder {
public:
    ListBuilder(std::vector<Corner> corners, std::vector<std::array<uint32_t, 3>> triangles)
        : m_corners(std::move(corners)), m_triangles(std::move(triangles)) {}
    bool Build(MeshCreator& creator) override
    {
        const Vector3 normal(0, 0, 1);
        const Vector3 junk(9, 9, 9);  // tangents must be recomputed, not kept
        for (const Corner& c : m_corners) {
            const float uv[2] = {c.u, c.v};
            creator.AddVertex(&c.position, &normal, uv, &junk);
        }
        for (const auto& t : m_triangles)
            creator.AddTriangle(t[0], t[1], t[2]);
        creator.ComputeTangents();
        return true;
    }

private:
    std::vector<Corner> m_corners;
    std::vector<std::array<uint32_t, 3>> m_triangles;
};

using meshtest::ExpectVector;

}  // namespace

TEST(MeshLoaderTest, DegenerateTriangleNeedsAnEdgeBelowTheThreshold)
{
    struct Case {
        const char* what;
        Vector3 p0, p1, p2;
        bool degenerate;
    };
    const Case cases[] = {
        {"three coincident points", {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, true},
        {"edges of 1e-6", {0, 0, 0}, {1e-6f, 0, 0}, {0, 1e-6f, 0}, false},
        {"one edge of 5e-8", {0, 0, 0}, {5e-8f, 0, 0}, {0, 1, 0}, true},
        {"closing edge short", {0, 0, 0}, {0, 1, 0}, {0, 0, 5e-8f}, true},
        {"ordinary triangle", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, false},
    };
    for (const Case& c : cases) {
        ListBuilder builder({{c.p0, 0, 0}, {c.p1, 0, 0}, {c.p2, 0, 0}}, {});
        MeshLoader<> loader(&builder);
        loader.Build();
        EXPECT_EQ(loader.IsDegenerateTriangle(0, 1, 2), c.degenerate) << c.what;
    }
}

TEST(MeshLoaderDeathTest, DegenerateTestOfAMissingVertexAsserts)
{
    ListBuilder builder({{{0, 0, 0}, 0, 0}, {{1, 0, 0}, 0, 0}, {{0, 1, 0}, 0, 0}}, {});
    MeshLoader<> loader(&builder);
    loader.Build();
    EXPECT_DEATH(loader.IsDegenerateTriangle(0, 1, 3),
                 "v0 < m_vertices.size\\(\\) && v1 < m_vertices.size\\(\\) && v2 < m_vertices.size\\(\\)");
}

TEST(MeshLoaderTest, TangentsFollowTheTextureUAxisAndAverageUnnormalised)
{
    // Two triangles sharing the edge 1-2 with different tangents, so vertices 1 and 2 get the
    // plain average of both.
    ListBuilder builder(
        {
            {{0, 0, 0}, 0, 0}, {{1, 0, 0}, 1, 0}, {{0, 1, 0}, 0, 1},  // T = (1, 0, 0)
            {{5, 0, 0}, 0, 0},
        },
        {{0, 1, 2}, {3, 1, 2}});
    MeshLoader<> loader(&builder);
    loader.Build();
    ExpectVector(loader.GetVertex(0)->tangent, {1, 0, 0});
    // Second face: p1 - p3 = (-4, 0, 0) with du 1, dv 0; p2 - p3 = (-5, 1, 0) with du 0, dv 1;
    // d = 1, T = (-4, 0, 0).
    ExpectVector(loader.GetVertex(3)->tangent, {-4, 0, 0});
    ExpectVector(loader.GetVertex(1)->tangent, {-1.5f, 0, 0});
    ExpectVector(loader.GetVertex(2)->tangent, {-1.5f, 0, 0});
}

TEST(MeshLoaderTest, EqualTextureCoordinatesLeaveZeroTangents)
{
    ListBuilder builder({{{0, 0, 0}, 0.5f, 0.5f}, {{1, 0, 0}, 0.5f, 0.5f}, {{0, 1, 0}, 0.5f, 0.5f}},
                        {{0, 1, 2}});
    MeshLoader<> loader(&builder);
    loader.Build();
    for (uint32_t i = 0; i < loader.GetVertexCount(); ++i)
        ExpectVector(loader.GetVertex(i)->tangent, {0, 0, 0}, 0.0f);
}

TEST(MeshLoaderTest, TangentPassSkipsFacesNamingMissingVertices)
{
    // Triangles may be added before their vertices; a face still pointing past the vertex list
    // when tangents are computed must not be read.
    ListBuilder builder({{{0, 0, 0}, 0, 0}, {{1, 0, 0}, 1, 0}, {{0, 1, 0}, 0, 1}},
                        {{0, 1, 2}, {0, 1, 40}});
    MeshLoader<> loader(&builder);
    loader.Build();
    EXPECT_EQ(loader.GetFaceCount(), 2u);
    ExpectVector(loader.GetVertex(0)->tangent, {1, 0, 0});
}

TEST(MeshLoaderTest, RecordsFacesSkinAndMissingVertexParts)
{
    ListBuilder builder({}, {});
    MeshLoader<> loader(&builder);
    loader.Build();
    EXPECT_EQ(loader.GetVertexCount(), 0u);
    EXPECT_FALSE(loader.HasSkin());
    EXPECT_FALSE(loader.HasAnimations());

    for (uint32_t i = 0; i < 6; ++i)
        loader.AddTriangle(i, i + 1, i + 2);
    EXPECT_EQ(loader.GetFaceCount(), 6u);
    EXPECT_EQ(loader.GetFace(5)->indices[2], 7u);
    EXPECT_EQ(loader.GetFaces(), loader.GetFace(0));

    loader.AddVertex(nullptr, nullptr, nullptr, nullptr);
    const MeshVertex& vertex = *loader.GetVertices();
    ExpectVector(vertex.position, {0, 0, 0}, 0.0f);
    ExpectVector(vertex.normal, {0, 0, 0}, 0.0f);
    EXPECT_EQ(vertex.u, 0.0f);
    EXPECT_EQ(vertex.v, 0.0f);

    loader.AddSkinWeights(Vector4(0.5f, 0.25f, 0.25f, 0.0f), {3, 1, 7, 0});
    EXPECT_TRUE(loader.HasSkin());
    const SkinWeights skin = loader.GetSkinWeights(0);
    EXPECT_EQ(skin.weights[1], 0.25f);
    EXPECT_EQ(skin.boneIds[2], 7);
    EXPECT_EQ(loader.GetSkinWeightsData()->boneIds[0], 3);
}

TEST(MeshLoaderTest, BuildWithoutBuilderReportsFailure)
{
    MeshLoader<> loader(nullptr);
    EXPECT_FALSE(loader.Build());
    EXPECT_EQ(loader.GetVertexCount(), 0u);
}
