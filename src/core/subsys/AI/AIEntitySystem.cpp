#include "core/subsys/AI/AIEntitySystem.h"

#include "core/App.h"
#include "core/ai/framework/EntityWorld.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/MovementComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/GameStats.h"

namespace ztengine {

namespace {

// Every enemy body: heavy, upright, in the enemies' category, meeting the player, scenery,
// other enemies and projectiles.
Params EnemyBody(uint32_t collider, const ztmath::Vector3& position)
{
    Params p;
    p.SetInt("collider_shape", static_cast<int32_t>(collider));
    p.SetFloat("mass", 50.0f);
    p.SetVec3("position", position);
    p.SetVec4("orientation", 0.0f, 0.0f, 0.0f, 1.0f);
    p.SetInt("collision_cat_bits", kCollisionCategoryEnemy);
    p.SetInt("collision_mask_bits", kCollisionMaskEnemy);
    p.SetInt("collision_typeid", kBodyTypeEnemy);
    return p;
}

Params ObjectParams(const char* model, const ztmath::Vector3& scale, const ztmath::Vector3& offset)
{
    Params p;
    p.SetString("model", model);
    p.SetVec3("scale", scale);
    p.SetVec3("graphical_offset_from_physics_pos", offset);
    return p;
}

Params HitFlashParams()
{
    Params p;
    p.SetVec3("Tint", ztmath::Vector3(1.0f, 1.0f, 1.0f));
    p.SetFloat("FadeTime", 0.3f);
    return p;
}

Params HealthParams(float hp)
{
    Params p;
    p.SetFloat("current_hp", hp);
    p.SetFloat("max_hp", hp);
    return p;
}

Params GotHitParams(const char* event, float damage)
{
    Params p;
    p.SetString("got_hit_msg", event);
    p.SetFloat("got_hit_damage", damage);
    return p;
}

Params ShootParams(float speed, float radius, float life, int32_t type, float damage)
{
    Params p;
    p.SetFloat("projectile_speed", speed);
    p.SetFloat("projectile_radius", radius);
    p.SetFloat("projectile_life_timer", life);
    p.SetInt("projectile_type", type);
    p.SetFloat("damage", damage);
    return p;
}

}  // namespace

void ApplySpawnTransform(const SpawnConfig& config, ComponentProxy& entity)
{
    if (auto* body = entity.Find<PhysicsBodyComponent>("physicsBody")) {
        body->m_body.SetTransform(config.m_position, config.m_orientation);
        return;
    }
    if (auto* object = entity.Find<Object3DComponent>("object3D")) {
        InstanceTransform& transform = object->m_instance.GetInstance().m_transform;
        transform.m_position = config.m_position;
        transform.SetBasis(ztmath::Basis::FromQuaternion(config.m_orientation));
    }
}

AIEntitySystem::AIEntitySystem(App* app)
    : Subsystem(app), m_world(&app->m_entityWorld),
      m_spawner(app->GetSharedData<AISpawner>("AISpawner"))
{
}

AIEntitySystem::~AIEntitySystem() = default;

void AIEntitySystem::Init()
{
    ModelManager* models = m_app->GetSharedData<ModelManager>("ModelManager");
    RegisterCreators();
    m_world->CreateArchetype("rabbitman");
    BuildRabbitman(*models);
    RegisterSpawnFunctions();
    RegisterHandlers();
}

void AIEntitySystem::Update(float dt)
{
    m_spawner->m_enemyPositions.clear();
    m_world->Update(dt);
}

void AIEntitySystem::RegisterCreators()
{
    ModelManager* models = m_app->GetSharedData<ModelManager>("ModelManager");
    PhysicsEngine* physics = &m_app->m_physicsEngine;
    m_world->CreateComponentFactory<Object3DComponentCreator>("object3D", m_spawner, m_graphics,
                                                              models);
    m_world->CreateComponentFactory<PhysicsBodyComponentCreator>("physicsBody", physics);
    m_world->CreateComponentFactory<ChasePlayerComponentCreator>("chase");
    m_world->CreateComponentFactory<EnemyHitFlashComponentCreator>("enemyhitflash");
    m_world->CreateComponentFactory<AnimationComponentCreator>("animation");
    m_world->CreateComponentFactory<HealthComponentCreator>("health");
    m_world->CreateComponentFactory<GotHitByPlayerComponentCreator>("got_hit_by_player", m_app);
    m_world->CreateComponentFactory<ShootProjectileComponentCreator>("shoot_projectile", m_app);
    m_world->CreateComponentFactory<DeathComponentCreator>("death", m_app);
    m_world->CreateComponentFactory<ChargeAttackTowardsTargetComponentCreator>(
        "charge_attack_towards_target", m_app);
    m_world->CreateComponentFactory<ColliderNearTargetCheckComponentCreator>(
        "collider_near_target_check", m_app);
}

// The rabbitman has no behaviour of its own: it stands where it was put, takes hits and dies.
void AIEntitySystem::BuildRabbitman(ModelManager& models)
{
    const int32_t model = models.GetModel("rabbitmanModel");
    for (const char* file :
         {"models/RabbitmanPack/idle.fbx", "models/RabbitmanPack/running_inPlace.fbx",
          "models/RabbitmanPack/stomach_hit.fbx", "models/RabbitmanPack/zombie_attack.fbx",
          "models/RabbitmanPack/falling_back_death.fbx"})
        m_graphics->LoadAnimation(model, file);

    const uint32_t collider = m_app->m_physicsEngine.CreateCapsuleCollider(2.0f, 3.0f);
    const char* kind = "rabbitman";
    m_world->RegisterComponentCreatorToArchetype(
        kind, "object3D",
        ObjectParams("rabbitmanModel", ztmath::Vector3(0.75f, 0.75f, 0.75f),
                     ztmath::Vector3(0.0f, -5.0f, 0.0f)));
    m_world->RegisterComponentCreatorToArchetype(kind, "animation", Params());
    m_world->RegisterComponentCreatorToArchetype(
        kind, "physicsBody", EnemyBody(collider, ztmath::Vector3(500.0f, 505.0f, 500.0f)));
    m_world->RegisterComponentCreatorToArchetype(kind, "enemyhitflash", HitFlashParams());
    m_world->RegisterComponentCreatorToArchetype(kind, "chase", Params());
    m_world->RegisterComponentCreatorToArchetype(kind, "health", HealthParams(100.0f));
    m_world->RegisterComponentCreatorToArchetype(kind, "got_hit_by_player",
                                                 GotHitParams("RABBITMAN_GOT_HIT", 7.5f));
    m_world->RegisterComponentCreatorToArchetype(kind, "shoot_projectile",
                                                 ShootParams(200.0f, 1.0f, 3.0f, 0, 10.0f));
    m_world->RegisterComponentCreatorToArchetype(kind, "death", Params());
}

void AIEntitySystem::RunComponentSetup(const std::string& kind, const SpawnConfig& config,
                                       ComponentProxy& entity)
{
    // The rabbitman does no damage of its own; the other kinds scale their attacks here.
    (void)kind;
    (void)config;
    (void)entity;
}

void AIEntitySystem::RegisterSpawnFunctions()
{
    for (const char* kind : {"rabbitman"}) {
        const std::string name = kind;
        m_spawner->RegisterEntitySpawn(kind, [name](EntityWorld& world, const SpawnConfig& config) {
            const uint32_t entity = world.CreateEntity(world.GetArchetype(name.c_str()));
            ComponentProxy& proxy = world.GetEntity(entity);
            ApplySpawnTransform(config, proxy);
            if (auto* health = proxy.Find<HealthComponent>("health")) {
                health->m_currentHp = config.m_health;
                health->m_maxHp = config.m_health;
            }
            RunComponentSetup(name, config, proxy);
        });
    }
}

void AIEntitySystem::RegisterHandlers()
{
    MessagingSystem& messaging = m_app->m_messagingSystem;
    for (const char* wipe : {"ERASE_ALL_ENEMIES", "KILL_ALL_ENEMIES", "EVENT_RESTART"})
        messaging.RegisterHandler(wipe, [this](const IEvent&) { m_world->DestroyAllEntities(); });
    for (const char* died : {"SMAGICIAN_DIED", "FSKULL_DIED", "LKANGA_DIED", "OGRE_DIED"})
        messaging.RegisterHandler(died, [this](const IEvent&) {
            auto* stats = m_app->GetSharedData<ztgame::GameStats>("GameStats");
            ++stats->m_enemiesKilled;
            if (stats->m_printOnChange)
                stats->Print();
        });
    for (const char* died : {"MB00_DIED", "MB01_DIED", "MB02_DIED"})
        messaging.RegisterHandler(died, [this](const IEvent&) {
            auto* stats = m_app->GetSharedData<ztgame::GameStats>("GameStats");
            ++stats->m_bossesKilled;
            if (stats->m_printOnChange)
                stats->Print();
        });
}

}  // namespace ztengine
