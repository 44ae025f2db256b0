// The resource lists in the running game (window on a virtual display): read at Init, built by
// jobs that the loading screen runs one per frame, models built once the queue first runs empty,
// every listed model found by name, and the lists and scenes written back unchanged at exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Renderer3DBase.h"
#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ModelManager.h"
#include "core/resources/PropManager.h"
#include "core/resources/ResourceTestUtil.h"
#include "support/AppFixture.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::MaterialManager;
using ztengine::MeshManager;
using ztengine::ModelManager;
using ztengine::PropManager;
using zttest::ReadBytes;
using zttest::WriteBytes;

// What the stand-in systems saw; kept outside them, since the game deletes its systems.
struct Seen {
    std::vector<size_t> pendingBeforeEachRun;
    int frame = 0;
};
Seen g_seen;

// The loading screen's part: one job per frame.
class JobRunner : public ztengine::Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    explicit JobRunner(ztengine::App* app) : Subsystem(app) {}
    void Update(float) override
    {
        ++g_seen.frame;
        if (m_app->HasPendingJobs()) {
            g_seen.pendingBeforeEachRun.push_back(m_app->GetPendingJobCount());
            m_app->RunNextJob();
        }
    }
};

const std::string kMaterials =
    "[{\"mat\":\"gold\",\"diff\":\"textures/diff/coin.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"},"
    "{\"mat\":\"stone\",\"diff\":\"textures/diff/altar.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"}]";
const std::string kMeshes =
    "[{\"MeshName\":\"coin\",\"MeshType\":8,\"MeshStacks\":0,\"MeshSlices\":0,"
    "\"MeshStartAngle\":0.0,\"MeshEndAngle\":0.0,\"MeshMinorFactor\":0.0,"
    "\"MeshFilePath\":\"models/\",\"MeshFileName\":\"coin.obj\"},"
    "{\"MeshName\":\"ball\",\"MeshType\":3,\"MeshStacks\":8,\"MeshSlices\":16,"
    "\"MeshStartAngle\":0.0,\"MeshEndAngle\":0.0,\"MeshMinorFactor\":0.0,"
    "\"MeshFilePath\":\"\",\"MeshFileName\":\"\"}]";
const std::string kModels =
    "[{\"ModelName\":\"CoinModel\",\"MeshName\":\"coin\",\"MaterialName\":\"gold\","
    "\"AnimationNames\":[\"\"]},"
    "{\"ModelName\":\"ballModel\",\"MeshName\":\"ball\",\"MaterialName\":\"stone\","
    "\"AnimationNames\":[]}]";

// The resource editors queue the build jobs; the job runner works them off from the first frame.
zttest::AppFixtureOptions WithJobRunner()
{
    zttest::AppFixtureOptions options;
    options.beforeInit = [](ztengine::Win32App& app) {
        app.RegSystemToState("BRIMSEL_SPLASH_STATE", app.AddSystem<JobRunner>().second);
    };
    return options;
}

// Runs frames until the loading is done (or a generous limit is reached).
void RunUntilLoaded(zttest::AppFixture& game)
{
    for (int i = 0; i < 400 && !game.App().AreJobsDone(); ++i)
        game.RunFrames(1);
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

TEST(LoadingWaves, JobsBuildTheListsOnePerFrameThenEveryModelResolvesByName)
{
    g_seen = Seen();
    const fs::path work = zttest::MakeRuntimeWorkspace("loading-waves");
    WriteBytes(work / "material.init", kMaterials);
    WriteBytes(work / "mesh.init", kMeshes);
    WriteBytes(work / "model.init", kModels);
    std::vector<std::pair<fs::path, std::string>> scenes;
    size_t sceneCount = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(work / "scenes")) {
        scenes.emplace_back(entry.path(), ReadBytes(entry.path()));
        sceneCount += entry.path().extension() == ".json" ? 1 : 0;
    }
    ASSERT_GT(sceneCount, 0u);

    zttest::AppFixtureOptions options = WithJobRunner();
    options.workDir = work;
    std::unique_ptr<zttest::AppFixture> game;
    std::string printed = zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
    ASSERT_TRUE(game->Started()) << game->InitError();
    ztengine::Win32App& app = game->App();
    ModelManager& models = *app.GetSharedData<ModelManager>("ModelManager");
    MaterialManager& materials = *app.GetSharedData<MaterialManager>("MaterialManager");
    MeshManager& meshes = *app.GetSharedData<MeshManager>("MeshManager");
    auto& renderer = dynamic_cast<ztengine::Renderer3DBase&>(*app.GetGraphics3D());

    // Read at Init; nothing built but the mesh list's default cube.
    ASSERT_EQ(materials.m_materials.size(), 2u);
    ASSERT_EQ(meshes.m_meshes.size(), 2u);
    ASSERT_EQ(models.m_models.size(), 2u);
    EXPECT_GE(meshes.m_defaultCubeMesh, 0);
    EXPECT_GT(app.GetPendingJobCount(), 0u);
    EXPECT_FALSE(app.AreJobsDone());
    EXPECT_EQ(models.m_models[0].m_modelHandle, -1);
    EXPECT_EQ(app.GetSharedData<PropManager>("PropManager")->m_scenes.size(), sceneCount);

    printed += zttest::CaptureStdout([&] { RunUntilLoaded(*game); });
    ASSERT_TRUE(app.AreJobsDone());
    EXPECT_EQ(Count(printed, "all jobs completed!"), 1u);
    // One job per frame: the queue never shrank by more than one between two frames.
    for (size_t i = 1; i < g_seen.pendingBeforeEachRun.size(); ++i)
        EXPECT_GE(g_seen.pendingBeforeEachRun[i] + 1, g_seen.pendingBeforeEachRun[i - 1]);
    EXPECT_NE(materials.m_materials[1].m_materialHandle, 0);
    EXPECT_TRUE(meshes.m_meshHandles.count("coin"));

    for (size_t i = 0; i < models.m_models.size(); ++i) {
        const ztengine::ModelInfo& info = models.m_models[i];
        SCOPED_TRACE(info.m_modelName);
        const int32_t model = models.GetModel(info.m_modelName.c_str());
        EXPECT_EQ(model, info.m_modelHandle);
        EXPECT_NE(model, models.m_defaultModel);
        const ztengine::TexturedBatch& batch = renderer.GetModel(static_cast<uint32_t>(model));
        EXPECT_EQ(batch.m_mesh, meshes.GetMesh(info.m_meshName.c_str()));
        EXPECT_EQ(batch.m_material, materials.GetMaterialHandle(info.m_materialName));
        EXPECT_NE(batch.m_material, 0);
    }
    const int32_t unknown = models.GetModel("NoSuchModel");
    EXPECT_EQ(unknown, models.m_defaultModel);
    EXPECT_EQ(renderer.GetModel(static_cast<uint32_t>(unknown)).m_material, 0);
    EXPECT_NE(renderer.GetModel(static_cast<uint32_t>(unknown)).m_mesh, meshes.m_defaultCubeMesh);

    // The exit writes every list and scene back exactly as it was read.
    EXPECT_EQ(game->Shutdown(), 0);
    game.reset();
    EXPECT_EQ(ReadBytes(work / "material.init"), kMaterials);
    EXPECT_EQ(ReadBytes(work / "mesh.init"), kMeshes);
    EXPECT_EQ(ReadBytes(work / "model.init"), kModels);
    for (const auto& [path, bytes] : scenes)
        EXPECT_EQ(ReadBytes(path), bytes) << path;
}

TEST(LoadingWaves, AListThatCannotBeReadSurvivesARunAndItsExit)
{
    g_seen = Seen();
    const fs::path work = zttest::MakeRuntimeWorkspace("loading-malformed");
    const std::string broken = kMaterials.substr(0, kMaterials.size() - 1);  // no closing ]
    WriteBytes(work / "material.init", broken);
    WriteBytes(work / "mesh.init", kMeshes);
    WriteBytes(work / "model.init", kModels);

    zttest::AppFixtureOptions options = WithJobRunner();
    options.workDir = work;
    std::string printed;
    {
        std::unique_ptr<zttest::AppFixture> game;
        printed = zttest::CaptureStdout([&] {
            game = std::make_unique<zttest::AppFixture>(options);
            if (game->Started())
                RunUntilLoaded(*game);
        });
        ASSERT_TRUE(game->Started()) << game->InitError();
        // Without materials every model falls back to the default material, and still exists.
        ModelManager& models = *game->App().GetSharedData<ModelManager>("ModelManager");
        EXPECT_EQ(models.m_models.size(), 2u);
        EXPECT_NE(models.GetModel("CoinModel"), models.m_defaultModel);
        printed += zttest::CaptureStdout([&] { game->Shutdown(); });
    }
    EXPECT_EQ(Count(printed, "material.init is not a proper array of materials info\n"), 1u);
    EXPECT_EQ(Count(printed, "material.init was not rewritten"), 1u);
    EXPECT_EQ(ReadBytes(work / "material.init"), broken);
    EXPECT_EQ(ReadBytes(work / "mesh.init"), kMeshes);
}

}  // namespace
