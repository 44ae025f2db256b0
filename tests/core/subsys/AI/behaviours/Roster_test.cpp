// The eight kinds of the roster: their handles, their components in order, their spawn
// placement and health, and the damage scale each kind applies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/subsys/AI/behaviours/EnemyWorld.h"
#include "core/subsys/AI/behaviours/FlyingSkullBehaviours.h"
#include "core/subsys/AI/behaviours/OgreBehaviours.h"

namespace {

using ztmath::Vector3;

class Roster : public zttest::EnemyWorld {};

TEST_F(Roster, EveryKindSpawnsByNameWithItsComponentsWhereAndAsStrongAsAsked)
{
    struct Case {
        const char* kind;
        std::vector<const char*> components;
    };
    const std::vector<Case> cases = {
        {"rabbitman", {"object3D", "animation", "physicsBody", "enemyhitflash", "chase", "health",
                       "got_hit_by_player", "shoot_projectile", "death"}},
        {"lkanga", {"object3D", "animation", "physicsBody", "enemyhitflash", "chase", "health",
                    "lkanga_logic", "got_hit_by_player", "shoot_projectile", "death"}},
        {"ogre", {"object3D", "animation", "physicsBody", "enemyhitflash", "chase", "health",
                  "got_hit_by_player", "shoot_projectile", "death",
                  "charge_attack_towards_target", "ogre_logic"}},
        {"flying_skull", {"object3D", "physicsBody", "enemyhitflash", "chase", "health",
                          "got_hit_by_player", "shoot_projectile", "death",
                          "collider_near_target_check", "flying_skull_logic"}},
        {"skeleton_magician", {"object3D", "animation", "physicsBody", "enemyhitflash", "chase",
                               "health", "skeleton_magician_logic", "got_hit_by_player",
                               "shoot_projectile", "death"}},
        {"mb_flying_skull", {"object3D", "physicsBody", "enemyhitflash", "chase", "health",
                             "got_hit_by_player", "shoot_projectile", "death",
                             "collider_near_target_check", "mb_flying_skull_logic"}},
        {"mb_lkanga", {"object3D", "animation", "physicsBody", "enemyhitflash", "chase", "health",
                       "mb_lkanga_logic", "got_hit_by_player", "shoot_projectile", "death"}},
        {"mb_ogre", {"object3D", "animation", "physicsBody", "enemyhitflash", "chase", "health",
                     "got_hit_by_player", "shoot_projectile", "death",
                     "charge_attack_towards_target", "mb_ogre_logic"}},
    };
    Camera(Vector3(0.0f, 0.0f, 5000.0f));
    for (uint32_t h = 0; h < cases.size(); ++h) {
        const Case& c = cases[h];
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(app.m_entityWorld.GetArchetype(c.kind), h);
        EXPECT_EQ(spawner->GetSpawnerHandle(c.kind), h);
        const Vector3 at(10.0f * h, 3.0f, -20.0f);
        const uint32_t e = Spawn(c.kind, at, 48.1f);
        ztengine::DynamicEntity& entity = app.m_entityWorld.GetEntity(e);
        for (uint32_t i = 0; i < c.components.size(); ++i)
            EXPECT_EQ(entity.GetComponent(i), entity.GetComponent(c.components[i])) << i;
        EXPECT_FALSE(entity.IsValidComponentIndex(static_cast<uint32_t>(c.components.size())));
        EXPECT_EQ(Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body.GetPosition(), at);
        auto* hp = Get<ztengine::HealthComponent>(e, "health");
        EXPECT_FLOAT_EQ(hp->m_currentHp, 48.1f);
        EXPECT_FLOAT_EQ(hp->m_maxHp, 48.1f);
    }
}

TEST_F(Roster, TheDamageScaleReachesTheKindsOwnAttacks)
{
    Camera(Vector3(0.0f, 0.0f, 5000.0f));
    struct Case {
        const char* kind;
        float scale;
        float shotDamage;
    };
    for (const Case& c : {Case{"lkanga", 0.5f, 30.0f}, Case{"flying_skull", 2.0f, 35.0f},
                          Case{"skeleton_magician", 2.0f, 50.0f}, Case{"ogre", 2.0f, 70.0f},
                          Case{"mb_flying_skull", 2.0f, 70.0f}, Case{"mb_lkanga", 0.5f, 40.0f},
                          Case{"mb_ogre", 2.0f, 70.0f}, Case{"rabbitman", 2.0f, 10.0f}}) {
        SCOPED_TRACE(c.kind);
        const uint32_t e = Spawn(c.kind, Vector3(), 100.0f, c.scale);
        EXPECT_FLOAT_EQ(Get<ztengine::ShootProjectileComponent>(e, "shoot_projectile")->m_damage,
                        c.shotDamage);
    }
    const uint32_t skull = Spawn("flying_skull", Vector3(), 100.0f, 2.0f);
    EXPECT_FLOAT_EQ(Get<ztengine::BehaviourFlyingSkullComponent>(skull, "flying_skull_logic")
                        ->m_tuning.attackDamage,
                    100.0f);
    const uint32_t boss = Spawn("mb_ogre", Vector3(), 100.0f, 2.0f);
    EXPECT_FLOAT_EQ(
        Get<ztengine::BehaviourOgreComponent>(boss, "mb_ogre_logic")->m_chargeDamage, 150.0f);
    const uint32_t ogre = Spawn("ogre", Vector3(), 100.0f, 0.5f);
    EXPECT_FLOAT_EQ(Get<ztengine::BehaviourOgreComponent>(ogre, "ogre_logic")->m_chargeDamage,
                    30.0f);
}

}  // namespace
