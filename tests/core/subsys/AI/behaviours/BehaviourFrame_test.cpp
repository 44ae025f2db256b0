// The shared frame of the enemy behaviours: turning without overshoot at any frame rate,
// braking that never speeds up, key reading, and the death that announces itself once and drops
// the kind's gold where the enemy fell.
#include <gtest/gtest.h>

#include <cmath>

#include "core/subsys/AI/behaviours/EnemyBehaviour.h"
#include "core/subsys/AI/behaviours/LKangaBehaviours.h"
#include "core/subsys/AI/behaviours/EnemyWorld.h"

namespace {

using ztengine::TurnBasis;
using ztmath::Basis;
using ztmath::Vector3;

TEST(TurnTowards, EndsFacingTheTargetWithoutOvershootAtSixtyAndTenFramesPerSecond)
{
    struct Case {
        const char* what;
        float factor;  // turn_speed_factor, times the rate the kind passes
        Vector3 target;
        bool flat;
    };
    // The ogre's factor acts squared (7 x 7 x dt): above 1 per frame below 20 frames per second.
    const Case cases[] = {
        {"ogre, to the right", 49.0f, Vector3(1.0f, 0.0f, 0.0f), true},
        {"ogre, back left", 49.0f, Vector3(-1.0f, 0.0f, -0.3f), true},
        {"lkanga, to the right", 5.0f, Vector3(1.0f, 0.0f, 0.2f), true},
        {"skull, up and right", 1.5625f, Vector3(1.0f, 2.0f, 1.0f), false},
        {"magician, left", 5.0625f, Vector3(-1.0f, 0.0f, 0.5f), true},
    };
    for (const Case& c : cases) {
        for (float dt : {1.0f / 60.0f, 1.0f / 10.0f}) {
            SCOPED_TRACE(std::string(c.what) + (dt > 0.05f ? " at 10 fps" : " at 60 fps"));
            const Vector3 u = c.target.Normalized();
            Basis b;
            float lastDot = b.forward.Dot(u);
            // Until it faces the target; from then on the twitch of a faced target takes over.
            for (int frame = 0; frame < 600 && lastDot < 0.9999f; ++frame) {
                b = TurnBasis(b, c.target, c.factor * dt, c.flat, 2);
                const float dot = b.forward.Dot(u);
                EXPECT_GE(dot, lastDot - 1e-5f) << "turned away again in frame " << frame;
                EXPECT_NEAR(b.forward.Length(), 1.0f, 1e-4f);
                lastDot = dot;
            }
            EXPECT_GT(lastDot, 0.9999f);
            if (c.flat) {
                EXPECT_NEAR(b.forward.y, 0.0f, 1e-6f);
            }
        }
    }
}

TEST(TurnTowards, ZeroDirectionKeepsTheFrameAndAFacedTargetTwitchesToTheSideRandomPicks)
{
    Basis b;
    EXPECT_EQ(TurnBasis(b, Vector3(0.0f, 0.0f, 0.0f), 0.5f, true, 1), b);
    const Basis odd = TurnBasis(b, Vector3(0.0f, 0.0f, 5.0f), 0.1f, true, 1);
    const Basis even = TurnBasis(b, Vector3(0.0f, 0.0f, 5.0f), 0.1f, true, 2);
    EXPECT_GT(odd.forward.Dot(b.right), 0.05f);
    EXPECT_LT(even.forward.Dot(b.right), -0.05f);
}

class BehaviourFrame : public zttest::EnemyWorld {};

TEST_F(BehaviourFrame, BrakeNeverSpeedsUpALongFrameAndAWrongTypedKeyKeepsItsDefault)
{
    ztengine::Params p;
    p.SetInt("move_speed", 7);  // an Int where a Float belongs
    p.SetFloat("attack_dist", 33.0f);
    ztengine::BehaviourTuning t = ztengine::BehaviourLKangaComponent::Defaults();
    t.Read(p);
    EXPECT_FLOAT_EQ(t.moveSpeed, 5000.0f);
    EXPECT_FLOAT_EQ(t.attackDist, 33.0f);

    Camera(Vector3(0.0f, 0.0f, 1000.0f));
    const uint32_t e = Spawn("lkanga", Vector3());
    auto* lkanga = Get<ztengine::BehaviourLKangaComponent>(e, "lkanga_logic");
    ztengine::PhysicsBody body = Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body;
    struct Case {
        float f, dt, factor;
    };
    for (const Case& c : {Case{0.5f, 1.0f / 60.0f, 1.0f / 30.0f}, Case{0.2f, 0.3f, 1.0f},
                          Case{0.0f, 0.1f, 0.0f}}) {
        body.SetLinearVelocity(Vector3(10.0f, 0.0f, 0.0f));
        lkanga->Brake(c.f, c.dt);
        EXPECT_NEAR(body.GetLinearVelocity().x, 10.0f * c.factor, 1e-4f) << c.f << " " << c.dt;
    }
}

TEST_F(BehaviourFrame, IdleToChaseBrakesOnTwoConsecutiveFrames)
{
    Camera(Vector3(0.0f, 0.0f, 1000.0f));
    const uint32_t e = Spawn("lkanga", Vector3());
    auto* lkanga = Get<ztengine::BehaviourLKangaComponent>(e, "lkanga_logic");
    ztengine::PhysicsBody body = Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body;
    Frame();
    EXPECT_EQ(lkanga->m_state, 0);
    Frame();
    Camera(Vector3(0.0f, 0.0f, 150.0f));
    int braked = 0;
    for (int frame = 0; frame < 4; ++frame) {
        body.SetLinearVelocity(Vector3(6.0f, 0.0f, 0.0f));
        roster->Update(kFrame);
        if (std::fabs(body.GetLinearVelocity().x) < 1.0f)
            ++braked;
    }
    EXPECT_EQ(lkanga->m_state, 1);
    EXPECT_EQ(braked, 2);
}

// Every kind's death: one death event carrying its position and health ratio, its gold as
// "DROP_COIN" at the same place, and its removal once its dying is over.
TEST_F(BehaviourFrame, EachKindAnnouncesItsDeathOnceDropsItsGoldAndGoesAway)
{
    struct Case {
        const char* kind;
        const char* event;
        size_t coins;
        float removedAfter;  // seconds from death
        bool atInstance;     // the ogres report where they are drawn, below the body
    };
    const Case cases[] = {
        {"lkanga", "LKANGA_DIED", 1, 1.9f, false},
        {"ogre", "OGRE_DIED", 2, 1.9f, true},
        {"flying_skull", "FSKULL_DIED", 1, 3.0f, false},
        {"skeleton_magician", "SMAGICIAN_DIED", 1, 0.95f / 0.75f + 1.0f, false},
        {"mb_flying_skull", "MB00_DIED", 5, 3.0f, false},
        {"mb_lkanga", "MB02_DIED", 5, 1.9f, false},
        {"mb_ogre", "MB01_DIED", 5, 1.9f, true},
    };
    Camera(Vector3(0.0f, 0.0f, 1000.0f));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        events.clear();
        order.clear();
        const uint32_t e = Spawn(c.kind, Vector3(10.0f, 20.0f, 30.0f), 200.0f);
        Frame();
        Get<ztengine::HealthComponent>(e, "health")->m_currentHp = -100.0f;
        const Vector3 at =
            c.atInstance
                ? Get<ztengine::Object3DComponent>(e, "object3D")
                      ->m_instance.GetInstanceConst().m_transform.m_position
                : Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body.GetPosition();
        float t = 0.0f;
        while (app.m_entityWorld.GetEntityCount() > 0 && t < 6.0f) {
            Frame();
            t += kFrame;
        }
        EXPECT_NEAR(t, c.removedAfter, 0.1f);
        ASSERT_EQ(Count(c.event), 1u);
        EXPECT_NEAR((events[c.event][0] - at).Length(), 0.0f, 0.5f);
        ASSERT_EQ(Count("DROP_COIN"), c.coins);
        for (const Vector3& coin : events["DROP_COIN"])
            EXPECT_EQ(coin, events[c.event][0]);
        EXPECT_EQ(order.front(), c.event) << "the death event comes before the coins";
    }
    // The ratio is taken as it is, negative when the last hit went past zero.
    const uint32_t e = Spawn("lkanga", Vector3(), 100.0f);
    Frame();
    auto* lkanga = Get<ztengine::BehaviourLKangaComponent>(e, "lkanga_logic");
    Get<ztengine::HealthComponent>(e, "health")->m_currentHp = -50.0f;
    Frame();
    EXPECT_FLOAT_EQ(lkanga->m_deathRecord.m_healthRatio, -0.5f);
}

}  // namespace
