#pragma once
// "AISpawner": where every enemy enters the game. Spawn functions are registered per enemy
// kind; systems queue requests by kind, and the spawn system turns them into entities.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/util/cont/StableArrayList.h"

namespace ztengine {

class App;
class EntityWorld;

// One spawn request. Producers set health and damage scale before queueing.
struct SpawnConfig {
    ztmath::Vector3 m_position{0.0f, 0.0f, 0.0f};
    ztmath::Quaternion m_orientation{0.0f, 0.0f, 0.0f, 1.0f};
    float m_health;
    float m_damageScale;
};

// Creates one enemy of its kind in the entity world from the request.
using SpawnerFunction = std::function<void(EntityWorld&, const SpawnConfig&)>;

class AISpawner {
public:
    explicit AISpawner(App* app);

    // The name must be new; returns the kind's spawner handle.
    uint32_t RegisterEntitySpawn(const char* name, SpawnerFunction spawner);
    // Counts the enemy at once, before the spawn system has made it.
    void QueueEnemy(const char* name, const SpawnConfig& config);
    SpawnerFunction GetSpawnerFN(uint32_t handle) const;
    // A random wave of groups around `centre`: `size` sets the number of groups, `strength`
    // their sizes, health and damage.
    void QueueWave(const ztmath::Vector3& centre, float size, float strength, float radius);

    // The kind's spawner handle, or kInvalidIndex.
    uint32_t GetSpawnerHandle(const char* name) const;
    // Where the entity world lives.
    EntityWorld& GetEntityWorld() const;

    App* m_app;
    StableArrayList<SpawnerFunction> m_spawnList;
    std::map<std::string, uint32_t> m_spawnMapper;
    // Enemies queued or alive.
    uint32_t m_enemyCount = 0;
    std::unordered_map<uint32_t, std::deque<SpawnConfig>> m_spawnQueues;
    // This frame's positions of the live enemies.
    std::vector<ztmath::Vector3> m_enemyPositions;
    // In the same order, what else a player sees of them: which way each faces, and whether it
    // still stands (a dying enemy falls and darkens before it is gone).
    std::vector<ztmath::Vector3> m_enemyFacings;
    std::vector<uint8_t> m_enemyStanding;
};

}  // namespace ztengine
