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

// Disabled until it passes every time: the player's aimed shots do not yet reach a rabbitman on this road.
TEST(RabbitmenOnScreen, DISABLED_QueuedByNameTheyGatherAppearTakeAHitAndOutliveTheQuit)
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
    road.Run(10);
    EXPECT_GE(spawning->GetParticles().size(), 80u);
    EXPECT_EQ(app.m_entityWorld.GetEntityCount(), before);
    const zttest::RoadPicture gathering = road.Shot("1-gathering", 0);
    EXPECT_GT(gathering.Changed(empty), 500u) << "the spawn particles show";

    ASSERT_TRUE(road.RunUntil([&] { return app.m_entityWorld.GetEntityCount() == before + 2; }, 60));
    road.Run(10);
    const zttest::RoadPicture standing = road.Shot("2-standing", 0);
    EXPECT_GT(standing.Changed(empty), 3000u) << "two rabbitmen in the frame";

    // The player aims at one and fires.
    std::vector<ztengine::GotHitEventData> hits;
    app.m_messagingSystem.RegisterHandler("RABBITMAN_GOT_HIT", [&](const ztengine::IEvent& e) {
        hits.push_back(*static_cast<const ztengine::GotHitEventData*>(e.m_data));
    });
    ASSERT_FALSE(spawner.m_enemyPositions.empty());
    road.Face(spawner.m_enemyPositions.front() + Vector3(0.0f, 2.0f, 0.0f));
    road.Game().PressMouseButton(0);
    road.RunUntil([&] { return !hits.empty(); }, 60);
    road.Game().ReleaseMouseButton(0);
    ASSERT_FALSE(hits.empty()) << "no shot struck a rabbitman";
    road.Run(1);
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
