#pragma once
// Triangulation patterns and constants shared by the procedural builders.
#include <algorithm>
#include <cstdint>

#include "core/graphics/framework/mesh/core/MeshVertex.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

class MeshCreator;

namespace meshshapes {

// The builders' own pi, kept at float precision so every shape uses the same value.
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

// Counts divide the shapes; 0 would divide by zero, so the least a builder makes is one.
inline uint32_t AtLeastOne(uint32_t count)
{
    return std::max(count, 1u);
}

// Rows of `columns` quads over a grid of columns + 1 vertices per row starting at `start`,
// each quad as (q, q + W, q + 1), (q + 1, q + W, q + W + 1). Degenerate triangles are dropped;
// the vertices must already be in the creator.
void EmitGridA(MeshCreator& creator, uint32_t start, uint32_t rows, uint32_t columns);

// The same quads from index 0 in the other order, (q + 1, q + W, q + W + 1) then
// (q, q + W, q + 1), tested against a builder's own vertex list; the kept triangles go both to
// `faces` and to the creator.
void EmitGridB(MeshCreator& creator, const CountedVector<MeshVertex>& vertices, uint32_t rows,
               uint32_t columns, CountedVector<MeshFace>& faces);

// Passes a vertex of a builder's own list on to the creator.
void AddMeshVertex(MeshCreator& creator, const MeshVertex& vertex);

// A fan around `centre` over the rim centre + 1 .. centre + slices: (b, d, d + 1) and the
// closing (b, b + slices, b + 1). The rim's repeated last vertex is not used.
void EmitFan(MeshCreator& creator, uint32_t centre, uint32_t slices);

}  // namespace meshshapes
}  // namespace ztengine
