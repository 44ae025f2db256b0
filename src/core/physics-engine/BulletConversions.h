#pragma once
// Conversions between the engine's math types and Bullet's, for the physics sources only: game
// code never sees a Bullet type.
#include <cstdint>

#include <LinearMath/btQuaternion.h>
#include <LinearMath/btVector3.h>

#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"

namespace ztengine {

inline btVector3 ToBullet(const ztmath::Vector3& v) { return btVector3(v.x, v.y, v.z); }

inline btQuaternion ToBullet(const ztmath::Quaternion& q) { return btQuaternion(q.x, q.y, q.z, q.w); }

inline ztmath::Vector3 FromBullet(const btVector3& v) { return ztmath::Vector3(v.x(), v.y(), v.z()); }

inline ztmath::Quaternion FromBullet(const btQuaternion& q)
{
    return ztmath::Quaternion(q.x(), q.y(), q.z(), q.w());
}

// Filter bits travel as 16-bit words through the game and as ints through Bullet. They widen
// with their sign, so 0xFFFF ("every bit") stays every bit of the int.
inline int WidenFilterBits(uint16_t bits) { return static_cast<int>(static_cast<int16_t>(bits)); }

}  // namespace ztengine
