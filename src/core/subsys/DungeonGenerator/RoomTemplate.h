#pragma once
// Room templates: the hand-made character grids that furnish the rooms of a generated dungeon,
// and the reader of the ".dat" files that hold them (one file per dungeon colour).
//
// File format, one line at a time, classified by its first character:
//   d,<width>,<height>   starts a template (sizes are read as floats)
//   <label>,<c>,<c>,...  one row: the label is skipped, each further field gives its first
//                        character as one cell (an empty field gives the character 0)
//   e                    ends the template
//   T                    ends the file (a file without it is read to its end)
// Row labels must not start with 'd', 'e' or 'T'; the shipped files number their rows.
//
// Cells go into one running buffer of 256 characters that is rewound at every 'e' but never
// cleared, so a template declared larger than the rows it gives takes the missing cells from
// whatever an earlier template left there. The stored data depends on that, so it stays.
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/math/Vector3.h"

namespace ztengine {

// One cell of a template, or one special cell of a generated grid: the character, its position
// (column, 0, row) and a scale.
struct MapObject {
    int type = 0;
    ztmath::Vector3 position;
    ztmath::Vector3 scale{1.0f, 1.0f, 1.0f};
};

struct RoomTemplate {
    ztmath::Vector3 size;  // (width, 0, height) exactly as read
    std::vector<MapObject> cells;  // Rows() x Columns(), row-major

    // A fractional size counts one more row or column.
    int Columns() const;
    int Rows() const;
    // The character at (row, column); the caller stays within Rows() x Columns().
    char Cell(int row, int column) const;
};

constexpr std::size_t kRoomTemplateBufferCells = 256;

// What one file gave: the templates appended and one line per problem, each starting with the
// file's name and line number. A template with a problem is left out; the rest of the file is
// still read.
struct RoomFileReport {
    int templatesRead = 0;
    std::vector<std::string> errors;
};

// Reads templates from `in` and appends them to `list` in file order. `name` only labels the
// messages. Problems are printed to standard output as well as returned.
RoomFileReport ReadRoomTemplates(std::istream& in, const std::string& name,
                                 std::vector<RoomTemplate>& list);

}  // namespace ztengine
