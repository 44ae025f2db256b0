#pragma once
// A headless world for the generic enemy components: real Bullet, the CPU renderer, the shared
// records the components reach, and every generic creator registered under its name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ai/framework/EntityWorld.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/MovementComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace zttest {

class ComponentApp : public HeadlessApp {
public:
    explicit ComponentApp(ztengine::Graphics3D* renderer) { m_graphics3DService = renderer; }
};

class ComponentWorld : public ::testing::Test {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;

    ComponentWorld()
    {
        for (const char* name : {"OGRE_GOT_HIT", "SMAGICIAN_SHOOT", "LKANGA_SHOOT",
                                 "MB01_RADIAL_SHOOT", "MB02_SHOOT"})
            app.m_messagingSystem.RegisterEvent(name);
        projectiles = app.AddSharedData<ztengine::ProjectilesShared>("ProjectilesShared");
        spawner = app.AddSharedData<ztengine::AISpawner>("AISpawner", &app);
        models = app.AddSharedData<ztengine::ModelManager>("ModelManager");
        cube = renderer.CreateModel(renderer.CreateCubeMesh(), 0);
        ogreModel = renderer.CreateModel(renderer.CreateSphereMesh(8, 8), 0);
        models->m_defaultModel = cube;
        models->m_modelHandles["OgreModel"] = ogreModel;

        world.CreateComponentFactory<ztengine::Object3DComponentCreator>(
            "object3D", spawner, &renderer, models);
        world.CreateComponentFactory<ztengine::PhysicsBodyComponentCreator>("physicsBody",
                                                                            &physics);
        world.CreateComponentFactory<ztengine::ChasePlayerComponentCreator>("chase");
        world.CreateComponentFactory<ztengine::EnemyHitFlashComponentCreator>("enemyhitflash");
        world.CreateComponentFactory<ztengine::AnimationComponentCreator>("animation");
        world.CreateComponentFactory<ztengine::HealthComponentCreator>("health");
        world.CreateComponentFactory<ztengine::GotHitByPlayerComponentCreator>(
            "got_hit_by_player", &app);
        world.CreateComponentFactory<ztengine::ShootProjectileComponentCreator>(
            "shoot_projectile", &app);
        world.CreateComponentFactory<ztengine::DeathComponentCreator>("death", &app);
        world.CreateComponentFactory<ztengine::ChargeAttackTowardsTargetComponentCreator>(
            "charge_attack_towards_target", &app);
        world.CreateComponentFactory<ztengine::ColliderNearTargetCheckComponentCreator>(
            "collider_near_target_check", &app);
    }

    ~ComponentWorld() override
    {
        world.DestroyAllEntities();
        app.ReleaseSharedData();
    }

    // An archetype of (creator, params) pairs; returns its handle.
    uint32_t Archetype(const char* name,
                       const std::vector<std::pair<const char*, ztengine::Params>>& entries)
    {
        const uint32_t handle = world.CreateArchetype(name);
        for (const auto& [creator, params] : entries)
            world.RegisterComponentCreatorToArchetype(name, creator, params);
        return handle;
    }

    template <class T>
    T* Component(uint32_t entity, const char* name)
    {
        return world.GetEntity(entity).Find<T>(name);
    }

    // One frame as the game runs it: the physics step, then the entity walk.
    void Frame(float dt = kFrame)
    {
        physics.Update(dt);
        spawner->m_enemyPositions.clear();
        world.Update(dt);
    }

    NullRenderer3D renderer;
    ComponentApp app{&renderer};
    ztengine::PhysicsEngine& physics = app.m_physicsEngine;
    ztengine::EntityWorld& world = app.m_entityWorld;
    ztengine::ProjectilesShared* projectiles = nullptr;
    ztengine::AISpawner* spawner = nullptr;
    ztengine::ModelManager* models = nullptr;
    int32_t cube = -1;
    int32_t ogreModel = -1;
};

}  // namespace zttest
