// The level system on the CPU renderer and the real physics world: a built floor loaded into
// instances and bodies (types, shared colliders, chests as blessing shrines, one set after a
// reload; their blessings drawn from the game's seeded random numbers), doors worked by the
// builder, hazards, lights, pause and the debug GUI key.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/gui/GuiHarness.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/LevelSystem/LevelSystem.h"
#include "core/util/Random.h"
#include "support/LevelTestApp.h"
#include "support/TestSupport.h"

namespace {

using ztengine::ContactInfo;
using ztengine::DungeonGenerator;
using ztengine::LevelObj3DCont;
using ztengine::LevelSystem;
using ztengine::Prop;
using ztmath::Vector3;

// The builder and the level system as the play state runs them.
struct Play {
    Play()
    {
        gen.m_layoutSource = [this](int32_t, bool boss) {
            GridLayout grid = boss ? zttest::BossGrid() : zttest::FloorGrid();
            // Hazards and a crate in the start room.
            grid.rows[6][6] = 'Z';
            grid.rows[6][7] = '^';
            grid.rows[6][9] = '~';
            grid.rows[10][10] = '=';
            return grid;
        };
        // No enemy kinds are registered here: a fight's waves are counted, not spawned.
        gen.m_queueWave = [this](const Vector3&, float, float, float) { ++wavesQueued; };
        zttest::CaptureStdout([&] {
            gen.Init();
            level.Init();
        });
    }
    using GridLayout = ztengine::GridLayout;
    void Frame(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            zttest::CaptureStdout([&] {
                gen.Update(1.0f / 60.0f);
                level.Update(1.0f / 60.0f);
            });
            app.input.EndFrame();
        }
    }
    LevelObj3DCont& Objects() { return app.Shared<LevelObj3DCont>("LevelObj3DCont"); }
    const std::vector<Prop>& Props() { return app.Shared<ztengine::DungeonScene>("DungeonScene").m_props; }
    int32_t BodyType(size_t propIndex)
    {
        const int32_t body = Objects().m_bodyOfInstance.at(static_cast<int32_t>(propIndex));
        return body < 0 ? -100 : Objects().m_bodies[body].GetUserTypeID();
    }
    size_t FirstProp(const std::string& model)
    {
        for (size_t i = 0; i < Props().size(); ++i)
            if (Props()[i].m_modelName == model)
                return i;
        return Props().size();
    }
    size_t LiveInstances()
    {
        return app.renderer.GetBatch(app.Models().m_defaultModel).m_usedIndices.size();
    }

    zttest::GuiHarness gui;
    zttest::LevelTestApp app;
    DungeonGenerator gen{&app};
    LevelSystem level{&app};
    int wavesQueued = 0;
};

TEST(LevelSystem, LoadsTheBuiltFloorIntoInstancesAndBodies)
{
    Play play;
    const std::vector<Prop>& props = play.Props();
    LevelObj3DCont& objects = play.Objects();
    ASSERT_FALSE(props.empty());
    ASSERT_EQ(objects.m_instances.size(), props.size());
    EXPECT_EQ(objects.m_bodyOfInstance.size(), props.size());
    EXPECT_EQ(play.LiveInstances(), props.size());

    // Body types by model; torches and stones have no body.
    const struct {
        const char* model;
        int32_t type;
    } cases[] = {
        {"DRedWall_Model", ztengine::kBodyTypeScenery},
        {"dungeon_door_model", ztengine::kBodyTypeScenery},
        {"barrelmodel", ztengine::kBodyTypeBreakable},
        {"Crate4", ztengine::kBodyTypeBreakable},
        {"dungeon_spikes_model", ztengine::kBodyTypeSpikes},
        {"dungeon_ice_model", ztengine::kBodyTypeIce},
        {"GooModel", ztengine::kBodyTypeGoo},
        {"Treasure_Chest", ztengine::kBodyTypeScenery},
        {"DRedFloor_Model", ztengine::kBodyTypeScenery},
        {"TORCH3", -100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        const size_t i = play.FirstProp(c.model);
        ASSERT_LT(i, props.size());
        EXPECT_EQ(play.BodyType(i), c.type);
    }
    // Every colliding prop has its body, in creation order.
    size_t colliding = 0;
    for (const Prop& p : props)
        colliding += p.m_enableCollision ? 1 : 0;
    EXPECT_EQ(objects.m_bodies.size(), colliding);

    // The level starts hidden (the fade shows it); entering the state shows it.
    EXPECT_TRUE(objects.m_instances[0].GetInstanceConst().m_hidden);
    play.level.SetToCurrentState();
    EXPECT_FALSE(objects.m_instances[0].GetInstanceConst().m_hidden);

    // One shared collider per character; the first load is made in place, without a fade.
    const auto& shapes = play.level.ColliderShapes();
    EXPECT_EQ(shapes.count('#'), 1u);
    EXPECT_EQ(shapes.count('@'), 1u);
    EXPECT_TRUE(play.app.states.empty());
    EXPECT_TRUE(play.app.Shared<ztengine::FadeMessageQueue>("FadeMessageQueue").m_messages.empty());

    // The chest is a blessing shrine at its instance.
    const auto& blessings = play.app.Shared<ztengine::Shrine2Container>("Shrine2Container");
    ASSERT_EQ(blessings.m_shrines.size(), 1u);
    EXPECT_EQ(blessings.m_shrines[0].m_instance, static_cast<int32_t>(play.FirstProp("Treasure_Chest")));
    EXPECT_FLOAT_EQ(blessings.m_shrines[0].m_radius, 6.0f);
    EXPECT_TRUE(blessings.m_shrines[0].m_active);
    EXPECT_GE(blessings.m_shrines[0].m_blessing, 0);
    EXPECT_LT(blessings.m_shrines[0].m_blessing, 6);
}

TEST(LevelSystem, TheChestsBlessingFollowsTheGameSeed)
{
    auto blessing = [](uint32_t seed) {
        ztengine::SeedRandom(seed);
        Play play;
        const auto& shrines = play.app.Shared<ztengine::Shrine2Container>("Shrine2Container").m_shrines;
        return shrines.empty() ? -1 : shrines[0].m_blessing;
    };
    const int first = blessing(1000);
    ASSERT_GE(first, 0);
    // The same start of the game offers the same blessing; other starts offer others.
    EXPECT_EQ(blessing(1000), first);
    std::vector<int> others;
    for (uint32_t seed : {2000u, 3000u, 4000u, 5000u, 6000u, 7000u})
        others.push_back(blessing(seed));
    EXPECT_NE(std::count(others.begin(), others.end(), first), static_cast<long>(others.size()));
}

TEST(LevelSystem, EnteringADungeonReloadsOnceWithAFade)
{
    Play play;
    auto& shops = play.app.Shared<ztengine::ShrineContainer>("ShrineContainer").m_shrines;
    shops.push_back({Vector3(1, 2, 3), 12.0f, true});
    shops.push_back({Vector3(4, 5, 6), 12.0f, false});
    const auto colliders = play.level.ColliderShapes();
    // Nothing picked in the debug list: the new floor loads all the same.
    *play.gui.Manager().GetDropDownListSelection(play.level.Window(), 0) = -1;

    auto& state = play.app.Shared<ztengine::LevelState>("LevelState");
    state.m_level = 0;
    play.Frame();
    state.m_level = 3;
    play.Frame();

    // One set of instances and bodies: the old level's are gone.
    const std::vector<Prop>& props = play.Props();
    EXPECT_EQ(play.Objects().m_instances.size(), props.size());
    EXPECT_EQ(play.LiveInstances(), props.size());
    EXPECT_EQ(props[0].m_modelName, "DBlueWall_Model");
    // Colliders are kept per character across colours.
    EXPECT_EQ(play.level.ColliderShapes().at('#'), colliders.at('#'));
    ASSERT_EQ(shops.size(), 1u);
    EXPECT_TRUE(shops[0].m_keep);
    EXPECT_EQ(play.app.Shared<ztengine::Shrine2Container>("Shrine2Container").m_shrines.size(), 1u);

    // The fade carries the player to the start and shows the level at its end.
    ASSERT_EQ(play.app.states, std::vector<std::string>{"FADE_OUT_STATE"});
    const auto& fades = play.app.Shared<ztengine::FadeMessageQueue>("FadeMessageQueue").m_messages;
    ASSERT_EQ(fades.size(), 2u);
    EXPECT_EQ(fades[0].m_type, ztengine::FadeMessageType::Teleport);
    EXPECT_FLOAT_EQ(fades[0].Position().x, 80.0f);
    EXPECT_EQ(fades[1].m_type, ztengine::FadeMessageType::SendEvent);
    EXPECT_EQ(fades[1].EventId(), play.app.m_messagingSystem.GetEventId("SHOW_DUNGEON"));
    EXPECT_EQ(play.app.Count("TELEPORT_PLAYER_BEGIN"), 1);
    EXPECT_EQ(play.app.Count("RESET_ENVIRONMENT_SYSTEM"), 2);
    // The panel's button still wants a scene picked.
    zttest::CaptureStdout([&] { play.level.LoadSelectedScene(); });
    EXPECT_EQ(play.app.Count("RESET_ENVIRONMENT_SYSTEM"), 2);
}

TEST(LevelSystem, DoorsOpenInPlayAndCloseForAFight)
{
    Play play;
    auto& state = play.app.Shared<ztengine::LevelState>("LevelState");
    state.m_level = 0;
    play.Frame();
    state.m_level = 1;
    play.Frame();  // build and load
    // What the fade does at its end: the player is through, the level shows.
    play.app.m_messagingSystem.SendEventByName("TELEPORT_PLAYER_END", {});
    play.app.m_messagingSystem.SendEventByName("SHOW_DUNGEON", {});
    play.app.renderer.SetCameraPosition(Vector3(80, 5, 80));
    play.Frame();  // the doors open

    const std::vector<int32_t>& doors = play.gen.DoorProps();
    ASSERT_EQ(doors.size(), 4u);
    for (int32_t door : doors)
        EXPECT_TRUE(play.Objects().m_instances[door].GetInstanceConst().m_hidden);

    play.app.renderer.SetCameraPosition(Vector3(300, 5, 90));
    play.app.Shared<ztengine::AISpawner>("AISpawner").m_enemyCount = 3;
    play.Frame(2);
    ASSERT_TRUE(play.gen.Fighting());
    for (int32_t door : doors)
        EXPECT_FALSE(play.Objects().m_instances[door].GetInstanceConst().m_hidden);
    play.app.Shared<ztengine::AISpawner>("AISpawner").m_enemyCount = 0;
    play.Frame(2);
    for (int32_t door : doors)
        EXPECT_TRUE(play.Objects().m_instances[door].GetInstanceConst().m_hidden);
}

// The test gym switches the dungeon's colliders off over a level whose open doors are off
// already, and the hidden level may be switched off once more: the doors still close for the
// next fight once the level is switched on again.
TEST(LevelSystem, SwitchingTheCollidersOffTwiceKeepsTheDoorsSolid)
{
    Play play;
    auto& state = play.app.Shared<ztengine::LevelState>("LevelState");
    state.m_level = 0;
    play.Frame();
    state.m_level = 1;
    play.Frame();
    play.app.m_messagingSystem.SendEventByName("TELEPORT_PLAYER_END", {});
    play.app.m_messagingSystem.SendEventByName("SHOW_DUNGEON", {});
    play.app.renderer.SetCameraPosition(Vector3(80, 5, 80));
    play.Frame();  // the doors open
    // The first floor's bodies leave the world with the next physics step.
    play.app.m_physicsEngine.Update(1.0f / 60.0f);
    const std::vector<int32_t>& doors = play.gen.DoorProps();
    ASSERT_FALSE(doors.empty());

    // Straight down onto a door's top, below the ceiling: whether the door is hit.
    auto doorHit = [&](int32_t door) {
        const Vector3 at = play.Objects().m_instances[door].GetInstanceConst().m_transform.m_position;
        const ztengine::PhysicsBody& body = play.Objects().m_bodies[play.Objects().m_bodyOfInstance.at(door)];
        ztengine::RaycastResult hit;
        if (!play.app.m_physicsEngine.Raycast(Vector3(at.x, 31.0f, at.z), Vector3(at.x, 20.0f, at.z), hit))
            return false;
        EXPECT_EQ(hit.body.GetUID(), body.GetUID());
        EXPECT_EQ(hit.body.GetUserTypeID(), ztengine::kBodyTypeScenery);
        return true;
    };
    for (int32_t door : doors)
        EXPECT_FALSE(doorHit(door)) << "an open door lets the player through";

    ztengine::MessagingSystem& messages = play.app.m_messagingSystem;
    messages.SendEventByName("DISABLE_DUNGEON_COLLIDERS", {});
    messages.SendEventByName("HIDE_DUNGEON", {});
    messages.SendEventByName("DISABLE_DUNGEON_COLLIDERS", {});
    for (int32_t door : doors)
        EXPECT_FALSE(doorHit(door));
    messages.SendEventByName("ENABLE_DUNGEON_COLLIDERS", {});
    for (int32_t door : doors)
        EXPECT_TRUE(doorHit(door)) << "the door kept its category";
    // The builder opens them again when play resumes, and a fight closes them as before.
    play.gen.SetToCurrentState();
    play.Frame();
    for (int32_t door : doors)
        EXPECT_FALSE(doorHit(door));
    play.app.renderer.SetCameraPosition(Vector3(300, 5, 90));
    play.app.Shared<ztengine::AISpawner>("AISpawner").m_enemyCount = 3;
    play.Frame(2);
    ASSERT_TRUE(play.gen.Fighting());
    for (int32_t door : doors)
        EXPECT_TRUE(doorHit(door));
}

TEST(LevelSystem, HazardsHurtDrainAndHold)
{
    Play play;
    auto& health = play.app.Shared<ztengine::PlayerHealth>("PlayerHealth");
    auto& status = play.app.Shared<ztengine::PlayerStatus>("PlayerStatus");
    const ContactInfo contact{Vector3(1, 0, 2), Vector3(0, 1, 0), -0.1f};
    const int32_t player = ztengine::kBodyTypePlayer;

    // Spikes: a quarter of the maximum at first touch, with one hit event.
    play.level.m_hazardTimer = 1.0f;
    play.app.sent.clear();
    play.level.OnSpikesContact(player, contact);
    EXPECT_FLOAT_EQ(health.m_currentHealth, 75.0f);
    EXPECT_EQ(play.app.Count("PLAYER_GOT_HIT"), 1);
    EXPECT_TRUE(play.app.Shared<ztengine::CameraShakeData>("CameraShakeData").m_active);
    // Staying on them: 12.5 % per second, no more events.
    play.level.m_hazardTimer = 0.1f;
    play.level.OnSpikesContact(player, contact);
    EXPECT_FLOAT_EQ(health.m_currentHealth, 75.0f - 100.0f * 0.125f * 0.1f);
    EXPECT_EQ(play.app.Count("PLAYER_GOT_HIT"), 1);
    // Another body, or an invulnerable player, takes nothing.
    const float before = health.m_currentHealth;
    play.level.m_hazardTimer = 1.0f;
    play.level.OnSpikesContact(ztengine::kBodyTypeEnemy, contact);
    status.m_invulnerable = true;
    play.level.OnSpikesContact(player, contact);
    EXPECT_FLOAT_EQ(health.m_currentHealth, before);
    EXPECT_FLOAT_EQ(play.level.m_hazardTimer, 1.0f);  // left running while invulnerable
    status.m_invulnerable = false;

    // Ice: 0.55 of the maximum stamina per second of contact.
    status.m_stamina = 100.0f;
    play.level.m_hazardTimer = 0.1f;
    play.level.OnIceContact(player);
    EXPECT_NEAR(status.m_stamina, 100.0f - status.m_maxStamina * 0.55f * 0.1f, 1e-3f);

    // Goo: nothing rises and health stays above 1 while in it.
    health.m_currentHealth = 50.0f;
    status.m_stamina = 40.0f;
    play.level.m_hazardTimer = 1.0f;
    play.level.OnGooContact(player);  // first contact after a break: holds these values
    health.m_currentHealth = 60.0f;
    status.m_stamina = 45.0f;
    play.level.m_hazardTimer = 0.01f;
    play.level.OnGooContact(player);
    EXPECT_FLOAT_EQ(health.m_currentHealth, 50.0f);
    EXPECT_FLOAT_EQ(status.m_stamina, 40.0f);
    health.m_currentHealth = -5.0f;
    play.level.m_hazardTimer = 0.01f;
    play.level.OnGooContact(player);
    EXPECT_FLOAT_EQ(health.m_currentHealth, 1.0f);
}

TEST(LevelSystem, LightsPauseAndDebugKey)
{
    Play play;
    auto& state = play.app.Shared<ztengine::LevelState>("LevelState");
    const size_t torches = play.app.Shared<ztengine::DungeonScene>("DungeonScene").m_pointLights.size();
    ASSERT_GT(torches, 0u);

    // Town: the sun, no lamp.
    state.m_level = 0;
    play.Frame();
    EXPECT_TRUE(play.app.renderer.m_directionalLightEnabled);
    EXPECT_EQ(play.app.renderer.m_pointLights.size(), torches);
    // Dungeon: the sun goes off and the lamp follows the camera.
    state.m_level = 1;
    play.app.renderer.SetCameraPosition(Vector3(80, 5, 80));
    play.Frame(2);
    EXPECT_FALSE(play.app.renderer.m_directionalLightEnabled);
    ASSERT_EQ(play.app.renderer.m_pointLights.size(), torches + 1);
    EXPECT_FLOAT_EQ(play.app.renderer.m_pointLights.back().m_position.y, 15.0f);

    // The grave accent shows the debug GUI and the cursor, and hides them again.
    play.app.input.Press(96);
    play.Frame();
    EXPECT_TRUE(play.level.GuiShown());
    EXPECT_TRUE(play.app.input.IsCursorEnabled());
    EXPECT_EQ(play.app.Count("SHOW_CUSTOM_CURSOR"), 1);
    play.app.input.Press(96);
    play.Frame();
    EXPECT_FALSE(play.level.GuiShown());
    EXPECT_EQ(play.app.Count("HIDE_CUSTOM_CURSOR"), 1);

    // Escape, and losing the focus, open the pause menu.
    play.app.states.clear();
    play.app.input.Release(256);
    play.Frame();
    play.level.Pause();
    EXPECT_EQ(play.app.states,
              (std::vector<std::string>{"PAUSE_MENU_STATE", "PAUSE_MENU_STATE"}));

    // The scene list follows the stored scenes.
    EXPECT_EQ(play.level.SceneNames(), std::vector<std::string>{"proc gen scene"});

    // The panel stays over menus and goes with any other state.
    ztengine::GuiManager& manager = play.gui.Manager();
    play.app.nextStateName = "PAUSE_MENU_STATE";
    play.level.NextState(5);
    EXPECT_TRUE(manager.GetGuiWindow(play.level.Window())->visible);
    play.app.nextStateName = "TEST_GYM";
    play.level.NextState(22);
    EXPECT_FALSE(manager.GetGuiWindow(play.level.Window())->visible);
    play.level.SetToCurrentState();
    EXPECT_TRUE(manager.GetGuiWindow(play.level.Window())->visible);
}

TEST(LevelSystem, SphereCollidersScaleWithTheLargestAxis)
{
    Play play;
    const int32_t model = play.app.Models().m_defaultModel;
    const uint32_t sphere = play.level.FindColliderShape(900, 0, Vector3(1, 3, 2), model);
    EXPECT_EQ(play.level.FindColliderShape(900, 0, Vector3(9, 9, 9), model), sphere);
    const uint32_t box = play.level.FindColliderShape(901, 1, Vector3(1, 1, 1), model);
    EXPECT_NE(box, sphere);
}

// The developer's rebuild key in a dungeon: a new floor is built and loaded in its place, and
// the player is carried to its start.
TEST(LevelSystem, TheRebuildKeyInADungeonLoadsTheNewFloor)
{
    Play play;
    play.app.Shared<ztengine::LevelState>("LevelState").m_level = 1;
    play.Frame();
    play.app.sent.clear();
    play.app.states.clear();

    play.app.input.Release(DungeonGenerator::kRebuildKey);
    play.Frame();
    EXPECT_EQ(play.app.Count("NEW_DUNGEON_GENERATED"), 1);
    EXPECT_EQ(play.app.Count("RESET_ENVIRONMENT_SYSTEM"), 1);
    EXPECT_EQ(play.app.Count("TELEPORT_PLAYER_BEGIN"), 1);
    ASSERT_EQ(play.app.states.size(), 1u);
    EXPECT_EQ(play.app.states[0], "FADE_OUT_STATE");
    // One set of instances and bodies, the new floor's.
    EXPECT_EQ(play.Objects().m_instances.size(), play.Props().size());
    EXPECT_EQ(play.LiveInstances(), play.Props().size());
    for (int32_t door : play.gen.DoorProps())
        EXPECT_EQ(play.Props()[static_cast<size_t>(door)].m_modelName, "dungeon_door_model");
}

}  // namespace
