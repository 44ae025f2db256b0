// The player's body on static scenery made directly in the physics world, driven by scripted
// keys and pad and stepped frame by frame at 60 and at 10 frames per second: walking, stopping,
// jumping, falling off edges, walls, surfaces, the return-to-town request and the events that
// move, stop and hit the player.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/subsys/sharedData/CombatRecords.h"
#include "core/gui/GuiHarness.h"
#include "core/input/GLFWInput.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/CharacterControllerSystem/CharacterControllerSystem.h"
#include "support/PlayerTestApp.h"

namespace {

using ztengine::CharacterControllerSystem;
using ztengine::IEvent;
using ztengine::PhysicsBody;
using ztengine::PlayerHitRecord;
using ztengine::PlayerStatusEffectData;
using ztmath::Quaternion;
using ztmath::Vector3;

constexpr float kSpeed = 500.0f;

class ControllerWorld {
public:
    explicit ControllerWorld(float dt) : dt(dt)
    {
        controller.Init();
        body = *app.body;
    }

    // A static box of the given type.
    PhysicsBody AddBox(const Vector3& center, const Vector3& halfExtents, int32_t type)
    {
        PhysicsBody box = engine.CreateStaticBody(engine.CreateBoxCollider(halfExtents), center,
                                                  Quaternion());
        box.SetUserTypeId(type);
        return box;
    }
    // A wide floor whose top face is at y = 0.
    void AddFloor(int32_t type = ztengine::kBodyTypeScenery, float halfSize = 400.0f)
    {
        AddBox(Vector3(0.0f, -1.0f, 0.0f), Vector3(halfSize, 1.0f, halfSize), type);
    }
    void Place(const Vector3& position)
    {
        app.m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", IEvent(0, &position));
    }
    // One frame as the game runs it: the controller, then the physics world, then the input's
    // end of frame.
    void Frame()
    {
        controller.Update(dt);
        engine.Update(dt);
        app.input.EndFrame();
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    // Frames of `seconds` of play.
    void Run(float seconds) { Frames(static_cast<int>(std::lround(seconds / dt))); }
    // Places the player over the floor and lets it come to hover.
    void Settle(const Vector3& at = Vector3(0.0f, 4.5f, 0.0f))
    {
        Place(at);
        Run(1.0f);
    }
    Vector3 Position() const { return body.GetPosition(); }
    Vector3 Velocity() const { return body.GetLinearVelocity(); }

    float dt;
    zttest::GuiHarness gui;
    zttest::PlayerTestApp app;
    ztengine::PhysicsEngine& engine = app.m_physicsEngine;
    CharacterControllerSystem controller{&app};
    PhysicsBody body;
};

class CharacterController : public ::testing::TestWithParam<float> {
protected:
    ControllerWorld world{GetParam()};
    zttest::ScriptedInput& input = world.app.input;
};

INSTANTIATE_TEST_SUITE_P(FrameRates, CharacterController,
                         ::testing::Values(1.0f / 60.0f, 1.0f / 10.0f),
                         [](const ::testing::TestParamInfo<float>& info) {
                             return std::to_string(std::lround(1.0f / info.param)) + "fps";
                         });

TEST(CharacterControllerBody, IsAnUprightCapsuleAtTheStart)
{
    ControllerWorld world(1.0f / 60.0f);
    const PhysicsBody body = *world.app.body;
    EXPECT_EQ(body.GetUserTypeID(), ztengine::kBodyTypePlayer);
    EXPECT_EQ(body.GetPosition(), Vector3(2.0f, 3.0f, 0.0f));
    // Nothing below: the body falls under its own gravity, one step of the world at a time.
    world.engine.Update(world.engine.GetFixedTimeStep());
    EXPECT_NEAR(body.GetLinearVelocity().y, -98.0f * world.engine.GetFixedTimeStep(), 1e-3f);
    // Turning pushes do not turn it.
    world.body.ApplyImpulse(Vector3(100.0f, 0.0f, 0.0f), body.GetPosition() + Vector3(0, 2, 0));
    world.engine.Update(world.engine.GetFixedTimeStep());
    EXPECT_EQ(body.GetOrientation(), Quaternion());
}

// The middle ground ray starts inside the player's own capsule; were the capsule a target, a
// player with nothing below would be held up by itself for ever.
TEST_P(CharacterController, FallsWhenNothingButItselfIsBelow)
{
    world.Place(Vector3(0.0f, 50.0f, 0.0f));
    world.Frame();
    EXPECT_FALSE(world.controller.RayHitFloor());
    EXPECT_TRUE(world.controller.IsInAir());
    world.Run(0.5f);
    EXPECT_LT(world.Position().y, 50.0f - 0.5f * 98.0f * 0.25f * 0.8f);
    EXPECT_FALSE(world.controller.RayHitFloor());
}

TEST_P(CharacterController, HoversOnTheFloorWithTheCameraOnTop)
{
    world.AddFloor();
    world.Settle();
    EXPECT_FALSE(world.controller.IsInAir());
    EXPECT_TRUE(world.controller.RayHitFloor());
    // The capsule's bottom is 4 below its centre; the rays reach 0.2 further.
    EXPECT_GT(world.Position().y, 3.9f);
    EXPECT_LT(world.Position().y, 4.2f);
    EXPECT_LT(world.Velocity().Length(), 1.0f);
    world.Frame();
    EXPECT_EQ(world.app.renderer.GetCameraPosition(),
              world.controller.GetPlayerPos() + Vector3(0.0f, 3.0f, 0.0f));
}

struct MoveCase {
    const char* name;
    std::vector<unsigned> keys;
    float axisX = 0.0f;
    float axisY = 0.0f;
    // Expected horizontal velocity in units of the speed, with the camera looking down +z;
    // screen-right is -x there.
    float vx = 0.0f;
    float vz = 0.0f;
    bool moves = true;
};

TEST_P(CharacterController, KeysAndStickSetTheVelocityInTheViewsPlane)
{
    const float d = std::sqrt(0.5f);
    const MoveCase cases[] = {
        {"W", {GLFW_KEY_W}, 0, 0, 0, 1},
        {"S", {GLFW_KEY_S}, 0, 0, 0, -1},
        {"D", {GLFW_KEY_D}, 0, 0, -1, 0},
        {"A", {GLFW_KEY_A}, 0, 0, 1, 0},
        {"W+D", {GLFW_KEY_W, GLFW_KEY_D}, 0, 0, -d, d},
        {"S+A", {GLFW_KEY_S, GLFW_KEY_A}, 0, 0, d, -d},
        {"W+S", {GLFW_KEY_W, GLFW_KEY_S}, 0, 0, 0, 0},
        {"stick forward", {}, 0.0f, -0.21f, 0, 1},
        {"stick right and back", {}, 0.9f, 0.9f, -d, -d},
        {"stick at the dead zone", {}, 0.2f, -0.2f, 0, 0, false},
    };
    world.AddFloor();
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        world.Settle();
        for (unsigned key : c.keys)
            input.Press(key);
        input.SetAxis(0, c.axisX);
        input.SetAxis(1, c.axisY);
        // A key counts as held from the frame after it went down.
        world.controller.Update(world.dt);
        if (!c.keys.empty()) {
            EXPECT_LT(world.Velocity().Length(), 1.0f);
        }
        world.engine.Update(world.dt);
        input.EndFrame();
        const float verticalBefore = world.Velocity().y;
        world.controller.Update(world.dt);
        const Vector3 v = world.Velocity();
        if (c.moves) {
            EXPECT_NEAR(v.x, c.vx * kSpeed, 1e-2f);
            EXPECT_NEAR(v.z, c.vz * kSpeed, 1e-2f);
            EXPECT_EQ(v.y, verticalBefore);
        } else {
            EXPECT_LT(v.Length(), 1.0f);
        }
        world.engine.Update(world.dt);
        input.EndFrame();
        for (unsigned key : c.keys)
            input.Release(key);
        input.SetAxis(0, 0.0f);
        input.SetAxis(1, 0.0f);
        world.Frames(2);
    }
}

TEST_P(CharacterController, MovesAlongTheViewAndDiagonalsAreNotFaster)
{
    world.AddFloor();
    world.Settle();
    // Looking along +x.
    world.app.renderer.GetCameraBasis().SetForward(Vector3(1.0f, -0.4f, 0.0f));
    input.Press(GLFW_KEY_W);
    input.Press(GLFW_KEY_D);
    world.Frame();
    world.Frame();
    const Vector3 v = world.Velocity();
    EXPECT_NEAR(std::hypot(v.x, v.z), kSpeed, 1e-2f);
    // Forward (+x) and screen-right (+z when looking along +x).
    EXPECT_NEAR(v.x, kSpeed * std::sqrt(0.5f), 1e-2f);
    EXPECT_NEAR(v.z, kSpeed * std::sqrt(0.5f), 1e-2f);
}

TEST_P(CharacterController, WalksAtTheTunedSpeedAndStopsAfterRelease)
{
    world.AddFloor();
    world.Settle(Vector3(0.0f, 4.5f, -300.0f));
    const Vector3 start = world.Position();
    input.Press(GLFW_KEY_W);
    world.Frame();  // pressed: not yet held
    world.Run(1.0f);
    const Vector3 walked = world.Position() - start;
    EXPECT_NEAR(walked.z, kSpeed * 1.0f, kSpeed * 0.03f);
    EXPECT_NEAR(walked.x, 0.0f, 0.5f);
    EXPECT_NEAR(world.Position().y, start.y, 0.3f);
    EXPECT_FALSE(world.controller.IsInAir());

    input.Release(GLFW_KEY_W);
    world.Run(0.5f);
    EXPECT_LT(world.Velocity().Length(), 1.0f);
    const Vector3 stopped = world.Position();
    world.Run(0.5f);
    EXPECT_LT((world.Position() - stopped).Length(), 0.5f);
}

TEST_P(CharacterController, JumpsOnlyFromTheGround)
{
    world.AddFloor();
    world.Settle();
    const float floorY = world.Position().y;
    input.Press(GLFW_KEY_SPACE);
    world.controller.Update(world.dt);
    EXPECT_EQ(world.Velocity().y, 800.0f);
    EXPECT_TRUE(world.controller.IsInAir());
    EXPECT_EQ(world.app.sent["PLAYER_JUMP"], 1);
    world.engine.Update(world.dt);
    input.EndFrame();
    // The contact still touching in the jump's physics update did not cancel it.
    EXPECT_GT(world.Position().y, floorY + 1.0f);

    // Pressed again in the air: nothing.
    input.Release(GLFW_KEY_SPACE);
    world.Frame();
    input.PressPadButton(4);
    const float before = world.Velocity().y;
    world.controller.Update(world.dt);
    EXPECT_EQ(world.Velocity().y, before);
    EXPECT_EQ(world.app.sent["PLAYER_JUMP"], 1);
    world.engine.Update(world.dt);
    input.EndFrame();
    input.ReleasePadButton(4);

    // Up and back down to the floor under the world's gravity: v^2 / 2g high, 2v / g long.
    float highest = world.Position().y;
    int frames = 0;
    do {
        world.Frame();
        highest = std::max(highest, world.Position().y);
        ++frames;
    } while (world.controller.IsInAir() && frames < static_cast<int>(30.0f / world.dt));
    const float apex = 800.0f * 800.0f / (2.0f * 98.0f);
    EXPECT_NEAR(highest - floorY, apex, apex * 0.05f);
    EXPECT_NEAR(frames * world.dt, 2.0f * 800.0f / 98.0f, 0.5f);
    EXPECT_FALSE(world.controller.IsInAir());
    EXPECT_NEAR(world.Position().y, floorY, 0.5f);

    // The pad's jump button works from the ground.
    input.PressPadButton(4);
    world.Frame();
    EXPECT_EQ(world.app.sent["PLAYER_JUMP"], 2);
}

TEST_P(CharacterController, WalkingOffAnEdgeFallsWithTheWorldsGravity)
{
    // A floor 40 wide ending at z = 20.
    world.AddBox(Vector3(0.0f, -1.0f, 0.0f), Vector3(20.0f, 1.0f, 20.0f),
                 ztengine::kBodyTypeScenery);
    world.Settle(Vector3(0.0f, 4.5f, 0.0f));
    input.Press(GLFW_KEY_W);
    const bool fell = [&] {
        for (int i = 0; i < static_cast<int>(2.0f / world.dt); ++i) {
            world.Frame();
            if (world.controller.IsInAir())
                return true;
        }
        return false;
    }();
    ASSERT_TRUE(fell);
    EXPECT_FALSE(world.controller.RayHitFloor());
    input.Release(GLFW_KEY_W);
    world.Frame();
    const float v0 = world.Velocity().y;
    world.Frame();
    EXPECT_NEAR(world.Velocity().y - v0, -98.0f * world.dt, 98.0f * world.dt * 0.05f);
    world.Run(1.0f);
    EXPECT_LT(world.Position().y, -20.0f);
}

TEST_P(CharacterController, AWallStopsThePlayer)
{
    // A frame at 10 per second carries the player 50 forward; the world's own steps move it
    // about 4 at a time, more than a thin wall is thick.
    for (const float halfThickness : {2.0f, 0.25f}) {
        SCOPED_TRACE(halfThickness);
        ControllerWorld walk(world.dt);
        walk.AddFloor();
        // Its near face is at z = 30.
        walk.AddBox(Vector3(0.0f, 10.0f, 30.0f + halfThickness),
                    Vector3(50.0f, 10.0f, halfThickness), ztengine::kBodyTypeScenery);
        walk.Settle();
        walk.app.input.Press(GLFW_KEY_W);
        walk.Run(1.0f);
        EXPECT_LT(walk.Position().z, 30.0f);
        EXPECT_GT(walk.Position().z, 20.0f);
        walk.app.input.Release(GLFW_KEY_W);
        walk.Run(2.0f);
        EXPECT_LT(walk.Position().z, 30.0f);
        EXPECT_FALSE(walk.controller.IsInAir());
    }
}

TEST_P(CharacterController, SurfacesBecomeStatusEffects)
{
    struct SurfaceCase {
        int32_t type;
        int32_t effect;
    };
    const SurfaceCase cases[] = {
        {ztengine::kBodyTypeIce, PlayerStatusEffectData::Ice},
        {ztengine::kBodyTypeGoo, PlayerStatusEffectData::Goo},
        {ztengine::kBodyTypeSpikes, PlayerStatusEffectData::Spikes},
    };
    for (const SurfaceCase& c : cases) {
        SCOPED_TRACE(c.type);
        // Standing on a patch of it.
        ControllerWorld standing(world.dt);
        standing.AddFloor(c.type);
        standing.Settle();
        EXPECT_EQ(standing.app.statusEffect->m_effect, c.effect);

        // Walking onto a patch raised a little out of the floor, 40 long: less than one frame's
        // walk at 10 frames per second.
        ControllerWorld walking(world.dt);
        walking.AddFloor();
        walking.AddBox(Vector3(0.0f, -0.9f, 40.0f), Vector3(20.0f, 1.0f, 20.0f), c.type);
        walking.Settle();
        EXPECT_EQ(walking.app.statusEffect->m_effect, PlayerStatusEffectData::None);
        walking.app.input.Press(GLFW_KEY_W);
        bool touched = false;
        for (int i = 0; i < static_cast<int>(0.3f / world.dt) && !touched; ++i) {
            walking.Frame();
            touched = walking.app.statusEffect->m_effect == c.effect;
        }
        EXPECT_TRUE(touched);
    }
}

TEST_P(CharacterController, IceKeepsThePlayerSlidingAndGooHoldsIt)
{
    world.AddFloor(ztengine::kBodyTypeIce);
    world.Settle();
    // A slow slide on ice is pushed on instead of being stopped.
    world.body.SetLinearVelocity(Vector3(0.0f, 0.0f, 10.0f));
    world.Frames(3);
    EXPECT_TRUE(world.controller.HasSurfaceContact());
    EXPECT_GT(world.Velocity().z, 5.0f);

    ControllerWorld goo(world.dt);
    goo.AddFloor(ztengine::kBodyTypeGoo);
    goo.Settle();
    goo.body.SetLinearVelocity(Vector3(30.0f, 0.0f, 10.0f));
    goo.controller.Update(goo.dt);
    EXPECT_EQ(goo.Velocity().x, 0.0f);
    EXPECT_EQ(goo.Velocity().z, 0.0f);
    EXPECT_FALSE(goo.controller.IsInAir());
}

TEST_P(CharacterController, TStandingStillAsksForTownAndMovingCancelsOnce)
{
    world.AddFloor();
    world.Settle();
    input.Press(GLFW_KEY_T);
    world.Frame();
    EXPECT_EQ(world.app.sent["RETURN_TO_TOWN"], 1);
    EXPECT_TRUE(world.controller.IsReturnRequested());
    input.Release(GLFW_KEY_T);
    input.Press(GLFW_KEY_D);
    world.Frames(4);
    EXPECT_EQ(world.app.sent["RETURN_CANCEL"], 1);
    EXPECT_FALSE(world.controller.IsReturnRequested());

    // T while walking, or the pad's button 5 let go in the air, asks for nothing.
    input.Press(GLFW_KEY_T);
    world.Frame();
    input.Release(GLFW_KEY_T);
    input.Release(GLFW_KEY_D);
    world.Frames(2);
    input.Press(GLFW_KEY_SPACE);
    input.PressPadButton(5);
    world.Frame();
    input.ReleasePadButton(5);
    world.Frame();
    EXPECT_EQ(world.app.sent["RETURN_TO_TOWN"], 1);

    // The pad's button 5 let go standing still does.
    input.Release(GLFW_KEY_SPACE);
    world.Run(20.0f);
    ASSERT_FALSE(world.controller.IsInAir());
    input.PressPadButton(5);
    world.Frame();
    input.ReleasePadButton(5);
    world.Frame();
    EXPECT_EQ(world.app.sent["RETURN_TO_TOWN"], 2);
}

TEST_P(CharacterController, SetPositionAndWarpMoveAndStopThePlayer)
{
    world.AddFloor();
    world.Settle();
    world.body.SetLinearVelocity(Vector3(3.0f, 0.0f, 4.0f));
    world.app.m_messagingSystem.SendEventByName("PLAYER_WARP", IEvent());
    EXPECT_EQ(world.Velocity(), Vector3());
    // Moved high above the floor: gravity comes back at once.
    world.Place(Vector3(10.0f, 60.0f, -5.0f));
    EXPECT_EQ(world.Position(), Vector3(10.0f, 60.0f, -5.0f));
    world.engine.Update(world.dt);
    EXPECT_LT(world.Velocity().y, -98.0f * world.dt * 0.9f);
    world.Run(3.0f);
    EXPECT_FALSE(world.controller.IsInAir());
    EXPECT_NEAR(world.Position().x, 10.0f, 0.5f);
}

// The player driven through the game's own input, whose W key events carry their times.
class TimedKeysApp : public zttest::PlayerTestApp {
public:
    TimedKeysApp()
    {
        keys.SetPadReader([](int, ztengine::PadPoll&) { return false; });
        m_inputService = &keys;
    }
    ztengine::GLFWInput keys;
};

// Walks W for `hold` seconds pressed `offset` of a frame into one, at frames of `step`; the
// distance walked once the player has stopped.
float WalkedForHold(float step, float hold, float offset)
{
    zttest::GuiHarness gui;
    TimedKeysApp app;
    CharacterControllerSystem controller{&app};
    controller.Init();
    ztengine::PhysicsEngine& engine = app.m_physicsEngine;
    PhysicsBody floor = engine.CreateStaticBody(
        engine.CreateBoxCollider(Vector3(400.0f, 1.0f, 1000.0f)), Vector3(0.0f, -1.0f, 0.0f), Quaternion());
    floor.SetUserTypeId(ztengine::kBodyTypeScenery);
    const Vector3 at(0.0f, 4.5f, -400.0f);
    app.m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", IEvent(0, &at));

    struct KeyEvent {
        double time;
        int action;
    };
    const double press = 2.0 + offset * step;
    std::vector<KeyEvent> events = {{press, GLFW_PRESS}, {press + hold, GLFW_RELEASE}};
    double now = 0.0;
    Vector3 start;
    const double end = press + hold + 2.0;
    while (now < end) {
        const double frameEnd = now + step;
        if (now < press && frameEnd >= press)
            start = app.body->GetPosition();
        for (const KeyEvent& e : events)
            if (e.time > now && e.time <= frameEnd)
                app.keys.SetKeyState(GLFW_KEY_W, e.action, e.time);
        app.keys.BeginFrame(frameEnd);
        controller.Update(step);
        engine.Update(step);
        app.keys.Update();
        now = frameEnd;
    }
    EXPECT_FALSE(controller.IsInAir());
    EXPECT_NEAR(app.body->GetPosition().x, start.x, 0.5f);
    return app.body->GetPosition().z - start.z;
}

// However the frames fall round a key's hold, the player walks the tuned speed times the
// hold: a tenth of a second inside one half-second frame as well as spread over six frames.
TEST(CharacterControllerKeyHolds, AHoldWalksItsTimeWhateverTheFrameLength)
{
    for (const float hold : {0.1f, 0.3f, 1.0f}) {
        for (const float offset : {0.1f, 0.55f, 0.9f}) {
            const float fast = WalkedForHold(1.0f / 60.0f, hold, offset);
            const float slow = WalkedForHold(0.5f, hold, offset);
            SCOPED_TRACE(testing::Message() << "hold " << hold << " s, pressed " << offset
                                            << " into a frame");
            EXPECT_NEAR(fast, kSpeed * hold, kSpeed * hold * 0.1f);
            EXPECT_NEAR(slow, kSpeed * hold, kSpeed * hold * 0.1f);
            EXPECT_NEAR(slow, fast, fast * 0.1f);
        }
    }
}

TEST(CharacterControllerHit, ShakesTheCameraAndPointsTheIndicatorAtTheSource)
{
    ControllerWorld world(1.0f / 60.0f);
    world.app.renderer.SetCameraPosition(Vector3(0.0f, 0.0f, 0.0f));
    const PlayerHitRecord hit{Vector3(0.0f, 1.0f, 10.0f), Vector3(0.0f, 0.0f, 0.0f)};
    world.app.m_messagingSystem.SendEventByName("PLAYER_GOT_HIT", IEvent(0, &hit));
    EXPECT_TRUE(world.app.shake->m_active);
    EXPECT_EQ(world.app.shake->m_timeLeft, 0.25f);
    EXPECT_EQ(world.app.shake->m_magnitude, 1.0f);
    EXPECT_TRUE(world.app.hitFeedback->m_active);
    EXPECT_EQ(world.app.hitFeedback->m_timeLeft, 1.5f);

    // Looking down +z; the indicator turns by the angle between the view and the source,
    // which sits 2 units back along the hit's direction.
    struct AngleCase {
        Vector3 point;
        Vector3 vector;
        double expected;
    };
    const double pi = 3.14159265358979;
    const AngleCase cases[] = {
        {Vector3(0, 0, 10), Vector3(), 2.0 * pi},        // ahead
        {Vector3(0, 0, -10), Vector3(), pi},             // behind
        {Vector3(10, 0, 0), Vector3(), 1.5 * pi},        // +x side
        {Vector3(0, 0, 1), Vector3(0, 0, 1), pi},        // source behind the hit point
    };
    for (const AngleCase& c : cases) {
        const float angle = CharacterControllerSystem::HitIndicatorAngle(
            PlayerHitRecord{c.point, c.vector}, Vector3(), Vector3(0.0f, 0.0f, 1.0f));
        EXPECT_NEAR(angle, c.expected, 1e-5);
    }
}

}  // namespace
