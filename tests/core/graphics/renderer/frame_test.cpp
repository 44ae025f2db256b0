// The deferred frame under a real context: a 1280 x 800 picture of the demo scene with its
// pixels checked (sun shadows, sky, hidden and non-casting instances, debug wireframes) and saved
// under build/<dir>/test-artefacts/, plus the programs' uniforms, the bloom source, the tint, the
// light program's inputs under each switch, the motion-blur camera, the sky box's cube maps, the
// blend-map bake and the debug drawer's GL state.
#include <gtest/gtest.h>

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "DemoScene.h"
#include "RendererTestUtil.h"
#include "core/graphics/GLRenderer3D.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

using ztengine::GLRenderer3D;
using ztmath::Vector3;

std::filesystem::path ArtefactDir()
{
    return std::filesystem::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts";
}

class FrameTest : public zttest::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        width = m_gl->Width();
        height = m_gl->Height();
        initOutput = zttest::CaptureStdout([&] { renderer.Init(width, height, width, height); });
    }

    void TearDown() override
    {
        if (m_gl)
            renderer.Shutdown();
        GLTest::TearDown();
    }

    ztmath::Vector3 Pixel(const Vector3& world) { return renderertest::WorldToPixel(renderer, world, width, height); }

    // Mean brightness (0 to 255) of a 9 x 9 patch around the window pixel of a world point.
    float Brightness(const Vector3& world)
    {
        const Vector3 p = Pixel(world);
        const int x = static_cast<int>(p.x) - 4;
        const int y = static_cast<int>(p.y) - 4;
        const std::vector<uint8_t> patch = zttest::GLTestContext::ReadPixels(x, y, 9, 9);
        float sum = 0.0f;
        for (size_t i = 0; i < patch.size(); i += 4)
            sum += (patch[i] + patch[i + 1] + patch[i + 2]) / 3.0f;
        return sum / 81.0f;
    }

    GLRenderer3D renderer;
    std::string initOutput;
    int width = 0;
    int height = 0;
};

size_t CountColour(const std::vector<uint8_t>& frame, const zttest::Rgba& colour)
{
    size_t count = 0;
    for (size_t i = 0; i < frame.size(); i += 4) {
        if (frame[i] == colour[0] && frame[i + 1] == colour[1] && frame[i + 2] == colour[2])
            ++count;
    }
    return count;
}

TEST_F(FrameTest, StartUpBuildsEveryProgramWithEveryUniform)
{
    EXPECT_EQ(initOutput.find("uniform location not found"), std::string::npos) << initOutput;
    EXPECT_EQ(initOutput.find("not found"), std::string::npos) << initOutput;
    EXPECT_EQ(initOutput.find("incomplete"), std::string::npos) << initOutput;

    // A uniform set with the wrong kind of call is dropped without a word: compare each one the
    // frame sets with the type the program declares.
    struct Program {
        const char* name;
        const ztgraphics::Shader* shader;
        std::map<std::string, GLenum> types;
    };
    const std::map<std::string, GLenum> geometryShared = {
        {"diffuseMap", GL_SAMPLER_2D}, {"specularMap", GL_SAMPLER_2D}, {"normalMap", GL_SAMPLER_2D},
        {"dispMap", GL_SAMPLER_2D},    {"gamma", GL_FLOAT},             {"effectsMask", GL_FLOAT},
        {"enableParallaxMap", GL_INT}, {"near", GL_FLOAT},              {"far", GL_FLOAT},
        {"tint", GL_FLOAT_VEC4},       {"viewMat", GL_FLOAT_MAT4},     {"blackCutOut", GL_FLOAT}};
    auto with = [](std::map<std::string, GLenum> base, std::map<std::string, GLenum> more) {
        base.insert(more.begin(), more.end());
        return base;
    };
    const Program programs[] = {
        {"geometry", &renderer.GetGeometryPrograms().plain,
         with(geometryShared, {{"mvpMat", GL_FLOAT_MAT4}, {"normalMat", GL_FLOAT_MAT4},
                               {"textureMultiplier", GL_FLOAT_VEC2}, {"bones", GL_FLOAT_MAT4}, {"hasBones", GL_INT}})},
        {"instanced geometry", &renderer.GetGeometryPrograms().instanced,
         with(geometryShared, {{"numberOfRows", GL_FLOAT}, {"projMat", GL_FLOAT_MAT4}, {"enableFakeLighting", GL_INT}})},
        {"shadow", &renderer.GetShadowPrograms().plain,
         {{"lightMVP", GL_FLOAT_MAT4}, {"bones", GL_FLOAT_MAT4}, {"hasBones", GL_INT}}},
        {"instanced shadow", &renderer.GetShadowPrograms().instanced, {{"lightVP", GL_FLOAT_MAT4}}},
        {"light", &renderer.GetLightProgram().program,
         {{"lightDir", GL_FLOAT_VEC3},      {"lightIntensity", GL_FLOAT_VEC3}, {"depthMap", GL_SAMPLER_2D},
          {"positionsMap", GL_SAMPLER_2D},  {"normalsMap", GL_SAMPLER_2D},     {"materialsMap", GL_SAMPLER_2D},
          {"ambientMap", GL_SAMPLER_2D},    {"tintMap", GL_SAMPLER_2D},        {"shadowMap", GL_SAMPLER_2D},
          {"bloomEnabled", GL_INT},         {"ssaoEnabled", GL_INT},           {"bloomThreshold", GL_FLOAT_VEC3},
          {"inverseViewMat", GL_FLOAT_MAT4}, {"enableFog", GL_INT},            {"fogColor", GL_FLOAT_VEC3},
          {"fogGradient", GL_FLOAT},        {"fogDensity", GL_FLOAT},          {"pointLights", GL_FLOAT_VEC4},
          {"pointLightsColor", GL_FLOAT_VEC4}, {"numPointLights", GL_INT},     {"enableDirectionalLight", GL_INT},
          {"shadowsEnabled", GL_INT},       {"dLightVP", GL_FLOAT_MAT4}}},
        {"sky box", &renderer.GetSkyboxProgram().program,
         {{"gWVP", GL_FLOAT_MAT4}, {"blendFactor", GL_FLOAT}, {"sky0", GL_SAMPLER_CUBE}, {"sky1", GL_SAMPLER_CUBE},
          {"gamma", GL_FLOAT}, {"inverseProjMat", GL_FLOAT_MAT4}}},
        {"final quad", &renderer.GetFinalQuadProgram().program,
         {{"pvMat", GL_FLOAT_MAT4}, {"textureSampler", GL_SAMPLER_2D}, {"gamma", GL_FLOAT}}},
        {"debug", &renderer.GetGLDebugDraw().GetProgram(), {{"mvp", GL_FLOAT_MAT4}, {"color", GL_FLOAT_VEC3}}},
        {"blend map", &renderer.GetBlendMapBaker().GetProgram(),
         {{"tilingFactor", GL_FLOAT_VEC2}, {"blendMap", GL_SAMPLER_2D}, {"backgroundMap", GL_SAMPLER_2D},
          {"color0Map", GL_SAMPLER_2D}, {"color1Map", GL_SAMPLER_2D}, {"color2Map", GL_SAMPLER_2D}}},
    };
    for (const Program& program : programs) {
        SCOPED_TRACE(program.name);
        const GLuint id = program.shader->GetProgram();
        ASSERT_NE(id, 0u);
        // Every name the program registers is checked, and every checked name is registered.
        EXPECT_EQ(program.shader->GetUniformNames().size(), program.types.size());
        GLint active = 0;
        glGetProgramiv(id, GL_ACTIVE_UNIFORMS, &active);
        std::map<std::string, GLenum> declared;
        for (GLint i = 0; i < active; ++i) {
            char name[128] = {};
            GLint size = 0;
            GLenum type = 0;
            glGetActiveUniform(id, static_cast<GLuint>(i), sizeof(name), nullptr, &size, &type, name);
            std::string text = name;
            if (const size_t bracket = text.find('['); bracket != std::string::npos)
                text.resize(bracket);
            declared[text] = type;
        }
        for (const auto& [name, type] : program.types) {
            ASSERT_TRUE(declared.count(name)) << name;
            EXPECT_EQ(declared[name], type) << name;
        }
    }
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(FrameTest, TheDemoSceneIsLitShadowedAndDrawnUnderTheDebugShapes)
{
    renderertest::DemoScene scene;
    scene.Build(renderer);
    // Only the post effects' inputs are compared here, not their looks: keep them out.
    renderer.SetEffectsMask(1);
    renderer.m_ssaoEnabled = false;
    renderer.RenderFrame(0.016f);
    renderer.RenderFrame(0.016f);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
    const std::vector<uint8_t> frame = m_gl->ReadFrame();

    // The skeleton was posed: one matrix per bone.
    EXPECT_GT(scene.skeletonBones, 0u);
    EXPECT_EQ(scene.skeleton.GetInstanceConst().m_boneMatrices.size(), scene.skeletonBones);
    EXPECT_TRUE(scene.hiddenCaster.GetInstanceConst().m_boneMatrices.empty());

    // The same frame without shadows tells the sun's shadows from the grass's own dark patches.
    std::map<const char*, float> shadowed;
    std::map<const char*, float> unshadowed;
    const Vector3 casterShadow = scene.ShadowOnGround(renderertest::DemoScene::CasterPosition());
    const Vector3 hiddenShadow = scene.ShadowOnGround(renderertest::DemoScene::HiddenCasterPosition());
    const Vector3 noShadow = scene.ShadowOnGround(renderertest::DemoScene::NoShadowCasterPosition());
    const Vector3 aside(0.0f, 0.0f, -3.0f);
    const std::pair<const char*, Vector3> spots[] = {
        {"caster shadow", casterShadow},  {"beside caster shadow", casterShadow + aside},
        {"hidden shadow", hiddenShadow},  {"beside hidden shadow", hiddenShadow + aside},
        {"no-shadow spot", noShadow},     {"beside no-shadow spot", noShadow + aside},
        {"caster", renderertest::DemoScene::CasterPosition()},
        {"no-shadow caster", renderertest::DemoScene::NoShadowCasterPosition()},
    };
    for (const auto& [name, world] : spots)
        shadowed[name] = Brightness(world);
    renderer.EnableShadows(false);
    renderer.RenderFrame(0.016f);
    for (const auto& [name, world] : spots)
        unshadowed[name] = Brightness(world);
    renderer.EnableShadows(true);
    auto ratio = [&](const char* name) { return shadowed[name] / unshadowed[name]; };

    // A point in the sun's shadow is darker than its lit neighbour.
    EXPECT_LT(ratio("caster shadow"), 0.7f) << shadowed["caster shadow"] << " / " << unshadowed["caster shadow"];
    EXPECT_GT(ratio("beside caster shadow"), 0.95f);
    EXPECT_LT(ratio("caster shadow"), 0.75f * ratio("beside caster shadow"));
    // A hidden crate casts nothing.
    EXPECT_GT(ratio("hidden shadow"), 0.95f);
    // A crate with shadow casting off leaves the ground lit and keeps its colour.
    EXPECT_GT(ratio("no-shadow spot"), 0.95f);
    EXPECT_GT(shadowed["no-shadow caster"], 30.0f);
    EXPECT_NEAR(ratio("no-shadow caster"), 1.0f, 0.05f);
    // ... and casts again once its flag is back, looking just as before.
    scene.noShadowCaster.GetInstance().m_castShadow = 1;
    renderer.RenderFrame(0.016f);
    EXPECT_LT(Brightness(noShadow), 0.7f * unshadowed["no-shadow spot"]);
    EXPECT_NEAR(Brightness(renderertest::DemoScene::NoShadowCasterPosition()), shadowed["no-shadow caster"],
                0.05f * shadowed["no-shadow caster"]);
    scene.noShadowCaster.GetInstance().m_castShadow = 0;
    renderer.RenderFrame(0.016f);
    EXPECT_EQ(m_gl->ReadFrame(), frame);

    // The sky box fills the top of the picture: blue between its clouds, nowhere the clear
    // colour; it feeds no bloom.
    int blueSamples = 0;
    for (int x = 4; x < width; x += width / 32) {
        const zttest::Rgba sky = zttest::GLTestContext::ReadPixel(x, height - 4);
        blueSamples += sky[2] > sky[0] + 20 ? 1 : 0;
        EXPECT_NE(sky, (zttest::Rgba{102, 102, 153, 255})) << "at x " << x;
    }
    EXPECT_GE(blueSamples, 8);
    float bright[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer.GetLightPass().GetSceneTarget().GetId());
    glReadBuffer(GL_COLOR_ATTACHMENT1);
    glReadPixels(width / 2, height - 4, 1, 1, GL_RGBA, GL_FLOAT, bright);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    EXPECT_EQ(bright[0] + bright[1] + bright[2], 0.0f);

    // Debug wireframes over the finished frame, in a colour the scene does not have.
    const zttest::Rgba green{0, 255, 0, 255};
    EXPECT_EQ(CountColour(frame, green), 0u);
    ztengine::DebugDraw& drawer = renderer.GetDebugDraw();
    drawer.BeginPass();
    drawer.SetColor(Vector3(0.0f, 1.0f, 0.0f));
    drawer.DrawBox(renderertest::DemoScene::CasterPosition(), ztmath::Quaternion(), Vector3(2.0f, 2.0f, 2.0f));
    drawer.DrawSphere(Vector3(8.0f, 0.75f, 6.0f), 1.5f, ztmath::Quaternion());
    drawer.DrawLine(Vector3(-8.0f, 0.1f, -4.0f), Vector3(8.0f, 0.1f, -4.0f));
    drawer.DrawTriangle(renderertest::DemoScene::NoShadowCasterPosition() + Vector3(0.0f, 2.0f, 0.0f),
                        ztmath::Quaternion(), Vector3(1.0f, 1.0f, 1.0f));
    drawer.EndPass();
    GLint polygonMode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL);
    const std::vector<uint8_t> withDebug = m_gl->ReadFrame();
    EXPECT_GT(CountColour(withDebug, green), 2000u);
    // Wireframes, not filled shapes: most of the box's picture is still the scene.
    const Vector3 boxCentre = Pixel(renderertest::DemoScene::CasterPosition());
    const std::vector<uint8_t> boxArea =
        zttest::GLTestContext::ReadPixels(static_cast<int>(boxCentre.x) - 20, static_cast<int>(boxCentre.y) - 20, 40, 40);
    EXPECT_GT(CountColour(boxArea, green), 20u);
    EXPECT_LT(CountColour(boxArea, green), 400u);
    // The line across the front: green along its middle.
    const Vector3 lineMiddle = Pixel(Vector3(2.0f, 0.1f, -4.0f));
    bool lineFound = false;
    for (int dy = -2; dy <= 2 && !lineFound; ++dy)
        lineFound = zttest::GLTestContext::ReadPixel(static_cast<int>(lineMiddle.x), static_cast<int>(lineMiddle.y) + dy) == green;
    EXPECT_TRUE(lineFound);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");

    ASSERT_TRUE(zttest::GLTestContext::SavePng(ArtefactDir() / "renderer_frame_1280x800.png", withDebug, width, height));
}

TEST_F(FrameTest, TintsOutshineTheLightAndInstanceBufferTintsMultiply)
{
    // Camera at the origin looking along +z at two planes, left and right; no sun reaches them.
    const int32_t plane = renderer.CreatePlaneMesh(1, 1);
    const int32_t model = renderer.CreateModel(static_cast<uint32_t>(plane), 0);
    ztengine::InstanceTransform transform;
    transform.m_position = Vector3(0.0f, 0.0f, 1.0f);
    transform.m_scale = Vector3(4.0f, 4.0f, 1.0f);
    transform.SetBasis(ztmath::Basis(Vector3(0.0f, 0.0f, -1.0f), Vector3(0.0f, 1.0f, 0.0f), true));
    const ztengine::InstanceHandle instance = renderer.CreateInstance(model, transform);

    instance.SetTint(ztmath::Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    renderer.RenderFrame(0.016f);
    // A full flash is the tint colour as it is, whatever the light.
    EXPECT_EQ(zttest::GLTestContext::ReadPixel(width / 4, height / 4), (zttest::Rgba{255, 0, 0, 255}));
    EXPECT_EQ(zttest::GLTestContext::ReadPixel(3 * width / 4, height / 4), (zttest::Rgba{255, 0, 0, 255}));

    // A fade to black darkens step by step down to black; strength 0 leaves the checkerboard.
    auto litSquare = [&](float fade) {
        instance.SetTint(ztmath::Vector4(0.0f, 0.0f, 0.0f, fade));
        renderer.RenderFrame(0.016f);
        const zttest::Rgba a = zttest::GLTestContext::ReadPixel(width / 4, height / 4);
        const zttest::Rgba b = zttest::GLTestContext::ReadPixel(3 * width / 4, height / 4);
        return std::max(a[0], b[0]);
    };
    const int none = litSquare(0.0f);
    const int half = litSquare(0.5f);
    EXPECT_GT(none, 60);
    EXPECT_LT(half, none);
    EXPECT_GT(half, 0);
    EXPECT_EQ(litSquare(1.0f), 0);

    // An instance buffer's tint multiplies: red keeps only the red of the white squares.
    instance.SetHidden(true);
    renderer.CreateCubeMesh();
    const int32_t bufferMesh = renderer.CreatePlaneMesh(1, 1);
    const int32_t key = renderer.CreateInstanceBuffer(bufferMesh, 1, 0);
    renderer.AddInstanceToBuffer(static_cast<uint32_t>(key), Vector3(0.0f, 0.0f, 1.0f), transform.m_basis, 4.0f, {});
    renderer.SetInstanceBufferTint(static_cast<uint32_t>(key), ztmath::Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    renderer.RenderFrame(0.016f);
    const zttest::Rgba tinted = zttest::GLTestContext::ReadPixel(width / 4, height / 4);
    const zttest::Rgba other = zttest::GLTestContext::ReadPixel(3 * width / 4, height / 4);
    EXPECT_EQ(std::max(tinted[0], other[0]), none);
    EXPECT_EQ(tinted[1] + other[1] + tinted[2] + other[2], 0);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(FrameTest, SkyBoxesLoadBothCrossPicturesAsCubeMaps)
{
    ztengine::Environment& environment = renderer.GetCurrentEnvironmentRef();
    const ztengine::SkyboxHandle sky = environment.CreateSkybox();
    const ztengine::Skybox& skybox = sky.Get();
    for (GLuint cubeMap : {skybox.m_cubeMap0, skybox.m_cubeMap1}) {
        ASSERT_TRUE(glIsTexture(cubeMap));
        glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
        for (GLenum face = GL_TEXTURE_CUBE_MAP_POSITIVE_X; face <= GL_TEXTURE_CUBE_MAP_NEGATIVE_Z; ++face) {
            GLint size = 0;
            GLint format = 0;
            glGetTexLevelParameteriv(face, 0, GL_TEXTURE_WIDTH, &size);
            glGetTexLevelParameteriv(face, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
            EXPECT_EQ(size, 512);  // 1536 / 3
            EXPECT_EQ(format, GL_RGB8);
        }
        GLint wrap = 0;
        glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, &wrap);
        EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    }
    // The first sky's top face is its blue zenith, its bottom face grey ground; the second sky
    // (the final boss's) is dark red above.
    std::vector<uint8_t> top(512 * 512 * 3);
    std::vector<uint8_t> bottom(512 * 512 * 3);
    std::vector<uint8_t> boss(512 * 512 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_CUBE_MAP, skybox.m_cubeMap0);
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_Y, 0, GL_RGB, GL_UNSIGNED_BYTE, top.data());
    glGetTexImage(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0, GL_RGB, GL_UNSIGNED_BYTE, bottom.data());
    glBindTexture(GL_TEXTURE_CUBE_MAP, skybox.m_cubeMap1);
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_Y, 0, GL_RGB, GL_UNSIGNED_BYTE, boss.data());
    const size_t centre = (256 * 512 + 256) * 3;
    EXPECT_GT(top[centre + 2], top[centre] + 40);
    EXPECT_LT(std::abs(bottom[centre + 2] - bottom[centre]), 40);
    EXPECT_GT(boss[centre], boss[centre + 2]);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

    // The frame with the sky box current: the sky above the horizon, in the middle of the picture
    // no longer the clear colour.
    environment.SetCurrentSkybox(sky);
    sky->m_blendFactor = 0.0f;
    // Motion blur would smear the turn the camera just made.
    renderer.SetEffectsMask(1);
    ztmath::Basis up;
    up.SetForward(Vector3(0.0f, 1.0f, 0.01f).Normalized());
    renderer.SetCameraBasis(up);
    renderer.RenderFrame(0.016f);
    const zttest::Rgba zenith = zttest::GLTestContext::ReadPixel(width / 2, height / 2);
    EXPECT_GT(zenith[2], zenith[0] + 40);
    // The final boss drives the blend on to 2: past 1 the second sky deepens, so the sky still
    // changes up to 2 (and stays red) and holds beyond it.
    sky->m_blendFactor = 1.0f;
    renderer.RenderFrame(0.016f);
    const std::vector<uint8_t> second = m_gl->ReadFrame();
    sky->m_blendFactor = 2.0f;
    renderer.RenderFrame(0.016f);
    const std::vector<uint8_t> pushed = m_gl->ReadFrame();
    EXPECT_NE(pushed, second);
    sky->m_blendFactor = 3.0f;
    renderer.RenderFrame(0.016f);
    EXPECT_EQ(m_gl->ReadFrame(), pushed);
    const zttest::Rgba bossZenith = zttest::GLTestContext::ReadPixel(width / 2, height / 2);
    EXPECT_GT(bossZenith[0], bossZenith[2]);

    // Shutdown deletes both cube maps.
    const GLuint first = skybox.m_cubeMap0;
    renderer.Shutdown();
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

int LightUniform(const GLRenderer3D& renderer, const char* name)
{
    const ztgraphics::Shader& light = renderer.GetLightProgram().program;
    GLint value = -12345;
    glGetUniformiv(light.GetProgram(), light.GetUniformLocation(name), &value);
    return value;
}

float LightUniformFloat(const GLRenderer3D& renderer, const char* name)
{
    const ztgraphics::Shader& light = renderer.GetLightProgram().program;
    GLfloat value = -12345.0f;
    glGetUniformfv(light.GetProgram(), light.GetUniformLocation(name), &value);
    return value;
}

TEST_F(FrameTest, TheLightProgramFollowsTheSwitchesAndSimpleLightingKeepsItsInputs)
{
    for (int i = 0; i < 3; ++i)
        renderer.AddPointLight(Vector3(static_cast<float>(i), 0.0f, 5.0f), Vector3(1.0f, 0.5f, 0.0f), 4.0f, 2.0f);
    renderer.m_fogEnabled = true;
    renderer.m_fogDensity = 0.02f;
    renderer.RenderFrame(0.016f);
    EXPECT_EQ(LightUniform(renderer, "numPointLights"), 3);
    EXPECT_EQ(LightUniform(renderer, "shadowsEnabled"), 1);
    EXPECT_EQ(LightUniform(renderer, "enableFog"), 1);
    EXPECT_FLOAT_EQ(LightUniformFloat(renderer, "fogDensity"), 0.02f);
    EXPECT_EQ(LightUniform(renderer, "ssaoEnabled"), 1);
    EXPECT_EQ(LightUniform(renderer, "enableDirectionalLight"), 1);
    // All effects on: depth of field made the picture shown.
    EXPECT_EQ(renderer.GetFinalTexture(), renderer.GetPostEffects().GetDepthOfFieldTexture());

    // Simple lighting: the sun is forced on, SSAO, fog, motion blur and depth of field are off,
    // and point lights and shadow switch keep what the program had.
    renderer.m_simpleLighting = true;
    renderer.m_directionalLightEnabled = false;
    renderer.m_pointLights.clear();
    renderer.EnableShadows(false);
    renderer.RenderFrame(0.016f);
    EXPECT_EQ(LightUniform(renderer, "numPointLights"), 3);
    EXPECT_EQ(LightUniform(renderer, "shadowsEnabled"), 1);
    EXPECT_EQ(LightUniform(renderer, "enableFog"), 0);
    EXPECT_EQ(LightUniform(renderer, "ssaoEnabled"), 0);
    EXPECT_EQ(LightUniform(renderer, "enableDirectionalLight"), 1);
    EXPECT_EQ(renderer.GetFinalTexture(), renderer.GetPostEffects().GetBloomTexture());

    // Back to full lighting: no lights left, no shadows, no sun.
    renderer.m_simpleLighting = false;
    renderer.RenderFrame(0.016f);
    EXPECT_EQ(LightUniform(renderer, "numPointLights"), 0);
    EXPECT_EQ(LightUniform(renderer, "shadowsEnabled"), 0);
    EXPECT_EQ(LightUniform(renderer, "enableDirectionalLight"), 0);

    // Effects mask 1: the bloom output goes straight to the window.
    renderer.SetEffectsMask(1);
    renderer.RenderFrame(0.016f);
    EXPECT_EQ(renderer.GetFinalTexture(), renderer.GetPostEffects().GetBloomTexture());
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

// The shadow pass leaves out what the sun cannot see and skips the map while nothing is in its
// view; a shadow must still go with its last caster and come back with it.
TEST_F(FrameTest, AShadowGoesWithTheLastCasterOutOfTheSunsViewAndComesBackWithIt)
{
    using renderertest::DemoScene;
    ztmath::Basis camera;
    camera.SetForward(Vector3(0.0f, -7.0f, 18.0f).Normalized());
    renderer.SetCameraBasis(camera);
    renderer.SetCameraPosition(Vector3(0.0f, 7.0f, -13.0f));
    const Vector3 light = Vector3(0.5f, -1.0f, 0.3f).Normalized();
    renderer.GetCurrentEnvironmentRef().m_lightDirection = light;
    renderer.SetSunPosition(light * -60.0f);
    renderer.SetShadowProjection(ztmath::Vector4(70.0f, 70.0f, 0.5f, 150.0f));
    renderer.SetEffectsMask(1);
    renderer.m_ssaoEnabled = false;

    // A ground that casts nothing and one crate that does.
    const int32_t plane = renderer.CreatePlaneMesh(1, 1);
    const int32_t grass = renderer.CreateMaterial("textures/diff/green.jpg", nullptr, nullptr, nullptr);
    const int32_t groundModel = renderer.CreateModel(static_cast<uint32_t>(plane), static_cast<uint32_t>(grass));
    const ztmath::Basis facingUp(Vector3(0.0f, 1.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f), true);
    const ztengine::InstanceHandle ground = renderer.CreateInstance(
        groundModel, DemoScene::Placed(Vector3(0.0f, 0.0f, 10.0f), Vector3(60.0f, 60.0f, 1.0f), facingUp));
    ground.GetInstance().m_castShadow = 0;
    const int32_t cube = renderer.CreateCubeMesh();
    const int32_t wood = renderer.CreateMaterial("textures/diff/crate.png", nullptr, nullptr, nullptr);
    const int32_t crateModel = renderer.CreateModel(static_cast<uint32_t>(cube), static_cast<uint32_t>(wood));
    const Vector3 size(DemoScene::kCrateSize, DemoScene::kCrateSize, DemoScene::kCrateSize);
    const ztengine::InstanceHandle crate =
        renderer.CreateInstance(crateModel, DemoScene::Placed(DemoScene::CasterPosition(), size));
    const float t = DemoScene::CasterPosition().y / -light.y;
    const Vector3 shadowSpot = DemoScene::CasterPosition() + light * t;

    renderer.RenderFrame(0.016f);
    const float shadowed = Brightness(shadowSpot);
    // Far beyond the sun's map (and the camera's view).
    crate.GetInstance().m_transform.m_position = Vector3(500.0f, DemoScene::kFloatHeight, 10.0f);
    renderer.RenderFrame(0.016f);
    const float lit = Brightness(shadowSpot);
    EXPECT_LT(shadowed, 0.7f * lit) << "the crate's shadow stayed behind it";
    const std::vector<uint8_t> empty = m_gl->ReadFrame();
    renderer.RenderFrame(0.016f);
    EXPECT_TRUE(m_gl->ReadFrame() == empty) << "a frame with the map left alone looks different";
    // A caster that is not shown brings no shadow either.
    crate.GetInstance().m_transform.m_position = DemoScene::CasterPosition();
    crate.SetHidden(true);
    renderer.RenderFrame(0.016f);
    EXPECT_NEAR(Brightness(shadowSpot), lit, 0.02f * lit);
    crate.SetHidden(false);
    renderer.RenderFrame(0.016f);
    EXPECT_NEAR(Brightness(shadowSpot), shadowed, 0.02f * lit);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(FrameTest, TheMotionBlurCameraMovesOnOnlyAtItsStep)
{
    const Vector3 start = renderer.GetCameraPosition();
    renderer.SetCameraPosition(Vector3(1.0f, 2.0f, 3.0f));
    renderer.RenderFrame(0.001f);
    renderertest::ExpectNear(renderer.GetMotionBlurPosition(), start);
    renderer.RenderFrame(0.02f);
    renderertest::ExpectNear(renderer.GetMotionBlurPosition(), Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_FALSE(renderer.GetMotionBlurClock().IsStep());
}

// A frame hidden behind an opaque full-window picture draws nothing at all, for that one frame
// only, while the motion-blur camera goes on as if it had been drawn.
TEST_F(FrameTest, ACoveredFrameDrawsNothingAndKeepsTheMotionBlurCamera)
{
    renderertest::DemoScene scene;
    scene.Build(renderer);
    renderer.RenderFrame(0.016f);
    const std::vector<uint8_t> drawn = m_gl->ReadFrame();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const std::vector<uint8_t> untouched = m_gl->ReadFrame();
    const uint64_t coveredBefore = renderer.GetCoveredFrameCount();
    renderer.SetCameraPosition(Vector3(1.0f, 2.0f, 3.0f));
    renderer.CoverFrame();
    EXPECT_TRUE(renderer.IsFrameCovered());
    renderer.RenderFrame(0.02f);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
    EXPECT_TRUE(m_gl->ReadFrame() == untouched) << "a covered frame drew into the window";
    EXPECT_EQ(renderer.GetCoveredFrameCount(), coveredBefore + 1);
    EXPECT_FALSE(renderer.IsFrameCovered());
    renderertest::ExpectNear(renderer.GetMotionBlurPosition(), Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_FALSE(renderer.GetMotionBlurClock().IsStep());

    // The mark is spent: the next frame is drawn again.
    renderer.RenderFrame(0.016f);
    EXPECT_EQ(renderer.GetCoveredFrameCount(), coveredBefore + 1);
    EXPECT_FALSE(m_gl->ReadFrame() == untouched);
    EXPECT_EQ(m_gl->ReadFrame().size(), drawn.size());
}

TEST_F(FrameTest, AMissingSkyPictureStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::filesystem::path empty = zttest::MakeTempDir("nosky");
    EXPECT_DEATH(
        {
            std::filesystem::current_path(empty);
            renderer.GetCurrentEnvironmentRef().CreateSkybox();
        },
        "cubeMap0Dir == nullptr");
}

// A uniform colour picture, written for the bake.
std::string WriteColourPng(const std::filesystem::path& path, int width, int height, uint8_t r, uint8_t g, uint8_t b,
                           int splitColumn = -1, uint8_t r2 = 0, uint8_t g2 = 0, uint8_t b2 = 0)
{
    FIBITMAP* dib = FreeImage_Allocate(width, height, 24);
    for (int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib, y);
        for (int x = 0; x < width; ++x) {
            const bool second = splitColumn >= 0 && x >= splitColumn;
            line[x * 3 + FI_RGBA_RED] = second ? r2 : r;
            line[x * 3 + FI_RGBA_GREEN] = second ? g2 : g;
            line[x * 3 + FI_RGBA_BLUE] = second ? b2 : b;
        }
    }
    FreeImage_Save(FIF_PNG, dib, path.string().c_str(), PNG_DEFAULT);
    FreeImage_Unload(dib);
    return path.string();
}

TEST_F(FrameTest, BlendMapsBakeAtTheirOwnSizeIntoANewMaterial)
{
    const std::filesystem::path dir = zttest::MakeTempDir("blendmap");
    // Left half of the blend map red (first tile), right half blue (third tile).
    const std::string blend = WriteColourPng(dir / "blend.png", 16, 16, 255, 0, 0, 8, 0, 0, 255);
    const std::string background = WriteColourPng(dir / "background.png", 8, 8, 255, 255, 255);
    const std::string first = WriteColourPng(dir / "first.png", 8, 8, 0, 255, 0);
    const std::string second = WriteColourPng(dir / "second.png", 8, 8, 255, 0, 255);
    const std::string third = WriteColourPng(dir / "third.png", 8, 8, 0, 0, 255);

    ztengine::BlendMapDescription description;
    description.m_backgroundPath = background.c_str();
    description.m_color0Path = first.c_str();
    description.m_color1Path = second.c_str();
    description.m_color2Path = third.c_str();
    description.m_blendMapPath = blend.c_str();
    description.m_width = 512;
    description.m_height = 256;
    const size_t texturesBefore = renderer.GetTextureLoader().GetTextures().size();
    const int32_t material = renderer.CreateBlendMapMaterial(description, ztmath::Vector2(4.0f, 4.0f), nullptr,
                                                             nullptr, nullptr);
    EXPECT_EQ(material, 1);
    const GLuint baked = renderer.GetMaterial(material).m_diffuseTexture;
    EXPECT_EQ(renderer.GetBlendMapBaker().GetBakedTextures().back(), baked);
    EXPECT_EQ(renderer.GetBlendMapBaker().GetWidth(), 512);
    // The five pictures served the bake only.
    EXPECT_EQ(renderer.GetTextureLoader().GetTextures().size(), texturesBefore);
    EXPECT_EQ(renderer.GetMaterial(material).m_specularTexture, renderer.GetMaterial(0).m_specularTexture);

    glBindTexture(GL_TEXTURE_2D, baked);
    GLint w = 0;
    GLint h = 0;
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 256);
    EXPECT_EQ(format, GL_RGBA32F);
    std::vector<float> texels(512 * 256 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    auto at = [&](int x, int y) { return &texels[(static_cast<size_t>(y) * 512 + x) * 4]; };
    const float* left = at(100, 128);
    const float* right = at(400, 128);
    EXPECT_NEAR(left[0], 0.0f, 0.01f);
    EXPECT_NEAR(left[1], 1.0f, 0.01f);
    EXPECT_NEAR(left[2], 0.0f, 0.01f);
    EXPECT_NEAR(right[0], 0.0f, 0.01f);
    EXPECT_NEAR(right[1], 0.0f, 0.01f);
    EXPECT_NEAR(right[2], 1.0f, 0.01f);

    // The bake left the window as the frame expects it.
    GLint framebuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(framebuffer, 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

}  // namespace
