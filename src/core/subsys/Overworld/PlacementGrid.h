#pragma once
// A coarse occupancy map of the hub, used only while the hub is built, so that decoration does
// not land on portals, paths, the player start or other decoration.
#include <cstdint>
#include <vector>

#include "core/math/Vector3.h"

namespace ztengine {

class PlacementGrid {
public:
    // What reserved a cell; the grid itself is the only reader.
    enum Code : int32_t {
        kFree = 0,
        kPortal = 2,
        kPlayerStart = 3,
        kKeptFree = 4,
        kTree = 5,
        kRock = 6,
        kFern = 7,
    };

    static constexpr uint32_t kColumns = 121;
    static constexpr uint32_t kRows = 121;

    // A size of 0 or less would divide by zero in the cell formula: 1 is used instead.
    explicit PlacementGrid(float cellSize = 7.5f,
                           const ztmath::Vector3& centre = {500.0f, 500.0f, 500.0f});

    // The cell of a world position; may lie outside the grid. Division truncates toward zero,
    // so positions just either side of the centre share the middle cell.
    int32_t ColumnOf(float x) const;
    int32_t RowOf(float z) const;

    // Every cell from col - cx to col + cx and row - cz to row + cz (ends included) is inside
    // the grid and free.
    bool IsFree(int32_t column, int32_t row, int32_t cx, int32_t cz) const;
    // Writes the code into the cells of that rectangle that lie inside the grid.
    void Fill(int32_t column, int32_t row, int32_t cx, int32_t cz, int32_t code);
    // Reserves the area of half extents (halfX, halfZ) around the position when all of it is free.
    bool Reserve(float halfX, float halfZ, const ztmath::Vector3& position, int32_t code);

    // The code at a cell; 0 outside the grid.
    int32_t At(int32_t column, int32_t row) const;
    float CellSize() const { return m_cellSize; }

private:
    float m_cellSize;
    ztmath::Vector3 m_centre;
    std::vector<std::vector<int32_t>> m_cells;
};

}  // namespace ztengine
