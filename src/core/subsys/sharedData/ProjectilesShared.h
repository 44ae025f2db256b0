#pragma once
// "ProjectilesShared": every projectile in flight, and the queue of requests (shots and
// removals) that the weapon, the enemies and the final boss hand to the projectile system.
#include <cstdint>

#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

struct ProjectileRequest {
    int32_t m_command = 0;  // 0 spawn, 1 remove
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_direction;  // unit flight direction
    float m_speed = 0.0f;         // impulse along the direction
    float m_size = 0.0f;          // model scale, and the debug radius
    float m_life = 0.0f;          // seconds
    int32_t m_damage = 0;
    int32_t m_kind = 0;  // 0 to 6; 1 is the player's
    // Producers that leave the rest alone get these.
    ztmath::Vector3 m_gravity;
    float m_mass = 0.0f;  // below 2^-23 the body gets mass 1
    uint8_t m_trail = 1;
    int32_t m_id = 0;  // the record to remove (command 1)
};

// One slot of the projectile list; its index in the list is its slot index.
struct ProjectileRecord {
    ztmath::Vector3 m_direction;
    ztmath::Vector3 m_position;  // the body's, refreshed every frame
    float m_speed = 0.0f;
    float m_size = 0.0f;
    bool m_alive = false;
    float m_life = 0.0f;  // seconds left; 0 once it has hit something
    int32_t m_slotIndex = 0;
    int32_t m_damage = 0;
    int32_t m_kind = 0;
    PhysicsBody m_body;
    ztmath::Vector3 m_gravity;
    float m_mass = 0.0f;
    bool m_decalSent = false;
    InstanceHandle m_instance;
    float m_initialLife = 0.0f;
    bool m_trail = true;
};

class ProjectilesShared {
public:
    static constexpr uint32_t kMaxProjectiles = 1000;

    ProjectilesShared() : m_records(kMaxProjectiles) {}

    CountedVector<ProjectileRecord> m_records;
    CountedDeque<ProjectileRequest> m_requests;
};

}  // namespace ztengine
