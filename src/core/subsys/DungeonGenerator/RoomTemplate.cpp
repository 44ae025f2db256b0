#include "core/subsys/DungeonGenerator/RoomTemplate.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <istream>
#include <string>

namespace ztengine {

int RoomTemplate::Columns() const
{
    return size.x > 0.0f ? static_cast<int>(std::ceil(size.x)) : 0;
}

int RoomTemplate::Rows() const
{
    return size.z > 0.0f ? static_cast<int>(std::ceil(size.z)) : 0;
}

char RoomTemplate::Cell(int row, int column) const
{
    return static_cast<char>(cells[static_cast<std::size_t>(row * Columns() + column)].type);
}

namespace {

// A size field: a number, optionally surrounded by blanks (a CR LF file leaves '\r' on the
// last field). Anything else, including a number followed by other text, is refused.
bool ParseSize(const std::string& field, float& value)
{
    const char* begin = field.c_str();
    char* end = nullptr;
    value = std::strtof(begin, &end);
    if (end == begin || !std::isfinite(value))
        return false;
    while (*end != '\0') {
        if (!std::isspace(static_cast<unsigned char>(*end)))
            return false;
        ++end;
    }
    return true;
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

}  // namespace

RoomFileReport ReadRoomTemplates(std::istream& in, const std::string& name,
                                 std::vector<RoomTemplate>& list)
{
    RoomFileReport report;
    std::array<char, kRoomTemplateBufferCells> buffer{};
    buffer[0] = ' ';
    std::size_t position = 0;
    float width = 0.0f;
    float height = 0.0f;
    bool dropTemplate = false;   // its size line was refused
    bool overflowSeen = false;   // rows of this template ran past the buffer (reported once)

    auto fail = [&](int lineNumber, const std::string& what) {
        std::string message = name + ":" + std::to_string(lineNumber) + ": " + what;
        std::cout << message << "\n";
        report.errors.push_back(std::move(message));
    };

    std::string line;
    int lineNumber = 0;
    int openLine = 0;  // the 'd' line of a template still waiting for its 'e'
    while (std::getline(in, line)) {
        ++lineNumber;
        const char kind = line.empty() ? '\0' : line[0];
        if (kind == 'T')
            break;
        const std::vector<std::string> fields = SplitFields(line);
        if (kind == 'd') {
            float w = 0.0f;
            float h = 0.0f;
            if (fields.size() < 3 || !ParseSize(fields[1], w) || !ParseSize(fields[2], h)) {
                fail(lineNumber, "template size is not a number: \"" + line + "\"");
                if (openLine != 0)
                    fail(openLine, "the template begun here has no end line 'e'; it is not used");
                openLine = lineNumber;
                dropTemplate = true;
                continue;
            }
            if (openLine != 0)
                fail(openLine, "the template begun here has no end line 'e'; it is not used");
            openLine = lineNumber;
            // No template wider or deeper than the buffer fits it; refusing those first keeps
            // the conversions below within int.
            if (w > static_cast<float>(kRoomTemplateBufferCells) ||
                h > static_cast<float>(kRoomTemplateBufferCells)) {
                fail(lineNumber, "template of " + fields[1] + " x " + fields[2] +
                                     " needs more than 256 cells");
                dropTemplate = true;
                continue;
            }
            width = w;
            height = h;
            dropTemplate = false;
            const int columns = w > 0.0f ? static_cast<int>(std::ceil(w)) : 0;
            const int rows = h > 0.0f ? static_cast<int>(std::ceil(h)) : 0;
            // Row r, column c is read from buffer index r * (int)width + c: the last cell read
            // must still lie inside the buffer.
            const double needed =
                (columns > 0 && rows > 0)
                    ? static_cast<double>(rows - 1) * static_cast<int>(w) + columns
                    : 0.0;
            if (needed > static_cast<double>(kRoomTemplateBufferCells)) {
                fail(lineNumber, "template of " + fields[1] + " x " + fields[2] +
                                     " needs more than 256 cells");
                dropTemplate = true;
            }
            continue;
        }
        if (kind == 'e') {
            openLine = 0;
            if (!dropTemplate) {
                RoomTemplate room;
                room.size = ztmath::Vector3(width, 0.0f, height);
                const int columns = room.Columns();
                const int rows = room.Rows();
                room.cells.reserve(static_cast<std::size_t>(columns * rows));
                for (int r = 0; r < rows; ++r) {
                    for (int c = 0; c < columns; ++c) {
                        MapObject cell;
                        cell.type = buffer[static_cast<std::size_t>(
                            r * static_cast<int>(width) + c)];
                        cell.position = ztmath::Vector3(static_cast<float>(c), 0.0f,
                                                        static_cast<float>(r));
                        room.cells.push_back(cell);
                    }
                }
                list.push_back(std::move(room));
                ++report.templatesRead;
            }
            position = 0;
            overflowSeen = false;
            continue;
        }
        // A row: every field after the label is one cell.
        for (std::size_t f = 1; f < fields.size(); ++f) {
            if (position >= kRoomTemplateBufferCells) {
                if (!overflowSeen)
                    fail(lineNumber, "rows give more than 256 cells; the rest are ignored");
                overflowSeen = true;
                break;
            }
            const char cell = fields[f].empty() ? '\0' : fields[f][0];
            // Cells are ASCII characters; a byte above that is a damaged or mis-encoded file.
            if (static_cast<unsigned char>(cell) >= 0x80 && !dropTemplate) {
                fail(lineNumber, "cell " + std::to_string(f) +
                                     " is not an ASCII character; the template is not used");
                dropTemplate = true;
            }
            buffer[position++] = cell;
        }
    }
    if (openLine != 0)
        fail(openLine, "the template begun here has no end line 'e'; it is not used");
    if (report.templatesRead == 0 && report.errors.empty())
        fail(lineNumber, "the file holds no room template");
    return report;
}

}  // namespace ztengine
