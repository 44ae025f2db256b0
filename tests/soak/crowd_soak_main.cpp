// Enemies spawned and killed many times over in the real game, with its window: batches of the
// roster (a fixed, seeded mix) are queued around the player on a dungeon floor, appear, lose their
// hit points and die the way a shot enemy dies (its death steps, the despawn timer, the entity's
// removal), until the given number has lived and died. The process's resident memory is printed
// before the first enemy, after the first batch (what the pools and caches keep once they have
// served a batch) and at the end; the run fails when the end lies more than the allowance above
// the memory after the first batch. Not part of the test suite.
//
//     xvfb-run -a -s "-screen 0 1280x1024x24" soak_crowd [enemies=500] [batch=25] [allowance MB=10]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "core/Win32App.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/GameRoad.h"

namespace {

using ztmath::Vector3;

long ResidentKib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    const int total = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    const int batch = argc > 2 ? std::max(1, std::atoi(argv[2])) : 25;
    const double allowanceMb = argc > 3 ? std::atof(argv[3]) : 10.0;

    zttest::GameRoad road("soak_crowd");
    if (!road.Start()) {
        std::fprintf(stderr, "soak_crowd: %s\n", road.Error().c_str());
        return 1;
    }
    if (!road.StepIntoPortal(zttest::GameRoad::kRedSkull) || !road.WaitForPlay()) {
        std::fprintf(stderr, "soak_crowd: no way into the dungeon (%s)\n", road.State().c_str());
        return 1;
    }
    ztengine::Win32App& app = road.App();
    app.m_messagingSystem.SendEventByName("ERASE_ALL_ENEMIES", ztengine::IEvent());
    road.Run(2);
    const Vector3 eye = road.Eye();
    ztengine::EntityWorld& world = app.m_entityWorld;
    auto& spawner = road.Shared<ztengine::AISpawner>("AISpawner");
    static const char* const kKinds[] = {"rabbitman", "lkanga", "ogre", "flying_skull", "skeleton_magician"};
    std::mt19937 mix(51515);

    const long before = ResidentKib();
    long afterFirst = before;
    std::printf("soak_crowd: %ld KiB resident before the first enemy\n", before);
    int spawned = 0;
    int round = 0;
    while (spawned < total) {
        const int count = std::min(batch, total - spawned);
        for (int i = 0; i < count; ++i) {
            ztengine::SpawnConfig config;
            // A ring around the player, out of reach of its body.
            const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(count);
            config.m_position = eye + Vector3(12.0f * std::cos(angle), 0.0f, 12.0f * std::sin(angle));
            config.m_health = 50.0f;
            config.m_damageScale = 0.0f;
            spawner.QueueEnemy(kKinds[mix() % 5], config);
        }
        if (!road.RunUntil([&] { return static_cast<int>(world.GetEntityCount()) >= count; }, 600)) {
            std::fprintf(stderr, "soak_crowd: batch %d did not appear\n", round + 1);
            return 1;
        }
        road.Run(5);
        for (uint32_t e = world.GetEntities().m_head; world.GetEntities().IsValidIndex(e);
             e = world.GetEntities().Next(e)) {
            if (auto* health = world.GetEntities().At(e)->Find<ztengine::HealthComponent>("health"))
                health->m_currentHp = 0.0f;
        }
        if (!road.RunUntil([&] { return world.GetEntityCount() == 0; }, 2000)) {
            std::fprintf(stderr, "soak_crowd: batch %d did not die (%u left)\n", round + 1, world.GetEntityCount());
            return 1;
        }
        road.Run(2);
        road.ClearPrinted();
        spawned += count;
        ++round;
        const long now = ResidentKib();
        if (round == 1)
            afterFirst = now;
        std::printf("soak_crowd: %4d enemies spawned and killed, %ld KiB resident\n", spawned, now);
        std::fflush(stdout);
    }
    const long end = ResidentKib();
    const double grownMb = static_cast<double>(end - afterFirst) / 1024.0;
    std::printf("soak_crowd: %ld KiB before, %ld KiB after the first batch, %ld KiB at the end: %+.1f MB since "
                "the first batch, %+.1f MB since the start\n",
                before, afterFirst, end, grownMb, static_cast<double>(end - before) / 1024.0);
    const int result = road.Quit();
    return grownMb <= allowanceMb && result == 0 ? 0 : 1;
}
