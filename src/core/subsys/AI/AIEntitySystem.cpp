#include "core/subsys/AI/AIEntitySystem.h"

#include <vector>

#include "core/App.h"
#include "core/ai/framework/EntityWorld.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/AI/behaviours/FlyingSkullBehaviours.h"
#include "core/subsys/AI/behaviours/LKangaBehaviours.h"
#include "core/subsys/AI/behaviours/OgreBehaviours.h"
#include "core/subsys/AI/behaviours/SkeletonMagicianBehaviour.h"
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
    BuildKinds(*models);
    RegisterSpawnFunctions();
    RegisterHandlers();
}

void AIEntitySystem::Update(float dt)
{
    m_spawner->m_enemyPositions.clear();
    m_spawner->m_enemyFacings.clear();
    m_spawner->m_enemyStanding.clear();
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
    m_world->CreateComponentFactory<BehaviourLKangaComponentCreator>("lkanga_logic", m_app);
    m_world->CreateComponentFactory<GotHitByPlayerComponentCreator>("got_hit_by_player", m_app);
    m_world->CreateComponentFactory<ShootProjectileComponentCreator>("shoot_projectile", m_app);
    m_world->CreateComponentFactory<DeathComponentCreator>("death", m_app);
    m_world->CreateComponentFactory<ChargeAttackTowardsTargetComponentCreator>(
        "charge_attack_towards_target", m_app);
    m_world->CreateComponentFactory<BehaviourOgreComponentCreator>("ogre_logic", m_app);
    m_world->CreateComponentFactory<ColliderNearTargetCheckComponentCreator>(
        "collider_near_target_check", m_app);
    m_world->CreateComponentFactory<BehaviourFlyingSkullComponentCreator>("flying_skull_logic",
                                                                          m_app);
    m_world->CreateComponentFactory<BehaviourSkeletonMagicianComponentCreator>(
        "skeleton_magician_logic", m_app);
    m_world->CreateComponentFactory<BehaviourMiniBossFlyingSkullComponentCreator>(
        "mb_flying_skull_logic", m_app);
    m_world->CreateComponentFactory<BehaviourMiniBossLKangaComponentCreator>("mb_lkanga_logic",
                                                                             m_app);
    m_world->CreateComponentFactory<BehaviourMiniBossOgreComponentCreator>("mb_ogre_logic",
                                                                           m_app);
}

namespace {

using ztmath::Vector3;

struct ShotSpec {
    float speed, radius, life;
    int32_t type;
    float damage;
};

// Everything that tells one kind from another, apart from its behaviour's keys.
struct KindSpec {
    const char* name;
    const char* model;
    std::vector<const char*> animations;
    Vector3 scale;
    Vector3 offset;
    float colliderRadius;
    float colliderHeight;  // 0: a sphere
    Vector3 position;
    float maxHp;
    const char* gotHitEvent;
    float gotHitDamage;
    ShotSpec shot;
    std::vector<const char*> components;
    const char* behaviour;  // null: none
    Params behaviourParams;
    float nearCheckRadius = 0.0f;
    float chargeRadius = 0.0f;
    float chargeHeight = 0.0f;
};

const std::vector<const char*> kLKangaClips = {
    "animation/LKanga/drunk_idle.fbx", "animation/LKanga/walking_inPlace.fbx",
    "animation/LKanga/fireball.fbx", "animation/LKanga/death.fbx", "animation/LKanga/taunt.fbx"};
const std::vector<const char*> kOgreClips = {"models/OgrePack/swagger_walk_inPlace.fbx",
                                             "models/OgrePack/running_inPlace.fbx",
                                             "models/OgrePack/falling_back_death.fbx"};

// The keys every behaviour shares, written only where the kind sets them.
struct BehaviourKeys {
    float detection = 200.0f;
    float chase = -1.0f;
    float attack;
    float turn;
    const Vector3* spawn = nullptr;
    const Vector3* aim = nullptr;
    bool animTimes = false;
    float moveSpeed;
    float maxMoveSpeed = -1.0f;
    float cooldown;
    int32_t gold;
};

Params BehaviourParams(const BehaviourKeys& k)
{
    Params p;
    p.SetFloat("detection_dist", k.detection);
    if (k.chase >= 0.0f)
        p.SetFloat("chase_dist", k.chase);
    p.SetFloat("attack_dist", k.attack);
    p.SetFloat("turn_speed_factor", k.turn);
    if (k.spawn != nullptr)
        p.SetVec3("bullet_spawn_displace", *k.spawn);
    if (k.aim != nullptr)
        p.SetVec3("bullet_target_aim_displace", *k.aim);
    if (k.animTimes) {
        p.SetFloat("anim_start_val", 0.05f);
        p.SetFloat("anim_end_val", 0.95f);
    }
    p.SetFloat("move_speed", k.moveSpeed);
    if (k.maxMoveSpeed >= 0.0f)
        p.SetFloat("max_move_speed", k.maxMoveSpeed);
    p.SetFloat("attack_cooldown", k.cooldown);
    p.SetInt("gold_drop_amount", k.gold);
    return p;
}

std::vector<KindSpec> RosterKinds()
{
    const Vector3 up1(0.0f, 1.0f, 0.0f);
    const Vector3 zero(0.0f, 0.0f, 0.0f);
    const Vector3 lkangaSpawn(0.0f, 5.0f, 10.0f);
    const Vector3 bossSpawn(0.0f, 7.5f, 10.0f);
    const Vector3 magicianSpawn(0.0f, 2.5f, 3.0f);
    const Vector3 skullSpawn(0.0f, 0.0f, 10.0f);
    const Vector3 far(500.0f, 505.0f, 500.0f);
    const Vector3 ogreFar(560.0f, 505.0f, 560.0f);
    using C = std::vector<const char*>;

    std::vector<KindSpec> kinds;
    kinds.push_back({"rabbitman", "rabbitmanModel",
                     {"models/RabbitmanPack/idle.fbx", "models/RabbitmanPack/running_inPlace.fbx",
                      "models/RabbitmanPack/stomach_hit.fbx",
                      "models/RabbitmanPack/zombie_attack.fbx",
                      "models/RabbitmanPack/falling_back_death.fbx"},
                     Vector3(0.75f, 0.75f, 0.75f), Vector3(0.0f, -5.0f, 0.0f), 2.0f, 3.0f, far,
                     100.0f, "RABBITMAN_GOT_HIT", 7.5f, {200.0f, 1.0f, 3.0f, 0, 10.0f},
                     C{"object3D", "animation", "physicsBody", "enemyhitflash", "chase", "health",
                       "got_hit_by_player", "shoot_projectile", "death"},
                     nullptr, Params()});

    {
        BehaviourKeys k;
        k.chase = 180.0f;
        k.attack = 60.0f;
        k.turn = 5.0f;
        k.spawn = &lkangaSpawn;
        k.aim = &up1;
        k.animTimes = true;
        k.moveSpeed = 5000.0f;
        k.maxMoveSpeed = 12.5f;
        k.cooldown = 1.0f;
        k.gold = 1;
        kinds.push_back({"lkanga", "lkangaModel", kLKangaClips, Vector3(0.8f, 0.65f, 0.8f),
                         Vector3(0.0f, -4.5f, 0.0f), 2.5f, 3.5f, far, 100.0f, "LKANGA_GOT_HIT",
                         7.5f, {35.0f, 3.0f, 7.0f, 2, 60.0f},
                         C{"object3D", "animation", "physicsBody", "enemyhitflash", "chase",
                           "health", "lkanga_logic", "got_hit_by_player", "shoot_projectile",
                           "death"},
                         "lkanga_logic", BehaviourParams(k)});
    }
    {
        BehaviourKeys k;
        k.chase = 180.0f;
        k.attack = 80.0f;
        k.turn = 7.0f;
        k.animTimes = true;
        k.moveSpeed = 22.5f;
        k.cooldown = 1.5f;
        k.gold = 2;
        Params p = BehaviourParams(k);
        p.SetFloat("charge_attack_damage", 60.0f);
        KindSpec ogre{"ogre", "ogreModel", kOgreClips, Vector3(0.3f, 0.4f, 0.3f),
                      Vector3(0.0f, -6.0f, 0.0f), 3.75f, 3.0f, ogreFar, 150.0f, "OGRE_GOT_HIT",
                      7.5f, {50.0f, 1.0f, 4.0f, 4, 35.0f},
                      C{"object3D", "animation", "physicsBody", "enemyhitflash", "chase", "health",
                        "got_hit_by_player", "shoot_projectile", "death",
                        "charge_attack_towards_target", "ogre_logic"},
                      "ogre_logic", p};
        ogre.chargeRadius = 4.75f;
        ogre.chargeHeight = 3.0f;
        kinds.push_back(ogre);
    }
    {
        BehaviourKeys k;
        k.attack = 180.0f;
        k.turn = 1.25f;
        k.aim = &up1;
        k.moveSpeed = 500.0f;
        k.maxMoveSpeed = 12.5f;
        k.cooldown = 3.0f;
        k.gold = 1;
        Params p = BehaviourParams(k);
        p.SetFloat("attk_scope_dot_prod_val", -0.6f);
        p.SetFloat("attack_damage", 50.0f);
        KindSpec skull{"flying_skull", "flyingSkullModel", {}, Vector3(0.08f, 0.08f, 0.08f),
                       zero, 3.0f, 0.0f, far, 300.0f, "FSKULL_GOT_HIT", 7.5f,
                       {50.0f, 1.0f, 3.0f, 3, 35.0f},
                       C{"object3D", "physicsBody", "enemyhitflash", "chase", "health",
                         "got_hit_by_player", "shoot_projectile", "death",
                         "collider_near_target_check", "flying_skull_logic"},
                       "flying_skull_logic", p};
        skull.nearCheckRadius = 3.5f;
        kinds.push_back(skull);
    }
    {
        BehaviourKeys k;
        k.attack = 80.0f;
        k.turn = 2.25f;
        k.spawn = &magicianSpawn;
        k.aim = &zero;
        k.animTimes = true;
        k.moveSpeed = 3000.0f;
        k.maxMoveSpeed = 12.5f;
        k.cooldown = 1.0f;
        k.gold = 1;
        Params p = BehaviourParams(k);
        p.SetFloat("attk_scope_dot_prod_val", -0.6f);
        p.SetFloat("attack_damage", 60.0f);
        p.SetInt("hit_withdrawal_count", 2);
        p.SetFloat("attack_anim_speed", 1.0f);
        p.SetFloat("max_withdraw_timer", 2.0f);
        kinds.push_back(
            {"skeleton_magician", "skeletonModel",
             {"animation/anim_skele_attack0.fbx", "animation/anim_skele_attack1.fbx",
              "animation/anim_skele_block.fbx", "animation/anim_skele_death.fbx",
              "animation/anim_skele_gut_hit.fbx", "animation/anim_skele_head_hit.fbx",
              "animation/anim_skele_run.fbx", "animation/anim_skele_strafe.fbx",
              "animation/anim_skele_walk.fbx"},
             Vector3(0.04f, 0.05f, 0.04f), Vector3(0.0f, -3.5f, 0.0f), 1.75f, 3.0f, far, 100.0f,
             "SMAGICIAN_GOT_HIT", 7.5f, {130.0f, 1.0f, 3.5f, 0, 25.0f},
             C{"object3D", "animation", "physicsBody", "enemyhitflash", "chase", "health",
               "skeleton_magician_logic", "got_hit_by_player", "shoot_projectile", "death"},
             "skeleton_magician_logic", p});
    }
    {
        BehaviourKeys k;
        k.attack = 180.0f;
        k.turn = 0.6f;
        k.spawn = &skullSpawn;
        k.aim = &up1;
        k.moveSpeed = 500.0f;
        k.maxMoveSpeed = 20.0f;
        k.cooldown = 1.5f;
        k.gold = 5;
        Params p = BehaviourParams(k);
        p.SetFloat("attack_damage", 75.0f);
        p.SetFloat("reflect_scope_dot_prod_val", 0.5f);
        KindSpec skull{"mb_flying_skull", "mbFlyingSkullModel", {},
                       Vector3(0.16f, 0.16f, 0.16f), zero, 12.0f, 0.0f, far, 2000.0f,
                       "MB00_GOT_HIT", 5.0f, {50.0f, 1.0f, 5.0f, 3, 35.0f},
                       C{"object3D", "physicsBody", "enemyhitflash", "chase", "health",
                         "got_hit_by_player", "shoot_projectile", "death",
                         "collider_near_target_check", "mb_flying_skull_logic"},
                       "mb_flying_skull_logic", p};
        skull.nearCheckRadius = 13.0f;
        kinds.push_back(skull);
    }
    {
        BehaviourKeys k;
        k.chase = 180.0f;
        k.attack = 70.0f;
        k.turn = 5.0f;
        k.spawn = &bossSpawn;
        k.aim = &up1;
        k.animTimes = true;
        k.moveSpeed = 5000.0f;
        k.maxMoveSpeed = 12.5f;
        k.cooldown = 1.0f;
        k.gold = 5;
        Params p = BehaviourParams(k);
        p.SetFloat("got_hit_slide_impulse_scale", 30.0f);
        kinds.push_back({"mb_lkanga", "mblkangaModel", kLKangaClips, Vector3(1.4f, 1.1f, 1.4f),
                         Vector3(0.0f, -8.0f, 0.0f), 4.0f, 5.5f, far, 2000.0f, "MB02_GOT_HIT",
                         5.0f, {40.0f, 3.0f, 7.0f, 5, 80.0f},
                         C{"object3D", "animation", "physicsBody", "enemyhitflash", "chase",
                           "health", "mb_lkanga_logic", "got_hit_by_player", "shoot_projectile",
                           "death"},
                         "mb_lkanga_logic", p});
    }
    {
        BehaviourKeys k;
        k.chase = 180.0f;
        k.attack = 80.0f;
        k.turn = 7.0f;
        k.spawn = &bossSpawn;
        k.animTimes = true;
        k.moveSpeed = 17.5f;
        k.cooldown = 1.5f;
        k.gold = 5;
        Params p = BehaviourParams(k);
        p.SetFloat("charge_attack_damage", 75.0f);
        p.SetInt("radial_bullet_num", 12);
        KindSpec ogre{"mb_ogre", "mbOgreModel", kOgreClips, Vector3(0.4f, 0.6f, 0.4f),
                      Vector3(0.0f, -9.0f, 0.0f), 4.75f, 4.0f, ogreFar, 2000.0f, "MB01_GOT_HIT",
                      5.0f, {100.0f, 1.0f, 3.0f, 4, 35.0f},
                      C{"object3D", "animation", "physicsBody", "enemyhitflash", "chase", "health",
                        "got_hit_by_player", "shoot_projectile", "death",
                        "charge_attack_towards_target", "mb_ogre_logic"},
                      "mb_ogre_logic", p};
        ogre.chargeRadius = 5.75f;
        ogre.chargeHeight = 4.0f;
        kinds.push_back(ogre);
    }
    return kinds;
}

// The sensors of the skulls and ogres: they only notice the player.
Params SensorParams(uint32_t collider)
{
    Params p;
    p.SetInt("collider_shape", static_cast<int32_t>(collider));
    p.SetVec4("orientation", 0.0f, 0.0f, 0.0f, 1.0f);
    p.SetInt("collision_cat_bits", 4);
    p.SetInt("collision_mask_bits", 1);
    p.SetInt("collision_typeid", 0);
    return p;
}

}  // namespace

void AIEntitySystem::BuildKinds(ModelManager& models)
{
    const std::vector<KindSpec> kinds = RosterKinds();
    for (const KindSpec& kind : kinds)
        m_world->CreateArchetype(kind.name);
    PhysicsEngine& physics = m_app->m_physicsEngine;
    for (const KindSpec& kind : kinds) {
        const int32_t model = models.GetModel(kind.model);
        for (const char* file : kind.animations)
            m_graphics->LoadAnimation(model, file);
        for (const char* component : kind.components) {
            const std::string c = component;
            Params p;
            if (c == "object3D") {
                p = ObjectParams(kind.model, kind.scale, kind.offset);
            } else if (c == "physicsBody") {
                const uint32_t collider =
                    kind.colliderHeight > 0.0f
                        ? physics.CreateCapsuleCollider(kind.colliderRadius, kind.colliderHeight)
                        : physics.CreateSphereCollider(kind.colliderRadius);
                p = EnemyBody(collider, kind.position);
            } else if (c == "enemyhitflash") {
                p = HitFlashParams();
            } else if (c == "health") {
                p = HealthParams(kind.maxHp);
            } else if (c == "got_hit_by_player") {
                p = GotHitParams(kind.gotHitEvent, kind.gotHitDamage);
            } else if (c == "shoot_projectile") {
                p = ShootParams(kind.shot.speed, kind.shot.radius, kind.shot.life, kind.shot.type,
                                kind.shot.damage);
            } else if (c == "collider_near_target_check") {
                p = SensorParams(physics.CreateSphereCollider(kind.nearCheckRadius));
                p.SetInt("physics_user_type_to_touch", kBodyTypePlayer);
            } else if (c == "charge_attack_towards_target") {
                p = SensorParams(physics.CreateCapsuleCollider(kind.chargeRadius,
                                                               kind.chargeHeight));
                p.SetFloat("charging_time", 3.0f);
                p.SetFloat("charge_end_dist", 40.0f);
                p.SetFloat("charge_max_speed_cap", 80.0f);
                p.SetFloat("ogre_charge_rot_amount", 0.75f);
                p.SetFloat("charge_move_speed", 4000.0f);
            } else if (kind.behaviour != nullptr && c == kind.behaviour) {
                p = kind.behaviourParams;
            }
            m_world->RegisterComponentCreatorToArchetype(kind.name, component, p);
        }
    }
}

namespace {

template <class T>
void ScaleDamage(ComponentProxy& entity, const char* name, float T::*field, float scale)
{
    if (auto* component = entity.Find<T>(name))
        component->*field *= scale;
}

}  // namespace

void AIEntitySystem::RunComponentSetup(const std::string& kind, const SpawnConfig& config,
                                       ComponentProxy& entity)
{
    const float scale = config.m_damageScale;
    const bool shoots = kind == "lkanga" || kind == "skeleton_magician" || kind == "mb_lkanga" ||
                        kind == "ogre" || kind == "mb_flying_skull" || kind == "mb_ogre";
    if (kind == "ogre")
        ScaleDamage(entity, "ogre_logic", &BehaviourOgreComponent::m_chargeDamage, scale);
    if (kind == "mb_ogre")
        ScaleDamage<BehaviourOgreComponent>(entity, "mb_ogre_logic",
                                            &BehaviourOgreComponent::m_chargeDamage, scale);
    if (kind == "flying_skull" || kind == "mb_flying_skull") {
        auto* skull = entity.Find<BehaviourFlyingSkullComponent>(
            kind == "flying_skull" ? "flying_skull_logic" : "mb_flying_skull_logic");
        if (skull != nullptr)
            skull->m_tuning.attackDamage *= scale;
    }
    if (shoots)
        ScaleDamage(entity, "shoot_projectile", &ShootProjectileComponent::m_damage, scale);
}

void AIEntitySystem::RegisterSpawnFunctions()
{
    for (const char* kind : {"rabbitman", "lkanga", "ogre", "flying_skull", "skeleton_magician",
                             "mb_flying_skull", "mb_lkanga", "mb_ogre"}) {
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
