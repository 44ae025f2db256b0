// Matrices: row-major layout, products, projections, rotation layout, inverse and the view
// matrix.
#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

#include "MathTestUtil.h"

using namespace ztmath;
using mathtest::AxisAngle;
using mathtest::kPi;
using mathtest::Near;

static_assert(sizeof(Matrix4x4) == 16 * sizeof(float), "uploaded as 16 plain floats");
static_assert(std::has_virtual_destructor_v<Matrix3x3>);
static_assert(!std::is_polymorphic_v<Matrix4x4>);

TEST(Matrix3x3Test, ProductTransposeAndVector) {
    const Matrix3x3 a(1, 2, 3,
                      4, 5, 6,
                      7, 8, 10);
    const Matrix3x3 b(0, 1, 0,
                      -1, 0, 0,
                      0, 0, 2);
    EXPECT_EQ(a * b, Matrix3x3(-2, 1, 6,
                               -5, 4, 12,
                               -8, 7, 20));
    EXPECT_EQ(a.Transpose(), Matrix3x3(1, 4, 7, 2, 5, 8, 3, 6, 10));
    EXPECT_EQ(a * Matrix3x3(), a);
    EXPECT_EQ(a * Vector3(1, 0, -1), Vector3(-2, -2, -3));
    EXPECT_EQ(a.m[3 * 2 + 1], 8.0f);  // element (2, 1)
}

TEST(Matrix4x4Test, DefaultIsIdentityAndTranslationSitsInColumnThree) {
    Matrix4x4 m;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;

    const Matrix4x4 t = Matrix4x4::MakeTranslation({5, 6, 7});
    EXPECT_EQ(t.m[3], 5.0f);
    EXPECT_EQ(t.m[7], 6.0f);
    EXPECT_EQ(t.m[11], 7.0f);
    EXPECT_EQ(t.m[12], 0.0f);
    EXPECT_EQ(t.m[15], 1.0f);
    EXPECT_EQ(t.TransformPoint({1, 1, 1}), Vector3(6, 7, 8));
    EXPECT_EQ(t.TransformDirection({1, 1, 1}), Vector3(1, 1, 1));
    EXPECT_EQ(t * Vector4(1, 2, 3, 1), Vector4(6, 8, 10, 1));

    const Matrix4x4 f = Matrix4x4::FromAxes({1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12});
    EXPECT_EQ(f, Matrix4x4(1, 4, 7, 10,
                           2, 5, 8, 11,
                           3, 6, 9, 12,
                           0, 0, 0, 1));

    m.m[6] = 3.0f;
    m.SetIdentity();
    EXPECT_EQ(m, Matrix4x4());
    EXPECT_EQ(m.data(), &m.m[0]);
}

TEST(Matrix4x4Test, ProductAppliesTheRightOperandFirst) {
    // translation x scale: scale the point, then move it.
    const Matrix4x4 model = Matrix4x4::MakeTranslation({10, 0, 0}) * Matrix4x4::MakeScale({2, 3, 4});
    EXPECT_EQ(model.TransformPoint({1, 1, 1}), Vector3(12, 3, 4));

    const Matrix4x4 a(1, 2, 3, 4,
                      5, 6, 7, 8,
                      9, 10, 11, 12,
                      13, 14, 15, 16);
    Matrix4x4 self = a;
    self *= self;  // every element is read before any is written
    EXPECT_EQ(self, a * a);
    EXPECT_EQ(self.m[0], 90.0f);
    EXPECT_EQ(self.m[7], 280.0f);

    Matrix4x4 acc = Matrix4x4::MakeTranslation({1, 2, 3});
    acc *= Matrix4x4::MakeScale({2, 2, 2});
    EXPECT_EQ(acc, Matrix4x4::MakeTranslation({1, 2, 3}) * Matrix4x4::MakeScale({2, 2, 2}));
    EXPECT_EQ(a.Transpose().m[1], 5.0f);
    EXPECT_EQ(a.ToMatrix3x3(), Matrix3x3(1, 2, 3, 5, 6, 7, 9, 10, 11));
}

TEST(Matrix4x4Test, PerspectiveElementsAndDepthRange) {
    Matrix4x4 p;
    p.SetPerspective(kPi / 2, 2.0f, 1.0f, 3.0f);
    const float expected[16] = {0.5f, 0, 0, 0,
                                0, 1, 0, 0,
                                0, 0, -2, -3,
                                0, 0, -1, 0};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(p.m[i], expected[i], 1e-6f) << i;

    // The camera looks down -z: the near plane maps to depth -1, the far plane to +1.
    const Vector4 nearPoint = p * Vector4(0, 0, -1, 1);
    const Vector4 farPoint = p * Vector4(0, 0, -3, 1);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, -1.0f, 1e-6f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-6f);

    p.SetPerspective(kPi / 3, 1.0f, 0.5f, 1000.0f);
    EXPECT_NEAR(p.m[5], 1.0f / std::tan(kPi / 6), 1e-5f);
    EXPECT_EQ(p.m[15], 0.0f);
}

struct OrthoCase {
    const char* name;
    float width, height, nearPlane, farPlane;
    float e0, e5, e10, e11;
};

TEST(Matrix4x4Test, OrthographicElements) {
    const OrthoCase cases[] = {
        {"screen", 800, 600, 0.1f, 1.0f, 2.0f / 800, 2.0f / 600, -2.0f / 0.9f, -1.1f / 0.9f},
        {"shadow volume", 100, 50, -50, 150, 0.02f, 0.04f, -0.01f, -0.5f},
        {"zero width", 0, 600, 0.1f, 1.0f, 0.0f, 2.0f / 600, -2.0f / 0.9f, -1.1f / 0.9f},
        {"zero height", 800, 0, 0.1f, 1.0f, 2.0f / 800, 0.0f, -2.0f / 0.9f, -1.1f / 0.9f},
    };
    for (const auto& c : cases) {
        Matrix4x4 m(1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);
        m.SetOrthographic(c.width, c.height, c.nearPlane, c.farPlane);
        for (int i = 0; i < 16; ++i) {
            float want = 0.0f;
            switch (i) {
                case 0: want = c.e0; break;
                case 5: want = c.e5; break;
                case 10: want = c.e10; break;
                case 11: want = c.e11; break;
                case 15: want = 1.0f; break;
                default: break;
            }
            EXPECT_TRUE(std::isfinite(m.m[i])) << c.name << " element " << i;
            EXPECT_NEAR(m.m[i], want, 1e-6f) << c.name << " element " << i;
        }
        Matrix4x4 other;
        EXPECT_EQ(other.MakeOrthographic(c.width, c.height, c.nearPlane, c.farPlane), m) << c.name;
        EXPECT_EQ(other, m) << c.name;
    }
    // Centred on the origin: the screen corner (400, 300) lands on the clip corner.
    Matrix4x4 screen;
    screen.SetOrthographic(800, 600, 0.1f, 1.0f);
    EXPECT_TRUE(Near(screen.TransformPoint({400, 300, -0.1f}), Vector3(1, 1, -1)));
}

TEST(Matrix4x4Test, SetRotationIsTheTransposeOfTheQuaternionMatrix) {
    const struct {
        float angle;
        Vector3 axis;
    } cases[] = {{kPi / 2, {0, 0, 1}}, {0.7f, {0, 1, 0}}, {-1.3f, {0.6f, 0.0f, 0.8f}},
                 {2.0f, {0.48f, 0.6f, 0.64f}}};
    for (const auto& c : cases) {
        Matrix4x4 r(9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9);
        r.SetRotation(c.angle, c.axis);
        EXPECT_TRUE(Near(r, AxisAngle(c.angle, c.axis).ToMatrix4x4().Transpose())) << c.angle;
        Matrix4x4 byComponents;
        byComponents.SetRotation(c.angle, c.axis.x, c.axis.y, c.axis.z);
        EXPECT_EQ(byComponents, r);
    }
    Matrix4x4 z;
    z.SetRotation(kPi / 2, {0, 0, 1});
    EXPECT_NEAR(z.m[1], 1.0f, 1e-6f);
    EXPECT_NEAR(z.m[4], -1.0f, 1e-6f);
}

TEST(Matrix4x4Test, InverseTimesMatrixIsIdentity) {
    Matrix4x4 perspective;
    perspective.SetPerspective(1.0f, 1.5f, 0.5f, 1000.0f);
    Matrix4x4 rotation;
    rotation.SetRotation(0.8f, {0.6f, 0.0f, 0.8f});
    const Matrix4x4 cases[] = {
        Matrix4x4(),
        Matrix4x4::MakeTranslation({3, -4, 5}),
        Matrix4x4::MakeScale({2, 0.5f, 4}),
        rotation * Matrix4x4::MakeTranslation({1, 2, 3}),
        perspective,
        Matrix4x4(2, 1, 0, 3,
                  1, 3, 1, 0,
                  0, 1, 4, 1,
                  1, 0, 2, 5),
    };
    for (const auto& m : cases) {
        Matrix4x4 inv(7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7);
        ASSERT_TRUE(Matrix4x4::Inverse(m, inv)) << mathtest::Str(m);
        EXPECT_TRUE(Near(inv * m, Matrix4x4(), 1e-4f)) << mathtest::Str(m);
        EXPECT_TRUE(Near(m * inv, Matrix4x4(), 1e-4f)) << mathtest::Str(m);

        Matrix4x4 inPlace = m;
        ASSERT_TRUE(Matrix4x4::Inverse(inPlace, inPlace));
        EXPECT_EQ(inPlace, inv);
    }
}

TEST(Matrix4x4Test, InverseOfASingularMatrixLeavesTheOutputUntouched) {
    const Matrix4x4 cases[] = {
        Matrix4x4(1, 2, 3, 4, 0, 0, 0, 0, 5, 6, 7, 8, 1, 0, 0, 1),  // zero row
        Matrix4x4(1, 0, 3, 4, 2, 0, 7, 8, 5, 0, 7, 8, 1, 0, 0, 1),  // zero column
        Matrix4x4(1, 2, 3, 4, 1, 2, 3, 4, 0, 1, 0, 1, 2, 0, 1, 0),  // equal rows
        Matrix4x4(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
        Matrix4x4::MakeScale({1, 0, 1}),
    };
    const Matrix4x4 before(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    for (const auto& m : cases) {
        Matrix4x4 out = before;
        EXPECT_FALSE(Matrix4x4::Inverse(m, out)) << mathtest::Str(m);
        EXPECT_EQ(out, before) << mathtest::Str(m);
    }
}

struct LookAtCase {
    const char* name;
    Vector3 position;
    Basis basis;
};

TEST(Matrix4x4Test, LookAtPutsTheCameraAtTheOriginLookingDownMinusZ) {
    const Matrix4x4 view = Matrix4x4::LookAt({1, 2, 3}, Basis());
    EXPECT_EQ(view, Matrix4x4(-1, 0, 0, 1,
                              0, 1, 0, -2,
                              0, 0, -1, 3,
                              0, 0, 0, 1));

    Basis yawed;
    yawed.Yaw(90.0f);
    Basis tilted;
    tilted.Pitch(-30.0f);
    tilted.Yaw(20.0f);
    Basis down;
    down.SetForward({0, -1, 0});
    const LookAtCase cases[] = {
        {"default", {1, 2, 3}, Basis()},
        {"yawed", {-5, 0, 2}, yawed},
        {"tilted", {0, 10, 0}, tilted},
        {"looking straight down", {4, 20, 4}, down},
    };
    for (const auto& c : cases) {
        const Matrix4x4 v = Matrix4x4::LookAt(c.position, c.basis);
        EXPECT_TRUE(Near(v.TransformPoint(c.position), Vector3())) << c.name;
        EXPECT_TRUE(Near(v.TransformPoint(c.position + c.basis.forward * 5.0f), Vector3(0, 0, -5),
                         1e-4f))
            << c.name;
        EXPECT_TRUE(Near(v.TransformPoint(c.position + c.basis.up), Vector3(0, 1, 0), 1e-5f))
            << c.name;
        // The frame's right axis shows on the left of the screen: right = up x forward.
        EXPECT_TRUE(Near(v.TransformPoint(c.position + c.basis.right), Vector3(-1, 0, 0), 1e-5f))
            << c.name;
    }
}
