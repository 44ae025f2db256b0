// The road of a fight in the real game, reached as a player reaches it: from the main menu into
// play, through the red portal onto floor 1. Two rabbitmen queued by name in the start room
// gather out of particles and appear two seconds later, the player aims at one and fires (its
// hit event and flash), and the game quits with both still alive. Pictures go to
// "test-artefacts/rabbitmen/".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/AI/AISpawnerSystem.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "support/GameRoad.h"

namespace {

using zttest::GameRoad;
using ztmath::Vector3;

TEST(RabbitmenOnScreen, QueuedByNameTheyGatherAppearTakeAHitAndOutliveTheQuit)
{
    GameRoad road("rabbitmen");
    ASSERT_TRUE(road.Start()) << road.Error();
    ztengine::Win32App& app = road.App();
    auto* spawning = road.Game().FindSystem<ztengine::AISpawnerSystem>();
    ASSERT_NE(spawning, nullptr);
    ASSERT_TRUE(road.WalkIntoPortal(GameRoad::kRedSkull));
    ASSERT_TRUE(road.WaitForPlay()) << road.State();

    // Towards the far corner of the start room, where there is room for two.
    const Vector3 eye = road.Eye();
    const Vector3 corner = road.FarCornerOfThisRoom();
    Vector3 ahead = corner - eye;
    ahead.y = 0.0f;
    ahead.Normalize();
    const Vector3 side = Vector3(0.0f, 1.0f, 0.0f).Cross(ahead).Normalized();
    const Vector3 middle = eye + ahead * 16.0f - Vector3(0.0f, 4.0f, 0.0f);
    road.Face(middle);
    const zttest::RoadPicture empty = road.Shot("0-empty", 4);

    auto& spawner = road.Shared<ztengine::AISpawner>("AISpawner");
    const size_t before = app.m_entityWorld.GetEntityCount();
    for (float s : {-4.0f, 4.0f}) {
        ztengine::SpawnConfig config;
        config.m_position = middle + side * s;
        config.m_health = 100.0f;
        config.m_damageScale = 1.0f;
        spawner.QueueEnemy("rabbitman", config);
    }
    // The pictures taken at once are compared with one drawn with the effects: their last frames
    // are drawn with them too.
    road.Run(9);
    road.KeepEffects(true);
    road.Run(1);
    road.KeepEffects(false);
    EXPECT_GE(spawning->GetParticles().size(), 80u);
    EXPECT_EQ(app.m_entityWorld.GetEntityCount(), before);
    const zttest::RoadPicture gathering = road.Shot("1-gathering", 0);
    EXPECT_GT(gathering.Changed(empty), 500u) << "the spawn particles show";

    ASSERT_TRUE(road.RunUntil([&] { return app.m_entityWorld.GetEntityCount() == before + 2; }, 60));
    road.Run(9);
    road.KeepEffects(true);
    road.Run(1);
    road.KeepEffects(false);
    const zttest::RoadPicture standing = road.Shot("2-standing", 0);
    EXPECT_GT(standing.Changed(empty), 3000u) << "two rabbitmen in the frame";

    // The player aims at one and fires.
    std::vector<ztengine::GotHitEventData> hits;
    app.m_messagingSystem.RegisterHandler("RABBITMAN_GOT_HIT", [&](const ztengine::IEvent& e) {
        hits.push_back(*static_cast<const ztengine::GotHitEventData*>(e.m_data));
    });
    // The body, not the drawn model (which hangs 5 below it), is what a shot strikes; the
    // rabbitmen run at the player, so the aim follows the nearest body every frame.
    const ztengine::EntityWorld& bodies = app.m_entityWorld;
    auto nearestBody = [&](Vector3& at) {
        float best = -1.0f;
        for (uint32_t i = bodies.GetEntities().m_head; bodies.GetEntities().IsValidIndex(i);
             i = bodies.GetEntities().Next(i)) {
            auto* body = bodies.GetEntities().At(i)->Find<ztengine::PhysicsBodyComponent>("physicsBody");
            if (body == nullptr)
                continue;
            const Vector3 p = body->m_body.GetPosition();
            const float d = (p - road.Eye()).LengthSquared();
            if (best < 0.0f || d < best) {
                best = d;
                at = p;
            }
        }
        return best >= 0.0f;
    };
    Vector3 target;
    ASSERT_TRUE(nearestBody(target));
    road.Face(target);
    road.Game().PressMouseButton(0);
    // Each turn of the look is one frame of fire.
    for (int frame = 0; frame < 60 && hits.empty(); ++frame) {
        if (nearestBody(target))
            road.Face(target);
        else
            road.Run(1);
    }
    road.Game().ReleaseMouseButton(0);
    ASSERT_FALSE(hits.empty()) << "no shot struck a rabbitman";
    road.KeepEffects(true);
    road.Run(1);
    road.KeepEffects(false);
    const ztengine::EntityWorld& world = app.m_entityWorld;
    int flashing = 0;
    for (uint32_t i = world.GetEntities().m_head; world.GetEntities().IsValidIndex(i); i = world.GetEntities().Next(i)) {
        auto* health = world.GetEntities().At(i)->Find<ztengine::HealthComponent>("health");
        auto* object = world.GetEntities().At(i)->Find<ztengine::Object3DComponent>("object3D");
        if (health != nullptr && object != nullptr && health->m_currentHp < 100.0f &&
            object->m_instance.GetInstanceConst().m_tint.w > 0.5f)
            ++flashing;
    }
    EXPECT_GE(flashing, 1);
    GameRoad::ExpectReadable(road.Shot("3-hit-flash", 0), "the hit");

    // Quit in the middle of the fight: both enemies are still there.
    EXPECT_EQ(app.m_entityWorld.GetEntityCount(), before + 2);
    EXPECT_EQ(road.Quit(), 0);
}

}  // namespace
