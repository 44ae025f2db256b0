// Targets, programs and per-frame steps of SSAO, bloom, motion blur and depth of field, with the
// kernel and sizes they are built from.
#include "core/graphics/glrenderer/PostEffects.h"

#include <GL/glew.h>

#include <algorithm>
#include <charconv>
#include <random>
#include <string>

#include "core/graphics/framework/Graphics3D.h"

namespace ztengine {

namespace {

// The kernel and noise go to GL straight from their arrays as packed float triples.
static_assert(sizeof(ztmath::Vector3) == 3 * sizeof(float));

constexpr int kTileSize = 20;
constexpr int kReconstructSamples = 15;

// Full-screen passes bind no vertex data: the vertex programs make the quad from the index.
void DrawFullScreen()
{
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void BindTexture(GLenum unit, GLuint texture)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void DepthOff()
{
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
}

void DepthOn()
{
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

// A target of one or two float colour attachments of one kind.
bool MakeTarget(FrameBufferObject& target, int width, int height, int attachments, GLint internalFormat,
                GLenum format, bool nearest, int wrapCode)
{
    target.SetSize(width, height);
    for (int i = 0; i < attachments; ++i)
        target.AddColorAttachment(target.CreateAttachmentTexture(internalFormat, format, nearest, wrapCode));
    return target.Create();
}

GLuint Attachment(const FrameBufferObject& target, size_t index)
{
    const std::vector<unsigned int>& colours = target.GetColorAttachments();
    return index < colours.size() ? colours[index] : 0;
}

void AddUniforms(ztgraphics::Shader& program, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        program.AddUniform(name);
}

}  // namespace

// ---- Sizes, kernel, switches and matrices

PostEffectSizes PostEffectSizes::Compute(int width, int height, int renderWidth, int renderHeight)
{
    // A target of no pixels cannot be completed; a window smaller than a tile still gets one.
    const auto atLeastOne = [](int value) { return std::max(value, 1); };
    PostEffectSizes sizes;
    sizes.m_width = width;
    sizes.m_height = height;
    sizes.m_bloomWidth = atLeastOne(width >> 2);
    sizes.m_bloomHeight = atLeastOne(height >> 2);
    sizes.m_tileWidth = atLeastOne(width / kTileSize);
    sizes.m_tileHeight = atLeastOne(height / kTileSize);
    sizes.m_dofBlurWidth = atLeastOne(renderWidth >> 1);
    sizes.m_dofBlurHeight = atLeastOne(renderHeight >> 1);
    sizes.m_renderWidth = renderWidth;
    sizes.m_renderHeight = renderHeight;
    return sizes;
}

SsaoKernel SsaoKernel::Make()
{
    std::mt19937 generator(kSeed);
    const auto draw = [&generator]() { return std::generate_canonical<float, 24>(generator); };
    SsaoKernel kernel;
    for (int i = 0; i < kSampleCount; ++i) {
        const float a = draw();
        const float b = draw();
        const float c = draw();
        ztmath::Vector3 sample(c * 2.0f - 1.0f, b * 2.0f - 1.0f, a);
        // Samples crowd towards the centre so near occluders weigh more.
        const float t = static_cast<float>(i) / static_cast<float>(kSampleCount);
        const float length = sample.Length();
        if (length > 0.0f)
            sample /= length;
        kernel.m_samples[static_cast<size_t>(i)] = sample * (0.1f + 0.9f * t * t);
    }
    for (ztmath::Vector3& noise : kernel.m_noise) {
        const float a = draw();
        const float b = draw();
        noise = ztmath::Vector3(b * 2.0f - 1.0f, a * 2.0f - 1.0f, 0.0f);
    }
    return kernel;
}

std::string SsaoKernel::GlslSamples() const
{
    // The shortest digits that read back as the same float, with a point or exponent so that
    // GLSL takes them as a float.
    const auto literal = [](float value) {
        char digits[32];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof(digits), value);
        std::string text(digits, end.ptr);
        if (text.find_first_of(".e") == std::string::npos)
            text += ".0";
        return text;
    };
    std::string glsl = "const vec3 KERNEL_SAMPLES[" + std::to_string(kSampleCount) + "] = vec3[" +
                       std::to_string(kSampleCount) + "](\n";
    for (size_t i = 0; i < m_samples.size(); ++i) {
        const ztmath::Vector3& sample = m_samples[i];
        glsl += "    vec3(" + literal(sample.x) + ", " + literal(sample.y) + ", " + literal(sample.z) + ")";
        glsl += i + 1 < m_samples.size() ? ",\n" : ");\n";
    }
    return glsl;
}

MotionBlurMatrices ComputeMotionBlurMatrices(const ztmath::Matrix4x4& projection,
                                             const ztmath::Matrix4x4& inverseProjection,
                                             const ztmath::Vector3& previousPosition,
                                             const ztmath::Basis& previousBasis,
                                             const ztmath::Matrix4x4& cameraToWorld)
{
    MotionBlurMatrices matrices;
    matrices.m_previousProjView = projection * ztmath::Matrix4x4::LookAt(previousPosition, previousBasis);
    matrices.m_inverseViewProj = cameraToWorld * inverseProjection;
    return matrices;
}

float DepthOfFieldDistance(float focalRange, float focalPercent)
{
    return focalRange * focalPercent;
}

// ---- SeparableBlur

void SeparableBlur::Init(int targetWidth, int targetHeight)
{
    m_horizontal.SetVertexShader("shaders/blurHorizontal.vert");
    m_horizontal.SetFragmentShader("shaders/blur.frag");
    AddUniforms(m_horizontal, {"targetWidth", "sceneTexture"});
    m_vertical.SetVertexShader("shaders/blurVertical.vert");
    m_vertical.SetFragmentShader("shaders/blur.frag");
    AddUniforms(m_vertical, {"targetHeight", "sceneTexture"});

    if (m_horizontal.Link() != 0) {
        m_horizontal.Use();
        m_horizontal.SetFloat("targetWidth", static_cast<float>(targetWidth));
        m_horizontal.SetInt("sceneTexture", 0);
    }
    if (m_vertical.Link() != 0) {
        m_vertical.Use();
        m_vertical.SetFloat("targetHeight", static_cast<float>(targetHeight));
        m_vertical.SetInt("sceneTexture", 0);
    }
    ztgraphics::Shader::Unuse();
}

void SeparableBlur::Release()
{
    m_horizontal.Destroy();
    m_vertical.Destroy();
}

void SeparableBlur::DrawHorizontal(uint32_t texture) const
{
    Draw(m_horizontal, texture);
}

void SeparableBlur::DrawVertical(uint32_t texture) const
{
    Draw(m_vertical, texture);
}

void SeparableBlur::Draw(const ztgraphics::Shader& program, uint32_t texture) const
{
    DepthOff();
    program.Use();
    BindTexture(0, texture);
    DrawFullScreen();
    DepthOn();
}

// ---- PostEffects

bool PostEffects::Init(int width, int height, int renderWidth, int renderHeight,
                       const PostEffectInputs& inputs)
{
    if (m_initialised)
        Release();
    m_sizes = PostEffectSizes::Compute(width, height, renderWidth, renderHeight);
    m_inputs = inputs;
    m_kernel = SsaoKernel::Make();

    glGenVertexArrays(1, &m_emptyVao);

    // The 4 x 4 rotation noise, repeated over the screen.
    glGenTextures(1, &m_noiseTexture);
    glBindTexture(GL_TEXTURE_2D, m_noiseTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, SsaoKernel::kNoiseSize, SsaoKernel::kNoiseSize, 0, GL_RGB,
                 GL_FLOAT, m_kernel.m_noise.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);

    const bool complete = InitTargets();
    InitPrograms();
    m_initialised = true;
    return complete;
}

bool PostEffects::InitTargets()
{
    const PostEffectSizes& s = m_sizes;
    constexpr int kRepeat = 0;
    constexpr int kEdge = FrameBufferObject::kWrapClampToEdge;
    bool complete = true;
    complete &= MakeTarget(m_ssaoRaw, s.m_width, s.m_height, 1, GL_R8, GL_RED, true, kRepeat);
    complete &= MakeTarget(m_ssaoBlur, s.m_width, s.m_height, 1, GL_RED, GL_RGB, true, kRepeat);
    complete &= MakeTarget(m_bloomBlur, s.m_bloomWidth, s.m_bloomHeight, 2, GL_RGBA16F, GL_RGBA, false, kEdge);
    complete &= MakeTarget(m_bloomOut, s.m_width, s.m_height, 1, GL_RGBA16F, GL_RGBA, false, kEdge);
    complete &= MakeTarget(m_velocity, s.m_width, s.m_height, 2, GL_RGBA16F, GL_RGBA, true, kRepeat);
    complete &= MakeTarget(m_tileMax, s.m_tileWidth, s.m_tileHeight, 1, GL_RGBA16F, GL_RGBA, true, kRepeat);
    complete &= MakeTarget(m_neighbourMax, s.m_tileWidth, s.m_tileHeight, 1, GL_RGBA16F, GL_RGBA, true, kRepeat);
    complete &= MakeTarget(m_motionBlurOut, s.m_width, s.m_height, 1, GL_RGBA16F, GL_RGBA, true, kRepeat);
    complete &= MakeTarget(m_dofBlur, s.m_dofBlurWidth, s.m_dofBlurHeight, 2, GL_RGBA16, GL_RGBA, false, kEdge);
    complete &= MakeTarget(m_dofOut, s.m_renderWidth, s.m_renderHeight, 1, GL_RGBA16F, GL_RGBA, false, kRepeat);
    // Every pixel of these is written by a full-screen pass (no discard, no blending) before
    // anything reads it: a clear first would be filled over at once. The raw occlusion is the
    // exception: its pass discards pixels with nothing to occlude, and RunSsao clears it to open.
    for (FrameBufferObject* target : {&m_ssaoRaw, &m_ssaoBlur, &m_bloomBlur, &m_bloomOut, &m_velocity, &m_tileMax,
                                      &m_neighbourMax, &m_motionBlurOut, &m_dofBlur, &m_dofOut})
        target->SetClearOnBegin(false, false);
    return complete;
}

void PostEffects::InitPrograms()
{
    // SSAO and its blur.
    m_ssao.SetVertexShader("shaders/ssao.vert");
    m_ssao.SetFragmentShader("shaders/ssao.frag");
    // The fragment stage reads the kernel as literals; the vertex stage tests it against the
    // allowance from the uniform.
    m_ssao.SetStageHeader(ztgraphics::ShaderStage::Fragment, m_kernel.GlslSamples());
    m_ssao.BindOutput(0, "fragColor");
    AddUniforms(m_ssao, {"nearPlane", "farPlane", "depthMap", "normalMap", "posMap", "noiseMap", "radius",
                         "strength", "dotAllowance", "samples", "projMat", "noiseVec"});
    if (m_ssao.Link() != 0) {
        m_ssao.Use();
        m_ssao.SetInt("depthMap", 0);
        m_ssao.SetInt("normalMap", 1);
        m_ssao.SetInt("posMap", 2);
        m_ssao.SetInt("noiseMap", 3);
        m_ssao.SetFloat("dotAllowance", 0.0f);
        glUniform3fv(m_ssao.GetUniformLocation("samples"), SsaoKernel::kSampleCount,
                     &m_kernel.m_samples[0].x);
        m_ssao.SetVec2("noiseVec", static_cast<float>(m_sizes.m_width) / SsaoKernel::kNoiseSize,
                       static_cast<float>(m_sizes.m_height) / SsaoKernel::kNoiseSize);
    }
    m_ssaoBlurProgram.SetVertexShader("shaders/ssao_blur.vert");
    m_ssaoBlurProgram.SetFragmentShader("shaders/ssao_blur.frag");
    m_ssaoBlurProgram.BindOutput(0, "fragColor");
    m_ssaoBlurProgram.AddUniform("ssaoInput");
    if (m_ssaoBlurProgram.Link() != 0) {
        m_ssaoBlurProgram.Use();
        m_ssaoBlurProgram.SetInt("ssaoInput", 0);
    }

    // Bloom: the quarter-size blur pair and the combine.
    m_bloom.SetVertexShader("shaders/bloomFilter.vert");
    m_bloom.SetFragmentShader("shaders/bloomFilter.frag");
    m_bloom.BindOutput(0, "fragOut");
    AddUniforms(m_bloom, {"sceneTexture", "bloomBlurMap", "bloomIntensity"});
    if (m_bloom.Link() != 0) {
        m_bloom.Use();
        m_bloom.SetInt("sceneTexture", 0);
        m_bloom.SetInt("bloomBlurMap", 1);
    }
    m_bloomBlurPair.Init(m_sizes.m_bloomWidth, m_sizes.m_bloomHeight);

    // Motion blur: velocity, tile max, neighbour max, reconstruct.
    m_velocityProgram.SetVertexShader("shaders/motion_blur.vert");
    m_velocityProgram.SetFragmentShader("shaders/motion_blur.frag");
    m_velocityProgram.BindOutput(0, "fragOut");
    m_velocityProgram.BindOutput(1, "velocityOut");
    AddUniforms(m_velocityProgram, {"prevProjViewMat", "inverseViewProj", "blurScale", "depthMap", "sceneTexture"});
    if (m_velocityProgram.Link() != 0) {
        m_velocityProgram.Use();
        m_velocityProgram.SetInt("depthMap", 0);
        m_velocityProgram.SetInt("sceneTexture", 1);
    }
    m_tileMaxProgram.SetVertexShader("shaders/motion_blur.vert");
    m_tileMaxProgram.SetFragmentShader("shaders/motion_blur_tilemax.frag");
    AddUniforms(m_tileMaxProgram, {"velocityTexture", "tileSize"});
    if (m_tileMaxProgram.Link() != 0) {
        m_tileMaxProgram.Use();
        m_tileMaxProgram.SetInt("velocityTexture", 0);
        m_tileMaxProgram.SetInt("tileSize", kTileSize);
    }
    m_neighbourMaxProgram.SetVertexShader("shaders/motion_blur.vert");
    m_neighbourMaxProgram.SetFragmentShader("shaders/motion_blur_neighbormax.frag");
    m_neighbourMaxProgram.AddUniform("tileMaxTexture");
    if (m_neighbourMaxProgram.Link() != 0) {
        m_neighbourMaxProgram.Use();
        m_neighbourMaxProgram.SetInt("tileMaxTexture", 0);
    }
    m_reconstruct.SetVertexShader("shaders/motion_blur.vert");
    m_reconstruct.SetFragmentShader("shaders/motion_blur_reconstruct.frag");
    AddUniforms(m_reconstruct, {"sceneTexture", "depthTexture", "velocityTexture", "neighbourMaxTexture",
                                "sceneNormalTexture", "K", "S"});
    if (m_reconstruct.Link() != 0) {
        m_reconstruct.Use();
        m_reconstruct.SetInt("sceneTexture", 0);
        m_reconstruct.SetInt("depthTexture", 1);
        m_reconstruct.SetInt("velocityTexture", 2);
        m_reconstruct.SetInt("neighbourMaxTexture", 3);
        m_reconstruct.SetInt("sceneNormalTexture", 4);
    }

    // Depth of field: the half-render-size blur pair and the mix.
    m_dofBlurPair.Init(m_sizes.m_dofBlurWidth, m_sizes.m_dofBlurHeight);
    m_depthOfField.SetVertexShader("shaders/dof_filter.vert");
    m_depthOfField.SetFragmentShader("shaders/dof_filter.frag");
    m_depthOfField.BindOutput(0, "fragOut");
    AddUniforms(m_depthOfField, {"distance", "range", "zNear", "zFar", "sceneTexture", "blurTexture", "depthTexture"});
    if (m_depthOfField.Link() != 0) {
        m_depthOfField.Use();
        m_depthOfField.SetInt("sceneTexture", 0);
        m_depthOfField.SetInt("blurTexture", 1);
        m_depthOfField.SetInt("depthTexture", 2);
    }
    ztgraphics::Shader::Unuse();
}

void PostEffects::Release()
{
    if (!m_initialised)
        return;
    for (ztgraphics::Shader* program : {&m_ssao, &m_ssaoBlurProgram, &m_bloom, &m_velocityProgram,
                                        &m_tileMaxProgram, &m_neighbourMaxProgram, &m_reconstruct,
                                        &m_depthOfField})
        program->Destroy();
    m_bloomBlurPair.Release();
    m_dofBlurPair.Release();
    for (FrameBufferObject* target : {&m_ssaoRaw, &m_ssaoBlur, &m_bloomBlur, &m_bloomOut, &m_velocity,
                                      &m_tileMax, &m_neighbourMax, &m_motionBlurOut, &m_dofBlur, &m_dofOut}) {
        target->Destroy(true);
        *target = FrameBufferObject();
    }
    glDeleteTextures(1, &m_noiseTexture);
    glDeleteVertexArrays(1, &m_emptyVao);
    m_noiseTexture = 0;
    m_emptyVao = 0;
    m_initialised = false;
}

uint32_t PostEffects::RunSsao(const ztmath::Matrix4x4& projection, float radius, float strength,
                              float allowance)
{
    glBindVertexArray(m_emptyVao);
    DepthOff();

    m_ssaoRaw.Begin();
    // What the SSAO program discards (sky, surfaces without a normal) stays fully open.
    const GLfloat open[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glClearBufferfv(GL_COLOR, 0, open);
    BindTexture(0, m_inputs.m_depth);
    BindTexture(1, m_inputs.m_normals);
    BindTexture(2, m_inputs.m_positions);
    BindTexture(3, m_noiseTexture);
    m_ssao.Use();
    m_ssao.SetMatrix4("projMat", projection.data());
    m_ssao.SetFloat("nearPlane", Graphics3D::kNearPlane);
    m_ssao.SetFloat("farPlane", Graphics3D::kFarPlane);
    m_ssao.SetFloat("radius", radius);
    m_ssao.SetFloat("strength", strength);
    m_ssao.SetFloat("dotAllowance", allowance);
    DrawFullScreen();
    m_ssaoRaw.End();

    m_ssaoBlur.Begin();
    BindTexture(0, Attachment(m_ssaoRaw, 0));
    m_ssaoBlurProgram.Use();
    DrawFullScreen();
    m_ssaoBlur.End();

    ztgraphics::Shader::Unuse();
    glBindVertexArray(0);
    DepthOn();
    return GetSsaoTexture();
}

uint32_t PostEffects::RunBloom(float intensity)
{
    glBindVertexArray(m_emptyVao);

    m_bloomBlur.Begin();
    m_bloomBlur.SetDrawBuffers(0, 0);
    m_bloomBlurPair.DrawHorizontal(m_inputs.m_sceneBright);
    m_bloomBlur.SetDrawBuffers(1, 1);
    m_bloomBlurPair.DrawVertical(Attachment(m_bloomBlur, 0));
    m_bloomBlur.End();

    m_bloomOut.Begin();
    BindTexture(0, m_inputs.m_sceneColor);
    BindTexture(1, Attachment(m_bloomBlur, 1));
    DepthOff();
    m_bloom.Use();
    m_bloom.SetFloat("bloomIntensity", intensity);
    DrawFullScreen();
    m_bloomOut.End();

    ztgraphics::Shader::Unuse();
    BindTexture(1, 0);
    BindTexture(0, 0);
    glBindVertexArray(0);
    DepthOn();
    return GetBloomTexture();
}

uint32_t PostEffects::RunMotionBlur(uint32_t image, const MotionBlurMatrices& matrices, float blurScale)
{
    glBindVertexArray(m_emptyVao);
    DepthOff();

    BindTexture(0, m_inputs.m_depth);
    BindTexture(1, image);
    m_velocity.Begin();
    // Only the velocity goes on; the program's copy of the image ("fragOut") is read by no later
    // step, so its attachment is left out of the draw and the copy costs nothing.
    const GLenum velocityOnly[2] = {GL_NONE, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, velocityOnly);
    m_velocityProgram.Use();
    m_velocityProgram.SetMatrix4("prevProjViewMat", matrices.m_previousProjView.data());
    m_velocityProgram.SetMatrix4("inverseViewProj", matrices.m_inverseViewProj.data());
    m_velocityProgram.SetFloat("blurScale", blurScale);
    DrawFullScreen();
    m_velocity.End();

    BindTexture(0, Attachment(m_velocity, 1));
    m_tileMax.Begin();
    m_tileMaxProgram.Use();
    DrawFullScreen();
    m_tileMax.End();

    BindTexture(0, Attachment(m_tileMax, 0));
    m_neighbourMax.Begin();
    m_neighbourMaxProgram.Use();
    DrawFullScreen();
    m_neighbourMax.End();

    BindTexture(0, image);
    BindTexture(1, m_inputs.m_depth);
    BindTexture(2, Attachment(m_velocity, 1));
    BindTexture(3, Attachment(m_neighbourMax, 0));
    // The reconstruct program reads the surface normals; leaving the unit with whatever the
    // frame bound there last would feed it occlusion values instead.
    BindTexture(4, m_inputs.m_normals);
    m_motionBlurOut.Begin();
    m_reconstruct.Use();
    m_reconstruct.SetInt("K", kTileSize);
    m_reconstruct.SetInt("S", kReconstructSamples);
    DrawFullScreen();
    m_motionBlurOut.End();

    for (GLenum unit : {4u, 3u, 2u, 1u, 0u})
        BindTexture(unit, 0);
    ztgraphics::Shader::Unuse();
    glBindVertexArray(0);
    DepthOn();
    return GetMotionBlurTexture();
}

uint32_t PostEffects::RunDepthOfField(uint32_t image, float focalRange, float focalPercent)
{
    glBindVertexArray(m_emptyVao);

    m_dofBlur.Begin();
    m_dofBlur.SetDrawBuffers(0, 0);
    m_dofBlurPair.DrawHorizontal(image);
    m_dofBlur.SetDrawBuffers(1, 1);
    m_dofBlurPair.DrawVertical(Attachment(m_dofBlur, 0));
    m_dofBlur.End();

    BindTexture(0, image);
    BindTexture(1, Attachment(m_dofBlur, 1));
    BindTexture(2, m_inputs.m_depth);
    m_dofOut.Begin();
    DepthOff();
    m_depthOfField.Use();
    m_depthOfField.SetFloat("distance", DepthOfFieldDistance(focalRange, focalPercent));
    m_depthOfField.SetFloat("range", focalRange);
    m_depthOfField.SetFloat("zNear", Graphics3D::kNearPlane);
    m_depthOfField.SetFloat("zFar", Graphics3D::kFarPlane);
    DrawFullScreen();
    DepthOn();
    m_dofOut.End();

    for (GLenum unit : {2u, 1u, 0u})
        BindTexture(unit, 0);
    ztgraphics::Shader::Unuse();
    glBindVertexArray(0);
    return GetDepthOfFieldTexture();
}

uint32_t PostEffects::GetSsaoTexture() const
{
    return Attachment(m_ssaoBlur, 0);
}

uint32_t PostEffects::GetBloomTexture() const
{
    return Attachment(m_bloomOut, 0);
}

uint32_t PostEffects::GetMotionBlurTexture() const
{
    return Attachment(m_motionBlurOut, 0);
}

uint32_t PostEffects::GetDepthOfFieldTexture() const
{
    return Attachment(m_dofOut, 0);
}

}  // namespace ztengine
