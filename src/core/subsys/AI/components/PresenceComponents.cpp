#include "core/subsys/AI/components/PresenceComponents.h"

#include <cstdio>

#include "core/math/Basis.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/AI/components/ComponentParams.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"

namespace ztengine {

// ---- object3D ----

Object3DComponentCreator::Object3DComponentCreator(AISpawner* spawner, Graphics3D* graphics,
                                                   ModelManager* models)
    : m_spawner(spawner), m_graphics(graphics), m_models(models),
      m_defaultModel(models->GetModel("____default"))
{
}

IComponent* Object3DComponentCreator::Create(const Params& params)
{
    int32_t model = m_defaultModel;
    const ParamValue* name = params.GetParam("model");
    if (name != nullptr && name->IsString())
        model = m_models->GetModel(name->GetString());

    InstanceTransform transform;
    transform.m_position = ReadVec3Key(params, "position", ztmath::Vector3(0.0f, 0.0f, 0.0f));
    transform.m_scale = ReadVec3Key(params, "scale", ztmath::Vector3(1.0f, 1.0f, 1.0f));
    transform.SetBasis(ztmath::Basis::FromQuaternion(
        ReadQuaternionKey(params, "orientation", ztmath::Quaternion())));

    auto* component = new Object3DComponent();
    component->m_spawner = m_spawner;
    component->m_instance = m_graphics->CreateInstance(model, transform);
    component->m_graphicalOffset = ReadVec3Key(params, "graphical_offset_from_physics_pos",
                                               ztmath::Vector3(0.0f, 0.0f, 0.0f));
    return component;
}

void Object3DComponentCreator::Destroy(IComponent* component)
{
    auto* object = static_cast<Object3DComponent*>(component);
    m_graphics->DestroyInstance(object->m_instance);
    delete object;
}

void Object3DComponent::Init(ComponentProxy& owner)
{
    m_physicsBody = owner.Find<PhysicsBodyComponent>("physicsBody");
    m_health = owner.Find<HealthComponent>("health");
}

void Object3DComponent::Update(float)
{
    InstanceData& instance = m_instance.GetInstance();
    if (m_physicsBody != nullptr)
        instance.m_transform.m_position = m_physicsBody->m_body.GetPosition() + m_graphicalOffset;
    if (m_spawner != nullptr) {
        m_spawner->m_enemyPositions.push_back(instance.m_transform.m_position);
        m_spawner->m_enemyFacings.push_back(instance.m_transform.m_basis.forward);
        m_spawner->m_enemyStanding.push_back(m_health == nullptr || m_health->m_currentHp > 0.0f ? 1 : 0);
    }
}

// ---- physicsBody ----

PhysicsBodyComponentCreator::PhysicsBodyComponentCreator(PhysicsEngine* physics)
    : m_physics(physics), m_defaultCollider(physics->CreateSphereCollider(5.0f))
{
}

IComponent* PhysicsBodyComponentCreator::Create(const Params& params)
{
    const auto collider = static_cast<uint32_t>(
        ReadIntKey(params, "collider_shape", static_cast<int32_t>(m_defaultCollider)));
    auto* component = new PhysicsBodyComponent();
    component->m_body = m_physics->CreateDynamicRigidBody(
        collider, ReadVec3Key(params, "position", ztmath::Vector3(0.0f, 0.0f, 0.0f)),
        ReadQuaternionKey(params, "orientation", ztmath::Quaternion()),
        ReadFloatKey(params, "mass", 1.0f), ContactCallback{});
    PhysicsBody& body = component->m_body;
    body.SetCollisionCategoryBits(
        static_cast<uint16_t>(ReadIntKey(params, "collision_cat_bits", 0xFFFF)));
    body.SetCollisionMaskBits(
        static_cast<uint16_t>(ReadIntKey(params, "collision_mask_bits", 0xFFFF)));
    body.SetUserTypeId(ReadIntKey(params, "collision_typeid", 0));
    body.DisableSleeping();
    body.SetAngularFactor(0.0f);
    return component;
}

void PhysicsBodyComponentCreator::Destroy(IComponent* component)
{
    auto* body = static_cast<PhysicsBodyComponent*>(component);
    m_physics->DestroyBody(body->m_body);
    delete body;
}

// ---- animation ----

IComponent* AnimationComponentCreator::Create(const Params&)
{
    return new AnimationComponent();
}

void AnimationComponentCreator::Destroy(IComponent* component)
{
    delete static_cast<AnimationComponent*>(component);
}

void AnimationComponent::Init(ComponentProxy& owner)
{
    m_object = owner.Find<Object3DComponent>("object3D");
}

void AnimationComponent::Update(float dt)
{
    if (!m_active) {
        std::printf("Anim not active\n");
        return;
    }
    if (m_object == nullptr || m_paused)
        return;
    m_time += m_forward ? m_speed * dt : -m_speed * dt;
    if (m_time < m_minTime) {
        m_time = m_maxTime;
        m_ended = true;
    }
    if (m_time > m_maxTime) {
        m_time = m_minTime;
        m_ended = true;
    }
    m_object->m_instance.SetAnimationTime(m_time);
}

void AnimationComponent::Play(int32_t animationIndex, float startTime, float speed)
{
    if (m_object == nullptr)
        return;
    m_time = startTime;
    m_speed = speed;
    m_ended = false;
    m_object->m_instance.SetAnimated(true);
    m_object->m_instance.SetAnimationIndex(animationIndex);
    m_object->m_instance.SetAnimationTime(startTime);
}

// ---- enemyhitflash ----

IComponent* EnemyHitFlashComponentCreator::Create(const Params& params)
{
    auto* component = new EnemyHitFlashComponent();
    component->m_fadeTime = ReadFloatKey(params, "FadeTime", 0.25f);
    component->m_tint = ReadVec3Key(params, "Tint", ztmath::Vector3(1.0f, 1.0f, 1.0f));
    return component;
}

void EnemyHitFlashComponentCreator::Destroy(IComponent* component)
{
    delete static_cast<EnemyHitFlashComponent*>(component);
}

void EnemyHitFlashComponent::Init(ComponentProxy& owner)
{
    m_object = owner.Find<Object3DComponent>("object3D");
}

void EnemyHitFlashComponent::Update(float dt)
{
    if (!m_enabled)
        return;
    if (m_flash) {
        m_timeLeft = m_fadeTime;
        m_flash = false;
    }
    if (!(m_timeLeft > 0.0f))
        return;
    m_timeLeft -= dt;
    const float strength = m_timeLeft > 0.0f ? m_timeLeft / m_fadeTime : 0.0f;
    if (m_object != nullptr)
        m_object->m_instance.SetTint(ztmath::Vector4(m_tint, strength));
}

}  // namespace ztengine
