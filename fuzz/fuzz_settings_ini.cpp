// "settings.ini": the graphics options read as at start-up and, when the whole file could be
// read, written back as the start-up does. What was written must read back to the same options
// without a problem, or the next start would lose or change them.
#include <cstring>

#include "FuzzFiles.h"
#include "core/subsys/GameOptionsSystem/GameOptionsSystem.h"

namespace {

template <typename T>
bool SameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool SameOptions(const ztengine::GraphicsOptions& a, const ztengine::GraphicsOptions& b)
{
    return SameBits(a.m_distanceFogColor, b.m_distanceFogColor) &&
           a.m_enableMotionBlur == b.m_enableMotionBlur &&
           a.m_blurSampleCount == b.m_blurSampleCount && a.m_enableSSAO == b.m_enableSSAO &&
           a.m_enableDOF == b.m_enableDOF &&
           a.m_enableParallaxMapping == b.m_enableParallaxMapping &&
           a.m_enableFog == b.m_enableFog && SameBits(a.m_motionBlurScale, b.m_motionBlurScale) &&
           SameBits(a.m_ssaoRadius, b.m_ssaoRadius) &&
           SameBits(a.m_ssaoStrength, b.m_ssaoStrength) &&
           SameBits(a.m_ssao_allowance, b.m_ssao_allowance) &&
           SameBits(a.m_DOFFocalRange, b.m_DOFFocalRange) &&
           SameBits(a.m_DOFocalPerc, b.m_DOFocalPerc) &&
           SameBits(a.m_fogGradient, b.m_fogGradient) &&
           SameBits(a.m_fogDensity, b.m_fogDensity) &&
           SameBits(a.m_setGammaFactor, b.m_setGammaFactor) &&
           SameBits(a.m_bloomIntensity, b.m_bloomIntensity) &&
           SameBits(a.m_bloomFilterThreshold, b.m_bloomFilterThreshold);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path =
        (ztfuzz::WorkFolder() / ztengine::GameOptionsSystem::kSettingsFile).string();
    ztfuzz::WriteInput(path, data, size);

    ztengine::GraphicsOptions options;
    if (ztengine::ReadGraphicsOptions(path.c_str(), options))
        return 0;  // kept as the player wrote it
    if (!ztengine::WriteGraphicsOptions(path.c_str(), options))
        return 0;  // the old file stays

    ztengine::GraphicsOptions again;
    if (ztengine::ReadGraphicsOptions(path.c_str(), again) || !SameOptions(options, again))
        std::abort();
    return 0;
}
