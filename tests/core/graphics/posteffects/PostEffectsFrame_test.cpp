// The post effects inside the renderer's whole frame: SSAO darkens the crease where a floor meets
// a wall and changes nothing when switched off; between two frames a camera yaw smears the image
// and a still camera leaves it as it was; the motion blur's switch and scale decide how far the
// same yaw smears. Pictures go to build/<dir>/test-artefacts/.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/graphics/GLRenderer3D.h"
#include "core/graphics/posteffects/EffectTestScene.h"
#include "core/math/Basis.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

using ztmath::Vector3;

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 200;
constexpr float kFrameTime = 1.0f / 30.0f;  // longer than a motion-blur step: every frame is one

class PostEffectsFrameTest : public zttest::GLTest {
protected:
    PostEffectsFrameTest() : GLTest(kFrameWidth, kFrameHeight) {}

    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        const std::string output = zttest::CaptureStdout([&] { renderer.Init(kFrameWidth, kFrameHeight, kFrameWidth, kFrameHeight); });
        EXPECT_EQ(output.find("uniform location not found"), std::string::npos) << output;
        m_folder = zttest::MakeTempDir("posteffects-frame");
    }

    void TearDown() override
    {
        if (m_gl)
            renderer.Shutdown();
        GLTest::TearDown();
    }

    // A 64 x 64 picture of vertical stripes 8 pixels wide (or plain grey), as a material.
    int32_t Material(bool stripes)
    {
        std::vector<uint8_t> rgba(64 * 64 * 4, 255);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                for (int c = 0; c < 3; ++c)
                    rgba[(y * 64 + x) * 4 + c] = stripes ? ((x / 8) % 2 == 0 ? 255 : 20) : 200;
        const std::filesystem::path path = m_folder / (stripes ? "stripes.png" : "grey.png");
        EXPECT_TRUE(zttest::GLTestContext::SavePng(path, rgba, 64, 64));
        return renderer.CreateMaterial(path.string().c_str(), nullptr, nullptr, nullptr);
    }

    // A plane model instance: centre, size and facing direction.
    void Plane(int32_t material, const Vector3& centre, float width, float height, const ztmath::Basis& basis,
               float tiling = 1.0f)
    {
        if (m_plane < 0)
            m_plane = renderer.CreatePlaneMesh(1, 1);
        const int32_t model = renderer.CreateModel(static_cast<uint32_t>(m_plane), static_cast<uint32_t>(material));
        ztengine::InstanceTransform transform;
        transform.m_position = centre;
        transform.m_scale = Vector3(width, height, 1.0f);
        transform.SetBasis(basis);
        renderer.CreateInstance(model, transform).SetTiling(ztmath::Vector2(tiling, 1.0f));
    }

    static ztmath::Basis FacingCamera() { return ztmath::Basis(Vector3(0, 0, -1), Vector3(0, 1, 0), true); }
    static ztmath::Basis FacingUp() { return ztmath::Basis(Vector3(0, 1, 0), Vector3(0, 0, 1), true); }

    std::vector<uint8_t> Frame()
    {
        renderer.RenderFrame(kFrameTime);
        return zttest::GLTestContext::ReadPixels(0, 0, kFrameWidth, kFrameHeight);
    }

    // Window pixel of a world point.
    std::pair<int, int> PixelOf(const Vector3& world)
    {
        const ztmath::Vector4 clip =
            renderer.GetProjection() * renderer.GetViewMatrix() * ztmath::Vector4(world.x, world.y, world.z, 1.0f);
        return {static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * kFrameWidth),
                static_cast<int>((clip.y / clip.w * 0.5f + 0.5f) * kFrameHeight)};
    }

    static float Grey(const std::vector<uint8_t>& frame, std::pair<int, int> pixel)
    {
        const uint8_t* p = &frame[(static_cast<size_t>(pixel.second) * kFrameWidth + pixel.first) * 4];
        return (p[0] + p[1] + p[2]) / 3.0f;
    }

    // Mean absolute grey step between horizontal neighbours over a band of rows.
    static float AcrossVariation(const std::vector<uint8_t>& frame, int y0, int y1)
    {
        double sum = 0.0;
        int count = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = 20; x + 1 < kFrameWidth - 20; ++x, ++count)
                sum += std::fabs(Grey(frame, {x + 1, y}) - Grey(frame, {x, y}));
        return static_cast<float>(sum / count);
    }

    static void Save(const std::string& name, const std::vector<std::vector<uint8_t>>& frames)
    {
        std::vector<uint8_t> strip(static_cast<size_t>(kFrameWidth) * frames.size() * kFrameHeight * 4);
        for (size_t f = 0; f < frames.size(); ++f)
            for (int y = 0; y < kFrameHeight; ++y)
                std::copy_n(&frames[f][static_cast<size_t>(y) * kFrameWidth * 4], kFrameWidth * 4,
                            &strip[(static_cast<size_t>(y) * kFrameWidth * frames.size() + f * kFrameWidth) * 4]);
        EXPECT_TRUE(zttest::GLTestContext::SavePng(effecttest::ArtefactDir() / name, strip,
                                                   kFrameWidth * static_cast<int>(frames.size()), kFrameHeight));
    }

    ztengine::GLRenderer3D renderer;
    std::filesystem::path m_folder;
    int32_t m_plane = -1;
};

TEST_F(PostEffectsFrameTest, SsaoDarkensTheCreaseAndChangesNothingWhenOff)
{
    // Lit by the ambient term alone, evenly: the crease is the only difference (the sunlit
    // crease is the colour test's).
    renderer.m_directionalLightEnabled = false;
    renderer.SetEffectsMask(1);
    const int32_t grey = Material(false);
    Plane(grey, Vector3(0.0f, -1.0f, 4.0f), 16.0f, 8.0f, FacingUp());
    Plane(grey, Vector3(0.0f, 3.0f, 8.0f), 16.0f, 8.0f, FacingCamera());

    renderer.m_ssaoEnabled = true;
    const std::vector<uint8_t> on = Frame();
    renderer.m_ssaoEnabled = false;
    const std::vector<uint8_t> off = Frame();
    const std::vector<uint8_t> offAgain = Frame();
    Save("posteffects-frame-ssao.png", {on, off});

    const auto crease = PixelOf(Vector3(0.0f, -0.95f, 7.9f));
    const auto openFloor = PixelOf(Vector3(0.0f, -1.0f, 2.0f));
    const auto openWall = PixelOf(Vector3(0.0f, 4.0f, 8.0f));
    EXPECT_LT(Grey(on, crease), Grey(off, crease) - 15.0f);
    EXPECT_NEAR(Grey(on, openFloor), Grey(off, openFloor), 3.0f);
    EXPECT_NEAR(Grey(on, openWall), Grey(off, openWall), 3.0f);
    // Off, the occlusion left from the last SSAO frame plays no part.
    EXPECT_EQ(off, offAgain);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(PostEffectsFrameTest, CameraYawBetweenFramesSmearsAndAStillCameraDoesNot)
{
    renderer.m_ssaoEnabled = false;
    Plane(Material(true), Vector3(0.0f, 0.0f, 6.0f), 40.0f, 30.0f, FacingCamera(), 10.0f);
    ztmath::Basis yawed;
    yawed.Yaw(4.0f);

    // Without motion blur, at the yawed camera: the sharp picture to compare with.
    renderer.SetEffectsMask(1);
    renderer.SetCameraBasis(yawed);
    const std::vector<uint8_t> sharp = Frame();

    // Motion blur on, the camera still for two frames: nothing moves.
    renderer.SetEffectsMask(3);
    Frame();
    const std::vector<uint8_t> still = Frame();
    int largest = 0;
    for (size_t i = 0; i < sharp.size(); ++i)
        largest = std::max(largest, std::abs(int(still[i]) - int(sharp[i])));
    EXPECT_LE(largest, 2);

    // Back to the straight camera for one frame, then the yaw: this frame smears across.
    renderer.SetCameraBasis(ztmath::Basis());
    Frame();
    renderer.SetCameraBasis(yawed);
    const std::vector<uint8_t> smeared = Frame();
    Save("posteffects-frame-motion-blur.png", {sharp, still, smeared});

    const float kept = AcrossVariation(smeared, 80, 120) / AcrossVariation(sharp, 80, 120);
    EXPECT_LT(kept, 0.6f);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(PostEffectsFrameTest, TheMotionBlurSwitchAndScaleDecideHowFarATurnSmears)
{
    renderer.m_ssaoEnabled = false;
    Plane(Material(true), Vector3(0.0f, 0.0f, 6.0f), 40.0f, 30.0f, FacingCamera(), 10.0f);
    ztmath::Basis yawed;
    yawed.Yaw(4.0f);
    renderer.SetEffectsMask(1);
    renderer.SetCameraBasis(yawed);
    const std::vector<uint8_t> sharp = Frame();
    const float sharpVariation = AcrossVariation(sharp, 80, 120);

    // The same turn between two frames under each setting: the settings menu's No (switch off,
    // scale 0), a file's switch on with scale 0, the switch off with a scale, the menu's Yes and
    // the full scale.
    struct Case {
        const char* what;
        bool on;
        float scale;
        float keptAbove;  // share of the sharp picture's detail left, bounds
        float keptBelow;
    };
    const Case cases[] = {
        {"menu No", false, 0.0f, 0.97f, 1.03f},
        {"switch on, scale 0", true, 0.0f, 0.97f, 1.03f},
        {"switch off, scale 0.48", false, 0.48f, 0.97f, 1.03f},
        {"menu Yes", true, 0.48f, 0.0f, 0.85f},
        {"scale 1", true, 1.0f, 0.0f, 0.6f},
    };
    std::vector<std::vector<uint8_t>> frames = {sharp};
    float keptAtHalf = 0.0f, keptAtFull = 0.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        renderer.EnableMotionBlur(c.on);
        renderer.SetMotionBlurScale(c.scale);
        EXPECT_EQ(renderer.IsMotionBlurEnabled(), c.on);
        renderer.SetCameraBasis(ztmath::Basis());
        Frame();
        renderer.SetCameraBasis(yawed);
        frames.push_back(Frame());
        const float kept = AcrossVariation(frames.back(), 80, 120) / sharpVariation;
        EXPECT_GT(kept, c.keptAbove);
        EXPECT_LT(kept, c.keptBelow);
        if (c.scale == 0.48f && c.on)
            keptAtHalf = kept;
        if (c.scale == 1.0f)
            keptAtFull = kept;
    }
    Save("posteffects-frame-motion-blur-switch.png", frames);
    // Half the scale smears less than the whole.
    EXPECT_GT(keptAtHalf, keptAtFull + 0.05f);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

}  // namespace
