#pragma once
// The screen-space effects of the deferred frame: ambient occlusion (SSAO) for the light pass,
// then bloom, motion blur and depth of field on the lit image, with the separable blur that bloom
// and depth of field share. Targets and programs are made once at a fixed size.
//
// The renderer wires it as follows:
//   Init: m_postEffects.Init(width, height, renderWidth, renderHeight, inputs) after the light
//     pass, with the G-buffer's depth, positions and normals and the scene target's two colours;
//   frame, with the frame's FramePlan deciding which effects run (bloom always does):
//     step 8  if (plan.ssao) RunSsao(projection, m_ssaoRadius, m_ssaoStrength,
//                                           m_options.m_ssaoAllowance);
//     step 9  the light pass's "ambientMap" = GetSsaoTexture();
//     step 16 image = RunBloom(m_options.m_bloomIntensity);
//     step 17 if (plan.motionBlur) image = RunMotionBlur(image, ComputeMotionBlurMatrices(
//                 projection, inverse projection, remembered position, remembered basis,
//                 camera-to-world matrix of step 11), m_options.m_motionBlurScale);
//     step 18 if (plan.depthOfField) image = RunDepthOfField(image,
//                 m_options.m_dofFocalRange, m_options.m_dofFocalPercent);
//   Shutdown: m_postEffects.Release().
// Each Run leaves the window framebuffer bound, texture unit 0 active and depth test and writes
// on, and returns the texture it produced.
#include <array>
#include <cstdint>
#include <string>

#include "core/graphics/glrenderer/FrameBufferObject.h"
#include "core/graphics/main/Shader.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"

namespace ztengine {

// Sizes of the effect targets for a window of W x H and a render size of RW x RH.
struct PostEffectSizes {
    int m_width = 0;            // W: SSAO, bloom output, motion-blur velocity and output
    int m_height = 0;
    int m_bloomWidth = 0;       // W / 4, H / 4 (shifts)
    int m_bloomHeight = 0;
    int m_tileWidth = 0;        // W / 20, H / 20: motion-blur tile and neighbour max
    int m_tileHeight = 0;
    int m_dofBlurWidth = 0;     // RW / 2, RH / 2 (shifts)
    int m_dofBlurHeight = 0;
    int m_renderWidth = 0;      // RW x RH: depth-of-field output
    int m_renderHeight = 0;

    static PostEffectSizes Compute(int width, int height, int renderWidth, int renderHeight);
};

// The SSAO sample kernel and rotation noise. Always the same numbers: the generator is seeded
// with a fixed value.
struct SsaoKernel {
    static constexpr int kSampleCount = 64;
    static constexpr int kNoiseSize = 4;  // 4 x 4 texels
    static constexpr uint32_t kSeed = 5489;

    // Hemisphere vectors (z >= 0), longer towards the end of the list.
    std::array<ztmath::Vector3, kSampleCount> m_samples;
    // Rotations in the xy plane (z = 0), one per noise texel, rows bottom first.
    std::array<ztmath::Vector3, kNoiseSize * kNoiseSize> m_noise;

    static SsaoKernel Make();

    // The samples as GLSL: "const vec3 KERNEL_SAMPLES[64] = vec3[64](...);", each component a
    // literal that reads back as exactly the float here.
    std::string GlslSamples() const;
};

struct MotionBlurMatrices {
    ztmath::Matrix4x4 m_previousProjView;  // projection x view of the camera at the last step
    ztmath::Matrix4x4 m_inverseViewProj;   // camera-to-world x inverse projection, this frame
};

// Motion-blur matrices from the camera remembered at the last motion-blur step and this frame's
// camera-to-world matrix.
MotionBlurMatrices ComputeMotionBlurMatrices(const ztmath::Matrix4x4& projection,
                                             const ztmath::Matrix4x4& inverseProjection,
                                             const ztmath::Vector3& previousPosition,
                                             const ztmath::Basis& previousBasis,
                                             const ztmath::Matrix4x4& cameraToWorld);

// Distance from the camera that depth of field keeps sharp: range x fraction.
float DepthOfFieldDistance(float focalRange, float focalPercent);

// The textures the effects read for the renderer's life (GL texture ids).
struct PostEffectInputs {
    uint32_t m_depth = 0;       // G-buffer depth
    uint32_t m_positions = 0;   // G-buffer view-space positions
    uint32_t m_normals = 0;     // G-buffer view-space normals
    uint32_t m_sceneColor = 0;  // lit scene ("fragOut")
    uint32_t m_sceneBright = 0; // its over-threshold part ("brightOut")
};

// A horizontal and a vertical blur program for targets of one size; drawn into whichever draw
// buffer is selected, reading unit 0.
class SeparableBlur {
public:
    void Init(int targetWidth, int targetHeight);
    void Release();
    // Blurs the texture along x, then along y.
    void DrawHorizontal(uint32_t texture) const;
    void DrawVertical(uint32_t texture) const;

    const ztgraphics::Shader& GetHorizontal() const { return m_horizontal; }
    const ztgraphics::Shader& GetVertical() const { return m_vertical; }

private:
    void Draw(const ztgraphics::Shader& program, uint32_t texture) const;

    ztgraphics::Shader m_horizontal;
    ztgraphics::Shader m_vertical;
};

class PostEffects {
public:
    // Makes every target and program. False when a target is incomplete.
    bool Init(int width, int height, int renderWidth, int renderHeight, const PostEffectInputs& inputs);
    void Release();
    bool IsInitialised() const { return m_initialised; }

    // The textures read from now on (a test may bring its own G-buffer).
    void SetInputs(const PostEffectInputs& inputs) { m_inputs = inputs; }
    const PostEffectInputs& GetInputs() const { return m_inputs; }

    // Occlusion of the G-buffer into the blurred SSAO texture (1 = open, towards 0 = occluded).
    uint32_t RunSsao(const ztmath::Matrix4x4& projection, float radius, float strength, float allowance);
    // The scene colour plus the twice-blurred bright part, weighted by the intensity.
    uint32_t RunBloom(float intensity);
    // The image smeared along each pixel's screen motion since the last motion-blur step,
    // scaled by `blurScale` (0 moves no pixel, 1 the whole camera motion).
    uint32_t RunMotionBlur(uint32_t image, const MotionBlurMatrices& matrices, float blurScale = 1.0f);
    // The image blurred away from the focus distance.
    uint32_t RunDepthOfField(uint32_t image, float focalRange, float focalPercent);

    // The light pass's "ambientMap": the last blurred occlusion.
    uint32_t GetSsaoTexture() const;
    uint32_t GetBloomTexture() const;
    uint32_t GetMotionBlurTexture() const;
    uint32_t GetDepthOfFieldTexture() const;
    uint32_t GetNoiseTexture() const { return m_noiseTexture; }

    const PostEffectSizes& GetSizes() const { return m_sizes; }
    const SsaoKernel& GetKernel() const { return m_kernel; }

    // Targets, for tests and tools.
    FrameBufferObject& GetSsaoRawTarget() { return m_ssaoRaw; }
    FrameBufferObject& GetSsaoBlurTarget() { return m_ssaoBlur; }
    FrameBufferObject& GetBloomBlurTarget() { return m_bloomBlur; }
    FrameBufferObject& GetBloomTarget() { return m_bloomOut; }
    FrameBufferObject& GetVelocityTarget() { return m_velocity; }
    FrameBufferObject& GetTileMaxTarget() { return m_tileMax; }
    FrameBufferObject& GetNeighbourMaxTarget() { return m_neighbourMax; }
    FrameBufferObject& GetMotionBlurTarget() { return m_motionBlurOut; }
    FrameBufferObject& GetDepthOfFieldBlurTarget() { return m_dofBlur; }
    FrameBufferObject& GetDepthOfFieldTarget() { return m_dofOut; }

private:
    bool InitTargets();
    void InitPrograms();

    PostEffectSizes m_sizes;
    PostEffectInputs m_inputs;
    SsaoKernel m_kernel;
    uint32_t m_noiseTexture = 0;
    uint32_t m_emptyVao = 0;

    FrameBufferObject m_ssaoRaw;
    FrameBufferObject m_ssaoBlur;
    FrameBufferObject m_bloomBlur;
    FrameBufferObject m_bloomOut;
    FrameBufferObject m_velocity;
    FrameBufferObject m_tileMax;
    FrameBufferObject m_neighbourMax;
    FrameBufferObject m_motionBlurOut;
    FrameBufferObject m_dofBlur;
    FrameBufferObject m_dofOut;

    ztgraphics::Shader m_ssao;
    ztgraphics::Shader m_ssaoBlurProgram;
    ztgraphics::Shader m_bloom;
    SeparableBlur m_bloomBlurPair;
    ztgraphics::Shader m_velocityProgram;
    ztgraphics::Shader m_tileMaxProgram;
    ztgraphics::Shader m_neighbourMaxProgram;
    ztgraphics::Shader m_reconstruct;
    SeparableBlur m_dofBlurPair;
    ztgraphics::Shader m_depthOfField;
    bool m_initialised = false;
};

}  // namespace ztengine
