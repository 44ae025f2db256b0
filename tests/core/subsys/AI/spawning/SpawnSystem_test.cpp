// The roster and the spawn system together, without a window: a queued rabbitman appears two
// seconds later where it was asked for, after its particles; wipes cancel pending spawns and
// empty the world; deaths and wipes keep the enemy count; the particle cap holds.
#include <gtest/gtest.h>

#include "core/ai/framework/EntityWorld.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/AI/AIEntitySystem.h"
#include "core/subsys/AI/AISpawnerSystem.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

using ztengine::AISpawner;
using ztengine::SpawnConfig;
using ztmath::Vector3;

class RosterApp : public zttest::HeadlessApp {
public:
    explicit RosterApp(ztengine::Graphics3D* renderer) { m_graphics3DService = renderer; }
};

class SpawnSystem : public ::testing::Test {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;

    SpawnSystem()
    {
        for (const char* name :
             {"ERASE_ALL_ENEMIES", "KILL_ALL_ENEMIES", "EVENT_RESTART", "SMAGICIAN_DIED",
              "FSKULL_DIED", "LKANGA_DIED", "OGRE_DIED", "RABBITMAN_DIED", "MB00_DIED",
              "MB01_DIED", "MB02_DIED", "RABBITMAN_GOT_HIT"})
            app.m_messagingSystem.RegisterEvent(name);
        models = app.AddSharedData<ztengine::ModelManager>("ModelManager");
        models->m_defaultModel = renderer.CreateModel(renderer.CreateCubeMesh(), 0);
        rabbitmanModel = renderer.CreateModel(renderer.CreateSphereMesh(6, 6), 0);
        models->m_modelHandles["rabbitmanModel"] = rabbitmanModel;
        spawner = app.AddSharedData<AISpawner>("AISpawner", &app);
        app.AddSharedData<ztengine::ProjectilesShared>("ProjectilesShared");
        stats = app.AddSharedData<ztgame::GameStats>("GameStats");
        stats->m_printOnChange = false;
        roster = std::make_unique<ztengine::AIEntitySystem>(&app);
        spawning = std::make_unique<ztengine::AISpawnerSystem>(&app);
        roster->Init();
        spawning->Init();
    }
    ~SpawnSystem() override
    {
        app.m_entityWorld.DestroyAllEntities();
        spawning.reset();
        roster.reset();
        app.ReleaseSharedData();
    }

    // One frame in the game's order: roster, spawn system, physics.
    void Frame(float dt = kFrame)
    {
        roster->Update(dt);
        spawning->Update(dt);
        app.m_physicsEngine.Update(dt);
    }
    void Send(const char* name) { app.m_messagingSystem.SendEventByName(name, {}); }

    SpawnConfig Request(const Vector3& at, float health)
    {
        SpawnConfig config;
        config.m_position = at;
        config.m_health = health;
        config.m_damageScale = 1.0f;
        return config;
    }

    zttest::NullRenderer3D renderer;
    RosterApp app{&renderer};
    ztengine::ModelManager* models = nullptr;
    AISpawner* spawner = nullptr;
    ztgame::GameStats* stats = nullptr;
    int32_t rabbitmanModel = -1;
    std::unique_ptr<ztengine::AIEntitySystem> roster;
    std::unique_ptr<ztengine::AISpawnerSystem> spawning;
};

TEST_F(SpawnSystem, AQueuedRabbitmanAppearsTwoSecondsLaterWhereItWasAskedFor)
{
    ztengine::EntityWorld& world = app.m_entityWorld;
    EXPECT_EQ(world.GetArchetype("rabbitman"), 0u);
    EXPECT_EQ(spawner->GetSpawnerHandle("rabbitman"), 0u);
    app.m_physicsEngine.SetGravity(Vector3());

    spawner->QueueEnemy("rabbitman", Request(Vector3(10.0f, 2.0f, 30.0f), 48.1f));
    EXPECT_EQ(spawner->m_enemyCount, 1u);
    Frame();
    EXPECT_EQ(spawning->GetPendingBatches().size(), 1u);
    EXPECT_TRUE(spawner->m_spawnQueues.at(0).empty()) << "taken out of the spawner's queue";
    EXPECT_EQ(spawning->GetParticles().size(), 40u);
    EXPECT_EQ(world.GetEntityCount(), 0u);
    // Spawned in the update in which the frame times reach 2.0 s, counted from the next frame.
    int frames = 0;
    while (world.GetEntityCount() == 0 && frames < 300) {
        Frame();
        ++frames;
    }
    EXPECT_NEAR(frames, 120, 1);
    ASSERT_EQ(world.GetEntityCount(), 1u);
    const uint32_t e = world.GetEntities().m_head;
    ztengine::DynamicEntity& rabbitman = world.GetEntity(e);
    auto* health = rabbitman.Find<ztengine::HealthComponent>("health");
    EXPECT_FLOAT_EQ(health->m_currentHp, 48.1f);
    EXPECT_FLOAT_EQ(health->m_maxHp, 48.1f);
    auto* body = rabbitman.Find<ztengine::PhysicsBodyComponent>("physicsBody");
    EXPECT_EQ(body->m_body.GetPosition(), Vector3(10.0f, 2.0f, 30.0f));
    auto* object = rabbitman.Find<ztengine::Object3DComponent>("object3D");
    EXPECT_EQ(object->m_instance.m_modelId, rabbitmanModel);
    Frame();
    ASSERT_EQ(spawner->m_enemyPositions.size(), 1u);
    EXPECT_EQ(spawner->m_enemyPositions[0], Vector3(10.0f, -3.0f, 30.0f)) << "drawn 5 lower";

    // The particles gather and scatter over two seconds, then they are gone.
    for (int i = 0; i < 10; ++i)
        Frame();
    EXPECT_TRUE(spawning->GetParticles().empty());
    EXPECT_EQ(renderer.GetParticleSystems().at(static_cast<size_t>(spawning->GetParticleSystem()))
                  .particles.size(),
              0u);

    // A wipe empties the world at once; the count goes to 0 and stays there on a death.
    Send("KILL_ALL_ENEMIES");
    EXPECT_EQ(world.GetEntityCount(), 0u);
    EXPECT_EQ(spawner->m_enemyCount, 0u);
    Send("RABBITMAN_DIED");
    EXPECT_EQ(spawner->m_enemyCount, 0u);
}

TEST_F(SpawnSystem, WipesCancelPendingSpawnsAndDeathsCountDown)
{
    for (int i = 0; i < 3; ++i)
        spawner->QueueEnemy("rabbitman", Request(Vector3(10.0f * i, 0.0f, 0.0f), 10.0f));
    Frame();
    Send("OGRE_DIED");
    EXPECT_EQ(spawner->m_enemyCount, 2u);
    EXPECT_EQ(stats->m_enemiesKilled, 1u);
    Send("MB01_DIED");
    EXPECT_EQ(stats->m_bossesKilled, 1u);
    EXPECT_EQ(stats->m_enemiesKilled, 1u);
    Send("EVENT_RESTART");
    EXPECT_TRUE(spawning->GetPendingBatches().empty());
    EXPECT_EQ(spawner->m_enemyCount, 0u);
    for (int i = 0; i < 150; ++i)
        Frame();
    EXPECT_EQ(app.m_entityWorld.GetEntityCount(), 0u) << "cancelled requests never spawn";

    // A frame long enough to pass the delay spawns the batch of the previous update at once.
    spawner->QueueEnemy("rabbitman", Request(Vector3(), 10.0f));
    Frame();
    Frame(2.5f);
    EXPECT_EQ(app.m_entityWorld.GetEntityCount(), 1u);
}

TEST_F(SpawnSystem, AtTheParticleCapEnemiesStillSpawnWithoutNewParticles)
{
    // 2048 / 40: the 52nd request finds only 8 places left, the 53rd none.
    for (int i = 0; i < 53; ++i)
        spawner->QueueEnemy("rabbitman", Request(Vector3(12.0f * i, 0.0f, 0.0f), 10.0f));
    Frame();
    EXPECT_EQ(spawning->GetParticles().size(), 2048u);
    spawner->QueueEnemy("rabbitman", Request(Vector3(0.0f, 0.0f, 50.0f), 10.0f));
    Frame();
    EXPECT_EQ(spawning->GetParticles().size(), 2048u);
    int frames = 0;
    while (app.m_entityWorld.GetEntityCount() < 54 && frames < 200) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(app.m_entityWorld.GetEntityCount(), 54u);
    EXPECT_EQ(spawner->m_enemyCount, 54u);
}

}  // namespace
