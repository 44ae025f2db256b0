// A room fight without a window, played as a player plays it: the builder's floor loaded by the
// level system into walls of one 10 x 68 x 10 box per cell, the real player body, charging ogres,
// rabbitmen and fireball-throwing lkangas, and a player who keeps the view on the nearest enemy
// while strafing round it. Every frame while the doors are shut the eye must be inside the room.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "core/gui/GuiHarness.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/AI/AIEntitySystem.h"
#include "core/subsys/AI/AISpawnerSystem.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/CharacterControllerSystem/CharacterControllerSystem.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/LevelSystem/LevelSystem.h"
#include "core/subsys/ProjectileSystem/ProjectileSystem.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "support/LevelTestApp.h"
#include "support/TestSupport.h"

namespace {

using ztmath::Vector3;

// The fight room of the hand-drawn floor: interior columns 25 to 36, rows 4 to 13.
constexpr int kRoomX = 25, kRoomY = 4, kRoomW = 12, kRoomH = 10;

class FightApp : public zttest::LevelTestApp {
public:
    FightApp()
    {
        m_messagingSystem.LoadEventNames(ZT_DATA_DIR "/EventNames.txt");
        AddSharedData<ztengine::PhysicsBody>("PlayerController");
        AddSharedData<ztengine::PlayerStatusEffectData>("PlayerStatusEffectData");
        AddSharedData<ztengine::ProjectilesShared>("ProjectilesShared");
        AddSharedData<ztgame::GameStats>("GameStats")->m_printOnChange = false;
        AddSharedData<ztengine::CameraPosition>("CameraPosition");
        // The level's models at the sizes the game's own have: a wall cell is one box 10 wide,
        // 68 high and 10 deep, a door 10 x 31 x 10, the floor slab 1600 x 4 x 1200.
        SizedModel("DRedWall_Model", Vector3(7.7f, 6.8f, 0.834f));
        SizedModel("dungeon_door_model", Vector3(1.0f, 1.0f, 1.0f));
        SizedModel("DRedFloor_Model", Vector3(8.0f, 8.0f, 1.0f));
        SizedModel("DRedCeiling_Model", Vector3(8.0f, 8.0f, 1.0f));
    }

    void SizedModel(const char* name, const Vector3& size)
    {
        const int32_t mesh = renderer.CreateCubeMesh();
        ztengine::MeshBounds& bounds = renderer.GetMeshAABB(static_cast<uint32_t>(mesh));
        bounds.m_min = size * -0.5f;
        bounds.m_max = size * 0.5f;
        bounds.m_center = Vector3();
        bounds.m_extents = size * 0.5f;
        Models().m_modelHandles[name] = renderer.CreateModel(static_cast<uint32_t>(mesh), 0);
    }
};

struct FrameRecord {
    int frame = 0;
    Vector3 eye;
    Vector3 velocity;
    bool fighting = false;
};

std::string Describe(const std::deque<FrameRecord>& trace)
{
    std::string out;
    char line[200];
    for (const FrameRecord& r : trace) {
        std::snprintf(line, sizeof(line), "frame %d eye (%.1f, %.1f, %.1f) velocity (%.0f, %.0f, %.0f)%s\n",
                      r.frame, r.eye.x, r.eye.y, r.eye.z, r.velocity.x, r.velocity.y, r.velocity.z,
                      r.fighting ? " doors shut" : "");
        out += line;
    }
    return out;
}

class RoomFight {
public:
    explicit RoomFight(float dt) : dt(dt)
    {
        std::srand(11);
        gen.WaveEngine().seed(5);
        gen.m_layoutSource = [](int32_t, bool boss) {
            return boss ? zttest::BossGrid() : zttest::FloorGrid();
        };
        // Each spawn cell sends an ogre, a rabbitman and an lkanga, too tough to fall.
        gen.m_queueWave = [this](const Vector3& centre, float, float, float) {
            ztengine::SpawnConfig config;
            config.m_health = 100000.0f;
            config.m_damageScale = 0.0f;
            const char* kinds[] = {"ogre", "rabbitman", "lkanga", "ogre"};
            for (int i = 0; i < 4; ++i) {
                config.m_position = centre + Vector3(6.0f * static_cast<float>(i % 2) - 3.0f, 1.0f,
                                                     6.0f * static_cast<float>(i / 2) - 3.0f);
                spawner.QueueEnemy(kinds[i], config);
            }
        };
        zttest::CaptureStdout([&] {
            controller.Init();
            roster.Init();
            spawning.Init();
            projectiles.Init();
            gen.Init();
            level.Init();
            level.SetToCurrentState();
        });
        app.Shared<ztengine::LevelState>("LevelState").m_level = 1;
        body = *app.GetSharedData<ztengine::PhysicsBody>("PlayerController");
        app.m_physicsEngine.SetGravity(Vector3(0.0f, -98.0f, 0.0f));
        for (const char* name : {"OGRE_CHARGE"})
            app.m_messagingSystem.RegisterHandler(name, [this, name](const ztengine::IEvent&) {
                app.sent.push_back(name);
            });
    }

    // Enemy components let go of their instances and bodies while the renderer is still there.
    ~RoomFight() { app.m_entityWorld.DestroyAllEntities(); }

    void Frame()
    {
        zttest::CaptureStdout([&] {
            controller.Update(dt);
            roster.Update(dt);
            spawning.Update(dt);
            app.m_physicsEngine.Update(dt);
            projectiles.Update(dt);
            gen.Update(dt);
            level.Update(dt);
        });
        app.input.EndFrame();
        ++frames;
    }

    void Place(const Vector3& at)
    {
        app.m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", ztengine::IEvent(0, &at));
    }

    // The live enemies' bodies.
    std::vector<Vector3> Enemies()
    {
        std::vector<Vector3> out;
        ztengine::EntityWorld& world = app.m_entityWorld;
        for (uint32_t i = 0; i < 256; ++i) {
            if (!world.IsValidEntity(i))
                continue;
            auto* presence = world.GetEntity(i).Find<ztengine::PhysicsBodyComponent>("physicsBody");
            if (presence != nullptr)
                out.push_back(presence->m_body.GetPosition());
        }
        return out;
    }

    // Keeps the view on the nearest enemy, as a player aiming at it does.
    void AimAtNearest()
    {
        const Vector3 eye = app.renderer.GetCameraPosition();
        float best = 1e30f;
        Vector3 target;
        for (const Vector3& e : Enemies()) {
            const float d = (e - eye).LengthSquared();
            if (d < best) {
                best = d;
                target = e;
            }
        }
        if (best < 1e30f && best > 1e-4f)
            app.renderer.GetCameraBasis().SetForward((target - eye).Normalized());
    }

    static bool InRoom(const Vector3& eye)
    {
        return eye.x >= kRoomX * 10.0f - 5.0f && eye.x <= (kRoomX + kRoomW - 1) * 10.0f + 5.0f &&
               eye.z >= kRoomY * 10.0f - 5.0f && eye.z <= (kRoomY + kRoomH - 1) * 10.0f + 5.0f;
    }

    // Within a step of a wall: the capsule (radius 2.5) touches it.
    static bool NearAWall(const Vector3& eye)
    {
        const float margin = 3.0f;
        return eye.x < kRoomX * 10.0f - 5.0f + margin ||
               eye.x > (kRoomX + kRoomW - 1) * 10.0f + 5.0f - margin ||
               eye.z < kRoomY * 10.0f - 5.0f + margin ||
               eye.z > (kRoomY + kRoomH - 1) * 10.0f + 5.0f - margin;
    }

    float dt;
    zttest::GuiHarness gui;
    FightApp app;
    ztengine::AISpawner& spawner = app.Shared<ztengine::AISpawner>("AISpawner");
    ztengine::CharacterControllerSystem controller{&app};
    ztengine::AIEntitySystem roster{&app};
    ztengine::AISpawnerSystem spawning{&app};
    ztengine::ProjectileSystem projectiles{&app};
    ztengine::DungeonGenerator gen{&app};
    ztengine::LevelSystem level{&app};
    ztengine::PhysicsBody body;
    int frames = 0;
};

class RoomFightWalls : public ::testing::TestWithParam<float> {};

INSTANTIATE_TEST_SUITE_P(FrameSteps, RoomFightWalls, ::testing::Values(1.0f / 60.0f, 0.1f),
                         [](const ::testing::TestParamInfo<float>& info) {
                             return std::to_string(std::lround(1000.0f * info.param)) + "ms";
                         });

// Strafing round the nearest enemy with the view on it, for a minute of fight: walls, doors,
// charging ogres, enemy bodies and fireballs all push the player, and none may put it out.
TEST_P(RoomFightWalls, TheEyeStaysInTheRoomWhileItsDoorsAreShut)
{
    RoomFight fight(GetParam());
    const float dt = fight.dt;
    // Inside the fight room, by its west door.
    fight.Place(Vector3(260.0f, 5.0f, 80.0f));
    for (int i = 0; i < static_cast<int>(1.0f / dt); ++i)
        fight.Frame();
    ASSERT_TRUE(fight.gen.Fighting()) << "entering the room shuts its doors";

    // Key patterns, each held for a while: strafes, strafes that close in or back off.
    const std::vector<std::vector<unsigned>> patterns = {
        {GLFW_KEY_D}, {GLFW_KEY_W, GLFW_KEY_D}, {GLFW_KEY_A}, {GLFW_KEY_S, GLFW_KEY_A},
        {GLFW_KEY_W, GLFW_KEY_A}, {GLFW_KEY_S, GLFW_KEY_D}, {GLFW_KEY_W}, {GLFW_KEY_S},
    };
    std::deque<FrameRecord> trace;
    int shutFrames = 0;
    int wallFrames = 0;
    const float fightSeconds = 60.0f;
    const int total = static_cast<int>(fightSeconds / dt);
    size_t pattern = 0;
    float patternTime = 0.0f;
    for (unsigned key : patterns[0])
        fight.app.input.Press(key);
    for (int i = 0; i < total; ++i) {
        patternTime += dt;
        if (patternTime >= 1.3f) {
            patternTime = 0.0f;
            for (unsigned key : patterns[pattern])
                fight.app.input.Release(key);
            pattern = (pattern + 1) % patterns.size();
            for (unsigned key : patterns[pattern])
                fight.app.input.Press(key);
        }
        fight.AimAtNearest();
        fight.Frame();
        FrameRecord r{fight.frames, fight.app.renderer.GetCameraPosition(),
                      fight.body.GetLinearVelocity(), fight.gen.Fighting()};
        trace.push_back(r);
        if (trace.size() > 6)
            trace.pop_front();
        if (!r.fighting)
            continue;
        ++shutFrames;
        ASSERT_TRUE(RoomFight::InRoom(r.eye)) << "out of the room with its doors shut:\n"
                                              << Describe(trace);
        wallFrames += RoomFight::NearAWall(r.eye) ? 1 : 0;
    }
    // The fight really pressed the player against the walls, and the ogres charged.
    EXPECT_GT(wallFrames, total / 20);
    EXPECT_GT(fight.app.Count("OGRE_CHARGE"), 3);
    EXPECT_GT(fight.app.Count("PLAYER_GOT_HIT"), 3);
    EXPECT_EQ(shutFrames, total) << "the fight lasts: its enemies cannot fall";
    EXPECT_GE(fight.Enemies().size(), 8u);
}

}  // namespace
