// Chasing, shooting through the projectile queue, charging with a sensor and the near-target
// sensor, in a real physics world without gravity.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/physics-engine/CollisionVocabulary.h"
#include "core/subsys/AI/components/ComponentWorld.h"

namespace {

using ztengine::ChargeAttackTowardsTargetComponent;
using ztengine::ChasePlayerComponent;
using ztengine::ColliderNearTargetCheckComponent;
using ztengine::Params;
using ztengine::PhysicsBody;
using ztengine::PhysicsBodyComponent;
using ztengine::ShootProjectileComponent;
using ztmath::Quaternion;
using ztmath::Vector3;

class MovementComponents : public zttest::ComponentWorld {
protected:
    MovementComponents() { physics.SetGravity(Vector3()); }

    Params Body(const Vector3& at, float mass = 1.0f)
    {
        Params p;
        p.SetVec3("position", at);
        p.SetFloat("mass", mass);
        p.SetInt("collision_cat_bits", ztengine::kCollisionCategoryEnemy);
        p.SetInt("collision_mask_bits", ztengine::kCollisionMaskEnemy);
        p.SetInt("collision_typeid", ztengine::kBodyTypeEnemy);
        return p;
    }
    Params Sensor()
    {
        Params p;
        p.SetInt("collision_cat_bits", ztengine::kCollisionCategoryEnemy);
        p.SetInt("collision_mask_bits", ztengine::kCollisionCategoryPlayer);
        return p;
    }
    PhysicsBody Player(const Vector3& at)
    {
        PhysicsBody body = physics.CreateDynamicRigidBody(physics.CreateSphereCollider(1.0f), at,
                                                          Quaternion(), 1.0f);
        body.SetUserTypeId(ztengine::kBodyTypePlayer);
        body.DisableSleeping();
        return body;
    }
};

TEST_F(MovementComponents, ChasePushesAlongTheDirectionUpToTheMaximumSpeed)
{
    Archetype("chaser", {{"physicsBody", Body(Vector3())}, {"chase", Params()}});
    Archetype("bodiless", {{"chase", Params()}});
    const uint32_t e = world.CreateEntity(world.GetArchetype("chaser"));
    auto* chase = Component<ChasePlayerComponent>(e, "chase");
    PhysicsBody body = Component<PhysicsBodyComponent>(e, "physicsBody")->m_body;

    struct Case {
        const char* what;
        Vector3 target;
        Vector3 startVelocity;
        float dt;
        bool flat;
        Vector3 velocityAfter;
    };
    const Case cases[] = {
        {"toward the target", Vector3(10.0f, 0.0f, 0.0f), Vector3(), 0.5f, false,
         Vector3(2.0f, 0.0f, 0.0f)},
        {"dt 0 pushes nothing", Vector3(10.0f, 0.0f, 0.0f), Vector3(), 0.0f, false, Vector3()},
        {"flat ignores height", Vector3(0.0f, 500.0f, 3.0f), Vector3(), 0.5f, true,
         Vector3(0.0f, 0.0f, 2.0f)},
        {"straight above, flat", Vector3(0.0f, 500.0f, 0.0f), Vector3(), 0.5f, true, Vector3()},
        {"at the maximum speed", Vector3(10.0f, 0.0f, 0.0f), Vector3(5.0f, 0.0f, 0.0f), 0.5f,
         false, Vector3(5.0f, 0.0f, 0.0f)},
        {"sideways motion is not limited", Vector3(10.0f, 0.0f, 0.0f),
         Vector3(0.0f, 0.0f, 50.0f), 0.5f, false, Vector3(2.0f, 0.0f, 50.0f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        body.SetTransform(Vector3(), Quaternion());
        body.SetLinearVelocity(c.startVelocity);
        // Force 4 for dt 0.5: an impulse of 2 on a body of mass 1.
        chase->MoveTowards(c.target, 4.0f, 5.0f, c.dt, c.flat);
        const Vector3 v = body.GetLinearVelocity();
        EXPECT_NEAR(v.x, c.velocityAfter.x, 1e-5f);
        EXPECT_NEAR(v.y, c.velocityAfter.y, 1e-5f);
        EXPECT_NEAR(v.z, c.velocityAfter.z, 1e-5f);
    }
    const uint32_t bare = world.CreateEntity(world.GetArchetype("bodiless"));
    Component<ChasePlayerComponent>(bare, "chase")->MoveTowards(Vector3(1.0f, 0.0f, 0.0f), 4.0f,
                                                                  5.0f, 0.5f, false);
}

TEST_F(MovementComponents, ShootQueuesARequestAndSendsTheKindsEvent)
{
    std::vector<std::string> sent;
    std::vector<Vector3> payloads;
    for (const char* name : {"SMAGICIAN_SHOOT", "LKANGA_SHOOT", "MB01_RADIAL_SHOOT", "MB02_SHOOT"})
        app.m_messagingSystem.RegisterHandler(name, [&, name](const ztengine::IEvent& e) {
            sent.push_back(name);
            payloads.push_back(*static_cast<const Vector3*>(e.m_data));
        });
    struct Case {
        int32_t type;
        const char* event;
    };
    const Case cases[] = {{0, "SMAGICIAN_SHOOT"}, {1, nullptr}, {2, "LKANGA_SHOOT"},
                          {3, nullptr},           {4, "MB01_RADIAL_SHOOT"}, {5, "MB02_SHOOT"},
                          {6, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Params p;
        p.SetInt("projectile_type", c.type);
        p.SetFloat("damage", 35.9f);
        p.SetFloat("projectile_speed", 45.0f);
        p.SetFloat("projectile_life_timer", 2.0f);
        p.SetInt("projectile_radius", 9);  // wrong type: keeps 1.0
        const std::string name = "shooter" + std::to_string(c.type);
        Archetype(name.c_str(), {{"shoot_projectile", p}});
        const uint32_t e = world.CreateEntity(world.GetArchetype(name.c_str()));
        sent.clear();
        payloads.clear();
        projectiles->m_requests.clear();
        const Vector3 from(1.0f, 2.0f, 3.0f);
        Component<ShootProjectileComponent>(e, "shoot_projectile")
            ->Shoot(from, Vector3(0.0f, 0.0f, 1.0f));

        ASSERT_EQ(projectiles->m_requests.size(), 1u);
        const ztengine::ProjectileRequest& r = projectiles->m_requests.front();
        EXPECT_EQ(r.m_command, 0);
        EXPECT_EQ(r.m_position, from);
        EXPECT_EQ(r.m_direction, Vector3(0.0f, 0.0f, 1.0f));
        EXPECT_EQ(r.m_speed, 45.0f);
        EXPECT_EQ(r.m_size, 1.0f);
        EXPECT_EQ(r.m_life, 2.0f);
        EXPECT_EQ(r.m_damage, 35) << "truncated toward zero";
        EXPECT_EQ(r.m_kind, c.type);
        EXPECT_EQ(r.m_gravity, Vector3());
        EXPECT_EQ(r.m_mass, 0.0f);
        EXPECT_EQ(r.m_trail, 1);
        EXPECT_EQ(r.m_id, 0);
        if (c.event == nullptr) {
            EXPECT_TRUE(sent.empty());
        } else {
            EXPECT_EQ(sent, std::vector<std::string>{c.event});
            EXPECT_EQ(payloads.front(), from);
        }
    }
    // The defaults of a bare creator.
    Archetype("plain", {{"shoot_projectile", Params()}});
    auto* plain = Component<ShootProjectileComponent>(world.CreateEntity(world.GetArchetype("plain")),
                                                      "shoot_projectile");
    EXPECT_EQ(plain->m_speed, 20.0f);
    EXPECT_EQ(plain->m_lifeTime, 3.0f);
    EXPECT_EQ(plain->m_projectileType, 0);
    EXPECT_EQ(plain->m_damage, 0.0f);
}

TEST_F(MovementComponents, TheNearSensorReportsATouchOnceUntilItsLatchIsReset)
{
    Params sensor = Sensor();
    Archetype("watcher", {{"object3D", Params()},
                          {"physicsBody", Body(Vector3(0.0f, 0.0f, 0.0f), 100.0f)},
                          {"collider_near_target_check", sensor}});
    const uint32_t e = world.CreateEntity(world.GetArchetype("watcher"));
    auto* check = Component<ColliderNearTargetCheckComponent>(e, "collider_near_target_check");
    int touches = 0;
    check->OnTouchPlayer = [&] { ++touches; };
    // Inside the sensor's radius of 5, clear of the enemy's own body of radius 5? No: enemy
    // bodies are spheres of radius 5 too, so the player stands in both; only the sensor counts.
    PhysicsBody player = Player(Vector3(30.0f, 0.0f, 0.0f));

    for (int i = 0; i < 3; ++i)
        Frame();
    EXPECT_EQ(touches, 0) << "out of reach";
    player.SetTransform(Vector3(4.0f, 0.0f, 0.0f), Quaternion());
    for (int i = 0; i < 10; ++i)
        Frame();
    EXPECT_EQ(touches, 1);
    EXPECT_TRUE(check->m_touched);
    check->m_touched = false;
    for (int i = 0; i < 3; ++i)
        Frame();
    EXPECT_EQ(touches, 2) << "reported again once the latch is reset, while still touching";

    // The sensor follows the enemy's body.
    auto* body = Component<PhysicsBodyComponent>(e, "physicsBody");
    body->m_body.SetTransform(Vector3(200.0f, 0.0f, 0.0f), Quaternion());
    player.SetTransform(Vector3(203.0f, 0.0f, 0.0f), Quaternion());
    player.SetLinearVelocity(Vector3());
    check->m_touched = false;
    for (int i = 0; i < 3; ++i)
        Frame();
    EXPECT_EQ(touches, 3);
    EXPECT_NEAR(check->m_sensor.GetPosition().x, body->m_body.GetPosition().x, 1e-3f);

    // A body of another type never counts.
    check->m_touched = false;
    player.SetUserTypeId(ztengine::kBodyTypeEnemy);
    for (int i = 0; i < 3; ++i)
        Frame();
    EXPECT_EQ(touches, 3);
}

TEST_F(MovementComponents, AChargeEndsOnTimeOnDistanceOrOnTouchingThePlayer)
{
    Params charge = Sensor();
    charge.SetFloat("charging_time", 0.5f);
    charge.SetFloat("charge_end_dist", 6.0f);
    charge.SetFloat("charge_move_speed", 600.0f);
    charge.SetFloat("charge_max_speed_cap", 8.0f);
    Params health;
    health.SetFloat("current_hp", 10.0f);
    health.SetFloat("max_hp", 10.0f);
    Archetype("charger", {{"object3D", Params()},
                          {"physicsBody", Body(Vector3(), 10.0f)},
                          {"health", health},
                          {"charge_attack_towards_target", charge}});
    const uint32_t e = world.CreateEntity(world.GetArchetype("charger"));
    auto* component = Component<ChargeAttackTowardsTargetComponent>(e, "charge_attack_towards_target");
    PhysicsBody body = Component<PhysicsBodyComponent>(e, "physicsBody")->m_body;
    int starts = 0;
    int hits = 0;
    component->OnChargeStart = [&] { ++starts; };
    component->OnChargeHit = [&] { ++hits; };

    EXPECT_FALSE(component->m_finished);
    Frame();
    EXPECT_TRUE(component->m_finished) << "the first update ends the empty charge";

    // On time: the speed cap keeps it within the end distance for the whole half second.
    component->StartCharge(Vector3(0.0f, 40.0f, 100.0f));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(component->m_chargeDirection, Vector3(0.0f, 0.0f, 1.0f)) << "flat direction";
    component->StartCharge(Vector3(100.0f, 0.0f, 0.0f));
    EXPECT_EQ(starts, 1) << "a running charge ignores a restart";
    int frames = 0;
    while (!component->m_finished && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_NEAR(frames, 30, 1);
    EXPECT_GT(body.GetPosition().z, 1.0f);
    EXPECT_LT(body.GetPosition().z, 6.0f);
    EXPECT_LE(body.GetLinearVelocity().Length(), 8.0f + 600.0f / 60.0f / 10.0f + 1e-3f);

    // On distance: a faster charge passes the end distance before its time is up.
    body.SetLinearVelocity(Vector3());
    component->m_speedCap = 100.0f;
    component->m_speedCapSq = 100.0f * 100.0f;
    component->m_chargingTime = 5.0f;
    component->StartCharge(body.GetPosition() + Vector3(0.0f, 0.0f, 100.0f));
    const Vector3 start = body.GetPosition();
    frames = 0;
    while (!component->m_finished && frames < 300) {
        Frame();
        ++frames;
    }
    EXPECT_LT(frames, 299);
    EXPECT_GT((body.GetPosition() - start).Length(), 6.0f);
    EXPECT_LT((body.GetPosition() - start).Length(), 12.0f);
    EXPECT_EQ(hits, 0);

    // Touching the player ends the charge and is reported once.
    body.SetLinearVelocity(Vector3());
    component->m_speedCap = 8.0f;
    component->m_speedCapSq = 64.0f;
    PhysicsBody player = Player(body.GetPosition() + Vector3(0.0f, 0.0f, 3.0f));
    component->StartCharge(body.GetPosition() + Vector3(0.0f, 0.0f, 100.0f));
    for (int i = 0; i < 10; ++i)
        Frame();
    EXPECT_EQ(hits, 1);
    EXPECT_TRUE(component->m_finished);
    EXPECT_TRUE(component->m_hitThisCharge);

    // Dead: no charge step, but the sensor keeps following the body.
    player.SetTransform(Vector3(500.0f, 0.0f, 0.0f), Quaternion());
    Frame();
    Component<ztengine::HealthComponent>(e, "health")->m_currentHp = 0.0f;
    component->m_finished = true;
    component->StartCharge(body.GetPosition() + Vector3(100.0f, 0.0f, 0.0f));
    const Vector3 before = body.GetLinearVelocity();
    body.SetTransform(Vector3(-50.0f, 0.0f, 0.0f), Quaternion());
    Frame();
    EXPECT_EQ(body.GetLinearVelocity(), before) << "no push while dead";
    EXPECT_NEAR(component->m_sensor.GetPosition().x, body.GetPosition().x, 1e-3f);
}

}  // namespace
