// Vectors: memory layout shared with GL and physics code, and the everyday operations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

#include "MathTestUtil.h"

using namespace ztmath;
using mathtest::Near;

static_assert(sizeof(Vector2) == 2 * sizeof(float));
static_assert(sizeof(Vector3) == 3 * sizeof(float));
static_assert(sizeof(Vector4) == 4 * sizeof(float));
static_assert(std::is_standard_layout_v<Vector3> && std::is_trivially_copyable_v<Vector3>);
static_assert(std::is_standard_layout_v<Vector4> && std::is_trivially_copyable_v<Vector4>);
static_assert(std::is_standard_layout_v<Vector2> && std::is_trivially_copyable_v<Vector2>);

TEST(Vector3Test, ArrayViewAliasesComponentsAndPacksContiguously) {
    Vector3 v(1.0f, 2.0f, 3.0f);
    v.data[1] = 5.0f;
    v[2] += 1.0f;
    EXPECT_EQ(v, Vector3(1.0f, 5.0f, 4.0f));

    // A vertex array of Vector3 must read as a flat float array (buffer uploads, physics).
    std::vector<Vector3> points{{1, 2, 3}, {4, 5, 6}};
    float flat[6];
    std::memcpy(flat, points.data(), sizeof(flat));
    const float expected[6] = {1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(flat[i], expected[i]) << i;

    const Vector3 copy(v);
    EXPECT_EQ(copy, v);
    EXPECT_EQ(Vector3(), Vector3(0, 0, 0));
}

TEST(Vector3Test, CrossIsRightHandedAndOrthogonal) {
    const Vector3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    EXPECT_EQ(x.Cross(y), z);
    EXPECT_EQ(y.Cross(z), x);
    EXPECT_EQ(z.Cross(x), y);
    EXPECT_EQ(Cross(y, x), -z);

    const Vector3 a(1.5f, -2.0f, 0.25f), b(-0.5f, 3.0f, 4.0f);
    const Vector3 c = Cross(a, b);
    EXPECT_NEAR(Dot(c, a), 0.0f, 1e-5f);
    EXPECT_NEAR(Dot(c, b), 0.0f, 1e-5f);
}

TEST(Vector3Test, ArithmeticLengthAndNormalise) {
    const Vector3 a(1, 2, 3), b(4, -5, 6);
    EXPECT_EQ(a + b, Vector3(5, -3, 9));
    EXPECT_EQ(a - b, Vector3(-3, 7, -3));
    EXPECT_EQ(a * 2.0f, Vector3(2, 4, 6));
    EXPECT_EQ(2.0f * a, Vector3(2, 4, 6));
    EXPECT_EQ(b / 2.0f, Vector3(2, -2.5f, 3));
    EXPECT_FLOAT_EQ(a.Dot(b), 4 - 10 + 18);

    Vector3 acc = a;
    acc += b;
    acc -= a;
    acc *= 3.0f;
    acc /= 3.0f;
    EXPECT_TRUE(Near(acc, b));

    EXPECT_FLOAT_EQ(Vector3(3, 4, 12).Length(), 13.0f);
    EXPECT_FLOAT_EQ(Vector3(3, 4, 12).LengthSquared(), 169.0f);
    const Vector3 n = Vector3(3, 4, 12).Normalized();
    EXPECT_TRUE(Near(n, Vector3(3.0f / 13, 4.0f / 13, 12.0f / 13)));
    Vector3 m(0, -7, 0);
    m.Normalize();
    EXPECT_EQ(m, Vector3(0, -1, 0));

    // Normalising nothing has no answer: callers must check the length first.
    EXPECT_TRUE(std::isnan(Vector3().Normalized().x));
}

TEST(Vector2Test, ScalingAndLength) {
    EXPECT_EQ(Vector2(1.5f, -2.0f) * 2.0f, Vector2(3.0f, -4.0f));
    EXPECT_EQ(0.5f * Vector2(4.0f, 2.0f), Vector2(2.0f, 1.0f));
    EXPECT_EQ(Vector2(1, 2) + Vector2(3, 4), Vector2(4, 6));
    EXPECT_EQ(Vector2(1, 2) - Vector2(3, 4), Vector2(-2, -2));
    EXPECT_FLOAT_EQ(Vector2(3, 4).Length(), 5.0f);
    EXPECT_FLOAT_EQ(Vector2(3, 4).Normalized().y, 0.8f);
    Vector2 v(1, 2);
    v[0] = 9.0f;
    EXPECT_EQ(v.data[0], 9.0f);
    EXPECT_EQ(Vector2(), Vector2(0, 0));
}

TEST(Vector4Test, ComponentsArithmeticAndHomogeneousForm) {
    Vector4 c(0.1f, 0.2f, 0.3f, 1.0f);
    c.data[3] = 0.5f;
    EXPECT_EQ(c.w, 0.5f);
    EXPECT_EQ(Vector4(Vector3(1, 2, 3), 1.0f), Vector4(1, 2, 3, 1));
    EXPECT_EQ(Vector4(1, 2, 3, 4).XYZ(), Vector3(1, 2, 3));
    EXPECT_EQ(Vector4(1, 2, 3, 4) + Vector4(1, 1, 1, 1), Vector4(2, 3, 4, 5));
    EXPECT_EQ(Vector4(1, 2, 3, 4) * 2.0f, Vector4(2, 4, 6, 8));
    EXPECT_FLOAT_EQ(Vector4(1, 2, 3, 4).Dot(Vector4(1, 1, 1, 1)), 10.0f);
    EXPECT_FLOAT_EQ(Vector4(1, 1, 1, 1).Normalized().x, 0.5f);
    EXPECT_EQ(Vector4(), Vector4(0, 0, 0, 0));
}
