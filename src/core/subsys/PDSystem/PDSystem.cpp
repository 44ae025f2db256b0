// PDSystem: the barrel pieces, their bodies and their three-second life.
#include "core/subsys/PDSystem/PDSystem.h"

#include <string>

#include <GLFW/glfw3.h>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/input/Input.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector2.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/resources/ModelManager.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

float Rand01()
{
    return static_cast<float>(ztplatform::Rand()) / static_cast<float>(ztplatform::kRandMax);
}

}  // namespace

PDSystem::PDSystem(App* app)
    : Subsystem(app),
      m_physics(&app->m_physicsEngine),
      m_models(app->GetSharedData<ModelManager>("ModelManager"))
{
}

void PDSystem::Init()
{
    m_app->m_messagingSystem.RegisterHandler("BARREL_DESTRUCTION", [this](const IEvent& event) {
        BurstBarrel(*static_cast<const BarrelDestructionRecord*>(event.m_data));
    });
    m_collider = m_physics->CreateBoxCollider(ztmath::Vector3(0.8f, 0.8f, 0.8f));
}

void PDSystem::Update(float dt)
{
    if (m_input->IsKeyPressed(GLFW_KEY_B)) {
        const ztmath::Basis& camera = m_graphics->GetCameraBasis();
        m_debugBarrel.m_position = m_graphics->GetCameraPosition() + camera.forward * 5.0f;
        m_debugBarrel.m_orientation = camera;
        m_app->m_messagingSystem.SendEventByName("BARREL_DESTRUCTION", IEvent(0, &m_debugBarrel));
    }

    for (auto it = m_pieces.begin(); it != m_pieces.end();) {
        if (it->m_age >= kPieceLife) {
            m_graphics->DestroyInstance(it->m_instance);
            m_physics->DestroyBody(it->m_body);
            it = m_pieces.erase(it);
            continue;
        }
        const BodyTransform transform = it->m_body.GetTransform();
        InstanceTransform& drawn = it->m_instance.GetInstance().m_transform;
        drawn.m_position = transform.position;
        drawn.m_basis = ztmath::Basis::FromQuaternion(transform.orientation);
        it->m_age += dt;
        ++it;
    }
}

void PDSystem::BurstBarrel(const BarrelDestructionRecord& barrel)
{
    const ztmath::Vector3& p = barrel.m_position;
    const ztmath::Basis& axes = barrel.m_orientation;
    for (int32_t i = 0; i < kPieceCount; ++i) {
        const std::string name = "barrelpiecemodel" + std::to_string(i % 5 + 1);
        const int32_t model = m_models->GetModel(name.c_str());
        const float a = 4.0f * Rand01() - 2.0f;
        const float b = 4.0f * Rand01() - 2.0f;
        const float c = 5.0f * Rand01();
        const ztmath::Vector3 q = p + axes.forward * c + axes.right * b + axes.up * a;

        Piece piece;
        piece.m_instance = m_graphics->CreateInstance(model, InstanceTransform());
        InstanceTransform& drawn = piece.m_instance.GetInstance().m_transform;
        drawn.m_position = q;
        drawn.m_scale = ztmath::Vector3(2.0f, 2.0f, 2.0f);
        piece.m_instance.SetTiling(ztmath::Vector2(1.0f, 1.0f));
        piece.m_body = m_physics->CreateDynamicRigidBody(m_collider, q, ztmath::Quaternion(), kPieceMass);
        m_pieces.push_back(piece);
        // Pieces fly out from the barrel's centre, the farther ones faster.
        piece.m_body.ApplyImpulseToCenter((q - p) * kBurstStrength);
    }
}

}  // namespace ztengine
