// Importing model files: first mesh only, skin weights, the skeleton and animations, and files
// that lack parts (no UVs, only lines, no animation, nothing readable at all).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "SceneFixtures.h"
#include "core/animation/Skeleton/AnimationLoader.h"
#include "core/graphics/framework/mesh/builders/CustomMeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshLoader.h"
#include "core/graphics/framework/mesh/import/AssimpModelImporter.h"
#include "support/TestSupport.h"

using namespace ztengine;
using namespace meshfixtures;
using ztmath::Matrix4x4;
using ztmath::Vector3;

namespace {

const char* kTwoObjects =
    "o First\n"
    "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
    "f 1 2 3\n"
    "o Second\n"
    "v 5 5 5\nv 6 5 5\nv 5 6 5\nv 6 6 5\n"
    "f 4 5 6\nf 5 7 6\n";

const char* kLinesOnly =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\n"
    "l 1 2 3\n";

// A quad of two triangles at z = 0, and a third triangle beside it, driven by six bones in a
// chain.
FixtureScene SkinnedQuad()
{
    FixtureScene scene;
    FixtureMesh mesh;
    mesh.name = "Quad";
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 0, 0}};
    mesh.faces = {{0, 1, 2}, {1, 3, 2}, {1, 4, 3}};
    // Vertex 0 is pulled by all six bones; the four heaviest are bones 1, 5, 3 and 2.
    const float vertex0[6] = {0.05f, 0.30f, 0.10f, 0.25f, 0.02f, 0.28f};
    // Vertex 4 too, but three bones tie at the cut: the fourth place goes to the lowest of
    // bones 0, 2 and 4.
    const float vertex4[6] = {0.10f, 0.30f, 0.10f, 0.20f, 0.10f, 0.20f};
    for (int b = 0; b < 6; ++b) {
        FixtureBone bone;
        bone.name = "Bone" + std::to_string(b);
        bone.weights.push_back({0u, vertex0[b]});
        bone.weights.push_back({4u, vertex4[b]});
        if (b == 0)
            bone.weights.push_back({1u, 0.0f});  // vertex 1: only a zero weight
        if (b == 2)
            bone.weights.push_back({2u, 0.2f});
        if (b == 4)
            bone.weights.push_back({2u, 0.6f});
        // Bone b sits b units up the chain; its offset undoes that.
        bone.offset = Translation(0.0f, -static_cast<float>(b), 0.0f);
        mesh.bones.push_back(bone);
    }
    scene.meshes.push_back(mesh);

    scene.nodes.push_back({"Root", -1, aiMatrix4x4(), {}});
    scene.nodes.push_back({"QuadNode", 0, aiMatrix4x4(), {0}});
    for (int b = 0; b < 6; ++b) {
        const int parent = b == 0 ? 0 : static_cast<int>(scene.nodes.size()) - 1;
        scene.nodes.push_back({"Bone" + std::to_string(b), parent,
                               b == 0 ? aiMatrix4x4() : Translation(0, 1, 0), {}});
    }
    return scene;
}

FixtureAnimation BindPoseAnimation(const std::string& name)
{
    FixtureAnimation animation;
    animation.name = name;
    animation.duration = 2.0;
    FixtureChannel channel;
    channel.node = "Bone1";
    for (double t : {0.0, 1.0, 2.0}) {
        channel.positions.push_back(VectorKeyAt(t, 0, 1, 0));
        channel.rotations.push_back(RotationKeyAt(t, aiVector3D(0, 0, 1), 0.0f));
        channel.scales.push_back(VectorKeyAt(t, 1, 1, 1));
    }
    animation.channels.push_back(channel);
    return animation;
}

std::string Str(const CountedString& s)
{
    return std::string(s.c_str(), s.size());
}

// Vertex of a built mesh at a position; import may reorder vertices.
int FindVertex(const MeshInfo& mesh, const Vector3& position)
{
    for (uint32_t i = 0; i < mesh.GetVertexCount(); ++i) {
        if ((mesh.GetVertex(i)->position - position).Length() < 1e-5f)
            return static_cast<int>(i);
    }
    return -1;
}

class ModelImportTest : public testing::Test {
protected:
    void SetUp() override { m_dir = zttest::MakeTempDir("model-import"); }

    std::filesystem::path WriteFbx(const std::string& name, const FixtureScene& scene)
    {
        const std::filesystem::path file = m_dir / name;
        const std::string error = WriteScene(scene, file, "fbxa");
        EXPECT_EQ(error, "");
        return file;
    }

    std::filesystem::path WriteObj(const std::string& name, const std::string& text)
    {
        const std::filesystem::path file = m_dir / name;
        WriteText(file, text);
        return file;
    }

    std::filesystem::path m_dir;
};

// Builds a mesh from a file with a builder of the test's own.
struct BuiltMesh {
    explicit BuiltMesh(const std::filesystem::path& file) : loader(&builder)
    {
        builder.SetFile(file.parent_path().string() + "/", file.filename().string());
        ok = loader.Build();
    }
    CustomMeshBuilder builder;
    MeshLoader<> loader;
    bool ok = false;
};

}  // namespace

TEST_F(ModelImportTest, OnlyTheFirstMeshOfAFileIsUsed)
{
    AssimpModelImporter importer;
    const ImportResult result = importer.Load(WriteObj("two.obj", kTwoObjects).c_str());
    EXPECT_EQ(result.modelIndex, 1);
    EXPECT_EQ(result.animationSetIndex, -1);
    const ImportedModel& model = importer.GetModel(result.modelIndex);
    EXPECT_EQ(model.vertexCount, 3u);
    EXPECT_EQ(model.faceCount, 1u);
    EXPECT_EQ(model.indexCount, 3u);
    for (const Vector3& p : model.positions)
        EXPECT_LT(p.Length(), 2.0f);
}

TEST_F(ModelImportTest, MeshWithoutTextureCoordinatesGetsZerosAndGeneratedNormals)
{
    BuiltMesh built(WriteObj("plain.obj", kTwoObjects));
    ASSERT_TRUE(built.ok);
    const ImportedModel& model = built.builder.GetImporter().GetModel(built.builder.GetLastResult().modelIndex);
    EXPECT_EQ(model.flags & kImportedTexCoords, 0u);
    EXPECT_EQ(model.flags & kImportedTangents, 0u);
    EXPECT_NE(model.flags & kImportedNormals, 0u);

    ASSERT_EQ(built.loader.GetVertexCount(), 3u);
    EXPECT_EQ(built.loader.GetFaceCount(), 1u);
    for (uint32_t i = 0; i < 3; ++i) {
        const MeshVertex& v = *built.loader.GetVertex(i);
        EXPECT_EQ(v.u, 0.0f);
        EXPECT_EQ(v.v, 0.0f);
        EXPECT_EQ(v.tangent, Vector3(0, 0, 0));
        EXPECT_NEAR(v.normal.z, 1.0f, 1e-5f);
    }
    EXPECT_FALSE(built.loader.HasSkin());
    EXPECT_FALSE(built.loader.HasAnimations());
    EXPECT_EQ(built.builder.EstimateVertexCount(), 3u);
}

// Normals written in the file at any length arrive as unit vectors in their own directions.
TEST_F(ModelImportTest, NormalsFromTheFileAreMadeUnitLength)
{
    const char* kLongAndShortNormals =
        "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
        "vn 0 0 5\nvn 0 0.2 0\nvn 3 4 0\n"
        "f 1//1 2//2 3//3\n";
    const Vector3 expected[3] = {{0, 0, 1}, {0, 1, 0}, {0.6f, 0.8f, 0}};

    BuiltMesh built(WriteObj("normals.obj", kLongAndShortNormals));
    ASSERT_TRUE(built.ok);
    const ImportedModel& model = built.builder.GetImporter().GetModel(built.builder.GetLastResult().modelIndex);
    EXPECT_NE(model.flags & kImportedNormals, 0u);
    ASSERT_EQ(model.normals.size(), 3u);
    const Vector3 corners[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const int v = FindVertex(built.loader, corners[i]);
        ASSERT_GE(v, 0);
        const Vector3 n = model.normals[static_cast<size_t>(v)];
        EXPECT_NEAR(n.Length(), 1.0f, 1e-5f);
        EXPECT_NEAR((n - expected[i]).Length(), 0.0f, 1e-5f);
        EXPECT_NEAR((built.loader.GetVertex(static_cast<uint32_t>(v))->normal - expected[i]).Length(), 0.0f, 1e-5f);
    }
}

TEST_F(ModelImportTest, LinesOnlyMeshImportsWithoutTriangles)
{
    const std::filesystem::path file = WriteObj("lines.obj", kLinesOnly);
    std::unique_ptr<BuiltMesh> built;
    const std::string out = zttest::CaptureStdout([&] { built = std::make_unique<BuiltMesh>(file); });
    EXPECT_NE(out.find("Primitive is not a triangle\n"), std::string::npos) << out;
    EXPECT_TRUE(built->ok);
    EXPECT_GT(built->loader.GetVertexCount(), 0u);
    EXPECT_EQ(built->loader.GetFaceCount(), 0u);
}

TEST_F(ModelImportTest, UnreadableFilePrintsTheErrorAndLeavesTheMeshEmpty)
{
    const std::filesystem::path file = m_dir / "missing.fbx";
    std::unique_ptr<BuiltMesh> built;
    const std::string out = zttest::CaptureStdout([&] { built = std::make_unique<BuiltMesh>(file); });
    EXPECT_NE(out.find("missing.fbx"), std::string::npos) << out;
    EXPECT_EQ(out.back(), '\n');
    EXPECT_FALSE(built->ok);
    EXPECT_EQ(built->builder.GetLastResult().modelIndex, -1);
    EXPECT_EQ(built->builder.GetLastResult().animationSetIndex, -1);
    EXPECT_EQ(built->loader.GetVertexCount(), 0u);
    EXPECT_EQ(built->loader.GetFaceCount(), 0u);
}

TEST_F(ModelImportTest, SkinKeepsTheFourHeaviestInfluencesScaledToOne)
{
    BuiltMesh built(WriteFbx("skinned.fbx", SkinnedQuad()));
    ASSERT_TRUE(built.ok);
    const MeshInfo& mesh = built.loader;
    ASSERT_TRUE(mesh.HasSkin());
    EXPECT_FALSE(mesh.HasAnimations());
    ASSERT_EQ(mesh.GetSkeleton().GetBoneCount(), 6u);

    struct Expected {
        Vector3 position;
        int32_t bones[4];
        float weights[4];
    };
    const float sum0 = 0.30f + 0.10f + 0.25f + 0.28f;
    const Expected cases[] = {
        // Six influences: the four heaviest, in bone order, renormalised.
        {{0, 0, 0}, {1, 2, 3, 5}, {0.30f / sum0, 0.10f / sum0, 0.25f / sum0, 0.28f / sum0}},
        // Six influences tied at the cut: the heaviest three and, of the tied ones, the lowest
        // bone; not the four lowest bones, whatever their weights.
        {{2, 0, 0}, {0, 1, 3, 5}, {0.125f, 0.375f, 0.25f, 0.25f}},
        // Two influences summing to 0.8 are scaled up to 1.
        {{0, 1, 0}, {2, 4, 0, 0}, {0.25f, 0.75f, 0, 0}},
        // No influence at all: an empty record.
        {{1, 1, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Expected& e : cases) {
        const int v = FindVertex(mesh, e.position);
        ASSERT_GE(v, 0);
        const SkinWeights skin = mesh.GetSkinWeights(static_cast<uint32_t>(v));
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) {
            const int32_t bone = skin.boneIds[k];
            const std::string name = Str(mesh.GetSkeleton().m_bones[static_cast<size_t>(bone)].name);
            if (e.weights[k] > 0.0f) {
                EXPECT_EQ(name, "Bone" + std::to_string(e.bones[k])) << "slot " << k;
            }
            EXPECT_NEAR(skin.weights[k], e.weights[k], 1e-5f) << "slot " << k;
            sum += skin.weights[k];
        }
        EXPECT_TRUE(std::fabs(sum - 1.0f) < 1e-5f || sum == 0.0f);
    }

    // A vertex whose only weight is 0 keeps it instead of dividing by a zero sum.
    const int lone = FindVertex(mesh, {1, 0, 0});
    ASSERT_GE(lone, 0);
    const ImportedModel& model = built.builder.GetImporter().GetModel(built.builder.GetLastResult().modelIndex);
    ASSERT_EQ(model.influences[static_cast<size_t>(lone)].size(), 1u);
    EXPECT_EQ(model.influences[static_cast<size_t>(lone)][0].weight, 0.0f);
    const SkinWeights skin = mesh.GetSkinWeights(static_cast<uint32_t>(lone));
    for (float w : skin.weights)
        EXPECT_EQ(w, 0.0f);
}

TEST_F(ModelImportTest, SkeletonComesFromTheBonesAndTheFlattenedNodeTree)
{
    BuiltMesh built(WriteFbx("skeleton.fbx", SkinnedQuad()));
    ASSERT_TRUE(built.ok);
    const Skeleton& skeleton = built.loader.GetSkeleton();
    const ImportedModel& model = built.builder.GetImporter().GetModel(built.builder.GetLastResult().modelIndex);

    ASSERT_EQ(skeleton.mNodeBuffer.size(), model.nodes.size());
    ASSERT_FALSE(model.nodes.empty());
    EXPECT_EQ(model.nodes[0].parentIndex, -1);
    for (size_t n = 0; n < model.nodes.size(); ++n) {
        const ImportedNode& node = model.nodes[n];
        EXPECT_EQ(node.childCount, node.children.size());
        for (uint32_t child : node.children) {
            // Depth first: children come after their parent and point back to it.
            EXPECT_GT(child, n);
            EXPECT_EQ(model.nodes[child].parentIndex, static_cast<int32_t>(n));
        }
        EXPECT_EQ(skeleton.mNodeBuffer[n].name, node.name);
    }

    // Each bone takes its node's parent and transform: BoneN hangs one unit above BoneN-1.
    for (uint32_t b = 1; b < 6; ++b) {
        const Bone* bone = skeleton.FindBone("Bone" + std::to_string(b));
        ASSERT_NE(bone, nullptr);
        ASSERT_GE(bone->parentIndex, 0);
        EXPECT_EQ(Str(model.nodes[static_cast<size_t>(bone->parentIndex)].name),
                  "Bone" + std::to_string(b - 1));
        EXPECT_NEAR(bone->nodeTransform.m[7], 1.0f, 1e-5f);
        EXPECT_NEAR(bone->offset.m[7], -static_cast<float>(b), 1e-4f);
    }
    EXPECT_EQ(skeleton.FindBoneIndex("NoSuchBone"), -1);
    EXPECT_EQ(skeleton.m_rootMatrix, Matrix4x4());
}

TEST_F(ModelImportTest, AnimationsArriveWithTheMeshAndEachImportTakesTheNextIndex)
{
    FixtureScene walk = SkinnedQuad();
    walk.animations.push_back(BindPoseAnimation("Walk"));
    FixtureScene run = SkinnedQuad();
    run.animations.push_back(BindPoseAnimation("Run"));

    AssimpModelImporter importer;
    const ImportResult first = importer.Load(WriteFbx("walk.fbx", walk).c_str());
    const ImportResult second = importer.Load(WriteFbx("run.fbx", run).c_str());
    EXPECT_EQ(first.modelIndex, 1);
    EXPECT_EQ(first.animationSetIndex, 1);
    EXPECT_EQ(second.modelIndex, 2);
    EXPECT_EQ(second.animationSetIndex, 2);
    EXPECT_EQ(importer.GetModelCount(), 3u);
    EXPECT_EQ(importer.GetAnimationSetCount(), 3u);

    const ImportedAnimationSet* set = importer.GetAnimationSet(second.animationSetIndex);
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->animations.size(), 1u);
    const ImportedAnimation& animation = set->animations[0];
    EXPECT_NE(Str(animation.name).find("Run"), std::string::npos);
    EXPECT_GT(animation.duration, 0.0);
    EXPECT_GT(animation.ticksPerSecond, 0.0);
    bool foundBone1 = false;
    for (const AnimationChannel& channel : animation.nodeChannels) {
        if (channel.nodeName != "Bone1")
            continue;
        foundBone1 = true;
        ASSERT_EQ(channel.positionKeys.size(), 3u);
        EXPECT_NEAR(channel.positionKeys[2].value.y, 1.0f, 1e-4f);
        ASSERT_FALSE(channel.rotationKeys.empty());
        // Stored (x, y, z, w): the identity keeps w in the last place.
        EXPECT_NEAR(channel.rotationKeys[0].value.w, 1.0f, 1e-5f);
    }
    EXPECT_TRUE(foundBone1);

    // Built through the mesh path, the animation and a copy of the skeleton come along.
    BuiltMesh built(m_dir / "walk.fbx");
    ASSERT_TRUE(built.ok);
    EXPECT_TRUE(built.loader.HasAnimations());
    const SkeletalAnimationSet& animations = built.loader.GetAnimations();
    EXPECT_EQ(animations.m_animations.size(), 1u);
    EXPECT_EQ(animations.m_skeleton.GetBoneCount(), 6u);
    EXPECT_EQ(animations.m_skeleton.mNodeBuffer.size(), built.loader.GetSkeleton().mNodeBuffer.size());

    // The bind-pose clip poses every bone at identity.
    std::vector<Matrix4x4> pose;
    for (float phase : {0.0f, 0.5f, 1.0f}) {
        animations.m_skeleton.ComputePose(animations, phase, Matrix4x4(), 0, pose);
        ASSERT_EQ(pose.size(), 6u);
        for (size_t b = 0; b < pose.size(); ++b)
            for (int k = 0; k < 16; ++k)
                EXPECT_NEAR(pose[b].m[k], Matrix4x4().m[k], 1e-4f) << "bone " << b << " element " << k;
    }
}

TEST_F(ModelImportTest, LoadingAnAnimationFileAppendsItsClips)
{
    FixtureScene walk = SkinnedQuad();
    walk.animations.push_back(BindPoseAnimation("Walk"));
    const std::filesystem::path walkFile = WriteFbx("walk.fbx", walk);
    const std::filesystem::path still = WriteObj("still.obj", kTwoObjects);

    SkeletalAnimationSet set;
    set.m_animations.emplace_back();
    set.m_animations[0].name = "Own";
    EXPECT_TRUE(LoadSkeletalAnimations(walkFile.c_str(), set));
    ASSERT_EQ(set.m_animations.size(), 2u);
    EXPECT_EQ(set.m_animations[0].name, "Own");
    EXPECT_NE(Str(set.m_animations[1].name).find("Walk"), std::string::npos);

    EXPECT_FALSE(LoadSkeletalAnimations(still.c_str(), set));
    std::string out = zttest::CaptureStdout(
        [&] { EXPECT_FALSE(LoadSkeletalAnimations((m_dir / "none.fbx").c_str(), set)); });
    EXPECT_FALSE(out.empty());
    EXPECT_EQ(set.m_animations.size(), 2u);
}

TEST_F(ModelImportTest, SharedBuilderKeepsCountingModelsAndJoinsAFolderWithoutSlash)
{
    std::filesystem::create_directories(m_dir / "models");
    WriteText(m_dir / "models" / "a.obj", kTwoObjects);
    WriteText(m_dir / "models" / "b.obj", kTwoObjects);

    CustomMeshBuilder& shared = CustomMeshBuilder::Instance();
    shared.SetFile((m_dir / "models").string(), "a.obj");
    MeshLoader<> first(&shared);
    ASSERT_TRUE(first.Build());
    const int32_t firstIndex = shared.GetLastResult().modelIndex;
    EXPECT_GE(firstIndex, 1);

    shared.SetFile((m_dir / "models").string() + "/", "b.obj");
    MeshLoader<> second(&shared);
    ASSERT_TRUE(second.Build());
    EXPECT_EQ(shared.GetLastResult().modelIndex, firstIndex + 1);
    EXPECT_EQ(second.GetVertexCount(), 3u);
    // The estimate given to the second build was the first import's vertex count.
    EXPECT_EQ(shared.EstimateVertexCount(), 3u);
}
