// The cone: base fan, then side rings narrowing to the tip.
#include "core/graphics/framework/mesh/builders/ConeMeshBuilder.h"

#include <cmath>

#include "core/graphics/framework/mesh/builders/BuilderShapes.h"
#include "core/graphics/framework/mesh/core/MeshCreator.h"

namespace ztengine {

using meshshapes::kPi;
using meshshapes::kTwoPi;
using ztmath::Vector3;

ConeMeshBuilder::ConeMeshBuilder(uint32_t stacks, uint32_t slices)
    : m_stacks(meshshapes::AtLeastOne(stacks)), m_slices(meshshapes::AtLeastOne(slices))
{
}

bool ConeMeshBuilder::Build(MeshCreator& creator)
{
    const Vector3 noTangent(0.0f, 0.0f, 0.0f);
    const Vector3 down(0.0f, -1.0f, 0.0f);
    const float step = kTwoPi / static_cast<float>(m_slices);

    const Vector3 baseCentre(0.0f, -0.5f, 0.0f);
    const float centreUv[2] = {0.5f, 0.5f};
    creator.AddVertex(&baseCentre, &down, centreUv, &noTangent);
    for (uint32_t k = 0; k <= m_slices; ++k) {
        const float angle = kPi * 0.5f + static_cast<float>(k) * step;
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        const Vector3 position(0.5f * c, -0.5f, 0.5f * s);
        const float uv[2] = {(c + 1.0f) * 0.5f, (s + 1.0f) * 0.5f};
        creator.AddVertex(&position, &down, uv, &noTangent);
    }
    meshshapes::EmitFan(creator, 0, m_slices);

    const uint32_t firstSide = m_slices + 2;
    for (uint32_t e = 0; e <= m_stacks; ++e) {
        const float radius = 0.5f - static_cast<float>(e) * (0.5f / static_cast<float>(m_stacks));
        const float y = -0.5f + static_cast<float>(e) / static_cast<float>(m_stacks);
        for (uint32_t j = 0; j <= m_slices; ++j) {
            const float angle = kPi * 0.5f + static_cast<float>(j) * step;
            const float c = std::cos(angle);
            const float s = std::sin(angle);
            const Vector3 position(radius * c, y, radius * s);
            const Vector3 normal = Vector3(c, radius, s).Normalized();
            const float uv[2] = {1.0f - static_cast<float>(j) / static_cast<float>(m_slices),
                                 1.0f - static_cast<float>(e) / static_cast<float>(m_stacks)};
            creator.AddVertex(&position, &normal, uv, &noTangent);
        }
    }
    // The tip row collapses to a point, so its triangles are dropped as degenerate.
    meshshapes::EmitGridA(creator, firstSide, m_stacks, m_slices);
    creator.ComputeTangents();
    return true;
}

}  // namespace ztengine
