// Screenshots of the particle draw: an additive system stepping through a 2 x 2 atlas (frame 0
// the bottom-left cell of the picture), blending two frames, fading where it meets a wall, and
// drawing no more than its capacity. Pictures go to build/<dir>/test-artefacts/.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/graphics/framework/GLObjectRegistry.h"
#include "core/graphics/framework/textureloader/TextureLoader.h"
#include "core/graphics/glrenderer/ParticleRenderer.h"
#include "core/graphics/posteffects/EffectTestScene.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

using effecttest::EffectTestScene;
using effecttest::FacingQuad;
using effecttest::Quad;
using ztmath::Vector3;
using ztmath::Vector4;

constexpr int kWidth = 320;
constexpr int kHeight = 200;

// 64 x 64, four cells: bottom-left red, bottom-right green, top-left blue, top-right white.
std::string WriteAtlas(const std::filesystem::path& folder)
{
    const int size = 64;
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4, 255);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint8_t* p = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            const bool right = x >= size / 2;
            const bool top = y >= size / 2;  // rows are bottom first
            const uint8_t colour[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            const int cell = (top ? 2 : 0) + (right ? 1 : 0);
            p[0] = colour[cell][0];
            p[1] = colour[cell][1];
            p[2] = colour[cell][2];
        }
    }
    const std::filesystem::path path = folder / "atlas.png";
    EXPECT_TRUE(zttest::GLTestContext::SavePng(path, rgba, size, size));
    return path.string();
}

class ParticleDrawTest : public zttest::GLTest {
protected:
    ParticleDrawTest() : GLTest(kWidth, kHeight) {}

    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        m_scene = std::make_unique<EffectTestScene>(kWidth, kHeight);
        const std::string output = zttest::CaptureStdout([&] { EXPECT_TRUE(m_particles.Init()); });
        EXPECT_EQ(output.find("uniform location not found"), std::string::npos) << output;
        m_atlas = WriteAtlas(zttest::MakeTempDir("particles"));
    }

    void TearDown() override
    {
        if (m_scene) {
            m_particles.Release();
            m_objects.DeleteAll();
            m_textures.DeleteAll();
            m_scene.reset();
            EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
        }
        GLTest::TearDown();
    }

    // The frame's particle steps on a black window: update, then the draw against the scene depth.
    std::vector<uint8_t> DrawFrame()
    {
        const ztmath::Matrix4x4 view;  // the scene is given in view space
        m_particles.Update(view);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_CULL_FACE);
        m_particles.Draw(m_scene->Projection(), view, m_scene->Depth());
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        return zttest::GLTestContext::ReadPixels(0, 0, kWidth, kHeight);
    }

    static zttest::Rgba PixelAt(const std::vector<uint8_t>& frame, const Vector3& viewPoint)
    {
        const ztmath::Vector4 clip = effecttest::TestProjection(kWidth, kHeight) *
                                     ztmath::Vector4(viewPoint.x, viewPoint.y, viewPoint.z, 1.0f);
        const int x = static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * kWidth);
        const int y = static_cast<int>((clip.y / clip.w * 0.5f + 0.5f) * kHeight);
        const uint8_t* p = &frame[(static_cast<size_t>(y) * kWidth + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    static void Save(const std::string& name, const std::vector<std::vector<uint8_t>>& frames)
    {
        std::vector<uint8_t> strip(static_cast<size_t>(kWidth) * frames.size() * kHeight * 4);
        for (size_t f = 0; f < frames.size(); ++f)
            for (int y = 0; y < kHeight; ++y)
                std::copy_n(&frames[f][static_cast<size_t>(y) * kWidth * 4], kWidth * 4,
                            &strip[(static_cast<size_t>(y) * kWidth * frames.size() + f * kWidth) * 4]);
        EXPECT_TRUE(zttest::GLTestContext::SavePng(effecttest::ArtefactDir() / name, strip,
                                                   kWidth * static_cast<int>(frames.size()), kHeight));
    }

    std::unique_ptr<EffectTestScene> m_scene;
    ztengine::ParticleRenderer m_particles;
    ztengine::TextureLoader m_textures;
    ztengine::GLObjectRegistry m_objects;
    std::string m_atlas;
};

void ExpectColour(const zttest::Rgba& actual, int r, int g, int b, int tolerance = 12)
{
    EXPECT_NEAR(actual[0], r, tolerance);
    EXPECT_NEAR(actual[1], g, tolerance);
    EXPECT_NEAR(actual[2], b, tolerance);
}

TEST_F(ParticleDrawTest, SystemStepsThroughItsAtlasBottomLeftCellFirst)
{
    m_scene->Draw({FacingQuad(-50, -50, 50, 50, 20)});
    const int32_t system = m_particles.CreateSystem(m_atlas.c_str(), 2, 4, m_textures, m_objects);
    ASSERT_EQ(system, 0);
    EXPECT_EQ(m_particles.GetSystems().Get(0).m_frameCount, 3u);
    EXPECT_EQ(m_particles.GetSystems().Get(0).m_atlas.width, 64);
    const Vector3 where(0.0f, 0.0f, -5.0f);
    ASSERT_TRUE(m_particles.GetSystems().Emit(0, where, 0.0f, 1.5f, 0.0f));

    // Life 0, 1/3 and 2/3 of three frames: red, green, blue; the white cell is never shown.
    std::vector<std::vector<uint8_t>> frames;
    const float lives[] = {0.0f, 1.0f / 3.0f + 1e-4f, 2.0f / 3.0f + 1e-4f, 1.0f / 6.0f};
    for (float life : lives) {
        ASSERT_TRUE(m_particles.GetSystems().Set(0, 0, where, 0.0f, 1.5f, life, 1));
        frames.push_back(DrawFrame());
    }
    Save("particles-atlas-steps.png", frames);
    ExpectColour(PixelAt(frames[0], where), 255, 0, 0);
    ExpectColour(PixelAt(frames[1], where), 0, 255, 0);
    ExpectColour(PixelAt(frames[2], where), 0, 0, 255);
    // Half way from frame 0 to frame 1: the two cells blended.
    ExpectColour(PixelAt(frames[3], where), 128, 128, 0, 16);
    // Outside the quad the window stays black.
    ExpectColour(PixelAt(frames[0], Vector3(2.0f, 0.0f, -5.0f)), 0, 0, 0, 2);
}

TEST_F(ParticleDrawTest, ParticlesAddUpAndFadeWhereTheyMeetAWall)
{
    // A wall turned about the vertical: 4 away on the left of the particle, 6 away on its right,
    // crossing the particle's depth of 5 at the middle.
    Quad wall;
    wall.corners = {Vector3(-10, -10, 0), Vector3(10, -10, -10), Vector3(10, 10, -10), Vector3(-10, 10, 0)};
    m_scene->Draw({wall});
    ASSERT_EQ(m_particles.CreateSystem(m_atlas.c_str(), 2, 8, m_textures, m_objects), 0);
    ASSERT_TRUE(m_particles.GetSystems().Emit(0, Vector3(0.0f, 0.0f, -5.0f), 0.0f, 3.0f, 0.0f));
    const std::vector<uint8_t> frame = DrawFrame();

    const int behindWall = PixelAt(frame, Vector3(-1.2f, 0.0f, -5.0f))[0];
    const int atWall = PixelAt(frame, Vector3(0.25f, 0.0f, -5.0f))[0];
    const int clear = PixelAt(frame, Vector3(1.2f, 0.0f, -5.0f))[0];
    EXPECT_LT(behindWall, 5);
    EXPECT_GT(clear, 245);
    EXPECT_GT(atWall, 40);
    EXPECT_LT(atWall, 215);

    // A second red particle over the first one adds to it (it never darkens what is below).
    ASSERT_TRUE(m_particles.GetSystems().Emit(0, Vector3(1.0f, 0.0f, -5.0f), 0.0f, 3.0f, 0.0f));
    const std::vector<uint8_t> twice = DrawFrame();
    EXPECT_GE(PixelAt(twice, Vector3(0.25f, 0.0f, -5.0f))[0], atWall + 20);
    Save("particles-depth-fade.png", {frame, twice});
}

TEST_F(ParticleDrawTest, OnlyCapacityParticlesAreDrawnAndDeadOnesGoAtTheNextUpdate)
{
    m_scene->Draw({FacingQuad(-50, -50, 50, 50, 20)});
    ASSERT_EQ(m_particles.CreateSystem(m_atlas.c_str(), 2, 2, m_textures, m_objects), 0);
    std::vector<ztengine::ParticleDescription> three(3);
    for (size_t i = 0; i < three.size(); ++i) {
        three[i].m_position = Vector3(-3.0f + 3.0f * static_cast<float>(i), 0.0f, -5.0f);
        three[i].m_maxLife = 1.0f;
        three[i].m_scale = 1.5f;
    }
    ASSERT_TRUE(m_particles.GetSystems().SetAll(0, three.data(), 3));
    EXPECT_EQ(m_particles.GetSystems().GetCount(0), 3u);
    const std::vector<uint8_t> frame = DrawFrame();
    ExpectColour(PixelAt(frame, three[0].m_position), 255, 0, 0);
    ExpectColour(PixelAt(frame, three[1].m_position), 255, 0, 0);
    ExpectColour(PixelAt(frame, three[2].m_position), 0, 0, 0, 2);

    // The first marked dead: still drawn this frame's update removes it, the third moves up.
    ASSERT_TRUE(m_particles.GetSystems().Set(0, 0, three[0].m_position, 0.0f, 1.5f, 0.0f, 0));
    const std::vector<uint8_t> after = DrawFrame();
    EXPECT_EQ(m_particles.GetSystems().GetCount(0), 2u);
    ExpectColour(PixelAt(after, three[0].m_position), 0, 0, 0, 2);
    ExpectColour(PixelAt(after, three[2].m_position), 255, 0, 0);
    Save("particles-capacity.png", {frame, after});
}

}  // namespace
