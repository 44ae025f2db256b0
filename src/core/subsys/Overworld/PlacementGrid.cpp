#include "core/subsys/Overworld/PlacementGrid.h"

#include <cmath>

namespace ztengine {

namespace {
constexpr int32_t kHalfColumns = static_cast<int32_t>(PlacementGrid::kColumns / 2);
constexpr int32_t kHalfRows = static_cast<int32_t>(PlacementGrid::kRows / 2);
}  // namespace

PlacementGrid::PlacementGrid(float cellSize, const ztmath::Vector3& centre)
    : m_cellSize(cellSize > 0.0f ? cellSize : 1.0f),
      m_centre(centre),
      m_cells(kRows, std::vector<int32_t>(kColumns, kFree))
{
}

int32_t PlacementGrid::ColumnOf(float x) const
{
    return kHalfColumns + static_cast<int32_t>(std::trunc((x - m_centre.x) / m_cellSize));
}

int32_t PlacementGrid::RowOf(float z) const
{
    return kHalfRows + static_cast<int32_t>(std::trunc((z - m_centre.z) / m_cellSize));
}

bool PlacementGrid::IsFree(int32_t column, int32_t row, int32_t cx, int32_t cz) const
{
    for (int32_t r = row - cz; r <= row + cz; ++r) {
        for (int32_t c = column - cx; c <= column + cx; ++c) {
            if (r < 0 || c < 0 || r >= static_cast<int32_t>(kRows) || c >= static_cast<int32_t>(kColumns))
                return false;
            if (m_cells[r][c] != kFree)
                return false;
        }
    }
    return true;
}

void PlacementGrid::Fill(int32_t column, int32_t row, int32_t cx, int32_t cz, int32_t code)
{
    for (int32_t r = row - cz; r <= row + cz; ++r) {
        for (int32_t c = column - cx; c <= column + cx; ++c) {
            if (r < 0 || c < 0 || r >= static_cast<int32_t>(kRows) || c >= static_cast<int32_t>(kColumns))
                continue;
            m_cells[r][c] = code;
        }
    }
}

bool PlacementGrid::Reserve(float halfX, float halfZ, const ztmath::Vector3& position, int32_t code)
{
    const auto cx = static_cast<int32_t>(std::ceil(halfX / m_cellSize));
    const auto cz = static_cast<int32_t>(std::ceil(halfZ / m_cellSize));
    const int32_t column = ColumnOf(position.x);
    const int32_t row = RowOf(position.z);
    if (!IsFree(column, row, cx, cz))
        return false;
    Fill(column, row, cx, cz, code);
    return true;
}

int32_t PlacementGrid::At(int32_t column, int32_t row) const
{
    if (row < 0 || column < 0 || row >= static_cast<int32_t>(kRows) || column >= static_cast<int32_t>(kColumns))
        return kFree;
    return m_cells[row][column];
}

}  // namespace ztengine
