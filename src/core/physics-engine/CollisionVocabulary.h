#pragma once
// The game-wide physics vocabulary: the user type ids by which contact callbacks tell bodies
// apart, and the collision categories and masks the systems give their bodies. Two bodies
// collide when each one's category shares a bit with the other's mask.
#include <cstdint>

namespace ztengine {

// ---- Body user type ids ----
inline constexpr int32_t kBodyTypeNone = -1;              // never given one: coins, gym bodies
inline constexpr int32_t kBodyTypeEnemySensor = 0;        // charge and near-target sensors
inline constexpr int32_t kBodyTypePlayer = 10;
inline constexpr int32_t kBodyTypePlayerProjectile = 11;
inline constexpr int32_t kBodyTypeEnemyProjectile = 12;
inline constexpr int32_t kBodyTypeSpikes = 13;
inline constexpr int32_t kBodyTypeBoss = 14;
inline constexpr int32_t kBodyTypeEnemy = 15;
inline constexpr int32_t kBodyTypeIce = 16;
inline constexpr int32_t kBodyTypeGoo = 17;
inline constexpr int32_t kBodyTypeScenery = 18;           // also the altar, trees, rocks, mountains
inline constexpr int32_t kBodyTypeBreakable = 19;         // barrels and crates

// ---- Collision categories (the broadphase filter group) ----
inline constexpr uint16_t kCollisionCategoryOff = 0;      // a body switched off with SetActive
inline constexpr uint16_t kCollisionCategoryPlayer = 1;   // also every dynamic body left at default
inline constexpr uint16_t kCollisionCategoryScenery = 2;  // also every static body left at default
inline constexpr uint16_t kCollisionCategoryEnemy = 4;    // enemies and their sensors
inline constexpr uint16_t kCollisionCategoryCoin = 16;
inline constexpr uint16_t kCollisionCategoryProjectile = 32;

// ---- Collision masks ----
inline constexpr uint16_t kCollisionMaskAll = 0xFFFF;
// Static scenery ignores other static scenery (the default of static bodies; the boss too).
inline constexpr uint16_t kCollisionMaskScenery = kCollisionMaskAll ^ kCollisionCategoryScenery;
// Player, scenery, enemies and projectiles: 39.
inline constexpr uint16_t kCollisionMaskEnemy = kCollisionCategoryPlayer |
                                                kCollisionCategoryScenery |
                                                kCollisionCategoryEnemy |
                                                kCollisionCategoryProjectile;
inline constexpr uint16_t kCollisionMaskEnemySensor = kCollisionMaskAll;
// Coins rest on scenery and stack on each other, nothing else touches them: 18.
inline constexpr uint16_t kCollisionMaskCoin = kCollisionCategoryCoin | kCollisionCategoryScenery;
// Projectiles pass through each other.
inline constexpr uint16_t kCollisionMaskProjectile = kCollisionMaskAll ^ kCollisionCategoryProjectile;

}  // namespace ztengine
