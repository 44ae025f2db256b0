// Projectiles and impact decals on a windowless application with the real physics world:
// spawning from requests, the contact rules against each kind of body, decals and bursts, the
// pool limit, life and removal, restarts, and which trail colour the renderer is asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/math/Vector4.h"

#include "core/graphics/framework/particles/ParticleSystem.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/ProjectileSystem/ProjectileSystem.h"
#include "core/subsys/sharedData/CombatRecords.h"
#include "support/CombatFixture.h"

namespace {

using ztengine::PhysicsBody;
using ztengine::ProjectileDecalsSystem;
using ztengine::ProjectileRequest;
using ztengine::ProjectileSystem;
using ztmath::Quaternion;
using ztmath::Vector3;

constexpr float kDt = 1.0f / 60.0f;

class ProjectileSystemTest : public ::testing::Test {
protected:
    ProjectileSystemTest()
    {
        projectiles.Init();
        decals.Init();
        app.m_messagingSystem.RegisterHandler("SPAWN_PROJECTILE_DECAL", [this](const ztengine::IEvent& e) {
            decalPoints.push_back(*static_cast<const Vector3*>(e.m_data));
        });
        app.m_messagingSystem.RegisterHandler("PLAYER_GOT_HIT", [this](const ztengine::IEvent& e) {
            hits.push_back(*static_cast<const ztengine::PlayerHitRecord*>(e.m_data));
        });
    }

    // One frame in the game's order: the physics step, then the projectiles, then the decals.
    void Frame(float dt = kDt)
    {
        app.m_physicsEngine.Update(dt);
        projectiles.Update(dt);
        decals.Update(dt);
    }

    void Shoot(int32_t kind, const Vector3& from, const Vector3& direction, float speed = 250.0f,
               float life = 1.0f, int32_t damage = 0)
    {
        ProjectileRequest request;
        request.m_position = from;
        request.m_direction = direction;
        request.m_speed = speed;
        request.m_size = 0.75f;
        request.m_life = life;
        request.m_damage = damage;
        request.m_kind = kind;
        app.projectiles->m_requests.push_back(request);
    }

    // A thick static slab across the z axis at z = 20 (front face at 19).
    PhysicsBody Wall(int32_t type, uint16_t category)
    {
        ztengine::PhysicsEngine& physics = app.m_physicsEngine;
        PhysicsBody wall = physics.CreateStaticBody(physics.CreateBoxCollider(Vector3(10.0f, 10.0f, 1.0f)),
                                                    Vector3(0.0f, 0.0f, 20.0f), Quaternion());
        wall.SetUserTypeId(type);
        wall.SetCollisionCategoryBits(category);
        return wall;
    }

    const ztengine::ProjectileRecord& Record(size_t slot) { return app.projectiles->m_records[slot]; }

    zttest::CombatApp app;
    ProjectileSystem projectiles{&app};
    ProjectileDecalsSystem decals{&app};
    std::vector<Vector3> decalPoints;
    std::vector<ztengine::PlayerHitRecord> hits;
};

TEST_F(ProjectileSystemTest, ContactRulesByTheOtherBodysType)
{
    using namespace ztengine;
    struct Case {
        const char* what;
        int32_t kind;
        int32_t type;
        uint16_t category;
        bool invulnerable;
        bool stops;
        size_t decals;
        size_t hits;
        float health;
        size_t burstUnit;  // impact particles come in bursts of this many; 0 for none
    };
    const Case cases[] = {
        {"player shot, scenery", 1, kBodyTypeScenery, kCollisionCategoryScenery, false, true, 1, 0, 100.0f, 50},
        {"big enemy shot, barrel", 6, kBodyTypeBreakable, kCollisionCategoryScenery, false, true, 1, 0, 100.0f, 500},
        {"enemy shot, player", 3, kBodyTypePlayer, kCollisionCategoryPlayer, false, true, 0, 1, 93.0f, 0},
        {"enemy shot, invulnerable player", 3, kBodyTypePlayer, kCollisionCategoryPlayer, true, true, 0, 1, 100.0f, 0},
        {"player shot, player", 1, kBodyTypePlayer, kCollisionCategoryPlayer, false, false, 0, 0, 100.0f, 0},
        {"enemy shot, enemy", 3, kBodyTypeEnemy, kCollisionCategoryEnemy, false, false, 1, 0, 100.0f, 0},
        {"player shot, enemy", 1, kBodyTypeEnemy, kCollisionCategoryEnemy, false, true, 1, 0, 100.0f, 50},
        {"player shot, boss", 1, kBodyTypeBoss, kCollisionCategoryScenery, false, true, 1, 0, 100.0f, 50},
        {"player shot, ice", 1, kBodyTypeIce, kCollisionCategoryScenery, false, false, 1, 0, 100.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
        decalPoints.clear();
        hits.clear();
        app.health->m_currentHealth = 100.0f;
        app.status->m_invulnerable = c.invulnerable;
        PhysicsBody wall = Wall(c.type, c.category);

        Shoot(c.kind, Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f), 250.0f, 1.0f, 7);
        size_t impacts = 0;
        for (int frame = 0; frame < 20; ++frame) {
            Frame();
            impacts = std::max(impacts, projectiles.ImpactParticles().size());
        }
        EXPECT_EQ(projectiles.LiveCount(), c.stops ? 0u : 1u);
        EXPECT_EQ(decalPoints.size(), c.decals);
        EXPECT_EQ(hits.size(), c.hits);
        EXPECT_FLOAT_EQ(app.health->m_currentHealth, c.health);
        if (c.burstUnit == 0) {
            EXPECT_EQ(impacts, 0u);
        } else {
            EXPECT_GT(impacts, 0u);
            EXPECT_EQ(impacts % c.burstUnit, 0u);
        }
        // The decal sits a little back along the flight from the struck face.
        for (const Vector3& point : decalPoints)
            EXPECT_NEAR(point.z, 19.0f - 1.875f, 0.8f);
        for (const ztengine::PlayerHitRecord& hit : hits)
            EXPECT_NEAR(hit.m_point.z, 19.0f, 0.8f);
        app.m_physicsEngine.DestroyBody(wall);
    }
}

TEST_F(ProjectileSystemTest, WallHitStopsTheShotAndLeavesAShrinkingDecal)
{
    Wall(ztengine::kBodyTypeScenery, ztengine::kCollisionCategoryScenery);
    Shoot(1, Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
    Frame();
    ASSERT_EQ(projectiles.LiveCount(), 1u);
    const ztengine::ProjectileRecord& record = Record(0);
    EXPECT_EQ(record.m_body.GetUserTypeID(), ztengine::kBodyTypePlayerProjectile);
    EXPECT_NEAR(record.m_body.GetLinearVelocity().z, 250.0f, 1e-3f);  // mass 0 asked, mass 1 given
    EXPECT_EQ(record.m_instance.GetInstanceConst().m_tint, ztmath::Vector4(1.0f, 1.0f, 0.0f, 0.3f));

    // In flight it grows toward its size and leaves one trail particle a frame.
    Frame();
    EXPECT_GT(record.m_body.GetLinearVelocity().z, 200.0f);
    EXPECT_FLOAT_EQ(record.m_instance.GetInstanceConst().m_transform.m_scale.x, 2.0f * 10.0f * kDt);
    EXPECT_EQ(projectiles.TrailParticles().size(), 2u);

    int framesToDecal = 0;
    while (decalPoints.empty() && framesToDecal < 20) {
        Frame();
        ++framesToDecal;
    }
    ASSERT_EQ(decalPoints.size(), 1u);
    EXPECT_EQ(decals.m_decals.size(), 1u);
    // Drawn in the frame it was asked for, a quarter of a second less one frame to live.
    EXPECT_NEAR(decals.m_decals.front().m_timeLeft, 0.25f - kDt, 1e-6f);
    EXPECT_EQ(app.renderer.GetInstanceCount(static_cast<uint32_t>(decals.m_instanceBuffer)), 1u);
    // Stopped in this frame's physics step, its zeroed life fell below 0 in the update after it.
    EXPECT_EQ(projectiles.LiveCount(), 0u);
    EXPECT_FALSE(Record(0).m_alive);

    // The decal goes after a quarter of a second.
    for (int frame = 0; frame < 15; ++frame)
        Frame();
    EXPECT_TRUE(decals.m_decals.empty());
    EXPECT_EQ(app.renderer.GetInstanceCount(static_cast<uint32_t>(decals.m_instanceBuffer)), 0u);
}

TEST_F(ProjectileSystemTest, PoolHoldsAThousandAndDropsTheRest)
{
    for (int i = 0; i < 1001; ++i)
        Shoot(3, Vector3(static_cast<float>(i), 0.0f, 0.0f), Vector3(0.0f, 1.0f, 0.0f), 0.0f);
    projectiles.Update(kDt);
    EXPECT_EQ(projectiles.LiveCount(), 1000u);
    EXPECT_TRUE(app.projectiles->m_requests.empty());
    for (size_t slot = 0; slot < 1000; ++slot)
        ASSERT_EQ(Record(slot).m_slotIndex, static_cast<int32_t>(slot));
    EXPECT_EQ(Record(999).m_position, Vector3(999.0f, 0.0f, 0.0f));

    // A removal frees a slot; the next spawn takes the first free one.
    ProjectileRequest remove;
    remove.m_command = 1;
    remove.m_id = 500;
    app.projectiles->m_requests.push_back(remove);
    Shoot(3, Vector3(-1.0f, 0.0f, 0.0f), Vector3(0.0f, 1.0f, 0.0f), 0.0f);
    projectiles.Update(kDt);
    EXPECT_EQ(projectiles.LiveCount(), 1000u);
    EXPECT_EQ(Record(500).m_position, Vector3(-1.0f, 0.0f, 0.0f));

    // A restart empties the world and the queue.
    Shoot(3, Vector3(), Vector3(0.0f, 1.0f, 0.0f));
    app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
    EXPECT_EQ(projectiles.LiveCount(), 0u);
    EXPECT_TRUE(app.projectiles->m_requests.empty());
    EXPECT_TRUE(projectiles.TrailParticles().empty());
}

TEST_F(ProjectileSystemTest, LifeRunsOutInTheFrameItFallsBelowZero)
{
    // A sixteenth of a second is exact: after four frames a quarter-second life is exactly 0.
    const float dt = 1.0f / 16.0f;
    Shoot(1, Vector3(), Vector3(0.0f, 0.0f, 1.0f), 1.0f, 0.25f);
    // A remove command naming a free slot changes nothing.
    ProjectileRequest remove;
    remove.m_command = 1;
    remove.m_id = 7;
    app.projectiles->m_requests.push_back(remove);
    for (int frame = 1; frame <= 4; ++frame) {
        Frame(dt);
        EXPECT_EQ(projectiles.LiveCount(), 1u) << frame;
    }
    Frame(dt);
    EXPECT_EQ(projectiles.LiveCount(), 0u);
}

TEST_F(ProjectileSystemTest, TrailsAskTheRendererForTheirKindsAtlasCell)
{
    // The trail atlas: 2 x 2 cells, 3 frames. The player's selector 2 is the yellow cell 2, the
    // blue shot's selector 1 the spare cell 3, every other kind cell 0.
    const uint32_t frames = ztengine::ParticleFrameCount(2);
    struct Case {
        int32_t kind;
        uint32_t cell;
    };
    for (const Case& c : {Case{1, 2}, Case{2, 3}, Case{0, 0}, Case{6, 0}}) {
        app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
        Shoot(c.kind, Vector3(), Vector3(0.0f, 0.0f, 1.0f), 1.0f);
        Frame();
        Frame();
        const auto& system = app.renderer.GetParticleSystems().at(static_cast<size_t>(projectiles.TrailSystem()));
        ASSERT_EQ(system.particles.size(), 2u) << c.kind;
        EXPECT_EQ(system.rows, 2u);
        const ztengine::AtlasFrame frame = ztengine::SelectAtlasFrame(system.particles[0].life, frames);
        EXPECT_EQ(frame.m_current, c.cell) << c.kind;
        // Nothing of a neighbouring cell is blended in.
        EXPECT_TRUE(frame.m_next == c.cell || frame.m_blend < 1e-3f) << c.kind;
    }
}

TEST_F(ProjectileSystemTest, DecalListKeepsTheNewestHundred)
{
    for (int i = 0; i < 101; ++i)
        decals.AddDecal(Vector3(static_cast<float>(i), 0.0f, 0.0f));
    ASSERT_EQ(decals.m_decals.size(), 100u);
    EXPECT_EQ(decals.m_decals.front().m_position.x, 1.0f);
    EXPECT_EQ(decals.m_decals.back().m_position.x, 100.0f);
    decals.Update(kDt);
    EXPECT_EQ(app.renderer.GetInstanceCount(static_cast<uint32_t>(decals.m_instanceBuffer)), 100u);
    app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
    EXPECT_TRUE(decals.m_decals.empty());
}

}  // namespace
