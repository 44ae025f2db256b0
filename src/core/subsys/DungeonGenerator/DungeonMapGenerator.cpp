#include "core/subsys/DungeonGenerator/DungeonMapGenerator.h"

#include <algorithm>
#include <fstream>
#include <iostream>

namespace ztengine {

namespace {

constexpr int kFeatureTries = 1000;
constexpr int kChestRedraws = 255;
// Redraws allowed while the drawn room is the fixed room; far more than any real layout needs
// (the fixed room is one of a dozen or more), but a layout whose only free room is the fixed
// one would otherwise draw for ever.
constexpr int kFixedRoomRedraws = 1000;

// Uniform integer in [a, b] by rejection: the same numbers from the same engine everywhere.
int PortableUniform(std::mt19937& engine, int a, int b)
{
    const uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(b) - a) + 1;
    const uint64_t limit = (uint64_t{1} << 32) - ((uint64_t{1} << 32) % range);
    uint64_t v = engine();
    while (v >= limit)
        v = engine();
    return static_cast<int>(static_cast<int64_t>(a) + static_cast<int64_t>(v % range));
}

// 53 random bits as a real in [0, 1).
double PortableCanonical(std::mt19937& engine)
{
    const uint64_t high = engine() >> 5;  // 27 bits
    const uint64_t low = engine() >> 6;   // 26 bits
    return static_cast<double>((high << 26) | low) / 9007199254740992.0;
}

bool IsFloor(char c)
{
    return c == ' ' || c == ',';
}

bool IsSpecial(char c)
{
    switch (c) {
    case '#': case '+': case '*': case 'v': case 'X': case '@': case '=': case ':':
    case '%': case '$': case '!': case 'B': case 'Z': case '^': case '~': case '?':
        return true;
    default:
        return false;
    }
}

}  // namespace

DungeonMapGenerator::DungeonMapGenerator(const std::string& levelsFolder)
    : m_visibleTiles(kWidth * kHeight, '.'),
      m_tiles(kWidth * kHeight, '.'),
      m_engine(std::random_device{}())
{
    LoadRoomFiles(levelsFolder);
}

DungeonMapGenerator::DungeonMapGenerator(std::vector<RoomTemplate> red,
                                         std::vector<RoomTemplate> yellow,
                                         std::vector<RoomTemplate> blue, uint32_t seed)
    : m_visibleTiles(kWidth * kHeight, '.'),
      m_tiles(kWidth * kHeight, '.'),
      m_redTemplates(std::move(red)),
      m_yellowTemplates(std::move(yellow)),
      m_blueTemplates(std::move(blue)),
      m_engine(seed)
{
}

// ---- Templates ----

const char* DungeonMapGenerator::RoomFileName(int colour)
{
    switch (colour) {
    case 2: return "YellowRooms.dat";
    case 3: return "BlueRooms.dat";
    default: return "RedRooms.dat";
    }
}

void DungeonMapGenerator::LoadRoomFiles(const std::string& levelsFolder)
{
    for (int colour = 1; colour <= 3; ++colour) {
        SetTemplates(colour, {});
        LoadRoomFile(colour, levelsFolder);
    }
}

bool DungeonMapGenerator::LoadRoomFile(int colour, const std::string& levelsFolder)
{
    const std::string name = RoomFileName(colour);
    std::cout << name << "\n";
    std::ifstream in(levelsFolder + name, std::ios::binary);
    if (!in) {
        std::cout << "Unable to open " << name << "\n";
        return false;
    }
    std::vector<RoomTemplate> list = GetTemplates(colour);
    ReadRoomTemplates(in, name, list);
    SetTemplates(colour, std::move(list));
    return true;
}

const std::vector<RoomTemplate>& DungeonMapGenerator::GetTemplates(int colour) const
{
    switch (colour) {
    case 2: return m_yellowTemplates;
    case 3: return m_blueTemplates;
    default: return m_redTemplates;
    }
}

void DungeonMapGenerator::SetTemplates(int colour, std::vector<RoomTemplate> templates)
{
    switch (colour) {
    case 2: m_yellowTemplates = std::move(templates); break;
    case 3: m_blueTemplates = std::move(templates); break;
    default: m_redTemplates = std::move(templates); break;
    }
}

// ---- Random numbers and parameters ----

void DungeonMapGenerator::Seed(uint32_t seed)
{
    m_engine.seed(seed);
}

int DungeonMapGenerator::Uniform(int a, int b)
{
    if (m_distributions == Distributions::Portable)
        return PortableUniform(m_engine, a, b);
    return std::uniform_int_distribution<int>(a, b)(m_engine);
}

bool DungeonMapGenerator::Coin()
{
    if (m_distributions == Distributions::Portable)
        return PortableCanonical(m_engine) < 0.5;
    return std::generate_canonical<double, 53>(m_engine) < 0.5;
}

void DungeonMapGenerator::SetRoomSizes(int minimum, int maximum)
{
    m_roomSizeMin = minimum;
    m_roomSizeMax = maximum;
}

void DungeonMapGenerator::SetCorridorLengths(int minimum, int maximum)
{
    m_corridorLengthMin = minimum;
    m_corridorLengthMax = maximum;
}

void DungeonMapGenerator::SetFixedRoomSize(int width, int height)
{
    m_fixedRoomWidth = width;
    m_fixedRoomHeight = height;
}

void DungeonMapGenerator::SetUseFixedRoom(bool use)
{
    m_useFixedRoom = use;
    m_fixedRoomPlaced = false;
}

void DungeonMapGenerator::Report(const std::string& message) const
{
    if (m_verbose)
        std::cout << message;
}

// ---- One floor ----

bool DungeonMapGenerator::GenerateFloor(int colour, bool bossFloor)
{
    SetUseFixedRoom(bossFloor);
    for (int attempt = 0; attempt < m_maxGenerateAttempts; ++attempt) {
        Reset();
        if (Generate(colour) == kSuccess) {
            CleanUpDoors();
            BuildVisibleMap();
            UseVisibleMap();
            return true;
        }
    }
    // Templates with too little floor can make every attempt fail; an endless loop would hang
    // the game on a loading fade, so give up and say why.
    std::cout << "Unable to generate a dungeon floor of colour " << colour << " in "
              << m_maxGenerateAttempts << " attempts.\n";
    m_useFixedRoom = false;
    m_fixedRoomPlaced = false;
    return false;
}

// ---- The single steps ----

void DungeonMapGenerator::Reset()
{
    std::fill(m_tiles.begin(), m_tiles.end(), '.');
    std::fill(m_visibleTiles.begin(), m_visibleTiles.end(), '.');
    m_rooms.clear();
    m_freeRooms.clear();
    m_corridors.clear();
    m_exits.clear();
    m_specialTiles.clear();
    m_specialTilesValid = false;
}

int DungeonMapGenerator::Generate(int colour)
{
    m_colour = colour;
    if (!MakeRoom(kWidth / 2, kHeight / 2, 1)) {
        Report("Unable to place the first room.\n");
        if (m_useFixedRoom)
            m_fixedRoomPlaced = false;
        return kNoFirstRoom;
    }
    for (int i = 1; i < kMaxFeatures + 1; ++i) {
        if (!CreateFeature()) {
            Report("Unable to place more features (placed " + std::to_string(i) + ").\n");
            break;
        }
    }
    std::replace(m_tiles.begin(), m_tiles.end(), ',', ' ');
    if (!m_useFixedRoom && !PlaceObject('v')) {
        Report("Unable to place down stairs.\n");
        return kNoDownStairs;
    }
    if (!PlaceObject('*')) {
        Report("Unable to place up stairs.\n");
        if (m_useFixedRoom)
            m_fixedRoomPlaced = false;
        return kNoUpStairs;
    }
    m_chestRooms.clear();
    for (int placed = 0;;) {
        const int wanted = 2 + Uniform(0, 2);
        if (placed >= wanted)
            break;
        if (!PlaceObject('$')) {
            Report("Unable to place up chest.\n");
            if (m_useFixedRoom)
                m_fixedRoomPlaced = false;
            return kNoChest;
        }
        ++placed;
    }
    m_useFixedRoom = false;
    m_fixedRoomPlaced = false;
    return kSuccess;
}

bool DungeonMapGenerator::CreateFeature()
{
    for (int t = 0; t < kFeatureTries; ++t) {
        if (m_exits.empty())
            return false;
        const int r = Uniform(0, static_cast<int>(m_exits.size()) - 1);
        const MapRect exit = m_exits[static_cast<std::size_t>(r)];
        const int x = exit.x + Uniform(0, exit.width - 1);
        const int y = exit.y + Uniform(0, exit.height - 1);
        for (int direction = 0; direction < 4; ++direction) {
            if (CreateFeatureAt(x, y, direction)) {
                m_exits.erase(m_exits.begin() + r);
                return true;
            }
        }
    }
    return false;
}

bool DungeonMapGenerator::CreateFeatureAt(int x, int y, int direction)
{
    static constexpr int kBehind[4][2] = {{0, 1}, {0, -1}, {-1, 0}, {1, 0}};
    const char behind = GetTile(x + kBehind[direction][0], y + kBehind[direction][1]);
    if (!IsFloor(behind))
        return false;
    if (Uniform(0, 99) < 65) {
        if (!MakeRoom(x, y, direction))
            return false;
        SetTile(x, y, '+');
        return true;
    }
    if (!MakeCorridor(x, y, direction))
        return false;
    SetTile(x, y, behind == ' ' ? '+' : '-');
    return true;
}

bool DungeonMapGenerator::MakeRoom(int x, int y, int direction)
{
    MapRect room;
    if (m_useFixedRoom && !m_fixedRoomPlaced) {
        room.width = m_fixedRoomWidth;
        room.height = m_fixedRoomHeight;
        m_fixedRoomPlaced = true;
    } else {
        room.width = Uniform(m_roomSizeMin, m_roomSizeMax);
        // The 11 is not the maximum: narrow rooms stay at most 11 tall whatever it is.
        room.height = room.width < 10 ? Uniform(m_roomSizeMin, 11) : Uniform(10, m_roomSizeMax);
    }
    switch (direction) {
    case 0: room.x = x - room.width / 2; room.y = y - room.height; break;
    case 1: room.x = x - room.width / 2; room.y = y + 1; break;
    case 2: room.x = x + 1; room.y = y - room.height / 2; break;
    default: room.x = x - room.width; room.y = y - room.height / 2; break;
    }
    if (!PlaceRect(room, ' '))
        return false;
    m_rooms.push_back(room);
    m_freeRooms.push_back(room);
    AddExits(room, direction);
    return true;
}

bool DungeonMapGenerator::MakeCorridor(int x, int y, int direction)
{
    MapRect corridor;
    if (Coin()) {
        corridor.width = Uniform(m_corridorLengthMin, m_corridorLengthMax);
        corridor.height = 2;
        switch (direction) {
        case 0:
        case 1:
            corridor.x = x;
            corridor.y = direction == 0 ? y - 2 : y + 1;
            if (Coin())
                corridor.x = x - corridor.width + 1;
            break;
        case 3: corridor.x = x - corridor.width; corridor.y = y; break;
        default: corridor.x = x + 1; corridor.y = y; break;
        }
    } else {
        corridor.width = 2;
        corridor.height = Uniform(m_corridorLengthMin, m_corridorLengthMax);
        switch (direction) {
        case 0: corridor.x = x; corridor.y = y - corridor.height; break;
        case 1: corridor.x = x; corridor.y = y + 1; break;
        case 2:
        case 3:
            corridor.x = direction == 3 ? x - 2 : x + 1;
            corridor.y = y;
            if (Coin())
                corridor.y = y - corridor.height + 1;
            break;
        }
    }
    if (!PlaceRect(corridor, ','))
        return false;
    m_corridors.push_back(corridor);
    AddExits(corridor, direction);
    return true;
}

void DungeonMapGenerator::AddExits(const MapRect& r, int direction)
{
    if (direction != 1)
        m_exits.push_back({r.x, r.y - 1, r.width, 1});
    if (direction != 0)
        m_exits.push_back({r.x, r.y + r.height, r.width, 1});
    if (direction != 2)
        m_exits.push_back({r.x - 1, r.y, 1, r.height});
    if (direction != 3)
        m_exits.push_back({r.x + r.width, r.y, 1, r.height});
}

bool DungeonMapGenerator::PlaceRect(const MapRect& rect, char tile)
{
    const std::vector<RoomTemplate>& templates = GetTemplates(m_colour);
    if (rect.x < 1 || rect.y < 1 || rect.x + rect.width > kWidth - 1 ||
        rect.y + rect.height > kHeight - 1)
        return false;
    for (int y = rect.y; y < rect.y + rect.height; ++y)
        for (int x = rect.x; x < rect.x + rect.width; ++x)
            if (GetTile(x, y) != '.')
                return false;

    // The last template that fits wins, so the files list them smallest first. Corridors are
    // matched too; templates at least 3 wide and 3 tall never fit one.
    const RoomTemplate* chosen = nullptr;
    for (const RoomTemplate& t : templates)
        if (t.size.x <= static_cast<float>(rect.width) && t.size.z <= static_cast<float>(rect.height))
            chosen = &t;

    for (int y = rect.y - 1; y <= rect.y + rect.height; ++y)
        for (int x = rect.x - 1; x <= rect.x + rect.width; ++x)
            SetTile(x, y, '#');
    const int rows = chosen ? chosen->Rows() : 0;
    const int columns = chosen ? chosen->Columns() : 0;
    for (int i = 0; i < rect.height; ++i)
        for (int j = 0; j < rect.width; ++j)
            SetTile(rect.x + j, rect.y + i, (i < rows && j < columns) ? chosen->Cell(i, j) : tile);
    return true;
}

bool DungeonMapGenerator::PlaceObject(char c)
{
    if (m_freeRooms.empty())
        return false;
    const int last = static_cast<int>(m_freeRooms.size()) - 1;
    int r = Uniform(0, last);
    if (m_useFixedRoom) {
        auto isFixed = [&](int i) {
            const MapRect& room = m_freeRooms[static_cast<std::size_t>(i)];
            return room.width == m_fixedRoomWidth && room.height == m_fixedRoomHeight;
        };
        int redraws = 0;
        while (isFixed(r)) {
            if (++redraws > kFixedRoomRedraws) {
                std::cout << "Unable to find a room other than the fixed room for '" << c
                          << "'.\n";
                return false;
            }
            r = Uniform(0, last);
        }
    }
    if (c == '$') {
        auto taken = [&](int i) {
            return std::find(m_chestRooms.begin(), m_chestRooms.end(), i) != m_chestRooms.end();
        };
        for (int i = 0; i < kChestRedraws && taken(r); ++i)
            r = Uniform(0, last);
        if (taken(r))
            return false;
        m_chestRooms.push_back(r);
    }
    const MapRect room = m_freeRooms[static_cast<std::size_t>(r)];
    const int x = Uniform(room.x + 1, room.x + room.width - 2);
    const int y = Uniform(room.y + 1, room.y + room.height - 2);
    if (GetTile(x, y) != ' ')
        return false;
    SetTile(x, y, c);
    if (c != '$')
        m_freeRooms.erase(m_freeRooms.begin() + r);
    return true;
}

void DungeonMapGenerator::CleanUpDoors()
{
    bool changed = true;
    for (int pass = 0; pass < 10 && changed; ++pass) {
        changed = false;
        for (const MapRect& c : m_corridors) {
            if (c.width == 0 || c.height == 0)
                continue;
            int count = 0;
            int doorX = 0;
            int doorY = 0;
            for (int y = c.y - 1; y <= c.y + c.height; ++y) {
                for (int x = c.x - 1; x <= c.x + c.width; ++x) {
                    const char t = GetTile(x, y);
                    if (t == '+' || t == '-') {
                        ++count;
                        doorX = x;
                        doorY = y;
                    }
                }
            }
            if (count == 1) {
                SetTile(doorX, doorY, '#');
                changed = true;
            }
        }
    }
}

void DungeonMapGenerator::BuildVisibleMap()
{
    auto copyGrown = [&](const MapRect& r) {
        for (int y = r.y - 1; y <= r.y + r.height; ++y)
            for (int x = r.x - 1; x <= r.x + r.width; ++x)
                if (x >= 0 && x < kWidth && y >= 0 && y < kHeight)
                    m_visibleTiles[static_cast<std::size_t>(y * kWidth + x)] = GetTile(x, y);
    };
    for (const MapRect& room : m_rooms)
        copyGrown(room);
    for (const MapRect& c : m_corridors) {
        bool connected = false;
        for (int y = c.y - 1; y <= c.y + c.height && !connected; ++y)
            for (int x = c.x - 1; x <= c.x + c.width && !connected; ++x)
                connected = GetTile(x, y) == '+' || GetTile(x, y) == '-';
        if (connected)
            copyGrown(c);
    }
}

void DungeonMapGenerator::UseVisibleMap()
{
    m_tiles = m_visibleTiles;
    m_specialTilesValid = false;
    m_specialTiles.clear();
}

// ---- Reading the result ----

char DungeonMapGenerator::GetTile(int x, int y) const
{
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight)
        return '.';
    return m_tiles[static_cast<std::size_t>(y * kWidth + x)];
}

char DungeonMapGenerator::GetVisibleTile(int x, int y) const
{
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight)
        return '.';
    return m_visibleTiles[static_cast<std::size_t>(y * kWidth + x)];
}

void DungeonMapGenerator::SetTile(int x, int y, char c)
{
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight)
        return;
    m_tiles[static_cast<std::size_t>(y * kWidth + x)] = c;
    m_specialTilesValid = false;
}

void DungeonMapGenerator::AddRoom(const MapRect& rect)
{
    m_rooms.push_back(rect);
    m_freeRooms.push_back(rect);
}

std::string DungeonMapGenerator::GetRow(int y) const
{
    if (y < 0 || y >= kHeight)
        return std::string(kWidth, '.');
    return std::string(m_tiles.begin() + y * kWidth, m_tiles.begin() + (y + 1) * kWidth);
}

void DungeonMapGenerator::Print() const
{
    for (int y = 0; y < kHeight; ++y)
        std::cout << GetRow(y) << "\n";
}

const std::vector<MapObject>& DungeonMapGenerator::GetSpecialTiles()
{
    if (m_specialTilesValid)
        return m_specialTiles;
    m_specialTilesValid = true;
    m_specialTiles.clear();
    const float s = m_tileScale;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const char c = GetTile(x, y);
            if (!IsSpecial(c))
                continue;
            MapObject o;
            o.type = c;
            o.position = ztmath::Vector3(static_cast<float>(x) * s, 0.0f, static_cast<float>(y) * s);
            o.scale = ztmath::Vector3(s, s, s);
            m_specialTiles.push_back(o);
        }
    }
    return m_specialTiles;
}

MapRect DungeonMapGenerator::GetFreeRoom(int i) const
{
    if (m_freeRooms.empty())
        return {};
    if (i < 0)
        i = 0;
    const auto index = std::min(static_cast<std::size_t>(i), m_freeRooms.size() - 1);
    return m_freeRooms[index];
}

void DungeonMapGenerator::RemoveFreeRoom(int i)
{
    if (i >= 0 && i < static_cast<int>(m_freeRooms.size()))
        m_freeRooms.erase(m_freeRooms.begin() + i);
}

}  // namespace ztengine
