// Fight benchmark: what a crowd of enemies costs a frame. The real game, entered into a dungeon
// floor through the red portal (the floor's generators seeded, so every run stands in the same
// room), fills the room the player stands in with a fixed, seeded mix of the roster: 40 enemies
// on a grid, each facing the player. The game is then held still and only the 3D frame is drawn,
// through the game's renderer, along one camera path (the eye turning across the crowd), with 0,
// 10 and 40 of the enemies shown, each with every effect on (sun shadows, SSAO, motion blur,
// depth of field: the game's default) and every effect off (bloom only). The six variants are
// interleaved frame by frame, in an order that turns every frame, so the machine's other load
// falls on them alike; every variant of one frame sees the same camera and the same poses.
//
// Printed: per variant the min, median and max frame (wall time to glFinish) and the CPU time of
// the main thread against the whole process (the rest is the software rasteriser's worker
// threads, the driver's share); per round the median frame of 10 and 40 enemies over the median
// of 0 enemies, with effects on and off, as min / median / max over the rounds. Before the crowd
// is held still the physics world is stepped alone at frames of 0.1 and 0.25 s with 0, 10 and 40
// enemies in it: the sub-steps a long frame asks for and what they cost.
//
//     xvfb-run -a -s "-screen 0 1280x1024x24" bench_fight [frames per round] [rounds]
//         defaults: 6 frames per variant and round, 3 rounds. Starting the game takes a minute.
//         In a sanitized build add ASAN_OPTIONS=detect_leaks=0: the GL driver keeps memory past exit.
//     BENCH_FIGHT_DUMP=folder: before timing, each variant draws two frames of the path and the
//         second is written to folder/variant<N>.rgba as raw RGBA bytes, rows bottom first, so
//         that two builds' pictures can be compared byte for byte (cmp).
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "../BenchStats.h"
#include "core/Win32App.h"
#include "core/graphics/GLRenderer3D.h"
#include "core/graphics/framework/RendererOptions.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/util/Random.h"
#include "support/GameRoad.h"

namespace {

using ztmath::Vector3;

constexpr uint32_t kSeed = 51515;
constexpr int kCrowd = 40;
constexpr int kWarmUp = 1;

struct Variant {
    const char* name;
    int enemies;
    bool effects;
};

const Variant kVariants[] = {
    {"0 enemies, effects on", 0, true},   {"10 enemies, effects on", 10, true},
    {"40 enemies, effects on", 40, true}, {"0 enemies, effects off", 0, false},
    {"10 enemies, effects off", 10, false}, {"40 enemies, effects off", 40, false},
};
constexpr size_t kVariantCount = sizeof(kVariants) / sizeof(kVariants[0]);

struct Enemy {
    ztengine::InstanceHandle instance;
    ztengine::InstanceTransform transform;
    int32_t animationIndex = 0;
    float phase = 0.0f;
};

// Every random source a floor or an enemy draws from, set to one sequence.
void SeedEverything(ztengine::Win32App& app)
{
    ztengine::SeedRandom(kSeed);
    std::srand(kSeed);
    ztengine::g_mtEngineA.seed(kSeed);
    ztengine::g_mtEngineB.seed(kSeed + 1);
    for (uint32_t handle : app.GetSystemHandles()) {
        auto* dungeon = dynamic_cast<ztengine::DungeonGenerator*>(app.GetSubsystems().At(handle).system);
        if (dungeon != nullptr) {
            dungeon->MapGenerator().Seed(kSeed);
            dungeon->WaveEngine().seed(kSeed);
        }
    }
}

// The room the point stands in (the layout's first that holds it).
bool RoomAround(zttest::GameRoad& road, const Vector3& point, Vector3& min, Vector3& max)
{
    for (const auto& room : road.Shared<ztengine::LevelLayout>("LevelLayout").m_rooms) {
        if (point.x >= room.m_min.x && point.x <= room.m_max.x && point.z >= room.m_min.z &&
            point.z <= room.m_max.z) {
            min = room.m_min;
            max = room.m_max;
            return true;
        }
    }
    return false;
}

// Grid cell i of the crowd: 8 columns by 5 rows, inside the room, leaving the player's corner.
Vector3 CrowdPlace(int i, const Vector3& min, const Vector3& max, float y)
{
    const float inset = 5.0f;
    const int column = i % 8;
    const int row = i / 8;
    const float x = min.x + inset + (max.x - min.x - 2.0f * inset) * (static_cast<float>(column) + 0.5f) / 8.0f;
    const float z = min.z + inset + (max.z - min.z - 2.0f * inset) * (static_cast<float>(row) + 0.5f) / 5.0f;
    return Vector3(x, y, z);
}

double StepPhysics(ztengine::PhysicsEngine& physics, float dt, int steps)
{
    std::vector<double> times;
    for (int i = 0; i < steps; ++i) {
        const double start = ztbench::ThreadCpuSeconds();
        physics.Update(dt);
        times.push_back(1000.0 * (ztbench::ThreadCpuSeconds() - start));
    }
    return ztbench::Median(times);
}

void MeasurePhysics(ztengine::PhysicsEngine& physics, int enemies)
{
    const float fixedStep = physics.GetFixedTimeStep();
    for (const float dt : {0.1f, 0.25f}) {
        const int wanted = static_cast<int>(std::ceil(dt / fixedStep - 1e-4f));
        const int subSteps = std::min(wanted, physics.GetMaxSubSteps());
        std::printf("physics: %2d enemies, %.2f s frame: %2d sub-steps of %.4f s, %.2f ms CPU per frame\n", enemies,
                    dt, subSteps, fixedStep, StepPhysics(physics, dt, 5));
    }
}

class Crowd {
public:
    Crowd(zttest::GameRoad& road, ztengine::GLRenderer3D& renderer) : m_road(road), m_renderer(renderer) {}

    // Spawns enemies until `total` are alive; false when they do not all appear.
    bool SpawnUpTo(int total, const Vector3& min, const Vector3& max, float y)
    {
        static const char* const kKinds[] = {"rabbitman", "lkanga", "ogre", "flying_skull", "skeleton_magician"};
        std::mt19937 mix(kSeed);
        auto& spawner = m_road.Shared<ztengine::AISpawner>("AISpawner");
        for (int i = 0; i < total; ++i) {
            const char* kind = kKinds[mix() % 5];
            if (i < m_queued)
                continue;
            ztengine::SpawnConfig config;
            config.m_position = CrowdPlace(i, min, max, y);
            config.m_health = 1.0e6f;
            config.m_damageScale = 0.0f;
            spawner.QueueEnemy(kind, config);
        }
        m_queued = total;
        ztengine::EntityWorld& world = m_road.App().m_entityWorld;
        return m_road.RunUntil([&] { return static_cast<int>(world.GetEntityCount()) >= total; }, 600);
    }

    // The enemies as they stand now, put on their grid places facing the eye, in spawn order.
    void Freeze(const Vector3& min, const Vector3& max, const Vector3& eye)
    {
        const ztengine::EntityWorld& world = m_road.App().m_entityWorld;
        int i = 0;
        for (uint32_t e = world.GetEntities().m_head; world.GetEntities().IsValidIndex(e);
             e = world.GetEntities().Next(e)) {
            auto* object = world.GetEntities().At(e)->Find<ztengine::Object3DComponent>("object3D");
            if (object == nullptr)
                continue;
            Enemy enemy;
            enemy.instance = object->m_instance;
            ztengine::InstanceData& data = enemy.instance.GetInstance();
            enemy.transform = data.m_transform;
            // Heights rounded to whole units, so settling that differs from run to run (the
            // player's arrival, the enemies' first steps) draws alike.
            const float height = std::round(data.m_transform.m_position.y);
            enemy.transform.m_position = CrowdPlace(i, min, max, height);
            Vector3 towards = eye - enemy.transform.m_position;
            towards.y = 0.0f;
            ztmath::Basis basis;
            basis.SetForward(towards.Normalized());
            basis.RemoveRoll();
            enemy.transform.m_basis = basis;
            enemy.animationIndex = 0;
            enemy.phase = 0.137f * static_cast<float>(i);
            m_enemies.push_back(enemy);
            ++i;
        }
    }

    int Count() const { return static_cast<int>(m_enemies.size()); }

    // The first `shown` enemies drawn, posed for frame `frame` of the path.
    void Pose(int shown, int frame)
    {
        for (size_t i = 0; i < m_enemies.size(); ++i) {
            Enemy& enemy = m_enemies[i];
            ztengine::InstanceData& data = enemy.instance.GetInstance();
            data.m_hidden = static_cast<int>(i) < shown ? 0 : 1;
            data.m_transform = enemy.transform;
            data.m_animationIndex = enemy.animationIndex;
            const float phase = enemy.phase + 0.05f * static_cast<float>(frame);
            data.m_animationTime = phase - std::floor(phase);
            data.m_tint = ztmath::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
        }
    }

private:
    zttest::GameRoad& m_road;
    ztengine::GLRenderer3D& m_renderer;
    std::vector<Enemy> m_enemies;
    int m_queued = 0;
};

struct CameraPath {
    Vector3 eye;
    ztmath::Basis start;

    // The eye turns across the crowd and back, 40 degrees either side.
    void Apply(ztengine::GLRenderer3D& renderer, int frame) const
    {
        ztmath::Basis basis = start;
        basis.Yaw(40.0f * std::sin(0.35f * static_cast<float>(frame)));
        renderer.SetCameraBasis(basis);
        renderer.SetCameraPosition(eye);
    }
};

void ApplyEffects(ztengine::GLRenderer3D& renderer, bool on)
{
    using ztengine::RendererOptions;
    renderer.EnableShadows(on);
    renderer.m_ssaoEnabled = on;
    renderer.SetEffectsMask(on ? static_cast<uint8_t>(RendererOptions::kEffectBase | RendererOptions::kEffectMotionBlur |
                                                      RendererOptions::kEffectDepthOfField)
                               : RendererOptions::kEffectBase);
}

void DrawFrame(ztengine::GLRenderer3D& renderer, Crowd& crowd, const CameraPath& path, const Variant& variant,
               int frame)
{
    ApplyEffects(renderer, variant.effects);
    crowd.Pose(variant.enemies, frame);
    path.Apply(renderer, frame);
    renderer.RenderFrame(1.0f / 20.0f);
}

bool DumpFrames(ztengine::GLRenderer3D& renderer, Crowd& crowd, const CameraPath& path, int width, int height,
                const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t v = 0; v < kVariantCount; ++v) {
        for (const int frame : {2, 3})
            DrawFrame(renderer, crowd, path, kVariants[v], frame);
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        std::ofstream out(folder / ("variant" + std::to_string(v) + ".rgba"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
        if (!out)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 6;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const char* dumpFolder = std::getenv("BENCH_FIGHT_DUMP");
    const std::filesystem::path dumpPath =
        dumpFolder != nullptr ? std::filesystem::absolute(dumpFolder) : std::filesystem::path();

    zttest::GameRoad road("bench_fight");
    if (!road.Start()) {
        std::fprintf(stderr, "bench_fight: %s\n", road.Error().c_str());
        return 1;
    }
    ztengine::Win32App& app = road.App();
    auto* renderer = dynamic_cast<ztengine::GLRenderer3D*>(app.GetGraphics3D());
    if (renderer == nullptr) {
        std::fprintf(stderr, "bench_fight: the game draws with no GL renderer\n");
        return 1;
    }
    SeedEverything(app);
    if (!road.StepIntoPortal(zttest::GameRoad::kRedSkull) || !road.WaitForPlay()) {
        std::fprintf(stderr, "bench_fight: no way into the dungeon (%s)\n", road.State().c_str());
        return 1;
    }
    app.m_messagingSystem.SendEventByName("ERASE_ALL_ENEMIES", ztengine::IEvent());
    road.Run(2);
    const Vector3 eye = road.Eye();
    Vector3 min;
    Vector3 max;
    if (!RoomAround(road, eye, min, max)) {
        std::fprintf(stderr, "bench_fight: the player stands in no room\n");
        return 1;
    }
    std::printf("bench_fight: room (%.0f, %.0f) to (%.0f, %.0f), eye (%.1f, %.1f, %.1f)\n", min.x, min.z, max.x,
                max.z, eye.x, eye.y, eye.z);
    road.Face(Vector3(0.5f * (min.x + max.x), eye.y - 2.0f, 0.5f * (min.z + max.z)));

    ztengine::PhysicsEngine& physics = app.m_physicsEngine;
    MeasurePhysics(physics, 0);
    Crowd crowd(road, *renderer);
    const float spawnHeight = eye.y - 1.0f;
    if (!crowd.SpawnUpTo(10, min, max, spawnHeight)) {
        std::fprintf(stderr, "bench_fight: the first 10 enemies did not appear\n");
        return 1;
    }
    road.Run(20);
    MeasurePhysics(physics, static_cast<int>(app.m_entityWorld.GetEntityCount()));
    if (!crowd.SpawnUpTo(kCrowd, min, max, spawnHeight)) {
        std::fprintf(stderr, "bench_fight: the crowd did not appear\n");
        return 1;
    }
    road.Run(20);
    MeasurePhysics(physics, static_cast<int>(app.m_entityWorld.GetEntityCount()));
    road.Run(1);

    // From here on the game stands still: only the 3D frame is drawn, from a place fixed by the
    // room alone (where the player arrives varies a little from run to run).
    CameraPath path;
    path.eye = Vector3(0.5f * (min.x + max.x), std::round(eye.y), min.z + 0.85f * (max.z - min.z));
    path.start.SetForward((Vector3(0.5f * (min.x + max.x), std::round(eye.y) - 2.0f, 0.5f * (min.z + max.z)) - path.eye)
                              .Normalized());
    path.start.RemoveRoll();
    crowd.Freeze(min, max, path.eye);
    if (crowd.Count() < kCrowd) {
        std::fprintf(stderr, "bench_fight: %d enemies alive, not %d\n", crowd.Count(), kCrowd);
        return 1;
    }
    const int width = static_cast<int>(app.m_windowInfo.windowWidth);
    const int height = static_cast<int>(app.m_windowInfo.windowHeight);
    GLFWwindow* window = glfwGetCurrentContext();
    int result = 0;
    if (!dumpPath.empty() && !DumpFrames(*renderer, crowd, path, width, height, dumpPath)) {
        std::fprintf(stderr, "bench_fight: cannot write the frames to %s\n", dumpPath.string().c_str());
        result = 1;
    }

    std::vector<std::string> names;
    for (const Variant& variant : kVariants)
        names.emplace_back(variant.name);
    ztbench::RatioTable ratios(names);
    std::vector<std::vector<double>> allTimes(kVariantCount);
    std::vector<double> mainCpu(kVariantCount, 0.0);
    std::vector<double> processCpu(kVariantCount, 0.0);
    std::printf("bench_fight: %d x %d, %s, %d frames per variant in each of %d rounds, interleaved\n", width, height,
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), frames, rounds);
    std::fflush(stdout);
    int pathFrame = 0;
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::vector<double>> times(kVariantCount);
        for (int frame = 0; frame < kWarmUp + frames; ++frame, ++pathFrame) {
            for (size_t k = 0; k < kVariantCount; ++k) {
                const size_t v = (k + static_cast<size_t>(pathFrame)) % kVariantCount;
                glFinish();
                const double start = ztbench::WallSeconds();
                const double threadStart = ztbench::ThreadCpuSeconds();
                const double processStart = ztbench::ProcessCpuSeconds();
                DrawFrame(*renderer, crowd, path, kVariants[v], pathFrame);
                glFinish();
                const double elapsed = ztbench::WallSeconds() - start;
                if (frame >= kWarmUp) {
                    times[v].push_back(1000.0 * elapsed);
                    mainCpu[v] += ztbench::ThreadCpuSeconds() - threadStart;
                    processCpu[v] += ztbench::ProcessCpuSeconds() - processStart;
                }
                if (window != nullptr)
                    glfwSwapBuffers(window);
            }
        }
        std::vector<double> roundRatios;
        for (size_t v = 0; v < kVariantCount; ++v) {
            const size_t base = kVariants[v].effects ? 0 : 3;
            roundRatios.push_back(ztbench::Median(times[v]) / ztbench::Median(times[base]));
            allTimes[v].insert(allTimes[v].end(), times[v].begin(), times[v].end());
        }
        ratios.AddRound(roundRatios);
        std::printf("bench_fight: round %d done\n", round + 1);
        std::fflush(stdout);
    }
    std::printf("frame time over all rounds, ms (min / median / max), CPU of the main thread / all threads:\n");
    for (size_t v = 0; v < kVariantCount; ++v) {
        const std::vector<double>& t = allTimes[v];
        std::printf("  %-26s %8.1f %8.1f %8.1f   main thread %4.1f%% of the process CPU\n", kVariants[v].name,
                    *std::min_element(t.begin(), t.end()), ztbench::Median(t), *std::max_element(t.begin(), t.end()),
                    processCpu[v] > 0.0 ? 100.0 * mainCpu[v] / processCpu[v] : 0.0);
    }
    ratios.Print("median frame against 0 enemies with the same effects");
    if (glGetError() != GL_NO_ERROR) {
        std::fprintf(stderr, "bench_fight: the frames left a GL error\n");
        result = 1;
    }
    road.Quit();
    return result;
}
