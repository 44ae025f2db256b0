// The generated models and animations, and the resource lists that name them, read back the
// way the game reads them: the lists as JSON, every file through the game's own importer and
// mesh loader, and the clips through its animation loading and pose evaluation.
#include "assetgen/ModelGenerator.h"
#include "assetgen/PictureTable.h"
#include "assetgen/RigCharacters.h"
#include "core/animation/Skeleton/AnimationLoader.h"
#include "core/animation/Skeleton/SkeletalAnimation.h"
#include "core/graphics/framework/mesh/builders/CustomMeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshLoader.h"
#include "core/util/FileUtils.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ztengine::CustomMeshBuilder;
using ztengine::MeshLoader;
using ztengine::SkeletalAnimationSet;
using ztmath::Matrix4x4;
using ztmath::Vector3;

// ---- what the game asks for ---------------------------------------------------------------

// Every name the game's systems look up with ModelManager::GetModel.
const char* const kModelNames[] = {
    "rabbitmanModel", "lkangaModel", "mblkangaModel", "ogreModel", "mbOgreModel", "skeletonModel",
    "flyingSkullModel", "mbFlyingSkullModel", "KoboldModel", "OrbModel", "KangaBoomModel", "CoinModel",
    "AltarModel", "FireOrb", "SnowOrb", "LightningOrb", "DRedWall_Model", "DGreenWall_Model", "DBlueWall_Model",
    "wallmodel", "dungeon_ice_model", "DRedFloor_Model", "DGreenFloor_Model", "DBlueFloor_Model",
    "DRedCeiling_Model", "DGreenCeiling_Model", "DBlueCeiling_Model", "dungeon_door_model", "castlepillar",
    "forestpillarmodel", "icecolumn", "column", "barrelmodel", "barrelpiecemodel1", "barrelpiecemodel2",
    "barrelpiecemodel3", "barrelpiecemodel4", "barrelpiecemodel5", "Crate4", "dungeon_rock_model",
    "dungeon_stones_model", "dungeon_spikes_model", "GooModel", "Treasure_Chest", "TORCH1", "TORCH2", "TORCH3",
    "arrowmodel",
};

// Model files the game opens by path rather than through the lists.
const char* const kFixedFiles[] = {
    "models/cube1cm.obj", "models/grass.obj", "models/tree.obj", "models/rock.obj",
    "models/fern.obj", "models/mountain.obj", "models/portalskull.fbx", "models/gun.obj",
};

std::vector<std::string> Prefixed(const std::string& prefix, std::initializer_list<const char*> names)
{
    std::vector<std::string> out;
    for (const char* n : names)
        out.push_back(prefix + n + ".fbx");
    return out;
}

// The animation files each animated model has loaded onto it, in load order (index 2 on).
const std::map<std::string, std::vector<std::string>>& RosterAnimations()
{
    static const std::map<std::string, std::vector<std::string>> table = [] {
        std::map<std::string, std::vector<std::string>> t;
        t["rabbitmanModel"] = Prefixed("models/RabbitmanPack/", {"idle", "running_inPlace", "stomach_hit",
                                                                   "zombie_attack", "falling_back_death"});
        t["lkangaModel"] =
            Prefixed("animation/LKanga/", {"drunk_idle", "walking_inPlace", "fireball", "death", "taunt"});
        t["mblkangaModel"] = t["lkangaModel"];
        t["ogreModel"] =
            Prefixed("models/OgrePack/", {"swagger_walk_inPlace", "running_inPlace", "falling_back_death"});
        t["mbOgreModel"] = t["ogreModel"];
        t["skeletonModel"] = Prefixed("animation/anim_skele_", {"attack0", "attack1", "block", "death", "gut_hit",
                                                                 "head_hit", "run", "strafe", "walk"});
        t["KoboldModel"] = Prefixed("animation/InnkeeperAnimations/",
                                    {"neutral_idle", "dive_roll", "fireball", "hit_reaction_1", "look_around",
                                     "medium_hit_to_head", "mma_idle", "running_forward_flip", "running_inPlace",
                                     "standing_idle_to_fight_idle", "taunt", "writhing_in_pain", "yelling", "dying"});
        return t;
    }();
    return table;
}

// ---- reading things back ------------------------------------------------------------------

rapidjson::Document ReadList(const std::string& name)
{
    std::ifstream in(fs::path(ZT_DATA_DIR) / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    rapidjson::Document doc;
    doc.Parse(text.str().c_str());
    return doc;
}

using zttest::ReadBytes;

// One model file built into a mesh the way the renderer builds a custom mesh.
struct LoadedModel {
    std::unique_ptr<CustomMeshBuilder> builder = std::make_unique<CustomMeshBuilder>();
    std::unique_ptr<MeshLoader<>> mesh;
    uint32_t flags = 0;
    Vector3 min{1e30f, 1e30f, 1e30f}, max{-1e30f, -1e30f, -1e30f};

    float Height() const { return max.y - min.y; }
    Vector3 Size() const { return Vector3(max.x - min.x, max.y - min.y, max.z - min.z); }
};

std::unique_ptr<LoadedModel> Load(const fs::path& root, const std::string& relative)
{
    auto model = std::make_unique<LoadedModel>();
    const fs::path file = root / relative;
    model->builder->SetFile(file.parent_path().string(), file.filename().string());
    model->mesh = std::make_unique<MeshLoader<>>(model->builder.get());
    model->mesh->Build();
    model->flags = model->builder->GetImporter().GetModel(model->builder->GetLastResult().modelIndex).flags;
    for (uint32_t v = 0; v < model->mesh->GetVertexCount(); ++v) {
        const Vector3& p = model->mesh->GetVertex(v)->position;
        for (int k = 0; k < 3; ++k) {
            model->min[k] = std::min(model->min[k], p[k]);
            model->max[k] = std::max(model->max[k], p[k]);
        }
    }
    return model;
}

// Faces whose winding disagrees with their vertex normals: those are culled from the side they
// are meant to be seen from.
int InsideOutFaces(const MeshLoader<>& mesh)
{
    int bad = 0;
    for (uint32_t f = 0; f < mesh.GetFaceCount(); ++f) {
        const auto& face = *mesh.GetFace(f);
        const auto* a = mesh.GetVertex(face.indices[0]);
        const auto* b = mesh.GetVertex(face.indices[1]);
        const auto* c = mesh.GetVertex(face.indices[2]);
        const Vector3 n = Cross(b->position - a->position, c->position - a->position);
        const Vector3 shading = a->normal + b->normal + c->normal;
        if (Dot(n, n) > 1e-12f && Dot(n, shading) <= 0.0f)
            ++bad;
    }
    return bad;
}

// Where a bone's joint is in a pose: the skinning matrix applied to the joint's bind position.
Vector3 JointAt(const LoadedModel& model, const SkeletalAnimationSet& set, uint32_t animation, float phase,
                const char* bone)
{
    const ztengine::Skeleton& skeleton = model.mesh->GetSkeleton();
    const int32_t index = skeleton.FindBoneIndex(bone);
    EXPECT_GE(index, 0) << bone;
    if (index < 0)
        return Vector3(0, 0, 0);
    std::vector<Matrix4x4> pose(skeleton.GetBoneCount());
    skeleton.ComputePose(set, phase, Matrix4x4(), animation, pose.data(), pose.size());
    Matrix4x4 bind;
    Matrix4x4::Inverse(skeleton.m_bones[size_t(index)].offset, bind);
    return pose[size_t(index)].TransformPoint(bind.TransformPoint(Vector3(0, 0, 0)));
}

// The clips that take the body down to the floor: the deaths, the roll and the writhing.
bool OnTheFloor(const std::string& path)
{
    for (const char* word : {"death", "dying", "roll", "writhing"})
        if (path.find(word) != std::string::npos)
            return true;
    return false;
}

// ---- the fixture: one generation for the whole program ------------------------------------

class GeneratedModels : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new fs::path(zttest::MakeTempDir("models"));
        const auto start = std::chrono::steady_clock::now();
        s_result = new assetgen::Result(assetgen::GenerateModels(assetgen::DefaultOptions(*s_dir)));
        s_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    static void TearDownTestSuite()
    {
        delete s_result;
        delete s_dir;
    }

    static const LoadedModel& Model(const std::string& relative)
    {
        static std::map<std::string, std::unique_ptr<LoadedModel>> cache;
        auto& slot = cache[relative];
        if (!slot)
            slot = Load(*s_dir, relative);
        return *slot;
    }

    static fs::path* s_dir;
    static assetgen::Result* s_result;
    static double s_seconds;
};

fs::path* GeneratedModels::s_dir = nullptr;
assetgen::Result* GeneratedModels::s_result = nullptr;
double GeneratedModels::s_seconds = 0.0;

// The meshes of mesh.init by name, and the model file each type-8 mesh names.
std::map<std::string, const rapidjson::Value*> ByName(const rapidjson::Document& doc, const char* key)
{
    std::map<std::string, const rapidjson::Value*> out;
    for (const auto& e : doc.GetArray())
        if (e.IsObject() && e.HasMember(key) && e[key].IsString())
            out[e[key].GetString()] = &e;
    return out;
}

std::string MeshFile(const rapidjson::Value& mesh)
{
    return std::string(mesh["MeshFilePath"].GetString()) + mesh["MeshFileName"].GetString();
}

// ---- the lists ----------------------------------------------------------------------------

TEST(ResourceLists, EveryModelNameResolvesToAMeshAndAMaterial)
{
    const rapidjson::Document models = ReadList("model.init");
    const rapidjson::Document meshes = ReadList("mesh.init");
    const rapidjson::Document materials = ReadList("material.init");
    ASSERT_TRUE(models.IsArray());
    ASSERT_TRUE(meshes.IsArray());
    ASSERT_TRUE(materials.IsArray());
    const auto meshByName = ByName(meshes, "MeshName");
    const auto materialByName = ByName(materials, "mat");
    EXPECT_EQ(meshByName.size(), meshes.Size()) << "a mesh name is listed twice";
    EXPECT_EQ(materialByName.size(), materials.Size()) << "a material name is listed twice";

    std::set<std::string> listed;
    for (const auto& e : models.GetArray()) {
        ASSERT_TRUE(e.IsObject());
        // The four members, in the order the game writes them back.
        const char* order[] = {"ModelName", "MeshName", "MaterialName", "AnimationNames"};
        ASSERT_EQ(e.MemberCount(), 4u);
        int i = 0;
        for (auto m = e.MemberBegin(); m != e.MemberEnd(); ++m, ++i)
            EXPECT_STREQ(m->name.GetString(), order[i]);
        ASSERT_TRUE(e["ModelName"].IsString() && e["MeshName"].IsString() && e["MaterialName"].IsString());
        ASSERT_TRUE(e["AnimationNames"].IsArray());
        const std::string name = e["ModelName"].GetString();
        EXPECT_TRUE(listed.insert(name).second) << name << " listed twice";
        EXPECT_TRUE(meshByName.count(e["MeshName"].GetString())) << name << ": unknown mesh " << e["MeshName"].GetString();
        EXPECT_TRUE(materialByName.count(e["MaterialName"].GetString()))
            << name << ": unknown material " << e["MaterialName"].GetString();

        std::vector<std::string> animations;
        for (const auto& a : e["AnimationNames"].GetArray())
            animations.push_back(a.GetString());
        const auto roster = RosterAnimations().find(name);
        EXPECT_EQ(animations, roster == RosterAnimations().end() ? std::vector<std::string>{} : roster->second) << name;
    }
    const std::set<std::string> wanted(std::begin(kModelNames), std::end(kModelNames));
    EXPECT_EQ(listed, wanted);

    // Models that load the same animation files keep animation sets of their own.
    std::map<std::string, std::string> meshOfAnimatedModel;
    for (const auto& e : models.GetArray())
        if (RosterAnimations().count(e["ModelName"].GetString()))
            meshOfAnimatedModel[e["MeshName"].GetString()] += e["ModelName"].GetString();
    EXPECT_EQ(meshOfAnimatedModel.size(), RosterAnimations().size());
}

TEST(ResourceLists, MeshesAreWrittenInTheFormTheGameAccepts)
{
    const rapidjson::Document meshes = ReadList("mesh.init");
    ASSERT_TRUE(meshes.IsArray());
    for (const auto& e : meshes.GetArray()) {
        ASSERT_TRUE(e.IsObject());
        ASSERT_EQ(e.MemberCount(), 9u);
        for (const char* key : {"MeshName", "MeshFilePath", "MeshFileName"})
            EXPECT_TRUE(e.HasMember(key) && e[key].IsString()) << key;
        for (const char* key : {"MeshType", "MeshStacks", "MeshSlices"})
            EXPECT_TRUE(e.HasMember(key) && e[key].IsInt()) << key;
        // Written as 0 instead of 0.0 the game would skip the whole mesh.
        for (const char* key : {"MeshStartAngle", "MeshEndAngle", "MeshMinorFactor"})
            EXPECT_TRUE(e.HasMember(key) && e[key].IsDouble() && !e[key].IsInt()) << e["MeshName"].GetString() << " " << key;
        const int type = e["MeshType"].GetInt();
        EXPECT_TRUE(type == 2 || type == 3 || type == 8) << e["MeshName"].GetString();
        if (type == 3) {
            EXPECT_EQ(e["MeshStacks"].GetInt(), 16);
            EXPECT_EQ(e["MeshSlices"].GetInt(), 16);
        }
        if (type == 8) {
            EXPECT_STREQ(e["MeshFilePath"].GetString(), "models/");
        }
    }
}

TEST(ResourceLists, MaterialsNameOnlyPicturesTheGeneratorPaints)
{
    const rapidjson::Document materials = ReadList("material.init");
    ASSERT_TRUE(materials.IsArray());
    for (const auto& e : materials.GetArray()) {
        ASSERT_TRUE(e.IsObject());
        ASSERT_EQ(e.MemberCount(), 5u);
        ASSERT_TRUE(e.HasMember("mat") && e["mat"].IsString());
        for (const char* key : {"diff", "spec", "nrm", "disp"}) {
            ASSERT_TRUE(e.HasMember(key) && e[key].IsString()) << key;
            const std::string path = e[key].GetString();
            if (path.empty())
                continue;
            // A material texture that fails to load stops the game.
            const assetgen::PictureSpec* picture = assetgen::FindPicture(path);
            ASSERT_NE(picture, nullptr) << e["mat"].GetString() << ": " << path;
            EXPECT_EQ(picture->use, assetgen::PictureUse::Texture) << path;
        }
        EXPECT_NE(std::string(e["diff"].GetString()), "") << e["mat"].GetString();
    }
}

// ---- the files ------------------------------------------------------------------------------

TEST_F(GeneratedModels, WritesEveryFileQuicklyAndTheSameEveryTime)
{
    for (const std::string& e : s_result->errors)
        ADD_FAILURE() << e;
    // A guard against a runaway generator, not a benchmark: the sanitized build on a loaded
    // two-core machine is many times slower than a player's build.
    EXPECT_LT(s_seconds, 300.0);

    const fs::path again = zttest::MakeTempDir("models-again");
    ASSERT_TRUE(assetgen::GenerateModels(assetgen::DefaultOptions(again)).Ok());
    for (const std::string& file : assetgen::ModelFiles()) {
        ASSERT_TRUE(fs::exists(*s_dir / file)) << file;
        EXPECT_EQ(ReadBytes(*s_dir / file), ReadBytes(again / file)) << file;
    }
}

TEST_F(GeneratedModels, EveryFileIsOneTheGameLoadsAndEveryFileItLoadsIsWritten)
{
    std::set<std::string> loaded(std::begin(kFixedFiles), std::end(kFixedFiles));
    const rapidjson::Document meshes = ReadList("mesh.init");
    for (const auto& e : meshes.GetArray())
        if (e["MeshType"].GetInt() == 8)
            loaded.insert(MeshFile(e));
    for (const auto& [model, files] : RosterAnimations())
        loaded.insert(files.begin(), files.end());

    const std::vector<std::string> written = assetgen::ModelFiles();
    EXPECT_EQ(std::set<std::string>(written.begin(), written.end()), loaded);
    EXPECT_EQ(written.size(), loaded.size()) << "a file is written twice";

    // The model editor lists "animation/*.FBX"; on Linux that match ignores case.
    std::vector<std::string> listed;
    ztengine::ListFiles((*s_dir / "animation").string() + "/*.FBX", listed);
    EXPECT_EQ(listed.size(), 9u);
}

TEST_F(GeneratedModels, EveryModelImportsWithNormalsTextureCoordinatesAndTangents)
{
    std::vector<std::string> files(std::begin(kFixedFiles), std::end(kFixedFiles));
    const rapidjson::Document meshes = ReadList("mesh.init");
    for (const auto& e : meshes.GetArray())
        if (e["MeshType"].GetInt() == 8)
            files.push_back(MeshFile(e));
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const LoadedModel& model = Model(file);
        ASSERT_GT(model.mesh->GetVertexCount(), 0u);
        EXPECT_GT(model.mesh->GetFaceCount(), 0u);
        for (uint32_t flag : {ztengine::kImportedPositions, ztengine::kImportedNormals, ztengine::kImportedFaces,
                              ztengine::kImportedTangents, ztengine::kImportedTexCoords})
            EXPECT_TRUE(model.flags & flag) << "missing part " << flag;
        EXPECT_EQ(InsideOutFaces(*model.mesh), 0);
        for (uint32_t v = 0; v < model.mesh->GetVertexCount(); ++v) {
            const Vector3& n = model.mesh->GetVertex(v)->normal;
            ASSERT_NEAR(Dot(n, n), 1.0f, 1e-3f) << "vertex " << v;
        }
    }
}

// Native sizes that make each model come out right at the scale and place the game gives it.
struct SizeCase {
    const char* file;
    Vector3 size;  // 0: not checked
    float tolerance;
    enum Origin { kCentre, kBase, kAny } origin;
};

TEST_F(GeneratedModels, SizesFitTheScalesAndCollidersOfTheGame)
{
    const SizeCase cases[] = {
        {"models/cube1cm.obj", {1, 1, 1}, 0.01f, SizeCase::kCentre},
        {"models/grass.obj", {0, 10, 0}, 0.25f, SizeCase::kBase},
        {"models/tree.obj", {0, 50, 0}, 0.1f, SizeCase::kBase},
        {"models/rock.obj", {28, 20, 28}, 0.2f, SizeCase::kBase},
        {"models/fern.obj", {15, 0, 15}, 0.25f, SizeCase::kBase},
        {"models/mountain.obj", {340, 40, 80}, 0.15f, SizeCase::kAny},
        {"models/portalskull.fbx", {3, 4, 3}, 0.25f, SizeCase::kBase},
        {"models/gun.obj", {0, 0, 130}, 0.1f, SizeCase::kAny},
        {"models/flyingskull.obj", {80, 80, 80}, 0.2f, SizeCase::kCentre},
        {"models/mbflyingskull.obj", {80, 80, 90}, 0.2f, SizeCase::kCentre},
        {"models/fireball.obj", {2, 2, 2}, 0.02f, SizeCase::kCentre},
        {"models/coin.obj", {1.1f, 0.18f, 1.1f}, 0.02f, SizeCase::kCentre},
        {"models/altar.obj", {12, 8, 12}, 0.05f, SizeCase::kBase},
        {"models/dungeon_wall.obj", {7.7f, 6.8f, 0.834f}, 0.01f, SizeCase::kCentre},
        {"models/dungeon_slab.obj", {8, 8, 1}, 0.01f, SizeCase::kCentre},
        {"models/pillar.obj", {1.2f, 5.2f, 1.2f}, 0.01f, SizeCase::kCentre},
        {"models/barrel.obj", {1.8f, 2, 1.8f}, 0.02f, SizeCase::kCentre},
        {"models/crate.obj", {26.7f, 26.7f, 26.7f}, 0.01f, SizeCase::kCentre},
        {"models/dungeon_rock.obj", {5, 4, 5}, 0.25f, SizeCase::kCentre},
        {"models/dungeon_stones.obj", {200, 20, 200}, 0.3f, SizeCase::kAny},
        {"models/spikes.obj", {2.5f, 1, 2.5f}, 0.1f, SizeCase::kCentre},
        {"models/goo.obj", {4.2f, 0.3f, 4.2f}, 0.15f, SizeCase::kCentre},
        {"models/chest.obj", {40, 26, 25}, 0.05f, SizeCase::kCentre},
        {"models/arrow.obj", {0, 3, 0}, 0.05f, SizeCase::kBase},
        {"models/rabbitman.fbx", {0, 10.7f, 0}, 0.1f, SizeCase::kBase},
        {"models/lkanga.fbx", {6, 13, 0}, 0.25f, SizeCase::kBase},
        {"models/ogre.fbx", {25, 30, 0}, 0.15f, SizeCase::kBase},
        {"models/skeleton.fbx", {45, 135, 0}, 0.15f, SizeCase::kBase},
        {"models/kobold.fbx", {0, 32, 0}, 0.1f, SizeCase::kBase},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.file);
        const LoadedModel& model = Model(c.file);
        const Vector3 size = model.Size();
        for (int k = 0; k < 3; ++k) {
            if (c.size[k] > 0.0f) {
                EXPECT_NEAR(size[k], c.size[k], c.size[k] * c.tolerance) << "axis " << k;
            }
        }
        const float scale = std::max({size.x, size.y, size.z});
        if (c.origin == SizeCase::kBase) {
            EXPECT_NEAR(model.min.y, 0.0f, 0.01f * scale);
        }
        if (c.origin == SizeCase::kCentre) {
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(model.min[k] + model.max[k], 0.0f, 0.1f * scale) << "axis " << k;
        }
    }

    // Barrel pieces are staves and fragments for a box collider of half size 0.8 at scale 2.
    for (int i = 1; i <= 5; ++i) {
        const Vector3 size = Model("models/barrel_piece" + std::to_string(i) + ".obj").Size();
        EXPECT_GE(std::max({size.x, size.y, size.z}), 0.45f) << i;
        EXPECT_LE(std::max({size.x, size.y, size.z}), 0.85f) << i;
    }
    // The mountain covers the hub whichever way it is turned, and its foot stays underground.
    const LoadedModel& mountain = Model("models/mountain.obj");
    EXPECT_NEAR(mountain.min.x, -120.0f, 1.0f);
    EXPECT_NEAR(mountain.max.x, 220.0f, 1.0f);
    EXPECT_NEAR(mountain.min.y, 0.0f, 0.5f);
    // The gun is drawn turned about, so its barrel points along -z from the grip.
    const LoadedModel& gun = Model("models/gun.obj");
    EXPECT_LT(gun.min.z, -80.0f);
    EXPECT_LT(gun.max.z, 50.0f);
    // The altar's top, where the orbs rest at 8.85 with their radius of 1.
    const LoadedModel& altar = Model("models/altar.obj");
    int onTop = 0;
    for (uint32_t v = 0; v < altar.mesh->GetVertexCount(); ++v)
        onTop += std::fabs(altar.mesh->GetVertex(v)->position.y - 7.85f) < 1e-3f;
    EXPECT_GE(onTop, 4);
    // The torch hangs from the wall one unit behind it; its glow sits one unit in front.
    const LoadedModel& torch = Model("models/torch.obj");
    EXPECT_NEAR(torch.min.z, -1.0f, 0.05f);
    EXPECT_NEAR(torch.max.z, 1.0f, 0.2f);
}

// Each enemy stands with its feet where the physics body's offset puts them and reaches about
// the top of its collision shape.
TEST_F(GeneratedModels, EnemiesFillTheirCollisionShapes)
{
    struct Case {
        const char* file;
        float scaleY, offset, capsuleRadius, capsuleHeight;
    };
    const Case cases[] = {
        {"models/rabbitman.fbx", 0.75f, 5.0f, 2.0f, 3.0f}, {"models/lkanga.fbx", 0.65f, 4.5f, 2.5f, 3.5f},
        {"models/lkanga.fbx", 1.1f, 8.0f, 4.0f, 5.5f},     {"models/ogre.fbx", 0.4f, 6.0f, 3.75f, 3.0f},
        {"models/ogre.fbx", 0.6f, 9.0f, 4.75f, 4.0f},      {"models/skeleton.fbx", 0.05f, 3.5f, 1.75f, 3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const float top = c.offset + c.capsuleRadius + 0.5f * c.capsuleHeight;
        EXPECT_NEAR(Model(c.file).Height() * c.scaleY, top, 0.2f * top);
    }
    // A flying skull fills its sphere of radius 3 at scale 0.08.
    EXPECT_NEAR(Model("models/flyingskull.obj").Size().x * 0.08f, 6.0f, 1.2f);
    // The boss stays under the orbs that float 18 above its origin at scale 0.5.
    EXPECT_LT(Model("models/kobold.fbx").Height() * 0.5f, 18.0f);
}

// ---- rigs and clips ---------------------------------------------------------------------------

TEST_F(GeneratedModels, RiggedModelsCarryTwoClipsAndSkinWithinTheRendererLimits)
{
    for (const char* file : {"models/rabbitman.fbx", "models/lkanga.fbx", "models/ogre.fbx", "models/skeleton.fbx",
                             "models/kobold.fbx"}) {
        SCOPED_TRACE(file);
        const LoadedModel& model = Model(file);
        ASSERT_TRUE(model.mesh->HasSkin());
        // Skinning only runs with more than one clip, and the loaded files start at index 2.
        EXPECT_EQ(model.mesh->GetAnimations().m_animations.size(), 2u);
        const uint32_t bones = model.mesh->GetSkeleton().GetBoneCount();
        EXPECT_GT(bones, 10u);
        EXPECT_LE(bones, 64u);
        for (uint32_t v = 0; v < model.mesh->GetVertexCount(); ++v) {
            const ztengine::SkinWeights w = model.mesh->GetSkinWeights(v);
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += w.weights[k];
                ASSERT_GE(w.boneIds[k], 0);
                ASSERT_LT(uint32_t(w.boneIds[k]), bones);
            }
            ASSERT_NEAR(sum, 1.0f, 1e-4f) << "vertex " << v;
        }
        // Hips, knees and elbows bend the skin smoothly: some vertices there share it evenly
        // between the bones on either side of the joint.
        for (auto [upper, lower] : {std::pair{"Hips", "Thigh_L"}, std::pair{"Thigh_L", "Shin_L"},
                                    std::pair{"UpperArm_R", "ForeArm_R"}}) {
            const int32_t a = model.mesh->GetSkeleton().FindBoneIndex(upper);
            const int32_t b = model.mesh->GetSkeleton().FindBoneIndex(lower);
            ASSERT_GE(a, 0) << upper;
            ASSERT_GE(b, 0) << lower;
            int shared = 0;
            for (uint32_t v = 0; v < model.mesh->GetVertexCount(); ++v) {
                const ztengine::SkinWeights w = model.mesh->GetSkinWeights(v);
                float wa = 0.0f, wb = 0.0f;
                for (int k = 0; k < 4; ++k) {
                    if (w.boneIds[k] == a) wa += w.weights[k];
                    if (w.boneIds[k] == b) wb += w.weights[k];
                }
                if (wa > 0.2f && wb > 0.2f) ++shared;
            }
            EXPECT_GT(shared, 4) << upper << " to " << lower << " is a hard seam";
        }
        // Faces +z: the feet reach forward of the ankles.
        const ztengine::Skeleton& skeleton = model.mesh->GetSkeleton();
        const int32_t foot = skeleton.FindBoneIndex("Foot_L");
        ASSERT_GE(foot, 0);
        float footZ = 0.0f, ankleZ = -skeleton.m_bones[size_t(foot)].offset[11];
        int count = 0;
        for (uint32_t v = 0; v < model.mesh->GetVertexCount(); ++v) {
            const ztengine::SkinWeights w = model.mesh->GetSkinWeights(v);
            if (w.boneIds[0] == foot && w.weights[0] > 0.99f) {
                footZ += model.mesh->GetVertex(v)->position.z;
                ++count;
            }
        }
        ASSERT_GT(count, 0);
        EXPECT_GT(footZ / float(count), ankleZ);
    }
}

TEST_F(GeneratedModels, AnimationFilesDriveTheirRigsInPlace)
{
    const std::map<std::string, std::string> rigOf = {
        {"rabbitmanModel", "models/rabbitman.fbx"}, {"lkangaModel", "models/lkanga.fbx"},
        {"mblkangaModel", "models/lkanga.fbx"},     {"ogreModel", "models/ogre.fbx"},
        {"mbOgreModel", "models/ogre.fbx"},         {"skeletonModel", "models/skeleton.fbx"},
        {"KoboldModel", "models/kobold.fbx"},
    };
    for (const auto& [name, files] : RosterAnimations()) {
        const LoadedModel& model = Model(rigOf.at(name));
        const ztengine::Skeleton& skeleton = model.mesh->GetSkeleton();
        std::set<std::string> nodes;
        for (const auto& node : skeleton.mNodeBuffer)
            nodes.insert(std::string(node.name));

        SkeletalAnimationSet set = model.mesh->GetAnimations();
        for (size_t i = 0; i < files.size(); ++i) {
            SCOPED_TRACE(name + " " + files[i]);
            ASSERT_TRUE(ztengine::LoadSkeletalAnimations((*s_dir / files[i]).string().c_str(), set));
            // One clip per file, so the roster's indices hold.
            ASSERT_EQ(set.m_animations.size(), i + 3);
            const ztengine::SkeletalAnimation& clip = set.m_animations.back();
            EXPECT_GE(clip.channels.size(), size_t(skeleton.GetBoneCount()));
            const size_t keys = clip.channels.front().rotationKeys.size();
            EXPECT_GE(keys, 10u);
            for (const auto& channel : clip.channels) {
                EXPECT_TRUE(nodes.count(std::string(channel.nodeName))) << channel.nodeName;
                EXPECT_EQ(channel.rotationKeys.size(), keys) << channel.nodeName;
                EXPECT_EQ(channel.positionKeys.size(), keys) << channel.nodeName;
                EXPECT_EQ(channel.scaleKeys.size(), keys) << channel.nodeName;
            }
            // In place: the hips only rise and sink.
            for (float phase = 0.0f; phase <= 1.0f; phase += 0.05f) {
                const Vector3 start = JointAt(model, set, uint32_t(i + 2), 0.0f, "Hips");
                const Vector3 now = JointAt(model, set, uint32_t(i + 2), phase, "Hips");
                EXPECT_NEAR(now.x, start.x, 1e-3f * model.Height()) << phase;
                EXPECT_NEAR(now.z, start.z, 1e-3f * model.Height()) << phase;
            }
            // Cycles end where they start.
            const std::string& file = files[i];
            const bool cycle = file.find("idle") != std::string::npos || file.find("walk") != std::string::npos ||
                               file.find("inPlace") != std::string::npos || file.find("_run") != std::string::npos ||
                               file.find("strafe") != std::string::npos;
            if (cycle && file.find("idle_to") == std::string::npos) {
                for (const char* bone : {"Hand_L", "Foot_R", "Head"}) {
                    const Vector3 a = JointAt(model, set, uint32_t(i + 2), 0.0f, bone);
                    const Vector3 b = JointAt(model, set, uint32_t(i + 2), 1.0f, bone);
                    EXPECT_NEAR(Dot(a - b, a - b), 0.0f, 1e-4f * model.Height() * model.Height()) << bone;
                }
            }
        }
    }
}

// The moments the game acts on: the frozen last pose of a death, the shot frames of throws
// and casts, the raised arms of the boss's summoning yell.
TEST_F(GeneratedModels, ClipsShowWhatTheGameTimesItsActionsBy)
{
    struct Loaded {
        const LoadedModel* model;
        SkeletalAnimationSet set;
    };
    auto load = [this](const char* rig, const std::string& file) {
        Loaded l{&Model(rig), Model(rig).mesh->GetAnimations()};
        EXPECT_TRUE(ztengine::LoadSkeletalAnimations((*s_dir / file).string().c_str(), l.set)) << file;
        return l;
    };

    // Deaths end lying down; the frozen pose is taken at 0.95.
    const std::pair<const char*, const char*> deaths[] = {
        {"models/rabbitman.fbx", "models/RabbitmanPack/falling_back_death.fbx"},
        {"models/lkanga.fbx", "animation/LKanga/death.fbx"},
        {"models/ogre.fbx", "models/OgrePack/falling_back_death.fbx"},
        {"models/skeleton.fbx", "animation/anim_skele_death.fbx"},
        {"models/kobold.fbx", "animation/InnkeeperAnimations/dying.fbx"},
    };
    for (const auto& [rig, file] : deaths) {
        SCOPED_TRACE(file);
        const Loaded l = load(rig, file);
        const float h = l.model->Height();
        EXPECT_GT(JointAt(*l.model, l.set, 2, 0.0f, "Head").y, 0.6f * h);
        EXPECT_LT(JointAt(*l.model, l.set, 2, 0.95f, "Head").y, 0.3f * h);
        EXPECT_GT(JointAt(*l.model, l.set, 2, 0.95f, "Head").y, -0.05f * h);
    }

    // Throws: the right hand is thrown forward, ahead of the chest, at the release.
    const std::tuple<const char*, const char*, float> throws[] = {
        {"models/lkanga.fbx", "animation/LKanga/fireball.fbx", 0.5f},
        {"models/kobold.fbx", "animation/InnkeeperAnimations/fireball.fbx", 0.7f},
    };
    for (const auto& [rig, file, release] : throws) {
        SCOPED_TRACE(file);
        const Loaded l = load(rig, file);
        const float h = l.model->Height();
        const Vector3 hand = JointAt(*l.model, l.set, 2, release, "Hand_R");
        const Vector3 chest = JointAt(*l.model, l.set, 2, release, "Chest");
        EXPECT_GT(hand.z - chest.z, 0.05f * h);
        EXPECT_LT(JointAt(*l.model, l.set, 2, release - 0.2f, "Hand_R").z, hand.z);
    }

    // The magician's cast: both hands thrust forward as the bolt leaves at 0.5.
    {
        const Loaded l = load("models/skeleton.fbx", "animation/anim_skele_attack0.fbx");
        const float chest = JointAt(*l.model, l.set, 2, 0.5f, "Chest").z;
        for (const char* hand : {"Hand_L", "Hand_R"})
            EXPECT_GT(JointAt(*l.model, l.set, 2, 0.5f, hand).z - chest, 0.15f * l.model->Height()) << hand;
    }
    // The boss summons at 0.25 of its yell, arms over its head.
    {
        const Loaded l = load("models/kobold.fbx", "animation/InnkeeperAnimations/yelling.fbx");
        const float head = JointAt(*l.model, l.set, 2, 0.25f, "Head").y;
        for (const char* hand : {"Hand_L", "Hand_R"})
            EXPECT_GT(JointAt(*l.model, l.set, 2, 0.25f, hand).y, head) << hand;
    }
}

// The skin as the game draws it, blended over up to four bones and posed between the keys as
// well as on them, stays above the floor all through the falls, the roll and the writhing.
TEST_F(GeneratedModels, TheDrawnSkinStaysAboveTheFloorInFallsAndRolls)
{
    const std::pair<const char*, std::string> rigs[] = {
        {"models/rabbitman.fbx", "rabbitmanModel"}, {"models/lkanga.fbx", "lkangaModel"},
        {"models/ogre.fbx", "ogreModel"},           {"models/skeleton.fbx", "skeletonModel"},
        {"models/kobold.fbx", "KoboldModel"},
    };
    int clips = 0;
    for (const auto& [rig, roster] : rigs) {
        const LoadedModel& model = Model(rig);
        const ztengine::Skeleton& skeleton = model.mesh->GetSkeleton();
        for (const std::string& file : RosterAnimations().at(roster)) {
            if (!OnTheFloor(file))
                continue;
            SCOPED_TRACE(file);
            ++clips;
            SkeletalAnimationSet set = model.mesh->GetAnimations();
            ASSERT_TRUE(ztengine::LoadSkeletalAnimations((*s_dir / file).string().c_str(), set));
            const uint32_t clip = uint32_t(set.m_animations.size() - 1);
            const int steps = 4 * int(set.m_animations.back().channels.front().rotationKeys.size() - 1);
            std::vector<Matrix4x4> pose(skeleton.GetBoneCount());
            float lowest = 1e30f, lowestPhase = 0.0f;
            for (int step = 0; step <= steps; ++step) {
                const float phase = float(step) / float(steps);
                skeleton.ComputePose(set, phase, Matrix4x4(), clip, pose.data(), pose.size());
                for (uint32_t v = 0; v < model.mesh->GetVertexCount(); ++v) {
                    const ztengine::SkinWeights w = model.mesh->GetSkinWeights(v);
                    const Vector3& bind = model.mesh->GetVertex(v)->position;
                    float y = 0.0f;
                    for (int k = 0; k < 4; ++k)
                        if (w.weights[k] > 0.0f)
                            y += w.weights[k] * pose[size_t(w.boneIds[k])].TransformPoint(bind).y;
                    if (y < lowest) {
                        lowest = y;
                        lowestPhase = phase;
                    }
                }
            }
            std::printf("%s: lowest %.3f at %.3f of height %.3f\n", file.c_str(), lowest, lowestPhase, model.Height());
            EXPECT_GT(lowest, -0.02f * model.Height()) << "sinks into the floor at " << lowestPhase;
        }
    }
    EXPECT_EQ(clips, 7);
}

}  // namespace

// The falls, the roll and the writhing lie on or tumble over the floor: at every key the posed
// skin (each vertex carried by its own bone) stays above it, and it is the body that touches
// it, not the end of a tail or a staff holding the body up in the air; a death ends with the
// trunk lying on it.
TEST(CharacterClips, DeathsAndRollsStayAboveTheFloor)
{
    using namespace assetgen::models;
    for (const Character& c : Characters()) {
        const Rig& rig = c.rig;
        float height = 0.0f;
        for (const aiVector3D& p : c.mesh.positions) height = std::max(height, p.y);
        std::vector<bool> prop(rig.bones.size()), trunk(rig.bones.size());
        for (size_t b = 0; b < rig.bones.size(); ++b) {
            const std::string& name = rig.bones[b].name;
            // The tail's base is part of the body's bulk; its far half and the staff stick out.
            prop[b] = name == "Tail2" || name == "Staff";
            trunk[b] = name == "Hips" || name == "Spine" || name == "Chest";
        }
        for (const AnimationFile& file : c.animationFiles) {
            const std::string& path = file.path;
            if (!OnTheFloor(path))
                continue;
            SCOPED_TRACE(path);
            float lowest = 1e9f, highestBody = -1e9f, lastTrunk = 1e9f;
            for (int k = 0; k < file.clip.keys; ++k) {
                Pose pose(rig);
                file.clip.pose(pose, float(k) / float(file.clip.keys - 1));
                // Forward kinematics: bones have no rest turn, so world turn = parent's * own.
                std::vector<aiQuaternion> turn(rig.bones.size());
                std::vector<aiVector3D> joint(rig.bones.size());
                for (size_t b = 0; b < rig.bones.size(); ++b) {
                    const int parent = rig.bones[b].parent;
                    if (parent < 0) {
                        turn[b] = pose.Rotation(int(b));
                        joint[b] = rig.bones[b].offset + pose.RootShift();
                    } else {
                        turn[b] = turn[size_t(parent)] * pose.Rotation(int(b));
                        joint[b] = joint[size_t(parent)] + turn[size_t(parent)].Rotate(aiVector3D(rig.bones[b].offset));
                    }
                }
                float body = 1e9f, trunkLow = 1e9f;
                for (size_t v = 0; v < c.mesh.positions.size(); ++v) {
                    const int b = c.mesh.bones[v];
                    if (b < 0) continue;
                    aiVector3D local = c.mesh.positions[v] - rig.Joint(b);
                    const float y = (joint[size_t(b)] + turn[size_t(b)].Rotate(local)).y;
                    lowest = std::min(lowest, y);
                    if (!prop[size_t(b)]) body = std::min(body, y);
                    if (trunk[size_t(b)]) trunkLow = std::min(trunkLow, y);
                }
                highestBody = std::max(highestBody, body);
                lastTrunk = trunkLow;
            }
            std::printf("%s %s: lowest %.3f, body at most %.3f above, trunk at last %.3f, of height %.3f\n",
                        c.modelPath.c_str(), path.c_str(), lowest, highestBody, lastTrunk, height);
            EXPECT_GT(lowest, -0.02f * height) << "sinks into the floor";
            EXPECT_LT(highestBody, 0.06f * height) << "held off the floor";
            if (path.find("death") != std::string::npos || path.find("dying") != std::string::npos) {
                EXPECT_LT(lastTrunk, 0.06f * height) << "does not lie on the floor";
            }
        }
    }
}
