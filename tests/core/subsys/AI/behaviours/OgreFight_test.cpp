// The road of one fight without a window: an ogre queued by name appears two seconds later, a
// player's shot kills it, its death is announced and counted, its gold drops where it stood and
// it is gone once its fall has played.
#include <gtest/gtest.h>

#include "core/subsys/AI/AISpawnerSystem.h"
#include "core/subsys/AI/behaviours/EnemyWorld.h"

namespace {

using ztmath::Quaternion;
using ztmath::Vector3;

class OgreFight : public zttest::EnemyWorld {};

TEST_F(OgreFight, AQueuedOgreAppearsDiesToAShotAndIsCountedOnce)
{
    Camera(Vector3(0.0f, 0.0f, 5000.0f));
    ztengine::AISpawnerSystem spawning(&app);
    spawning.Init();
    auto frame = [&] {
        roster->Update(kFrame);
        spawning.Update(kFrame);
        app.m_physicsEngine.Update(kFrame);
    };
    ztengine::SpawnConfig config;
    config.m_position = Vector3(0.0f, 5.0f, 0.0f);
    config.m_health = 7.5f;
    config.m_damageScale = 1.0f;
    spawner->QueueEnemy("ogre", config);
    int frames = 0;
    while (app.m_entityWorld.GetEntityCount() == 0 && frames < 300) {
        frame();
        ++frames;
    }
    EXPECT_NEAR(frames, 121, 2) << "two seconds of the spawn system";
    ASSERT_EQ(app.m_entityWorld.GetEntityCount(), 1u);

    ztengine::PhysicsEngine& physics = app.m_physicsEngine;
    ztengine::PhysicsBody shot = physics.CreateDynamicRigidBody(
        physics.CreateSphereCollider(0.75f), Vector3(0.0f, 5.0f, 15.0f), Quaternion(), 1.0f);
    shot.SetUserTypeId(ztengine::kBodyTypePlayerProjectile);
    shot.SetCollisionCategoryBits(ztengine::kCollisionCategoryProjectile);
    shot.SetCollisionMaskBits(ztengine::kCollisionMaskProjectile);
    shot.DisableSleeping();
    for (int i = 0; i < 60 && Count("OGRE_GOT_HIT") == 0; ++i) {
        // In flight: the projectile system keeps it going until it stops it.
        shot.SetLinearVelocity(Vector3(0.0f, 0.0f, -60.0f));
        frame();
    }
    ASSERT_GE(Count("OGRE_GOT_HIT"), 1u);
    physics.DestroyBody(shot);

    float t = 0.0f;
    while (app.m_entityWorld.GetEntityCount() > 0 && t < 5.0f) {
        frame();
        t += kFrame;
    }
    EXPECT_EQ(app.m_entityWorld.GetEntityCount(), 0u);
    EXPECT_NEAR(t, 1.9f, 0.15f);
    ASSERT_EQ(Count("OGRE_DIED"), 1u);
    ASSERT_EQ(Count("DROP_COIN"), 2u);
    EXPECT_EQ(events["DROP_COIN"][0], events["OGRE_DIED"][0]);
    EXPECT_EQ(stats->m_enemiesKilled, 1u);
    EXPECT_EQ(stats->m_bossesKilled, 0u);
    EXPECT_EQ(spawner->m_enemyCount, 0u);
}

}  // namespace
