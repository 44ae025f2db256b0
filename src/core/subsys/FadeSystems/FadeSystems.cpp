// The two white screens of a transition and the work done behind them.
#include "core/subsys/FadeSystems/FadeSystems.h"

#include <cstdio>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/input/Input.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "core/util/assert/EngineAssert.h"

namespace ztengine {

namespace {

constexpr const char* kWhiteScreen = "textures/2d/white_screen.png";
constexpr uint32_t kFadeLayer = 5;

UIElement& ElementAt(int32_t index)
{
    return UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
}

int32_t MakeWhiteScreen(Graphics2D& graphics, float alpha, UIElement::Callback onUpdate)
{
    SpriteHandle sprite = graphics.CreateSprite(graphics.LoadTexture(kWhiteScreen), ztmath::Vector2(0.0f, 0.0f),
                                                ztmath::Vector2(2048.0f, 2048.0f), kFadeLayer);
    sprite.SetVisible(false);
    sprite.SetAlpha(alpha);
    UIElementManager& ui = UIElementManager::GetInstance();
    const int32_t index = ui.AddElement(UIElement(sprite));
    ui.SetOnUpdate(index, std::move(onUpdate));
    return index;
}

void ShowScreen(int32_t index, bool shown, float alpha)
{
    UIElement& screen = ElementAt(index);
    screen.m_active = shown;
    screen.m_sprite.SetVisible(shown);
    screen.m_sprite.SetAlpha(alpha);
}

}  // namespace

// ---- FadeOutSystem ----

FadeOutSystem::FadeOutSystem(App* app) : Subsystem(app) {}

void FadeOutSystem::Init()
{
    m_fadeElement = MakeWhiteScreen(*m_graphics2D, 0.0f, [this](UIElement* screen) { OnFadeUpdate(screen); });
}

void FadeOutSystem::SetToCurrentState()
{
    ShowScreen(m_fadeElement, true, 0.0f);
}

void FadeOutSystem::Update(float dt)
{
    m_dt = dt;
}

void FadeOutSystem::OnFadeUpdate(UIElement* screen)
{
    const float alpha = screen->m_sprite.GetAlpha();
    if (alpha < 1.0f)
        screen->m_sprite.SetAlpha(alpha + kFadeRate * m_dt);
    else
        m_app->ChangeState(kNextState);
}

void FadeOutSystem::NextState(int)
{
    ShowScreen(m_fadeElement, false, 0.0f);
}

// ---- FadeInSystem ----

FadeInSystem::FadeInSystem(App* app) : Subsystem(app) {}

void FadeInSystem::Init()
{
    m_fadeElement = MakeWhiteScreen(*m_graphics2D, 1.0f, [this](UIElement* screen) { OnFadeUpdate(screen); });
    m_app->m_messagingSystem.RegisterHandler("SET_FADEIN_DEST_STATE", [this](const IEvent& event) {
        m_destState = *static_cast<const std::string*>(event.m_data);
        std::fprintf(stderr, "%s\n", m_destState.c_str());
    });
}

void FadeInSystem::SetToCurrentState()
{
    ShowScreen(m_fadeElement, true, 1.0f);
    m_input->SetCursorEnabled(false);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
}

void FadeInSystem::Update(float dt)
{
    m_dt = dt;
}

void FadeInSystem::OnFadeUpdate(UIElement* screen)
{
    const float alpha = screen->m_sprite.GetAlpha();
    if (alpha > 0.0f)
        screen->m_sprite.SetAlpha(alpha - kFadeRate * m_dt);
    else
        m_app->ChangeState(m_destState.c_str());
}

void FadeInSystem::NextState(int)
{
    ShowScreen(m_fadeElement, false, 1.0f);
}

// ---- FadeTransitionSystem ----

FadeTransitionSystem::FadeTransitionSystem(App* app)
    : Subsystem(app), m_fadeQueue(app->GetSharedData<FadeMessageQueue>("FadeMessageQueue"))
{
}

void FadeTransitionSystem::Update(float)
{
    while (!m_fadeQueue->m_messages.empty()) {
        const FadeMessage message = m_fadeQueue->m_messages.front();
        HandleFadeMessage(message);
        m_fadeQueue->m_messages.pop_front();
    }
}

void FadeTransitionSystem::HandleFadeMessage(const FadeMessage& message)
{
    MessagingSystem& messaging = m_app->m_messagingSystem;
    messaging.SendEventByName("SET_FADEIN_DEST_STATE", IEvent(0, &message.m_destState));
    switch (message.m_type) {
    case FadeMessageType::Teleport: {
        m_teleportPosition = message.Position();
        m_teleportPosition.y += kTeleportLift;
        m_graphics->SetCameraPosition(m_teleportPosition);
        RenderPointLight light;
        light.m_position = ztmath::Vector3(m_teleportPosition.x, m_teleportPosition.y + kLightLift,
                                           m_teleportPosition.z);
        light.m_color = ztmath::Vector3(226.0f, 120.0f, 34.0f);
        light.m_radius = 1.0f;
        light.m_intensity = 1.0f;
        m_graphics->m_pointLights.push_back(light);
        messaging.SendEventByName("PLAYER_SET_POSITION", IEvent(0, &m_teleportPosition));
        messaging.SendEventByName("TELEPORT_PLAYER_END", IEvent());
        break;
    }
    case FadeMessageType::None:
        break;
    case FadeMessageType::SendEvent: {
        const uint32_t id = message.EventId();
        messaging.SendEvent(id, IEvent(static_cast<int32_t>(id), nullptr));
        break;
    }
    default:
        std::fprintf(stderr, "No valid message type found when handling fade message.\n");
        std::fflush(stderr);
        EngineAssert(0);
    }
}

}  // namespace ztengine
