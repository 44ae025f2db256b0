// The procedural shapes: topology, normals, winding and tangents of every builder, and what they
// make of zero counts.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "MeshExpect.h"
#include "core/graphics/framework/mesh/builders/MeshBuilders.h"
#include "core/graphics/framework/mesh/core/MeshLoader.h"

using namespace ztengine;
using ztmath::Vector3;

namespace {

constexpr float kPi = 3.1415927f;

using meshtest::ExpectVector;

bool Finite(const Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

Vector3 FaceNormal(const MeshInfo& mesh, const MeshFace& face)
{
    const Vector3& a = mesh.GetVertex(face.indices[0])->position;
    const Vector3& b = mesh.GetVertex(face.indices[1])->position;
    const Vector3& c = mesh.GetVertex(face.indices[2])->position;
    return (b - a).Cross(c - a);
}

struct BuilderCase {
    std::string name;
    std::function<std::unique_ptr<MeshBuilder>()> make;
    uint32_t vertices;
    uint32_t faces;
    uint32_t estimate;
    // Whether the vertex normals are meaningful (the line has none).
    bool hasNormals = true;
};

std::string CaseName(const testing::TestParamInfo<BuilderCase>& info)
{
    return info.param.name;
}

HeightImage FlatImage()
{
    return HeightImage{};
}

const BuilderCase kBuilderCases[] = {
    {"Cube", [] { return std::make_unique<SimpleCubeMeshBuilder>(); }, 24, 12, 24},
    {"TriangleSquare", [] { return std::make_unique<SimpleTriangleMeshBuilder>(); }, 6, 2, 0},
    {"Line", [] { return std::make_unique<LineBuilder>(); }, 2, 1, 2, false},
    {"Plane1x1", [] { return std::make_unique<PlaneMeshBuilder>(1, 1); }, 4, 2, 4},
    {"Plane3x2", [] { return std::make_unique<PlaneMeshBuilder>(3, 2); }, 12, 12, 12},
    // 2 x 16 x 16 triangles less the 2 x 16 collapsed ones at the poles.
    {"Sphere16x16", [] { return std::make_unique<SphereMeshBuilder>(16, 16); }, 289, 480, 289},
    {"Sphere15x15", [] { return std::make_unique<SphereMeshBuilder>(15, 15); }, 256, 420, 256},
    {"TorusFull", [] { return std::make_unique<TorusMeshBuilder>(8, 12, 0.0f, 2 * kPi, 0.7f); },
     117, 192, 117},
    {"TorusHalf", [] { return std::make_unique<TorusMeshBuilder>(6, 6, 0.0f, kPi, 0.7f); },
     49, 72, 49},
    // One stack: the side's upper row is the tip, so only one triangle per slice survives.
    {"Cone1Stack", [] { return std::make_unique<ConeMeshBuilder>(1, 8); }, 28, 16, 28},
    {"Cone4Stacks", [] { return std::make_unique<ConeMeshBuilder>(4, 8); }, 55, 64, 55},
    {"Cylinder", [] { return std::make_unique<CylinderMeshBuilder>(2, 6); }, 37, 36, 37},
    {"HeightMapDefault", [] { return std::make_unique<HeightMapMeshBuilder>(); }, 2601, 5000, 2601},
    {"HeightMap3x4", [] { return std::make_unique<HeightMapMeshBuilder>(FlatImage(), 3, 4); }, 20,
     24, 20},
};

class BuilderTableTest : public testing::TestWithParam<BuilderCase> {};

}  // namespace

TEST_P(BuilderTableTest, TopologyNormalsAndWinding)
{
    const BuilderCase& c = GetParam();
    std::unique_ptr<MeshBuilder> builder = c.make();
    EXPECT_EQ(builder->EstimateVertexCount(), c.estimate);

    MeshLoader<> mesh(builder.get());
    ASSERT_TRUE(mesh.Build());
    EXPECT_EQ(mesh.GetVertexCount(), c.vertices);
    EXPECT_EQ(mesh.GetFaceCount(), c.faces);
    EXPECT_FALSE(mesh.HasSkin());
    EXPECT_FALSE(mesh.HasAnimations());
    EXPECT_EQ(mesh.GetSkeleton().GetBoneCount(), 0u);

    for (uint32_t i = 0; i < mesh.GetVertexCount(); ++i) {
        const MeshVertex& v = *mesh.GetVertex(i);
        ASSERT_TRUE(Finite(v.position) && Finite(v.normal) && Finite(v.tangent)) << "vertex " << i;
        if (c.hasNormals) {
            EXPECT_NEAR(v.normal.Length(), 1.0f, 1e-5f) << "vertex " << i;
        }
    }

    for (uint32_t f = 0; f < mesh.GetFaceCount(); ++f) {
        const MeshFace& face = *mesh.GetFace(f);
        for (uint32_t index : face.indices)
            ASSERT_LT(index, mesh.GetVertexCount()) << "face " << f;
        if (!c.hasNormals)
            continue;
        EXPECT_FALSE(mesh.IsDegenerateTriangle(face.indices[0], face.indices[1], face.indices[2]))
            << "face " << f;
        // Counter-clockwise from the side the normals face.
        Vector3 normals;
        for (uint32_t index : face.indices)
            normals += mesh.GetVertex(index)->normal;
        EXPECT_GT(FaceNormal(mesh, face).Dot(normals), 0.0f) << "face " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, BuilderTableTest, testing::ValuesIn(kBuilderCases), CaseName);

TEST(MeshBuildersTest, ZeroCountsBuildTheSmallestShapeInsteadOfDividingByZero)
{
    struct Case {
        const char* what;
        std::function<std::unique_ptr<MeshBuilder>()> make;
        uint32_t vertices;
    };
    const Case cases[] = {
        {"plane", [] { return std::make_unique<PlaneMeshBuilder>(0, 0); }, 4},
        {"sphere", [] { return std::make_unique<SphereMeshBuilder>(0, 0); }, 4},
        {"torus", [] { return std::make_unique<TorusMeshBuilder>(0, 0, 0.0f, kPi, 0.3f); }, 4},
        {"cone", [] { return std::make_unique<ConeMeshBuilder>(0, 0); }, 7},
        {"cylinder", [] { return std::make_unique<CylinderMeshBuilder>(0, 0); }, 10},
        {"height map", [] { return std::make_unique<HeightMapMeshBuilder>(HeightImage{}, 0, 0); }, 4},
    };
    for (const Case& c : cases) {
        std::unique_ptr<MeshBuilder> builder = c.make();
        MeshLoader<> mesh(builder.get());
        mesh.Build();
        EXPECT_EQ(mesh.GetVertexCount(), c.vertices) << c.what;
        EXPECT_EQ(builder->EstimateVertexCount(), c.vertices) << c.what;
        for (uint32_t i = 0; i < mesh.GetVertexCount(); ++i) {
            const MeshVertex& v = *mesh.GetVertex(i);
            EXPECT_TRUE(Finite(v.position) && Finite(v.normal) && Finite(v.tangent) &&
                        std::isfinite(v.u) && std::isfinite(v.v))
                << c.what << " vertex " << i;
        }
    }
}

TEST(MeshBuildersTest, CubeHasSmoothCornerNormalsAndUAlongEachFace)
{
    SimpleCubeMeshBuilder builder;
    MeshLoader<> mesh(&builder);
    mesh.Build();
    // The corner (0.5, 0.5, 0.5) belongs to the front, right and top faces.
    int found = 0;
    for (uint32_t i = 0; i < mesh.GetVertexCount(); ++i) {
        const MeshVertex& v = *mesh.GetVertex(i);
        if (v.position == Vector3(0.5f, 0.5f, 0.5f)) {
            ExpectVector(v.normal, {0.57735f, 0.57735f, 0.57735f});
            ++found;
        }
    }
    EXPECT_EQ(found, 3);
    // Front face: u runs along +x over one unit, so the tangent is (1, 0, 0).
    for (uint32_t i = 0; i < 4; ++i)
        ExpectVector(mesh.GetVertex(i)->tangent, {1, 0, 0});
    EXPECT_EQ(mesh.GetFace(0)->indices[1], 2u);
    EXPECT_EQ(mesh.GetFace(1)->indices[0], 1u);
}

TEST(MeshBuildersTest, PlaneOfOneQuadEmitsTheTwoGridTriangles)
{
    PlaneMeshBuilder builder(1, 1);
    MeshLoader<> mesh(&builder);
    mesh.Build();
    const uint32_t expected[2][3] = {{1, 2, 3}, {0, 2, 1}};
    for (uint32_t f = 0; f < 2; ++f)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(mesh.GetFace(f)->indices[k], expected[f][k]);
    ExpectVector(mesh.GetVertex(0)->position, {-0.5f, 0.5f, 0.0f});
    ExpectVector(mesh.GetVertex(3)->position, {0.5f, -0.5f, 0.0f});
    EXPECT_EQ(mesh.GetVertex(3)->u, 1.0f);
    EXPECT_EQ(mesh.GetVertex(3)->v, 1.0f);
    ExpectVector(mesh.GetVertex(2)->tangent, {1, 0, 0});
    EXPECT_EQ(builder.GetFaces().size(), 2u);
}

TEST(MeshBuildersTest, LineIsOneDeliberatelyDegenerateTriangle)
{
    LineBuilder builder;
    MeshLoader<> mesh(&builder);
    mesh.Build();
    ExpectVector(mesh.GetVertex(0)->position, {0, 0, -0.5f});
    ExpectVector(mesh.GetVertex(1)->position, {0, 0, 0.5f});
    EXPECT_EQ(mesh.GetFace(0)->indices[0], 0u);
    EXPECT_EQ(mesh.GetFace(0)->indices[1], 1u);
    EXPECT_EQ(mesh.GetFace(0)->indices[2], 1u);
}

TEST(MeshBuildersTest, SphereVerticesLieOnTheRadiusWithTangentsAlongLongitude)
{
    SphereMeshBuilder builder(8, 12);
    MeshLoader<> mesh(&builder);
    mesh.Build();
    for (uint32_t i = 0; i < mesh.GetVertexCount(); ++i) {
        const MeshVertex& v = *mesh.GetVertex(i);
        EXPECT_NEAR(v.position.Length(), 0.5f, 1e-5f);
        ExpectVector(v.normal, v.position * 2.0f);
        const bool pole = i < 13 || i >= mesh.GetVertexCount() - 13;
        if (pole)
            continue;
        const float longitude = v.u * 2.0f * kPi;
        const Vector3 east(std::cos(longitude), 0.0f, -std::sin(longitude));
        EXPECT_GT(v.tangent.Dot(east), 0.0f) << "vertex " << i;
        // Away from the seam the chords on both sides average out to a true tangent.
        const bool seam = i % 13 == 0 || i % 13 == 12;
        if (!seam) {
            EXPECT_NEAR(v.tangent.Dot(v.normal), 0.0f, 0.05f * v.tangent.Length()) << "vertex " << i;
        }
    }
}

TEST(MeshBuildersTest, TorusLeavesTangentsZeroAndSweepsOnlyItsAngle)
{
    TorusMeshBuilder builder(6, 6, 0.0f, kPi, 0.7f);
    MeshLoader<> mesh(&builder);
    mesh.Build();
    for (uint32_t i = 0; i < mesh.GetVertexCount(); ++i) {
        const MeshVertex& v = *mesh.GetVertex(i);
        ExpectVector(v.tangent, {0, 0, 0}, 0.0f);
        // Nothing lies farther from the axis than the outer equator.
        const float d = std::sqrt(v.position.x * v.position.x + v.position.z * v.position.z);
        EXPECT_LE(d, 1.0f + 1e-5f);
    }
    // The ring's outer equator: theta = 0 at a = 3, distance (1 - m) + m = 1.
    ExpectVector(mesh.GetVertex(3 * 7 + 0)->position, {0.0f, 0.0f, 1.0f});
    ExpectVector(mesh.GetVertex(3 * 7 + 6)->position, {0.0f, 0.0f, -1.0f}, 1e-5f);
}

TEST(MeshBuildersTest, ConeAndCylinderSpanTheUnitHeightWithRadiusHalf)
{
    ConeMeshBuilder cone(3, 8);
    MeshLoader<> coneMesh(&cone);
    coneMesh.Build();
    ExpectVector(coneMesh.GetVertex(0)->position, {0, -0.5f, 0});
    ExpectVector(coneMesh.GetVertex(1)->position, {0, -0.5f, 0.5f});
    // Last vertex: the tip.
    ExpectVector(coneMesh.GetVertex(coneMesh.GetVertexCount() - 1)->position, {0, 0.5f, 0});

    CylinderMeshBuilder cylinder(2, 8);
    MeshLoader<> cylinderMesh(&cylinder);
    cylinderMesh.Build();
    for (uint32_t i = 0; i < cylinderMesh.GetVertexCount(); ++i) {
        const Vector3& p = cylinderMesh.GetVertex(i)->position;
        EXPECT_LE(std::fabs(p.y), 0.5f + 1e-6f);
        const float r = std::sqrt(p.x * p.x + p.z * p.z);
        EXPECT_TRUE(r < 1e-6f || std::fabs(r - 0.5f) < 1e-5f) << "vertex " << i;
    }
    // Top centre: after the bottom cap (10) and three side rings (27).
    ExpectVector(cylinderMesh.GetVertex(37)->position, {0, 0.5f, 0});
    ExpectVector(cylinderMesh.GetVertex(37)->normal, {0, 1, 0});
}

TEST(MeshBuildersTest, HeightMapTakesHeightsFromTheImageAndCoversTheUnitSquare)
{
    // A 4 x 4 two-channel image whose first channel holds the column number, the second junk.
    HeightImage image;
    image.channels = 2;
    image.width = 4;
    image.height = 4;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            image.pixels.push_back(static_cast<float>(column));
            image.pixels.push_back(-100.0f);
        }

    HeightMapMeshBuilder builder(image, 4, 4);
    MeshLoader<> mesh(&builder);
    mesh.Build();
    ASSERT_EQ(mesh.GetVertexCount(), 25u);

    // Corners of the grid are the corners of the unit square.
    ExpectVector(mesh.GetVertex(0)->position, {-0.5f, 0.0f, -0.5f});
    EXPECT_NEAR(mesh.GetVertex(24)->position.x, 0.5f, 1e-6f);
    EXPECT_NEAR(mesh.GetVertex(24)->position.z, 0.5f, 1e-6f);
    EXPECT_EQ(mesh.GetVertex(24)->u, 1.0f);

    // Column j samples pixel column floor(4 j / 4) = j; the far edge stays on the last pixel.
    for (uint32_t j = 0; j < 5; ++j)
        EXPECT_EQ(mesh.GetVertex(2 * 5 + j)->position.y, static_cast<float>(std::min(j, 3u)))
            << "column " << j;

    // Inner normal: heights rise by 1 per column, so n = normalise(-(2), 2, 0).
    ExpectVector(mesh.GetVertex(2 * 5 + 1)->normal, Vector3(-2, 2, 0).Normalized());
    // At the left border the missing neighbour is the vertex itself: -(1 - 0).
    ExpectVector(mesh.GetVertex(2 * 5 + 0)->normal, Vector3(-1, 2, 0).Normalized());
}

TEST(MeshBuildersTest, HeightMapReadsItsDefaultImageThroughTheInstalledReader)
{
    std::string requested;
    HeightMapMeshBuilder::SetImageReader([&](const char* path, HeightImage& image) {
        requested = path;
        image.channels = 1;
        image.width = 1;
        image.height = 1;
        image.pixels.assign(1, 0.25f);
        return true;
    });
    HeightMapMeshBuilder builder;
    HeightMapMeshBuilder::SetImageReader(nullptr);

    EXPECT_EQ(requested, "textures/diff/black.jpg");
    MeshLoader<> mesh(&builder);
    mesh.Build();
    EXPECT_EQ(mesh.GetVertexCount(), 51u * 51u);
    EXPECT_EQ(mesh.GetVertex(1234)->position.y, 0.25f);
    ExpectVector(mesh.GetVertex(1234)->normal, {0, 1, 0});
}
