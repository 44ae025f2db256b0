#pragma once
// CharacterControllerSystem: the first-person player's body. One upright capsule hovers a little
// above the floor: while the ground rays find something below it the body has no gravity and
// every floor contact stops it; once they find nothing it falls. Keys and the gamepad set its
// velocity directly. The camera is placed on the body every frame, and contacts with ice, goo
// and spikes become the player's status effect.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"

namespace ztengine {

class PhysicsEngine;
class MessagingSystem;
class PlayerStatus;
struct ContactInfo;
struct RaycastResult;
struct PlayerStatusEffectData;
struct CameraShakeData;
struct HitDirectionFeedbackData;
struct PlayerHitRecord;

class CharacterControllerSystem : public Subsystem {
public:
    // The body has to exist before the first frame: level loaders place it when they start.
    static constexpr bool kInitialisedAtStart = true;

    static constexpr float kCapsuleRadius = 2.5f;
    static constexpr float kCapsuleHeight = 3.0f;
    static constexpr float kGravity = -98.0f;
    static constexpr float kFriction = 0.055f;
    // Standing still scales the velocity by this every kStopFrame seconds.
    static constexpr float kStopFactor = 0.1f;
    static constexpr float kStopFrame = 1.0f / 60.0f;
    static constexpr float kStickDeadZone = 0.2f;

    explicit CharacterControllerSystem(App* app);

    void Init() override;
    void Update(float dt) override;

    // Called for every contact point of the player's body after a physics update.
    void OnContact(const PhysicsBody& other, const ContactInfo& contact);
    // The hit-direction indicator's rotation for a hit at `hit` seen from a camera at
    // `cameraPosition` looking along `cameraForward`.
    static float HitIndicatorAngle(const PlayerHitRecord& hit,
                                   const ztmath::Vector3& cameraPosition,
                                   const ztmath::Vector3& cameraForward);

    PhysicsBody GetBody() const { return *m_body; }
    bool IsInAir() const { return m_inAir != 0; }
    bool RayHitFloor() const { return m_rayHitFloor != 0; }
    bool IsReturnRequested() const { return m_returnRequested; }
    bool HasSurfaceContact() const { return m_surfaceContact; }
    bool IsJumpStarted() const { return m_jumpStarted; }
    const ztmath::Vector3& GetPlayerPos() const { return m_playerPos; }

private:
    void CastGroundRays();
    // What the middle ground ray found right under the capsule counts as touching it.
    void StandOn(const RaycastResult& ground, const ztmath::Vector3& position);
    void MoveJumpAndReturn(float dt);
    // How much faster than its speed the body must go for the world to carry it a frame of dt.
    float StepTimeScale(float dt) const;
    void SweepFrame(float dt);
    // After the world's step: where the body's centre crossed a wall's face on its way from
    // where this frame's update left it, it is put back in front of that face.
    void KeepOutOfWalls();
    void OnSetPosition(const ztmath::Vector3& position);
    void OnGotHit(const PlayerHitRecord& hit);

    PlayerStatus* m_playerStatus;
    PhysicsEngine* m_physics;
    PhysicsBody* m_body;
    MessagingSystem* m_messaging;
    PlayerStatusEffectData* m_statusEffect;
    CameraShakeData* m_cameraShake;
    HitDirectionFeedbackData* m_hitFeedback;

    bool m_jumpStarted = false;
    int32_t m_inAir = 0;
    bool m_returnRequested = false;
    int32_t m_rayHitFloor = 0;
    bool m_surfaceContact = false;
    bool m_liftedThisUpdate = false;
    // Where the body stood when the world began this frame's step; valid from the update to the
    // step after it.
    ztmath::Vector3 m_stepStart;
    bool m_stepStartValid = false;
    float m_jumpResetCos = 0.9659258f;  // cos 15 degrees: steeper contacts are walls
    float m_colliderContactOffset = 0.1f;
    float m_colliderBottomRaycastOffset = 4.2f;
    float m_cameraHeightOffset = 3.0f;
    ztmath::Vector3 m_playerPos;
    int32_t m_debugWindow = -1;
    uint32_t m_jumpEventId = 0xFFFFFFFFu;
};

}  // namespace ztengine
