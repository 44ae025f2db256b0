#pragma once
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"

namespace ztengine {

// A unit cube centred on the origin: 24 vertices (four per face) and 12 triangles. Normals point
// out through the corners, not the faces, which gives the cube its soft shading.
class SimpleCubeMeshBuilder final : public MeshBuilder {
public:
    bool Build(MeshCreator& creator) override;
    uint32_t EstimateVertexCount() const override { return 24; }
};

}  // namespace ztengine
