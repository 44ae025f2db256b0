// ProjectileSystem: requests, bodies, contact rules, the drawn fireballs and their particles.
#include "core/subsys/ProjectileSystem/ProjectileSystem.h"

#include <algorithm>
#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/DebugDraw.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector4.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kRadii[ProjectileSystem::kKindCount] = {1.0f, 0.75f, 3.0f, 1.0f, 1.0f, 3.0f, 0.75f};
constexpr float kTrailLifetime = 1.0f;
constexpr float kImpactLifetime = 0.5f;
constexpr float kFirstAge = 0.01f;
constexpr float kGrowRate = 10.0f;
constexpr float kSpinRate = 15.0f;  // degrees per second for particles, radians per life second / 2 for models
constexpr uint16_t kPlayerShotMask =
    kCollisionMaskAll & ~kCollisionCategoryPlayer & ~kCollisionCategoryProjectile;
constexpr uint16_t kEnemyShotMask = kCollisionMaskAll & ~kCollisionCategoryProjectile;

float Rand01()
{
    return static_cast<float>(ztplatform::Rand()) / static_cast<float>(ztplatform::kRandMax);
}

bool KindHasTint(int32_t kind)
{
    return kind >= 0 && kind <= 5;
}

ztmath::Vector4 KindTint(int32_t kind)
{
    switch (kind) {
    case 1:
        return {1.0f, 1.0f, 0.0f, 0.3f};
    case 2:
    case 5:
        return {0.0f, 0.0f, 1.0f, 0.3f};
    case 4:
        return {0.0f, 1.0f, 0.0f, 0.3f};
    default:
        return {1.0f, 0.0f, 0.0f, 0.3f};
    }
}

// Kinds whose fireball stretches along its flight as it ages.
bool KindStretches(int32_t kind)
{
    return kind == 0 || kind == 1 || kind == 3 || kind == 4 || kind == 5;
}

int32_t TrailSelector(int32_t kind)
{
    if (kind == 1)
        return 2;
    if (kind == 2)
        return 1;
    return 0;
}

}  // namespace

float TrailSelectorLife(int32_t selector)
{
    // Three frames: frame f shows at fraction f / 3. A hair above 2/3 so rounding cannot land on
    // frame 1 blending into 2.
    switch (selector) {
    case 1:
        return 1.0f;
    case 2:
        return 2.0f / 3.0f + 1e-4f;
    default:
        return 0.0f;
    }
}

ProjectileSystem::ProjectileSystem(App* app)
    : Subsystem(app),
      m_projectiles(app->GetSharedData<ProjectilesShared>("ProjectilesShared")),
      m_playerStatus(app->GetSharedData<PlayerStatus>("PlayerStatus")),
      m_playerHealth(app->GetSharedData<PlayerHealth>("PlayerHealth")),
      m_physics(&app->m_physicsEngine)
{
}

void ProjectileSystem::Init()
{
    m_model = m_app->GetSharedData<ModelManager>("ModelManager")->GetModel("KangaBoomModel");
    MessagingSystem& messaging = m_app->m_messagingSystem;
    m_decalEvent = messaging.GetEventId("SPAWN_PROJECTILE_DECAL");
    messaging.RegisterHandler("EVENT_RESTART", [](const IEvent&) {});
    messaging.RegisterHandler("EVENT_RESTART", [this](const IEvent&) { Reset(); });
    for (int32_t kind = 0; kind < kKindCount; ++kind)
        m_colliders[kind] = m_physics->CreateSphereCollider(kRadii[kind]);
    m_trailSystem = m_graphics->CreateParticleSystem("textures/diff/ProjectileColor.png", 2, kParticleCapacity);
    m_trailParticles.reserve(kParticleCapacity);
    m_impactSystem = m_graphics->CreateParticleSystem("particles/particleAtlas.png", 4, kParticleCapacity);
    m_impactParticles.reserve(kParticleCapacity);
}

void ProjectileSystem::Spawn(const ProjectileRequest& request)
{
    // Only the seven kinds have a collider; a body needs one.
    if (request.m_kind < 0 || request.m_kind >= kKindCount)
        return;
    auto& records = m_projectiles->m_records;
    auto free = std::find_if(records.begin(), records.end(),
                             [](const ProjectileRecord& record) { return !record.m_alive; });
    if (free == records.end())
        return;
    ProjectileRecord& record = *free;
    record.m_slotIndex = static_cast<int32_t>(free - records.begin());
    record.m_direction = request.m_direction;
    record.m_position = request.m_position;
    record.m_speed = request.m_speed;
    record.m_size = request.m_size;
    record.m_life = request.m_life;
    record.m_damage = request.m_damage;
    record.m_kind = request.m_kind;
    record.m_gravity = request.m_gravity;
    record.m_mass = request.m_mass < PhysicsEngine::MACHINE_EPSILON ? 1.0f : request.m_mass;
    record.m_trail = request.m_trail != 0;

    record.m_instance = m_graphics->CreateInstance(m_model, InstanceTransform());
    record.m_instance.GetInstance().m_transform.m_scale = ztmath::Vector3(0.0f, 0.0f, 0.0f);
    record.m_alive = true;

    const int32_t slot = record.m_slotIndex;
    record.m_body = m_physics->CreateDynamicRigidBody(
        m_colliders[request.m_kind], request.m_position, ztmath::Quaternion(), record.m_mass);
    record.m_body.SetGravity(request.m_gravity);
    m_physics->SetContactCallback(record.m_body, [this, slot](const PhysicsBody& other, const ContactInfo& contact) {
        OnContact(slot, other, contact);
    });
    const bool player = request.m_kind == 1;
    record.m_body.SetUserTypeId(player ? kBodyTypePlayerProjectile : kBodyTypeEnemyProjectile);
    record.m_body.SetCollisionMaskBits(player ? kPlayerShotMask : kEnemyShotMask);
    record.m_body.SetCollisionCategoryBits(kCollisionCategoryProjectile);
    record.m_body.ApplyImpulseToCenter(request.m_direction * request.m_speed);
    record.m_decalSent = false;
    ++m_liveCount;
    record.m_initialLife = request.m_life;
}

void ProjectileSystem::Remove(ProjectileRecord& record)
{
    // The instance slot is handed to the next fireball: it must not inherit this one's colour.
    record.m_instance.SetTint(ztmath::Vector4(0.0f, 0.0f, 0.0f, 0.0f));
    m_graphics->DestroyInstance(record.m_instance);
    record.m_instance = InstanceHandle();
    record.m_alive = false;
    // The body stays in the world until the end of the next physics step, and a body that has
    // lost its callback could still strike an enemy there: it collides no more from now on.
    record.m_body.SetActive(false);
    m_physics->DestroyBody(record.m_body);
    record.m_body = PhysicsBody();
    --m_liveCount;
}

void ProjectileSystem::SendDecal(ProjectileRecord& record, const ztmath::Vector3& point)
{
    if (record.m_decalSent)
        return;
    m_decalPoint = point - record.m_direction * kDecalBackOff;
    record.m_decalSent = true;
    m_app->m_messagingSystem.SendEvent(m_decalEvent, IEvent(0, &m_decalPoint));
}

void ProjectileSystem::Stop(ProjectileRecord& record)
{
    record.m_life = 0.0f;
    record.m_body.SetActive(false);
}

void ProjectileSystem::OnContact(int32_t slot, const PhysicsBody& other, const ContactInfo& contact)
{
    ProjectileRecord& record = m_projectiles->m_records[static_cast<size_t>(slot)];
    if (!record.m_alive)
        return;
    const int32_t type = other.GetUserTypeID();
    switch (type) {
    case kBodyTypePlayer:
        if (record.m_kind == 1 || record.m_life <= 0.0f)
            return;
        Stop(record);
        if (!m_playerStatus->m_invulnerable)
            m_playerHealth->m_currentHealth -= static_cast<float>(record.m_damage);
        m_lastHit.m_point = contact.point;
        m_lastHit.m_vector = contact.normal;
        m_app->m_messagingSystem.SendEventByName("PLAYER_GOT_HIT", IEvent(0, &m_lastHit));
        return;
    case kBodyTypePlayerProjectile:
    case kBodyTypeEnemyProjectile:
        return;
    case kBodyTypeScenery:
    case kBodyTypeBreakable:
        SendDecal(record, contact.point);
        Stop(record);
        if (record.m_kind == 6)
            Burst(contact.point, 500, 50.0f);
        else
            Burst(contact.point, 50, 10.0f);
        return;
    default:
        SendDecal(record, contact.point);
        if (record.m_kind == 1 && record.m_life > 0.0f &&
            (type == kBodyTypeBoss || type == kBodyTypeEnemy)) {
            Stop(record);
            Burst(contact.point, 50, 10.0f);
        }
        return;
    }
}

void ProjectileSystem::Burst(const ztmath::Vector3& point, int32_t count, float speed)
{
    for (int32_t i = 0; i < count; ++i) {
        ImpactParticle particle;
        particle.m_position = point;
        const float x = 2.0f * Rand01() - 1.0f;
        const float y = 2.0f * Rand01() - 1.0f;
        const float z = 2.0f * Rand01() - 1.0f;
        // rand() is an integer, so 2u - 1 is never exactly 0 and the length never vanishes.
        particle.m_velocity = ztmath::Vector3(x, y, z).Normalized() * speed;
        particle.m_size = Rand01();
        particle.m_rotation = 90.0f * Rand01();
        particle.m_lifetime = kImpactLifetime;
        particle.m_age = kFirstAge;
        m_impactParticles.push_back(particle);
    }
}

void ProjectileSystem::Draw(ProjectileRecord& record, float dt)
{
    InstanceData& instance = record.m_instance.GetInstance();
    ztmath::Vector3& scale = instance.m_transform.m_scale;
    const float current = scale.x;
    const float grown = record.m_size > current ? current + kGrowRate * dt : record.m_size;
    scale = ztmath::Vector3(grown, grown, grown);

    const float speed = record.m_body.GetLinearVelocity().Length();
    if (KindStretches(record.m_kind) && speed > 0.0f && record.m_life > 0.0f)
        scale.z += (1.0f - record.m_life / record.m_initialLife) * std::min(0.25f * speed, 20.0f);

    if (KindHasTint(record.m_kind))
        record.m_instance.SetTint(KindTint(record.m_kind));

    instance.m_transform.m_position = record.m_body.GetPosition();
    ztmath::Basis basis;
    basis.forward = record.m_direction.Normalized();
    basis.up = ztmath::Vector3(0.0f, 1.0f, 0.0f);
    basis.right = basis.up.Cross(basis.forward).Normalized();
    // The fireball spins about its flight, faster the younger it is.
    basis.Rotate(ztmath::Quaternion(basis.forward * std::sin(kSpinRate * record.m_life),
                                    std::cos(kSpinRate * record.m_life)));
    instance.m_transform.m_basis = basis;
}

void ProjectileSystem::EmitTrail(const ProjectileRecord& record)
{
    TrailParticle particle;
    particle.m_atlasSelector = TrailSelector(record.m_kind);
    const float x = 2.0f * Rand01() - 1.0f;
    const float y = 6.0f * Rand01() - 3.0f;
    const float z = 6.0f * Rand01() - 3.0f;
    particle.m_velocity = ztmath::Vector3(x, y, z);
    particle.m_size = 0.25f * Rand01();
    if (record.m_kind == 1)
        particle.m_size *= 0.5f;
    particle.m_rotation = 90.0f * Rand01();
    particle.m_position = record.m_position;
    particle.m_lifetime = kTrailLifetime;
    particle.m_age = kFirstAge;
    m_trailParticles.push_back(particle);
}

namespace {

// Ages, drops the expired (keeping order), moves, turns and re-emits a particle list.
template <class Particle, class LifeFn>
void Advance(Graphics3D& graphics, int32_t system, std::vector<Particle>& particles, float dt, LifeFn life)
{
    graphics.ClearParticles(static_cast<uint32_t>(system));
    for (Particle& particle : particles)
        particle.m_age += dt;
    particles.erase(std::remove_if(particles.begin(), particles.end(),
                                   [](const Particle& p) { return p.m_age > p.m_lifetime; }),
                    particles.end());
    for (Particle& particle : particles) {
        particle.m_position += particle.m_velocity * dt;
        particle.m_rotation += kSpinRate * dt;
        const float fraction = particle.m_age / particle.m_lifetime;
        graphics.EmitParticle(static_cast<uint32_t>(system), particle.m_position, particle.m_rotation,
                              particle.m_size * (1.0f - fraction), life(particle, fraction));
    }
}

}  // namespace

void ProjectileSystem::AdvanceTrails(float dt)
{
    Advance(*m_graphics, m_trailSystem, m_trailParticles, dt,
            [](const TrailParticle& p, float) { return TrailSelectorLife(p.m_atlasSelector); });
}

void ProjectileSystem::AdvanceImpacts(float dt)
{
    Advance(*m_graphics, m_impactSystem, m_impactParticles, dt,
            [](const ImpactParticle&, float fraction) { return fraction; });
}

void ProjectileSystem::Update(float dt)
{
    auto& requests = m_projectiles->m_requests;
    while (!requests.empty()) {
        const ProjectileRequest request = requests.front();
        requests.pop_front();
        if (request.m_command == 0) {
            Spawn(request);
        } else if (request.m_command == 1) {
            auto& records = m_projectiles->m_records;
            if (request.m_id >= 0 && static_cast<size_t>(request.m_id) < records.size() &&
                records[static_cast<size_t>(request.m_id)].m_alive)
                Remove(records[static_cast<size_t>(request.m_id)]);
        }
    }

    for (ProjectileRecord& record : m_projectiles->m_records) {
        if (!record.m_alive)
            continue;
        record.m_life -= dt;
        if (record.m_life < 0.0f) {
            Remove(record);
            continue;
        }
        Draw(record, dt);
        record.m_position = record.m_body.GetPosition();
        EmitTrail(record);
    }

    AdvanceTrails(dt);
    AdvanceImpacts(dt);
}

void ProjectileSystem::RemoveAll()
{
    for (ProjectileRecord& record : m_projectiles->m_records)
        if (record.m_alive)
            Remove(record);
    if (m_trailSystem >= 0)
        m_graphics->ClearParticles(static_cast<uint32_t>(m_trailSystem));
    if (m_impactSystem >= 0)
        m_graphics->ClearParticles(static_cast<uint32_t>(m_impactSystem));
    m_trailParticles.clear();
    m_impactParticles.clear();
}

void ProjectileSystem::Exit()
{
    RemoveAll();
}

void ProjectileSystem::Reset()
{
    RemoveAll();
    m_projectiles->m_requests.clear();
}

void ProjectileSystem::Render(DebugDraw& drawer, float)
{
    for (const ProjectileRecord& record : m_projectiles->m_records)
        if (record.m_alive)
            drawer.DrawSphere(record.m_position, record.m_size, ztmath::Quaternion());
}

// ---- Impact decals

ProjectileDecalsSystem::ProjectileDecalsSystem(App* app) : Subsystem(app) {}

void ProjectileDecalsSystem::Init()
{
    MessagingSystem& messaging = m_app->m_messagingSystem;
    messaging.RegisterHandler("SPAWN_PROJECTILE_DECAL", [this](const IEvent& event) {
        AddDecal(*static_cast<const ztmath::Vector3*>(event.m_data));
    });
    messaging.RegisterHandler("EVENT_RESTART", [this](const IEvent&) { m_decals.clear(); });
    const int32_t mesh = m_graphics->CreateSphereMesh(12, 12);
    m_instanceBuffer = m_graphics->CreateInstanceBuffer(mesh, kMaxDecals, 0);
    m_graphics->SetInstanceBufferTint(static_cast<uint32_t>(m_instanceBuffer),
                                      ztmath::Vector4(0.85f, 0.55f, 0.05f, 1.0f));
}

void ProjectileDecalsSystem::AddDecal(const ztmath::Vector3& position)
{
    if (m_decals.size() >= kMaxDecals)
        m_decals.erase(m_decals.begin());
    m_decals.push_back({position, kDecalLife});
}

void ProjectileDecalsSystem::Update(float dt)
{
    for (Decal& decal : m_decals)
        decal.m_timeLeft -= dt;
    m_decals.erase(std::remove_if(m_decals.begin(), m_decals.end(),
                                  [](const Decal& decal) { return decal.m_timeLeft <= 0.0f; }),
                   m_decals.end());
    const uint32_t key = static_cast<uint32_t>(m_instanceBuffer);
    m_graphics->ClearInstances(key);
    const ztmath::Basis upright;
    for (const Decal& decal : m_decals)
        m_graphics->AddInstanceToBuffer(key, decal.m_position, upright,
                                        std::fabs(4.0f * decal.m_timeLeft) * kDecalScale,
                                        ztmath::Vector2(0.0f, 0.0f));
}

}  // namespace ztengine
