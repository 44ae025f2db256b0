#include "core/graphics/framework/PointLights.h"

#include <algorithm>

namespace ztengine {

void SortPointLightsByDistance(std::vector<RenderPointLight>& lights, const ztmath::Vector3& camera)
{
    if (lights.size() < 2)
        return;
    std::sort(lights.begin(), lights.end(), [&camera](const RenderPointLight& a, const RenderPointLight& b) {
        return (a.m_position - camera).LengthSquared() < (b.m_position - camera).LengthSquared();
    });
}

uint32_t PointLightArrays::Fill(const ztmath::Matrix4x4& view, const std::vector<RenderPointLight>& lights)
{
    m_count = static_cast<uint32_t>(std::min<size_t>(lights.size(), kMaxPointLights));
    for (uint32_t i = 0; i < m_count; ++i) {
        const RenderPointLight& light = lights[i];
        m_positions[i] = ztmath::Vector4(view.TransformPoint(light.m_position), light.m_radius);
        m_colors[i] = ztmath::Vector4(light.m_color, light.m_intensity);
    }
    return m_count;
}

}  // namespace ztengine
