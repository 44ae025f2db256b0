#pragma once
// Geometry rules shared by the mesh loader and the builders that keep their own vertex list.
#include <cstddef>

#include "core/graphics/framework/mesh/core/MeshVertex.h"
#include "core/math/Vector3.h"

namespace ztengine {

// Edges shorter than this make a triangle degenerate.
constexpr float kDegenerateEdgeLength = 1e-7f;
// Texture-space determinants closer to 0 than this give no tangent direction.
constexpr float kTangentDeterminantEpsilon = 1e-7f;

// True when p1 - p0, p2 - p1 or p0 - p2 is shorter than kDegenerateEdgeLength.
bool IsDegenerateTriangle(const ztmath::Vector3& p0, const ztmath::Vector3& p1,
                          const ztmath::Vector3& p2);

// Per-vertex tangents averaged over the adjacent faces (a vertex named twice by a face counts
// twice); unnormalised. Faces whose texture coordinates are degenerate are skipped, and so are
// faces naming a vertex that does not exist.
void ComputeVertexTangents(MeshVertex* vertices, size_t vertexCount, const MeshFace* faces,
                           size_t faceCount);

}  // namespace ztengine
