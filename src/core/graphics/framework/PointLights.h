#pragma once
// Point lights: the scene's list, its per-frame order and what of it reaches the light program.
#include <cstdint>
#include <vector>

#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace ztengine {

struct RenderPointLight {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_color;
    float m_radius = 0.0f;
    float m_intensity = 0.0f;
};

// Nearest to the camera first, by squared distance. The sort is not stable: lights at the same
// distance come in no particular order.
void SortPointLightsByDistance(std::vector<RenderPointLight>& lights, const ztmath::Vector3& camera);

// The arrays the light program receives: the first kMaxPointLights lights of the (sorted) list,
// positions in view space with the radius as w, colours with the intensity as w.
struct PointLightArrays {
    static constexpr uint32_t kMaxPointLights = 52;

    // Fills the arrays from the list and returns the count that reaches the program. Entries
    // past the count keep what earlier frames left.
    uint32_t Fill(const ztmath::Matrix4x4& view, const std::vector<RenderPointLight>& lights);

    ztmath::Vector4 m_positions[kMaxPointLights];
    ztmath::Vector4 m_colors[kMaxPointLights];
    uint32_t m_count = 0;
};

}  // namespace ztengine
