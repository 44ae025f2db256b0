// Basis: construction, quaternion conversions, rebuilding around a direction, and the
// degree-based camera turns.
#include <gtest/gtest.h>

#include <cmath>

#include "MathTestUtil.h"

using namespace ztmath;
using mathtest::AxisAngle;
using mathtest::kHalfSqrt2;
using mathtest::kPi;
using mathtest::Near;

namespace {

Basis Make(const Vector3& forward, const Vector3& up, const Vector3& right) {
    Basis b;
    b.forward = forward;
    b.up = up;
    b.right = right;
    return b;
}

}  // namespace

TEST(BasisTest, DefaultsAndConstructor) {
    const Basis b;
    EXPECT_EQ(b.forward, Vector3(0, 0, 1));
    EXPECT_EQ(b.up, Vector3(0, 1, 0));
    EXPECT_EQ(b.right, Vector3(1, 0, 0));
    EXPECT_EQ(b.ToQuaternion(), Quaternion());
    EXPECT_EQ(b.ToMatrix3x3(), Matrix3x3());

    // right comes from the vectors as given; the flag normalises all three afterwards.
    const Basis raw({0, 0, 2}, {0, 3, 0}, false);
    EXPECT_EQ(raw.forward, Vector3(0, 0, 2));
    EXPECT_EQ(raw.up, Vector3(0, 3, 0));
    EXPECT_EQ(raw.right, Vector3(6, 0, 0));
    EXPECT_EQ(Basis({0, 0, 2}, {0, 3, 0}, true), Basis());
}

struct SetForwardCase {
    const char* name;
    Vector3 direction;
    Basis expected;
};

TEST(BasisTest, SetForwardRebuildsTheFrameAroundTheDirection) {
    const float s65 = std::sqrt(65.0f);
    const SetForwardCase cases[] = {
        {"straight up", {0, 2, 0}, Make({0, 1, 0}, {0, 0, 1}, {-1, 0, 0})},
        {"straight down uses -z as world up", {0, -2, 0}, Make({0, -1, 0}, {0, 0, -1}, {-1, 0, 0})},
        {"along +z", {0, 0, 5}, Basis()},
        {"along +x", {3, 0, 0}, Make({1, 0, 0}, {0, 1, 0}, {0, 0, -1})},
        {"diagonal", {1, 0, 1},
         Make({kHalfSqrt2, 0, kHalfSqrt2}, {0, 1, 0}, {kHalfSqrt2, 0, -kHalfSqrt2})},
        // The vertical test looks at the direction before normalising: a tiny direction
        // counts as vertical even though it points mostly along x.
        {"tiny direction", {8e-6f, 1e-6f, 0},
         Make({8 / s65, 1 / s65, 0}, {0, 0, 1}, {-1 / s65, 8 / s65, 0})},
    };
    for (const auto& c : cases) {
        Basis b;
        b.Roll(33.0f);  // whatever was there before must not matter
        b.SetForward(c.direction);
        EXPECT_TRUE(Near(b, c.expected)) << c.name;
    }
}

TEST(BasisTest, SetForwardOfZeroGivesNaN) {
    Basis b;
    b.SetForward({0, 0, 0});
    EXPECT_TRUE(std::isnan(b.forward.x) && std::isnan(b.right.x) && std::isnan(b.up.y));
}

struct TurnCase {
    const char* name;
    void (Basis::*turn)(float);
    float degrees;
    Basis expected;
};

TEST(BasisTest, PitchYawRollTakeDegreesAboutTheFramesOwnAxes) {
    const float h = kHalfSqrt2;
    const TurnCase cases[] = {
        {"yaw 90 turns forward to +x", &Basis::Yaw, 90, Make({1, 0, 0}, {0, 1, 0}, {0, 0, -1})},
        {"yaw -90", &Basis::Yaw, -90, Make({-1, 0, 0}, {0, 1, 0}, {0, 0, 1})},
        {"yaw 45", &Basis::Yaw, 45, Make({h, 0, h}, {0, 1, 0}, {h, 0, -h})},
        {"yaw 360 comes back", &Basis::Yaw, 360, Basis()},
        {"pitch 90 turns forward to -y", &Basis::Pitch, 90, Make({0, -1, 0}, {0, 0, 1}, {1, 0, 0})},
        {"pitch -45", &Basis::Pitch, -45, Make({0, h, h}, {0, h, -h}, {1, 0, 0})},
        {"roll 90 turns up to -x", &Basis::Roll, 90, Make({0, 0, 1}, {-1, 0, 0}, {0, 1, 0})},
        {"roll 180", &Basis::Roll, 180, Make({0, 0, 1}, {0, -1, 0}, {-1, 0, 0})},
    };
    for (const auto& c : cases) {
        Basis b;
        (b.*c.turn)(c.degrees);
        EXPECT_TRUE(Near(b, c.expected)) << c.name;
    }
}

TEST(BasisTest, TurnsFollowTheCurrentFrame) {
    // After a yaw of 90 the frame's right axis is -z, so a pitch now tips forward (+x) down.
    Basis b;
    b.Yaw(90);
    b.Pitch(90);
    EXPECT_TRUE(Near(b, Make({0, -1, 0}, {1, 0, 0}, {0, 0, -1})));

    // Many small turns stay unit length and orthogonal.
    Basis spun;
    for (int i = 0; i < 1000; ++i) {
        spun.Yaw(7.3f);
        spun.Pitch(-3.1f);
        spun.Roll(1.7f);
    }
    EXPECT_NEAR(spun.forward.Length(), 1.0f, 1e-4f);
    EXPECT_NEAR(spun.up.Length(), 1.0f, 1e-4f);
    EXPECT_NEAR(spun.forward.Dot(spun.up), 0.0f, 1e-3f);
    EXPECT_TRUE(Near(spun.right, spun.up.Cross(spun.forward), 1e-4f));
}

struct RemoveRollCase {
    const char* name;
    Basis start;
    Basis expected;
};

TEST(BasisTest, RemoveRollLevelsTheFrameAndKeepsUpsideDown) {
    Basis rolled;
    rolled.Roll(30);
    Basis rolledHard;
    rolledHard.Roll(150);
    Basis tiltedAndRolled;
    tiltedAndRolled.Yaw(90);
    tiltedAndRolled.Pitch(-45);
    Basis tiltedLevel = tiltedAndRolled;
    tiltedAndRolled.Roll(40);
    const float h = kHalfSqrt2;
    const RemoveRollCase cases[] = {
        {"level frame is unchanged", Basis(), Basis()},
        {"small roll is removed", rolled, Basis()},
        {"upside down stays upside down", Make({0, 0, 1}, {0, -1, 0}, {-1, 0, 0}),
         Make({0, 0, 1}, {0, -1, 0}, {-1, 0, 0})},
        {"past 90 degrees of roll it settles upside down", rolledHard,
         Make({0, 0, 1}, {0, -1, 0}, {-1, 0, 0})},
        {"forward is kept", tiltedAndRolled, tiltedLevel},
        {"looking straight up", Make({0, 1, 0}, {0, 0, -1}, {1, 0, 0}),
         Make({0, 1, 0}, {0, 0, -1}, {1, 0, 0})},
        {"diagonal upside down", Make({h, 0, h}, {0, -1, 0}, {-h, 0, h}),
         Make({h, 0, h}, {0, -1, 0}, {-h, 0, h})},
    };
    for (const auto& c : cases) {
        Basis b = c.start;
        b.RemoveRoll();
        EXPECT_TRUE(Near(b, c.expected)) << c.name;
        EXPECT_EQ(b.forward, c.start.forward) << c.name;
    }
}

TEST(BasisTest, QuaternionConversionsAgree) {
    const struct {
        float angle;
        Vector3 axis;
    } rotations[] = {{0.0f, {0, 1, 0}},  {kPi / 2, {0, 1, 0}}, {2.9f, {1, 0, 0}},
                     {3.0f, {0, 0, 1}},  {3.1f, {0, 1, 0}},    {1.1f, {0.48f, 0.6f, 0.64f}},
                     {-2.4f, {0.6f, 0.0f, 0.8f}}};
    for (const auto& r : rotations) {
        const Quaternion q = AxisAngle(r.angle, r.axis);
        const Basis fromMatrix = Basis::FromQuaternion(q);
        Basis fromRotation;
        fromRotation.SetFromQuaternion(q);
        EXPECT_TRUE(Near(fromMatrix, fromRotation)) << r.angle;
        EXPECT_TRUE(Near(fromMatrix.right, q.Rotate({1, 0, 0}))) << r.angle;

        const Quaternion back = fromMatrix.ToQuaternion();
        const Quaternion aligned = (back.Dot(q) < 0.0f) ? -back : back;
        EXPECT_TRUE(Near(aligned, q, 1e-4f)) << r.angle;
    }
    // A scaled quaternion still gives unit axes.
    EXPECT_TRUE(Near(Basis::FromQuaternion(Quaternion(0, 0, 0, 3)), Basis()));
}

struct ToQuaternionCase {
    const char* name;
    Basis basis;
    Quaternion expected;
};

TEST(BasisTest, ToQuaternionTieRules) {
    // The same half-turn matrices as the quaternion's own matrix conversion, whose ties go
    // the other way: here a tie passes on to the next axis, so the signs come out flipped.
    const float h = kHalfSqrt2;
    const ToQuaternionCase cases[] = {
        {"trace 0 skips the trace branch", Make({0, 1, 0}, {1, 0, 0}, {0, 0, 1}),
         Quaternion(0.5f, 0.5f, 0.5f, -0.5f)},
        {"x ties y: y chosen", Make({0, 0, -1}, {-1, 0, 0}, {0, -1, 0}), Quaternion(-h, h, 0, 0)},
        {"x ties z: z chosen", Make({-1, 0, 0}, {0, -1, 0}, {0, 0, -1}), Quaternion(-h, 0, h, 0)},
        {"y ties z: z chosen", Make({0, -1, 0}, {0, 0, -1}, {-1, 0, 0}), Quaternion(0, -h, h, 0)},
        {"x largest", Make({0, 0, -1}, {0, -1, 0}, {1, 0, 0}), Quaternion(1, 0, 0, 0)},
        {"y largest", Make({0, 0, -1}, {0, 1, 0}, {-1, 0, 0}), Quaternion(0, 1, 0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Near(c.basis.ToQuaternion(), c.expected)) << c.name;
        // Either sign, it is the rotation of the frame.
        EXPECT_TRUE(Near(c.expected.ToMatrix3x3(), c.basis.ToMatrix3x3())) << c.name;
    }
}

TEST(BasisTest, RotateTurnsForwardAndUpWithoutNormalising) {
    Basis b;
    b.Rotate(AxisAngle(kPi, {0, 1, 0}));  // the gun faces back along the camera's up axis
    EXPECT_TRUE(Near(b, Make({0, 0, -1}, {0, 1, 0}, {-1, 0, 0})));

    Basis scaled;
    scaled.Rotate(Quaternion(0, 0, 0, 2));
    EXPECT_EQ(scaled.forward, Vector3(0, 0, 4));
    EXPECT_EQ(scaled.up, Vector3(0, 4, 0));
    EXPECT_EQ(scaled.right, Vector3(16, 0, 0));
}

TEST(BasisTest, RotateLocalTurnsInTheFramesOwnAxes) {
    const Quaternion pitchDown = AxisAngle(kPi / 2, {1, 0, 0});
    // From the default frame it is the quaternion's own frame.
    EXPECT_TRUE(Near(Basis().RotateLocal(pitchDown), Basis::FromQuaternion(pitchDown)));

    Basis yawed;
    yawed.Yaw(90);
    const Basis before = yawed;
    const Basis turned = yawed.RotateLocal(pitchDown);
    EXPECT_EQ(yawed, before);
    EXPECT_TRUE(Near(turned, Make({0, -1, 0}, {1, 0, 0}, {0, 0, -1})));

    // The result is normalised even for a non-unit frame.
    const Basis stretched({0, 0, 3}, {0, 2, 0}, false);
    EXPECT_TRUE(Near(stretched.RotateLocal(Quaternion()), Basis()));
}
