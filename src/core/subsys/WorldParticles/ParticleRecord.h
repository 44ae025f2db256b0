#pragma once
// The game's own record of one effect particle: it lives in a game system's list and is handed
// to a renderer particle system every frame (the renderer keeps a record of its own, with only
// what it draws).
#include "core/math/Vector3.h"

namespace ztgame {

struct ParticleRecord {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_velocity;
    float m_rotation = 0.0f;  // degrees
    float m_size = 0.0f;
    float m_extra = 0.0f;     // free for the owning effect
    float m_lifetime = 0.0f;  // seconds
    float m_age = 0.0f;       // seconds
};

// u in [0, 1] from the game's rand.
float RandomUnit();

}  // namespace ztgame
