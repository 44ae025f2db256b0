#pragma once
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"

namespace ztengine {

// A ring about the y axis: a circle of radius 1 - minorFactor, centred minorFactor from the
// axis, swept from startAngle to endAngle (radians); less than a full turn gives an open
// ring. Stacks go round the circle, slices along the sweep. Zero counts are taken as 1.
class TorusMeshBuilder final : public MeshBuilder {
public:
    TorusMeshBuilder(uint32_t stacks, uint32_t slices, float startAngle, float endAngle,
                     float minorFactor);
    bool Build(MeshCreator& creator) override;
    uint32_t EstimateVertexCount() const override { return (m_stacks + 1) * (m_slices + 1); }

private:
    uint32_t m_stacks;
    uint32_t m_slices;
    float m_startAngle;
    float m_endAngle;
    float m_minorFactor;
};

}  // namespace ztengine
