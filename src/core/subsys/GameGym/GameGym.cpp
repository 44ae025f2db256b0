// GameGym: the test gym's arena.
#include "core/subsys/GameGym/GameGym.h"

#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/physics-engine/PhysicsEngine.h"

namespace ztengine {

using ztmath::Quaternion;
using ztmath::Vector3;

namespace {

constexpr float kDegree = 3.14159265358979f / 180.0f;

// A turn of `degrees` about the y or the z axis.
Quaternion AboutY(float degrees)
{
    return Quaternion(0.0f, std::sin(degrees * 0.5f * kDegree), 0.0f,
                      std::cos(degrees * 0.5f * kDegree));
}
Quaternion AboutZ(float degrees)
{
    return Quaternion(0.0f, 0.0f, std::sin(degrees * 0.5f * kDegree),
                      std::cos(degrees * 0.5f * kDegree));
}

}  // namespace

const std::array<GameGym::Piece, GameGym::kPieceCount>& GameGym::Pieces()
{
    // The walls are drawn at half the collider's height and thickness: they are seen from
    // inside and only need to close the view.
    static const std::array<Piece, kPieceCount> kPieces = {{
        {0, Vector3(0.0f, -4.0f, -2.0f), Quaternion(), Vector3(290.0f, 5.0f, 290.0f)},
        {1, Vector3(-1.0f, -4.0f, -2.0f), AboutZ(130.0f), Vector3(50.0f, 5.0f, 50.0f)},
        {2, Vector3(145.0f, -4.0f, -2.0f), AboutY(90.0f), Vector3(290.0f, 500.0f, 5.0f)},
        {2, Vector3(-145.0f, -4.0f, -2.0f), AboutY(90.0f), Vector3(290.0f, 500.0f, 5.0f)},
        {2, Vector3(0.0f, -4.0f, 143.0f), Quaternion(), Vector3(290.0f, 500.0f, 5.0f)},
        {2, Vector3(0.0f, -4.0f, -147.0f), Quaternion(), Vector3(290.0f, 500.0f, 5.0f)},
    }};
    return kPieces;
}

const std::array<Vector3, 3>& GameGym::ColliderHalfExtents()
{
    static const std::array<Vector3, 3> kHalfExtents = {
        Vector3(145.0f, 2.5f, 145.0f), Vector3(25.0f, 2.5f, 25.0f), Vector3(145.0f, 500.0f, 5.0f)};
    return kHalfExtents;
}

GameGym::GameGym(App* app)
    : Subsystem(app),
      m_playerBody(app->GetSharedData<PhysicsBody>("PlayerController")),
      m_physics(&app->m_physicsEngine),
      m_messaging(&app->m_messagingSystem)
{
}

void GameGym::Init()
{
    m_graphics = m_app->GetGraphics3D();
    for (size_t i = 0; i < m_colliders.size(); ++i)
        m_colliders[i] = m_physics->CreateBoxCollider(ColliderHalfExtents()[i]);

    const int32_t mesh = m_graphics->CreateCubeMesh();
    const int32_t model = m_graphics->CreateModel(static_cast<uint32_t>(mesh), 0);
    for (InstanceHandle& instance : m_instances) {
        instance = m_graphics->CreateInstance(model, InstanceTransform());
        instance.SetHidden(true);
    }

    m_messaging->SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
    m_active = false;
    m_firstUpdatePending = true;
}

void GameGym::SetToCurrentState()
{
    if (m_active)
        return;
    CreateBodies();
    m_messaging->SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
    m_active = true;
}

void GameGym::NextState(int)
{
    if (!m_active)
        return;
    DestroyBodies();
    m_messaging->SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
    m_active = false;
}

void GameGym::CreateBodies()
{
    for (int i = 0; i < kPieceCount; ++i) {
        const Piece& piece = Pieces()[i];
        m_bodies[i] = m_physics->CreateStaticBody(m_colliders[piece.collider], piece.position,
                                                  piece.orientation);
        m_bodies[i].SetCollisionCategoryBits(kCollisionCategoryScenery);
    }
    SetBoxesHidden(false);
}

void GameGym::DestroyBodies()
{
    for (PhysicsBody& body : m_bodies) {
        m_physics->DestroyBody(body);
        // The engine frees the body with the next step: no copy of it is kept past this.
        body = PhysicsBody();
    }
    SetBoxesHidden(true);
}

void GameGym::SetBoxesHidden(bool hidden)
{
    for (const InstanceHandle& instance : m_instances)
        instance.SetHidden(hidden);
}

void GameGym::Update(float)
{
    if (!m_active)
        return;
    if (m_firstUpdatePending) {
        m_firstUpdatePending = false;
        m_messaging->SendEventByName("EXIT_OVERWORLD", IEvent());
        m_messaging->SendEventByName("DISABLE_DUNGEON_COLLIDERS", IEvent());
        m_playerBody->SetTransform(Vector3(0.0f, 0.0f, 0.0f), m_playerBody->GetOrientation());
    }
    for (int i = 0; i < kPieceCount; ++i) {
        InstanceTransform& transform = m_instances[i].GetInstance().m_transform;
        transform.m_position = m_bodies[i].GetPosition();
        transform.m_basis = ztmath::Basis::FromQuaternion(m_bodies[i].GetOrientation());
        transform.m_scale = Pieces()[i].scale;
    }
    m_messaging->SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
}

}  // namespace ztengine
