#pragma once
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"

namespace ztengine {

// A cylinder of radius 0.5 from y = -0.5 to y = 0.5: bottom cap, stacks + 1 side rings, top
// cap. Zero counts are taken as 1.
class CylinderMeshBuilder final : public MeshBuilder {
public:
    CylinderMeshBuilder(uint32_t stacks, uint32_t slices);
    bool Build(MeshCreator& creator) override;
    uint32_t EstimateVertexCount() const override { return m_estimate; }

private:
    uint32_t m_stacks;
    uint32_t m_slices;
    uint32_t m_estimate;
};

}  // namespace ztengine
