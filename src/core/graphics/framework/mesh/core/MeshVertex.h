#pragma once
// The records a built mesh is made of, laid out exactly as the renderer uploads them.
#include <cstddef>
#include <cstdint>

#include "core/math/Vector3.h"

namespace ztengine {

// One interleaved vertex of the vertex buffer (stride 44 bytes).
struct MeshVertex {
    ztmath::Vector3 position;
    ztmath::Vector3 normal;
    float u = 0.0f;
    float v = 0.0f;
    ztmath::Vector3 tangent;
};

// Three vertex indices, counter-clockwise as seen from the front.
struct MeshFace {
    uint32_t indices[3] = {0, 0, 0};
};

// Per-vertex skinning record of a skinned mesh, uploaded as a second 32-byte buffer.
struct SkinWeights {
    float weights[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t boneIds[4] = {0, 0, 0, 0};
};

// The GPU upload reads these records by offset, so their layout is part of the contract.
static_assert(sizeof(MeshVertex) == 44);
static_assert(offsetof(MeshVertex, position) == 0);
static_assert(offsetof(MeshVertex, normal) == 12);
static_assert(offsetof(MeshVertex, u) == 24);
static_assert(offsetof(MeshVertex, tangent) == 32);
static_assert(sizeof(MeshFace) == 12);
static_assert(sizeof(SkinWeights) == 32);
static_assert(offsetof(SkinWeights, boneIds) == 16);

}  // namespace ztengine
