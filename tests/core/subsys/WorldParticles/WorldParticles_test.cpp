// The dungeon's particle effects simulated against the CPU renderer: the exit portal's rings
// (first at 2 s, 40 a round, moving, fading, gone when the portal goes), the torch style that
// each dungeon lights, a full renderer system, and the shrines' emission rate.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/subsys/WorldParticles/DungeonPortalParticleGenerator.h"
#include "core/subsys/WorldParticles/ShrineParticleSystem.h"
#include "core/subsys/WorldParticles/TorchParticleSystem.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "platform/CRand.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace {

using ztengine::DungeonPortalParticleGenerator;
using ztengine::ShrineParticleSystem;
using ztengine::TorchParticleSystem;
using ztmath::Vector3;

class ParticleApp : public zttest::HeadlessApp {
public:
    ParticleApp()
    {
        m_graphics3DService = &renderer;
        portal = AddSharedData<ztengine::PortalLocation>("PortalLocation");
        torches = AddSharedData<ztengine::TorchSharedData>("TorchSharedData");
        level = AddSharedData<ztengine::LevelState>("LevelState");
        shrines = AddSharedData<ztengine::Shrine2Container>("Shrine2Container");
    }
    ~ParticleApp() override { ReleaseSharedData(); }

    const zttest::NullRenderer3D::ParticleSystem& System(int32_t id) const
    {
        return renderer.GetParticleSystems().at(static_cast<size_t>(id));
    }

    zttest::NullRenderer3D renderer;
    ztengine::PortalLocation* portal = nullptr;
    ztengine::TorchSharedData* torches = nullptr;
    ztengine::LevelState* level = nullptr;
    ztengine::Shrine2Container* shrines = nullptr;
};

float Distance(const Vector3& a, const Vector3& b)
{
    const Vector3 d = a - b;
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

class PortalRings : public ::testing::Test {
protected:
    void SetUp() override
    {
        system = std::make_unique<DungeonPortalParticleGenerator>(&app);
        system->Init();
    }
    const zttest::NullRenderer3D::ParticleSystem& Rendered() { return app.System(system->m_particleSystem); }

    ParticleApp app;
    std::unique_ptr<DungeonPortalParticleGenerator> system;
};

TEST_F(PortalRings, FirstRingsAtTwoSecondsThenTheyRiseSpreadFadeAndExpire)
{
    EXPECT_EQ(Rendered().atlasPath, "particles/particleAtlas.png");
    EXPECT_EQ(Rendered().rows, 4u);
    EXPECT_EQ(Rendered().capacity, 2048u);

    const Vector3 centre(300.0f, 5.0f, 120.0f);
    app.portal->m_position = centre;
    app.portal->m_valid = true;
    const float dt = 0.25f;  // exact in binary, so eight frames make exactly 2 s
    for (int i = 0; i < 7; ++i)
        system->Update(dt);
    EXPECT_TRUE(Rendered().particles.empty());
    system->Update(dt);
    ASSERT_EQ(system->m_particles.size(), 40u);
    ASSERT_EQ(Rendered().particles.size(), 40u);

    // The emitting frame moves them by one step already: the circle rises, the centre spreads.
    for (int k = 0; k < 20; ++k) {
        const ztgame::ParticleRecord& onCircle = system->m_particles[k];
        EXPECT_NEAR(Distance(onCircle.m_position, centre + Vector3(0.0f, dt, 0.0f)), 5.0f, 1e-4f);
        EXPECT_EQ(onCircle.m_velocity, Vector3(0.0f, 1.0f, 0.0f));
        const ztgame::ParticleRecord& spreading = system->m_particles[20 + k];
        EXPECT_NEAR(Distance(spreading.m_position, centre), 0.5f * dt, 1e-4f);
    }
    // The first point of each ring lies on +x, the quarter turn on -z.
    EXPECT_NEAR(system->m_particles[0].m_position.x, centre.x + 5.0f, 1e-4f);
    EXPECT_NEAR(system->m_particles[5].m_position.z, centre.z - 5.0f, 1e-4f);
    // t = 0.025: still fading in, drawn at (1 - 0.875) of size 3.
    EXPECT_NEAR(Rendered().particles[0].scale, 3.0f * (1.0f - (0.2f - 0.025f) / 0.2f), 1e-4f);
    EXPECT_NEAR(Rendered().particles[0].life, 0.025f, 1e-6f);

    // In mid-life they are drawn at full size; a new round comes every 2 s.
    for (int i = 0; i < 12; ++i)
        system->Update(dt);  // age 3.25 for the first round
    EXPECT_EQ(system->m_particles.size(), 80u);
    EXPECT_NEAR(Rendered().particles[0].scale, 3.0f, 1e-5f);
    EXPECT_NEAR(system->m_particles[0].m_position.y, centre.y + 3.25f, 1e-4f);

    // The first round lives 10 s: gone in the frame its age passes 10, and the renderer's list
    // matches the game's all along.
    while (system->m_particles.front().m_age <= 10.0f - 1e-3f)
        system->Update(dt);
    EXPECT_EQ(Rendered().particles.size(), system->m_particles.size());
    system->Update(dt);  // age 10.25
    EXPECT_EQ(system->m_particles.size(), Rendered().particles.size());
    for (const ztgame::ParticleRecord& p : system->m_particles)
        EXPECT_LE(p.m_age, p.m_lifetime);
}

TEST_F(PortalRings, AnInvalidPortalWipesTheRingsAndTheTimerCarriesOn)
{
    app.portal->m_valid = true;
    for (int i = 0; i < 9; ++i)
        system->Update(0.25f);
    ASSERT_EQ(Rendered().particles.size(), 40u);

    app.portal->m_valid = false;
    system->Update(0.25f);
    EXPECT_TRUE(system->m_particles.empty());
    EXPECT_TRUE(Rendered().particles.empty());
    // Invalid: nothing more, not even the timer.
    for (int i = 0; i < 20; ++i)
        system->Update(0.25f);
    EXPECT_TRUE(Rendered().particles.empty());
    EXPECT_EQ(system->m_ringTimer, 0.25f);

    // Valid again: the timer goes on where it stopped.
    app.portal->m_valid = true;
    for (int i = 0; i < 6; ++i)
        system->Update(0.25f);
    EXPECT_TRUE(Rendered().particles.empty());
    system->Update(0.25f);
    EXPECT_EQ(Rendered().particles.size(), 40u);
}

class Torches : public ::testing::Test {
protected:
    void SetUp() override
    {
        system = std::make_unique<TorchParticleSystem>(&app);
        system->Init();
    }
    ztengine::TorchRecord& AddTorch(int32_t kind, const Vector3& position, const Vector3& direction, float scale = 1.0f)
    {
        ztengine::TorchRecord torch;
        torch.m_kind = kind;
        torch.m_position = position;
        torch.m_flameDirection = direction;
        torch.m_scale = scale;
        app.torches->m_torches.push_back(torch);
        return app.torches->m_torches.back();
    }
    size_t Count(int32_t id) { return app.System(id).particles.size(); }

    ParticleApp app;
    std::unique_ptr<TorchParticleSystem> system;
};

TEST_F(Torches, EachDungeonLightsOnlyItsOwnKindOfTorch)
{
    EXPECT_EQ(app.System(system->m_glowSystem).atlasPath, "particles/particleAtlas.png");
    EXPECT_EQ(app.System(system->m_sparksSystem).atlasPath, "particles/particleAtlasBlue.png");
    EXPECT_EQ(app.System(system->m_flameSystem).atlasPath, "particles/particleAtlas.png");
    EXPECT_EQ(app.System(system->m_flameSystem).capacity, 4096u);

    // kind 0 glows in the green dungeon (2), 1 sparks in the blue (3), 2 burns in the red (1).
    struct Case {
        int32_t level;
        size_t glow, sparks, flame;
    };
    const Case cases[] = {{0, 0, 0, 0}, {1, 0, 0, 1}, {2, 1, 0, 0}, {3, 0, 1, 0}, {4, 0, 0, 0}};
    for (int32_t kind = 0; kind < 3; ++kind)
        AddTorch(kind, Vector3(10.0f * kind, 20.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        system = std::make_unique<TorchParticleSystem>(&app);
        system->Init();
        for (ztengine::TorchRecord& torch : app.torches->m_torches)
            torch.m_emissionTimer = 0.0f;
        app.level->m_level = c.level;
        app.torches->m_ready = false;
        system->Update(0.25f);  // longer than every style's interval
        EXPECT_TRUE(app.torches->m_ready);
        EXPECT_EQ(Count(system->m_glowSystem), c.glow);
        EXPECT_EQ(Count(system->m_sparksSystem), c.sparks);
        EXPECT_EQ(Count(system->m_flameSystem), c.flame);
    }
}

TEST_F(Torches, StylesStartWhereTheirTorchPointsAndBurnOut)
{
    const Vector3 p(100.0f, 20.0f, 50.0f);
    const Vector3 d(1.0f, 0.0f, 0.0f);
    AddTorch(2, p, d, 2.0f);
    app.level->m_level = 1;

    // The red flame: one every 0.2 s, 1.3 torch lengths out along d with a little sideways
    // scatter, rising at half the scale a second, 1.8 scale big, gone after 2.5 s.
    system->Update(0.1f);
    EXPECT_TRUE(system->m_flame.empty());
    system->Update(0.1f);
    ASSERT_EQ(system->m_flame.size(), 1u);
    const ztengine::TorchParticle& flame = system->m_flame.front();
    EXPECT_NEAR(flame.m_position.x, p.x + 2.0f * 1.3f, 2.0f * 10.0f / 60.0f + 1e-4f);
    EXPECT_NEAR(flame.m_position.z, p.z, 2.0f * 10.0f / 60.0f + 1e-4f);
    EXPECT_NEAR(flame.m_position.y, p.y + 1.0f * 0.1f, 1e-4f);  // one step at 0.5 x 2 up
    EXPECT_NEAR(flame.m_size, 3.6f, 1e-6f);
    EXPECT_NEAR(app.System(system->m_flameSystem).particles[0].scale, (1.0f - 0.1f / 2.5f) * 3.6f, 1e-4f);

    // With the torch's kind no longer lit (another dungeon), the flames live out their life.
    app.level->m_level = 3;
    for (int i = 0; i < 23; ++i)
        system->Update(0.1f);  // age 2.4
    EXPECT_EQ(system->m_flame.size(), 1u);
    EXPECT_EQ(app.System(system->m_flameSystem).particles.size(), 1u);
    for (int i = 0; i < 2; ++i)
        system->Update(0.1f);  // past 2.5
    EXPECT_TRUE(system->m_flame.empty());
    EXPECT_TRUE(app.System(system->m_flameSystem).particles.empty());

    // Blue sparks: half a torch length out, flying at half the scale in some direction of the
    // integer lattice, never standing still.
    ztengine::TorchRecord& sparkTorch = app.torches->m_torches.front();
    sparkTorch.m_kind = 1;
    sparkTorch.m_emissionTimer = 0.0f;
    for (int round = 0; round < 200; ++round) {
        system->m_sparks.clear();
        system->EmitSparks(sparkTorch, 0.1f);
        ASSERT_EQ(system->m_sparks.size(), 1u);
        const ztengine::TorchParticle& spark = system->m_sparks.front();
        EXPECT_EQ(spark.m_position, p + d * 1.0f);
        const Vector3& v = spark.m_velocity;
        EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 1.0f, 1e-5f);
    }
}

TEST_F(Torches, AFullRendererSystemRefusesNewFlamesWhileTheRecordsAge)
{
    AddTorch(2, Vector3(0.0f, 20.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
    app.level->m_level = 1;
    const uint32_t id = static_cast<uint32_t>(system->m_flameSystem);
    for (uint32_t i = 0; i < TorchParticleSystem::kCapacity; ++i)
        ASSERT_TRUE(app.renderer.EmitParticle(id, Vector3(), 0.0f, 1.0f, 0.0f));

    system->Update(0.25f);
    EXPECT_EQ(system->m_flame.size(), 1u);
    EXPECT_EQ(app.System(id).particles.size(), TorchParticleSystem::kCapacity);
    system->Update(0.05f);
    EXPECT_NEAR(system->m_flame.front().m_age, 0.3f, 1e-6f);
}

class ShrineGlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        system = std::make_unique<ShrineParticleSystem>(&app);
        system->Init();
        ztengine::BlessingShrine shrine;
        shrine.m_position = Vector3(40.0f, 0.0f, 40.0f);
        shrine.m_active = true;
        app.shrines->m_shrines.push_back(shrine);
        shrine.m_position = Vector3(80.0f, 0.0f, 40.0f);
        shrine.m_active = false;  // its blessing taken
        app.shrines->m_shrines.push_back(shrine);
    }
    size_t Rendered() { return app.System(system->m_particleSystem).particles.size(); }

    ParticleApp app;
    std::unique_ptr<ShrineParticleSystem> system;
};

TEST_F(ShrineGlow, ShortFramesEmitAtMostAHundredRoundsASecondLongFramesOncePerFrame)
{
    EXPECT_EQ(app.System(system->m_particleSystem).capacity, 100000u);
    // 4 ms frames: a round on every third frame (0.004, 0.008, 0.012).
    std::vector<size_t> rounds;
    size_t made = 0;
    for (int frame = 0; frame < 9; ++frame) {
        const size_t before = system->m_fountain.size() + system->m_swirl.size();
        system->Update(0.004f);
        const size_t after = system->m_fountain.size() + system->m_swirl.size();
        if (after > before) {
            rounds.push_back(frame);
            // Only the active shrine: two fountain particles and one swirl.
            EXPECT_EQ(after - before, 3u);
        }
        made = after;
        // Rebuilt every frame: the renderer holds exactly the living particles.
        EXPECT_EQ(Rendered(), made);
    }
    EXPECT_EQ(rounds, (std::vector<size_t>{2, 5, 8}));

    // 50 ms frames: one round per frame, not five.
    for (int frame = 0; frame < 4; ++frame) {
        const size_t before = system->m_fountain.size();
        system->Update(0.05f);
        EXPECT_EQ(system->m_fountain.size(), before + 2);
    }
}

TEST_F(ShrineGlow, FountainRisesAboveTheChestAndTheSwirlCirclesIt)
{
    system->Update(0.02f);
    ASSERT_EQ(system->m_fountain.size(), 2u);
    ASSERT_EQ(system->m_swirl.size(), 1u);
    const ztengine::ShrineParticle& low = system->m_fountain[0];
    const ztengine::ShrineParticle& high = system->m_fountain[1];
    EXPECT_GE(low.m_lifetime, 1.0f);
    EXPECT_LE(low.m_lifetime, 7.0f);
    EXPECT_GE(high.m_lifetime, 0.5f);
    EXPECT_LE(high.m_lifetime, 2.0f);
    EXPECT_GT(low.m_velocity.y, 0.0f);
    EXPECT_GT(high.m_position.y, low.m_position.y + 3.0f);
    // The swirl starts 5 units out on the circle at the shared angle (10 rad after 0.02 s).
    const ztengine::ShrineParticle& swirl = system->m_swirl[0];
    EXPECT_NEAR(swirl.m_lifetime, 17.5f, 2.5f);
    EXPECT_NEAR(std::hypot(swirl.m_position.x - 40.0f, swirl.m_position.z - 40.0f), 5.0f, 0.2f);

    // Taking the blessing stops new particles; the old ones die out.
    app.shrines->m_shrines[0].m_active = false;
    for (int i = 0; i < 500 && !(system->m_fountain.empty() && system->m_swirl.empty()); ++i)
        system->Update(0.05f);
    EXPECT_TRUE(system->m_fountain.empty());
    EXPECT_TRUE(system->m_swirl.empty());
    EXPECT_EQ(Rendered(), 0u);
}

}  // namespace
