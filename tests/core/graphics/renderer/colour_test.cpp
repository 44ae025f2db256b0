// Colours and lights as a player sees them, in small 320 x 200 frames of the whole renderer: the
// clear, fog and tint colours show as the settings name them, tints look alike on model instances
// and instance buffers, a point light brightens the side facing it in its own colour, fog moves
// distant pixels toward its colour by the amount its density gives, GPU skinning moves the
// limbs of a walking skeleton, SSAO shows in sunlight, and a cube stretched to a slab lights
// as evenly as its flat top should. Every picture goes on one contact sheet under
// build/<dir>/test-artefacts/. Also: a drawing test without a display fails.
#include <GL/glew.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/graphics/GLRenderer3D.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

using ztmath::Vector3;
using ztmath::Vector4;

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr float kGamma = 2.2f;

// What the window shows for a linear value (the final quad's encoding).
float Encoded(float linear)
{
    return 255.0f * std::pow(std::clamp(linear, 0.0f, 1.0f), 1.0f / kGamma);
}

// The linear light of a shown 8-bit value.
float Decoded(uint8_t shown)
{
    return std::pow(static_cast<float>(shown) / 255.0f, kGamma);
}

using Frame = std::vector<uint8_t>;

zttest::Rgba PixelAt(const Frame& frame, int x, int y)
{
    const uint8_t* p = &frame[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4];
    return {p[0], p[1], p[2], p[3]};
}

void ExpectShown(const zttest::Rgba& pixel, const Vector3& expected, float tolerance = 1.5f)
{
    EXPECT_NEAR(pixel[0], expected.x, tolerance) << "red";
    EXPECT_NEAR(pixel[1], expected.y, tolerance) << "green";
    EXPECT_NEAR(pixel[2], expected.z, tolerance) << "blue";
}

std::filesystem::path ColourArtefactDir()
{
    return std::filesystem::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts";
}

class FrameColourTest : public zttest::GLTest {
protected:
    FrameColourTest() : GLTest(kWidth, kHeight) {}

    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        m_folder = zttest::MakeTempDir("frame-colours");
        Restart();
    }

    void TearDown() override
    {
        if (renderer)
            renderer->Shutdown();
        renderer.reset();
        GLTest::TearDown();
    }

    // A fresh renderer lit by the ambient term alone: no sun, no SSAO, no motion blur or depth
    // of field, so a white surface shows 0.2 of its colour and nothing else moves the pixels.
    void Restart()
    {
        if (renderer)
            renderer->Shutdown();
        renderer = std::make_unique<ztengine::GLRenderer3D>();
        const std::string output = zttest::CaptureStdout([&] { renderer->Init(kWidth, kHeight, kWidth, kHeight); });
        EXPECT_EQ(output.find("not found"), std::string::npos) << output;
        renderer->m_directionalLightEnabled = false;
        renderer->m_ssaoEnabled = false;
        renderer->SetEffectsMask(1);
        // Mesh 0 cannot hold an instance buffer: the cube takes it.
        m_cube = renderer->CreateCubeMesh();
        m_plane = renderer->CreatePlaneMesh(1, 1);
    }

    // A material of one colour (8-bit values, as a painted texture would hold them).
    int32_t Material(uint8_t r, uint8_t g, uint8_t b)
    {
        std::vector<uint8_t> rgba(16 * 16 * 4, 255);
        for (size_t i = 0; i < rgba.size(); i += 4) {
            rgba[i] = r;
            rgba[i + 1] = g;
            rgba[i + 2] = b;
        }
        const std::filesystem::path path =
            m_folder / ("colour-" + std::to_string(r) + "-" + std::to_string(g) + "-" + std::to_string(b) + ".png");
        EXPECT_TRUE(zttest::GLTestContext::SavePng(path, rgba, 16, 16));
        return renderer->CreateMaterial(path.string().c_str(), nullptr, nullptr, nullptr);
    }

    static ztmath::Basis FacingCamera() { return ztmath::Basis(Vector3(0, 0, -1), Vector3(0, 1, 0), true); }
    static ztmath::Basis FacingUp() { return ztmath::Basis(Vector3(0, 1, 0), Vector3(0, 0, 1), true); }

    // A plane model instance across the view at `distance`, wide enough to fill it.
    ztengine::InstanceHandle Wall(int32_t material, float distance)
    {
        ztengine::InstanceTransform transform;
        transform.m_position = Vector3(0.0f, 0.0f, distance);
        transform.m_scale = Vector3(4.0f * distance, 4.0f * distance, 1.0f);
        transform.SetBasis(FacingCamera());
        return renderer->CreateInstance(Model(m_plane, material), transform);
    }

    // An instance buffer holding one plane across the view at `distance`.
    uint32_t WallBuffer(int32_t material, float distance, const Vector4& tint)
    {
        const int32_t key = renderer->CreateInstanceBuffer(m_plane, 1, material);
        EXPECT_TRUE(renderer->AddInstanceToBuffer(static_cast<uint32_t>(key), Vector3(0.0f, 0.0f, distance),
                                                  FacingCamera(), 4.0f * distance, {}));
        renderer->SetInstanceBufferTint(static_cast<uint32_t>(key), tint);
        return static_cast<uint32_t>(key);
    }

    int32_t Model(int32_t mesh, int32_t material)
    {
        return renderer->CreateModel(static_cast<uint32_t>(mesh), static_cast<uint32_t>(material));
    }

    Frame Render()
    {
        renderer->RenderFrame(1.0f / 60.0f);
        EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
        return zttest::GLTestContext::ReadPixels(0, 0, kWidth, kHeight);
    }

    // Window pixel of a world point.
    std::pair<int, int> PixelOf(const Vector3& world)
    {
        const Vector4 clip =
            renderer->GetProjection() * renderer->GetViewMatrix() * Vector4(world.x, world.y, world.z, 1.0f);
        return {static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * kWidth),
                static_cast<int>((clip.y / clip.w * 0.5f + 0.5f) * kHeight)};
    }

    zttest::Rgba Centre(const Frame& frame) { return PixelAt(frame, kWidth / 2, kHeight / 2); }

    // ---- The scenes, each on a fresh renderer; the tests check them and the contact sheet
    // shows them.

    // Fog of the colour over a black wall (a full-strength black tint: its colour is exactly 0,
    // whatever the light) at the distance.
    Frame FogScene(const Vector3& fogColour, float density, float distance)
    {
        Restart();
        Wall(Material(255, 255, 255), distance).SetTint(Vector4(0.0f, 0.0f, 0.0f, 1.0f));
        renderer->m_fogEnabled = true;
        renderer->m_fogColor = fogColour;
        renderer->m_fogDensity = density;
        renderer->m_fogGradient = 1.5f;
        return Render();
    }

    // A cube turned 45 degrees, its left face toward a point light of the colour, its right face
    // turned away from it.
    Frame PointLightScene(const Vector3& colour, bool lightOn)
    {
        Restart();
        ztengine::InstanceTransform transform;
        transform.m_position = Vector3(0.0f, 0.0f, 5.0f);
        transform.m_scale = Vector3(2.0f, 2.0f, 2.0f);
        ztmath::Basis turned;
        turned.Yaw(45.0f);
        transform.SetBasis(turned);
        renderer->CreateInstance(Model(m_cube, Material(255, 255, 255)), transform);
        if (lightOn)
            renderer->AddPointLight(Vector3(-3.0f, 0.0f, 3.5f), colour, 8.0f, 1.0f);
        return Render();
    }

    // The skeleton, four units tall, seen from its side, at the phase of its walk (or in its bind pose).
    Frame SkeletonScene(float phase, bool animated)
    {
        Restart();
        const int32_t mesh = renderer->CreateCustomMesh("models/", "skeleton.fbx");
        const int32_t model = Model(mesh, renderer->CreateMaterial("textures/diff/skeleton.png", nullptr, nullptr,
                                                                   nullptr));
        EXPECT_TRUE(renderer->LoadAnimation(model, "animation/anim_skele_walk.fbx"));
        const ztengine::MeshBounds& bounds = renderer->GetMeshAABB(static_cast<uint32_t>(mesh));
        const float scale = 4.0f / (bounds.m_max.y - bounds.m_min.y);
        ztengine::InstanceTransform transform;
        transform.m_position = Vector3(0.0f, -2.0f - bounds.m_min.y * scale, 3.5f);
        transform.m_scale = Vector3(scale, scale, scale);
        transform.SetBasis(ztmath::Basis(Vector3(1, 0, 0), Vector3(0, 1, 0), true));
        const ztengine::InstanceHandle skeleton = renderer->CreateInstance(model, transform);
        skeleton.SetAnimated(animated);
        // The walk: the clip its file names "walk" (the file carries more than one).
        const ztengine::SkeletalAnimationSet& clips = renderer->GetMeshAnimations(static_cast<uint32_t>(mesh));
        int32_t walk = -1;
        for (size_t i = 0; i < clips.m_animations.size(); ++i) {
            if (clips.m_animations[i].name == "walk")
                walk = static_cast<int32_t>(i);
        }
        EXPECT_GE(walk, 0);
        skeleton.SetAnimationIndex(walk);
        skeleton.SetAnimationTime(phase);
        renderer->m_directionalLightEnabled = true;
        return Render();
    }

    // Left half: a model painted in the colour; right half, behind it: a white instance buffer
    // tinted by the colour.
    Frame TintScene(const Vector3& tint, const std::array<uint8_t, 3>& painted)
    {
        Restart();
        ztengine::InstanceTransform left;
        left.m_position = Vector3(-3.2f, 0.0f, 4.0f);
        left.m_scale = Vector3(6.4f, 8.0f, 1.0f);
        left.SetBasis(FacingCamera());
        renderer->CreateInstance(Model(m_plane, Material(painted[0], painted[1], painted[2])), left);
        WallBuffer(Material(255, 255, 255), 5.0f, Vector4(tint.x, tint.y, tint.z, 1.0f));
        return Render();
    }

    // A grey floor meeting a grey wall under the midday sun, SSAO on or off.
    Frame SunlitCreaseScene(bool ssao)
    {
        Restart();
        const int32_t grey = Material(200, 200, 200);
        ztengine::InstanceTransform floor;
        floor.m_position = Vector3(0.0f, -1.0f, 4.0f);
        floor.m_scale = Vector3(16.0f, 8.0f, 1.0f);
        floor.SetBasis(FacingUp());
        renderer->CreateInstance(Model(m_plane, grey), floor);
        ztengine::InstanceTransform wall;
        wall.m_position = Vector3(0.0f, 3.0f, 8.0f);
        wall.m_scale = Vector3(16.0f, 8.0f, 1.0f);
        wall.SetBasis(FacingCamera());
        renderer->CreateInstance(Model(m_plane, grey), wall);
        // The sun from behind the camera, high: floor and wall both in its light.
        renderer->GetCurrentEnvironmentRef().m_lightDirection = Vector3(0.0f, -1.0f, 1.0f).Normalized();
        renderer->m_directionalLightEnabled = true;
        renderer->m_ssaoEnabled = ssao;
        return Render();
    }

    // A white box under a slanted sun, seen from above and in front: the unit cube stretched by
    // `scale` and turned by `basis`, its middle at kBoxCentre, a model instance or the one
    // instance of an instance buffer (whose basis then carries the stretch).
    static constexpr Vector3 kBoxCentre{0.0f, -0.5f, 8.0f};
    static Vector3 SunDirection() { return Vector3(0.5f, -1.0f, 0.25f).Normalized(); }
    static ztmath::Basis TurnedAndTilted()
    {
        ztmath::Basis basis;
        basis.Yaw(30.0f);
        basis.Pitch(15.0f);
        return basis;
    }
    Frame SunlitBoxScene(const Vector3& scale, const ztmath::Basis& basis, bool onBuffer)
    {
        Restart();
        ztmath::Basis camera;
        camera.SetForward(Vector3(0.0f, -10.0f, 14.0f).Normalized());
        renderer->SetCameraBasis(camera);
        renderer->SetCameraPosition(Vector3(0.0f, 10.0f, -6.0f));
        const int32_t white = Material(255, 255, 255);
        if (onBuffer) {
            ztmath::Basis stretched = basis;
            stretched.right = basis.right * scale.x;
            stretched.up = basis.up * scale.y;
            stretched.forward = basis.forward * scale.z;
            // Mesh 0 (m_cube) cannot hold an instance buffer.
            const int32_t key = renderer->CreateInstanceBuffer(renderer->CreateCubeMesh(), 1, white);
            EXPECT_TRUE(renderer->AddInstanceToBuffer(static_cast<uint32_t>(key), kBoxCentre, stretched, 1.0f, {}));
        } else {
            ztengine::InstanceTransform transform;
            transform.m_position = kBoxCentre;
            transform.m_scale = scale;
            transform.SetBasis(basis);
            renderer->CreateInstance(Model(m_cube, white), transform);
        }
        renderer->GetCurrentEnvironmentRef().m_lightDirection = SunDirection();
        // Nothing here casts a shadow on anything else; without the map, its texels of a tenth
        // of a unit at this size cannot streak the wide top.
        renderer->EnableShadows(false);
        renderer->m_directionalLightEnabled = true;
        return Render();
    }

    std::unique_ptr<ztengine::GLRenderer3D> renderer;
    std::filesystem::path m_folder;
    int32_t m_cube = -1;
    int32_t m_plane = -1;
};

TEST_F(FrameColourTest, ClearAndFogColoursShowAsTheSettingsNameThem)
{
    // Nothing drawn: the background is the clear colour (0.4, 0.4, 0.6) as named.
    ExpectShown(Centre(Render()), Vector3(102.0f, 102.0f, 153.0f));

    // Fog thick enough to hide the wall shows its own colour as named: 0.5 shows as 128.
    const Vector3 fog(0.5f, 0.25f, 0.75f);
    ExpectShown(Centre(FogScene(fog, 0.2f, 60.0f)), Vector3(128.0f, 64.0f, 191.0f));
}

TEST_F(FrameColourTest, FogMovesDistantPixelsTowardItsColourByTheDensity)
{
    // visibility = exp(-(distance x density)^gradient); the pixel is the fog colour mixed with
    // the black wall by it, in linear light.
    const Vector3 fog(0.5f, 0.5f, 0.5f);
    const float density = 0.03f;
    float previous = -1.0f;
    for (float distance : {2.0f, 10.0f, 25.0f, 60.0f}) {
        SCOPED_TRACE(distance);
        const float visibility = std::exp(-std::pow(distance * density, 1.5f));
        const float linear = std::pow(0.5f, kGamma) * (1.0f - visibility);
        const zttest::Rgba pixel = Centre(FogScene(fog, density, distance));
        ExpectShown(pixel, Vector3(Encoded(linear), Encoded(linear), Encoded(linear)), 2.0f);
        EXPECT_GT(pixel[0], previous);
        previous = pixel[0];
    }
}

TEST_F(FrameColourTest, TheSameTintLooksTheSameOnModelsAndInstanceBuffers)
{
    // Tinting a white surface by a colour shows what a texture painted in that colour shows, on
    // either path; a full-strength model tint shows the colour itself.
    struct Case {
        const char* name;
        Vector3 tint;
        uint8_t painted[3];
    };
    const Case cases[] = {
        {"grey 0.5", Vector3(0.5f, 0.5f, 0.5f), {128, 128, 128}},
        {"orange", Vector3(1.0f, 0.5f, 0.25f), {255, 128, 64}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        const int32_t white = Material(255, 255, 255);
        const int32_t painted = Material(c.painted[0], c.painted[1], c.painted[2]);

        const ztengine::InstanceHandle reference = Wall(painted, 2.0f);
        const zttest::Rgba expected = Centre(Render());
        reference.SetHidden(true);

        const uint32_t buffer = WallBuffer(white, 2.0f, Vector4(c.tint.x, c.tint.y, c.tint.z, 1.0f));
        const zttest::Rgba onBuffer = Centre(Render());
        renderer->SetInstanceBufferHidden(buffer, true);
        ExpectShown(onBuffer, Vector3(expected[0], expected[1], expected[2]), 1.0f);

        // The painted texture on an instance buffer looks as it does on a model.
        const uint32_t paintedBuffer = WallBuffer(painted, 2.0f, Vector4(1.0f, 1.0f, 1.0f, 1.0f));
        ExpectShown(Centre(Render()), Vector3(expected[0], expected[1], expected[2]), 1.0f);
        renderer->SetInstanceBufferHidden(paintedBuffer, true);

        Wall(white, 2.0f).SetTint(Vector4(c.tint.x, c.tint.y, c.tint.z, 1.0f));
        ExpectShown(Centre(Render()), Vector3(Encoded(std::pow(c.tint.x, kGamma)), Encoded(std::pow(c.tint.y, kGamma)),
                                              Encoded(std::pow(c.tint.z, kGamma))));
    }
}

TEST_F(FrameColourTest, APointLightBrightensTheSideFacingItInItsColour)
{
    const Vector3 orange(1.0f, 0.5f, 0.1f);
    const Frame dark = PointLightScene(orange, false);
    const Frame lit = PointLightScene(orange, true);
    // The cube's two visible faces, left and right of its front edge.
    const auto left = PixelOf(Vector3(-0.7f, 0.0f, 4.6f));
    const auto right = PixelOf(Vector3(0.7f, 0.0f, 4.6f));
    const zttest::Rgba litSide = PixelAt(lit, left.first, left.second);
    const zttest::Rgba unlitSide = PixelAt(lit, right.first, right.second);

    // The face turned away keeps the ambient grey; the facing one is brighter.
    EXPECT_EQ(unlitSide, PixelAt(dark, right.first, right.second));
    EXPECT_EQ(unlitSide[0], unlitSide[2]);
    EXPECT_GT(litSide[0], unlitSide[0] + 40);
    // What the light added, in linear light, has the light's colour: green half of red, blue a
    // tenth.
    const zttest::Rgba before = PixelAt(dark, left.first, left.second);
    float added[3];
    for (int c = 0; c < 3; ++c)
        added[c] = Decoded(litSide[static_cast<size_t>(c)]) - Decoded(before[static_cast<size_t>(c)]);
    ASSERT_GT(added[0], 0.1f);
    EXPECT_NEAR(added[1] / added[0], orange.y, 0.05f);
    EXPECT_NEAR(added[2] / added[0], orange.z, 0.05f);
}

TEST_F(FrameColourTest, GpuSkinningMovesTheLimbsBetweenTwoTimesOfOneClip)
{
    const Frame start = SkeletonScene(0.0f, true);
    const Frame quarter = SkeletonScene(0.25f, true);
    // Not animated, the same two times draw the same bind pose: the change comes from skinning.
    EXPECT_EQ(SkeletonScene(0.0f, false), SkeletonScene(0.25f, false));

    const zttest::Rgba background = PixelAt(start, 2, kHeight - 3);
    auto covered = [&](const Frame& frame, int x, int y) {
        const zttest::Rgba p = PixelAt(frame, x, y);
        return std::abs(p[0] - background[0]) + std::abs(p[1] - background[1]) + std::abs(p[2] - background[2]) > 12;
    };
    // Pixels of the figure in each frame, and where only one of the two covers: below the hips
    // (the legs) and above them.
    int figureStart = 0;
    int figureQuarter = 0;
    int movedBelow = 0;
    int movedAbove = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool a = covered(start, x, y);
            const bool b = covered(quarter, x, y);
            figureStart += a ? 1 : 0;
            figureQuarter += b ? 1 : 0;
            if (a != b)
                (y < kHeight / 2 ? movedBelow : movedAbove) += 1;
        }
    }
    // The figure is whole in both (skinning neither lost nor scattered it) ...
    EXPECT_GT(figureStart, 2000);
    EXPECT_NEAR(static_cast<float>(figureQuarter) / static_cast<float>(figureStart), 1.0f, 0.3f);
    // ... and its legs moved: a quarter of the stride later the feet stand elsewhere (about 200
    // pixels change below the hips at this size, almost none above).
    EXPECT_GT(movedBelow, 100) << "above the hips: " << movedAbove;
}

TEST_F(FrameColourTest, SsaoDarkensTheCreaseInSunlight)
{
    const Frame on = SunlitCreaseScene(true);
    const Frame off = SunlitCreaseScene(false);
    // The foot of the wall, up from where it meets the floor: the most darkened pixel of it.
    const auto foot = PixelOf(Vector3(0.0f, -1.0f, 8.0f));
    int darkened = 0;
    for (int y = foot.second; y < foot.second + 12; ++y)
        darkened = std::max(darkened, int(PixelAt(off, foot.first, y)[0]) - int(PixelAt(on, foot.first, y)[0]));
    // The sun carries most of the light there: an occlusion of the ambient term alone would take
    // off less than 10 of 255.
    EXPECT_GT(darkened, 25) << "darkened by " << darkened;
    // Open surfaces keep their light.
    for (const Vector3& open : {Vector3(0.0f, -1.0f, 2.5f), Vector3(0.0f, 3.0f, 8.0f)}) {
        const auto pixel = PixelOf(open);
        EXPECT_NEAR(PixelAt(on, pixel.first, pixel.second)[0], PixelAt(off, pixel.first, pixel.second)[0], 3.0f);
    }
}

TEST_F(FrameColourTest, AStretchedCubeIsLitAsItsTrueNormalsSay)
{
    // The cube's corners carry smooth normals (their corner's direction). Stretched to a slab,
    // its top is all but flat, so the sun lights it evenly and as brightly as the middle of an
    // unstretched cube's top, where the normal stands straight up: a white top facing the sun by
    // `facing` shows the ambient 0.2 plus 0.8 x facing. Normals turned without the inverse of
    // the stretch leave the slab's top curved like the cube's, half of it turned from the sun.
    const Vector3 toSun = -SunDirection();
    auto shownFacing = [&](const Vector3& up) {
        const float facing = std::max(up.Normalized().Dot(toSun), 0.0f);
        return Encoded(0.2f + 0.8f * facing);
    };

    // The reference: the middle of an unstretched cube's top (big enough that a pixel beside
    // the middle leans little).
    const Frame cube = SunlitBoxScene(Vector3(4.0f, 4.0f, 4.0f), ztmath::Basis(), false);
    const auto cubeTop = PixelOf(kBoxCentre + Vector3(0.0f, 2.0f, 0.0f));
    const float expectedFlat = shownFacing(Vector3(0.0f, 1.0f, 0.0f));
    EXPECT_NEAR(PixelAt(cube, cubeTop.first, cubeTop.second)[0], expectedFlat, 3.0f);

    struct Case {
        const char* name;
        Vector3 scale;
        ztmath::Basis basis;
        bool onBuffer;
    };
    const Case cases[] = {
        {"slab", Vector3(20.0f, 1.0f, 20.0f), ztmath::Basis(), false},
        {"slab turned and tilted", Vector3(20.0f, 1.0f, 20.0f), TurnedAndTilted(), false},
        {"long low bar", Vector3(24.0f, 0.5f, 3.0f), ztmath::Basis(), false},
        {"slab on an instance buffer", Vector3(20.0f, 1.0f, 20.0f), ztmath::Basis(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Frame frame = SunlitBoxScene(c.scale, c.basis, c.onBuffer);
        const float expected = shownFacing(c.basis.up);
        // Points of the top half way from its middle toward its edges and corners, where a
        // cube's own normals lean by 25 to 35 degrees. Across the bar its normals truly lean
        // (it is only six times as deep as it is high): it is sampled along its long axis.
        const std::vector<float> across =
            c.scale.z < 10.0f ? std::vector<float>{0.0f} : std::vector<float>{-0.25f, 0.0f, 0.25f};
        const ztmath::Matrix4x4 model =
            ztengine::InstanceTransform{kBoxCentre, c.scale, c.basis}.ToMatrix();
        for (float u : {-0.25f, 0.0f, 0.25f}) {
            for (float v : across) {
                const Vector3 onTop = model.TransformPoint(Vector3(u, 0.5f, v));
                const auto pixel = PixelOf(onTop);
                ASSERT_TRUE(pixel.first >= 0 && pixel.first < kWidth && pixel.second >= 0 && pixel.second < kHeight)
                    << u << ", " << v;
                const zttest::Rgba shown = PixelAt(frame, pixel.first, pixel.second);
                EXPECT_NEAR(shown[0], expected, 3.0f) << "at " << u << ", " << v;
                EXPECT_EQ(shown[0], shown[2]) << "at " << u << ", " << v;
            }
        }
    }
}

TEST_F(FrameColourTest, ContactSheetOfTheChangedPictures)
{
    // Row 1: the clear colour; fog at 10, 25 and 60. Row 2: a texture painted in a colour on a
    // model (left) beside a white instance buffer tinted by it (right), orange and grey; the
    // point light off and on. Row 3: the skeleton at two times of its walk;
    // the sunlit crease without and with SSAO. Row 4: a cube, and the cube stretched to slabs
    // under the sun (a model instance, turned and tilted, on an instance buffer).
    std::vector<Frame> tiles;
    tiles.push_back(Render());
    for (float distance : {10.0f, 25.0f, 60.0f})
        tiles.push_back(FogScene(Vector3(0.5f, 0.5f, 0.5f), 0.03f, distance));
    tiles.push_back(TintScene(Vector3(1.0f, 0.5f, 0.25f), {255, 128, 64}));
    tiles.push_back(TintScene(Vector3(0.5f, 0.5f, 0.5f), {128, 128, 128}));
    tiles.push_back(PointLightScene(Vector3(1.0f, 0.5f, 0.1f), false));
    tiles.push_back(PointLightScene(Vector3(1.0f, 0.5f, 0.1f), true));
    tiles.push_back(SkeletonScene(0.0f, true));
    tiles.push_back(SkeletonScene(0.25f, true));
    tiles.push_back(SunlitCreaseScene(false));
    tiles.push_back(SunlitCreaseScene(true));
    const Vector3 slab(20.0f, 1.0f, 20.0f);
    tiles.push_back(SunlitBoxScene(Vector3(4.0f, 4.0f, 4.0f), ztmath::Basis(), false));
    tiles.push_back(SunlitBoxScene(slab, ztmath::Basis(), false));
    tiles.push_back(SunlitBoxScene(slab, TurnedAndTilted(), false));
    tiles.push_back(SunlitBoxScene(slab, ztmath::Basis(), true));

    constexpr int kColumns = 4;
    const int rows = (static_cast<int>(tiles.size()) + kColumns - 1) / kColumns;
    const int sheetWidth = kColumns * (kWidth + 4);
    const int sheetHeight = rows * (kHeight + 4);
    std::vector<uint8_t> sheet(static_cast<size_t>(sheetWidth) * sheetHeight * 4, 0);
    for (size_t i = 0; i < tiles.size(); ++i) {
        const int column = static_cast<int>(i) % kColumns;
        // The sheet's rows are stored bottom first: the first tiles go to the top.
        const int row = rows - 1 - static_cast<int>(i) / kColumns;
        for (int y = 0; y < kHeight; ++y) {
            const size_t to = (static_cast<size_t>(row * (kHeight + 4) + 2 + y) * sheetWidth +
                               static_cast<size_t>(column * (kWidth + 4) + 2)) * 4;
            std::copy_n(&tiles[i][static_cast<size_t>(y) * kWidth * 4], kWidth * 4, &sheet[to]);
        }
    }
    ASSERT_TRUE(zttest::GLTestContext::SavePng(ColourArtefactDir() / "renderer-colours-contact-sheet.png", sheet,
                                               sheetWidth, sheetHeight));
}

// A drawing test that finds no display must not pass by skipping.
TEST(GLTestWithoutDisplay, FailsRatherThanSkips)
{
    class Probe : public zttest::GLTest {
    public:
        Probe() : GLTest(64, 64) {}
        void TestBody() override {}
        void Start() { SetUp(); }
        void Stop() { TearDown(); }
    };
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display != nullptr ? display : "";
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const std::string savedWayland = wayland != nullptr ? wayland : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing::TestPartResultArray results;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        Probe probe;
        probe.Start();
        probe.Stop();
    }
    if (display != nullptr)
        setenv("DISPLAY", savedDisplay.c_str(), 1);
    if (wayland != nullptr)
        setenv("WAYLAND_DISPLAY", savedWayland.c_str(), 1);

    ASSERT_EQ(results.size(), 1);
    const testing::TestPartResult& result = results.GetTestPartResult(0);
    EXPECT_TRUE(result.fatally_failed());
    EXPECT_FALSE(result.skipped());
    EXPECT_NE(std::string(result.message()).find("no display"), std::string::npos) << result.message();
}

}  // namespace
