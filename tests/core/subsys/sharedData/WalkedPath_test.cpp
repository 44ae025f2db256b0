// Triggers in play taken along the whole way walked between two updates: at a few frames per
// second one frame of walking carries the player further than an orb, a coin or a shrine is
// wide. The orbs of the O key are walked through by the player's own body at 0.25 s frames;
// the orbs, the altar, a coin and both kinds of shrine are crossed by a scripted walk at 1/60 s
// and 0.25 s frames and by a teleport, which is no walk.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/gui/GuiHarness.h"
#include "core/math/Basis.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/AltarSystem/AltarSystem.h"
#include "core/subsys/CharacterControllerSystem/CharacterControllerSystem.h"
#include "core/subsys/CheatSubsystem/CheatSubsystem.h"
#include "core/subsys/CollectibleSystem/CollectibleSystem.h"
#include "core/subsys/ShrineSystem/Shrine2System.h"
#include "core/subsys/ShrineSystem/ShrineSystem.h"
#include "core/subsys/ShrineSystem/ShrineUISystemTwo.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/WalkedPath.h"
#include "support/ProgressionHarness.h"

namespace {

using ztengine::AltarSystem;
using ztengine::IEvent;
using ztengine::WalkedPath;
using ztmath::Vector3;

constexpr float kSixtieth = 1.0f / 60.0f;
constexpr float kSlow = 0.25f;
// Where the O key lays the three orbs out, next to the hub's altar.
const Vector3 kCheatOrbs[3] = {{410.0f, 511.0f, 500.0f}, {420.0f, 511.0f, 500.0f}, {430.0f, 511.0f, 500.0f}};
const Vector3 kAltar{500.0f, 500.0f, 550.0f};

TEST(WalkedPath, NearestSpotSpanAndBoxOfOneStep)
{
    WalkedPath walk;
    walk.MoveTo({0.0f, 0.0f, 0.0f});
    // The first check has nothing behind it: the path is its spot.
    EXPECT_FLOAT_EQ(walk.DistanceSquaredTo({3.0f, 4.0f, 0.0f}), 25.0f);
    walk.MoveTo({100.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(walk.DistanceSquaredTo({50.0f, 4.0f, 0.0f}), 16.0f);
    EXPECT_FLOAT_EQ(walk.DistanceSquaredTo({-3.0f, 4.0f, 0.0f}), 25.0f);
    EXPECT_FLOAT_EQ(walk.HorizontalDistanceSquaredTo({50.0f, 40.0f, 3.0f}), 9.0f);

    float first = 0.0f;
    float last = 0.0f;
    ASSERT_TRUE(walk.SpanWithin({50.0f, 3.0f, 0.0f}, 25.0f, first, last));
    EXPECT_NEAR(first, 0.46f, 1e-5f);
    EXPECT_NEAR(last, 0.54f, 1e-5f);
    EXPECT_FALSE(walk.SpanWithin({50.0f, 5.0f, 0.0f}, 25.0f, first, last));  // touching is not within
    ASSERT_TRUE(walk.SpanWithin({101.0f, 0.0f, 0.0f}, 4.0f, first, last));
    EXPECT_NEAR(first, 0.99f, 1e-5f);
    EXPECT_FLOAT_EQ(last, 1.0f);

    EXPECT_TRUE(walk.TouchesBox({40.0f, -1.0f, -1.0f}, {60.0f, 1.0f, 1.0f}));
    EXPECT_TRUE(walk.TouchesBox({100.0f, 0.0f, 0.0f}, {110.0f, 1.0f, 1.0f}));  // faces count
    EXPECT_FALSE(walk.TouchesBox({40.0f, 0.5f, -1.0f}, {60.0f, 1.0f, 1.0f}));
    EXPECT_FALSE(walk.TouchesBox({101.0f, -1.0f, -1.0f}, {110.0f, 1.0f, 1.0f}));

    // A jump is no walk: the checks right after it see the camera's spot alone.
    walk.Jump();
    walk.MoveTo({200.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(walk.DistanceSquaredTo({150.0f, 0.0f, 0.0f}), 2500.0f);
    walk.MoveTo({300.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(walk.DistanceSquaredTo({250.0f, 0.0f, 0.0f}), 2500.0f);
    walk.MoveTo({400.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(walk.DistanceSquaredTo({350.0f, 0.0f, 0.0f}), 0.0f);
    walk.Forget();
    walk.MoveTo({0.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(walk.DistanceSquaredTo({200.0f, 0.0f, 0.0f}), 40000.0f);
}

// The windowless world of the gold, shop and upgrade systems with the player's records, the
// altar's queues and the events the player, the cheat keys and the orb quest send.
class WalkWorld : public zttest::ProgressionHarness {
public:
    WalkWorld()
    {
        for (const char* name : {"PLAYER_SET_POSITION", "PLAYER_WARP", "PLAYER_GOT_HIT", "PLAYER_JUMP",
                                 "RETURN_CANCEL", "RETURN_TO_TOWN", "ORB_COLLECT", "ORB_ALTAR",
                                 "CHEAT_SPAWN_ORB"}) {
            m_messagingSystem.RegisterEvent(name);
            m_messagingSystem.RegisterHandler(name, [this, name](const IEvent&) { events.push_back(name); });
        }
        AddSharedData<ztengine::LevelState>("LevelState");
        AddSharedData<ztengine::LevelLayout>("LevelLayout");
        AddSharedData<ztengine::AltarSharedData>("AltarSharedData");
        AddSharedData<ztengine::BossSystemQueue>("BossSystemQueue");
        AddSharedData<ztengine::DialogueController>("DialogueController");
        AddSharedData<ztengine::AISpawner>("AISpawner", static_cast<ztengine::App*>(this));
        AddSharedData<ztengine::CameraShakeData>("CameraShakeData");
        AddSharedData<ztengine::HitDirectionFeedbackData>("HitDirectionFeedbackData");
        AddSharedData<ztengine::PlayerStatusEffectData>("PlayerStatusEffectData")->m_effect =
            ztengine::PlayerStatusEffectData::None;
        AddSharedData<ztengine::PhysicsBody>("PlayerController");
    }

    void Look(const Vector3& forward) { renderer.SetCameraBasis(ztmath::Basis(forward, {0.0f, 1.0f, 0.0f}, true)); }
    void Teleport(const Vector3& to) { Send("PLAYER_SET_POSITION", &to); }
};

std::unique_ptr<AltarSystem> MakeAltar(WalkWorld& world)
{
    auto altar = std::make_unique<AltarSystem>(&world);
    altar->m_textureSource = [](const std::string&) { return ztengine::Texture2DHandle{0, 1}; };
    altar->Init();
    return altar;
}

// The player's body walks straight through the row of orbs the O key lays out, on a floor at
// the hub's height, in frames of 0.25 s at full walking speed: no frame ends near an orb, and
// every orb is collected.
TEST(WalkedChecks, OrbsOfTheCheatKeyAreCollectedByAPlayerWalkingThroughAtQuarterSecondFrames)
{
    zttest::GuiHarness gui;
    WalkWorld world;
    ztengine::CharacterControllerSystem controller{&world};
    ztengine::CheatSubsystem cheats{&world};
    controller.Init();
    std::unique_ptr<AltarSystem> altar = MakeAltar(world);
    ztengine::PhysicsEngine& physics = world.m_physicsEngine;
    physics.CreateStaticBody(physics.CreateBoxCollider({300.0f, 1.0f, 200.0f}), {500.0f, 499.0f, 500.0f},
                             ztmath::Quaternion())
        .SetUserTypeId(18);

    world.Look({1.0f, 0.0f, 0.0f});
    std::vector<Vector3> seen;  // the camera's spot in every update of the altar
    const auto frame = [&] {
        controller.Update(kSlow);
        physics.Update(kSlow);
        cheats.Update(kSlow);
        altar->Update(kSlow);
        seen.push_back(world.renderer.GetCameraPosition());
        world.input.EndFrame();
    };
    world.Teleport({330.0f, 505.0f, 500.0f});
    for (int i = 0; i < 4; ++i)
        frame();
    world.input.Press(GLFW_KEY_O);
    frame();
    for (int type = 0; type < 3; ++type)
        ASSERT_EQ(altar->OrbPosition(type), kCheatOrbs[type]);
    ASSERT_EQ(world.Count("ORB_COLLECT"), 0);
    const Vector3 start = world.renderer.GetCameraPosition();
    ASSERT_LT(start.x, 400.0f);

    seen.clear();
    world.input.Hold(GLFW_KEY_W);
    while (world.renderer.GetCameraPosition().x < 480.0f && seen.size() < 12)
        frame();
    world.input.Release(GLFW_KEY_W);
    frame();

    // Full speed: a frame carries the player about a hundred units.
    ASSERT_GE(seen.size(), 2u);
    EXPECT_GT(seen[1].x - seen[0].x, 90.0f);
    EXPECT_NEAR(seen[1].z, 500.0f, 1.0f);
    // No update saw the camera within reach of an orb: the spot of each frame alone misses them.
    for (const Vector3& spot : seen)
        for (const Vector3& orb : kCheatOrbs)
            EXPECT_GT((spot - orb).Length(), AltarSystem::kOrbReach + AltarSystem::kExtraReach) << spot.x;
    for (int type = 0; type < 3; ++type)
        EXPECT_TRUE(altar->m_collected[type]) << type;
    EXPECT_EQ(world.Count("ORB_COLLECT"), 3);
}

// One trigger crossed along +x by the camera at walking speed, or jumped across by a teleport.
struct Check {
    const char* name;
    // Builds the systems and the trigger; returns one update of them all.
    std::function<std::function<void(float)>(WalkWorld&)> build;
    // Where the walk crosses the trigger (the walk keeps this height and depth).
    Vector3 through;
    // How often the trigger fired, read from the world afterwards.
    std::function<int(WalkWorld&)> fired;
    // How many times a crossing fires it.
    int expected;
};

struct Systems {
    std::unique_ptr<AltarSystem> altar;
    std::unique_ptr<ztengine::CollectibleSystem> coins;
    std::unique_ptr<ztengine::ShrineSystem> shop;
    std::unique_ptr<ztengine::ShrineUISystemTwo> notes;
    std::unique_ptr<ztengine::Shrine2System> blessings;
};

TEST(WalkedChecks, EveryTriggerIsTakenByAWalkAtAnyFrameLengthAndNeverByATeleport)
{
    Systems systems;
    const Check checks[] = {
        {"the orbs of the O key, walked along the row at eye height",
         [&](WalkWorld& world) {
             systems.altar = MakeAltar(world);
             world.Send("CHEAT_SPAWN_ORB");
             return std::function<void(float)>([&](float dt) { systems.altar->Update(dt); });
         },
         {420.0f, 511.0f, 500.0f},
         [](WalkWorld& world) { return world.Count("ORB_COLLECT"); }, 3},
        {"the altar, passed 12 units by with two orbs in hand",
         [&](WalkWorld& world) {
             systems.altar = MakeAltar(world);
             systems.altar->m_collected[AltarSystem::kFire] = true;
             systems.altar->m_collected[AltarSystem::kSnow] = true;
             return std::function<void(float)>([&](float dt) { systems.altar->Update(dt); });
         },
         kAltar + Vector3(0.0f, 7.0f, 12.0f),
         [](WalkWorld& world) { return world.Count("ORB_ALTAR"); }, 2},
        {"a coin, passed 3 units by",
         [&](WalkWorld& world) {
             systems.coins = std::make_unique<ztengine::CollectibleSystem>(&world);
             systems.coins->Init();
             const Vector3 at(0.0f, 1.0f, 0.0f);
             world.Send("DROP_COIN", &at);
             // The physics world is not stepped here: the coin stays where it fell.
             return std::function<void(float)>([&](float dt) { systems.coins->Update(dt); });
         },
         {0.0f, 7.0f, 3.0f},
         [](WalkWorld& world) { return world.Count("COIN_COLLECT"); }, 1},
        {"the shop shrine, E released every frame",
         [&](WalkWorld& world) {
             systems.shop = std::make_unique<ztengine::ShrineSystem>(&world);
             systems.shop->Init();
             world.shops->m_shrines.push_back(ztengine::ShopShrine{{0.0f, 0.0f, 0.0f}, 12.0f, false});
             return std::function<void(float)>([&world, &systems](float dt) {
                 // The shop opens once: the state change stops play.
                 if (world.states.empty()) {
                     world.input.Release(GLFW_KEY_E);
                     systems.shop->Update(dt);
                 }
             });
         },
         {0.0f, 10.0f, 8.0f},
         [](WalkWorld& world) { return static_cast<int>(world.states.size()); }, 1},
        {"a blessing shrine, E released every frame",
         [&](WalkWorld& world) {
             systems.notes = std::make_unique<ztengine::ShrineUISystemTwo>(&world);
             systems.blessings = std::make_unique<ztengine::Shrine2System>(&world);
             systems.notes->Init();
             systems.blessings->Init();
             world.gold->m_gold = 100;
             world.blessings->m_shrines.push_back(ztengine::BlessingShrine{{0.0f, 0.0f, 0.0f}, 6.0f, 0, 0, true});
             return std::function<void(float)>([&world, &systems](float dt) {
                 world.input.Release(GLFW_KEY_E);
                 systems.notes->Update(dt);
                 systems.blessings->Update(dt);
             });
         },
         {0.0f, 10.0f, 5.0f},
         [](WalkWorld& world) { return world.Count("PLAYER_GOT_POWERUP"); }, 1},
    };

    for (const Check& check : checks) {
        for (const float dt : {kSixtieth, kSlow}) {
            for (const bool teleport : {false, true}) {
                SCOPED_TRACE(std::string(check.name) + (teleport ? ", teleport" : ", walk") + " at " +
                             std::to_string(dt) + " s frames");
                systems = Systems{};
                WalkWorld world;
                world.Look({1.0f, 0.0f, 0.0f});
                const Vector3 from = check.through - Vector3(190.0f, 0.0f, 0.0f);
                const Vector3 to = check.through + Vector3(190.0f, 0.0f, 0.0f);
                world.renderer.SetCameraPosition(from);
                const std::function<void(float)> update = check.build(world);
                const auto frame = [&] {
                    update(dt);
                    ztengine::UIElementManager::GetInstance().Update();
                    world.input.EndFrame();
                };
                frame();
                frame();
                ASSERT_EQ(check.fired(world), 0);

                std::vector<Vector3> seen;
                if (teleport) {
                    // The body moves at once; the camera follows it an update later.
                    world.Teleport(to - Vector3(0.0f, 3.0f, 0.0f));
                    frame();
                    world.renderer.SetCameraPosition(to);
                    frame();
                } else {
                    const float speed = world.status->m_playerMoveSpeed;
                    Vector3 at = from;
                    while (at.x < to.x) {
                        at.x = std::min(to.x, at.x + speed * dt);
                        world.renderer.SetCameraPosition(at);
                        seen.push_back(at);
                        frame();
                    }
                }
                frame();
                frame();
                EXPECT_EQ(check.fired(world), teleport ? 0 : check.expected);
                if (dt == kSlow && !teleport) {
                    // No frame at a quarter of a second ends within 25 units of the trigger.
                    for (const Vector3& spot : seen)
                        EXPECT_GT((spot - check.through).Length(), 25.0f);
                }
                systems = Systems{};
            }
        }
    }
}

}  // namespace
