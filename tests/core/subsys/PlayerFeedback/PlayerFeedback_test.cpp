// The player's feedback on a windowless application: the status-effect icon pulse, the hit
// indicator's timing and turn, the hand spray's bursts and cap, and the death sequence's roll
// and hand-over to the end screen.
#include <gtest/gtest.h>

#include <cmath>

#include "core/graphics/framework/2d/Sprite.h"
#include "core/graphics/framework/textureloader/TextureLoader.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector4.h"
#include "core/subsys/PlayerFeedback/PlayerFeedback.h"
#include "support/CombatFixture.h"

namespace {

using ztengine::HandParticleSystem;
using ztengine::HitDirectionFeedbackSystem;
using ztengine::PlayerDeathSequence;
using ztengine::PlayerStatusEffectData;
using ztengine::PlayerStatusEffectSystem;
using ztmath::Vector3;

constexpr float kDt = 1.0f / 60.0f;
constexpr float kPi = 3.14159265358979f;

class PlayerFeedbackTest : public ::testing::Test {
protected:
    const ztengine::Sprite& SpriteOf(const ztengine::SpriteHandle& handle)
    {
        return app.graphics2D.GetSprites().at(handle.GetIndex());
    }

    zttest::CombatApp app;
};

TEST_F(PlayerFeedbackTest, StatusIconShowsWhileTheEffectIsSetAndPulses)
{
    PlayerStatusEffectSystem icons(&app);
    EXPECT_EQ(app.statusEffect->m_effect, PlayerStatusEffectData::Goo);
    icons.Init();
    EXPECT_EQ(app.statusEffect->m_effect, PlayerStatusEffectData::None);
    for (const ztengine::SpriteHandle& icon : icons.m_icons) {
        EXPECT_FALSE(SpriteOf(icon).visible);
        EXPECT_EQ(SpriteOf(icon).scale, ztmath::Vector2(100.0f, 100.0f));
        EXPECT_EQ(SpriteOf(icon).layer, 1u);
    }

    // Ice set by this frame's contact: its icon only, at the pulse, and the effect consumed.
    float phase = 0.0f;
    for (int frame = 0; frame < 30; ++frame) {
        app.statusEffect->m_effect = PlayerStatusEffectData::Ice;
        icons.Update(kDt);
        phase += kPi * kDt;
        EXPECT_EQ(app.statusEffect->m_effect, PlayerStatusEffectData::None);
    }
    EXPECT_FALSE(SpriteOf(icons.m_icons[0]).visible);
    EXPECT_TRUE(SpriteOf(icons.m_icons[1]).visible);
    EXPECT_FALSE(SpriteOf(icons.m_icons[2]).visible);
    EXPECT_NEAR(SpriteOf(icons.m_icons[1]).alpha, (std::sin(phase) + 1.0f) * 0.5f, 1e-4f);

    // Off the surface: hidden, and the pulse starts over next time.
    icons.Update(kDt);
    EXPECT_FALSE(SpriteOf(icons.m_icons[1]).visible);
    EXPECT_EQ(icons.m_phase, 0.0f);
    app.statusEffect->m_effect = PlayerStatusEffectData::Spikes;
    icons.Update(kDt);
    EXPECT_TRUE(SpriteOf(icons.m_icons[2]).visible);
    EXPECT_NEAR(SpriteOf(icons.m_icons[2]).alpha, (std::sin(kPi * kDt) + 1.0f) * 0.5f, 1e-5f);

    // Leaving the state hides it and clears the effect; a restart too.
    app.statusEffect->m_effect = PlayerStatusEffectData::Goo;
    icons.NextState(0);
    EXPECT_FALSE(SpriteOf(icons.m_icons[2]).visible);
    EXPECT_EQ(app.statusEffect->m_effect, PlayerStatusEffectData::None);
    app.statusEffect->m_effect = PlayerStatusEffectData::Goo;
    icons.SetToCurrentState();
    EXPECT_TRUE(SpriteOf(icons.m_icons[0]).visible);
    app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
    EXPECT_FALSE(SpriteOf(icons.m_icons[0]).visible);
    EXPECT_EQ(app.statusEffect->m_effect, PlayerStatusEffectData::None);
}

TEST_F(PlayerFeedbackTest, HitIndicatorLastsFromTheLatestHitTurnedTowardIt)
{
    EXPECT_TRUE(HitDirectionFeedbackSystem::kInitialisedAtStart);
    HitDirectionFeedbackSystem indicator(&app);
    indicator.Init();
    EXPECT_FALSE(SpriteOf(indicator.m_sprite).visible);
    EXPECT_EQ(SpriteOf(indicator.m_sprite).scale, ztmath::Vector2(800.0f, 800.0f));

    // Two hits a second apart: the indicator stays 1.5 s after the second, turned toward it.
    const float dt = 1.0f / 64.0f;
    *app.hitFeedback = {true, 1.5f, 0.5f};
    for (int frame = 0; frame < 64; ++frame)
        indicator.Update(dt);
    EXPECT_TRUE(SpriteOf(indicator.m_sprite).visible);
    EXPECT_FLOAT_EQ(SpriteOf(indicator.m_sprite).rotation, 0.5f);
    *app.hitFeedback = {true, 1.5f, -1.25f};
    int visibleFrames = 0;
    for (int frame = 0; frame < 200 && SpriteOf(indicator.m_sprite).visible; ++frame) {
        indicator.Update(dt);
        visibleFrames += SpriteOf(indicator.m_sprite).visible ? 1 : 0;
        if (SpriteOf(indicator.m_sprite).visible) {
            EXPECT_FLOAT_EQ(SpriteOf(indicator.m_sprite).rotation, -1.25f);
        }
    }
    // 1.5 s is 96 frames of 1/64 s: hidden in the 96th.
    EXPECT_EQ(visibleFrames, 95);
    EXPECT_FALSE(app.hitFeedback->m_active);
    EXPECT_EQ(app.hitFeedback->m_timeLeft, 0.0f);
    EXPECT_FLOAT_EQ(app.hitFeedback->m_angle, -1.25f);

    *app.hitFeedback = {true, 1.5f, 1.0f};
    indicator.Update(dt);
    indicator.NextState(0);
    EXPECT_FALSE(SpriteOf(indicator.m_sprite).visible);
    indicator.SetToCurrentState();
    EXPECT_TRUE(SpriteOf(indicator.m_sprite).visible);
    app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
    EXPECT_FALSE(SpriteOf(indicator.m_sprite).visible);
    EXPECT_FALSE(app.hitFeedback->m_active);
}

// The indicator's angle as the player's controller computes it for a hit record.
float IndicatorAngle(const Vector3& point, const Vector3& vector, const Vector3& camera, const Vector3& forward)
{
    const double qx = point.x - 2.0 * vector.x;
    const double qz = point.z - 2.0 * vector.z;
    return static_cast<float>(std::atan2(qz - camera.z, qx - camera.x) -
                              std::atan2(-forward.z, -forward.x) + 3.14159265358979);
}

TEST_F(PlayerFeedbackTest, IndicatorMarkerPointsTowardTheSideOfTheHit)
{
    // Where the picture's marker is: the alpha-weighted centre, in the unit quad (y up).
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;
    ASSERT_EQ(ztengine::DecodeImage("textures/2d/hit.png", &pixels, &width, &height, &channels), 1);
    ASSERT_EQ(channels, 4);
    double sumX = 0.0;
    double sumY = 0.0;
    double sum = 0.0;
    for (int row = 0; row < height; ++row)  // bottom row first
        for (int column = 0; column < width; ++column) {
            const double alpha = pixels[(row * width + column) * 4 + 3];
            sumX += alpha * ((column + 0.5) / width - 0.5);
            sumY += alpha * ((row + 0.5) / height - 0.5);
            sum += alpha;
        }
    std::free(pixels);
    ASSERT_GT(sum, 0.0);
    const Vector3 marker(static_cast<float>(sumX / sum), static_cast<float>(sumY / sum), 0.0f);
    EXPECT_GT(marker.y, 0.2f);  // at the top: angle 0 is a hit from straight ahead

    // A camera at the origin looking along +z; the screen sides of its right and left.
    const Vector3 camera;
    const ztmath::Basis view;
    app.renderer.SetCameraPosition(camera);
    app.renderer.SetCameraBasis(view);
    const ztmath::Matrix4x4 viewProjection = app.renderer.GetProjection() * app.renderer.GetViewMatrix();
    const auto screenX = [&](const Vector3& world) {
        const ztmath::Vector4 clip = viewProjection * ztmath::Vector4(world.x, world.y, world.z, 1.0f);
        return clip.x / clip.w;
    };
    ztmath::Matrix4x4 screen;
    screen.SetOrthographic(1280.0f, 800.0f, 0.1f, 1.0f);

    struct Case {
        const char* side;
        Vector3 from;
    };
    for (const Case& c : {Case{"right", view.right * 5.0f + view.forward * 0.1f},
                          Case{"left", view.right * -5.0f + view.forward * 0.1f},
                          Case{"front", view.forward * 5.0f}}) {
        SCOPED_TRACE(c.side);
        const float angle = IndicatorAngle(c.from, Vector3(), camera, view.forward);
        ztengine::Sprite sprite;
        sprite.scale = ztmath::Vector2(800.0f, 800.0f);
        sprite.rotation = angle;
        const Vector3 onScreen = (screen * ztengine::SpriteModelMatrix(sprite)).TransformPoint(marker);
        const float hitX = screenX(c.from + view.forward * 5.0f);
        if (std::string(c.side) == "front") {
            EXPECT_GT(onScreen.y, 0.2f);
            EXPECT_NEAR(onScreen.x, 0.0f, 0.05f);
        } else {
            // The marker lies on the same side of the screen as the place the hit came from.
            EXPECT_GT(onScreen.x * hitX, 0.0f) << onScreen.x << " " << hitX;
            EXPECT_GT(std::fabs(onScreen.x), 0.2f);
        }
    }
}

TEST_F(PlayerFeedbackTest, HandSprayBurstsOnlyInFiringFramesAndStaysOnTheView)
{
    HandParticleSystem spray(&app);
    spray.Init();
    const auto& system = app.renderer.GetParticleSystems().at(static_cast<size_t>(spray.m_particleSystem));
    EXPECT_EQ(system.atlasPath, "particles/particleAtlas.png");
    EXPECT_EQ(system.rows, 4u);

    struct Case {
        bool held;
        bool attacked;
        size_t added;
    };
    // Holding without a shot (interval or stamina) and a shot from the pad add nothing.
    for (const Case& c : {Case{true, false, 0}, Case{false, true, 0}, Case{true, true, 50}}) {
        spray.m_particles.clear();
        c.held ? app.input.HoldMouseButton(0) : app.input.ReleaseMouseButton(0);
        app.status->m_attackedThisFrame = c.attacked;
        spray.Update(kDt);
        EXPECT_EQ(spray.m_particles.size(), c.added) << c.held << c.attacked;
        EXPECT_EQ(system.particles.size(), c.added);
    }

    // The spray is drawn from this frame's camera: turning the view carries it along.
    app.status->m_attackedThisFrame = false;
    app.renderer.SetCameraPosition(Vector3(100.0f, 0.0f, 0.0f));
    ztmath::Basis turned;
    turned.Yaw(90.0f);
    app.renderer.SetCameraBasis(turned);
    spray.Update(kDt);
    const Vector3 hand = Vector3(100.0f, 0.0f, 0.0f) + turned.forward * 7.2f - turned.right * 3.3f - turned.up * 1.6f;
    for (const HandParticleSystem::Particle& particle : spray.m_particles)
        EXPECT_NEAR((particle.m_position - hand - particle.m_velocity * particle.m_age).Length(), 0.0f, 1e-3f);

    // Particles live at most 1.1 s.
    for (int frame = 0; frame < 70; ++frame)
        spray.Update(kDt);
    EXPECT_TRUE(spray.m_particles.empty());

    // Near the cap no burst is added, so the list never outgrows the particle system.
    app.status->m_attackedThisFrame = true;
    spray.m_particles.assign(HandParticleSystem::kBurstLimit, HandParticleSystem::Particle{{}, {}, {}, {}, 0, 1, 0, 1, 0, 5.0f, 0});
    spray.Update(kDt);
    EXPECT_EQ(spray.m_particles.size(), HandParticleSystem::kBurstLimit);
    spray.m_particles.pop_back();
    spray.Update(kDt);
    EXPECT_EQ(spray.m_particles.size(), HandParticleSystem::kBurstLimit - 1 + 50);
    // A frame of no length still ages the spray.
    const float age = spray.m_particles.front().m_age;
    spray.Update(0.0f);
    EXPECT_FLOAT_EQ(spray.m_particles.front().m_age, age + 0.016f);
}

TEST_F(PlayerFeedbackTest, DeathTipsTheViewAndLeavesForTheEndScreenAfterItsTime)
{
    EXPECT_TRUE(PlayerDeathSequence::kInitialisedAtStart);
    PlayerDeathSequence death(&app);
    death.Init();
    death.Update(kDt);  // not dead yet: nothing happens
    EXPECT_TRUE(app.stateChanges.empty());

    ztmath::Basis view;
    view.Yaw(30.0f);
    const Vector3 where(5.0f, 3.0f, -2.0f);
    app.renderer.SetCameraPosition(where);
    app.renderer.SetCameraBasis(view);
    death.SetToCurrentState();

    int frame = 0;
    float timer = 0.0f;
    while (app.stateChanges.empty() && frame < 500) {
        death.Update(kDt);
        timer += kDt;
        ++frame;
        // The camera stays where the player fell while the horizon tips.
        EXPECT_NEAR((app.renderer.GetCameraPosition() - where).Length(), 0.0f, 1e-4f);
        EXPECT_NEAR((app.renderer.GetCameraBasis().forward - view.forward).Length(), 0.0f, 1e-4f);
        if (timer >= 0.55f) {
            ztmath::Basis rolled = view;
            rolled.Roll(90.0f);
            EXPECT_NEAR((app.renderer.GetCameraBasis().up - rolled.up).Length(), 0.0f, 1e-4f) << frame;
        }
    }
    // The first frame whose timer reaches 2.05 s (about frame 123 at 60 frames a second).
    EXPECT_GE(timer, 2.05f);
    EXPECT_LT(timer - kDt, 2.05f);
    EXPECT_NEAR(frame, 123, 1);
    EXPECT_EQ(app.stateChanges, std::vector<std::string>{"END_GAME_STATE"});

    // A restart ends the sequence.
    app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
    EXPECT_FALSE(death.m_active);
}

}  // namespace
