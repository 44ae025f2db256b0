#pragma once
// The terrain grid whose heights come from an image.
#include <cstdint>
#include <functional>

#include "core/graphics/framework/mesh/builders/MeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshVertex.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// Float pixels of a height image, rows from the image's first row, `channels` floats each.
struct HeightImage {
    int32_t channels = 0;
    int32_t width = 0;
    int32_t height = 0;
    CountedVector<float> pixels;
};

// Reads an image file back as float pixels. Decoding a texture needs the renderer, so the
// renderer installs the reader; until it does (tools, tests), images read as empty, which gives a
// flat grid just as the default black image does.
using HeightImageReader = std::function<bool(const char* path, HeightImage& image)>;

// A unit grid in the xz plane centred on the origin, rows along z and columns along x, with
// heights from the first channel of the image. Zero counts are taken as 1.
class HeightMapMeshBuilder final : public MeshBuilder {
public:
    static constexpr const char* kDefaultImagePath = "textures/diff/black.jpg";
    static constexpr uint32_t kDefaultRows = 50;
    static constexpr uint32_t kDefaultColumns = 50;

    static void SetImageReader(HeightImageReader reader);

    // The terrain of the overworld: the default image, 50 x 50 quads.
    HeightMapMeshBuilder();
    HeightMapMeshBuilder(HeightImage image, uint32_t rows, uint32_t columns);

    bool Build(MeshCreator& creator) override;
    uint32_t EstimateVertexCount() const override { return (m_rows + 1) * (m_columns + 1); }

    const HeightImage& GetImage() const { return m_image; }
    const CountedVector<MeshVertex>& GetVertices() const { return m_vertices; }
    const CountedVector<MeshFace>& GetFaces() const { return m_faces; }

private:
    // First channel of the pixel under texture coordinate (u, v); 0 without an image.
    float SampleHeight(float u, float v) const;

    HeightImage m_image;
    uint32_t m_rows;
    uint32_t m_columns;
    CountedVector<MeshVertex> m_vertices;
    CountedVector<MeshFace> m_faces;
};

}  // namespace ztengine
