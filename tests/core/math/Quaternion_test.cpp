// Quaternion: product, rotation, matrix conversions (both directions) and slerp.
#include <gtest/gtest.h>

#include <cmath>

#include "MathTestUtil.h"

using namespace ztmath;
using mathtest::AxisAngle;
using mathtest::kHalfSqrt2;
using mathtest::kPi;
using mathtest::Near;

TEST(QuaternionTest, DefaultIsIdentity) {
    const Quaternion q;
    EXPECT_EQ(q, Quaternion(0, 0, 0, 1));
    EXPECT_EQ(q.Rotate({1, 2, 3}), Vector3(1, 2, 3));
    EXPECT_EQ(q.Conjugate(), q);
}

struct ProductCase {
    const char* name;
    Quaternion a, b, expected;
};

TEST(QuaternionTest, HamiltonProduct) {
    const Quaternion i(1, 0, 0, 0), j(0, 1, 0, 0), k(0, 0, 1, 0), one;
    const ProductCase cases[] = {
        {"i j = k", i, j, k},
        {"j i = -k", j, i, -k},
        {"j k = i", j, k, i},
        {"i i = -1", i, i, Quaternion(0, 0, 0, -1)},
        {"1 q = q", one, Quaternion(1, 2, 3, 4), Quaternion(1, 2, 3, 4)},
        {"general", Quaternion(1, 2, 3, 4), Quaternion(5, 6, 7, 8), Quaternion(24, 48, 48, -6)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a * c.b, c.expected) << c.name;
    }
    // Composing: q2 * q1 turns by q1 first, then by q2.
    const Quaternion yaw = AxisAngle(kPi / 2, {0, 1, 0});
    const Quaternion pitch = AxisAngle(kPi / 2, {1, 0, 0});
    EXPECT_TRUE(Near((yaw * pitch).Rotate({0, 0, 1}), yaw.Rotate(pitch.Rotate({0, 0, 1}))));
}

struct RotateCase {
    const char* name;
    float angle;
    Vector3 axis, v, expected;
};

TEST(QuaternionTest, RotateFollowsTheRightHandRule) {
    const RotateCase cases[] = {
        {"90 about y turns +z to +x", kPi / 2, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
        {"90 about x turns +z to -y", kPi / 2, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
        {"90 about z turns +x to +y", kPi / 2, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {"180 about y", kPi, {0, 1, 0}, {1, 2, 3}, {-1, 2, -3}},
        {"axis itself is fixed", 1.0f, {0, 0, 1}, {0, 0, 2}, {0, 0, 2}},
        {"-90 about y", -kPi / 2, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}},
    };
    for (const auto& c : cases) {
        const Quaternion q = AxisAngle(c.angle, c.axis);
        EXPECT_TRUE(Near(q.Rotate(c.v), c.expected)) << c.name;
        EXPECT_TRUE(Near(q.Conjugate().Rotate(q.Rotate(c.v)), c.v)) << c.name;
        // The matrix form turns the same way.
        EXPECT_TRUE(Near(q.ToMatrix3x3() * c.v, c.expected)) << c.name;
    }
}

TEST(QuaternionTest, UnnormalisedInputsAreUsedAsGiven) {
    // A quaternion of length 2 scales by 4 when rotating; an axis of length 2 doubles the
    // vector part.
    EXPECT_EQ(Quaternion(0, 0, 0, 2).Rotate({1, -1, 3}), Vector3(4, -4, 12));
    const Quaternion q = AxisAngle(kPi / 3, {0, 2, 0});
    EXPECT_TRUE(Near(q, Quaternion(0, 2 * std::sin(kPi / 6), 0, std::cos(kPi / 6))));
}

TEST(QuaternionTest, ToMatrixIsTheRotationEvenForScaledOrZeroQuaternions) {
    const Matrix3x3 quarterTurnY(0, 0, 1,
                                 0, 1, 0,
                                 -1, 0, 0);
    EXPECT_TRUE(Near(AxisAngle(kPi / 2, {0, 1, 0}).ToMatrix3x3(), quarterTurnY));
    EXPECT_TRUE(Near((AxisAngle(kPi / 2, {0, 1, 0}) * 3.0f).ToMatrix3x3(), quarterTurnY));
    EXPECT_EQ(Quaternion(0, 0, 0, 0).ToMatrix3x3(), Matrix3x3());

    const Matrix4x4 m4 = AxisAngle(kPi / 2, {0, 1, 0}).ToMatrix4x4();
    const Matrix4x4 expected(0, 0, 1, 0,
                             0, 1, 0, 0,
                             -1, 0, 0, 0,
                             0, 0, 0, 1);
    EXPECT_TRUE(Near(m4, expected));
}

struct FromMatrixCase {
    const char* name;
    Matrix3x3 m;
    Quaternion expected;
};

TEST(QuaternionTest, SetFromMatrix3x3Branches) {
    const float h = kHalfSqrt2;
    const FromMatrixCase cases[] = {
        {"identity", Matrix3x3(), Quaternion()},
        // Trace exactly 0 still takes the trace branch.
        {"trace 0: 120 degrees about (1,1,1)", Matrix3x3(0, 0, 1, 1, 0, 0, 0, 1, 0),
         Quaternion(0.5f, 0.5f, 0.5f, 0.5f)},
        {"trace 0: -120 degrees about (1,1,1)", Matrix3x3(0, 1, 0, 0, 0, 1, 1, 0, 0),
         Quaternion(-0.5f, -0.5f, -0.5f, 0.5f)},
        // Half turns: w = 0 and the sign shows which diagonal element was chosen.
        {"x ties y: x chosen", Matrix3x3(0, -1, 0, -1, 0, 0, 0, 0, -1), Quaternion(h, -h, 0, 0)},
        {"x ties z: x chosen", Matrix3x3(0, 0, -1, 0, -1, 0, -1, 0, 0), Quaternion(h, 0, -h, 0)},
        {"y ties z: y chosen", Matrix3x3(-1, 0, 0, 0, 0, -1, 0, -1, 0), Quaternion(0, h, -h, 0)},
        {"z largest", Matrix3x3(-1, 0, 0, 0, -1, 0, 0, 0, 1), Quaternion(0, 0, 1, 0)},
        {"y largest", Matrix3x3(-1, 0, 0, 0, 1, 0, 0, 0, -1), Quaternion(0, 1, 0, 0)},
        {"x largest", Matrix3x3(1, 0, 0, 0, -1, 0, 0, 0, -1), Quaternion(1, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        Quaternion q(9, 9, 9, 9);
        q.SetFromMatrix3x3(c.m);
        EXPECT_TRUE(Near(q, c.expected)) << c.name;
    }
}

TEST(QuaternionTest, MatrixRoundTripKeepsTheRotation) {
    // Angles past 90 degrees drive the trace negative and exercise the other branches.
    const struct {
        float angle;
        Vector3 axis;
    } rotations[] = {
        {0.3f, {0, 1, 0}},       {2.5f, {1, 0, 0}},     {3.0f, {0, 1, 0}},
        {2.8f, {0, 0, 1}},       {1.2f, {0.48f, 0.6f, 0.64f}},
        {3.1f, {0.6f, 0.0f, -0.8f}},
    };
    for (const auto& r : rotations) {
        const Quaternion q = AxisAngle(r.angle, r.axis);
        Quaternion back;
        back.SetFromMatrix3x3(q.ToMatrix3x3());
        // q and -q are the same rotation.
        const Quaternion aligned = (back.Dot(q) < 0.0f) ? -back : back;
        EXPECT_TRUE(Near(aligned, q, 1e-4f)) << r.angle;
    }
}

struct SlerpCase {
    const char* name;
    Quaternion q1;
    float t;
    Quaternion q2, expected;
};

TEST(QuaternionTest, SlerpInterpolatesAlongTheShorterArc) {
    const Quaternion one;
    const Quaternion quarterY = AxisAngle(kPi / 2, {0, 1, 0});
    const Quaternion eighthY = AxisAngle(kPi / 4, {0, 1, 0});
    const Quaternion odd = Quaternion(0.1f, 0.2f, 0.3f, 0.9f).Normalized();
    const SlerpCase cases[] = {
        {"t = 0", one, 0.0f, quarterY, one},
        {"t = 1", one, 1.0f, quarterY, quarterY},
        {"half way", one, 0.5f, quarterY, eighthY},
        {"quarter way", one, 0.25f, quarterY, AxisAngle(kPi / 8, {0, 1, 0})},
        {"negated target takes the short way", one, 0.5f, -quarterY, eighthY},
        {"equal inputs", odd, 0.3f, odd, odd},
        {"q2 = -q1 counts as equal", odd, 0.7f, -odd, odd},
    };
    for (const auto& c : cases) {
        const Quaternion r = Quaternion::Slerp(c.q1, c.t, c.q2);
        EXPECT_TRUE(std::isfinite(r.x) && std::isfinite(r.w)) << c.name;
        EXPECT_TRUE(Near(r, c.expected)) << c.name;
    }
}

TEST(QuaternionTest, SlerpOfNearlyEqualInputsBlendsLinearlyWithoutNormalising) {
    // Below the threshold the blend is (1 - t) q1 + t q2 as it stands.
    const Quaternion q1(0, 0, 0, 1);
    const Quaternion q2(0.001f, 0, 0, 1);
    const Quaternion r = Quaternion::Slerp(q1, 0.5f, q2);
    EXPECT_FLOAT_EQ(r.x, 0.0005f);
    EXPECT_FLOAT_EQ(r.w, 1.0f);
}

TEST(QuaternionDeathTest, SlerpOutsideZeroToOneAsserts) {
    const Quaternion q;
    EXPECT_DEATH(Quaternion::Slerp(q, 1.5f, q), "t >= 0\\.0 && t <= 1\\.0");
    EXPECT_DEATH(Quaternion::Slerp(q, -0.01f, q), "t >= 0\\.0 && t <= 1\\.0");
    EXPECT_DEATH(Quaternion::Slerp(q, std::nanf(""), q), "t >= 0\\.0 && t <= 1\\.0");
}
