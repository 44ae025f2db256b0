// Dungeon floors from the shipped room files: generates N floors per colour (every third one a
// boss floor), checks each against the same rules as the unit tests (stairs, chests, room
// sizes, doors, every room and the stairs reachable, one boss cell on boss floors) and prints
// the time per floor. Exits non-zero on the first bad floor.
//
//     bench_dungeon [floors per colour] [levels folder]   (default 1000, "data/levels/")
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/subsys/DungeonGenerator/DungeonMapGenerator.h"
#include "../../core/subsys/DungeonGenerator/DungeonChecks.h"

int main(int argc, char** argv)
{
    const int floors = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string folder = argc > 2 ? argv[2] : "data/levels/";
    ztengine::DungeonMapGenerator gen(folder.back() == '/' ? folder : folder + "/");
    gen.SetRoomSizes(6, 14);
    gen.SetCorridorLengths(2, 12);
    gen.SetFixedRoomSize(15, 15);
    for (int colour = 1; colour <= 3; ++colour) {
        if (gen.GetTemplates(colour).empty()) {
            std::printf("no templates for colour %d in %s\n", colour, folder.c_str());
            return 1;
        }
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < floors; ++i) {
            dungeontest::FloorRules rules;
            rules.bossFloor = i % 3 == 2;
            gen.Seed(static_cast<uint32_t>(colour * 1000003 + i));
            if (!gen.GenerateFloor(colour, rules.bossFloor)) {
                std::printf("colour %d floor %d: no layout\n", colour, i);
                return 1;
            }
            rules.bossCells = rules.bossFloor ? 1 : 0;
            const auto problems = dungeontest::CheckFloor(gen, rules);
            if (!problems.empty()) {
                std::printf("colour %d floor %d (seed %d):\n%s", colour, i, colour * 1000003 + i,
                            dungeontest::Join(problems).c_str());
                gen.Print();
                return 1;
            }
        }
        const double ms = std::chrono::duration<double, std::milli>(
                              std::chrono::steady_clock::now() - start).count();
        std::printf("colour %d: %d floors sound, %.3f ms per floor\n", colour, floors, ms / floors);
    }
    return 0;
}
