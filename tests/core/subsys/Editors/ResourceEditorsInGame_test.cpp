// The three resource editors in the running game (window on a virtual display): the loading
// work they do in every run, job by job, the resource lists they rewrite when used, and what
// each editor state looks like.
#include <gtest/gtest.h>

#include <imgui.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Renderer3DBase.h"
#include "core/gui/Gui.h"
#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/Editors/EditorCommon.h"
#include "core/subsys/Editors/MaterialEditor/MaterialEditor.h"
#include "core/subsys/Editors/MeshEditor/MeshEditor.h"
#include "core/subsys/Editors/ModelEditor/ModelEditor.h"
#include "core/subsys/Editors/ResourceEditorHarness.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::MaterialEditor;
using ztengine::MeshEditor;
using ztengine::ModelEditor;
using ztengine::Win32App;

const std::string kGoldMaterial =
    "{\"mat\":\"gold\",\"diff\":\"textures/diff/coin.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"}";
const std::string kStoneMaterial =
    "{\"mat\":\"stone\",\"diff\":\"textures/diff/altar.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"}";
const std::string kCoinMesh =
    "{\"MeshName\":\"coin\",\"MeshType\":8,\"MeshStacks\":0,\"MeshSlices\":0,"
    "\"MeshStartAngle\":0.0,\"MeshEndAngle\":0.0,\"MeshMinorFactor\":0.0,"
    "\"MeshFilePath\":\"models/\",\"MeshFileName\":\"coin.obj\"}";
const std::string kBallMesh =
    "{\"MeshName\":\"ball\",\"MeshType\":3,\"MeshStacks\":8,\"MeshSlices\":16,"
    "\"MeshStartAngle\":0.0,\"MeshEndAngle\":0.0,\"MeshMinorFactor\":0.0,"
    "\"MeshFilePath\":\"\",\"MeshFileName\":\"\"}";
const std::string kCoinModelRecord =
    "{\"ModelName\":\"CoinModel\",\"MeshName\":\"coin\",\"MaterialName\":\"gold\",\"AnimationNames\":[\"\"]}";
const std::string kBallModelRecord =
    "{\"ModelName\":\"ballModel\",\"MeshName\":\"ball\",\"MaterialName\":\"stone\",\"AnimationNames\":[\"\"]}";

// The editors as the game registered them, or registered here for this run when the game's
// registration does not hold them yet.
template <class T>
T* EditorOf(Win32App& app, const char* state)
{
    const std::vector<std::string>& names = app.GetStateNames();
    const uint32_t index =
        static_cast<uint32_t>(std::find(names.begin(), names.end(), state) - names.begin());
    for (uint32_t handle : app.GetStateSystems(index))
        if (T* system = dynamic_cast<T*>(app.GetSubsystems().At(handle).system))
            return system;
    auto [system, handle] = app.AddSystem<T>();
    app.RegSystemToState(state, handle);
    return system;
}

// What one loading job did, told apart by what it left behind.
struct JobWatch {
    MaterialEditor* materialEditor = nullptr;
    MeshEditor* meshEditor = nullptr;
    ModelEditor* modelEditor = nullptr;
    ztengine::Renderer3DBase* renderer = nullptr;
    ztengine::MeshManager* meshes = nullptr;
    std::vector<std::string> seen;
    bool initSeen = false;

    struct Counts {
        uint32_t materials, meshes, models;
        size_t names, materialPreviews, meshPreviews, mapped, pending;
        bool modelPreview;
    };
    Counts Take(const Win32App& app) const
    {
        return {renderer->GetMaterialCount(), renderer->GetMeshCount(), renderer->GetModelCount(),
                materialEditor->m_materialNames.size(), materialEditor->m_previews.size(),
                meshEditor->m_previews.size(), meshes->m_meshHandles.size(),
                app.GetPendingJobCount(), ztengine::HasEditorPreview(modelEditor->m_preview)};
    }
    void RunOne(Win32App& app)
    {
        if (!initSeen && meshEditor->m_listWindow >= 0) {
            initSeen = true;
            seen.push_back("late systems initialised");
        }
        const Counts before = Take(app);
        app.RunNextJob();
        const Counts after = Take(app);
        if (after.materialPreviews > before.materialPreviews)
            seen.push_back("material preview");
        else if (after.meshPreviews > before.meshPreviews)
            seen.push_back("mesh preview");
        else if (after.modelPreview && !before.modelPreview)
            seen.push_back("model preview");
        else if (after.names > before.names)
            seen.push_back("material list");
        else if (after.pending + 1 > before.pending)
            seen.push_back("queue material previews");
        else if (after.mapped > before.mapped)
            seen.push_back("mesh build");
        else if (after.materials > before.materials && after.models == before.models)
            seen.push_back("material build");
        // Anything else is another system's job.
    }
};
JobWatch g_watch;

// The loading screen's part in this run: one job per frame, in a state of its own.
class WatchedLoading : public ztengine::Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    explicit WatchedLoading(ztengine::App* app) : Subsystem(app) {}
    void Update(float) override
    {
        if (m_app->HasPendingJobs())
            g_watch.RunOne(*static_cast<Win32App*>(m_app));
    }
};

class EditorsInGame : public ::testing::Test {
protected:
    void Start(const std::string& materialList, const std::string& meshList,
               const std::string& modelList)
    {
        g_watch = JobWatch();
        work = zttest::MakeRuntimeWorkspace("editors-in-game");
        editortest::WriteBytes(work / "material.init", materialList);
        editortest::WriteBytes(work / "mesh.init", meshList);
        editortest::WriteBytes(work / "model.init", modelList);
        zttest::AppFixtureOptions options;
        options.workDir = work;
        options.beforeInit = [](Win32App& app) {
            g_watch.materialEditor = EditorOf<MaterialEditor>(app, "MATERIAL_EDITOR");
            g_watch.meshEditor = EditorOf<MeshEditor>(app, "MESH_EDITOR");
            g_watch.modelEditor = EditorOf<ModelEditor>(app, "MODEL_EDITOR");
            app.AddState("EDITOR_TEST_LOADING");
            app.RegSystemToState("EDITOR_TEST_LOADING", app.AddSystem<WatchedLoading>().second);
        };
        printed = zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
        ASSERT_TRUE(game->Started()) << game->InitError();
        g_watch.renderer = &dynamic_cast<ztengine::Renderer3DBase&>(*Game().GetGraphics3D());
        g_watch.meshes = Game().GetSharedData<ztengine::MeshManager>("MeshManager");
        Game().ChangeState("EDITOR_TEST_LOADING");
    }

    void TearDown() override
    {
        if (game)
            game->Shutdown();
        game.reset();
    }

    // Runs frames until the loading jobs and the late systems' jobs are all done.
    void FinishLoading()
    {
        printed += zttest::CaptureStdout([&] {
            game->RunUntil([&] { return Game().AreJobsDone() && !Game().HasPendingJobs(); }, 400);
        });
        ASSERT_TRUE(Game().AreJobsDone());
        ASSERT_FALSE(Game().HasPendingJobs());
    }

    void Frames(int n)
    {
        printed += zttest::CaptureStdout([&] { game->RunFrames(n); });
    }

    Win32App& Game() { return game->App(); }
    std::string Read(const char* file) { return editortest::ReadBytes(work / file); }
    static void Press(int window, const std::string& label)
    {
        editortest::PressButton(window, label);
    }

    fs::path work;
    std::unique_ptr<zttest::AppFixture> game;
    std::string printed;
};

TEST_F(EditorsInGame, LoadingWavesRunTheEditorsJobsInOrderAndEveryModelResolves)
{
    Start("[" + kGoldMaterial + "," + kStoneMaterial + "]", "[" + kCoinMesh + "," + kBallMesh + "]",
          "[" + kCoinModelRecord + "," + kBallModelRecord + "]");
    // The material editor was initialised at start-up: its preview mesh and listings exist,
    // and nothing is built yet but the mesh list's default cube.
    EXPECT_GE(g_watch.materialEditor->m_previewMesh, 0);
    EXPECT_GT(g_watch.materialEditor->m_diffuseFiles.size(), 1u);
    EXPECT_FALSE(Game().AreJobsDone());
    EXPECT_EQ(g_watch.meshEditor->m_listWindow, -1);
    EXPECT_EQ(Game().GetSharedData<ztengine::ModelManager>("ModelManager")->m_models[0].m_modelHandle, -1);

    FinishLoading();
    EXPECT_EQ(g_watch.seen, (std::vector<std::string>{
                                "material build", "material build", "material list",
                                "queue material previews", "mesh build", "mesh build",
                                "material preview", "material preview", "late systems initialised",
                                "mesh preview", "mesh preview", "model preview"}));

    const auto& models = *Game().GetSharedData<ztengine::ModelManager>("ModelManager");
    const auto& materials = *Game().GetSharedData<ztengine::MaterialManager>("MaterialManager");
    for (const ztengine::ModelInfo& info : models.m_models) {
        SCOPED_TRACE(info.m_modelName);
        const int32_t model = const_cast<ztengine::ModelManager&>(models).GetModel(info.m_modelName.c_str());
        EXPECT_NE(model, models.m_defaultModel);
        const ztengine::TexturedBatch& batch = g_watch.renderer->GetModel(static_cast<uint32_t>(model));
        EXPECT_EQ(batch.m_mesh, g_watch.meshes->GetMesh(info.m_meshName.c_str()));
        EXPECT_EQ(batch.m_material, materials.GetMaterialHandle(info.m_materialName));
        EXPECT_NE(batch.m_material, 0);
    }
    EXPECT_EQ(g_watch.materialEditor->m_previews.size(), 2u);
    EXPECT_EQ(g_watch.meshEditor->m_meshNames, (std::vector<std::string>{"ball", "coin"}));
}

TEST_F(EditorsInGame, CreatingAndDeletingInEachEditorRewritesItsListAtOnce)
{
    Start("[" + kGoldMaterial + "]", "[" + kCoinMesh + "]", "[" + kCoinModelRecord + "]");
    FinishLoading();

    MaterialEditor& materialEditor = *g_watch.materialEditor;
    Game().ChangeState("MATERIAL_EDITOR");
    Frames(1);
    std::snprintf(materialEditor.m_nameField, sizeof(materialEditor.m_nameField), "stone");
    *materialEditor.m_diffuseSelection = static_cast<int>(
        std::find(materialEditor.m_diffuseFiles.begin(), materialEditor.m_diffuseFiles.end(), "altar.png") -
        materialEditor.m_diffuseFiles.begin());
    Press(materialEditor.m_mainWindow, "Create Material");
    EXPECT_EQ(Read("material.init"), "[" + kGoldMaterial + "," + kStoneMaterial + "]");
    *materialEditor.m_materialSelection = 0;
    Frames(1);
    Press(materialEditor.m_mainWindow, "Delete Material");
    EXPECT_EQ(Read("material.init"), "[" + kStoneMaterial + "]");

    MeshEditor& meshEditor = *g_watch.meshEditor;
    Game().ChangeState("MESH_EDITOR");
    Frames(1);
    std::snprintf(meshEditor.m_nameField, sizeof(meshEditor.m_nameField), "ball");
    *meshEditor.m_kindSelection = MeshEditor::KindSphere;
    meshEditor.m_sphereStacks = 8;
    meshEditor.m_sphereSlices = 16;
    Press(meshEditor.m_mainWindow, "Create Mesh");
    EXPECT_EQ(Read("mesh.init"), "[" + kCoinMesh + "," + kBallMesh + "]");
    *meshEditor.m_meshSelection = 0;  // "coin"
    Frames(1);
    Press(meshEditor.m_listWindow, "Delete Mesh");
    EXPECT_EQ(Read("mesh.init"), "[" + kBallMesh + "]");

    ModelEditor& modelEditor = *g_watch.modelEditor;
    Game().ChangeState("MODEL_EDITOR");
    Frames(1);
    ASSERT_EQ(modelEditor.m_meshNames, (std::vector<std::string>{"ball"}));
    *modelEditor.m_materialSelection = 0;  // "stone"
    std::snprintf(modelEditor.m_nameField, sizeof(modelEditor.m_nameField), "ballModel");
    Press(modelEditor.m_mainWindow, "Create Model");
    EXPECT_EQ(Read("model.init"), "[" + kCoinModelRecord + "," + kBallModelRecord + "]");
    Frames(1);
    Press(modelEditor.m_listWindow, "Delete Model");
    EXPECT_EQ(Read("model.init"), "[" + kBallModelRecord + "]");

    Game().ChangeState("EDITOR_TEST_LOADING");
    Frames(1);
    EXPECT_FALSE(Game().IsCustomCursorShown());
    for (const ztengine::InstanceHandle& preview : materialEditor.m_previews)
        EXPECT_TRUE(preview.GetInstanceConst().m_hidden);
}

// Saves the frame shown on the screen as a picture under the test folder and tells where.
fs::path SaveScreen(Win32App& app, const std::string& name)
{
    const ztengine::WindowInfo& info = app.m_windowInfo;
    const int width = static_cast<int>(info.windowWidth);
    const int height = static_cast<int>(info.windowHeight);
    // The frame just shown is still in the back buffer on the virtual display's software GL.
    glReadBuffer(GL_BACK);
    const std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
    const fs::path path = fs::path(ZT_TEST_TMP_DIR) / "editor-screens" / (name + ".png");
    EXPECT_TRUE(zttest::GLTestContext::SavePng(path, pixels, width, height));
    std::printf("screenshot: %s\n", path.string().c_str());
    return path;
}

TEST_F(EditorsInGame, EachEditorStateShowsItsWindowsAndPreview)
{
    Start("[" + kGoldMaterial + "," + kStoneMaterial + "]", "[" + kCoinMesh + "," + kBallMesh + "]",
          "[" + kCoinModelRecord + "," + kBallModelRecord + "]");
    FinishLoading();
    struct Screen {
        const char* state;
        int windows[2];
        std::function<void()> choose;
    };
    const Screen screens[] = {
        {"MATERIAL_EDITOR",
         {g_watch.materialEditor->m_selectWindow, g_watch.materialEditor->m_mainWindow},
         [] { *g_watch.materialEditor->m_materialSelection = 1; }},
        {"MESH_EDITOR",
         {g_watch.meshEditor->m_listWindow, g_watch.meshEditor->m_mainWindow},
         [] { *g_watch.meshEditor->m_meshSelection = 1; }},
        {"MODEL_EDITOR",
         {g_watch.modelEditor->m_listWindow, g_watch.modelEditor->m_mainWindow},
         [] { *g_watch.modelEditor->m_modelSelection = 1; }},
    };
    ztengine::GuiManager& gui = ztengine::Gui::Instance().GetManager();
    const ztengine::WindowInfo& info = Game().m_windowInfo;
    const int width = static_cast<int>(info.windowWidth);
    const int height = static_cast<int>(info.windowHeight);
    for (const Screen& screen : screens) {
        SCOPED_TRACE(screen.state);
        Game().ChangeState(screen.state);
        screen.choose();
        // Only this editor's windows, side by side, so the picture shows them whole.
        for (size_t w = 0; w < gui.m_windows.size(); ++w)
            if (static_cast<int>(w) != screen.windows[0] && static_cast<int>(w) != screen.windows[1])
                gui.m_windows[w].visible = false;
        Frames(2);
        ImGui::SetWindowPos(gui.m_windows[static_cast<size_t>(screen.windows[0])].name.c_str(),
                            ImVec2(10.0f, 30.0f));
        ImGui::SetWindowPos(gui.m_windows[static_cast<size_t>(screen.windows[1])].name.c_str(),
                            ImVec2(static_cast<float>(width) - 420.0f, 30.0f));
        Frames(28);
        EXPECT_TRUE(Game().IsCustomCursorShown());
        EXPECT_TRUE(gui.GetGuiWindow(screen.windows[0])->visible);
        EXPECT_TRUE(gui.GetGuiWindow(screen.windows[1])->visible);
        SaveScreen(Game(), screen.state);
        // The preview is drawn over the middle of the screen; a corner shows the clear colour.
        glReadBuffer(GL_BACK);
        const zttest::Rgba middle = zttest::GLTestContext::ReadPixel(width / 2, height / 2);
        const zttest::Rgba corner = zttest::GLTestContext::ReadPixel(width - 5, 5);
        EXPECT_NE(middle, corner);
    }

    // Leaving the editors leaves none of their windows and no pointer on the screen (the game's
    // own scene, the hub, shows behind them from the end of loading on).
    Game().ChangeState("EDITOR_TEST_LOADING");
    Frames(2);
    for (const Screen& screen : screens)
        for (int window : screen.windows)
            EXPECT_FALSE(gui.GetGuiWindow(window)->visible) << screen.state;
    EXPECT_FALSE(Game().IsCustomCursorShown());
}

}  // namespace
