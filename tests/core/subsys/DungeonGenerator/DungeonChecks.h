#pragma once
// What every generated floor must satisfy, as one function returning the broken rules, shared by
// the generator tests and the long-run benchmark. A floor is read after the whole per-floor
// sequence (sealed corridors already gone).
#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/subsys/DungeonGenerator/DungeonMapGenerator.h"

namespace dungeontest {

using ztengine::DungeonMapGenerator;
using ztengine::MapRect;

// Cells a player can walk through. Hazards count as blocking and chests too (a chest's body
// blocks its cell), so a floor that passes is playable whatever the hazards' colliders do.
inline bool Walkable(char c)
{
    switch (c) {
    case ' ': case '+': case '-': case '*': case 'v': case '!': case 'B': case '?': case ':':
        return true;
    default:
        return false;
    }
}

inline bool Inside(const MapRect& r, int x, int y)
{
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

inline bool Overlap(const MapRect& a, const MapRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

struct FloorRules {
    bool bossFloor = false;
    int roomSizeMin = 6;
    int roomSizeMax = 14;
    int fixedWidth = 15;
    int fixedHeight = 15;
    // Shipped templates carry no chests, so every '$' is the generator's.
    bool countChests = true;
    // Boss cells the floor must hold, all in the first room; -1 when the templates decide.
    int bossCells = -1;
};

// Returns one line per broken rule; empty when the floor is sound.
inline std::vector<std::string> CheckFloor(const DungeonMapGenerator& gen, const FloorRules& rules)
{
    std::vector<std::string> problems;
    auto fail = [&](std::string s) { problems.push_back(std::move(s)); };
    constexpr int W = DungeonMapGenerator::kWidth;
    constexpr int H = DungeonMapGenerator::kHeight;
    const std::vector<MapRect>& rooms = gen.GetRooms();
    if (rooms.empty()) {
        fail("no rooms");
        return problems;
    }
    auto roomOf = [&](int x, int y) {
        for (std::size_t i = 0; i < rooms.size(); ++i)
            if (Inside(rooms[i], x, y))
                return static_cast<int>(i);
        return -1;
    };

    // First room and room sizes.
    const MapRect& first = rooms[0];
    if (rules.bossFloor) {
        if (first.x != 39 - rules.fixedWidth / 2 || first.y != 20 ||
            first.width != rules.fixedWidth || first.height != rules.fixedHeight)
            fail("fixed room not at its place or size");
    } else if (first.x != 39 - first.width / 2 || first.y != 20) {
        fail("first room not below the centre");
    }
    for (std::size_t i = rules.bossFloor ? 1 : 0; i < rooms.size(); ++i) {
        const MapRect& r = rooms[i];
        const bool wide = r.width >= 10;
        if (r.width < rules.roomSizeMin || r.width > rules.roomSizeMax ||
            r.height < (wide ? 10 : rules.roomSizeMin) ||
            r.height > (wide ? rules.roomSizeMax : 11))
            fail("room " + std::to_string(i) + " has a size out of range");
    }
    std::vector<MapRect> all = rooms;
    all.insert(all.end(), gen.GetCorridors().begin(), gen.GetCorridors().end());
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j)
            if (Overlap(all[i], all[j]))
                fail("interiors " + std::to_string(i) + " and " + std::to_string(j) + " overlap");

    // Every room is walled in: its ring holds only walls, doors and openings, and no floor,
    // door or stair cell anywhere opens onto the solid nothing around the floor (a missing wall
    // would let the player walk off the level).
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        const MapRect& r = rooms[i];
        for (int y = r.y - 1; y <= r.y + r.height; ++y) {
            for (int x = r.x - 1; x <= r.x + r.width; ++x) {
                if (Inside(r, x, y))
                    continue;
                const char c = gen.GetTile(x, y);
                if (c != '#' && c != '+' && c != '-') {
                    fail("room " + std::to_string(i) + " is not walled in at " + std::to_string(x) + "," +
                         std::to_string(y));
                    y = r.y + r.height;  // one line per room is enough
                    break;
                }
            }
        }
    }
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const char c = gen.GetTile(x, y);
            if (c == '.' || c == '#')
                continue;
            bool open = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    open = open || gen.GetTile(x + dx, y + dy) == '.';
            if (open)
                fail(std::string("'") + c + "' at " + std::to_string(x) + "," + std::to_string(y) +
                     " opens onto nothing");
        }
    }

    // Stairs and chests.
    std::vector<std::pair<int, int>> up, down, chests;
    int bosses = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const char c = gen.GetTile(x, y);
            if (c == '*') up.emplace_back(x, y);
            if (c == 'v') down.emplace_back(x, y);
            if (c == '$') chests.emplace_back(x, y);
            if (c == 'B') ++bosses;
            if (c == ',') fail("corridor floor left unconverted");
            if (c == '+' || c == '-') {
                const bool across = Walkable(gen.GetTile(x - 1, y)) && Walkable(gen.GetTile(x + 1, y));
                const bool along = Walkable(gen.GetTile(x, y - 1)) && Walkable(gen.GetTile(x, y + 1));
                if (!across && !along)
                    fail("door at " + std::to_string(x) + "," + std::to_string(y) +
                         " does not join two floors");
            }
        }
    }
    if (up.size() != 1)
        fail(std::to_string(up.size()) + " up stairs");
    if (down.size() != (rules.bossFloor ? 0u : 1u))
        fail(std::to_string(down.size()) + " down stairs");
    if (rules.bossCells >= 0 && bosses != rules.bossCells)
        fail(std::to_string(bosses) + " boss cells");

    std::vector<int> stairRooms;
    for (const auto& list : {up, down}) {
        for (const auto& [x, y] : list) {
            const int r = roomOf(x, y);
            if (r < 0) {
                fail("stairs outside every room");
                continue;
            }
            const MapRect& room = rooms[static_cast<std::size_t>(r)];
            if (x == room.x || x == room.x + room.width - 1 || y == room.y ||
                y == room.y + room.height - 1)
                fail("stairs next to a wall");
            if (rules.bossFloor && r == 0)
                fail("stairs in the fixed room");
            if (std::find(stairRooms.begin(), stairRooms.end(), r) != stairRooms.end())
                fail("both stairs in one room");
            stairRooms.push_back(r);
        }
    }
    if (rules.countChests) {
        if (chests.size() < 2 || chests.size() > 4)
            fail(std::to_string(chests.size()) + " chests");
        std::vector<int> chestRooms;
        for (const auto& [x, y] : chests) {
            const int r = roomOf(x, y);
            if (r < 0) {
                fail("chest outside every room");
                continue;
            }
            if (std::find(stairRooms.begin(), stairRooms.end(), r) != stairRooms.end())
                fail("chest in a room with stairs");
            if (std::find(chestRooms.begin(), chestRooms.end(), r) != chestRooms.end())
                fail("two chests in one room");
            chestRooms.push_back(r);
        }
    }

    // Everything reachable from the up stairs.
    if (up.size() == 1) {
        std::vector<char> seen(W * H, 0);
        std::vector<std::pair<int, int>> stack{up[0]};
        seen[up[0].second * W + up[0].first] = 1;
        while (!stack.empty()) {
            const auto [x, y] = stack.back();
            stack.pop_back();
            static constexpr int kSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& s : kSteps) {
                const int nx = x + s[0];
                const int ny = y + s[1];
                if (nx < 0 || nx >= W || ny < 0 || ny >= H || seen[ny * W + nx] ||
                    !Walkable(gen.GetTile(nx, ny)))
                    continue;
                seen[ny * W + nx] = 1;
                stack.emplace_back(nx, ny);
            }
        }
        auto reached = [&](int x, int y) {
            return x >= 0 && x < W && y >= 0 && y < H && seen[y * W + x];
        };
        for (const auto& [x, y] : down)
            if (!reached(x, y))
                fail("down stairs unreachable");
        for (std::size_t i = 0; i < rooms.size(); ++i) {
            const MapRect& r = rooms[i];
            bool any = false;
            for (int y = r.y; y < r.y + r.height && !any; ++y)
                for (int x = r.x; x < r.x + r.width && !any; ++x)
                    any = reached(x, y);
            if (!any)
                fail("room " + std::to_string(i) + " unreachable");
        }
        for (const auto& [x, y] : chests)
            if (!reached(x - 1, y) && !reached(x + 1, y) && !reached(x, y - 1) &&
                !reached(x, y + 1))
                fail("chest unreachable");
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                if (gen.GetTile(x, y) != 'B')
                    continue;
                if (!reached(x, y))
                    fail("boss cell unreachable");
                if (rules.bossCells >= 0 && !Inside(rooms[0], x, y))
                    fail("boss cell outside the first room");
            }
        }
    }
    return problems;
}

inline std::string Join(const std::vector<std::string>& lines)
{
    std::string s;
    for (const std::string& l : lines)
        s += l + "\n";
    return s;
}

}  // namespace dungeontest
