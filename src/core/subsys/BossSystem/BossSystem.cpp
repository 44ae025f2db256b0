#include "core/subsys/BossSystem/BossSystem.h"

#include <algorithm>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/DebugDraw.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/BossSystem/FinalBoss.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/ShrineRecords.h"

namespace ztengine {

// Loaded after the model's own two clips, so that the first file is animation 2.
const char* const BossSystem::kAnimationPaths[kAnimationFiles] = {
    "animation/InnkeeperAnimations/neutral_idle.fbx",
    "animation/InnkeeperAnimations/dive_roll.fbx",
    "animation/InnkeeperAnimations/fireball.fbx",
    "animation/InnkeeperAnimations/hit_reaction_1.fbx",
    "animation/InnkeeperAnimations/look_around.fbx",
    "animation/InnkeeperAnimations/medium_hit_to_head.fbx",
    "animation/InnkeeperAnimations/mma_idle.fbx",
    "animation/InnkeeperAnimations/running_forward_flip.fbx",
    "animation/InnkeeperAnimations/running_inPlace.fbx",
    "animation/InnkeeperAnimations/standing_idle_to_fight_idle.fbx",
    "animation/InnkeeperAnimations/taunt.fbx",
    "animation/InnkeeperAnimations/writhing_in_pain.fbx",
    "animation/InnkeeperAnimations/yelling.fbx",
    "animation/InnkeeperAnimations/dying.fbx",
};

const ztmath::Vector3 BossSystem::kColliderHalfExtents{7.0f, 20.0f, 7.0f};

BossSystem::BossSystem(App* app)
    : Subsystem(app),
      m_messaging(&app->m_messagingSystem),
      m_physics(&app->m_physicsEngine),
      m_queue(app->GetSharedData<BossSystemQueue>("BossSystemQueue")),
      m_shrines(app->GetSharedData<ShrineContainer>("ShrineContainer")),
      m_dialogue(app->GetSharedData<DialogueController>("DialogueController")),
      m_altarQueue(app->GetSharedData<AltarSharedData>("AltarSharedData"))
{
}

BossSystem::~BossSystem() = default;

void BossSystem::Init()
{
    m_app->QueueJob([this]() { return LoadBoss(); });
}

bool BossSystem::LoadBoss()
{
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) { Reset(); });

    ModelManager* models = m_app->GetSharedData<ModelManager>("ModelManager");
    m_model = models->GetModel(kModelName);
    for (const char* path : kAnimationPaths)
        m_graphics->LoadAnimation(m_model, path);

    m_collider = static_cast<int32_t>(m_physics->CreateBoxCollider(kColliderHalfExtents));

    InstanceTransform transform;
    transform.m_position = FinalBoss::kHomePosition;
    transform.m_scale = {kScale, kScale, kScale};
    transform.SetBasis(FinalBoss::kHomeBasis);
    InstanceHandle instance = m_graphics->CreateInstance(m_model, transform);
    instance.SetAnimated(true);
    instance.SetAnimationIndex(FinalBoss::kNeutralIdle);
    m_boss = std::make_unique<FinalBoss>(m_app, instance);
    m_boss->Init();
    m_boss->m_health = kHealth;

    PhysicsBody body = m_physics->CreateStaticBody(
        static_cast<uint32_t>(m_collider), FinalBoss::kHomePosition, ztmath::Quaternion(),
        [this](const PhysicsBody& other, const ContactInfo& contact) { OnBossContact(other, contact); });
    body.SetUserTypeId(kBossBodyType);
    body.SetCollisionMaskBits(kBossMask);
    m_boss->SetBody(body);

    AddShopEntry();
    return true;
}

void BossSystem::AddShopEntry()
{
    ShopShrine shop;
    shop.m_position = m_boss->Position();
    shop.m_radius = kShopRadius;
    shop.m_keep = true;
    m_shrines->m_shrines.push_back(shop);
}

void BossSystem::OnBossContact(const PhysicsBody& other, const ContactInfo&)
{
    if (m_boss == nullptr || other.GetUserTypeID() != kPlayerProjectileType)
        return;
    if (m_boss->m_fightActive) {
        m_boss->m_health -= kDamagePerShot;
        m_boss->m_hitFlash = 1.0f;
        return;
    }
    if (m_boss->m_shotCounter >= 0) {
        --m_boss->m_shotCounter;
        return;
    }
    m_queue->m_messages.push_back(BossSystemMessage{0, {0, 0, 0}});
    m_dialogue->Show(3.5f, kTauntLine, {0.0f, 0.0f, 0.0f});
}

void BossSystem::HandleMessage(const BossSystemMessage& message)
{
    if (message.m_type != 0)
        return;
    m_introRunning = true;
    auto& shrines = m_shrines->m_shrines;
    shrines.erase(std::remove_if(shrines.begin(), shrines.end(),
                                 [](const ShopShrine& shrine) { return shrine.m_keep; }),
                  shrines.end());
}

void BossSystem::Update(float dt)
{
    // Nothing stands in the hub until the loading job has made the boss.
    if (m_boss == nullptr)
        return;
    m_queue->m_bossPosition = m_boss->Position();
    while (!m_queue->m_messages.empty()) {
        const BossSystemMessage message = m_queue->m_messages.front();
        m_queue->m_messages.pop_front();
        HandleMessage(message);
    }

    m_boss->Update(dt);

    if (!m_introRunning)
        return;
    if (!m_introStarted) {
        m_messaging->SendEventByName("FINAL_BOSS_FIGHT_BEGIN", IEvent());
        m_messaging->SendEventByName("PLAY_DREV_SFX_WA_YOU_TRICK_ME", IEvent());
        m_boss->SetAnimation(FinalBoss::kIdleToFight, false);
        m_boss->m_animationProgress = 0.0f;
        m_introStarted = true;
    }
    m_boss->Face(m_graphics->GetCameraPosition() - m_boss->Position());

    m_introTimer += dt;
    SetSkyBlend(*m_graphics, 2.0f * m_introTimer / kIntroSeconds);
    if (m_introTimer >= kIntroSeconds) {
        m_introRunning = false;
        m_boss->m_fightActive = true;
        SetSkyBlend(*m_graphics, 2.0f);
        m_altarQueue->m_messages.push_back(AltarMessage{{0.0f, 0.0f, 0.0f}, 1});
    }
}

void BossSystem::Exit()
{
    m_boss.reset();
}

void BossSystem::Reset()
{
    if (m_boss == nullptr)
        return;
    m_boss->Reset();
    m_introRunning = false;
    m_introStarted = false;
    m_introTimer = 0.0f;
    AddShopEntry();
    SetSkyBlend(*m_graphics, 0.5f);
}

void BossSystem::Render(DebugDraw& drawer, float)
{
    if (m_boss == nullptr || !m_boss->m_hasBody)
        return;
    // The drawer takes edge lengths; the collider was made from half extents.
    drawer.DrawBox(m_boss->m_body.GetPosition(), ztmath::Quaternion(), kColliderHalfExtents * 2.0f);
}

}  // namespace ztengine
