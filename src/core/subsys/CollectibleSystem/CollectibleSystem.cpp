#include "core/subsys/CollectibleSystem/CollectibleSystem.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/App.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/math/Basis.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/CollectibleSystem/GoldTextPlacement.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/Gold.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr ztmath::Vector3 kWhite{1.0f, 1.0f, 1.0f};
constexpr ztmath::Vector3 kCoinHalfExtents{1.1f, 0.18f, 1.1f};
constexpr float kRandMax = 32767.0f;

// A quarter turn about z: the coin stands on its rim.
const ztmath::Quaternion kCoinOrientation(0.0f, 0.0f, std::sin(0.785398163f), std::cos(0.785398163f));

float Draw() { return static_cast<float>(ztplatform::Rand()) / kRandMax; }

}  // namespace

CollectibleSystem::CollectibleSystem(App* app) : Subsystem(app), m_coins(64)
{
    m_gold = app->GetSharedData<Gold>("Gold");
    m_goldDropQueue = app->GetSharedData<GoldDropQueue>("GoldDropQueue");
    m_models = app->GetSharedData<ModelManager>("ModelManager");
    m_stats = app->GetSharedData<ztgame::GameStats>("GameStats");
    m_messaging = &app->m_messagingSystem;
    m_physics = &app->m_physicsEngine;
}

CollectibleSystem::~CollectibleSystem() = default;

void CollectibleSystem::Init()
{
    m_textManager = &m_graphics2D->GetTextManager();
    m_font = m_textManager->LoadFont("fonts/arial.ttf");
    m_goldText = m_textManager->CreateText("gold: " + std::to_string(m_gold->m_gold), m_font);
    m_textManager->SetTextPosition(m_goldText, GoldTextPosition(*m_textManager, m_goldText,
                                                                static_cast<float>(m_app->m_windowInfo.windowWidth)));
    m_textManager->SetTextColor(m_goldText, kWhite, m_goldTextAlpha);
    m_textManager->SetTextVisible(m_goldText, true);

    m_coinCollider = static_cast<int32_t>(m_physics->CreateCylinderCollider(kCoinHalfExtents));

    UIElementManager& ui = UIElementManager::GetInstance();
    SpriteHandle flash =
        m_graphics2D->CreateSprite(m_graphics2D->LoadTexture("textures/2d/PickupEffect.png"),
                                   ztmath::Vector2(0.0f, -390.0f), ztmath::Vector2(800.0f, 500.0f), 2);
    m_pickupFlash = ui.AddElement(UIElement(flash));
    UIElement& element = ui.m_elements.at(static_cast<size_t>(m_pickupFlash));
    element.m_active = true;
    element.m_sprite.SetAlpha(0.0f);
    ui.SetOnUpdate(m_pickupFlash, [this](UIElement* e) { FadePickupFlash(e); });

    m_coinCollectEvent = m_messaging->GetEventId("COIN_COLLECT");
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) { ClearCoins(); });
    m_messaging->RegisterHandler("NEW_DUNGEON_GENERATED", [this](const IEvent&) { ClearCoins(); });
    m_walk.ListenForJumps(*m_messaging);
    m_messaging->RegisterHandler("DROP_COIN", [this](const IEvent& event) {
        if (event.m_data != nullptr)
            DropCoin(*static_cast<const ztmath::Vector3*>(event.m_data));
    });
}

void CollectibleSystem::DropCoin(const ztmath::Vector3& position)
{
    InstanceTransform transform;
    transform.m_position = position;
    transform.m_scale = ztmath::Vector3(2.0f, 2.0f, 2.0f);
    CoinRecord coin;
    coin.m_instance = m_graphics->CreateInstance(m_models->GetModel("CoinModel"), transform);
    coin.m_instance.SetHidden(false);

    coin.m_body = m_physics->CreateDynamicRigidBody(static_cast<uint32_t>(m_coinCollider), position,
                                                    kCoinOrientation, kCoinMass);
    coin.m_body.SetRestitution(kCoinRestitution);
    coin.m_body.SetCollisionCategoryBits(kCoinCategory);

    // The angle goes in as radians although it reads like degrees: coins fly off in every
    // direction round the x axis, some of them down into the floor and back up.
    const float angle = 15.0f - Draw() * 30.0f;
    coin.m_body.ApplyImpulseToCenter(ztmath::Vector3(0.0f, std::cos(angle), std::sin(angle)) * kLaunchImpulse);
    const float u1 = Draw();
    const float u2 = Draw();
    const float u3 = Draw();
    coin.m_body.ApplyTorqueImpulse(ztmath::Vector3(5.0f - 10.0f * u3, 5.0f - 10.0f * u2, 5.0f - 10.0f * u1));
    coin.m_body.SetCollisionMaskBits(kCoinMask);
    m_coins.Add(coin);
}

void CollectibleSystem::Update(float dt)
{
    m_dt = dt;
    m_textManager->SetText(m_goldText, "gold: " + std::to_string(m_gold->m_gold));
    m_textManager->SetTextPosition(m_goldText, GoldTextPosition(*m_textManager, m_goldText,
                                                                static_cast<float>(m_app->m_windowInfo.windowWidth)));
    m_textManager->SetTextColor(m_goldText, kWhite, m_goldTextAlpha);
    m_goldTextAlpha -= dt;

    for (uint32_t i = m_coins.m_head; i != kInvalidIndex; i = m_coins.Next(i)) {
        CoinRecord& coin = m_coins.At(i);
        InstanceTransform& transform = coin.m_instance.GetInstance().m_transform;
        transform.m_position = coin.m_body.GetPosition();
        transform.SetBasis(ztmath::Basis::FromQuaternion(coin.m_body.GetOrientation()));
    }

    const ztmath::Vector3 camera = m_graphics->GetCameraPosition();
    m_walk.MoveTo(camera);
    for (uint32_t i = m_coins.m_head; i != kInvalidIndex;) {
        CoinRecord& coin = m_coins.At(i);
        const ztmath::Vector3 p = coin.m_body.GetPosition();
        const float dx = camera.x - p.x;
        const float dz = camera.z - p.z;
        const float d2 = dx * dx + dz * dz;
        // A coin straight under the player has no direction to be pulled in (and is collected
        // right below anyway).
        if (d2 < kPullRadius * kPullRadius && d2 > 0.0f) {
            coin.m_body.Wake();
            coin.m_body.ApplyForceToCenter(ztmath::Vector3(dx, 0.0f, dz) / std::sqrt(d2) * kPullForce);
        }
        // The pull follows where the player is now; the pickup, the whole way walked to there.
        if (m_walk.HorizontalDistanceSquaredTo(p) >= kCollectRadius * kCollectRadius) {
            i = m_coins.Next(i);
            continue;
        }

        m_gold->m_gold += 1;
        UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(m_pickupFlash)).m_sprite.SetAlpha(0.9f);
        m_lastCollected = coin.m_instance.GetInstanceConst().m_transform.m_position;
        // A collected coin is gone for good: its instance and body go back at once.
        coin.m_instance.SetHidden(true);
        coin.m_body.SetActive(false);
        m_graphics->DestroyInstance(coin.m_instance);
        m_physics->DestroyBody(coin.m_body);
        i = m_coins.Remove(i);
        m_messaging->SendEvent(m_coinCollectEvent, IEvent(1, &m_lastCollected));
        m_goldTextAlpha = 1.0f;
        ++m_stats->m_goldCollected;
        if (m_stats->m_printOnChange)
            m_stats->Print();
    }
}

void CollectibleSystem::NextState(int)
{
    for (uint32_t i = m_coins.m_head; i != kInvalidIndex; i = m_coins.Next(i)) {
        m_coins.At(i).m_instance.SetHidden(true);
        m_coins.At(i).m_body.SetActive(false);
    }
}

void CollectibleSystem::SetToCurrentState()
{
    // Play resumes wherever the camera is handed over: a jump, not a walk.
    m_walk.Jump();
    for (uint32_t i = m_coins.m_head; i != kInvalidIndex; i = m_coins.Next(i)) {
        m_coins.At(i).m_instance.SetHidden(false);
        m_coins.At(i).m_body.SetActive(true);
    }
}

void CollectibleSystem::ClearCoins()
{
    for (uint32_t i = m_coins.m_head; i != kInvalidIndex; i = m_coins.Next(i)) {
        m_coins.At(i).m_instance.SetHidden(true);
        m_graphics->DestroyInstance(m_coins.At(i).m_instance);
        m_physics->DestroyBody(m_coins.At(i).m_body);
    }
    m_coins.Clear();
}

void CollectibleSystem::FadePickupFlash(UIElement* element)
{
    const float alpha = element->m_sprite.GetAlpha();
    if (alpha > 0.0f)
        element->m_sprite.SetAlpha(alpha - m_dt);
}

}  // namespace ztengine
