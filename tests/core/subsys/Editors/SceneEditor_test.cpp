// The scene editor on a headless application (CPU renderer, scripted input, the real GUI data
// layer and PropManager writing real scene files to a scratch folder), and once in the running
// game: entering "SCENE_EDITOR" after loading, placing, moving, cloning, deleting, saving and
// loading scenes.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/HeadlessApp.h"
#include "core/App.h"
#include "core/Win32App.h"
#include "core/gui/Gui.h"
#include "core/gui/GuiHarness.h"
#include "core/input/Input.h"
#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ModelManager.h"
#include "core/resources/PropManager.h"
#include "core/subsys/Editors/SceneEditor/SceneEditor.h"
#include "support/AppFixture.h"
#include "support/FakeInput.h"
#include "support/GLTestContext.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::DungeonScene;
using ztengine::InstanceData;
using ztengine::InstanceHandle;
using ztengine::ModelInfo;
using ztengine::PointLight;
using ztengine::Prop;
using ztengine::PropManager;
using ztengine::SceneEditor;
using ztmath::Vector3;

// The services the scene editor reaches: a CPU renderer, scripted input and the two managers.
class SceneEditorApp : public zttest::HeadlessApp {
public:
    SceneEditorApp()
    {
        m_inputService = &input;
        input.SetCursorEnabled(false);
        m_graphics3DService = &renderer;
        AddSharedData<PropManager>("PropManager");
        AddSharedData<ztengine::ModelManager>("ModelManager");
    }
    ~SceneEditorApp() override { ReleaseSharedData(); }

    zttest::NullRenderer3D renderer;
    zttest::FakeInput input;
};

using zttest::ReadBytes;

Prop MakeProp(const char* name, const char* model, Vector3 position, Vector3 scale)
{
    Prop prop;
    prop.m_name = name;
    prop.m_modelName = model;
    prop.m_position = position;
    prop.m_scale = scale;
    prop.m_tiling[0] = prop.m_tiling[1] = 1.0f;
    return prop;
}

PointLight MakeLight(const char* name, Vector3 position, float radius)
{
    PointLight light;
    light.m_name = name;
    light.m_position = position;
    light.m_colour = Vector3(1.0f, 0.5f, 0.25f);
    light.m_diffuseIntensity = 2.0f;
    light.m_radius = radius;
    return light;
}

// Two props and a light with every field set, a sun and a player start.
DungeonScene HallScene()
{
    DungeonScene scene;
    scene.m_name = "hall";
    Prop floor = MakeProp("floor", "DRedFloor_Model", Vector3(0.0f, 0.0f, 0.0f),
                          Vector3(4.0f, 1.0f, 4.0f));
    floor.m_tiling[0] = floor.m_tiling[1] = 4.0f;
    floor.m_enableCollision = true;
    floor.m_colliderType = 1;
    Prop crate = MakeProp("crate", "Crate4", Vector3(2.0f, 0.5f, 2.0f), Vector3(1.0f, 1.0f, 1.0f));
    crate.m_pitch = 10.0f;
    crate.m_yaw = 20.0f;
    crate.m_roll = 30.0f;
    crate.m_enableFakeLight = true;
    crate.m_colliderIndex = 7;
    scene.m_props = {floor, crate};
    scene.m_pointLights = {MakeLight("lamp", Vector3(1.0f, 3.0f, 1.0f), 6.0f)};
    scene.m_lightDirection = Vector3(0.0f, -1.0f, 0.5f);
    scene.m_lightColour = Vector3(1.0f, 1.0f, 0.9f);
    scene.m_lightEnabled = true;
    scene.m_playerStart = Vector3(1.0f, 2.0f, 3.0f);
    return scene;
}

DungeonScene CellarScene()
{
    DungeonScene scene;
    scene.m_name = "cellar";
    scene.m_props = {MakeProp("", "Crate4", Vector3(5.0f, 0.0f, 5.0f), Vector3(2.0f, 2.0f, 2.0f)),
                     MakeProp("rock", "DRedFloor_Model", Vector3(7.0f, 0.0f, 7.0f),
                              Vector3(0.5f, 0.5f, 0.5f))};
    scene.m_pointLights = {MakeLight("", Vector3(0.0f, 4.0f, 0.0f), 3.0f)};
    scene.m_playerStart = Vector3(-1.0f, 0.0f, -1.0f);
    return scene;
}

class SceneEditorTest : public ::testing::Test {
protected:
    SceneEditorTest()
    {
        props.m_folder = (dir / "").string();
        // Models as the model editor's build leaves them: one per listed name and a default.
        const int32_t cube = app.renderer.CreateCubeMesh();
        for (const char* name : {"arrowmodel", "Crate4", "DRedFloor_Model"}) {
            ModelInfo info;
            info.m_modelName = name;
            info.m_meshName = "cube";
            info.m_modelHandle = app.renderer.CreateModel(static_cast<uint32_t>(cube), 0);
            models.m_models.push_back(info);
            models.m_modelHandles[name] = info.m_modelHandle;
        }
        models.m_defaultModel = app.renderer.CreateModel(static_cast<uint32_t>(cube), 0);
        props.AddScene(HallScene());
        props.AddScene(CellarScene());
    }

    void InitEditor()
    {
        editor.Init();
        RunJobs();
    }
    void RunJobs()
    {
        while (app.HasPendingJobs())
            app.RunNextJob();
    }
    // One frame of the editor's state: its update, then the input moves on.
    void Frame(float dt = 1.0f / 60.0f)
    {
        editor.Update(dt);
        app.input.EndFrame();
    }
    void Press(int key)
    {
        app.input.Press(static_cast<unsigned>(key));
        Frame();
    }
    // Picks an entry of a drop-down as a click in its list does; the next frame takes it.
    void Pick(int* selection, int index)
    {
        *selection = index;
        Frame();
    }
    void LoadSceneNamed(const std::string& name)
    {
        const auto it = std::find(editor.m_sceneNames.begin(), editor.m_sceneNames.end(), name);
        ASSERT_NE(it, editor.m_sceneNames.end()) << name;
        *editor.m_sceneSelection = static_cast<int>(it - editor.m_sceneNames.begin());
        editor.LoadScene();
    }
    void TypeInto(char* field, const std::string& text)
    {
        std::memset(field, 0, SceneEditor::kNameSize);
        std::memcpy(field, text.data(), std::min(text.size(), SceneEditor::kNameSize - 1));
    }
    ztengine::GuiWindow& Window(int index)
    {
        ztengine::GuiWindow* window = gui.Manager().GetGuiWindow(index);
        EXPECT_NE(window, nullptr);
        return *window;
    }
    std::vector<bool> EditorWindowsVisible()
    {
        return {Window(editor.m_propListWindow).visible, Window(editor.m_sceneWindow).visible,
                Window(editor.m_selectedPropWindow).visible,
                Window(editor.m_pointLightWindow).visible,
                Window(editor.m_sceneSettingsWindow).visible};
    }
    const InstanceData& InstanceOf(int prop)
    {
        return props.m_workingProps.at(static_cast<size_t>(prop)).m_instance.GetInstanceConst();
    }

    zttest::GuiHarness gui;
    fs::path dir = zttest::MakeTempDir("scene-editor");
    SceneEditorApp app;
    PropManager& props = *app.GetSharedData<PropManager>("PropManager");
    ztengine::ModelManager& models = *app.GetSharedData<ztengine::ModelManager>("ModelManager");
    SceneEditor editor{&app};
};

TEST_F(SceneEditorTest, InitMakesHiddenWindowsArrowsAndTheEditorCamera)
{
    EXPECT_FALSE(ztengine::SystemInitialisedAtStart<SceneEditor>());
    editor.Init();

    struct Expected {
        int index;
        const char* name;
        bool listed;
        float width, height;
    };
    for (const Expected& e : {Expected{editor.m_propListWindow, "Prop List Window", true, 300, 200},
                              Expected{editor.m_sceneWindow, "Scene", true, 300, 350},
                              Expected{editor.m_selectedPropWindow, "Selected Prop Window", false,
                                       300, 330},
                              Expected{editor.m_pointLightWindow, "Point Light", false, 300, 200},
                              Expected{editor.m_sceneSettingsWindow, "Scene Settings", false, 300,
                                       200}}) {
        const ztengine::GuiWindow& window = Window(e.index);
        EXPECT_EQ(window.name, e.name);
        EXPECT_EQ(window.listed, e.listed) << e.name;
        EXPECT_EQ(window.width, e.width) << e.name;
        EXPECT_EQ(window.height, e.height) << e.name;
        EXPECT_FALSE(window.visible) << e.name;
    }

    // The stored scenes are listed at once; the model names come with the queued job.
    EXPECT_EQ(editor.m_sceneNames, (std::vector<std::string>{"hall", "cellar"}));
    EXPECT_TRUE(editor.m_modelNames.empty());
    EXPECT_EQ(app.GetPendingJobCount(), 1u);

    // Three arrows of the arrow model, parked out of sight, turned to the three axes.
    ztmath::Basis rolled;
    rolled.Roll(-90.0f);
    ztmath::Basis pitched;
    pitched.Pitch(90.0f);
    const ztmath::Basis expected[3] = {ztmath::Basis(), rolled, pitched};
    for (int i = 0; i < 3; ++i) {
        const InstanceData& arrow = editor.m_arrows[i].GetInstanceConst();
        EXPECT_EQ(editor.m_arrows[i].m_modelId, models.GetModel("arrowmodel"));
        EXPECT_EQ(arrow.m_hidden, 1);
        EXPECT_EQ(arrow.m_transform.m_position, Vector3(10000.0f, 10000.0f, 10000.0f));
        EXPECT_EQ(arrow.m_transform.m_basis, expected[i]) << i;
    }

    // The editor camera looks at the origin from (20, 50, 0); the game camera is untouched.
    EXPECT_EQ(editor.m_editorCameraPosition, Vector3(20.0f, 50.0f, 0.0f));
    const Vector3 forward = editor.m_editorCameraBasis.forward;
    const Vector3 towardOrigin = Vector3(-20.0f, -50.0f, 0.0f).Normalized();
    EXPECT_NEAR(forward.Dot(towardOrigin), 1.0f, 1e-5f);
    EXPECT_EQ(app.renderer.GetCameraPosition(), Vector3());
}

TEST_F(SceneEditorTest, ThePreviewIsMadeWithTheFirstModelNameThatArrives)
{
    editor.Init();
    EXPECT_EQ(editor.m_preview.m_batchPool, nullptr);

    RunJobs();
    EXPECT_EQ(editor.m_modelNames,
              (std::vector<std::string>{"arrowmodel", "Crate4", "DRedFloor_Model"}));
    ASSERT_NE(editor.m_preview.m_batchPool, nullptr);
    EXPECT_EQ(editor.m_preview.m_modelId, models.GetModel("arrowmodel"));
    EXPECT_EQ(editor.m_preview.GetInstanceConst().m_hidden, 1);
    EXPECT_EQ(editor.m_preview.GetInstanceConst().m_transform.m_scale, Vector3(1.0f, 1.0f, 1.0f));

    // Create Prop mode shows it; picking a model moves it to that model where it stands.
    editor.SetToCurrentState();
    Press(GLFW_KEY_SPACE);
    Frame();
    EXPECT_TRUE(editor.m_createProp);
    EXPECT_EQ(editor.m_preview.GetInstanceConst().m_hidden, 0);
    editor.m_preview.GetInstance().m_transform.m_position = Vector3(3.0f, 4.0f, 5.0f);
    Pick(editor.m_modelSelection, 2);
    EXPECT_EQ(editor.m_preview.m_modelId, models.GetModel("DRedFloor_Model"));
    EXPECT_EQ(editor.m_preview.GetInstanceConst().m_transform.m_position,
              Vector3(3.0f, 4.0f, 5.0f));
    EXPECT_EQ(editor.m_preview.GetInstanceConst().m_hidden, 0);

    // A model added to the list later reaches the drop-down at the next update.
    ModelInfo added;
    added.m_modelName = "barrel";
    models.m_models.push_back(added);
    Frame();
    EXPECT_EQ(editor.m_modelNames.back(), "barrel");
}

TEST_F(SceneEditorTest, EnteringSwapsTheCameraAndLeavingHidesEverything)
{
    InitEditor();
    ztmath::Basis gameBasis;
    gameBasis.Yaw(30.0f);
    app.renderer.SetCameraBasis(gameBasis);
    app.renderer.SetCameraPosition(Vector3(1.0f, 2.0f, 3.0f));
    app.renderer.SetRenderDebug(false);

    editor.SetToCurrentState();
    EXPECT_EQ(app.renderer.GetCameraPosition(), Vector3(20.0f, 50.0f, 0.0f));
    EXPECT_EQ(app.renderer.GetCameraBasis(), editor.m_editorCameraBasis);
    EXPECT_TRUE(app.renderer.IsRenderDebug());

    // In the state: "Scene" and "Scene Settings" stay; the others follow the mode and selection.
    LoadSceneNamed("hall");
    Frame();
    EXPECT_EQ(EditorWindowsVisible(), (std::vector<bool>{false, true, false, false, true}));
    EXPECT_TRUE(app.renderer.m_simpleLighting);
    editor.m_enablePreview = true;
    Frame();
    EXPECT_FALSE(app.renderer.m_simpleLighting);
    Pick(editor.m_lightSelection, 0);
    EXPECT_EQ(EditorWindowsVisible(), (std::vector<bool>{false, true, false, true, true}));
    EXPECT_EQ(editor.m_arrows[0].GetInstanceConst().m_hidden, 0);

    // Leaving with a light selected: nothing of the editor stays on screen.
    editor.NextState(2);
    EXPECT_EQ(EditorWindowsVisible(), (std::vector<bool>(5, false)));
    for (const InstanceHandle& arrow : editor.m_arrows)
        EXPECT_EQ(arrow.GetInstanceConst().m_hidden, 1);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(InstanceOf(i).m_hidden, 1);
    EXPECT_FALSE(app.renderer.m_simpleLighting);
    EXPECT_TRUE(app.renderer.IsRenderDebug());
    EXPECT_EQ(app.renderer.GetCameraPosition(), Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(app.renderer.GetCameraBasis(), gameBasis);

    // The working scene and the selection wait for the next visit.
    EXPECT_EQ(props.m_workingProps.size(), 2u);
    EXPECT_EQ(editor.m_selectedLight, 0);
}

TEST_F(SceneEditorTest, LoadingAndSavingUnchangedWritesTheSceneBackByteForByte)
{
    props.Save();
    const char* const extensions[] = {".json", ".dlight", ".plight"};
    std::vector<std::string> before;
    for (const char* extension : extensions)
        before.push_back(ReadBytes(dir / (std::string("hall") + extension)));
    ASSERT_FALSE(before[0].empty());

    InitEditor();
    editor.SetToCurrentState();
    LoadSceneNamed("hall");

    // Each prop is drawn by an instance of its model where the prop stands.
    ASSERT_EQ(props.m_workingProps.size(), 2u);
    EXPECT_EQ(props.m_workingProps[1].m_instance.m_modelId, models.GetModel("Crate4"));
    EXPECT_EQ(InstanceOf(1).m_transform.m_position, Vector3(2.0f, 0.5f, 2.0f));
    EXPECT_EQ(InstanceOf(0).m_transform.m_scale, Vector3(4.0f, 1.0f, 4.0f));
    EXPECT_EQ(editor.m_scenePlayerStart, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(editor.m_sceneLightDirection, Vector3(0.0f, -1.0f, 0.5f));
    EXPECT_TRUE(editor.m_sceneLightEnabled);

    Frame();
    EXPECT_EQ(editor.m_propNames, (std::vector<std::string>{"floor", "crate"}));
    EXPECT_EQ(editor.m_lightNames, (std::vector<std::string>{"lamp"}));
    EXPECT_EQ(editor.m_lightCount, 1u);
    editor.CopySelectedSceneName();
    EXPECT_STREQ(editor.m_sceneName, "hall");
    for (const char* extension : extensions)
        fs::remove(dir / (std::string("hall") + extension));
    editor.SaveScene();

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReadBytes(dir / (std::string("hall") + extensions[i])), before[i])
            << extensions[i];
    EXPECT_EQ(props.m_scenes.size(), 2u);
    // Every stored scene is written, not only the one saved.
    EXPECT_TRUE(fs::exists(dir / "cellar.json"));
}

TEST_F(SceneEditorTest, PlaceMoveCloneDeleteSaveAndLoadRoundTrip)
{
    InitEditor();
    editor.SetToCurrentState();
    LoadSceneNamed("hall");
    Frame();

    // Picking the crate selects it, shows the arrows on it and flies the camera above it.
    Pick(editor.m_propSelection, 1);
    ASSERT_EQ(editor.m_selectedProp, 1);
    EXPECT_STREQ(editor.m_propName, "crate");
    EXPECT_EQ(editor.m_arrows[0].GetInstanceConst().m_hidden, 0);
    EXPECT_EQ(editor.m_arrows[2].GetInstanceConst().m_transform.m_position,
              Vector3(2.0f, 0.5f, 2.0f));
    Frame();
    EXPECT_EQ(app.renderer.GetCameraPosition(), Vector3(22.0f, 50.5f, 2.0f));

    // Clone: an unnamed copy at the same place with a collider of its own; the crate stays
    // selected.
    editor.CloneProp();
    ASSERT_EQ(props.m_workingProps.size(), 3u);
    const Prop& clone = props.m_workingProps[2].m_prop;
    EXPECT_EQ(clone.m_name, "");
    EXPECT_EQ(clone.m_modelName, "Crate4");
    EXPECT_EQ(clone.m_position, Vector3(2.0f, 0.5f, 2.0f));
    EXPECT_EQ(clone.m_yaw, 20.0f);
    EXPECT_TRUE(clone.m_enableFakeLight);
    EXPECT_EQ(clone.m_colliderIndex, -1);
    EXPECT_EQ(props.m_workingProps[2].m_instance.m_modelId, models.GetModel("Crate4"));
    EXPECT_EQ(InstanceOf(2).m_transform.m_position, Vector3(2.0f, 0.5f, 2.0f));
    EXPECT_EQ(editor.m_selectedProp, 1);
    Frame();
    EXPECT_EQ(editor.m_propNames.back(), "Crate4");

    // Move the clone: through the "Position" field, then up by dragging with the mouse.
    Pick(editor.m_propSelection, 2);
    ASSERT_EQ(editor.m_selectedProp, 2);
    editor.m_editProp.m_position = Vector3(6.0f, 0.5f, -3.0f);
    TypeInto(editor.m_propName, "crate copy");
    Frame();
    app.input.HoldMouseButton(0);  // the first held frame only starts the drag
    Frame();
    for (int i = 0; i < 2; ++i) {
        app.input.HoldMouseButton(0);
        app.input.SetCursorDelta(0.0f, -10.0f);  // the cursor moves up the screen
        Frame();
    }
    app.input.ReleaseMouseButton(0);
    Frame();
    const float up = app.renderer.GetCameraBasis().up.y;
    EXPECT_NEAR(props.m_workingProps[2].m_prop.m_position.y, 0.5f + 2.0f * up, 1e-5f);
    EXPECT_EQ(props.m_workingProps[2].m_prop.m_name, "crate copy");
    EXPECT_EQ(InstanceOf(2).m_transform.m_position, props.m_workingProps[2].m_prop.m_position);
    EXPECT_FALSE(editor.m_dragging);

    // Delete the floor with the Delete key; a new light from the lamp.
    Pick(editor.m_propSelection, 0);
    Press(GLFW_KEY_DELETE);
    EXPECT_EQ(editor.m_selectedProp, -1);
    ASSERT_EQ(props.m_workingProps.size(), 2u);
    EXPECT_EQ(props.m_workingProps[0].m_prop.m_name, "crate");
    EXPECT_EQ(editor.m_arrows[0].GetInstanceConst().m_hidden, 1);
    Pick(editor.m_lightSelection, 0);
    editor.m_editLight.m_position = Vector3(-2.0f, 5.0f, 0.0f);
    editor.CloneLight();
    editor.m_sceneLightColour = Vector3(0.2f, 0.3f, 0.4f);
    Frame();
    EXPECT_EQ(editor.m_lightNames, (std::vector<std::string>{"lamp", "PointLight"}));

    // Saved under a new name beside the old scene, then loaded back.
    TypeInto(editor.m_sceneName, "hall2");
    editor.SaveScene();
    ASSERT_TRUE(fs::exists(dir / "hall2.json"));
    ASSERT_TRUE(fs::exists(dir / "hall2.plight"));
    ASSERT_TRUE(fs::exists(dir / "hall2.dlight"));
    Frame();
    EXPECT_EQ(editor.m_sceneNames.back(), "hall2");

    LoadSceneNamed("cellar");
    Frame();
    LoadSceneNamed("hall2");
    Frame();
    ASSERT_EQ(props.m_workingProps.size(), 2u);
    EXPECT_EQ(props.m_workingProps[1].m_prop.m_name, "crate copy");
    EXPECT_NEAR(props.m_workingProps[1].m_prop.m_position.y, 0.5f + 2.0f * up, 1e-5f);
    ASSERT_EQ(props.m_workingLights.size(), 2u);
    EXPECT_EQ(props.m_workingLights[1].m_position, Vector3(-2.0f, 5.0f, 0.0f));
    EXPECT_EQ(props.m_workingLights[1].m_radius, 6.0f);
    EXPECT_EQ(editor.m_sceneLightColour, Vector3(0.2f, 0.3f, 0.4f));

    // The files hold the same scene for the next run.
    PropManager reread;
    reread.m_folder = props.m_folder;
    zttest::CaptureStdout([&] { reread.Load(); });
    const DungeonScene saved = reread.GetScene("hall2");
    ASSERT_EQ(saved.m_props.size(), 2u);
    EXPECT_EQ(saved.m_props[0].m_colliderIndex, 7);
    EXPECT_EQ(saved.m_props[1].m_colliderIndex, -1);
    EXPECT_EQ(saved.m_props[1].m_position, props.m_workingProps[1].m_prop.m_position);
    EXPECT_EQ(saved.m_pointLights.size(), 2u);
    EXPECT_EQ(saved.m_lightColour, Vector3(0.2f, 0.3f, 0.4f));
    EXPECT_EQ(reread.GetScene("hall").m_props.size(), 2u);
}

TEST_F(SceneEditorTest, LoadingAnotherSceneDropsTheSelection)
{
    InitEditor();
    editor.SetToCurrentState();
    LoadSceneNamed("hall");
    Frame();
    Pick(editor.m_propSelection, 1);
    editor.m_editProp.m_position = Vector3(9.0f, 9.0f, 9.0f);
    Frame();
    ASSERT_EQ(props.m_workingProps[1].m_prop.m_position, Vector3(9.0f, 9.0f, 9.0f));

    LoadSceneNamed("cellar");
    Frame();
    Frame();
    // Prop 1 of the cellar keeps the cellar's values, and nothing is selected or marked.
    EXPECT_EQ(props.m_workingProps[1].m_prop.m_name, "rock");
    EXPECT_EQ(props.m_workingProps[1].m_prop.m_position, Vector3(7.0f, 0.0f, 7.0f));
    EXPECT_EQ(editor.m_selectedProp, -1);
    EXPECT_EQ(*editor.m_propSelection, -1);
    EXPECT_EQ(editor.m_arrows[0].GetInstanceConst().m_hidden, 1);
    EXPECT_FALSE(Window(editor.m_selectedPropWindow).visible);
    // An unnamed prop is listed by its model, an unnamed light as "PointLight".
    EXPECT_EQ(editor.m_propNames, (std::vector<std::string>{"Crate4", "rock"}));
    EXPECT_EQ(editor.m_lightNames, (std::vector<std::string>{"PointLight"}));

    // The first entry of the list can be picked at once.
    Pick(editor.m_propSelection, 0);
    EXPECT_EQ(editor.m_selectedProp, 0);
}

TEST_F(SceneEditorTest, TheModeSwitchesExcludeEachOther)
{
    InitEditor();
    editor.SetToCurrentState();
    LoadSceneNamed("hall");
    Frame();

    // Space cycles none -> Create Prop -> Create Light -> none; the model list and the preview
    // are up only while creating props.
    struct Step {
        bool createProp, createLight;
    };
    for (const Step& expected : {Step{true, false}, Step{false, true}, Step{false, false}}) {
        Press(GLFW_KEY_SPACE);
        Frame();
        EXPECT_EQ(editor.m_createProp, expected.createProp);
        EXPECT_EQ(editor.m_createLight, expected.createLight);
        EXPECT_EQ(Window(editor.m_propListWindow).visible, expected.createProp);
        EXPECT_EQ(editor.m_preview.GetInstanceConst().m_hidden, expected.createProp ? 0 : 1);
    }
    // Ticking one create box clears the other.
    editor.m_createProp = true;
    Frame();
    editor.m_createLight = true;
    Frame();
    EXPECT_FALSE(editor.m_createProp);
    EXPECT_TRUE(editor.m_createLight);
    editor.m_createLight = false;
    Frame();

    // "Scale Arrows" clears "Position Arrows"; unticking it leaves both clear, and a drag then
    // changes the selected prop's scale.
    Pick(editor.m_propSelection, 1);
    editor.m_scaleArrows = true;
    Frame();
    EXPECT_FALSE(editor.m_positionArrows);
    editor.m_scaleArrows = false;
    Frame();
    EXPECT_FALSE(editor.m_positionArrows);
    EXPECT_FALSE(editor.m_scaleArrows);
    for (int i = 0; i < 2; ++i) {
        app.input.HoldMouseButton(0);
        app.input.SetCursorDelta(0.0f, 5.0f);
        Frame();
    }
    const float up = app.renderer.GetCameraBasis().up.y;
    EXPECT_NEAR(props.m_workingProps[1].m_prop.m_scale.y, 1.0f - 0.5f * up, 1e-5f);
    EXPECT_EQ(props.m_workingProps[1].m_prop.m_position, Vector3(2.0f, 0.5f, 2.0f));
}

TEST_F(SceneEditorTest, TheFlyCameraMovesAtThirtyUnitsASecond)
{
    InitEditor();
    editor.SetToCurrentState();
    Frame();
    const ztmath::Basis basis = app.renderer.GetCameraBasis();
    const Vector3 start = app.renderer.GetCameraPosition();

    app.input.Hold(GLFW_KEY_W);
    app.input.Hold(GLFW_KEY_E);
    Frame(0.1f);
    const Vector3 expected = start + basis.forward.Normalized() * 3.0f + Vector3(0.0f, 3.0f, 0.0f);
    const Vector3 moved = app.renderer.GetCameraPosition();
    EXPECT_NEAR(moved.x, expected.x, 1e-4f);
    EXPECT_NEAR(moved.y, expected.y, 1e-4f);
    EXPECT_NEAR(moved.z, expected.z, 1e-4f);

    // The right button turns the camera by 0.3 degrees a pixel and leaves no roll.
    app.input.Release(GLFW_KEY_W);
    app.input.Release(GLFW_KEY_E);
    app.input.HoldMouseButton(1);
    app.input.SetCursorDelta(100.0f, 0.0f);
    Frame();
    ztmath::Basis turned = basis;
    turned.Yaw(-30.0f);
    EXPECT_NEAR(app.renderer.GetCameraBasis().forward.Dot(turned.forward), 1.0f, 1e-4f);
    EXPECT_NEAR(app.renderer.GetCameraBasis().right.y, 0.0f, 1e-5f);
}

TEST_F(SceneEditorTest, NameFieldsAreCutButLongNamesSurviveSelection)
{
    const std::string longName(80, 'n');
    DungeonScene scene = CellarScene();
    scene.m_name = std::string(70, 's');
    scene.m_props[0].m_name = longName;
    scene.m_pointLights[0].m_name = longName;
    props.AddScene(scene);
    InitEditor();
    editor.SetToCurrentState();
    LoadSceneNamed(scene.m_name);
    Frame();

    Pick(editor.m_propSelection, 0);
    EXPECT_EQ(std::string(editor.m_propName), longName.substr(0, 63));
    Frame();
    EXPECT_EQ(props.m_workingProps[0].m_prop.m_name, longName);
    TypeInto(editor.m_propName, "short");
    Frame();
    EXPECT_EQ(props.m_workingProps[0].m_prop.m_name, "short");

    Pick(editor.m_lightSelection, 0);
    Frame();
    EXPECT_EQ(props.m_workingLights[0].m_name, longName);

    *editor.m_sceneSelection = 2;
    editor.CopySelectedSceneName();
    EXPECT_EQ(std::string(editor.m_sceneName), scene.m_name.substr(0, 63));
}

TEST_F(SceneEditorTest, ButtonsWithoutWhatTheyNeedChangeNothing)
{
    InitEditor();
    editor.SetToCurrentState();
    LoadSceneNamed("hall");
    Frame();

    // No name: nothing stored or written.
    editor.SaveScene();
    EXPECT_EQ(props.m_scenes.size(), 2u);
    EXPECT_TRUE(fs::is_empty(dir));

    // Nothing selected: Delete, Clone Prop and the drop-downs past their lists do nothing.
    Press(GLFW_KEY_DELETE);
    editor.CloneProp();
    Pick(editor.m_propSelection, 5);
    Pick(editor.m_lightSelection, 3);
    EXPECT_EQ(props.m_workingProps.size(), 2u);
    EXPECT_EQ(props.m_workingLights.size(), 1u);
    EXPECT_EQ(editor.m_selectedProp, -1);
    EXPECT_EQ(editor.m_selectedLight, -1);

    // "Load Scene" with no scene picked keeps the working scene.
    *editor.m_sceneSelection = 7;
    editor.LoadScene();
    EXPECT_EQ(props.m_workingProps.size(), 2u);
}

TEST_F(SceneEditorTest, NothingBreaksBeforeInitOrBeforeTheModelsAreBuilt)
{
    // The state can be entered through "State Select" while loading still runs.
    editor.SetToCurrentState();
    Frame();
    editor.NextState(2);
    EXPECT_EQ(app.renderer.GetCameraPosition(), Vector3());

    // Models not built yet: no arrows and props without instances, and no stop.
    SceneEditorApp bare;
    *bare.GetSharedData<PropManager>("PropManager") = props;
    SceneEditor early(&bare);
    const std::string out = zttest::CaptureStdout([&] {
        early.Init();
        *early.m_sceneSelection = 0;
        early.LoadScene();
        early.Update(0.1f);
    });
    EXPECT_NE(out.find("arrowmodel"), std::string::npos) << out;
    EXPECT_EQ(early.m_arrows[0].m_batchPool, nullptr);
    EXPECT_EQ(bare.GetSharedData<PropManager>("PropManager")->m_workingProps.size(), 2u);
}

// ---------------------------------------------------------------------------------------------
// In the running game.

// Stands in for the three resource editors' loading work when the game has none of them
// registered: the material and mesh build jobs, then the models once loading has finished.
class ResourceBuild : public ztengine::Subsystem {
public:
    explicit ResourceBuild(ztengine::App* app) : Subsystem(app) {}
    void Load() override
    {
        Materials().QueueBuildJobs(*m_graphics, *m_app);
        Meshes().QueueBuildJobs(*m_graphics, *m_app);
    }
    void Init() override
    {
        m_app->GetSharedData<ztengine::ModelManager>("ModelManager")
            ->BuildModels(*m_graphics, Materials(), Meshes());
    }

private:
    ztengine::MaterialManager& Materials()
    {
        return *m_app->GetSharedData<ztengine::MaterialManager>("MaterialManager");
    }
    ztengine::MeshManager& Meshes()
    {
        return *m_app->GetSharedData<ztengine::MeshManager>("MeshManager");
    }
};

bool IsRegistered(ztengine::Win32App& app, const std::string& className)
{
    for (uint32_t handle : app.GetSystemHandles()) {
        if (app.GetSubsystems().At(handle).className == className)
            return true;
    }
    return false;
}

SceneEditor* FindSceneEditor(ztengine::Win32App& app)
{
    for (uint32_t handle : app.GetSystemHandles()) {
        const ztengine::SubsystemEntry& entry = app.GetSubsystems().At(handle);
        if (entry.className == "ztengine::SceneEditor")
            return static_cast<SceneEditor*>(entry.system);
    }
    return nullptr;
}

TEST(SceneEditorInGame, EditsAndSavesTheTestRoomAfterLoading)
{
    zttest::AppFixtureOptions options;
    options.beforeInit = [](ztengine::Win32App& app) {
        if (!IsRegistered(app, "ztengine::ModelEditor"))
            app.AddSystem<ResourceBuild>();
        if (!IsRegistered(app, "ztengine::SceneEditor"))
            app.RegSystemToState("SCENE_EDITOR", app.AddSystem<SceneEditor>().second);
    };
    std::unique_ptr<zttest::AppFixture> game;
    zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
    ASSERT_TRUE(game->Started()) << game->InitError();
    ztengine::Win32App& app = game->App();
    SceneEditor* editor = FindSceneEditor(app);
    ASSERT_NE(editor, nullptr);

    // The loading screen's work: every job, frame by frame, until the late systems are up and
    // their own jobs have run too.
    zttest::CaptureStdout([&] {
        for (int frame = 0; frame < 2000 && (app.HasPendingJobs() || !editor->IsInitialised());
             ++frame) {
            // A job that is not done yet stays at the front: the next frame tries it again.
            for (int job = 0; job < 1000 && app.HasPendingJobs(); ++job)
                app.RunNextJob();
            game->RunFrames(1);
        }
    });
    ASSERT_TRUE(editor->IsInitialised());
    EXPECT_FALSE(editor->m_modelNames.empty());
    ASSERT_NE(editor->m_preview.m_batchPool, nullptr);
    EXPECT_EQ(editor->m_preview.GetInstanceConst().m_hidden, 1);

    zttest::CaptureStdout([&] {
        app.ChangeState("SCENE_EDITOR");
        game->RunFrames(1);
    });
    EXPECT_EQ(app.GetStateName(app.GetCurrentState()), "SCENE_EDITOR");
    ztengine::Graphics3D& renderer = *app.GetGraphics3D();
    EXPECT_EQ(renderer.GetCameraPosition(), Vector3(20.0f, 50.0f, 0.0f));

    PropManager& props = *app.GetSharedData<PropManager>("PropManager");
    const auto testroom =
        std::find(editor->m_sceneNames.begin(), editor->m_sceneNames.end(), "testroom");
    ASSERT_NE(testroom, editor->m_sceneNames.end());
    *editor->m_sceneSelection = static_cast<int>(testroom - editor->m_sceneNames.begin());
    editor->LoadScene();
    game->RunFrames(1);
    ASSERT_GE(props.m_workingProps.size(), 2u);
    const size_t loaded = props.m_workingProps.size();

    // Select the last prop, clone it, lift the clone with the mouse, delete the second prop.
    *editor->m_propSelection = static_cast<int>(loaded - 1);
    game->RunFrames(1);
    ASSERT_EQ(editor->m_selectedProp, static_cast<int32_t>(loaded - 1));
    editor->CloneProp();
    game->RunFrames(1);
    *editor->m_propSelection = static_cast<int>(loaded);
    game->RunFrames(1);
    ASSERT_EQ(editor->m_selectedProp, static_cast<int32_t>(loaded));
    const float startY = props.m_workingProps[loaded].m_prop.m_position.y;
    // The GUI reads the window's own pointer: keep it in a corner no panel covers, so that the
    // game, not the GUI, gets the button.
    glfwSetCursorPos(app.GetWindow(), 1270.0, 790.0);
    game->MoveCursor(1270, 790);
    game->RunFrames(1);
    game->PressMouseButton(0);
    game->RunFrames(2);
    game->MoveCursor(1270, 770);
    game->RunFrames(1);
    game->ReleaseMouseButton(0);
    game->RunFrames(1);
    const float lifted = props.m_workingProps[loaded].m_prop.m_position.y;
    EXPECT_GT(lifted, startY);
    *editor->m_propSelection = 1;
    game->RunFrames(1);
    const std::string deleted = props.m_workingProps[1].m_prop.m_modelName;
    game->PressKey(GLFW_KEY_DELETE);
    game->RunFrames(1);
    game->ReleaseKey(GLFW_KEY_DELETE);
    game->RunFrames(1);
    EXPECT_EQ(props.m_workingProps.size(), loaded);
    EXPECT_NE(props.m_workingProps[1].m_prop.m_modelName, deleted);

    std::memcpy(editor->m_sceneName, "testroom_edit", sizeof("testroom_edit"));
    editor->SaveScene();
    game->RunFrames(1);
    const fs::path saved = game->WorkDir() / "scenes" / "testroom_edit.json";
    EXPECT_TRUE(fs::exists(saved));

    // The saved scene loads back with the lifted clone last.
    const auto edited =
        std::find(editor->m_sceneNames.begin(), editor->m_sceneNames.end(), "testroom_edit");
    ASSERT_NE(edited, editor->m_sceneNames.end());
    *editor->m_sceneSelection = static_cast<int>(edited - editor->m_sceneNames.begin());
    editor->LoadScene();
    game->RunFrames(1);
    ASSERT_EQ(props.m_workingProps.size(), loaded);
    EXPECT_EQ(props.m_workingProps.back().m_prop.m_position.y, lifted);
    EXPECT_EQ(props.m_workingProps.back().m_prop.m_colliderIndex, -1);

    // A picture of the editor at work: the edited scene seen from the editor camera brought
    // closer with W, the arrows on a selected prop, the model preview of Create Prop mode at the
    // origin, full lighting, and the editor's windows laid out side by side (other systems'
    // panels are put away for the picture).
    ztengine::GuiManager& gui = ztengine::Gui::Instance().GetManager();
    const std::set<std::string> editorWindows = {"Prop List Window", "Scene",
                                                 "Selected Prop Window", "Scene Settings"};
    for (ztengine::GuiWindow& window : gui.m_windows) {
        if (editorWindows.count(window.name) == 0)
            window.visible = false;
    }
    *editor->m_propSelection = 1;
    editor->m_createProp = true;
    editor->m_enablePreview = true;
    game->RunFrames(1);
    ImGui::SetWindowPos("Scene", ImVec2(10.0f, 30.0f));
    ImGui::SetWindowPos("Scene Settings", ImVec2(10.0f, 390.0f));
    ImGui::SetWindowPos("Selected Prop Window", ImVec2(970.0f, 30.0f));
    ImGui::SetWindowPos("Prop List Window", ImVec2(970.0f, 370.0f));
    game->PressKey(GLFW_KEY_W);
    game->RunFrames(70);
    game->ReleaseKey(GLFW_KEY_W);
    game->RunFrames(2);
    EXPECT_EQ(editor->m_preview.GetInstanceConst().m_hidden, 0);
    EXPECT_EQ(editor->m_arrows[0].GetInstanceConst().m_hidden, 0);
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(app.GetWindow(), &width, &height);
    // The frame just shown: the software driver of the virtual display keeps it in the back
    // buffer after the swap.
    glReadBuffer(GL_BACK);
    const std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
    const fs::path shot = fs::path(ZT_TEST_TMP_DIR) / "screenshots" / "scene_editor.png";
    EXPECT_TRUE(zttest::GLTestContext::SavePng(shot, pixels, width, height)) << shot;
    RecordProperty("screenshot", shot.string());
    // More than the clear colour and the windows: the scene was drawn.
    std::set<uint32_t> colours;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4 * 97)
        colours.insert(pixels[i] | pixels[i + 1] << 8 | pixels[i + 2] << 16);
    EXPECT_GT(colours.size(), 20u);

    // Leaving for the main menu hides the editor and gives the camera back.
    zttest::CaptureStdout([&] {
        app.ChangeState("MAIN_MENU_STATE");
        game->RunFrames(1);
    });
    EXPECT_EQ(editor->m_arrows[0].GetInstanceConst().m_hidden, 1);
    EXPECT_NE(renderer.GetCameraPosition(), Vector3(20.0f, 50.0f, 0.0f));
    zttest::CaptureStdout([&] { EXPECT_EQ(game->Shutdown(), 0); });
}

}  // namespace

namespace {

TEST_F(SceneEditorTest, ASceneNameThatIsNoPlainFileNameIsRefusedWithAMessage)
{
    InitEditor();
    LoadSceneNamed("hall");
    const size_t scenes = props.m_scenes.size();
    for (const char* name : {"../escaped", "sub/dir", "a..b", "what?", "hall.bak"}) {
        SCOPED_TRACE(name);
        TypeInto(editor.m_sceneName, name);
        const std::string printed = zttest::CaptureStdout([&] { editor.SaveScene(); });
        EXPECT_EQ(editor.m_status.rfind(std::string("Scene name \"") + name + "\" ", 0), 0u)
            << editor.m_status;
        EXPECT_NE(editor.m_status.find(": not saved."), std::string::npos);
        EXPECT_EQ(printed, editor.m_status + "\n");
        EXPECT_EQ(props.m_scenes.size(), scenes);
    }
    EXPECT_FALSE(fs::exists(dir.parent_path() / "escaped.json"));

    TypeInto(editor.m_sceneName, "hall3");
    zttest::CaptureStdout([&] { editor.SaveScene(); });
    EXPECT_EQ(editor.m_status, "Scene hall3 saved.");
    EXPECT_TRUE(fs::exists(dir / "hall3.json"));
}

}  // namespace
