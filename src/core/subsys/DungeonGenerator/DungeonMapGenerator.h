#pragma once
// DungeonMapGenerator: lays out one dungeon floor as a 79 x 39 grid of characters.
//
// A first room is placed near the centre; up to 49 more rooms (65 %) and two-cell-wide
// corridors (35 %) grow from the walls of what is already there; room templates of the floor's
// colour are stamped into every room; down stairs, up stairs and 2 to 4 chests are put down;
// corridors that lead nowhere are walled up. The builder then turns the grid into scene objects.
//
// How the dungeon builder uses it
// -------------------------------
//     DungeonMapGenerator gen;              // reads levels/RedRooms.dat, YellowRooms.dat,
//                                           // BlueRooms.dat from the working folder
//     gen.SetRoomSizes(6, 14);              // the running sizes (defaults are 6 and 11)
//     gen.SetCorridorLengths(2, 12);
//     gen.SetFixedRoomSize(15, 15);         // the boss room (default 12 x 12)
//     ...
//     if (gen.GenerateFloor(colour, bossFloor)) {   // colour 1 red, 2 yellow, 3 blue
//         gen.Print();
//         gen.CopyRows(layout.m_rows);      // 39 rows of 79 characters
//         for (const MapObject& o : gen.GetSpecialTiles()) ...  // walls, doors, stairs, ...
//         gen.GetRooms();                   // every room's interior, first room first
//         gen.GetFreeRooms();               // the rooms without stairs (the fight rooms)
//     }
//
// GenerateFloor runs the whole sequence for one floor: Reset, Generate repeated until an
// attempt succeeds (at most kMaxGenerateAttempts; false and a message when none does),
// CleanUpDoors, BuildVisibleMap and the visible grid copied over the grid. A boss floor starts
// from the fixed-size room and gets no down stairs; the boss room's template carries the 'B'.
// The single steps stay public for callers that want them one by one.
//
// The grid
// --------
// Cell (x, y), column x in 0..78 and row y in 0..38, is GetTile(x, y); outside the grid it is
// '.'. Characters: '.' solid, ' ' floor, '#' wall, '+' door, '-' opening between corridors,
// '*' up stairs (player start), 'v' down stairs, '$' chest, and whatever the templates stamp:
// '!' spawn point, 'B' boss, 'X' pillar, '@' barrels, '=' crate, '%' rock, ':' stones,
// 'Z' spikes, '^' ice, '~' goo, '?' marker. One cell is 10 world units.
//
// Rooms and corridors are MapRects of their interior (top-left cell and size); their walls are
// the ring one cell around that.
//
// Random numbers
// --------------
// One Mersenne Twister of its own, seeded from the system's random device at construction.
// Seed() fixes the sequence. The standard library's integer and real distributions differ
// between library versions, so a grid that must come out the same on every toolchain (a pinned
// test grid) also selects Distributions::Portable; the game keeps the standard ones.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/subsys/DungeonGenerator/RoomTemplate.h"

namespace ztengine {

struct MapRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class DungeonMapGenerator {
public:
    static constexpr int kWidth = 79;
    static constexpr int kHeight = 39;
    static constexpr int kMaxFeatures = 49;
    // Attempts that GenerateFloor makes before it gives up on a floor (SetMaxGenerateAttempts
    // changes it for this generator).
    static constexpr int kMaxGenerateAttempts = 10000;

    enum class Distributions { Standard, Portable };

    // Results of Generate.
    enum Result : int {
        kSuccess = 0,
        kNoFirstRoom = 1,
        kNoUpStairs = 2,
        kNoDownStairs = 3,
        kNoChest = 5,
    };

    // Reads the three room files from `levelsFolder` (which ends with a '/').
    explicit DungeonMapGenerator(const std::string& levelsFolder = "levels/");
    // Takes the red, yellow and blue template lists as given and the seed: nothing is read.
    DungeonMapGenerator(std::vector<RoomTemplate> red, std::vector<RoomTemplate> yellow,
                        std::vector<RoomTemplate> blue, uint32_t seed);

    // ---- Templates ----
    // Reads "RedRooms.dat", "YellowRooms.dat" and "BlueRooms.dat" from the folder, in that
    // order, replacing the lists. Prints each file name; a missing file prints
    // "Unable to open <name>" and leaves that colour without templates (plain rooms).
    void LoadRoomFiles(const std::string& levelsFolder = "levels/");
    // One colour (1 red, 2 yellow, 3 blue); true when the file was opened.
    bool LoadRoomFile(int colour, const std::string& levelsFolder = "levels/");
    // The list that colour uses: red for any value other than 2 and 3.
    const std::vector<RoomTemplate>& GetTemplates(int colour) const;
    void SetTemplates(int colour, std::vector<RoomTemplate> templates);
    static const char* RoomFileName(int colour);

    // ---- Random numbers ----
    void Seed(uint32_t seed);
    void SetDistributions(Distributions d) { m_distributions = d; }

    // ---- Parameters ----
    void SetRoomSizes(int minimum, int maximum);
    void SetCorridorLengths(int minimum, int maximum);
    void SetFixedRoomSize(int width, int height);
    // The next successful layout starts from the fixed-size room and gets no down stairs.
    void SetUseFixedRoom(bool use);
    bool GetUseFixedRoom() const { return m_useFixedRoom; }
    void SetVerbose(bool verbose) { m_verbose = verbose; }
    void SetMaxGenerateAttempts(int attempts) { m_maxGenerateAttempts = attempts; }

    // ---- One floor ----
    // The whole sequence (see the top of this file); false when no attempt succeeded.
    bool GenerateFloor(int colour, bool bossFloor);

    // ---- The single steps ----
    // Both grids back to '.', rooms, corridors, exits and special tiles emptied.
    void Reset();
    // One attempt for the colour; kSuccess or the reason it failed (a partial grid stays).
    int Generate(int colour);
    // Walls up corridors reached through a single door or opening, one layer per pass.
    void CleanUpDoors();
    // Fills the visible grid with the rooms and the corridors still connected.
    void BuildVisibleMap();
    // Copies the visible grid over the grid, as the builder does before reading it.
    void UseVisibleMap();

    // ---- Reading the result ----
    char GetTile(int x, int y) const;
    char GetVisibleTile(int x, int y) const;
    const std::vector<char>& GetTiles() const { return m_tiles; }
    std::string GetRow(int y) const;
    // Clears `rows` and appends the 39 rows, 79 characters each. Any vector of char vectors.
    template <class Rows>
    void CopyRows(Rows& rows) const
    {
        rows.clear();
        for (int y = 0; y < kHeight; ++y) {
            const auto first = m_tiles.begin() + y * kWidth;
            rows.emplace_back(first, first + kWidth);
        }
    }
    // Writes the 39 rows to standard output.
    void Print() const;

    // Every cell holding one of # + * v X @ = : % $ ! B Z ^ ~ ?, rows top to bottom and
    // columns left to right, at (x * scale, 0, y * scale) with scale (1, 1, 1) times the tile
    // scale. Built once per layout.
    const std::vector<MapObject>& GetSpecialTiles();

    int GetRoomCount() const { return static_cast<int>(m_rooms.size()); }
    const MapRect& GetRoom(int i) const { return m_rooms[static_cast<std::size_t>(i)]; }
    const std::vector<MapRect>& GetRooms() const { return m_rooms; }
    const std::vector<MapRect>& GetCorridors() const { return m_corridors; }
    // The rooms that did not receive stairs, in placement order.
    const std::vector<MapRect>& GetFreeRooms() const { return m_freeRooms; }
    int GetFreeRoomCount() const { return static_cast<int>(m_freeRooms.size()); }
    // The free room i; past the end the last one; an empty rectangle when there is none.
    MapRect GetFreeRoom(int i) const;
    // The builder takes a room out once its fight is over.
    void RemoveFreeRoom(int i);

    // ---- Building blocks, public for tests ----
    // Places a room or corridor interior filled with `tile` (and the colour's last fitting
    // template) with its wall ring; false when it leaves the grid or meets anything but '.'.
    bool PlaceRect(const MapRect& rect, char tile);
    void SetTile(int x, int y, char c);
    // Adds a corridor record without touching the grid, for building fixtures by hand.
    void AddCorridor(const MapRect& rect) { m_corridors.push_back(rect); }
    void AddRoom(const MapRect& rect);
    void SetColour(int colour) { m_colour = colour; }

private:
    bool MakeRoom(int x, int y, int direction);
    bool MakeCorridor(int x, int y, int direction);
    bool CreateFeature();
    bool CreateFeatureAt(int x, int y, int direction);
    bool PlaceObject(char c);
    void AddExits(const MapRect& r, int direction);
    void Report(const std::string& message) const;
    int Uniform(int a, int b);
    bool Coin();

    std::vector<int> m_chestRooms;
    int m_roomSizeMin = 6;
    int m_roomSizeMax = 11;
    int m_corridorLengthMin = 2;
    int m_corridorLengthMax = 12;
    int m_fixedRoomWidth = 12;
    int m_fixedRoomHeight = 12;
    bool m_useFixedRoom = false;
    bool m_fixedRoomPlaced = false;
    std::vector<char> m_visibleTiles;
    std::vector<char> m_tiles;
    std::vector<MapRect> m_rooms;
    std::vector<MapRect> m_freeRooms;
    std::vector<MapRect> m_corridors;
    std::vector<MapRect> m_exits;
    bool m_specialTilesValid = false;
    float m_tileScale = 1.0f;
    std::vector<MapObject> m_specialTiles;
    std::vector<RoomTemplate> m_redTemplates;
    std::vector<RoomTemplate> m_yellowTemplates;
    std::vector<RoomTemplate> m_blueTemplates;
    int m_colour = 1;
    bool m_verbose = false;
    int m_maxGenerateAttempts = kMaxGenerateAttempts;

    std::mt19937 m_engine;
    Distributions m_distributions = Distributions::Standard;
};

}  // namespace ztengine
