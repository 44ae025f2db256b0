// The torus: a circle swept about the y axis over the given angle.
#include "core/graphics/framework/mesh/builders/TorusMeshBuilder.h"

#include <cmath>

#include "core/graphics/framework/mesh/builders/BuilderShapes.h"
#include "core/graphics/framework/mesh/core/MeshCreator.h"

namespace ztengine {

using meshshapes::kPi;
using meshshapes::kTwoPi;
using ztmath::Vector3;

TorusMeshBuilder::TorusMeshBuilder(uint32_t stacks, uint32_t slices, float startAngle,
                                   float endAngle, float minorFactor)
    : m_stacks(meshshapes::AtLeastOne(stacks)),
      m_slices(meshshapes::AtLeastOne(slices)),
      m_startAngle(startAngle),
      m_endAngle(endAngle),
      m_minorFactor(minorFactor)
{
}

bool TorusMeshBuilder::Build(MeshCreator& creator)
{
    const float m = m_minorFactor;
    const Vector3 noTangent(0.0f, 0.0f, 0.0f);
    for (uint32_t a = 0; a <= m_stacks; ++a) {
        const float theta = kPi - static_cast<float>(a) * (kTwoPi / static_cast<float>(m_stacks));
        const float distance = (1.0f - m) * std::cos(theta) + m;
        const float y = (1.0f - m) * std::sin(theta);
        for (uint32_t i = 0; i <= m_slices; ++i) {
            const float phi = m_startAngle + static_cast<float>(i) * (m_endAngle - m_startAngle) /
                                                 static_cast<float>(m_slices);
            const Vector3 position(distance * std::sin(phi), y, distance * std::cos(phi));
            const Vector3 normal = Vector3(std::cos(theta) * std::sin(phi), std::sin(theta),
                                           std::cos(theta) * std::cos(phi))
                                       .Normalized();
            const float uv[2] = {static_cast<float>(i) / static_cast<float>(m_slices),
                                 static_cast<float>(a) / static_cast<float>(m_stacks)};
            creator.AddVertex(&position, &normal, uv, &noTangent);
        }
    }
    meshshapes::EmitGridA(creator, 0, m_stacks, m_slices);
    return true;
}

}  // namespace ztengine
