// The terrain grid: heights sampled from the image, normals from neighbouring heights.
#include "core/graphics/framework/mesh/builders/HeightMapMeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/graphics/framework/mesh/builders/BuilderShapes.h"
#include "core/graphics/framework/mesh/core/MeshCreator.h"

namespace ztengine {

using ztmath::Vector3;

namespace {

HeightImageReader& ImageReader()
{
    static HeightImageReader reader;
    return reader;
}

}  // namespace

void HeightMapMeshBuilder::SetImageReader(HeightImageReader reader)
{
    ImageReader() = std::move(reader);
}

HeightMapMeshBuilder::HeightMapMeshBuilder()
    : m_rows(kDefaultRows), m_columns(kDefaultColumns)
{
    if (ImageReader())
        ImageReader()(kDefaultImagePath, m_image);
}

HeightMapMeshBuilder::HeightMapMeshBuilder(HeightImage image, uint32_t rows, uint32_t columns)
    : m_image(std::move(image)),
      m_rows(meshshapes::AtLeastOne(rows)),
      m_columns(meshshapes::AtLeastOne(columns))
{
}

float HeightMapMeshBuilder::SampleHeight(float u, float v) const
{
    const int32_t w = m_image.width;
    const int32_t h = m_image.height;
    const int32_t channels = m_image.channels;
    if (w <= 0 || h <= 0 || channels <= 0 ||
        m_image.pixels.size() < static_cast<size_t>(w) * static_cast<size_t>(h) *
                                    static_cast<size_t>(channels))
        return 0.0f;
    // u and v reach 1 on the far edges, which would be one pixel past the image.
    const int32_t column = std::clamp(static_cast<int32_t>(std::floor(static_cast<float>(w) * u)), 0, w - 1);
    const int32_t row = std::clamp(static_cast<int32_t>(std::floor(static_cast<float>(h) * v)), 0, h - 1);
    return m_image.pixels[(static_cast<size_t>(row) * static_cast<size_t>(w) +
                           static_cast<size_t>(column)) *
                          static_cast<size_t>(channels)];
}

bool HeightMapMeshBuilder::Build(MeshCreator& creator)
{
    m_vertices.clear();
    m_faces.clear();

    const uint32_t rowCount = m_rows + 1;
    const uint32_t columnCount = m_columns + 1;
    CountedVector<float> heights(static_cast<size_t>(rowCount) * columnCount, 0.0f);
    auto at = [&](uint32_t i, uint32_t j) -> float& {
        return heights[static_cast<size_t>(i) * columnCount + j];
    };

    // The grid spans the whole unit square so that, scaled, it covers exactly the ground it
    // stands for, and the texture spans it edge to edge.
    for (uint32_t i = 0; i < rowCount; ++i) {
        for (uint32_t j = 0; j < columnCount; ++j) {
            const float u = static_cast<float>(j) / static_cast<float>(m_columns);
            const float v = static_cast<float>(i) / static_cast<float>(m_rows);
            at(i, j) = SampleHeight(u, v);
        }
    }

    for (uint32_t i = 0; i < rowCount; ++i) {
        for (uint32_t j = 0; j < columnCount; ++j) {
            const float own = at(i, j);
            const float left = j > 0 ? at(i, j - 1) : own;
            const float right = j + 1 < columnCount ? at(i, j + 1) : own;
            const float back = i > 0 ? at(i - 1, j) : own;
            const float front = i + 1 < rowCount ? at(i + 1, j) : own;

            MeshVertex vertex;
            vertex.u = static_cast<float>(j) / static_cast<float>(m_columns);
            vertex.v = static_cast<float>(i) / static_cast<float>(m_rows);
            vertex.position = {vertex.u - 0.5f, own, vertex.v - 0.5f};
            vertex.normal = Vector3(-(right - left), 2.0f, -(front - back)).Normalized();
            m_vertices.push_back(vertex);
        }
    }

    meshshapes::EmitGridB(creator, m_vertices, m_rows, m_columns, m_faces);
    for (const MeshVertex& vertex : m_vertices)
        meshshapes::AddMeshVertex(creator, vertex);
    creator.ComputeTangents();
    return true;
}

}  // namespace ztengine
