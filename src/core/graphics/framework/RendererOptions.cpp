#include "core/graphics/framework/RendererOptions.h"

namespace ztengine {

void RendererOptions::EnableDOF(bool enabled)
{
    if (enabled)
        m_effectsMask = static_cast<uint8_t>(m_effectsMask | kEffectDepthOfField);
    else
        m_effectsMask = static_cast<uint8_t>(m_effectsMask & ~kEffectDepthOfField);
}

void RendererOptions::EnableMotionBlur(bool enabled)
{
    if (enabled)
        m_effectsMask = static_cast<uint8_t>(m_effectsMask | kEffectMotionBlur);
    else
        m_effectsMask = static_cast<uint8_t>(m_effectsMask & ~kEffectMotionBlur);
}

void RendererOptions::SetMotionBlurUpdateRate(uint32_t n)
{
    const uint32_t perSecond = n * 1000u;
    m_motionBlurStep = 1.0 / static_cast<double>(perSecond);
}

}  // namespace ztengine
