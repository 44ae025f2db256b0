// One room fight played at three frame lengths: three rabbitmen and an lkanga, the player
// standing still and firing the weapon's shots four times a second at the nearest living enemy
// (leading it by the shot's flight time). A slow frame steps the physics many times, and a
// shot that passed through an enemy between two frames must still strike it, once: the hits
// per shot, and the room being cleared, may not depend on the frame length.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/subsys/AI/behaviours/EnemyWorld.h"
#include "core/subsys/ProjectileSystem/ProjectileSystem.h"

namespace {

using ztmath::Vector3;

constexpr float kShotSpeed = 250.0f;     // the weapon's
constexpr float kShotInterval = 0.25f;   // seconds between two shots
constexpr float kFightLimit = 60.0f;     // seconds of play the fight may take at most
// The floor's top is at y = 0; the player's body rests on it with the eye 3 above its centre.
const Vector3 kEye(0.0f, 7.0f, 70.0f);

struct FightResult {
    int shots = 0;
    int hits = 0;
    int enemyShots = 0;
    int playerHits = 0;
    bool cleared = false;
    float seconds = 0.0f;
};

class RoomFight : public zttest::EnemyWorld {
protected:
    RoomFight()
    {
        for (const char* name : {"SPAWN_PROJECTILE_DECAL"})
            app.m_messagingSystem.RegisterEvent(name);
        status->m_invulnerable = true;
        // The game's gravity and a floor to stand on, so that a struck enemy stays in the room.
        ztengine::PhysicsEngine& physics = app.m_physicsEngine;
        physics.SetGravity(Vector3(0.0f, -98.0f, 0.0f));
        ztengine::PhysicsBody floor = physics.CreateStaticBody(
            physics.CreateBoxCollider(Vector3(200.0f, 5.0f, 200.0f)), Vector3(0.0f, -5.0f, 0.0f),
            ztmath::Quaternion());
        floor.SetUserTypeId(ztengine::kBodyTypeScenery);
        floor.SetCollisionCategoryBits(ztengine::kCollisionCategoryScenery);
        Camera(kEye);
        PlayerBody(kEye - Vector3(0.0f, 3.0f, 0.0f));
    }

    FightResult Play(float dt)
    {
        std::srand(11);
        ztengine::ProjectileSystem flight(&app);
        flight.Init();
        for (float x : {-24.0f, 0.0f, 24.0f})
            Spawn("rabbitman", Vector3(x, 4.0f, 0.0f));
        Spawn("lkanga", Vector3(10.0f, 5.0f, -30.0f));

        FightResult result;
        float nextShot = 0.0f;
        float t = 0.0f;
        while (t < kFightLimit && app.m_entityWorld.GetEntityCount() > 0) {
            // The game's order: the enemies, the physics step, the weapon, the projectiles.
            roster->Update(dt);
            app.m_physicsEngine.Update(dt);
            if (t >= nextShot) {
                Vector3 target;
                Vector3 velocity;
                if (NearestLivingEnemy(target, velocity)) {
                    const Vector3 from = kEye + (target - kEye).Normalized() * 3.0f;
                    const float flight = (target - from).Length() / kShotSpeed;
                    ztengine::ProjectileRequest shot;
                    shot.m_position = from;
                    shot.m_direction = (target + velocity * flight - from).Normalized();
                    shot.m_speed = kShotSpeed;
                    shot.m_size = 0.75f;
                    shot.m_life = 1.0f;
                    shot.m_kind = 1;
                    projectiles->m_requests.push_back(shot);
                    ++result.shots;
                }
                nextShot += kShotInterval;
            }
            flight.Update(dt);
            t += dt;
        }
        result.seconds = t;
        result.cleared = app.m_entityWorld.GetEntityCount() == 0;
        result.hits = static_cast<int>(Count("RABBITMAN_GOT_HIT") + Count("LKANGA_GOT_HIT"));
        result.enemyShots = static_cast<int>(Count("LKANGA_SHOOT"));
        result.playerHits = static_cast<int>(hits.size());
        flight.Exit();
        return result;
    }

    // The body of the nearest enemy that still has health, and its velocity.
    bool NearestLivingEnemy(Vector3& at, Vector3& velocity)
    {
        const auto& entities = app.m_entityWorld.GetEntities();
        float best = -1.0f;
        for (uint32_t i = entities.m_head; entities.IsValidIndex(i); i = entities.Next(i)) {
            auto* body = entities.At(i)->Find<ztengine::PhysicsBodyComponent>("physicsBody");
            auto* health = entities.At(i)->Find<ztengine::HealthComponent>("health");
            if (body == nullptr || health == nullptr || health->m_currentHp <= 0.0f)
                continue;
            const Vector3 p = body->m_body.GetPosition();
            const float d = (p - kEye).LengthSquared();
            if (best < 0.0f || d < best) {
                best = d;
                at = p;
                velocity = body->m_body.GetLinearVelocity();
            }
        }
        return best >= 0.0f;
    }
};

TEST_F(RoomFight, HitsPerShotAndTheClearedRoomDoNotDependOnTheFrameLength)
{
    struct Case {
        const char* name;
        float dt;
    };
    const Case cases[] = {{"1/60 s", 1.0f / 60.0f}, {"0.1 s", 0.1f}, {"0.25 s", 0.25f}};
    float reference = 0.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A fresh room for every frame length: the fixture's world is rebuilt by hand.
        app.m_entityWorld.DestroyAllEntities();
        events.clear();
        hits.clear();
        const FightResult fight = Play(c.dt);
        const float perShot = fight.shots > 0 ? static_cast<float>(fight.hits) / fight.shots : 0.0f;
        std::printf("%s: %d hits from %d shots (%.3f per shot), %d enemy shots, %d struck the "
                    "player, %.2f s\n",
                    c.name, fight.hits, fight.shots, perShot, fight.enemyShots, fight.playerHits,
                    fight.seconds);
        EXPECT_TRUE(fight.cleared) << "enemies still standing after " << kFightLimit << " s";
        EXPECT_LE(fight.hits, fight.shots) << "a shot struck more than once";
        EXPECT_LE(fight.playerHits, fight.enemyShots) << "an enemy shot struck the player twice";
        if (reference == 0.0f) {
            reference = perShot;
            EXPECT_GT(reference, 0.5f);
        } else {
            EXPECT_NEAR(perShot, reference, 0.1f * reference);
        }
    }
}

}  // namespace
