// The gun on a windowless application: the fire cadence and its gates (trigger, interval,
// stamina), the recoil, the gun's easing, the shot geometry, and the weapon messages.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/UI/UIElementManager.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector4.h"
#include "core/subsys/FirstPersonCameraSystem/FirstPersonCameraSystem.h"
#include "core/subsys/RangePlayerSystem/RangePlayerSystem.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "support/CombatFixture.h"

namespace {

using ztengine::ProjectileRequest;
using ztengine::RangePlayerSystem;
using ztengine::UIElementManager;
using ztengine::WeaponMessage;
using ztmath::Vector3;

// A binary fraction, so the timer adds up exactly: 0.4 s is reached after 26 frames.
constexpr float kDt = 1.0f / 64.0f;
constexpr float kPi = 3.14159265358979f;

class RangePlayerSystemTest : public ::testing::Test {
protected:
    RangePlayerSystemTest()
    {
        app.renderer.SetCameraPosition(Vector3(0.0f, 0.0f, 0.0f));
        app.renderer.SetCameraBasis(ztmath::Basis());
        weapon.Init();
    }

    // Runs frames; returns the frame numbers (1-based) in which shots were requested.
    std::vector<int> RunFrames(int count)
    {
        std::vector<int> shots;
        for (int frame = 1; frame <= count; ++frame) {
            const size_t before = app.projectiles->m_requests.size();
            weapon.Update(kDt);
            if (app.projectiles->m_requests.size() > before)
                shots.push_back(frame);
        }
        return shots;
    }

    void Send(int32_t type, int32_t modifier, int32_t level)
    {
        app.weaponMessages->m_messages.push_back(WeaponMessage{type, modifier, level});
    }

    zttest::CombatApp app;
    RangePlayerSystem weapon{&app};
};

float AngleBetween(const Vector3& a, const Vector3& b)
{
    return std::acos(std::fmin(1.0f, a.Dot(b) / (a.Length() * b.Length()))) * 180.0f / kPi;
}

TEST_F(RangePlayerSystemTest, HeldTriggerFiresAtTheIntervalWithRecoilOnlyOnShotFrames)
{
    app.status->m_stamina = 100.0f;
    app.input.HoldMouseButton(0);
    float pitchBefore = 0.0f;
    int recoilFrames = 0;
    int attackedFrames = 0;
    std::vector<int> shots;
    for (int frame = 1; frame <= 80; ++frame) {
        const size_t before = app.projectiles->m_requests.size();
        weapon.Update(kDt);
        const bool shot = app.projectiles->m_requests.size() > before;
        if (shot)
            shots.push_back(frame);
        if (app.cameraUpdates->m_pitchDelta != pitchBefore) {
            ++recoilFrames;
            EXPECT_TRUE(shot) << frame;
            EXPECT_FLOAT_EQ(app.cameraUpdates->m_pitchDelta - pitchBefore, -5.0f);
        }
        attackedFrames += app.status->m_attackedThisFrame ? 1 : 0;
        EXPECT_EQ(app.status->m_attackedThisFrame, shot) << frame;
        pitchBefore = app.cameraUpdates->m_pitchDelta;
    }
    // ceil(0.4 / dt) = 26 frames apart; the timer restarts at 0, not at the remainder.
    EXPECT_EQ(shots, (std::vector<int>{26, 52, 78}));
    EXPECT_EQ(recoilFrames, 3);
    EXPECT_EQ(attackedFrames, 3);

    const ProjectileRequest& request = app.projectiles->m_requests.front();
    EXPECT_EQ(request.m_command, 0);
    EXPECT_EQ(request.m_kind, 1);
    EXPECT_EQ(request.m_damage, 0);
    EXPECT_FLOAT_EQ(request.m_speed, 250.0f);
    EXPECT_FLOAT_EQ(request.m_size, 0.75f);
    EXPECT_FLOAT_EQ(request.m_life, 1.0f);
    EXPECT_EQ(request.m_gravity, Vector3());
    EXPECT_FLOAT_EQ(request.m_mass, 0.0f);
    EXPECT_EQ(app.status->m_weaponProjectileCount, 1);

    // Released, nothing fires however long the timer has run.
    app.input.ReleaseMouseButton(0);
    EXPECT_TRUE(RunFrames(60).empty());
    EXPECT_FALSE(app.status->m_attackedThisFrame);
}

// The kick belongs to the shot, not to the frame: with the trigger held for two seconds the
// view rises by the recoil once per shot, whether the frames are short or long.
TEST_F(RangePlayerSystemTest, EachShotKicksTheViewOnceWhateverTheFrameLength)
{
    app.AddSharedData<ztengine::CameraVelocity>("CameraVelocity");
    for (const float dt : {kDt, 0.25f, 0.5f}) {
        SCOPED_TRACE(dt);
        Send(2, 0, 0);  // a fresh weapon: the timer starts again
        ztengine::FirstPersonCameraSystem camera{&app};
        app.status->m_stamina = 1000.0f;
        app.input.HoldMouseButton(0);
        int shots = 0;
        for (float t = 0.0f; t < 2.0f; t += dt) {
            camera.Update(dt);
            const size_t before = app.projectiles->m_requests.size();
            weapon.Update(dt);
            shots += app.projectiles->m_requests.size() > before ? 1 : 0;
        }
        camera.Update(dt);  // takes the last kick
        EXPECT_GE(shots, 2);
        EXPECT_FLOAT_EQ(camera.GetPitch(), static_cast<float>(shots) * app.status->m_recoilFactor);
        EXPECT_EQ(app.cameraUpdates->m_pitchDelta, 0.0f);
    }
}

TEST_F(RangePlayerSystemTest, NoShotBelowTheStaminaCostAndTheGunEasesOut)
{
    app.status->m_stamina = app.status->m_staminaCostPerAttack - 0.01f;
    app.input.HoldMouseButton(0);
    EXPECT_TRUE(RunFrames(200).empty());
    EXPECT_GE(weapon.m_gunDistance, RangePlayerSystem::kGunFar);
    EXPECT_LT(weapon.m_gunDistance, RangePlayerSystem::kGunFar + kDt * 1.8f);
    EXPECT_FLOAT_EQ(app.cameraUpdates->m_pitchDelta, 0.0f);

    // Exactly the cost is enough; the shot pulls the gun back toward the camera.
    app.status->m_stamina = app.status->m_staminaCostPerAttack;
    const float before = weapon.m_gunDistance;
    EXPECT_EQ(RunFrames(1).size(), 1u);
    EXPECT_FLOAT_EQ(weapon.m_gunDistance, before - kDt * 5.4f);
    // Still kicking back while held without a shot until the gun is home at 1.5, then easing out.
    float nearest = weapon.m_gunDistance;
    for (int frame = 0; frame < 10; ++frame) {
        RunFrames(1);
        nearest = std::fmin(nearest, weapon.m_gunDistance);
    }
    EXPECT_LE(nearest, RangePlayerSystem::kGunNear);
    EXPECT_GT(nearest, RangePlayerSystem::kGunNear - kDt * 5.4f);
    EXPECT_FALSE(weapon.m_recoilActive);
    EXPECT_GT(weapon.m_gunDistance, RangePlayerSystem::kGunNear);
}

TEST_F(RangePlayerSystemTest, PadTriggerFiresOnlyAboveTheThreshold)
{
    app.status->m_stamina = 100.0f;
    app.input.SetJoystickPresent(true);
    struct Case {
        float axis;
        bool fires;
    };
    for (const Case& c : {Case{0.2f, false}, Case{0.21f, true}, Case{-1.0f, false}}) {
        weapon.m_timeSinceShot = 1.0f;
        app.input.SetAxis(2, c.axis);
        EXPECT_EQ(RunFrames(1).size(), c.fires ? 1u : 0u) << c.axis;
    }
}

TEST_F(RangePlayerSystemTest, GunSitsInFrontOfTheCameraTurnedToFaceAway)
{
    ztmath::Basis basis;
    basis.Yaw(30.0f);
    basis.Pitch(-10.0f);
    const Vector3 camera(3.0f, 4.0f, -7.0f);
    app.renderer.SetCameraPosition(camera);
    app.renderer.SetCameraBasis(basis);
    const float distance = weapon.m_gunDistance;  // the update places the gun before easing it
    weapon.Update(kDt);
    const ztengine::InstanceTransform& gun = weapon.m_gunInstance.GetInstance().m_transform;
    const Vector3 expected = camera + basis.forward * (distance * 0.75f) - basis.up * 0.5f - basis.right;
    EXPECT_NEAR((gun.m_position - expected).Length(), 0.0f, 1e-4f);
    // Half a turn about up: forward and right are reversed, up stays.
    EXPECT_NEAR((gun.m_basis.forward + basis.forward).Length(), 0.0f, 1e-4f);
    EXPECT_NEAR((gun.m_basis.up - basis.up).Length(), 0.0f, 1e-4f);
    EXPECT_NEAR(gun.m_scale.x, 0.0075f, 1e-7f);
    EXPECT_TRUE(weapon.m_gunInstance.GetInstanceConst().m_flags & ztengine::InstanceData::kEffectsOff);

    // Death hides it; a restart shows it, parks it far away until the next update, and resets.
    app.m_messagingSystem.SendEventByName("PLAYER_DEATH", ztengine::IEvent());
    EXPECT_TRUE(weapon.m_gunInstance.GetInstanceConst().m_hidden);
    Send(0, 0, 1);
    weapon.Update(kDt);
    EXPECT_EQ(weapon.m_projectileCount, 3);
    app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
    EXPECT_FALSE(weapon.m_gunInstance.GetInstanceConst().m_hidden);
    EXPECT_EQ(gun.m_position, Vector3(5000.0f, -5000.0f, 5000.0f));
    EXPECT_EQ(weapon.m_projectileCount, 1);
}

TEST_F(RangePlayerSystemTest, GunKeepsItsPlaceInTheViewWhereverTheCameraLooks)
{
    // Points of the gun model (its own units): the muzzle, the end of the stock, the grip's foot.
    const Vector3 points[] = {{0.0f, 7.0f, -90.0f}, {0.0f, 3.0f, 41.0f}, {0.0f, -22.0f, 6.0f}};
    // Each point in the camera's own axes (right, up, forward) for a look built as the
    // first-person camera builds it; positive pitch looks down.
    auto inView = [&](float yaw, float pitch) {
        const float y = yaw * kPi / 180.0f, p = pitch * kPi / 180.0f;
        ztmath::Basis basis;
        basis.SetForward(Vector3(std::sin(y) * std::cos(p), -std::sin(p), std::cos(y) * std::cos(p)));
        basis.RemoveRoll();
        const Vector3 camera(10.0f, 20.0f, 30.0f);
        app.renderer.SetCameraPosition(camera);
        app.renderer.SetCameraBasis(basis);
        weapon.m_gunDistance = 1.5f;
        weapon.Update(kDt);
        const ztmath::Matrix4x4 model = weapon.m_gunInstance.GetInstanceConst().m_transform.ToMatrix();
        std::vector<Vector3> seen;
        for (const Vector3& point : points) {
            const ztmath::Vector4 world = model * ztmath::Vector4(point.x, point.y, point.z, 1.0f);
            const Vector3 d = Vector3(world.x, world.y, world.z) - camera;
            seen.push_back(Vector3(d.Dot(basis.right), d.Dot(basis.up), d.Dot(basis.forward)));
        }
        return seen;
    };
    const std::vector<Vector3> level = inView(0.0f, 0.0f);
    // Low, to the side of -right (the screen's right) and in front; the muzzle points ahead.
    for (const Vector3& point : level) {
        EXPECT_LT(point.x, -0.4f);
        EXPECT_LT(point.y, -0.2f);
        EXPECT_GT(point.z, 0.5f);
    }
    EXPECT_GT(level[0].z, level[1].z + 0.5f);
    for (const float yaw : {0.0f, 135.0f})
        for (const float pitch : {-60.0f, 0.0f, 60.0f}) {
            const std::vector<Vector3> seen = inView(yaw, pitch);
            for (size_t i = 0; i < seen.size(); ++i)
                EXPECT_NEAR((seen[i] - level[i]).Length(), 0.0f, 1e-3f) << "yaw " << yaw << " pitch " << pitch;
        }
}

TEST_F(RangePlayerSystemTest, ShotsLeaveTheMuzzleAndConvergeOnTheAimedPoint)
{
    app.status->m_stamina = 100.0f;
    app.input.HoldMouseButton(0);
    // Without jitter or aim offset the aim is the view axis itself.
    weapon.m_randomTrajectory[0] = weapon.m_randomTrajectory[1] = 0.0f;
    weapon.m_aimOffset[0] = weapon.m_aimOffset[1] = 0.0f;
    Send(0, 0, 1);
    Send(0, 0, 2);
    weapon.m_timeSinceShot = 1.0f;
    ASSERT_EQ(RunFrames(1).size(), 1u);
    ASSERT_EQ(app.projectiles->m_requests.size(), 5u);

    const Vector3 muzzle(-0.7995303f, -0.2399061f, 1.9887323f);
    const ProjectileRequest first = app.projectiles->m_requests.front();
    EXPECT_NEAR((first.m_position - muzzle).Length(), 0.0f, 1e-5f);
    const float reach = 611.0f - muzzle.Length();
    const Vector3 target(0.0f, 0.0f, reach);
    EXPECT_NEAR((first.m_direction - (target - muzzle).Normalized()).Length(), 0.0f, 1e-5f);

    // The extra shots: within the 5 degree cone around the first, a little ahead of the muzzle.
    for (size_t i = 1; i < 5; ++i) {
        const ProjectileRequest& extra = app.projectiles->m_requests[i];
        EXPECT_LE(AngleBetween(extra.m_direction, first.m_direction), 2.5f * std::sqrt(2.0f) + 1e-3f);
        EXPECT_NEAR(extra.m_direction.Length(), 1.0f, 1e-4f);
        EXPECT_NEAR((extra.m_position - (muzzle + extra.m_direction * 0.75f)).Length(), 0.0f, 1e-4f);
    }

    // With the game's jitter the aim stays within it of the view axis at the converge distance.
    weapon.m_randomTrajectory[0] = 0.0399061f;
    weapon.m_randomTrajectory[1] = 0.0422535f;
    app.projectiles->m_requests.clear();
    for (int shot = 0; shot < 20; ++shot) {
        weapon.m_timeSinceShot = 1.0f;
        RunFrames(1);
    }
    for (size_t i = 0; i < app.projectiles->m_requests.size(); i += 5) {
        const ProjectileRequest& request = app.projectiles->m_requests[i];
        const Vector3 hit = request.m_position + request.m_direction * ((target - muzzle).Length());
        EXPECT_LE(std::fabs(hit.x / hit.z), 0.0399061f * 1.01f);
        EXPECT_LE(std::fabs(hit.y / hit.z), 0.0422535f * 1.01f);
    }
}

TEST_F(RangePlayerSystemTest, WeaponMessagesChangeTheProjectileCount)
{
    struct Step {
        WeaponMessage message;
        int32_t count;
    };
    const Step steps[] = {
        {{0, 0, 1}, 3},   // add
        {{0, 0, 2}, 5},   // add another
        {{0, 1, 3}, 5},   // unknown modifier kind
        {{1, 0, 7}, 5},   // remove a level no modifier carries
        {{1, 0, 1}, 3},   // remove the first
        {{5, 0, 0}, 3},   // unknown message
    };
    for (const Step& step : steps) {
        app.weaponMessages->m_messages.push_back(step.message);
        weapon.Update(kDt);
        EXPECT_EQ(weapon.m_projectileCount, step.count) << step.message.m_type << " " << step.message.m_level;
        EXPECT_EQ(app.status->m_weaponProjectileCount, step.count);
        EXPECT_TRUE(app.weaponMessages->m_messages.empty());
    }
    EXPECT_EQ(weapon.m_modifiers.size(), 1u);

    app.rangedStats->m_fireInterval = 0.2f;
    weapon.m_spreadDegrees = 9;
    Send(2, 0, 0);
    weapon.Update(kDt);
    EXPECT_EQ(weapon.m_projectileCount, 1);
    EXPECT_TRUE(weapon.m_modifiers.empty());
    EXPECT_FLOAT_EQ(app.rangedStats->m_fireInterval, 0.4f);
    EXPECT_EQ(weapon.m_spreadDegrees, 5);
}

TEST_F(RangePlayerSystemTest, CrosshairShowsOnlyWhileTheWeaponsStateIsCurrent)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    const auto visible = [&](int32_t index) {
        return app.graphics2D.GetSprites().at(ui.m_elements.at(static_cast<size_t>(index)).m_sprite.GetIndex()).visible;
    };
    EXPECT_FALSE(visible(weapon.m_crosshairElement));
    weapon.SetToCurrentState();
    EXPECT_TRUE(visible(weapon.m_crosshairElement));
    EXPECT_FALSE(visible(weapon.m_hiddenElement));
    weapon.NextState(0);
    EXPECT_FALSE(visible(weapon.m_crosshairElement));
}

}  // namespace
