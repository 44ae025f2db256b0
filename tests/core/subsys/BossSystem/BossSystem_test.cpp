// The final boss without a window: the shop by the altar, provocation, the trap's intro, the
// fight's fireballs, walk and summons, the death and its ending, a restart, and the particle
// systems of a long fight.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/BossSystem/BossSystem.h"
#include "core/subsys/BossSystem/FinalBoss.h"
#include "core/subsys/ProjectileSystem/ProjectileSystem.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "BossFixture.h"

namespace {

using ztengine::BossSystem;
using ztengine::FinalBoss;
using ztengine::ProjectileRequest;
using ztmath::Vector3;

constexpr float kDt = 1.0f / 60.0f;
const Vector3 kHome{480.0f, 499.0f, 550.0f};

// Remembers the boxes it is asked to draw.
class BoxRecorder : public zttest::NullDebugDraw {
public:
    void DrawBox(const Vector3& position, const ztmath::Quaternion&, const Vector3& size) override
    {
        centres.push_back(position);
        sizes.push_back(size);
    }
    std::vector<Vector3> centres;
    std::vector<Vector3> sizes;
};

class BossTest : public ::testing::Test {
protected:
    BossTest()
    {
        app.RecordEvents({"FINAL_BOSS_FIGHT_BEGIN", "PLAY_DREV_SFX_WA_YOU_TRICK_ME", "FIGHT_BOSS_DEAD",
                          "KILL_ALL_ENEMIES", "FIGHT_BOSS_FIGHT_END"});
        ztengine::ParticleEmitter::s_ringTimer = 0.0f;
        system = std::make_unique<BossSystem>(&app);
        system->Init();
        EXPECT_EQ(app.GetPendingJobCount(), 1u);
        zttest::CaptureStdout([&] { app.RunNextJob(); });
        EXPECT_FALSE(app.HasPendingJobs());
        boss = system->m_boss.get();
        ztengine::PhysicsEngine& physics = app.m_physicsEngine;
        const uint32_t ball = physics.CreateSphereCollider(0.5f);
        shot = physics.CreateDynamicRigidBody(ball, {0.0f, 0.0f, 0.0f}, ztmath::Quaternion(), 1.0f);
        shot.SetUserTypeId(BossSystem::kPlayerProjectileType);
        other = physics.CreateDynamicRigidBody(ball, {5.0f, 0.0f, 0.0f}, ztmath::Quaternion(), 1.0f);
        other.SetUserTypeId(1);
        StandAt(kHome + Vector3(0.0f, 10.0f, 20.0f));
    }
    ~BossTest() override
    {
        system->Exit();
        system.reset();
    }

    void StandAt(const Vector3& p) { app.renderer.SetCameraPosition(p); }
    void Frame(float dt = kDt)
    {
        app.Tick(dt);
        system->Update(dt);
    }
    // Runs frames for about `seconds`; returns the frames run.
    int Run(float seconds, float dt = kDt)
    {
        const int frames = static_cast<int>(std::lround(seconds / dt));
        for (int i = 0; i < frames; ++i)
            Frame(dt);
        return frames;
    }
    void Hit(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            system->OnBossContact(shot, ztengine::ContactInfo());
    }
    // The fight as the end of the intro leaves it.
    void StartFight()
    {
        app.queue->m_messages.push_back(ztengine::BossSystemMessage{0, {0, 0, 0}});
        while (!boss->m_fightActive)
            Frame();
        app.projectiles->m_requests.clear();
        app.altar->m_messages.clear();
    }
    std::vector<ProjectileRequest> TakeRequests(int32_t kind)
    {
        std::vector<ProjectileRequest> taken;
        for (const ProjectileRequest& request : app.projectiles->m_requests)
            if (request.m_kind == kind)
                taken.push_back(request);
        app.projectiles->m_requests.clear();
        return taken;
    }
    bool Voice(int voice) { return app.Sound().IsPlaying(boss->m_voiceInstances[voice]); }
    int FlaggedShops() const
    {
        int n = 0;
        for (const ztengine::ShopShrine& shop : app.shrines->m_shrines)
            n += shop.m_keep ? 1 : 0;
        return n;
    }

    bosstest::BossApp app;
    std::unique_ptr<BossSystem> system;
    FinalBoss* boss = nullptr;
    ztengine::PhysicsBody shot;
    ztengine::PhysicsBody other;
};

TEST_F(BossTest, StandsByTheAltarAsAShopWithItsOrbsAndFullSizeDebugBox)
{
    ASSERT_NE(boss, nullptr);
    const ztengine::InstanceData& data = boss->m_instance.GetInstanceConst();
    EXPECT_EQ(data.m_transform.m_position, kHome);
    EXPECT_EQ(data.m_transform.m_scale, Vector3(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(data.m_transform.m_basis.forward, Vector3(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(data.m_transform.m_basis.right, Vector3(-1.0f, 0.0f, 0.0f));
    EXPECT_EQ(data.m_animated, 1);
    EXPECT_EQ(data.m_animationIndex, 2);
    EXPECT_FLOAT_EQ(boss->m_health, 20000.0f);
    EXPECT_EQ(boss->m_body.GetUserTypeID(), 14);
    EXPECT_EQ(boss->m_body.GetPosition(), kHome);

    ASSERT_EQ(app.shrines->m_shrines.size(), 1u);
    EXPECT_EQ(app.shrines->m_shrines[0].m_position, kHome);
    EXPECT_FLOAT_EQ(app.shrines->m_shrines[0].m_radius, 12.0f);
    EXPECT_TRUE(app.shrines->m_shrines[0].m_keep);

    // The orbs float 18 above the boss, one unit out, a third of a turn apart.
    const float angles[3] = {0.0f, 2.0943951f, 4.1887902f};
    for (int i = 0; i < 3; ++i) {
        const Vector3 at = boss->m_orbs[i].GetInstanceConst().m_transform.m_position;
        EXPECT_NEAR(at.x, kHome.x + std::cos(angles[i]), 1e-4f);
        EXPECT_NEAR(at.y, kHome.y + 18.0f, 1e-4f);
        EXPECT_NEAR(at.z, kHome.z - std::sin(angles[i]), 1e-4f);
    }

    Frame();
    EXPECT_EQ(app.queue->m_bossPosition, kHome);

    // The collider has half extents (7, 20, 7): the drawn box has twice those edges.
    BoxRecorder drawer;
    system->Render(drawer, kDt);
    ASSERT_EQ(drawer.sizes.size(), 1u);
    EXPECT_EQ(drawer.sizes[0], Vector3(14.0f, 40.0f, 14.0f));
    EXPECT_EQ(drawer.centres[0], kHome);
}

TEST_F(BossTest, ShotsBeforeTheFightProvokeTheBossOnTheSeventeenth)
{
    system->OnBossContact(other, ztengine::ContactInfo());
    EXPECT_EQ(boss->m_shotCounter, 15);
    Hit();
    EXPECT_EQ(boss->m_shotCounter, 14);
    // The first hit makes the boss complain, once.
    Frame();
    EXPECT_TRUE(Voice(FinalBoss::kComplaint));
    EXPECT_TRUE(boss->m_complained);

    Hit(15);
    EXPECT_EQ(boss->m_shotCounter, -1);
    EXPECT_TRUE(app.queue->m_messages.empty());
    EXPECT_FALSE(app.dialogue->m_active);

    Hit();
    EXPECT_EQ(boss->m_shotCounter, -1);
    ASSERT_EQ(app.queue->m_messages.size(), 1u);
    EXPECT_EQ(app.queue->m_messages.front().m_type, 0);
    EXPECT_TRUE(app.dialogue->m_active);
    EXPECT_EQ(app.dialogue->m_line, "You think funny is it!!!! Come I show you power!!!!!");
    EXPECT_FLOAT_EQ(app.dialogue->m_timeLeft, 3.5f);
    EXPECT_EQ(app.dialogue->m_color, Vector3(0.0f, 0.0f, 0.0f));
    Hit();
    EXPECT_EQ(app.queue->m_messages.size(), 2u);

    // Both are taken out by the next update, which starts the intro; other types are ignored.
    app.queue->m_messages.push_back(ztengine::BossSystemMessage{5, {0, 0, 0}});
    Frame();
    EXPECT_TRUE(app.queue->m_messages.empty());
    EXPECT_TRUE(system->m_introRunning);
    EXPECT_EQ(app.Count("FINAL_BOSS_FIGHT_BEGIN"), 1);
}

TEST_F(BossTest, OtherMessageTypesAreIgnored)
{
    app.queue->m_messages.push_back(ztengine::BossSystemMessage{1, {0, 0, 0}});
    app.queue->m_messages.push_back(ztengine::BossSystemMessage{5, {0, 0, 0}});
    Frame();
    EXPECT_TRUE(app.queue->m_messages.empty());
    EXPECT_FALSE(system->m_introRunning);
    EXPECT_EQ(app.shrines->m_shrines.size(), 1u);
}

TEST_F(BossTest, StartMessageRemovesEveryFlaggedShopEntryAndKeepsTheOthersInOrder)
{
    auto& shops = app.shrines->m_shrines;
    shops.insert(shops.begin(), ztengine::ShopShrine{{1.0f, 0.0f, 0.0f}, 5.0f, false});
    shops.push_back(ztengine::ShopShrine{{2.0f, 0.0f, 0.0f}, 5.0f, false});
    // A restart adds another flagged entry for the boss.
    system->Reset();
    shops.push_back(ztengine::ShopShrine{{3.0f, 0.0f, 0.0f}, 5.0f, false});
    EXPECT_EQ(FlaggedShops(), 2);

    app.queue->m_messages.push_back(ztengine::BossSystemMessage{0, {0, 0, 0}});
    Frame();
    ASSERT_EQ(shops.size(), 3u);
    EXPECT_EQ(shops[0].m_position.x, 1.0f);
    EXPECT_EQ(shops[1].m_position.x, 2.0f);
    EXPECT_EQ(shops[2].m_position.x, 3.0f);
}

TEST_F(BossTest, IntroSendsItsEventsOnceTurnsToThePlayerAndRaisesTheSky)
{
    StandAt(kHome + Vector3(30.0f, 5.0f, 40.0f));
    EXPECT_FLOAT_EQ(app.SkyBlend(), 0.5f);
    app.queue->m_messages.push_back(ztengine::BossSystemMessage{0, {0, 0, 0}});
    Frame();
    ASSERT_EQ(app.events.size(), 2u);
    EXPECT_EQ(app.events[0].name, "FINAL_BOSS_FIGHT_BEGIN");
    EXPECT_EQ(app.events[1].name, "PLAY_DREV_SFX_WA_YOU_TRICK_ME");
    EXPECT_EQ(boss->m_instance.GetAnimationIndex(), 11);
    const ztmath::Basis& basis = boss->m_instance.GetInstanceConst().m_transform.m_basis;
    EXPECT_NEAR(basis.forward.x, 0.6f, 1e-5f);
    EXPECT_NEAR(basis.forward.y, 0.0f, 1e-6f);
    EXPECT_NEAR(basis.forward.z, 0.8f, 1e-5f);
    EXPECT_NEAR(basis.right.x, 0.8f, 1e-5f);
    EXPECT_NEAR(basis.right.z, -0.6f, 1e-5f);
    EXPECT_NEAR(app.SkyBlend(), 2.0f * kDt / 3.0f, 1e-5f);

    // The sky rises steadily to 2.0 over 3 s; the fight starts at its end.
    float last = app.SkyBlend();
    int frames = 1;
    while (system->m_introRunning && frames < 400) {
        Frame();
        ++frames;
        EXPECT_GE(app.SkyBlend(), last);
        last = app.SkyBlend();
        if (frames == 90) {
            EXPECT_NEAR(app.SkyBlend(), 1.0f, 1e-3f);
        }
    }
    EXPECT_NEAR(frames * kDt, 3.0f, 1.5f * kDt);
    EXPECT_TRUE(boss->m_fightActive);
    EXPECT_FLOAT_EQ(app.SkyBlend(), 2.0f);
    ASSERT_EQ(app.altar->m_messages.size(), 1u);
    EXPECT_EQ(app.altar->m_messages.front().m_type, 1);
    EXPECT_EQ(app.altar->m_messages.front().m_position, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(app.Count("FINAL_BOSS_FIGHT_BEGIN"), 1);
    EXPECT_EQ(app.Count("PLAY_DREV_SFX_WA_YOU_TRICK_ME"), 1);

    // A later start message sends nothing more: its intro ends at once with another altar
    // message.
    app.altar->m_messages.clear();
    app.queue->m_messages.push_back(ztengine::BossSystemMessage{0, {0, 0, 0}});
    Frame();
    EXPECT_FALSE(system->m_introRunning);
    EXPECT_EQ(app.Count("FINAL_BOSS_FIGHT_BEGIN"), 1);
    EXPECT_EQ(app.altar->m_messages.size(), 1u);
}

TEST_F(BossTest, FireballLeavesAtItsClipPhaseAtMostEveryTwoSeconds)
{
    StandAt(kHome + Vector3(0.0f, 10.0f, 20.0f));
    StartFight();
    std::vector<float> times;
    for (int frame = 1; frame <= 60 * 12; ++frame) {
        Frame();
        for (const ProjectileRequest& fireball : TakeRequests(0)) {
            times.push_back(static_cast<float>(frame) * kDt);
            const ztmath::Basis& basis = boss->m_instance.GetInstanceConst().m_transform.m_basis;
            const Vector3 origin = boss->Position() + basis.forward * 3.0f + basis.up * 8.0f;
            EXPECT_EQ(fireball.m_command, 0);
            EXPECT_NEAR((fireball.m_position - origin).Length(), 0.0f, 1e-3f);
            const Vector3 toPlayer = (app.renderer.GetCameraPosition() - origin).Normalized();
            EXPECT_NEAR((fireball.m_direction - toPlayer).Length(), 0.0f, 1e-4f);
            EXPECT_FLOAT_EQ(fireball.m_speed, 250.0f);
            EXPECT_FLOAT_EQ(fireball.m_size, 2.0f);
            EXPECT_FLOAT_EQ(fireball.m_life, 4.0f);
            EXPECT_EQ(fireball.m_damage, 10);
        }
    }
    ASSERT_GE(times.size(), 3u);
    // Started 2 s into the fight, let go at 0.7 of the one-second clip.
    EXPECT_NEAR(times[0], 2.7f, 3.0f * kDt);
    for (size_t i = 1; i < times.size(); ++i)
        EXPECT_GE(times[i] - times[i - 1], 2.0f - 1e-3f) << i;
    // Within 30 the boss stands still in its fight idle between throws.
    EXPECT_EQ(boss->Position(), kHome);
}

TEST_F(BossTest, FarFromThePlayerItRunsInPlaceOnceThenWalksAtSixty)
{
    StandAt(kHome + Vector3(0.0f, 0.0f, 300.0f));
    StartFight();
    boss->m_animationProgress = 0.0f;
    boss->m_animationPlaying = false;
    Frame();
    EXPECT_EQ(boss->m_animationIndex, 10);
    EXPECT_TRUE(boss->m_animationPlaying);
    int frames = 1;
    while (boss->Position() == kHome && frames < 200) {
        Frame();
        ++frames;
    }
    // One run of the clip (1 / 0.7 s) in place first.
    EXPECT_NEAR(frames * kDt, 1.0f / 0.7f, 2.0f * kDt);
    const Vector3 start = boss->Position();
    Run(0.25f);
    const Vector3 moved = boss->Position() - start;
    EXPECT_EQ(boss->m_animationIndex, 10);
    EXPECT_NEAR(moved.x, 0.0f, 1e-3f);
    EXPECT_NEAR(moved.y, 0.0f, 1e-3f);
    EXPECT_NEAR(moved.z, 60.0f * 0.25f, 0.1f);
    // The orbs go along.
    EXPECT_NEAR(boss->m_orbs[0].GetInstanceConst().m_transform.m_position.z, boss->Position().z, 1e-3f);
}

TEST_F(BossTest, SummonEveryFourSecondsMakesRainAndAWaveOnlyBelowTenEnemies)
{
    const Vector3 player = kHome + Vector3(0.0f, 10.0f, 20.0f);
    StandAt(player);
    StartFight();
    const size_t systemsBefore = app.renderer.GetParticleSystems().size();
    int frames = 0;
    while (!boss->m_summoning && frames < 400) {
        Frame();
        ++frames;
    }
    EXPECT_NEAR(frames * kDt, 4.0f, 1.5f * kDt);
    EXPECT_EQ(boss->m_animationIndex, 14);
    EXPECT_EQ(boss->m_orbColours[0], 1);
    EXPECT_EQ(boss->m_orbColours[2], 1);
    EXPECT_TRUE(boss->m_emitters.empty());

    frames = 0;
    while (boss->m_emitters.empty() && frames < 200) {
        Frame();
        ++frames;
    }
    // A second later (a quarter of the yell at 0.25 per second): the rain and the wave.
    EXPECT_NEAR(frames * kDt, 1.0f, 1.5f * kDt);
    ASSERT_EQ(boss->m_emitters.size(), 1u);
    EXPECT_EQ(boss->m_emitters[0].m_position, player - Vector3(0.0f, 2.0f, 0.0f));
    const uint32_t waveEnemies = app.spawner->m_enemyCount;
    EXPECT_GT(waveEnemies, 0u);
    EXPECT_EQ(boss->m_orbColours[0], 0);
    EXPECT_EQ(boss->m_orbColours[1], 1);
    EXPECT_EQ(boss->m_orbColours[2], 2);
    EXPECT_FALSE(boss->m_summoning);
    EXPECT_EQ(app.renderer.GetParticleSystems().size(), systemsBefore + 1);

    // Its rain: six falling projectiles a second for ten seconds, from within 10 of a point
    // 60 above the spot; rings rise from it. No other summon meanwhile.
    boss->m_summonInterval = 1e9f;
    const Vector3 centre = player + Vector3(0.0f, 58.0f, 0.0f);
    int rain = 0;
    for (int frame = 0; frame < 60 * 11; ++frame) {
        Frame();
        for (const ProjectileRequest& drop : TakeRequests(6)) {
            ++rain;
            EXPECT_EQ(drop.m_direction, Vector3(0.0f, -1.0f, 0.0f));
            EXPECT_FLOAT_EQ(drop.m_speed, 20.0f);
            EXPECT_FLOAT_EQ(drop.m_life, 4.0f);
            EXPECT_FLOAT_EQ(drop.m_size, 0.75f);
            EXPECT_EQ(drop.m_damage, 0);
            EXPECT_EQ(drop.m_trail, 1);
            EXPECT_LE((drop.m_position - centre).Length(), 10.0f + 1e-3f);
        }
        if (frame == 60 * 5) {
            ASSERT_EQ(boss->m_emitters.size(), 1u);
            EXPECT_GT(boss->m_emitters[0].m_particles.size(), 100u);
            const auto system = static_cast<uint32_t>(boss->m_emitters[0].m_particleSystem);
            EXPECT_EQ(app.renderer.GetParticleCount(system), boss->m_emitters[0].m_particles.size());
        }
    }
    // A volley each time the one-second timer falls below zero: ten, or nine when the frames'
    // rounding puts the tenth just past the end of the rain.
    EXPECT_GE(rain, 54);
    EXPECT_LE(rain, 60);
    EXPECT_EQ(rain % 6, 0);
    // Done after ten seconds: the emitter goes and its system is emptied and kept.
    EXPECT_TRUE(boss->m_emitters.empty());
    EXPECT_EQ(boss->m_emitterSystems.FreeCount(), 1u);

    // With ten enemies about, the next summon brings rain but no wave.
    boss->m_summonInterval = 4.0f;
    app.spawner->m_enemyCount = 10;
    frames = 0;
    while (boss->m_emitters.empty() && frames < 60 * 6) {
        Frame();
        ++frames;
    }
    ASSERT_EQ(boss->m_emitters.size(), 1u);
    EXPECT_EQ(app.spawner->m_enemyCount, 10u);
    // The kept system is reused.
    EXPECT_EQ(boss->m_emitterSystems.FreeCount(), 0u);
    EXPECT_EQ(app.renderer.GetParticleSystems().size(), systemsBefore + 1);
}

TEST_F(BossTest, DeathSendsDeadAndKillTogetherAndEndsTheFightTenSecondsLater)
{
    StartFight();
    StandAt(kHome + Vector3(0.0f, 10.0f, 20.0f));
    // 10 health a shot: 2000 shots end the fight.
    Hit(1999);
    EXPECT_FLOAT_EQ(boss->m_health, 10.0f);
    EXPECT_FLOAT_EQ(boss->m_hitFlash, 1.0f);
    Frame();
    EXPECT_EQ(app.Count("FIGHT_BOSS_DEAD"), 0);
    EXPECT_LT(boss->m_hitFlash, 1.0f);
    EXPECT_NEAR(boss->m_instance.GetInstanceConst().m_tint.w, boss->m_hitFlash, 1e-6f);
    Hit();
    EXPECT_LE(boss->m_health, 0.0f);
    Frame();
    const int deathFrame = app.frame;
    ASSERT_EQ(app.Count("FIGHT_BOSS_DEAD"), 1);
    ASSERT_EQ(app.Count("KILL_ALL_ENEMIES"), 1);
    for (const auto& sent : app.events)
        if (sent.name == "FIGHT_BOSS_DEAD" || sent.name == "KILL_ALL_ENEMIES") {
            EXPECT_EQ(sent.frame, deathFrame);
        }
    EXPECT_EQ(boss->m_animationIndex, 15);
    EXPECT_TRUE(Voice(FinalBoss::kDeathLine));

    // The sky falls back from 2.0 to 0.5 over the ten seconds.
    Run(5.0f - kDt);
    EXPECT_NEAR(app.SkyBlend(), 1.25f, 0.01f);
    EXPECT_EQ(app.Count("FIGHT_BOSS_FIGHT_END"), 0);
    int frames = 0;
    while (app.Count("FIGHT_BOSS_FIGHT_END") == 0 && frames < 600) {
        Frame();
        ++frames;
    }
    EXPECT_NEAR((app.frame - deathFrame + 1) * kDt, 10.0f, 1.5f * kDt);
    EXPECT_TRUE(boss->m_instance.GetInstanceConst().m_hidden);
    for (const auto& orb : boss->m_orbs)
        EXPECT_TRUE(orb.GetInstanceConst().m_hidden);
    EXPECT_FALSE(boss->m_fightActive);
    EXPECT_FLOAT_EQ(app.SkyBlend(), 0.5f);
    EXPECT_TRUE(boss->m_emitters.empty());
    ASSERT_EQ(app.altar->m_messages.size(), 1u);
    EXPECT_EQ(app.altar->m_messages.front().m_type, 2);
    EXPECT_EQ(app.Count("FIGHT_BOSS_DEAD"), 1);
    EXPECT_EQ(app.Count("FIGHT_BOSS_FIGHT_END"), 1);
}

TEST_F(BossTest, RestartWhileDyingBringsTheShopBack)
{
    StartFight();
    // A summon's rain is running when the boss dies.
    Run(5.5f);
    ASSERT_FALSE(boss->m_emitters.empty());
    Hit(2000);
    Run(4.0f);
    ASSERT_EQ(app.Count("FIGHT_BOSS_DEAD"), 1);
    EXPECT_EQ(FlaggedShops(), 0);

    app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
    const ztengine::InstanceData& data = boss->m_instance.GetInstanceConst();
    EXPECT_FALSE(data.m_hidden);
    EXPECT_EQ(data.m_transform.m_position, kHome);
    EXPECT_EQ(data.m_transform.m_basis.forward, Vector3(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(data.m_animationIndex, 2);
    EXPECT_FLOAT_EQ(boss->m_health, 20000.0f);
    EXPECT_FALSE(boss->m_fightActive);
    EXPECT_FALSE(boss->m_deathHandled);
    EXPECT_EQ(boss->m_shotCounter, 15);
    EXPECT_TRUE(boss->m_emitters.empty());
    EXPECT_TRUE(boss->m_orbParticles.empty());
    EXPECT_FALSE(system->m_introStarted);
    EXPECT_FLOAT_EQ(system->m_introTimer, 0.0f);
    EXPECT_EQ(FlaggedShops(), 1);
    EXPECT_FLOAT_EQ(app.SkyBlend(), 0.5f);
    for (const auto& orb : boss->m_orbs)
        EXPECT_FALSE(orb.GetInstanceConst().m_hidden);

    // The dying does not go on: no end of fight, the boss waits as a shop.
    Run(8.0f);
    EXPECT_EQ(app.Count("FIGHT_BOSS_FIGHT_END"), 0);
    EXPECT_FALSE(data.m_hidden);
    EXPECT_FLOAT_EQ(app.SkyBlend(), 0.5f);

    // And the trap can be sprung again, with its events.
    app.queue->m_messages.push_back(ztengine::BossSystemMessage{0, {0, 0, 0}});
    Frame();
    EXPECT_EQ(app.Count("FINAL_BOSS_FIGHT_BEGIN"), 2);
}

TEST_F(BossTest, GreetsOncePerApproachOnlyAfterTheIntroWasSeen)
{
    const auto greeting = [&] { return Voice(FinalBoss::kGreeting1) || Voice(FinalBoss::kGreeting2); };
    StandAt(kHome + Vector3(0.0f, 0.0f, 20.0f));
    Run(0.5f);
    EXPECT_FALSE(greeting());
    EXPECT_EQ(boss->m_instance.GetInstanceConst().m_transform.m_basis.forward, Vector3(0.0f, 0.0f, -1.0f));

    app.queue->m_introSeen = true;
    Frame();
    EXPECT_TRUE(greeting());
    EXPECT_TRUE(boss->m_greeted);
    EXPECT_NEAR(boss->m_instance.GetInstanceConst().m_transform.m_basis.forward.z, 1.0f, 1e-6f);
    // The line ends; standing on, the player is not greeted again.
    Run(6.0f);
    EXPECT_FALSE(greeting());
    // Out of the circle and back: greeted again.
    StandAt(kHome + Vector3(0.0f, 0.0f, 40.0f));
    Frame();
    EXPECT_FALSE(boss->m_greeted);
    StandAt(kHome + Vector3(25.0f, 0.0f, 0.0f));
    Frame();
    EXPECT_TRUE(greeting());
}

TEST_F(BossTest, LongFightKeepsTheRenderersParticleSystemCountFlat)
{
    StandAt(kHome + Vector3(0.0f, 10.0f, 20.0f));
    StartFight();
    const float dt = 1.0f / 30.0f;
    Run(30.0f, dt);
    const size_t afterHalfMinute = app.renderer.GetParticleSystems().size();
    int summons = 0;
    bool wasSummoning = false;
    for (int frame = 0; frame < 30 * 60 * 5; ++frame) {
        Frame(dt);
        if (boss->m_summoning && !wasSummoning)
            ++summons;
        wasSummoning = boss->m_summoning;
        app.projectiles->m_requests.clear();
    }
    EXPECT_GE(summons, 50);
    EXPECT_EQ(app.renderer.GetParticleSystems().size(), afterHalfMinute);
    // Never more than the summons that overlap: a 10 s rain, a summon every 5 s.
    EXPECT_LE(boss->m_emitterSystems.CreatedCount(), 3u);
}

// Real shots through the physics world: one shot is one provocation and 10 health, whether a
// frame holds two fixed steps or twelve, and however many points of the boss's box it touches.
TEST_F(BossTest, EveryShotCountsOnceForProvocationAndDamageAtAnyFrameLength)
{
    app.AddSharedData<ztengine::PlayerStatus>("PlayerStatus");
    app.AddSharedData<ztengine::PlayerHealth>("PlayerHealth");
    ztengine::ProjectileSystem projectiles(&app);
    projectiles.Init();
    const Vector3 eye = kHome + Vector3(0.0f, 10.0f, 20.0f);
    StandAt(eye);

    // Fires one of the weapon's shots at the boss's chest and plays until it is gone.
    auto fire = [&](float dt) {
        ProjectileRequest shot;
        shot.m_position = eye - Vector3(0.0f, 0.0f, 2.0f);
        shot.m_direction = (kHome + Vector3(0.0f, 8.0f, 0.0f) - shot.m_position).Normalized();
        shot.m_speed = 250.0f;
        shot.m_size = 0.75f;
        shot.m_life = 1.0f;
        shot.m_kind = 1;
        app.projectiles->m_requests.push_back(shot);
        projectiles.Update(dt);
        for (int i = 0; i < 200 && projectiles.LiveCount() > 0; ++i) {
            app.Tick(dt);
            app.m_physicsEngine.Update(dt);
            projectiles.Update(dt);
            system->Update(dt);
            app.projectiles->m_requests.clear();  // the boss's own fireballs stay out of it
        }
        EXPECT_EQ(projectiles.LiveCount(), 0u);
    };

    for (float dt : {1.0f / 60.0f, 0.1f}) {
        SCOPED_TRACE(dt);
        system->Reset();
        projectiles.Reset();
        for (int i = 1; i <= 16; ++i) {
            fire(dt);
            ASSERT_EQ(boss->m_shotCounter, 15 - i) << "shot " << i;
        }
        EXPECT_FALSE(system->m_introRunning);
        fire(dt);
        EXPECT_TRUE(system->m_introRunning) << "the seventeenth shot provokes the fight";

        StartFight();
        for (int i = 1; i <= 10; ++i) {
            fire(dt);
            ASSERT_FLOAT_EQ(boss->m_health, 20000.0f - 10.0f * static_cast<float>(i)) << "shot " << i;
        }
    }
}

}  // namespace
