#pragma once
// The real roster without a window: real Bullet without world gravity, the CPU renderer with the
// camera standing where the player is, the player's records, and every event the enemies send
// recorded with the position it carries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ai/framework/EntityWorld.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/AI/AIEntitySystem.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/MovementComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/CombatRecords.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace zttest {

class EnemyApp : public HeadlessApp {
public:
    explicit EnemyApp(ztengine::Graphics3D* renderer) { m_graphics3DService = renderer; }
};

class EnemyWorld : public ::testing::Test {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;

    EnemyWorld()
    {
        std::srand(7);
        for (const char* name :
             {"ERASE_ALL_ENEMIES", "KILL_ALL_ENEMIES", "EVENT_RESTART", "PLAYER_GOT_HIT",
              "DROP_COIN", "FSKULL_DIED", "MB00_DIED", "MB00_GOT_HIT", "MB00_GOT_HIT_INVUL",
              "FSKULL_GOT_HIT", "LKANGA_GOT_HIT", "LKANGA_SHOOT", "LKANGA_DIED", "MB02_GOT_HIT",
              "MB02_SHOOT", "MB02_SLIDE_DODGE", "MB02_DIED", "OGRE_GOT_HIT", "OGRE_CHARGE",
              "OGRE_DIED", "MB01_GOT_HIT", "MB01_CHARGE", "MB01_RADIAL_SHOOT", "MB01_DIED",
              "SMAGICIAN_GOT_HIT", "SMAGICIAN_SHOOT", "SMAGICIAN_DIED", "RABBITMAN_GOT_HIT",
              "RABBITMAN_DIED"}) {
            app.m_messagingSystem.RegisterEvent(name);
            const std::string key = name;
            app.m_messagingSystem.RegisterHandler(name, [this, key](const ztengine::IEvent& e) {
                events[key].push_back(e.m_data != nullptr
                                          ? *static_cast<const ztmath::Vector3*>(e.m_data)
                                          : ztmath::Vector3());
                if (key == "PLAYER_GOT_HIT")
                    hits.push_back(*static_cast<const ztengine::PlayerHitRecord*>(e.m_data));
                order.push_back(key);
            });
        }
        models = app.AddSharedData<ztengine::ModelManager>("ModelManager");
        models->m_defaultModel = renderer.CreateModel(renderer.CreateCubeMesh(), 0);
        spawner = app.AddSharedData<ztengine::AISpawner>("AISpawner", &app);
        projectiles = app.AddSharedData<ztengine::ProjectilesShared>("ProjectilesShared");
        stats = app.AddSharedData<ztgame::GameStats>("GameStats");
        stats->m_printOnChange = false;
        health = app.AddSharedData<ztengine::PlayerHealth>("PlayerHealth");
        status = app.AddSharedData<ztengine::PlayerStatus>("PlayerStatus");
        app.m_physicsEngine.SetGravity(ztmath::Vector3());
        roster = std::make_unique<ztengine::AIEntitySystem>(&app);
        roster->Init();
    }
    ~EnemyWorld() override
    {
        app.m_entityWorld.DestroyAllEntities();
        roster.reset();
        app.ReleaseSharedData();
    }

    void Camera(const ztmath::Vector3& at) { renderer.SetCameraPosition(at); }

    // Spawns one enemy through its kind's spawn function and returns its entity.
    uint32_t Spawn(const char* kind, const ztmath::Vector3& at, float hp = 100.0f,
                   float damageScale = 1.0f)
    {
        ztengine::SpawnConfig config;
        config.m_position = at;
        config.m_health = hp;
        config.m_damageScale = damageScale;
        std::vector<bool> before(4096);
        for (uint32_t i = 0; i < before.size(); ++i)
            before[i] = app.m_entityWorld.IsValidEntity(i);
        spawner->GetSpawnerFN(spawner->GetSpawnerHandle(kind))(app.m_entityWorld, config);
        for (uint32_t i = 0; i < before.size(); ++i)
            if (!before[i] && app.m_entityWorld.IsValidEntity(i))
                return i;
        ADD_FAILURE() << "no entity spawned for " << kind;
        return 0;
    }

    template <class T>
    T* Get(uint32_t entity, const char* name)
    {
        return app.m_entityWorld.GetEntity(entity).Find<T>(name);
    }

    // One frame in the game's order: the enemies, then the physics step.
    void Frame(float dt = kFrame)
    {
        roster->Update(dt);
        app.m_physicsEngine.Update(dt);
    }

    size_t Count(const char* event) const
    {
        auto found = events.find(event);
        return found == events.end() ? 0 : found->second.size();
    }

    ztengine::PhysicsBody PlayerBody(const ztmath::Vector3& at)
    {
        ztengine::PhysicsEngine& physics = app.m_physicsEngine;
        ztengine::PhysicsBody body = physics.CreateDynamicRigidBody(
            physics.CreateCapsuleCollider(2.5f, 3.0f), at, ztmath::Quaternion(), 50.0f);
        body.DisableSleeping();
        body.SetUserTypeId(ztengine::kBodyTypePlayer);
        body.SetCollisionCategoryBits(ztengine::kCollisionCategoryPlayer);
        body.SetCollisionMaskBits(0xFFFF);
        return body;
    }

    NullRenderer3D renderer;
    EnemyApp app{&renderer};
    ztengine::ModelManager* models = nullptr;
    ztengine::AISpawner* spawner = nullptr;
    ztengine::ProjectilesShared* projectiles = nullptr;
    ztgame::GameStats* stats = nullptr;
    ztengine::PlayerHealth* health = nullptr;
    ztengine::PlayerStatus* status = nullptr;
    std::unique_ptr<ztengine::AIEntitySystem> roster;
    std::map<std::string, std::vector<ztmath::Vector3>> events;
    std::vector<ztengine::PlayerHitRecord> hits;
    std::vector<std::string> order;
};

}  // namespace zttest
