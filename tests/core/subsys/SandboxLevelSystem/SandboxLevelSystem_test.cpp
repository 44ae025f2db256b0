// The sandbox on the CPU renderer and the real physics world: stored scenes loaded as static
// scenery (one set after two loads, props without collision drawn only, the collider map kept),
// the lights following the list, the panel's keys and box, the way back to where the sandbox was
// entered, and the authored test room loading with its colliders.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/gui/GuiHarness.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/subsys/SandboxLevelSystem/SandboxLevelSystem.h"
#include "support/DevLevelApp.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::DungeonScene;
using ztengine::LevelObj3DCont;
using ztengine::PointLight;
using ztengine::Prop;
using ztengine::PropManager;
using ztengine::SandboxLevelSystem;
using ztmath::Vector3;

Prop MakeProp(const char* model, const Vector3& at, const Vector3& scale, bool collision,
              int32_t colliderIndex, int32_t colliderType = 1)
{
    Prop prop;
    prop.m_modelName = model;
    prop.m_position = at;
    prop.m_scale = scale;
    prop.m_tiling[0] = 2.0f;
    prop.m_tiling[1] = 3.0f;
    prop.m_enableCollision = collision;
    prop.m_colliderIndex = colliderIndex;
    prop.m_colliderType = colliderType;
    return prop;
}

PointLight Light(const Vector3& at, float radius)
{
    PointLight light;
    light.m_position = at;
    light.m_colour = Vector3(1.0f, 0.5f, 0.25f);
    light.m_radius = radius;
    light.m_diffuseIntensity = 0.7f;
    return light;
}

// "hall": a floor, a crate and a barrel that collide and a torch that does not, two lights;
// "bare": two props without collision; "reuse": a floor far larger under the hall's index.
struct Sandbox {
    Sandbox()
    {
        PropManager& props = app.Shared<PropManager>("PropManager");
        DungeonScene hall;
        hall.m_name = "hall";
        hall.m_playerStart = Vector3(4, 1, -3);
        hall.m_props = {MakeProp("floor", Vector3(0, -1, 0), Vector3(40, 1, 40), true, 7),
                        MakeProp("Crate4", Vector3(5, 1, 5), Vector3(2, 2, 2), true, 8),
                        MakeProp("barrelmodel", Vector3(-5, 1, 5), Vector3(1, 2, 1), true, 9, 0),
                        MakeProp("TORCH1", Vector3(0, 4, -10), Vector3(1, 1, 1), false, -1)};
        hall.m_props[3].m_yaw = 90.0f;
        hall.m_props[3].m_enableFakeLight = true;
        hall.m_pointLights = {Light(Vector3(0, 5, -9), 12.0f), Light(Vector3(3, 6, 3), 20.0f)};
        props.AddScene(hall);
        DungeonScene bare;
        bare.m_name = "bare";
        bare.m_props = {MakeProp("a", Vector3(0, 0, 0), Vector3(1, 1, 1), false, -1),
                        MakeProp("b", Vector3(1, 0, 0), Vector3(1, 1, 1), false, -1)};
        props.AddScene(bare);
        DungeonScene reuse;
        reuse.m_name = "reuse";
        reuse.m_props = {MakeProp("floor", Vector3(0, -1, 0), Vector3(400, 1, 400), true, 7)};
        props.AddScene(reuse);

        sandbox.Init();
        app.renderer.SetCameraPosition(Vector3(11, 7, 13));
        sandbox.SetToCurrentState();
        app.sent.clear();
    }
    LevelObj3DCont& Objects() { return app.Shared<LevelObj3DCont>("SandboxLevelObj3DCont"); }
    size_t LiveInstances()
    {
        return app.renderer.GetBatch(app.Models().m_defaultModel).m_usedIndices.size();
    }
    ztengine::GuiWindowWidgets& Panel() { return *gui.Manager().GetWidgets(sandbox.Window()); }
    bool PanelShown() { return gui.Manager().GetGuiWindow(sandbox.Window())->visible; }
    // Picks a scene in the list and presses "Load Scene".
    std::string Load(int32_t index)
    {
        *sandbox.Selection() = index;
        testing::internal::CaptureStderr();
        Panel().buttons.at(0).callback();
        return testing::internal::GetCapturedStderr();
    }
    void Frame()
    {
        sandbox.Update(1.0f / 60.0f);
        app.input.EndFrame();
    }

    zttest::GuiHarness gui;
    zttest::DevLevelApp app;
    SandboxLevelSystem sandbox{&app};
};

TEST(SandboxLevelSystem, TheSceneListLoadsTheSelectedSceneOnceAsStaticScenery)
{
    Sandbox s;
    EXPECT_EQ(s.sandbox.SceneNames(), (std::vector<std::string>{"hall", "bare", "reuse"}));
    ASSERT_EQ(s.Panel().buttons.size(), 1u);
    EXPECT_EQ(s.Panel().buttons[0].label, "Load Scene");
    // Nothing is loaded and nothing is selected on entry.
    EXPECT_EQ(*s.sandbox.Selection(), -1);
    EXPECT_TRUE(s.Objects().m_instances.empty());
    EXPECT_EQ(s.Load(-1), "");
    EXPECT_EQ(s.Load(3), "");
    EXPECT_TRUE(s.app.sent.empty());
    EXPECT_EQ(s.app.LiveBodies(), 1);

    // Loaded twice: one set of instances and bodies, the player put at the start each time.
    EXPECT_EQ(s.Load(0), "Loading scene\n");
    EXPECT_EQ(s.Load(0), "Loading scene\n");
    s.app.Step();
    LevelObj3DCont& objects = s.Objects();
    ASSERT_EQ(objects.m_instances.size(), 4u);
    EXPECT_EQ(s.LiveInstances(), 4u);
    ASSERT_EQ(objects.m_bodies.size(), 3u);
    EXPECT_EQ(s.app.LiveBodies(ztengine::kCollisionCategoryScenery), 3);
    EXPECT_EQ(s.app.LiveBodies(), 4);
    EXPECT_EQ(s.app.Count("PLAYER_SET_POSITION"), 2);
    EXPECT_NEAR((s.app.positionsSent.back() - Vector3(4, 1, -3)).Length(), 0.0f, 1e-6f);

    // Only colliding props are in the instance-to-body map; every body is plain scenery that
    // stays where it was put, crates and barrels too.
    EXPECT_EQ(objects.m_bodyOfInstance.size(), 3u);
    EXPECT_EQ(objects.m_bodyOfInstance.count(3), 0u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const ztengine::PhysicsBody& body = objects.m_bodies[objects.m_bodyOfInstance.at(i)];
        EXPECT_EQ(body.GetUserTypeID(), ztengine::kBodyTypeNone);
        EXPECT_NEAR((body.GetPosition() - objects.m_instances[i].GetInstanceConst().m_transform.m_position).Length(),
                    0.0f, 1e-5f);
    }
    for (int i = 0; i < 30; ++i)
        s.app.Step();
    EXPECT_NEAR((objects.m_bodies[1].GetPosition() - Vector3(5, 1, 5)).Length(), 0.0f, 1e-5f);

    // Instances are shown at once with the prop's transform, tiling and fake light.
    const auto& torch = objects.m_instances[3].GetInstanceConst();
    EXPECT_FALSE(torch.m_hidden);
    EXPECT_EQ(torch.m_fakeLighting, 1);
    EXPECT_FLOAT_EQ(torch.m_tiling.x, 2.0f);
    EXPECT_FLOAT_EQ(torch.m_tiling.y, 3.0f);
    EXPECT_NEAR((torch.m_transform.m_position - Vector3(0, 4, -10)).Length(), 0.0f, 1e-6f);
    const Vector3 forward = torch.m_transform.m_basis.ToQuaternion().Rotate(Vector3(1, 0, 0));
    EXPECT_NEAR(std::fabs(forward.z), 1.0f, 1e-4f) << "yawed a quarter turn";

    // A floor of ten times the size under the same collider index gets the first floor's
    // collider: the map outlives the scenes.
    const std::map<int32_t, uint32_t> shapes = s.sandbox.ColliderShapes();
    EXPECT_EQ(shapes.size(), 3u);
    s.Load(2);
    EXPECT_EQ(s.sandbox.ColliderShapes(), shapes);
    ztengine::RaycastResult hit;
    EXPECT_FALSE(s.app.m_physicsEngine.Raycast(Vector3(100, 5, 100), Vector3(100, -5, 100), hit));
    EXPECT_TRUE(s.app.m_physicsEngine.Raycast(Vector3(10, 5, 10), Vector3(10, -5, 10), hit));

    // A scene without colliding props: instances only.
    s.Load(1);
    s.app.Step();
    EXPECT_EQ(objects.m_instances.size(), 2u);
    EXPECT_EQ(s.LiveInstances(), 2u);
    EXPECT_TRUE(objects.m_bodies.empty());
    EXPECT_TRUE(objects.m_bodyOfInstance.empty());
    EXPECT_EQ(s.app.LiveBodies(), 1);
}

TEST(SandboxLevelSystem, LeavingPutsThePlayerBackAndEnteringStartsEmpty)
{
    Sandbox s;
    EXPECT_TRUE(s.PanelShown());
    EXPECT_NEAR((s.sandbox.SavedPosition() - Vector3(11, 7, 13)).Length(), 0.0f, 1e-6f);
    s.Load(0);
    s.Load(1);
    s.Load(0);
    s.app.positionsSent.clear();

    s.sandbox.NextState(2);
    s.app.Step();
    EXPECT_FALSE(s.PanelShown());
    EXPECT_TRUE(s.Objects().m_instances.empty());
    EXPECT_TRUE(s.Objects().m_bodies.empty());
    EXPECT_TRUE(s.Objects().m_bodyOfInstance.empty());
    EXPECT_EQ(s.LiveInstances(), 0u);
    EXPECT_EQ(s.app.LiveBodies(), 1);
    ASSERT_EQ(s.app.positionsSent.size(), 1u);
    EXPECT_NEAR((s.app.positionsSent[0] - Vector3(11, 7, 13)).Length(), 0.0f, 1e-6f);
    EXPECT_NEAR((s.app.Player().GetPosition() - Vector3(11, 7, 13)).Length(), 0.0f, 0.1f);

    // Back in: no selection, no scene, the panel again, and a new place to return to.
    *s.sandbox.Selection() = 0;
    s.app.renderer.SetCameraPosition(Vector3(-3, 8, 2));
    s.sandbox.SetToCurrentState();
    EXPECT_EQ(*s.sandbox.Selection(), -1);
    EXPECT_TRUE(s.PanelShown());
    EXPECT_TRUE(s.Objects().m_instances.empty());
    EXPECT_NEAR((s.sandbox.SavedPosition() - Vector3(-3, 8, 2)).Length(), 0.0f, 1e-6f);
}

TEST(SandboxLevelSystem, LightsFollowTheListTheLampTheCameraAndTabTheGui)
{
    Sandbox s;
    auto& level = s.app.Shared<ztengine::LevelState>("LevelState");
    const auto& lights = s.app.renderer.m_pointLights;

    // Nothing selected: only the lamp above the camera.
    s.Frame();
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_NEAR((lights[0].m_position - Vector3(11, 17, 13)).Length(), 0.0f, 1e-5f);
    EXPECT_TRUE(s.app.renderer.m_directionalLightEnabled);
    // The hall's lights show as soon as it is picked, before it is loaded.
    *s.sandbox.Selection() = 0;
    level.m_level = 2;
    s.Frame();
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_NEAR((lights[1].m_position - Vector3(3, 6, 3)).Length(), 0.0f, 1e-6f);
    EXPECT_FALSE(s.app.renderer.m_directionalLightEnabled);
    EXPECT_TRUE(s.Objects().m_instances.empty());

    // Tab shows the debug GUI and the cursor and hides them again, with no cursor event.
    ztengine::Gui& gui = ztengine::Gui::Instance();
    gui.SetEnabled(false);
    s.app.input.Release(258);
    s.Frame();
    EXPECT_TRUE(s.sandbox.GuiShown());
    EXPECT_TRUE(gui.IsEnabled());
    EXPECT_TRUE(s.app.input.IsCursorEnabled());
    s.app.input.Release(258);
    s.Frame();
    EXPECT_FALSE(s.sandbox.GuiShown());
    EXPECT_FALSE(gui.IsEnabled());
    EXPECT_FALSE(s.app.input.IsCursorEnabled());
    EXPECT_EQ(s.app.Count("SHOW_CUSTOM_CURSOR") + s.app.Count("HIDE_CUSTOM_CURSOR"), 0);

    // "Render Debug" drives the renderer's debug drawing.
    ASSERT_EQ(s.Panel().checkboxes.size(), 1u);
    EXPECT_EQ(s.Panel().checkboxes[0].label, "Render Debug");
    *s.Panel().checkboxes[0].value = true;
    s.Frame();
    EXPECT_TRUE(s.app.renderer.IsRenderDebug());
    *s.Panel().checkboxes[0].value = false;
    s.Frame();
    EXPECT_FALSE(s.app.renderer.IsRenderDebug());

    // A scene stored meanwhile joins the list.
    DungeonScene late;
    late.m_name = "late";
    s.app.Shared<PropManager>("PropManager").AddScene(late);
    s.Frame();
    EXPECT_EQ(s.sandbox.SceneNames().back(), "late");
}

// The scene the sandbox offers a developer out of the box: it loads from its files with a body
// for every colliding prop, and every model it names is one the game has.
TEST(SandboxLevelSystem, TheAuthoredTestRoomLoadsWithItsColliders)
{
    Sandbox s;
    PropManager& props = s.app.Shared<PropManager>("PropManager");
    props.m_scenes.clear();
    props.m_folder = (fs::path(ZT_DATA_DIR) / "scenes").string() + "/";
    zttest::CaptureStdout([&] { props.Load(); });
    s.Frame();
    int32_t room = -1;
    for (size_t i = 0; i < s.sandbox.SceneNames().size(); ++i)
        if (s.sandbox.SceneNames()[i] == "testroom")
            room = static_cast<int32_t>(i);
    ASSERT_GE(room, 0);
    const DungeonScene& scene = props.m_scenes[room];

    std::ifstream modelList(fs::path(ZT_DATA_DIR) / "model.init");
    std::stringstream models;
    models << modelList.rdbuf();
    size_t colliding = 0;
    for (const Prop& prop : scene.m_props) {
        SCOPED_TRACE(prop.m_name);
        EXPECT_NE(models.str().find("\"ModelName\":\"" + prop.m_modelName + "\""), std::string::npos);
        if (prop.m_enableCollision) {
            ++colliding;
            EXPECT_NE(prop.m_colliderIndex, -1);
            EXPECT_TRUE(prop.m_colliderType == 0 || prop.m_colliderType == 1);
        }
    }
    EXPECT_GE(colliding, 6u) << "a floor and four walls at least";
    EXPECT_FALSE(scene.m_pointLights.empty());

    EXPECT_EQ(s.Load(room), "Loading scene\n");
    EXPECT_EQ(s.Objects().m_instances.size(), scene.m_props.size());
    EXPECT_EQ(s.Objects().m_bodies.size(), colliding);
    EXPECT_EQ(s.app.LiveBodies(ztengine::kCollisionCategoryScenery), static_cast<int>(colliding));
    EXPECT_NEAR((s.app.positionsSent.back() - scene.m_playerStart).Length(), 0.0f, 1e-6f);
}

}  // namespace
