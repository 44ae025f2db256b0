// The three resource lists: exact bytes of their writers, their loaders on good and malformed
// files (nothing overwritten at exit), the shipped lists in canonical form, and the build jobs
// and Add operations against the headless renderer.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ModelManager.h"
#include "core/resources/ResourceTestUtil.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::MaterialInfo;
using ztengine::MaterialManager;
using ztengine::MaterialTextures;
using ztengine::MeshBuildInfo;
using ztengine::MeshManager;
using ztengine::ModelInfo;
using ztengine::ModelManager;
using zttest::ReadBytes;
using zttest::WriteBytes;

// Counts the animation loads the model list asks for.
class RecordingRenderer : public zttest::NullRenderer3D {
public:
    bool LoadAnimation(int32_t model, const char* path) override
    {
        animationLoads.emplace_back(path);
        return false;
    }
    std::vector<std::string> animationLoads;
};

class ResourceListTest : public testing::Test {
protected:
    fs::path File(const std::string& name) const { return dir / name; }

    // Loads `bytes` as the manager's file and returns what the load printed.
    template <class Manager>
    std::string LoadFrom(Manager& manager, const std::string& bytes)
    {
        manager.m_fileName = File("list.init").string();
        WriteBytes(manager.m_fileName, bytes);
        return zttest::CaptureStdout([&] { manager.Load(); });
    }

    template <class Manager>
    std::string Saved(Manager& manager)
    {
        manager.m_fileName = File("saved.init").string();
        zttest::CaptureStdout([&] { manager.Save(); });
        return ReadBytes(manager.m_fileName);
    }

    fs::path dir = zttest::MakeTempDir("resource-lists");
};

// ---------------------------------------------------------------------------------------------
// Material list

TEST_F(ResourceListTest, MaterialListIsWrittenCompactInMemberOrderWithJsonEscapes)
{
    MaterialManager materials;
    EXPECT_EQ(Saved(materials), "[]");

    materials.m_materials.push_back(
        MaterialInfo{{"textures/diff/stone.png", "", "textures/nrm/stone_n.png", ""}, "stone", 7});
    materials.m_materials.push_back(
        MaterialInfo{{"a\"b\\c", "tab\there", "\x01\x7f", "\xc3\xa9/x"}, "odd", 0});
    EXPECT_EQ(Saved(materials),
              "[{\"mat\":\"stone\",\"diff\":\"textures/diff/stone.png\",\"spec\":\"\","
              "\"nrm\":\"textures/nrm/stone_n.png\",\"disp\":\"\"},"
              "{\"mat\":\"odd\",\"diff\":\"a\\\"b\\\\c\",\"spec\":\"tab\\there\","
              "\"nrm\":\"\\u0001\x7f\",\"disp\":\"\xc3\xa9/x\"}]");
}

TEST_F(ResourceListTest, MaterialLoaderTakesCompleteElementsAndTheLaterDuplicateName)
{
    MaterialManager materials;
    const std::string printed = LoadFrom(
        materials,
        "[{\"mat\":\"a\",\"diff\":\"d.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"},\r\n"
        " {\"mat\":\"nodisp\",\"diff\":\"\",\"spec\":\"\",\"nrm\":\"\"},\n"
        " {\"mat\":\"numeric\",\"diff\":1,\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"},\n"
        " \"not an object\", 5,\n"
        " {\"extra\":true,\"mat\":\"b\",\"diff\":\"\",\"spec\":\"s.png\",\"nrm\":\"\",\"disp\":\"\"},\n"
        " {\"mat\":\"a\",\"diff\":\"d2.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"}]");
    const std::string file = materials.m_fileName;
    EXPECT_EQ(printed,
              file + ": record 1 is not used (\"disp\" is missing); it is kept as it is in the file\n" +
              file + ": record 2 is not used (\"diff\" is not a string); it is kept as it is in the file\n" +
              file + ": record 3 is not used (not an object); it is kept as it is in the file\n" +
              file + ": record 4 is not used (not an object); it is kept as it is in the file\n");
    ASSERT_EQ(materials.m_materials.size(), 3u);
    EXPECT_EQ(materials.m_materials[0].m_textures.m_diffuse, "d.png");
    EXPECT_EQ(materials.m_materials[1].m_textures.m_specular, "s.png");
    for (const MaterialInfo& info : materials.m_materials)
        EXPECT_EQ(info.m_materialHandle, 0);
    EXPECT_EQ(materials.GetMaterialIndex("a"), 2);
    EXPECT_EQ(materials.GetMaterialIndex("b"), 1);
    EXPECT_EQ(materials.GetMaterialIndex("nodisp"), -1);
    EXPECT_EQ(materials.GetMaterialHandle("unknown"), 0);
}

// Each list names its own file in the message; the model and mesh lists keep the material
// list's words, as they always have.
TEST_F(ResourceListTest, MalformedListsPrintOneLineAndAreNotOverwrittenAtExit)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool kept;  // false: the file held nothing, so saving over it loses nothing
    };
    const Case cases[] = {
        {"syntax error", "[{\"mat\":\"a\",}]", true},
        {"object root", "{\"mat\":\"a\"}", true},
        {"trailing text", "[] []", true},
        {"empty file", "", false},
        {"white space", " \r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MaterialManager materials;
        MeshManager meshes;
        ModelManager models;
        const std::string materialFile = File("material.init").string();
        const std::string meshFile = File("mesh.init").string();
        const std::string modelFile = File("model.init").string();
        materials.m_fileName = materialFile;
        meshes.m_fileName = meshFile;
        models.m_fileName = modelFile;
        for (const std::string& file : {materialFile, meshFile, modelFile})
            WriteBytes(file, c.bytes);

        const std::string printed = zttest::CaptureStdout([&] {
            materials.Load();
            meshes.Load();
            models.Load();
        });
        EXPECT_EQ(printed, materialFile + " is not a proper array of materials info\n" + meshFile +
                               " is not a proper array of materials info\n" + modelFile +
                               " is not a proper array of materials info\n");
        EXPECT_TRUE(materials.m_materials.empty());
        EXPECT_TRUE(meshes.m_meshes.empty());
        EXPECT_TRUE(models.m_models.empty());

        const std::string saved = zttest::CaptureStdout([&] {
            materials.Save();
            meshes.Save();
            models.Save();
        });
        for (const std::string& file : {materialFile, meshFile, modelFile})
            EXPECT_EQ(ReadBytes(file), c.kept ? c.bytes : "[]") << file;
        if (c.kept) {
            EXPECT_NE(saved.find(materialFile + " was not rewritten"), std::string::npos);
        }
    }
}

TEST_F(ResourceListTest, MissingListLoadsNothingSilently)
{
    MaterialManager materials;
    MeshManager meshes;
    ModelManager models;
    materials.m_fileName = File("none1").string();
    meshes.m_fileName = File("none2").string();
    models.m_fileName = File("none3").string();
    EXPECT_EQ(zttest::CaptureStdout([&] {
                  materials.Load();
                  meshes.Load();
                  models.Load();
              }),
              "");
    EXPECT_TRUE(materials.m_materials.empty() && meshes.m_meshes.empty() && models.m_models.empty());
}

TEST_F(ResourceListTest, AddingAKnownMaterialRebuildsEveryRecordOfThatName)
{
    zttest::NullRenderer3D renderer;
    MaterialManager materials;
    LoadFrom(materials,
             "[{\"mat\":\"a\",\"diff\":\"1.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"},"
             "{\"mat\":\"b\",\"diff\":\"2.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"},"
             "{\"mat\":\"a\",\"diff\":\"3.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"}]");

    const uint32_t before = renderer.GetMaterialCount();
    const int32_t handle = materials.AddMaterial(renderer, "a", MaterialTextures{"new.png", "", "", ""});
    EXPECT_EQ(renderer.GetMaterialCount(), before + 1);
    EXPECT_EQ(materials.m_materials.size(), 3u);
    EXPECT_EQ(materials.GetMaterialIndex("a"), 2);
    for (size_t i : {size_t{0}, size_t{2}}) {
        EXPECT_EQ(materials.m_materials[i].m_textures.m_diffuse, "new.png");
        EXPECT_EQ(materials.m_materials[i].m_materialHandle, handle);
    }

    // All four paths empty: the renderer's default material, and still a record.
    EXPECT_EQ(materials.AddMaterial(renderer, "plain", MaterialTextures{}), 0);
    EXPECT_EQ(materials.GetMaterialIndex("plain"), 3);

    // Removing b re-indexes what follows it.
    materials.RemoveMaterial("b");
    ASSERT_EQ(materials.m_materials.size(), 3u);
    EXPECT_EQ(materials.GetMaterialIndex("b"), -1);
    EXPECT_EQ(materials.GetMaterialIndex("a"), 1);
    EXPECT_EQ(materials.GetMaterialIndex("plain"), 2);
    materials.RemoveMaterial("nobody");
    EXPECT_EQ(materials.m_materials.size(), 3u);
}

TEST_F(ResourceListTest, MaterialJobsBuildOneRecordEachAndSurviveADeletedRecord)
{
    zttest::NullRenderer3D renderer;
    zttest::JobQueueApp app;
    MaterialManager materials;
    LoadFrom(materials,
             "[{\"mat\":\"a\",\"diff\":\"textures/diff/a.png\",\"spec\":\"\",\"nrm\":\"n.png\",\"disp\":\"\"},"
             "{\"mat\":\"b\",\"diff\":\"\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"},"
             "{\"mat\":\"c\",\"diff\":\"c.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"}]");
    materials.QueueBuildJobs(renderer, app);
    EXPECT_EQ(app.GetPendingJobCount(), 3u);
    EXPECT_EQ(materials.m_materials[0].m_materialHandle, 0);

    app.RunNextJob();
    const int32_t a = materials.m_materials[0].m_materialHandle;
    EXPECT_GT(a, 0);
    EXPECT_EQ(renderer.GetTexturePath(renderer.GetMaterial(a).m_diffuseTexture), "textures/diff/a.png");
    EXPECT_EQ(renderer.GetTexturePath(renderer.GetMaterial(a).m_normalTexture), "n.png");

    // The editor deletes a material while the loading screen still has its job queued.
    materials.RemoveMaterial("c");
    EXPECT_EQ(app.DrainJobs(), 2);
    EXPECT_EQ(materials.m_materials[1].m_materialHandle, 0);  // b has no textures
    EXPECT_EQ(materials.GetMaterialHandle("a"), a);
}

// ---------------------------------------------------------------------------------------------
// Mesh list

MeshBuildInfo Mesh(std::string name, int32_t type, int32_t stacks, int32_t slices, float start,
                   float end, float minor, std::string path, std::string file)
{
    return MeshBuildInfo{std::move(name), type, stacks, slices, start, end, minor,
                         std::move(path), std::move(file)};
}

TEST_F(ResourceListTest, MeshListIsWrittenCompactWithShortestRoundTripFloats)
{
    MeshManager meshes;
    EXPECT_EQ(Saved(meshes), "[]");

    meshes.m_meshes.push_back(Mesh("ball", 3, 8, 16, 0.0f, -0.0f, 0.5f, "", ""));
    meshes.m_meshes.push_back(Mesh("ring", 5, -2, 2147483647, 0.4f, 1e-7f, 1000.0f, "", ""));
    meshes.m_meshes.push_back(Mesh("gun", 8, 0, 0, 2.2f, 0.1f, 1e21f, "models/", "gun.obj"));
    EXPECT_EQ(Saved(meshes),
              "[{\"MeshName\":\"ball\",\"MeshType\":3,\"MeshStacks\":8,\"MeshSlices\":16,"
              "\"MeshStartAngle\":0.0,\"MeshEndAngle\":-0.0,\"MeshMinorFactor\":0.5,"
              "\"MeshFilePath\":\"\",\"MeshFileName\":\"\"},"
              "{\"MeshName\":\"ring\",\"MeshType\":5,\"MeshStacks\":-2,\"MeshSlices\":2147483647,"
              "\"MeshStartAngle\":0.4000000059604645,\"MeshEndAngle\":1.0000000116860974e-7,"
              "\"MeshMinorFactor\":1000.0,\"MeshFilePath\":\"\",\"MeshFileName\":\"\"},"
              "{\"MeshName\":\"gun\",\"MeshType\":8,\"MeshStacks\":0,\"MeshSlices\":0,"
              "\"MeshStartAngle\":2.200000047683716,\"MeshEndAngle\":0.10000000149011612,"
              "\"MeshMinorFactor\":1.0000000200408774e21,\"MeshFilePath\":\"models/\","
              "\"MeshFileName\":\"gun.obj\"}]");

    // Every field, used by its kind or not, comes back, and the next save is the same bytes.
    const std::string first = ReadBytes(meshes.m_fileName);
    MeshManager again;
    LoadFrom(again, first);
    ASSERT_EQ(again.m_meshes.size(), 3u);
    EXPECT_EQ(again.m_meshes[1].m_stacks, -2);
    EXPECT_EQ(again.m_meshes[1].m_startAngle, 0.4f);
    EXPECT_EQ(again.m_meshes[1].m_endAngle, 1e-7f);
    EXPECT_TRUE(std::signbit(again.m_meshes[0].m_endAngle));
    EXPECT_EQ(again.m_meshes[2].m_filePath, "models/");
    EXPECT_EQ(Saved(again), first);
}

TEST_F(ResourceListTest, NonFiniteMeshValuesAreWrittenAsNumbersAndTheFileStaysWhole)
{
    MeshManager meshes;
    meshes.m_meshes.push_back(Mesh("bad", 5, 4, 4, std::numeric_limits<float>::quiet_NaN(),
                                   std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity(), "", ""));
    meshes.m_meshes.push_back(Mesh("after", 2, 0, 0, 0.0f, 0.0f, 0.0f, "", ""));
    meshes.m_fileName = File("mesh.init").string();
    const std::string printed = zttest::CaptureStdout([&] { meshes.Save(); });
    EXPECT_NE(printed.find("\"MeshStartAngle\" is not a finite number"), std::string::npos);

    MeshManager again;
    again.m_fileName = meshes.m_fileName;
    EXPECT_EQ(zttest::CaptureStdout([&] { again.Load(); }), "");
    ASSERT_EQ(again.m_meshes.size(), 2u);
    EXPECT_EQ(again.m_meshes[0].m_startAngle, 0.0f);
    EXPECT_EQ(again.m_meshes[0].m_endAngle, std::numeric_limits<float>::max());
    EXPECT_EQ(again.m_meshes[0].m_minorFactor, -std::numeric_limits<float>::max());
    EXPECT_EQ(again.m_meshes[1].m_name, "after");
}

TEST_F(ResourceListTest, MeshLoaderTakesOnlyElementsWithEveryMemberInItsExactForm)
{
    // One member of a good element replaced by the text given; accepted or not.
    const std::string good =
        "\"MeshName\":\"m\",\"MeshType\":3,\"MeshStacks\":4,\"MeshSlices\":5,"
        "\"MeshStartAngle\":0.0,\"MeshEndAngle\":0.0,\"MeshMinorFactor\":0.0,"
        "\"MeshFilePath\":\"\",\"MeshFileName\":\"\"";
    struct Case {
        const char* from;
        const char* to;
        bool accepted;
    };
    const Case cases[] = {
        {"\"MeshStartAngle\":0.0", "\"MeshStartAngle\":0", false},
        {"\"MeshStartAngle\":0.0", "\"MeshStartAngle\":1e2", true},
        {"\"MeshStartAngle\":0.0", "\"MeshStartAngle\":-2.5E-3", true},
        {"\"MeshStartAngle\":0.0", "\"MeshStartAngle\":3.4028234e38", true},
        {"\"MeshStartAngle\":0.0", "\"MeshStartAngle\":3.5e38", false},
        {"\"MeshMinorFactor\":0.0", "\"MeshMinorFactor\":\"0.0\"", false},
        {"\"MeshType\":3", "\"MeshType\":3.0", false},
        {"\"MeshType\":3", "\"MeshType\":3e0", false},
        {"\"MeshStacks\":4", "\"MeshStacks\":2147483648", false},
        {"\"MeshStacks\":4", "\"MeshStacks\":-2147483648", true},
        {"\"MeshSlices\":5,", "", false},
        {"\"MeshFileName\":\"\"", "\"MeshFileName\":null", false},
        {"\"MeshName\":\"m\"", "\"Other\":1,\"MeshName\":\"m\"", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        std::string element = good;
        element.replace(element.find(c.from), std::string(c.from).size(), c.to);
        MeshManager meshes;
        const std::string printed = LoadFrom(meshes, "[{" + element + "},{" + good + "},[]]");
        EXPECT_EQ(printed.find(": record 0 is not used") == std::string::npos, c.accepted) << printed;
        EXPECT_NE(printed.find(": record 2 is not used (not an object)"), std::string::npos);
        EXPECT_EQ(meshes.m_meshes.size(), c.accepted ? 2u : 1u);
    }
}

TEST_F(ResourceListTest, MeshJobsBuildTheListAndTheFirstOfTwoNamesWins)
{
    zttest::NullRenderer3D renderer;
    zttest::JobQueueApp app;
    MeshManager meshes;
    meshes.m_meshes = {
        Mesh("shared", 1, 0, 0, 0.0f, 0.0f, 0.0f, "", ""),
        Mesh("own", 2, 0, 0, 0.0f, 0.0f, 0.0f, "", ""),
        Mesh("ball", 3, 4, 6, 0.0f, 0.0f, 0.0f, "", ""),
        Mesh("never", 9, 0, 0, 0.0f, 0.0f, 0.0f, "", ""),
        Mesh("ball", 6, 1, 1, 0.0f, 0.0f, 0.0f, "", ""),
        Mesh("file", 8, 0, 0, 0.0f, 0.0f, 0.0f, ZT_RUNTIME_DIR "/models", "cube1cm.obj"),
    };
    EXPECT_EQ(meshes.GetMesh("ball"), -1);

    const uint32_t before = renderer.GetMeshCount();
    meshes.QueueBuildJobs(renderer, app);
    EXPECT_EQ(renderer.GetMeshCount(), before + 1);  // the default cube, at once
    EXPECT_EQ(app.GetPendingJobCount(), 5u);         // kind 9 builds nothing
    EXPECT_EQ(meshes.GetMesh("ball"), meshes.m_defaultCubeMesh);

    // An Add while the jobs wait appends a record and may move the others.
    meshes.AddSphereMesh(renderer, "late", 2, 2);
    meshes.m_meshes.reserve(meshes.m_meshes.capacity() + 16);

    app.DrainJobs();
    EXPECT_EQ(meshes.GetMesh("shared"), meshes.m_defaultCubeMesh);
    EXPECT_NE(meshes.GetMesh("own"), meshes.m_defaultCubeMesh);
    EXPECT_EQ(meshes.m_meshHandles.count("never"), 0u);
    EXPECT_EQ(meshes.m_meshHandles.size(), 5u);
    // Both "ball" records were built; the sphere, built first, keeps the name.
    EXPECT_EQ(renderer.GetMeshCount(), before + 1 + 4 + 1);  // kind 1 shares the cube
    EXPECT_LT(meshes.GetMesh("ball"), meshes.GetMesh("file"));
    EXPECT_GT(renderer.GetRawModel(static_cast<uint32_t>(meshes.GetMesh("file"))).m_indexCount, 0u);
    EXPECT_EQ(meshes.GetMesh("unknown"), meshes.m_defaultCubeMesh);
}

TEST_F(ResourceListTest, MeshAddOperationsRecordTheirKindAndKeepUnusedFields)
{
    zttest::NullRenderer3D renderer;
    MeshManager meshes;
    meshes.m_defaultCubeMesh = renderer.CreateCubeMesh();

    const int32_t torus = meshes.AddTorusMesh(renderer, "t", 8, 8, 0.25f, 0.5f, 0.75f);
    EXPECT_EQ(meshes.GetMesh("t"), torus);
    const int32_t sphere = meshes.AddSphereMesh(renderer, "t", 3, 4);
    EXPECT_NE(sphere, torus);
    EXPECT_EQ(meshes.GetMesh("t"), sphere);
    ASSERT_EQ(meshes.m_meshes.size(), 1u);
    const MeshBuildInfo& t = meshes.m_meshes[0];
    EXPECT_EQ(t.m_type, 3);
    EXPECT_EQ(t.m_stacks, 3);
    EXPECT_EQ(t.m_slices, 4);
    EXPECT_EQ(t.m_startAngle, 0.25f);
    EXPECT_EQ(t.m_endAngle, 0.5f);
    EXPECT_EQ(t.m_minorFactor, 0.75f);

    // A cube is recorded as the shared kind but gets a cube of its own.
    const int32_t cube = meshes.AddCubeMesh(renderer, "c");
    EXPECT_NE(cube, meshes.m_defaultCubeMesh);
    EXPECT_EQ(meshes.m_meshes[1].m_type, 1);

    meshes.AddCustomMesh(renderer, "f", ZT_RUNTIME_DIR "/models/", "cube1cm.obj");
    EXPECT_EQ(meshes.m_meshes[2].m_type, 8);
    EXPECT_EQ(meshes.m_meshes[2].m_filePath, ZT_RUNTIME_DIR "/models/");
    EXPECT_EQ(meshes.m_meshes[2].m_stacks, 0);

    // A mistyped count is built within bounds instead of taking the memory; the record keeps it.
    const std::string printed =
        zttest::CaptureStdout([&] { meshes.AddPlaneMesh(renderer, "p", -1, 100000); });
    EXPECT_NE(printed.find("-1 stacks is out of range"), std::string::npos);
    EXPECT_EQ(meshes.m_meshes[3].m_stacks, -1);
    EXPECT_EQ(meshes.m_meshes[3].m_slices, 100000);

    meshes.RemoveMesh("t");
    EXPECT_EQ(meshes.m_meshes.size(), 3u);
    EXPECT_EQ(meshes.GetMesh("t"), meshes.m_defaultCubeMesh);
}

// ---------------------------------------------------------------------------------------------
// Model list

TEST_F(ResourceListTest, ModelListIsWrittenCompactAndAModelWithoutAnimationsShowsOneEmptyName)
{
    ModelManager models;
    EXPECT_EQ(Saved(models), "[]");

    RecordingRenderer renderer;
    MaterialManager materials;
    MeshManager meshes;
    meshes.m_defaultCubeMesh = renderer.CreateCubeMesh();
    models.m_models.push_back(ModelInfo{"red", "arrow", "arrowmodel", {}, -1});
    models.AddModel(renderer, "CoinModel", materials, meshes, "coin", "gold", {});
    EXPECT_EQ(Saved(models),
              "[{\"ModelName\":\"arrowmodel\",\"MeshName\":\"arrow\",\"MaterialName\":\"red\","
              "\"AnimationNames\":[]},{\"ModelName\":\"CoinModel\",\"MeshName\":\"coin\","
              "\"MaterialName\":\"gold\",\"AnimationNames\":[\"\"]}]");

    // Re-creating it from its record must not ask for an animation file named "".
    models.AddModel(renderer, "CoinModel", materials, meshes, "coin", "gold",
                    models.m_models[1].m_animationNames);
    models.AddModel(renderer, "walker", materials, meshes, "m", "x",
                    {"animation/a.fbx", "", "animation/b.fbx"});
    EXPECT_EQ(renderer.animationLoads,
              (std::vector<std::string>{"animation/a.fbx", "animation/b.fbx"}));
}

TEST_F(ResourceListTest, ModelLoaderNeedsTheThreeNamesAndTakesStringAnimations)
{
    ModelManager models;
    const std::string printed = LoadFrom(
        models,
        "[{\"ModelName\":\"a\",\"MeshName\":\"m\",\"MaterialName\":\"x\"},"
        "{\"ModelName\":\"b\",\"MeshName\":\"m\"},"
        "{\"ModelName\":\"c\",\"MeshName\":\"m\",\"MaterialName\":\"x\","
        "\"AnimationNames\":[\"one\",2,\"\",\"two\"]},"
        "{\"ModelName\":\"d\",\"MeshName\":\"m\",\"MaterialName\":\"x\",\"AnimationNames\":\"one\"},"
        "7]");
    // A record with a missing name or animations that are not all names is reported and kept
    // as it stands for the next save, rather than used with its animations cut.
    const std::string file = models.m_fileName;
    EXPECT_EQ(printed,
              file + ": record 1 is not used (\"MaterialName\" is missing); it is kept as it is in the file\n" +
              file + ": record 2 is not used (\"AnimationNames\" holds a value that is not a string); it is kept as it is in the file\n" +
              file + ": record 3 is not used (\"AnimationNames\" is not an array); it is kept as it is in the file\n" +
              file + ": record 4 is not used (not an object); it is kept as it is in the file\n");
    ASSERT_EQ(models.m_models.size(), 1u);
    EXPECT_TRUE(models.m_models[0].m_animationNames.empty());
    for (const ModelInfo& info : models.m_models)
        EXPECT_EQ(info.m_modelHandle, -1);
    EXPECT_TRUE(models.m_modelHandles.empty());
    EXPECT_EQ(models.GetModel("a"), 0);
}

TEST_F(ResourceListTest, BuildModelsResolvesNamesAndFallsBackToTheDefaultCube)
{
    RecordingRenderer renderer;
    zttest::JobQueueApp app;
    MaterialManager materials;
    MeshManager meshes;
    ModelManager models;
    materials.m_materials = {MaterialInfo{{"r.png", "", "", ""}, "red", 0},
                             MaterialInfo{{"g.png", "", "", ""}, "gold", 0}};
    materials.m_materialIndices = {{"red", 0}, {"gold", 1}};
    meshes.m_meshes = {Mesh("arrow", 3, 4, 4, 0.0f, 0.0f, 0.0f, "", ""),
                       Mesh("coin", 4, 4, 4, 0.0f, 0.0f, 0.0f, "", "")};
    models.m_models = {ModelInfo{"red", "arrow", "arrowmodel", {"animation/x.fbx"}, -1},
                       ModelInfo{"gold", "coin", "CoinModel", {}, -1},
                       ModelInfo{"nosuch", "nosuch", "Fallback", {}, -1},
                       ModelInfo{"red", "coin", "CoinModel", {}, -1}};
    materials.QueueBuildJobs(renderer, app);
    meshes.QueueBuildJobs(renderer, app);
    app.DrainJobs();

    // Taken before the models exist, a reference is to the default model: it shows the cube
    // once that is built (a copy would keep 0, whatever model 0 turns out to be).
    int32_t& early = models.GetModel("arrowmodel");
    EXPECT_EQ(early, 0);

    const std::string printed = zttest::CaptureStdout(
        [&] { models.BuildModels(renderer, materials, meshes); });
    EXPECT_NE(printed.find("No files found for: animation/*.FBX"), std::string::npos);
    EXPECT_TRUE(renderer.animationLoads.empty());

    auto batch = [&](int32_t model) { return renderer.GetModel(static_cast<uint32_t>(model)); };
    const int32_t arrow = models.GetModel("arrowmodel");
    EXPECT_EQ(models.m_models[0].m_modelHandle, arrow);
    EXPECT_EQ(batch(arrow).m_mesh, meshes.GetMesh("arrow"));
    EXPECT_EQ(batch(arrow).m_material, materials.GetMaterialHandle("red"));
    EXPECT_NE(batch(arrow).m_material, 0);
    EXPECT_EQ(batch(models.GetModel("Fallback")).m_material, 0);
    EXPECT_EQ(batch(models.GetModel("Fallback")).m_mesh, meshes.m_defaultCubeMesh);
    // The later of two records of a name wins.
    EXPECT_EQ(models.GetModel("CoinModel"), models.m_models[3].m_modelHandle);
    EXPECT_NE(models.m_models[1].m_modelHandle, models.m_models[3].m_modelHandle);

    // An unknown name: the default model, a new cube of its own with the default material.
    const int32_t fallback = models.GetModel("KoboldModel");
    EXPECT_EQ(&models.GetModel("KoboldModel"), &models.m_defaultModel);
    EXPECT_EQ(fallback, static_cast<int32_t>(renderer.GetModelCount()) - 1);
    EXPECT_EQ(batch(fallback).m_material, 0);
    EXPECT_NE(batch(fallback).m_mesh, meshes.m_defaultCubeMesh);

    // The reference taken before follows a rebuild of its name.
    int32_t& coin = models.GetModel("CoinModel");
    const int32_t rebuilt = models.AddModel(renderer, "CoinModel", materials, meshes, "arrow",
                                            "gold", {});
    EXPECT_EQ(coin, rebuilt);
    EXPECT_EQ(models.m_models[1].m_modelHandle, rebuilt);
    EXPECT_EQ(models.m_models[3].m_modelHandle, rebuilt);
    EXPECT_EQ(models.m_models[3].m_meshName, "arrow");
    EXPECT_EQ(early, fallback);

    models.RemoveModel("CoinModel");
    EXPECT_EQ(models.m_models.size(), 3u);
    EXPECT_EQ(models.GetModel("CoinModel"), fallback);
}

// A run that saves at exit leaves every shipped list exactly as it was authored.
TEST_F(ResourceListTest, ShippedListsAreInTheFormTheGameWritesBack)
{
    const fs::path data = ZT_DATA_DIR;
    MaterialManager materials;
    MeshManager meshes;
    ModelManager models;
    const std::string materialBytes = ReadBytes(data / "material.init");
    const std::string meshBytes = ReadBytes(data / "mesh.init");
    const std::string modelBytes = ReadBytes(data / "model.init");
    EXPECT_EQ(LoadFrom(materials, materialBytes), "");
    EXPECT_EQ(LoadFrom(meshes, meshBytes), "");
    EXPECT_EQ(LoadFrom(models, modelBytes), "");
    EXPECT_FALSE(materials.m_materials.empty());
    EXPECT_EQ(Saved(materials), materialBytes);
    EXPECT_EQ(Saved(meshes), meshBytes);
    EXPECT_EQ(Saved(models), modelBytes);

    // Every model names a listed mesh and material (a missing one would silently be a cube).
    for (const ModelInfo& info : models.m_models) {
        SCOPED_TRACE(info.m_modelName);
        EXPECT_GE(materials.GetMaterialIndex(info.m_materialName), 0);
        bool meshListed = false;
        for (const MeshBuildInfo& mesh : meshes.m_meshes)
            meshListed = meshListed || mesh.m_name == info.m_meshName;
        EXPECT_TRUE(meshListed);
    }
}

}  // namespace
