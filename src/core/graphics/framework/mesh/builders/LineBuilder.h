#pragma once
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"

namespace ztengine {

// A unit segment along z through the origin. Its single triangle (0, 1, 1) is degenerate on
// purpose: the renderer draws it as a line.
class LineBuilder final : public MeshBuilder {
public:
    bool Build(MeshCreator& creator) override;
    uint32_t EstimateVertexCount() const override { return 2; }
};

}  // namespace ztengine
