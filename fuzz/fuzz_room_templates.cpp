// A room template file (".dat" of a dungeon colour), read from the input as the dungeon
// generator reads it; every cell of every template is visited.
#include <sstream>

#include "FuzzFiles.h"
#include "core/subsys/DungeonGenerator/RoomTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<ztengine::RoomTemplate> rooms;
    ztengine::ReadRoomTemplates(in, "RedRooms.dat", rooms);
    volatile int sink = 0;
    for (const ztengine::RoomTemplate& room : rooms)
        for (int row = 0; row < room.Rows(); ++row)
            for (int column = 0; column < room.Columns(); ++column)
                sink = sink + room.Cell(row, column);
    return 0;
}
