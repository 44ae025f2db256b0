#pragma once
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"

namespace ztengine {

// A 2 x 2 square in the plane z = 0 facing +z, as two triangles that share no vertex.
class SimpleTriangleMeshBuilder final : public MeshBuilder {
public:
    bool Build(MeshCreator& creator) override;
    uint32_t EstimateVertexCount() const override { return 0; }
};

}  // namespace ztengine
