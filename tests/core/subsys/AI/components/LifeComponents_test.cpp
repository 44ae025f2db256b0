// Health, hits and death: a player's projectile pushed into an enemy in a real physics world,
// the facing block, other bodies, unknown event names and the steps of the death.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/physics-engine/CollisionVocabulary.h"
#include "core/subsys/AI/components/ComponentWorld.h"
#include "support/TestSupport.h"

namespace {

using ztengine::ContactInfo;
using ztengine::DeathComponent;
using ztengine::GotHitByPlayerComponent;
using ztengine::GotHitEventData;
using ztengine::HealthComponent;
using ztengine::Params;
using ztengine::PhysicsBody;
using ztmath::Quaternion;
using ztmath::Vector3;

class LifeComponents : public zttest::ComponentWorld {
protected:
    Params Health(float hp)
    {
        Params p;
        p.SetFloat("current_hp", hp);
        p.SetFloat("max_hp", hp);
        return p;
    }
    Params GotHit(float damage, const char* event)
    {
        Params p;
        p.SetFloat("got_hit_damage", damage);
        p.SetString("got_hit_msg", event);
        return p;
    }
    Params Body(const Vector3& at)
    {
        Params p;
        p.SetVec3("position", at);
        p.SetInt("collision_cat_bits", ztengine::kCollisionCategoryEnemy);
        p.SetInt("collision_mask_bits", ztengine::kCollisionMaskEnemy);
        p.SetInt("collision_typeid", ztengine::kBodyTypeEnemy);
        p.SetFloat("mass", 10.0f);
        return p;
    }
    uint32_t Ogre(const Vector3& at, float hp, const char* event = "OGRE_GOT_HIT")
    {
        if (!world.IsValidArchetype("ogre"))
            Archetype("ogre", {{"object3D", Params()},
                               {"physicsBody", Body(at)},
                               {"enemyhitflash", Params()},
                               {"health", Health(hp)},
                               {"got_hit_by_player", GotHit(7.5f, event)},
                               {"death", Params()}});
        return world.CreateEntity(world.GetArchetype("ogre"));
    }
    PhysicsBody Shot(const Vector3& at, const Vector3& velocity, int32_t type)
    {
        PhysicsBody body =
            physics.CreateDynamicRigidBody(physics.CreateSphereCollider(0.75f), at, Quaternion(),
                                           1.0f);
        body.SetUserTypeId(type);
        body.SetCollisionCategoryBits(ztengine::kCollisionCategoryProjectile);
        body.SetCollisionMaskBits(ztengine::kCollisionMaskProjectile);
        body.DisableSleeping();
        body.SetLinearVelocity(velocity);
        return body;
    }
    bool RayHits(const Vector3& at)
    {
        ztengine::RaycastResult hit;
        return physics.Raycast(at + Vector3(0.0f, 20.0f, 0.0f), at - Vector3(0.0f, 20.0f, 0.0f),
                               hit);
    }
};

TEST_F(LifeComponents, AProjectileKillsAnEntity)
{
    std::vector<GotHitEventData> events;
    app.m_messagingSystem.RegisterHandler("OGRE_GOT_HIT", [&](const ztengine::IEvent& e) {
        events.push_back(*static_cast<const GotHitEventData*>(e.m_data));
    });
    const Vector3 at(0.0f, 0.0f, 0.0f);
    const uint32_t ogre = Ogre(at, 15.0f);
    auto* health = Component<HealthComponent>(ogre, "health");
    auto* object = Component<ztengine::Object3DComponent>(ogre, "object3D");
    const ztengine::InstanceHandle instance = object->m_instance;
    PhysicsBody shot = Shot(Vector3(0.0f, 0.0f, -8.0f), Vector3(0.0f, 0.0f, 30.0f),
                            ztengine::kBodyTypePlayerProjectile);

    std::string printed;
    int frames = 0;
    float lastTint = -1.0f;
    bool tinted = false;
    // Until the first hit leaves the hit points at or below 0.
    while (health->m_currentHp > 0.0f && frames < 120) {
        // Still in flight: the projectile system keeps it going until it stops it.
        shot.SetLinearVelocity(Vector3(0.0f, 0.0f, 30.0f));
        printed += zttest::CaptureStdout([&] { Frame(); });
        lastTint = instance.GetInstanceConst().m_tint.w;
        tinted = tinted || (lastTint > 0.0f && lastTint < 1.0f);
        ++frames;
    }
    ASSERT_LE(health->m_currentHp, 0.0f) << "the shot never killed the ogre";
    // The projectile system would stop the shot here; the ogre takes no more hits.
    physics.DestroyBody(shot);

    // One event and one line per contact point, each with the hit points before the hit.
    ASSERT_GE(events.size(), 2u);
    std::ostringstream expected;
    for (size_t i = 0; i < events.size(); ++i) {
        const float before = 15.0f - 7.5f * static_cast<float>(i);
        EXPECT_FLOAT_EQ(events[i].m_healthFraction, before / 15.0f);
        EXPECT_NEAR(std::fabs(events[i].m_contactNormal.z), 1.0f, 0.05f);
        expected << "Got hit! HP left: " << before << ", msg: OGRE_GOT_HIT\n";
    }
    EXPECT_EQ(printed, expected.str());
    EXPECT_EQ(printed.substr(0, 39), "Got hit! HP left: 15, msg: OGRE_GOT_HIT");
    EXPECT_FLOAT_EQ(health->m_currentHp, 15.0f - 7.5f * static_cast<float>(events.size()));
    EXPECT_TRUE(tinted) << "the hit flash writes a fading tint";

    // The walk right after the killing hit runs the death; the next one removes the entity.
    ASSERT_TRUE(world.IsValidEntity(ogre));
    EXPECT_TRUE(world.GetEntity(ogre).GetAliveFlag());
    EXPECT_TRUE(Component<DeathComponent>(ogre, "death")->m_deathTriggered);
    auto* body = Component<ztengine::PhysicsBodyComponent>(ogre, "physicsBody");
    const Vector3 last = body->m_body.GetPosition();
    EXPECT_TRUE(RayHits(last));
    world.Update(kFrame);
    EXPECT_FALSE(world.IsValidEntity(ogre));
    // The instance goes at once; the body only after the next physics step.
    EXPECT_EQ(instance.m_batchPool->m_usedIndices.count(static_cast<uint32_t>(instance.m_poolIndex)),
              0u);
    EXPECT_TRUE(RayHits(last));
    physics.Update(kFrame);
    EXPECT_FALSE(RayHits(last));
}

TEST_F(LifeComponents, OnlyPlayerProjectilesHurt)
{
    const int32_t types[] = {ztengine::kBodyTypePlayer, ztengine::kBodyTypeEnemyProjectile,
                             ztengine::kBodyTypeScenery, ztengine::kBodyTypeNone};
    int sent = 0;
    app.m_messagingSystem.RegisterHandler("OGRE_GOT_HIT", [&](const ztengine::IEvent&) { ++sent; });
    float x = 0.0f;
    for (int32_t type : types) {
        SCOPED_TRACE(type);
        const uint32_t ogre = Ogre(Vector3(x, 0.0f, 0.0f), 100.0f);
        // Overlapping from the start: contacts in every step.
        Shot(Vector3(x, 0.0f, -5.0f), Vector3(0.0f, 0.0f, 10.0f), type);
        // The archetype keeps the first position; move the body to its own place.
        auto* body = Component<ztengine::PhysicsBodyComponent>(ogre, "physicsBody");
        body->m_body.SetTransform(Vector3(x, 0.0f, 0.0f), Quaternion());
        const std::string printed = zttest::CaptureStdout([&] {
            for (int i = 0; i < 10; ++i)
                Frame();
        });
        EXPECT_EQ(Component<HealthComponent>(ogre, "health")->m_currentHp, 100.0f);
        EXPECT_EQ(printed, "");
        x += 100.0f;
    }
    EXPECT_EQ(sent, 0);
}

TEST_F(LifeComponents, HitsFromTheFrontAreBlockedWhenAThresholdIsSet)
{
    const uint32_t ogre = Ogre(Vector3(), 100.0f);
    auto* gotHit = Component<GotHitByPlayerComponent>(ogre, "got_hit_by_player");
    auto* health = Component<HealthComponent>(ogre, "health");
    PhysicsBody shot = Shot(Vector3(50.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 3.0f),
                            ztengine::kBodyTypePlayerProjectile);
    int blocked = 0;
    float blockedSpeed = 0.0f;
    Vector3 blockedFacing;
    gotHit->OnBlockedHit = [&](const ztengine::GOT_HIT_INFO& info) {
        ++blocked;
        blockedSpeed = info.m_projectileSpeed;
        blockedFacing = info.m_facing;
    };
    int hits = 0;
    gotHit->m_onHit = [&] { ++hits; };
    gotHit->m_blockThreshold = 0.5f;

    // The instance faces +z by default: a contact at +z is in front of the ogre.
    const ContactInfo front{Vector3(0.0f, 0.0f, 2.0f), Vector3(0.0f, 0.0f, 1.0f), -0.01f};
    const ContactInfo rear{Vector3(0.0f, 0.0f, -2.0f), Vector3(0.0f, 0.0f, -1.0f), -0.01f};
    zttest::CaptureStdout([&] { gotHit->OnContact(shot, front); });
    EXPECT_EQ(blocked, 1);
    EXPECT_FLOAT_EQ(blockedSpeed, 3.0f);
    EXPECT_EQ(blockedFacing, Vector3(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(health->m_currentHp, 100.0f);
    EXPECT_EQ(hits, 0);
    EXPECT_FALSE(Component<ztengine::EnemyHitFlashComponent>(ogre, "enemyhitflash")->m_flash);

    zttest::CaptureStdout([&] { gotHit->OnContact(shot, rear); });
    EXPECT_EQ(blocked, 1);
    EXPECT_FLOAT_EQ(health->m_currentHp, 92.5f);
    EXPECT_EQ(hits, 1);

    // Switched off (as every behaviour does at death): nothing at all.
    gotHit->m_enabled = false;
    zttest::CaptureStdout([&] { gotHit->OnContact(shot, rear); });
    EXPECT_FLOAT_EQ(health->m_currentHp, 92.5f);
}

TEST_F(LifeComponents, AnUnknownEventNameStillDamagesAndFlashes)
{
    const uint32_t ogre = Ogre(Vector3(), 100.0f, "NOT_AN_EVENT");
    auto* gotHit = Component<GotHitByPlayerComponent>(ogre, "got_hit_by_player");
    PhysicsBody shot = Shot(Vector3(50.0f, 0.0f, 0.0f), Vector3(), 11);
    const std::string printed = zttest::CaptureStdout([&] {
        gotHit->OnContact(shot, ContactInfo{Vector3(0.0f, 0.0f, -2.0f), Vector3(0.0f, 1.0f, 0.0f),
                                            -0.01f});
    });
    EXPECT_EQ(printed, "Got hit! HP left: 100, msg: NOT_AN_EVENT\n");
    EXPECT_FLOAT_EQ(Component<HealthComponent>(ogre, "health")->m_currentHp, 92.5f);
    EXPECT_TRUE(Component<ztengine::EnemyHitFlashComponent>(ogre, "enemyhitflash")->m_flash);
    EXPECT_FLOAT_EQ(gotHit->m_hitData.m_healthFraction, 1.0f);
}

TEST_F(LifeComponents, DeathWaitsForItsStepsAndTimer)
{
    const uint32_t ogre = Ogre(Vector3(), 100.0f);
    auto* death = Component<DeathComponent>(ogre, "death");
    auto* health = Component<HealthComponent>(ogre, "health");
    int deaths = 0;
    bool ready = false;
    death->OnDeath = [&] { ++deaths; };
    death->UpdateDying = [&] { return ready; };
    death->m_despawnTimer = 0.05f;

    world.Update(kFrame);
    EXPECT_EQ(deaths, 0);
    health->m_currentHp = 0.0f;  // exactly 0 is dead
    world.Update(kFrame);
    EXPECT_EQ(deaths, 1);
    EXPECT_FLOAT_EQ(death->m_despawnTimer, 0.05f) << "the first dying frame only calls OnDeath";
    for (int i = 0; i < 5; ++i)
        world.Update(kFrame);
    EXPECT_FLOAT_EQ(death->m_despawnTimer, 0.05f) << "held while the dying step says no";
    // Healed while dying: the sequence pauses, and OnDeath is not called again.
    ready = true;
    health->m_currentHp = 5.0f;
    world.Update(kFrame);
    EXPECT_FLOAT_EQ(death->m_despawnTimer, 0.05f);
    health->m_currentHp = std::nanf("");
    world.Update(kFrame);
    EXPECT_FLOAT_EQ(death->m_despawnTimer, 0.05f) << "not a number is no death";
    health->m_currentHp = -1.0f;
    world.Update(0.03f);
    EXPECT_TRUE(world.IsValidEntity(ogre));
    world.Update(0.03f);
    EXPECT_FALSE(world.IsValidEntity(ogre));
    EXPECT_EQ(deaths, 1);
}

}  // namespace
