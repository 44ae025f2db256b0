#pragma once
// The bounds the renderer keeps per mesh: an axis-aligned box and a bounding sphere.
#include <cstddef>

#include "core/graphics/framework/mesh/core/MeshVertex.h"
#include "core/math/Vector3.h"

namespace ztengine {

struct MeshBounds {
    ztmath::Vector3 m_min;
    ztmath::Vector3 m_max;
    ztmath::Vector3 m_center;
    ztmath::Vector3 m_extents;  // half the size on each axis
};

struct BoundingSphere {
    ztmath::Vector3 m_center;
    float m_radius = 0.0f;
};

// Ritter's sphere: close to the smallest, never too small. No vertices gives radius 1 at the
// origin.
BoundingSphere ComputeBoundingSphere(const MeshVertex* vertices, size_t count);

// All zero for no vertices.
MeshBounds ComputeMeshBounds(const MeshVertex* vertices, size_t count);

}  // namespace ztengine
