// CharacterControllerSystem: ground rays, movement, jump, the return-to-town request, the
// surface contacts and the player's event handlers.
#include "core/subsys/sharedData/CombatRecords.h"
#include "core/subsys/CharacterControllerSystem/CharacterControllerSystem.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"

namespace ztengine {

using ztmath::Quaternion;
using ztmath::Vector3;

namespace {

constexpr float kHalfSqrt2 = 0.7071068f;
// The four outer rays stand this far from the capsule's axis, outside its radius.
constexpr float kOuterRayDistance = 5.0f;
const Vector3 kStartPosition(2.0f, 3.0f, 0.0f);

constexpr float kIceMinSpeed = 1.0f;
constexpr float kIceMaxSpeed = 40.0f;
constexpr float kIceImpulse = 0.2f;

// A long frame's path is checked for surfaces at this spacing, less than the capsule's width.
constexpr float kSurfaceProbeSpacing = 4.0f;

// The level itself: what a long frame's path may stop at or land on. Enemies, their sensors
// and projectiles are left to the physics step.
bool IsScenery(const PhysicsBody& body)
{
    switch (body.GetUserTypeID()) {
    case kBodyTypeNone:
    case kBodyTypeSpikes:
    case kBodyTypeIce:
    case kBodyTypeGoo:
    case kBodyTypeScenery:
    case kBodyTypeBreakable:
        return true;
    default:
        return false;
    }
}

// What a player walks into and must never pass: the level's static scenery (walls, closed
// doors, floors, pillars) and the plain static bodies of the gym and of test scenes.
bool BlocksThePlayer(const PhysicsBody& body)
{
    const int32_t type = body.GetUserTypeID();
    return type == kBodyTypeScenery || type == kBodyTypeNone;
}

// How many bodies that do not stop the player a wall check looks past, and how far past each.
constexpr int kMaxPastBodies = 8;
constexpr float kPastBodyStep = 0.01f;
// The gap left between the capsule and a wall it was put back in front of.
constexpr float kWallClearance = 0.01f;

constexpr float kHitShakeTime = 0.25f;
constexpr float kHitShakeMagnitude = 1.0f;
constexpr float kHitIndicatorTime = 1.5f;

}  // namespace

CharacterControllerSystem::CharacterControllerSystem(App* app)
    : Subsystem(app),
      m_playerStatus(app->GetSharedData<PlayerStatus>("PlayerStatus")),
      m_physics(&app->m_physicsEngine),
      m_body(app->GetSharedData<PhysicsBody>("PlayerController")),
      m_messaging(&app->m_messagingSystem),
      m_statusEffect(app->GetSharedData<PlayerStatusEffectData>("PlayerStatusEffectData")),
      m_cameraShake(app->GetSharedData<CameraShakeData>("CameraShakeData")),
      m_hitFeedback(app->GetSharedData<HitDirectionFeedbackData>("HitDirectionFeedbackData"))
{
}

void CharacterControllerSystem::Init()
{
    m_colliderContactOffset = 0.1f;
    m_colliderBottomRaycastOffset = 4.2f;
    m_cameraHeightOffset = 3.0f;
    m_rayHitFloor = 0;

    Gui& gui = Gui::Instance();
    m_debugWindow = gui.CreateWindow("Dynamic Character Controller offsets", true, 350.0f, 350.0f);
    gui.AddInputFloat(m_debugWindow, "Collider Contact Offset", &m_colliderContactOffset);
    gui.AddInputFloat(m_debugWindow, "Collider Bottom Raycast Offset",
                      &m_colliderBottomRaycastOffset);
    gui.AddInputFloat(m_debugWindow, "Camera Height Offset", &m_cameraHeightOffset);
    gui.AddInputFloat(m_debugWindow, "Jump reset angle", &m_jumpResetCos);
    gui.AddVarView(m_debugWindow, &m_rayHitFloor, GuiVarViewInt, "Ray Hit Floor");
    gui.AddVarView(m_debugWindow, &m_inAir, GuiVarViewInt, "Character in air");
    gui.AddVarView(m_debugWindow, &m_playerPos.x, GuiVarViewFloat, "PlayerPos.x");
    gui.AddVarView(m_debugWindow, &m_playerPos.y, GuiVarViewFloat, "PlayerPos.y");
    gui.AddVarView(m_debugWindow, &m_playerPos.z, GuiVarViewFloat, "PlayerPos.z");

    const uint32_t collider = m_physics->CreateCapsuleCollider(kCapsuleRadius, kCapsuleHeight);
    *m_body = m_physics->CreateDynamicRigidBody(
        collider, kStartPosition, Quaternion(), m_playerStatus->m_playerMass,
        [this](const PhysicsBody& other, const ContactInfo& contact) {
            OnContact(other, contact);
        });
    m_body->DisableSleeping();
    m_body->SetCollisionCategoryBits(kCollisionCategoryPlayer);
    m_body->SetUserTypeId(kBodyTypePlayer);
    m_body->SetGravity(Vector3(0.0f, kGravity, 0.0f));
    m_body->SetAngularFactor(0.0f);
    m_body->SetFriction(kFriction);

    // Another system that put the body somewhere else after this frame's update (the gym sets
    // it down at its middle) moved it, it did not walk it: no wall lies between.
    m_physics->AddPreStepCallback([this] {
        if (m_stepStartValid && (m_body->GetPosition() - m_stepStart).LengthSquared() > 0.0f)
            m_stepStartValid = false;
    });
    // A jump must outlive the contact that is still touching in the update right after it.
    m_physics->AddPostStepCallback([this] {
        KeepOutOfWalls();
        m_jumpStarted = false;
        m_liftedThisUpdate = false;
    });
    m_messaging->RegisterHandler("PLAYER_SET_POSITION", [this](const IEvent& event) {
        OnSetPosition(*static_cast<const Vector3*>(event.m_data));
    });
    m_messaging->RegisterHandler("PLAYER_WARP", [this](const IEvent&) {
        m_body->SetLinearVelocity(Vector3());
    });
    m_messaging->RegisterHandler("PLAYER_GOT_HIT", [this](const IEvent& event) {
        OnGotHit(*static_cast<const PlayerHitRecord*>(event.m_data));
    });
    m_jumpEventId = m_messaging->GetEventId("PLAYER_JUMP");
}

void CharacterControllerSystem::Update(float dt)
{
    m_liftedThisUpdate = false;
    CastGroundRays();
    MoveJumpAndReturn(dt);
    SweepFrame(dt);
    const Vector3 position = m_body->GetPosition();
    m_graphics->SetCameraPosition(position + Vector3(0.0f, m_cameraHeightOffset, 0.0f));
    m_playerPos = position;
    m_stepStart = position;
    m_stepStartValid = true;
}

void CharacterControllerSystem::CastGroundRays()
{
    const Vector3 position = m_body->GetPosition();
    const Vector3 a(kHalfSqrt2, 0.0f, kHalfSqrt2);
    const Vector3 b(-kHalfSqrt2, 0.0f, kHalfSqrt2);
    // The middle ray goes first: what it finds is what the capsule stands on. It starts inside
    // the capsule, which ray casts do not report.
    const Vector3 starts[5] = {
        position,
        position - a * kOuterRayDistance,
        position + a * kOuterRayDistance,
        position + b * kOuterRayDistance,
        position - b * kOuterRayDistance,
    };
    const Vector3 down(0.0f, -m_colliderBottomRaycastOffset, 0.0f);
    bool hit = false;
    for (const Vector3& start : starts) {
        RaycastResult result;
        if (m_physics->Raycast(start, start + down, result)) {
            hit = true;
            if (&start == &starts[0])
                StandOn(result, position);
            break;
        }
    }
    m_rayHitFloor = hit ? 1 : 0;
    if (!hit) {
        m_inAir = 1;
        m_body->SetGravity(Vector3(0.0f, kGravity, 0.0f));
    }
}

void CharacterControllerSystem::StandOn(const RaycastResult& ground, const Vector3& position)
{
    // The world reports only contacts that penetrate, and a body that comes to rest exactly on
    // a surface never does: without this the player could land and never know it (no jump, no
    // stop), and hovering over ice, goo or spikes would never count as touching them.
    const float gap = position.y - kCapsuleHeight * 0.5f - kCapsuleRadius - ground.point.y;
    ContactInfo contact;
    contact.point = ground.point;
    contact.normal = ground.normal;
    contact.distance = -gap;
    switch (ground.body.GetUserTypeID()) {
    case kBodyTypeIce:
    case kBodyTypeGoo:
    case kBodyTypeSpikes:
        OnContact(ground.body, contact);
        return;
    default:
        // Resting on the floor; the hover lift then keeps it well above this.
        if (gap < m_colliderContactOffset * 0.5f && m_body->GetLinearVelocity().y <= 0.0f)
            OnContact(ground.body, contact);
        return;
    }
}

float CharacterControllerSystem::StepTimeScale(float dt) const
{
    // The world steps at most its sub-step count per frame and drops the rest of a longer
    // frame; the walk is quickened by as much, so that it still covers the frame's time.
    const float stepped = m_physics->GetFixedTimeStep() * static_cast<float>(m_physics->GetMaxSubSteps());
    return dt > stepped && stepped > 0.0f ? dt / stepped : 1.0f;
}

void CharacterControllerSystem::MoveJumpAndReturn(float dt)
{
    Vector3 forward = m_graphics->GetCameraBasis().forward;
    forward.y = 0.0f;
    if (forward.LengthSquared() > 0.0f)
        forward.Normalize();
    // Screen-right under the camera's look-at.
    const Vector3 right(-forward.z, 0.0f, forward.x);
    const Vector3 velocity = m_body->GetLinearVelocity();

    const float axisX = m_input->GetJoystickAxis(0, 0);
    const float axisY = m_input->GetJoystickAxis(0, 1);
    // Each way counts for as much of the frame as its key was down (a stick past its dead zone
    // for the whole frame): a key held 0.3 s walks 0.3 s of the way however the frames fall.
    const auto amount = [this](int key, bool stick) {
        return std::max(m_input->GetKeyHeldShare(static_cast<unsigned>(key)), stick ? 1.0f : 0.0f);
    };
    const float ahead = amount(GLFW_KEY_W, axisY < -kStickDeadZone);
    const float left = amount(GLFW_KEY_A, axisX < -kStickDeadZone);
    const float back = amount(GLFW_KEY_S, axisY > kStickDeadZone);
    const float rightward = amount(GLFW_KEY_D, axisX > kStickDeadZone);
    const bool moved = ahead > 0.0f || left > 0.0f || back > 0.0f || rightward > 0.0f;
    Vector3 move = forward * (ahead - back) + right * (rightward - left);

    if (moved) {
        // Two ways at once go no further than the longer-held one alone: diagonals are not
        // faster.
        const float longest = std::max(std::max(ahead, back), std::max(left, rightward));
        const float length = move.Length();
        if (length > longest)
            move *= longest / length;
        const float speed = m_playerStatus->m_playerMoveSpeed * StepTimeScale(dt);
        const Vector3 target(move.x * speed, move.y * speed + velocity.y, move.z * speed);
        if (!m_surfaceContact) {
            m_body->SetLinearVelocity(target);
        } else {
            // On ice and goo the surface has the last word: walking only pushes.
            m_surfaceContact = false;
            m_body->ApplyForceToCenter(target);
        }
        if (m_returnRequested) {
            m_messaging->SendEventByName("RETURN_CANCEL", IEvent());
            m_returnRequested = false;
        }
    }

    const bool jumpPressed =
        m_input->IsKeyPressed(GLFW_KEY_SPACE) || m_input->IsJoystickButtonPressed(0, 4);
    if (jumpPressed && m_inAir == 0) {
        m_jumpStarted = true;
        m_inAir = 1;
        m_body->SetLinearVelocity(
            Vector3(velocity.x, m_playerStatus->m_playerJumpSpeed, velocity.z));
        m_messaging->SendEvent(m_jumpEventId, IEvent());
    }

    if (!moved && m_inAir == 0) {
        // The same stop in the same time at any frame length.
        if (!m_surfaceContact)
            m_body->SetLinearVelocity(m_body->GetLinearVelocity() *
                                      std::pow(kStopFactor, dt / kStopFrame));
        if (m_input->IsKeyPressed(GLFW_KEY_T) || m_input->IsJoystickButtonReleased(0, 5)) {
            m_messaging->SendEventByName("RETURN_TO_TOWN", IEvent());
            m_returnRequested = true;
        }
    }
}

void CharacterControllerSystem::SweepFrame(float dt)
{
    // The world steps in small fixed steps, but the player is only looked at once a frame: at a
    // low frame rate one frame carries it far. What that path holds (a floor to land on, a patch
    // of ice, goo or spikes) is found here before the step.
    const Vector3 position = m_body->GetPosition();
    Vector3 velocity = m_body->GetLinearVelocity();
    const float bottom = kCapsuleHeight * 0.5f + kCapsuleRadius;
    // The time the world will really step.
    dt /= StepTimeScale(dt);

    if (velocity.y < 0.0f && !m_jumpStarted) {
        const float fall = -velocity.y * dt - 0.5f * kGravity * dt * dt;
        RaycastResult ground;
        const Vector3 reach(0.0f, -(bottom + fall), 0.0f);
        if (m_physics->Raycast(position, position + reach, ground) && IsScenery(ground.body) &&
            ground.normal.y >= m_jumpResetCos) {
            // Lands this frame: put it on the floor now, or a fast fall goes through thin ones.
            m_body->SetTransform(Vector3(position.x, ground.point.y + bottom, position.z),
                                 m_body->GetOrientation());
            StandOn(ground, m_body->GetPosition());
            velocity = m_body->GetLinearVelocity();
        }
    }

    const Vector3 travel(velocity.x * dt, 0.0f, velocity.z * dt);
    float length = travel.Length();
    if (length <= kSurfaceProbeSpacing)
        return;
    const Vector3 direction = travel / length;
    // Surfaces behind a wall are out of reach.
    RaycastResult wall;
    if (m_physics->Raycast(position, position + direction * (length + kCapsuleRadius), wall) &&
        IsScenery(wall.body))
        length = std::min(length,
                          std::max(0.0f, (wall.point - position).Length() - kCapsuleRadius));
    const Vector3 down(0.0f, -m_colliderBottomRaycastOffset, 0.0f);
    for (float along = kSurfaceProbeSpacing; along < length; along += kSurfaceProbeSpacing) {
        const Vector3 probe = position + direction * along;
        RaycastResult ground;
        if (!m_physics->Raycast(probe, probe + down, ground))
            continue;
        switch (ground.body.GetUserTypeID()) {
        case kBodyTypeIce:
            m_statusEffect->m_effect = PlayerStatusEffectData::Ice;
            break;
        case kBodyTypeSpikes:
            m_statusEffect->m_effect = PlayerStatusEffectData::Spikes;
            break;
        case kBodyTypeGoo:
            // Goo holds the player where it steps in.
            m_body->SetTransform(probe, m_body->GetOrientation());
            StandOn(ground, probe);
            return;
        default:
            break;
        }
    }
}

void CharacterControllerSystem::KeepOutOfWalls()
{
    // A wall is one box per cell, and one step of the world carries a walking player further
    // than the capsule's radius. A step that begins just short of a wall, before any contact
    // exists, can end with the capsule's axis inside a wall box; near the seam between two
    // cell boxes the shortest way out of each is sideways along the seam, so the world pushes
    // the player along the wall instead of back and the walk carries on through it. The same
    // happens when an enemy or a long frame's many steps press the player in. The centre's
    // path shows every such crossing, whatever did the pushing.
    if (!m_stepStartValid)
        return;
    m_stepStartValid = false;
    const Vector3 end = m_body->GetPosition();
    const Vector3 travel = end - m_stepStart;
    const float length = travel.Length();
    if (length <= 0.0f)
        return;
    const Vector3 direction = travel / length;
    Vector3 from = m_stepStart;
    // Enemies, sensors, projectiles and hazards on the way are looked past.
    for (int i = 0; i < kMaxPastBodies; ++i) {
        RaycastResult hit;
        if (!m_physics->Raycast(from, end, hit))
            return;
        if (BlocksThePlayer(hit.body)) {
            const Vector3 n = hit.normal;
            // Far enough out along the face's normal that the capsule clears the face.
            const float reach = kCapsuleRadius + kCapsuleHeight * 0.5f * std::fabs(n.y) +
                                kWallClearance;
            m_body->SetTransform(hit.point + n * reach, m_body->GetOrientation());
            Vector3 velocity = m_body->GetLinearVelocity();
            const float into = Dot(velocity, n);
            if (into < 0.0f)
                m_body->SetLinearVelocity(velocity - n * into);
            return;
        }
        from = hit.point + direction * kPastBodyStep;
        if (Dot(end - from, direction) <= 0.0f)
            return;
    }
}

void CharacterControllerSystem::OnContact(const PhysicsBody& other, const ContactInfo& contact)
{
    m_surfaceContact = false;
    switch (other.GetUserTypeID()) {
    case kBodyTypeIce: {
        const Vector3 velocity = m_body->GetLinearVelocity();
        const float speed = velocity.Length();
        const Vector3 horizontal(velocity.x, 0.0f, velocity.z);
        if (speed > kIceMinSpeed && speed < kIceMaxSpeed && horizontal.LengthSquared() > 0.0f)
            m_body->ApplyImpulse(horizontal.Normalized() * kIceImpulse, m_body->GetPosition());
        m_surfaceContact = true;
        m_statusEffect->m_effect = PlayerStatusEffectData::Ice;
        return;
    }
    case kBodyTypeGoo: {
        const Vector3 velocity = m_body->GetLinearVelocity();
        m_body->SetLinearVelocity(Vector3(0.0f, velocity.y, 0.0f));
        m_surfaceContact = true;
        m_inAir = 0;
        m_statusEffect->m_effect = PlayerStatusEffectData::Goo;
        return;
    }
    case kBodyTypeSpikes:
        m_statusEffect->m_effect = PlayerStatusEffectData::Spikes;
        return;
    default:
        break;
    }
    if (m_jumpStarted || contact.normal.y < m_jumpResetCos)
        return;
    // A floor: hover on it instead of resting, so slopes and seams never slide the player.
    m_inAir = 0;
    m_body->ResetAllForces();
    m_body->SetLinearVelocity(Vector3());
    m_body->SetGravity(Vector3());
    // One lift per physics update: a floor touched at several points at once would otherwise
    // throw the player up past the ground rays' reach, and it would bob up and down.
    if (m_liftedThisUpdate)
        return;
    m_liftedThisUpdate = true;
    const BodyTransform transform = m_body->GetTransform();
    m_body->SetTransform(transform.position + Vector3(0.0f, m_colliderContactOffset, 0.0f),
                         transform.orientation);
}

void CharacterControllerSystem::OnSetPosition(const Vector3& position)
{
    m_body->SetTransform(position, m_body->GetOrientation());
    // A move, not a walk: no wall lies between.
    m_stepStart = position;
    m_body->SetGravity(Vector3(0.0f, kGravity, 0.0f));
}

float CharacterControllerSystem::HitIndicatorAngle(const PlayerHitRecord& hit,
                                                   const Vector3& cameraPosition,
                                                   const Vector3& cameraForward)
{
    // The source is taken a little back along the hit direction, where the shot came from.
    const float qx = hit.m_point.x - 2.0f * hit.m_vector.x;
    const float qz = hit.m_point.z - 2.0f * hit.m_vector.z;
    const double ax = qx - cameraPosition.x;
    const double az = qz - cameraPosition.z;
    const double fx = -cameraForward.x;
    const double fz = -cameraForward.z;
    return static_cast<float>(std::atan2(az, ax) - std::atan2(fz, fx) + M_PI);
}

void CharacterControllerSystem::OnGotHit(const PlayerHitRecord& hit)
{
    m_cameraShake->m_active = true;
    m_cameraShake->m_timeLeft = kHitShakeTime;
    m_cameraShake->m_magnitude = kHitShakeMagnitude;
    m_hitFeedback->m_active = true;
    m_hitFeedback->m_timeLeft = kHitIndicatorTime;
    m_hitFeedback->m_angle = HitIndicatorAngle(hit, m_graphics->GetCameraPosition(),
                                               m_graphics->GetCameraBasis().forward);
}

}  // namespace ztengine
