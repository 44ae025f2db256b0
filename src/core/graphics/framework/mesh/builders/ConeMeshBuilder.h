#pragma once
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"

namespace ztengine {

// A cone with its base (radius 0.5) at y = -0.5 and its tip at y = 0.5: a base fan, then
// stacks + 1 side rings narrowing to the tip. Zero counts are taken as 1.
class ConeMeshBuilder final : public MeshBuilder {
public:
    ConeMeshBuilder(uint32_t stacks, uint32_t slices);
    bool Build(MeshCreator& creator) override;
    uint32_t EstimateVertexCount() const override
    {
        return m_slices + (m_stacks + 1) * (m_slices + 1) + 2;
    }

private:
    uint32_t m_stacks;
    uint32_t m_slices;
};

}  // namespace ztengine
