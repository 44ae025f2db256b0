#pragma once
// The producer side of mesh construction: one builder per kind of shape.
#include <cstdint>

namespace ztengine {

class MeshCreator;

class MeshBuilder {
public:
    virtual ~MeshBuilder() = default;
    // Emits the geometry into the creator. False when the builder had nothing real to give
    // (an import that failed).
    virtual bool Build(MeshCreator& creator) = 0;
    // How many vertices the creator should make room for before Build.
    virtual uint32_t EstimateVertexCount() const { return 10; }
};

}  // namespace ztengine
