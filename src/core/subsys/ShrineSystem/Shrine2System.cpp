#include "core/subsys/ShrineSystem/Shrine2System.h"

#include <algorithm>
#include <string>

#include "core/App.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/input/Input.h"
#include "core/subsys/CollectibleSystem/GoldTextPlacement.h"
#include "core/subsys/ShrineSystem/ShrineReach.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "core/subsys/sharedData/Upgrades/UpgradeManager.h"
#include "core/util/Random.h"

namespace ztengine {

namespace {

constexpr ztmath::Vector3 kWhite{1.0f, 1.0f, 1.0f};
constexpr ztmath::Vector2 kPromptPosition{380.0f, 700.0f};
constexpr ztmath::Vector2 kShortPromptPosition{500.0f, 700.0f};

std::string Prompt(bool pad, int32_t cost)
{
    return std::string(pad ? "Press 'X' to accept blessing" : "Press 'E' to accept blessing") + "(" +
           std::to_string(cost) + " gold)";
}

}  // namespace

Shrine2System::Shrine2System(App* app) : Subsystem(app)
{
    m_shrines = app->GetSharedData<Shrine2Container>("Shrine2Container");
    m_upgradeManager = app->GetSharedData<UpgradeManager>("UpgradeManager");
    m_gold = app->GetSharedData<Gold>("Gold");
    m_stats = app->GetSharedData<ztgame::GameStats>("GameStats");
}

void Shrine2System::Init()
{
    m_textManager = &m_graphics2D->GetTextManager();
    m_font = m_textManager->LoadFont("fonts/arial.ttf");

    m_promptText = m_textManager->CreateText(Prompt(false, m_cost), m_font);
    m_textManager->SetTextPosition(m_promptText, kPromptPosition);
    if (TextEntry* entry = m_textManager->GetTextEntry(m_promptText))
        entry->scale = ztmath::Vector2(0.7f, 0.7f);
    m_textManager->SetTextVisible(m_promptText, true);

    m_goldText = m_textManager->CreateText("gold: " + std::to_string(m_gold->m_gold), m_font);
    PlaceGoldText();
    m_textManager->SetTextVisible(m_goldText, true);
    ColourTexts();

    // The registry is filled by the notification system, which is initialised just before.
    m_upgradeManager->GetUpgradeIndices(m_upgradeList);
    m_app->m_messagingSystem.RegisterHandler("EVENT_RESTART", [this](const IEvent&) { m_cost = kStartCost; });
    m_walk.ListenForJumps(m_app->m_messagingSystem);
}

void Shrine2System::PlaceGoldText()
{
    // Where the coins' gold count stands, so that the two draw as one text for any count.
    m_textManager->SetTextPosition(
        m_goldText, GoldTextPosition(*m_textManager, m_goldText,
                                     static_cast<float>(m_app->m_windowInfo.windowWidth)));
}

void Shrine2System::ColourTexts()
{
    // Below zero would mean nothing on screen anyway; keep the stored colour meaningful.
    const float alpha = std::clamp(m_promptAlpha, 0.0f, 1.0f);
    m_textManager->SetTextColor(m_promptText, kWhite, alpha);
    m_textManager->SetTextColor(m_goldText, kWhite, alpha);
}

void Shrine2System::Update(float dt)
{
    m_textManager->SetText(m_goldText, "gold: " + std::to_string(m_gold->m_gold));
    PlaceGoldText();
    ColourTexts();

    m_walk.MoveTo(m_graphics->GetCameraPosition());
    const ztmath::Vector3 forward = m_graphics->GetCameraBasis().forward;
    BlessingShrine* current = nullptr;
    for (BlessingShrine& shrine : m_shrines->m_shrines) {
        if (shrine.m_active && ShrineInReach(shrine.m_position, shrine.m_radius, m_walk, forward))
            current = &shrine;
    }
    if (current == nullptr) {
        FadePrompt(dt);
        return;
    }

    m_promptAlpha = 1.0f;
    const bool padPresent = m_input->IsJoystickPresent(0);
    const bool take = m_input->IsKeyReleased(kTakeKey) || m_input->IsJoystickButtonReleased(0, kTakePadButton);
    if (m_gold->m_gold >= m_cost) {
        m_textManager->SetText(m_promptText, Prompt(padPresent, m_cost));
        m_textManager->SetTextPosition(m_promptText, kPromptPosition);
        if (!take) {
            FadePrompt(dt);
            return;
        }
        if (m_upgradeList.empty())
            return;
        m_gold->m_gold -= m_cost;
        m_cost += kCostStep;
        const int32_t draw = RandomRange(0, static_cast<int32_t>(m_upgradeList.size()) - 1);
        m_upgradeManager->InvokeUpgrade(m_upgradeList[static_cast<size_t>(draw)]);
        current->m_active = false;
        m_app->m_messagingSystem.SendEventByName("PLAYER_GOT_POWERUP", IEvent());
        ++m_stats->m_shrineUpgrades;
        if (m_stats->m_printOnChange)
            m_stats->Print();
        return;
    }

    if (take) {
        RandomUInt();
        const bool notEnough = (GetRandomState().state30903 & 1u) != 0;
        m_app->m_messagingSystem.SendEventByName(
            notEnough ? "PLAY_DREV_SFX_NOT_ENUFF_GOLD" : "PLAY_DREV_SFX_CANT_DO_THAT", IEvent());
    }
    m_textManager->SetText(m_promptText, "Requires " + std::to_string(m_cost - m_gold->m_gold) + " more gold!");
    m_textManager->SetTextPosition(m_promptText, kShortPromptPosition);
    FadePrompt(dt);
}

void Shrine2System::FadePrompt(float dt)
{
    m_promptAlpha = std::max(m_promptAlpha - dt * kFadePerSecond, 0.0f);
    ColourTexts();
}

void Shrine2System::NextState(int)
{
    if (m_textManager == nullptr)
        return;
    m_textManager->SetTextVisible(m_promptText, false);
    m_textManager->SetTextVisible(m_goldText, false);
}

void Shrine2System::SetToCurrentState()
{
    // Play resumes wherever the camera is handed over: a jump, not a walk.
    m_walk.Jump();
    if (m_textManager == nullptr)
        return;
    m_promptAlpha = 0.0f;
    ColourTexts();
    m_textManager->SetTextVisible(m_promptText, true);
    m_textManager->SetTextVisible(m_goldText, true);
}

}  // namespace ztengine
