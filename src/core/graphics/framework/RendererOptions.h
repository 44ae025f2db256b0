#pragma once
// The renderer's switches and effect settings set through the Graphics3D operations, kept as
// one plain record so they can be checked without a GL context. The defaults are what the
// renderer's Init sets.
#include <cstdint>

#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace ztengine {

struct RendererOptions {
    // Bits of the effects mask. The base bit is set by Init and the options system and has no
    // effect of its own.
    static constexpr uint8_t kEffectBase = 1;
    static constexpr uint8_t kEffectMotionBlur = 2;
    static constexpr uint8_t kEffectDepthOfField = 4;

    // Back to Init's first values; the effects mask and the sample count are Init's later ones.
    void Reset() { *this = RendererOptions(); }

    void EnableDOF(bool enabled);
    bool IsDOFEnabled() const { return (m_effectsMask & kEffectDepthOfField) != 0; }
    void EnableMotionBlur(bool enabled);
    bool IsMotionBlurEnabled() const { return (m_effectsMask & kEffectMotionBlur) != 0; }
    // Interval 1 / (n x 1000) s; the product is formed in 32 bits as the interface always has.
    void SetMotionBlurUpdateRate(uint32_t n);
    float GetMotionBlurStep() const { return static_cast<float>(m_motionBlurStep); }

    uint8_t m_effectsMask = kEffectBase | kEffectMotionBlur | kEffectDepthOfField;
    float m_dofFocalRange = 1000.0f;
    float m_dofFocalPercent = 0.0f;
    // Seconds between motion-blur camera steps, kept in double precision.
    double m_motionBlurStep = static_cast<double>(1.0f / 60.0f);
    float m_motionBlurScale = 1.0f;
    int32_t m_motionBlurSampleCount = 16;
    float m_ssaoAllowance = 0.0f;
    bool m_skyboxEnabled = true;
    bool m_shadowsEnabled = true;
    bool m_renderDebug = true;
    bool m_parallaxEnabled = false;
    ztmath::Vector3 m_sunPosition{0.0f, 1000.0f, 0.0f};
    // Width, height, near, far of the orthographic shadow projection.
    ztmath::Vector4 m_shadowProjection{1000.0f, 1000.0f, 0.5f, 1000.0f};
    ztmath::Vector3 m_bloomThreshold{0.2126f, 0.7152f, 0.0722f};
    float m_bloomIntensity = 1.0f;
    // Stored for callers; no pass reads them.
    ztmath::Vector3 m_globalColor;
    bool m_globalColorEnabled = false;
};

}  // namespace ztengine
