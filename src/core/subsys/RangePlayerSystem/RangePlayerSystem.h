#pragma once
// RangePlayerSystem: the player's gun. It holds the gun model in front of the camera, and while
// the trigger is held it fires at the fire interval of "RangedStats", paying stamina through
// "PlayerStatus" and kicking the view up. Shots are ProjectileRequests appended to
// "ProjectilesShared"; upgrades arrive as modifiers through "WeaponMessageQueue".
#include <cstdint>
#include <memory>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/math/Vector3.h"

namespace ztengine {

class PlayerStatus;
class ProjectilesShared;
struct RangedStats;
struct WeaponMessage;
struct WeaponMessageQueue;
struct FPSCameraUpdates;

// A weapon upgrade. The hooks run when it is added and every frame it stays.
class Modifiers {
public:
    virtual ~Modifiers() = default;
    virtual void Apply() = 0;
    virtual void Update(float dt) = 0;
};

// Two more projectiles per shot; the weapon makes that change when it adds or removes one, so
// the hooks have nothing to do. The id is the upgrade level it was bought at.
class IncreaseProjectile : public Modifiers {
public:
    void Apply() override {}
    void Update(float) override {}

    int32_t m_id = 0;
};

class RangePlayerSystem : public Subsystem {
public:
    static constexpr float kDefaultFireInterval = 0.4f;
    static constexpr float kGunNear = 1.5f;
    static constexpr float kGunFar = 1.8f;
    static constexpr float kProjectileSpeed = 250.0f;
    static constexpr float kProjectileSize = 0.75f;
    static constexpr float kProjectileLife = 1.0f;
    static constexpr int32_t kPlayerProjectileKind = 1;

    explicit RangePlayerSystem(App* app);
    ~RangePlayerSystem() override;

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;
    // The same as a reset message.
    void Reset() override;

    void HandleWeaponMessage(const WeaponMessage& message);

    // Where the gun sits for this camera at the current gun distance.
    ztmath::Vector3 GunPosition(const ztmath::Vector3& camera, const ztmath::Basis& basis) const;

    float m_timeSinceShot = 0.0f;
    int32_t m_projectileCount = 1;
    std::vector<std::unique_ptr<Modifiers>> m_modifiers;
    int32_t m_spreadDegrees = 5;
    InstanceHandle m_gunInstance;
    float m_gunDistance = kGunNear;
    int32_t m_crosshairElement = -1;
    int32_t m_hiddenElement = -1;
    int32_t m_fireSound = -1;
    ztmath::Vector3 m_spawnPoint;
    float m_hotPoint[3] = {0.7995303f, 0.2399061f, 1.9887323f};
    float m_fireConvergeDistance = 611.0f;
    float m_randomTrajectory[2] = {0.0399061f, 0.0422535f};
    float m_aimOffset[2] = {0.0117371f, 0.0f};
    // Set by a shot, cleared once the gun has come back to its near distance.
    bool m_recoilActive = false;
    int32_t m_debugWindow = -1;

private:
    void PlaceGun();
    void FireStep(float dt);
    void KickBack(float dt);
    void SpawnShot();
    void SetCrosshairVisible(bool visible);

    RangedStats* m_rangedStats;
    PlayerStatus* m_playerStatus;
    ProjectilesShared* m_projectiles;
    WeaponMessageQueue* m_weaponMessages;
    FPSCameraUpdates* m_cameraUpdates;
};

}  // namespace ztengine
