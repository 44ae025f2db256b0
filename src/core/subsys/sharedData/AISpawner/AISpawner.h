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
    explicit AISpawner(EntityWorld* world);

    EntityWorld* m_world;
    StableArrayList<SpawnerFunction> m_spawnList;
    std::map<std::string, uint32_t> m_spawnMapper;
    // Enemies queued or alive.
    uint32_t m_enemyCount = 0;
    std::unordered_map<uint32_t, std::deque<SpawnConfig>> m_spawnQueues;
    // This frame's positions of the live enemies.
    std::vector<ztmath::Vector3> m_enemyPositions;
};

inline AISpawner::AISpawner(EntityWorld* world) : m_world(world), m_spawnList(64) {}

}  // namespace ztengine
