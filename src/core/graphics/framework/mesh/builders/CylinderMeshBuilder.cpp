// The cylinder: bottom cap, side rings, top cap.
#include "core/graphics/framework/mesh/builders/CylinderMeshBuilder.h"

#include <cmath>

#include "core/graphics/framework/mesh/builders/BuilderShapes.h"
#include "core/graphics/framework/mesh/core/MeshCreator.h"

namespace ztengine {

using meshshapes::kPi;
using meshshapes::kTwoPi;
using ztmath::Vector3;

namespace {

// A cap: centre and a rim of slices + 1 vertices, all facing `normal`, stepping by `step`.
void AddCap(MeshCreator& creator, float y, const Vector3& normal, uint32_t slices, float step)
{
    const Vector3 noTangent(0.0f, 0.0f, 0.0f);
    const Vector3 centre(0.0f, y, 0.0f);
    const float centreUv[2] = {0.5f, 0.5f};
    creator.AddVertex(&centre, &normal, centreUv, &noTangent);
    for (uint32_t k = 0; k <= slices; ++k) {
        const float angle = kPi * 0.5f + static_cast<float>(k) * step;
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        const Vector3 position(0.5f * c, y, 0.5f * s);
        const float uv[2] = {(c + 1.0f) * 0.5f, (s + 1.0f) * 0.5f};
        creator.AddVertex(&position, &normal, uv, &noTangent);
    }
}

}  // namespace

CylinderMeshBuilder::CylinderMeshBuilder(uint32_t stacks, uint32_t slices)
    : m_stacks(meshshapes::AtLeastOne(stacks)),
      m_slices(meshshapes::AtLeastOne(slices)),
      m_estimate((m_stacks + 1) * (m_slices + 1) + 2 * m_slices + 4)
{
}

bool CylinderMeshBuilder::Build(MeshCreator& creator)
{
    const Vector3 noTangent(0.0f, 0.0f, 0.0f);
    const float step = kTwoPi / static_cast<float>(m_slices);

    AddCap(creator, -0.5f, Vector3(0.0f, -1.0f, 0.0f), m_slices, step);
    meshshapes::EmitFan(creator, 0, m_slices);

    const uint32_t firstSide = m_slices + 2;
    for (uint32_t e = 0; e <= m_stacks; ++e) {
        const float y = -0.5f + static_cast<float>(e) / static_cast<float>(m_stacks);
        for (uint32_t j = 0; j <= m_slices; ++j) {
            const float angle = kPi * 0.5f + static_cast<float>(j) * step;
            const float c = std::cos(angle);
            const float s = std::sin(angle);
            const Vector3 position(0.5f * c, y, 0.5f * s);
            const Vector3 normal(c, 0.0f, s);
            const float uv[2] = {1.0f - static_cast<float>(j) / static_cast<float>(m_slices),
                                 1.0f - static_cast<float>(e) / static_cast<float>(m_stacks)};
            creator.AddVertex(&position, &normal, uv, &noTangent);
        }
    }
    meshshapes::EmitGridA(creator, firstSide, m_stacks, m_slices);

    // The top rim runs the other way round so that its fan faces up.
    const uint32_t topCentre = firstSide + (m_stacks + 1) * (m_slices + 1);
    AddCap(creator, 0.5f, Vector3(0.0f, 1.0f, 0.0f), m_slices, -step);
    meshshapes::EmitFan(creator, topCentre, m_slices);

    creator.ComputeTangents();
    return true;
}

}  // namespace ztengine
