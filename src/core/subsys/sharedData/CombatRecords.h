#pragma once
// Event payloads of the fight: "PLAYER_GOT_HIT" (PlayerHitRecord) and "BARREL_DESTRUCTION"
// (BarrelDestructionRecord).
#include "core/math/Basis.h"
#include "core/math/Vector3.h"

namespace ztengine {

// Where the player was hit and the direction that goes with it; a projectile sends its contact
// point and contact normal.
struct PlayerHitRecord {
    ztmath::Vector3 m_point;
    ztmath::Vector3 m_vector;
};

// Where a barrel burst and how it stood.
struct BarrelDestructionRecord {
    ztmath::Vector3 m_position;
    ztmath::Basis m_orientation;
};

}  // namespace ztengine
