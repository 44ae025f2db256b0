#include "core/subsys/AltarSystem/AltarSystem.h"

#include <algorithm>
#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/Overworld/FxParticle.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kPi = 3.14159265358979f;
const ztmath::Vector3 kParked{-1000.0f, -1000.0f, -1000.0f};
const ztmath::Vector3 kAltarPosition{500.0f, 500.0f, 550.0f};
const ztmath::Vector2 kHudSlots[3] = {{-600.0f, -260.0f}, {-600.0f, -210.0f}, {-600.0f, -160.0f}};
const char* const kOrbModels[3] = {"FireOrb", "SnowOrb", "LightningOrb"};
const char* const kIconTextures[3] = {"textures/2d/RedOrb.png", "textures/2d/BluOrb.png",
                                      "textures/2d/YeloOrb.png"};

// The orb each dungeon holds: red fire, yellow (the green dungeon) lightning, blue snow.
int32_t OrbOfLevel(int32_t level)
{
    switch (level) {
    case 1: return AltarSystem::kFire;
    case 2: return AltarSystem::kLightning;
    case 3: return AltarSystem::kSnow;
    default: return -1;
    }
}

void SetPosition(const InstanceHandle& instance, const ztmath::Vector3& position)
{
    instance.GetInstance().m_transform.m_position = position;
}

}  // namespace

AltarSystem::AltarSystem(App* app)
    : Subsystem(app),
      m_physics(&app->m_physicsEngine),
      m_dialogue(app->GetSharedData<DialogueController>("DialogueController")),
      m_messaging(&app->m_messagingSystem),
      m_altarQueue(app->GetSharedData<AltarSharedData>("AltarSharedData")),
      m_bossQueue(app->GetSharedData<BossSystemQueue>("BossSystemQueue")),
      m_levelState(app->GetSharedData<LevelState>("LevelState"))
{
    m_textureSource = [this](const std::string& path) { return m_graphics2D->LoadTexture(path); };
}

AltarSystem::~AltarSystem() = default;

ztmath::Vector3 AltarSystem::SlotOffset(int32_t type)
{
    static const ztmath::Vector3 kOffsets[3] = {{-4.5f, 8.85f, 0.0f}, {4.5f, 8.85f, 0.0f}, {0.0f, 8.85f, -4.5f}};
    return kOffsets[type];
}

void AltarSystem::Init()
{
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) { Reset(); });
    m_messaging->RegisterHandler("CHEAT_SPAWN_ORB", [this](const IEvent&) { CheatSpawnOrbs(); });
    m_walk.ListenForJumps(*m_messaging);
    m_altarCollider = static_cast<int32_t>(m_physics->CreateBoxCollider({4.0f, 5.0f, 4.0f}));
    // The altar model is made at unit scale to fit its (4, 5, 4) collider, orbs resting on top.
    CreateAltar(kAltarPosition, {1.0f, 1.0f, 1.0f});
    for (int i = 0; i < kOrbTypes; ++i)
        m_hudSlots[i] = {kHudSlots[i], false};

    ModelManager* models = m_app->GetSharedData<ModelManager>("ModelManager");
    for (int type = 0; type < kOrbTypes; ++type) {
        InstanceTransform transform;
        transform.m_position = kParked;
        transform.m_scale = {2.0f, 2.0f, 2.0f};
        m_orbs[type].m_instance = m_graphics->CreateInstance(models->GetModel(kOrbModels[type]), transform);
        m_orbs[type].m_type = type;
        m_orbs[type].m_reach = kOrbReach;
        m_collected[type] = false;
    }

    m_sparkSystem = m_graphics->CreateParticleSystem("textures/diff/OrbsColor.png", 2, kMaxSparks);
    m_sparks.reserve(kMaxSparks);

    UIElementManager& ui = UIElementManager::GetInstance();
    for (int type = 0; type < kOrbTypes; ++type) {
        const Texture2DHandle texture = m_textureSource(kIconTextures[type]);
        m_iconSprites[type] = m_graphics2D->CreateSprite(texture, m_hudSlots[type].m_position,
                                                         {kIconStartSize, kIconStartSize}, 2);
        m_iconElements[type] = ui.AddElement(UIElement(m_iconSprites[type]));
        ui.SetOnUpdate(m_iconElements[type], [this, type](UIElement* element) { UpdateOrbIcon(type, element); });
        ui.m_elements[static_cast<size_t>(m_iconElements[type])].m_active = false;
        m_iconSprites[type].SetVisible(false);
    }
}

void AltarSystem::CreateAltar(const ztmath::Vector3& position, const ztmath::Vector3& scale)
{
    ModelManager* models = m_app->GetSharedData<ModelManager>("ModelManager");
    InstanceTransform transform;
    transform.m_position = position;
    transform.m_scale = scale;
    m_altar = m_graphics->CreateInstance(models->GetModel("AltarModel"), transform);
    m_altar.SetTiling({10.0f, 10.0f});
    m_altarBody = m_physics->CreateStaticBody(static_cast<uint32_t>(m_altarCollider), position, ztmath::Quaternion());
    m_altarBody.SetUserTypeId(18);
    for (int type = 0; type < kOrbTypes; ++type) {
        InstanceTransform slot;
        slot.m_position = position + SlotOffset(type);
        slot.m_scale = {2.0f, 2.0f, 2.0f};
        m_altarSlots[type] = m_graphics->CreateInstance(models->GetModel(kOrbModels[type]), slot);
        m_altarSlots[type].SetHidden(true);
        m_placed[type] = false;
    }
}

ztmath::Vector3 AltarSystem::OrbPosition(int32_t type) const
{
    return m_orbs[type].m_instance.GetInstanceConst().m_transform.m_position;
}

ztmath::Vector3 AltarSystem::AltarPosition() const
{
    return m_altar.GetInstanceConst().m_transform.m_position;
}

void AltarSystem::HandleAltarMessage(const AltarMessage& message)
{
    switch (message.m_type) {
    case 0: {
        const int32_t type = OrbOfLevel(m_levelState->m_level);
        if (type >= 0)
            SetPosition(m_orbs[type].m_instance, message.m_position);
        break;
    }
    case 1: m_finalFight = true; break;
    case 2: m_finalFight = false; break;
    default: break;
    }
}

void AltarSystem::Update(float dt)
{
    m_frameTime = dt;
    while (!m_altarQueue->m_messages.empty()) {
        const AltarMessage message = m_altarQueue->m_messages.front();
        m_altarQueue->m_messages.pop_front();
        HandleAltarMessage(message);
    }

    m_walk.MoveTo(m_graphics->GetCameraPosition());
    for (int type = 0; type < kOrbTypes; ++type) {
        if (m_collected[type])
            continue;
        const float reach = m_orbs[type].m_reach + m_extraReach;
        if (m_walk.DistanceSquaredTo(OrbPosition(type)) <= reach * reach) {
            m_orbs[type].m_instance.SetHidden(true);
            m_collected[type] = true;
            ShowOrbIcon(type);
            m_messaging->SendEventByName("ORB_COLLECT", IEvent());
        }
    }

    const float altarReach = m_altarReach + m_extraReach;
    if (m_walk.DistanceSquaredTo(AltarPosition()) <= altarReach * altarReach) {
        UIElementManager& ui = UIElementManager::GetInstance();
        for (int type = 0; type < kOrbTypes; ++type) {
            if (!m_collected[type] || m_placed[type])
                continue;
            m_placed[type] = true;
            m_iconSprites[type].SetVisible(false);
            if (m_iconElements[type] >= 0)
                ui.m_elements[static_cast<size_t>(m_iconElements[type])].m_active = false;
            ++m_placedCount;
            m_messaging->SendEventByName("ORB_ALTAR", IEvent());
        }
    }

    if (m_placedCount == kOrbTypes && !m_trapSprung) {
        m_trapSprung = true;
        m_bossQueue->m_messages.push_back(BossSystemMessage{0, {0, 0, 0}});
        m_dialogue->m_active = true;
        m_dialogue->m_line = kTrapLine;
        m_dialogue->m_timeLeft = 3.5f;
        m_dialogue->m_color = {0.0f, 0.0f, 0.0f};
    }

    for (int type = 0; type < kOrbTypes; ++type)
        if (m_placed[type])
            m_altarSlots[type].SetHidden(false);

    for (int type = 0; type < kOrbTypes; ++type) {
        if (!m_collected[type])
            EmitSpark(type, OrbPosition(type));
        UpdateSparks(dt);
    }
    for (int type = 0; type < kOrbTypes; ++type) {
        if (m_placed[type] && !m_finalFight)
            EmitSpark(type, m_altarSlots[type].GetInstanceConst().m_transform.m_position);
        UpdateSparks(dt);
    }
}

void AltarSystem::EmitSpark(int32_t type, const ztmath::Vector3& position)
{
    if (m_sparks.size() >= kMaxSparks)
        return;
    const float a = RandUnit();
    const float b = RandUnit();
    Spark spark;
    spark.m_position = position + ztmath::Vector3(2.0f * b - 1.0f, -0.5f, 2.0f * a - 1.0f).Normalized();
    spark.m_velocity = {0.0f, 1.0f, 0.0f};
    spark.m_size = RandUnit();
    spark.m_rotation = RandUnit() * 90.0f;
    spark.m_type = type;
    spark.m_lifetime = 5.0f;
    spark.m_age = 0.01f;
    m_sparks.push_back(spark);
}

void AltarSystem::UpdateSparks(float dt)
{
    if (m_sparkSystem < 0)
        return;
    const auto system = static_cast<uint32_t>(m_sparkSystem);
    m_graphics->ClearParticles(system);
    for (Spark& spark : m_sparks)
        spark.m_age += dt;
    m_sparks.erase(std::remove_if(m_sparks.begin(), m_sparks.end(),
                                  [](const Spark& s) { return s.m_age > s.m_lifetime; }),
                   m_sparks.end());
    for (Spark& spark : m_sparks) {
        spark.m_position += spark.m_velocity * dt;
        spark.m_velocity.x = RandUnit() - 0.5f;
        spark.m_rotation += 15.0f * dt;
        spark.m_velocity.z = RandUnit() - 0.5f;
        m_graphics->EmitParticle(system, spark.m_position, spark.m_rotation,
                                 (1.0f - spark.m_age / spark.m_lifetime) * spark.m_size,
                                 static_cast<float>(spark.m_type) / 3.0f);
    }
}

void AltarSystem::ShowOrbIcon(int32_t type)
{
    HudSlot* slot = nullptr;
    for (HudSlot& candidate : m_hudSlots) {
        if (!candidate.m_taken) {
            slot = &candidate;
            break;
        }
    }
    if (slot == nullptr || !m_iconSprites[type].IsValid())
        return;
    m_iconSprites[type].SetPosition(0.0f, 300.0f);
    m_iconTargets[type] = slot->m_position;
    m_iconArrived[type] = false;
    m_iconSprites[type].SetVisible(true);
    if (m_iconElements[type] >= 0)
        UIElementManager::GetInstance().m_elements[static_cast<size_t>(m_iconElements[type])].m_active = true;
    slot->m_taken = true;
}

void AltarSystem::UpdateOrbIcon(int32_t type, UIElement* element)
{
    SpriteHandle& sprite = element->m_sprite;
    const ztmath::Vector2 size = sprite.GetScale();
    if (size.x > kIconSize && size.y > kIconSize) {
        const float shrink = 1000.0f * m_frameTime;
        sprite.SetScale(size.x - shrink, size.y - shrink);
    } else if (!m_iconArrived[type]) {
        ztmath::Vector2& position = sprite.GetPosition();
        const ztmath::Vector2 d = m_iconTargets[type] - position;
        const float distanceSquared = d.x * d.x + d.y * d.y;
        if (distanceSquared > 1000.0f) {
            const float distance = std::sqrt(distanceSquared);
            // Never past the target: a long frame would otherwise swing it to and fro for ever.
            const float step = std::min(kIconSpeed * m_frameTime, distance);
            sprite.SetPosition(position.x + d.x / distance * step, position.y + d.y / distance * step);
        } else {
            sprite.SetPosition(m_iconTargets[type].x, m_iconTargets[type].y);
            m_iconArrived[type] = true;
        }
    } else {
        sprite.SetAlpha(0.5f + 0.5f * std::fabs(std::cos(m_iconPhase[type])));
        m_iconPhase[type] += kPi * m_frameTime;
    }
    if (size.x < kIconSize || size.y < kIconSize)
        sprite.SetScale(kIconSize, kIconSize);
}

void AltarSystem::CheatSpawnOrbs()
{
    for (int type = 0; type < kOrbTypes; ++type)
        if (!m_placed[type])
            SetPosition(m_orbs[type].m_instance,
                        {static_cast<float>(type + 1) * 10.0f + 400.0f, 511.0f, 500.0f});
}

void AltarSystem::NextState(int)
{
    // Play may be left before the quest was ever built.
    if (m_altar.m_batchPool == nullptr)
        return;
    for (const GroundOrb& orb : m_orbs)
        orb.m_instance.SetHidden(true);
    m_altar.SetHidden(true);
}

void AltarSystem::SetToCurrentState()
{
    // Play resumes wherever the camera is handed over: a jump, not a walk.
    m_walk.Jump();
    if (m_altar.m_batchPool == nullptr)
        return;
    m_altar.SetHidden(false);
    for (int type = 0; type < kOrbTypes; ++type)
        if (!m_collected[type] && !m_placed[type])
            m_orbs[type].m_instance.SetHidden(false);
}

void AltarSystem::Reset()
{
    m_placedCount = 0;
    m_trapSprung = false;
    m_finalFight = false;
    m_altar.SetHidden(false);
    UIElementManager& ui = UIElementManager::GetInstance();
    for (int type = 0; type < kOrbTypes; ++type) {
        m_collected[type] = false;
        m_altarSlots[type].SetHidden(true);
        m_placed[type] = false;
        m_orbs[type].m_instance.SetHidden(false);
        SetPosition(m_orbs[type].m_instance, kParked);
    }
    m_sparks.clear();
    if (m_sparkSystem >= 0)
        m_graphics->ClearParticles(static_cast<uint32_t>(m_sparkSystem));
    for (HudSlot& slot : m_hudSlots)
        slot.m_taken = false;
    for (int type = 0; type < kOrbTypes; ++type) {
        m_iconArrived[type] = false;
        m_iconPhase[type] = 1.0f;
        if (!m_iconSprites[type].IsValid())
            continue;
        m_iconSprites[type].SetVisible(false);
        m_iconSprites[type].SetScale(kIconStartSize, kIconStartSize);
        if (m_iconElements[type] >= 0)
            ui.m_elements[static_cast<size_t>(m_iconElements[type])].m_active = false;
    }
}

}  // namespace ztengine
