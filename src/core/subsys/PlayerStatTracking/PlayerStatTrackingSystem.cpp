#include "core/subsys/PlayerStatTracking/PlayerStatTrackingSystem.h"

#include <algorithm>
#include <string>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/input/Input.h"
#include "core/subsys/sharedData/GameStats.h"

namespace ztengine {

namespace {

const ztmath::Vector3 kBlack(0.0f, 0.0f, 0.0f);
const ztmath::Vector3 kRed(1.0f, 0.0f, 0.0f);

std::string ValueText(uint32_t value)
{
    return ": " + std::to_string(value);
}

}  // namespace

const std::array<const char*, PlayerStatTrackingSystem::kLineCount> PlayerStatTrackingSystem::kLabels = {
    "Enemies killed",         "Bosses killed",
    "Gold collected",         "Shrine upgrades bought",
    "Overworld upgrades bought", "Total play time (seconds)",
};

PlayerStatTrackingSystem::PlayerStatTrackingSystem(App* app)
    : Subsystem(app),
      m_messaging(&app->m_messagingSystem),
      m_stats(app->GetSharedData<ztgame::GameStats>("GameStats")),
      m_textManager(&app->GetGraphics2D()->GetTextManager())
{
    for (int32_t line = 0; line < kLineCount; ++line) {
        const float y = 675.0f - 75.0f * static_cast<float>(line);
        m_labelPositions[line] = ztmath::Vector2(250.0f, y);
        m_valuePositions[line] = ztmath::Vector2(860.0f, y);
    }
}

void PlayerStatTrackingSystem::Init()
{
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        ztgame::GameStats& stats = *m_stats;
        stats.m_enemiesKilled = 0;
        stats.m_bossesKilled = 0;
        stats.m_goldCollected = 0;
        stats.m_shrineUpgrades = 0;
        stats.m_personalUpgrades = 0;
        stats.m_totalPlayTime = 0.0f;
        stats.m_gameWon = false;
    });

    m_fontIndex = m_textManager->LoadFont(kFont);

    SpriteHandle background = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture(kBackground),
                                                         ztmath::Vector2(0.0f, 0.0f),
                                                         ztmath::Vector2(900.0f, 780.0f), 0);
    background.SetAlpha(0.95f);
    background.SetVisible(false);
    m_background = UIElementManager::GetInstance().AddElement(UIElement(background));

    for (int32_t line = 0; line < kLineCount; ++line) {
        m_labels[line] = m_textManager->CreateText(kLabels[line], m_fontIndex);
        m_textManager->SetTextPosition(m_labels[line], m_labelPositions[line]);
    }
    m_skipText = m_textManager->CreateText(kSkipText, m_fontIndex);
    m_textManager->SetTextPosition(m_skipText, m_skipPosition);
    for (int32_t line = 0; line < kLineCount; ++line) {
        m_values[line] = m_textManager->CreateText("", m_fontIndex);
        m_textManager->SetTextPosition(m_values[line], m_valuePositions[line]);
    }
    SetTextColors(kBlack);
    m_skipAlpha = 1.0f;
    m_skipRising = false;
}

void PlayerStatTrackingSystem::SetToCurrentState()
{
    m_line = 0;
    m_lineCount = kLineCount;
    m_lineTimer = 0.0f;
    m_finished = false;
    m_shownCounts.fill(0);
    m_shownPlayTime = 0.0f;
    UIElementManager::GetInstance().SetVisible(m_background, true);
    ZeroValues();
    ShowTexts();
    SetTextColors(kBlack);
}

void PlayerStatTrackingSystem::NextState(int)
{
    UIElementManager::GetInstance().SetVisible(m_background, false);
    HideTexts();
}

void PlayerStatTrackingSystem::Update(float dt)
{
    BlinkSkipText(dt);
    if (!m_finished)
        CountUp(dt);

    // Pressed, not held: keeping space down from the skip must not also leave the screen.
    if (!m_input->IsKeyPressed(kSkipKey) && !m_input->IsJoystickButtonPressed(kSkipPad, kSkipPadButton))
        return;
    if (!m_finished) {
        m_finished = true;
        ShowFinalValues();
    } else if (m_stats->m_gameWon) {
        m_messaging->SendEventByName("EVENT_RESTART", IEvent());
        m_app->ChangeState("MAIN_MENU_STATE");
    } else {
        m_app->ChangeState("LOSE_STATE");
    }
}

void PlayerStatTrackingSystem::BlinkSkipText(float dt)
{
    m_skipAlpha += m_skipRising ? dt : -dt;
    if (m_skipAlpha > 1.0f) {
        m_skipAlpha = 1.0f;
        m_skipRising = false;
    } else if (m_skipAlpha < 0.0f) {
        m_skipAlpha = 0.0f;
        m_skipRising = true;
    }
    m_textManager->SetTextColor(m_skipText, kBlack, m_skipAlpha);
}

void PlayerStatTrackingSystem::CountUp(float dt)
{
    if (m_line >= m_lineCount) {
        m_finished = true;
        ShowFinalValues();
        return;
    }

    uint32_t shown = 0;
    if (m_line < 5) {
        const uint32_t target = FinalValue(m_line);
        uint32_t& counted = m_shownCounts[m_line];
        // Big numbers count in about a second of steps; small ones one by one.
        const float step = std::max(static_cast<float>(target) * dt, 1.0f);
        if (counted < target)
            counted += static_cast<uint32_t>(step);
        else
            counted = target;
        shown = counted;
    } else {
        const float target = m_stats->m_totalPlayTime;
        const float step = std::max(target * dt, 1.0f);
        if (target > m_shownPlayTime)
            m_shownPlayTime += step;
        else
            m_shownPlayTime = target;
        shown = static_cast<uint32_t>(m_shownPlayTime);
    }
    m_textManager->SetText(m_values[m_line], ValueText(shown));
    m_textManager->SetTextColor(m_values[m_line], kRed, 1.0f);

    m_lineTimer += dt;
    if (m_lineTimer > kLineSeconds) {
        const int32_t ended = m_line;
        ++m_line;
        m_lineTimer = 0.0f;
        SetValue(ended, FinalValue(ended));
        m_textManager->SetTextColor(m_values[ended], kBlack, 1.0f);
        if (ended == kLineCount - 1)
            ShowFinalValues();
    }
}

void PlayerStatTrackingSystem::ZeroValues()
{
    for (int32_t line = 0; line < kLineCount; ++line)
        SetValue(line, 0);
}

void PlayerStatTrackingSystem::ShowFinalValues()
{
    for (int32_t line = 0; line < kLineCount; ++line)
        SetValue(line, FinalValue(line));
    SetTextColors(kBlack);
}

void PlayerStatTrackingSystem::ShowTexts()
{
    for (int32_t line = 0; line < kLineCount; ++line) {
        m_textManager->SetTextVisible(m_labels[line], true);
        m_textManager->SetTextVisible(m_values[line], true);
    }
    m_textManager->SetTextVisible(m_skipText, true);
}

void PlayerStatTrackingSystem::HideTexts()
{
    for (int32_t line = 0; line < kLineCount; ++line) {
        m_textManager->SetTextVisible(m_labels[line], false);
        m_textManager->SetTextVisible(m_values[line], false);
    }
    m_textManager->SetTextVisible(m_skipText, false);
}

void PlayerStatTrackingSystem::SetTextColors(const ztmath::Vector3& color)
{
    for (int32_t line = 0; line < kLineCount; ++line) {
        m_textManager->SetTextColor(m_labels[line], color, 1.0f);
        m_textManager->SetTextColor(m_values[line], color, 1.0f);
    }
    m_textManager->SetTextColor(m_skipText, color, 1.0f);
}

uint32_t PlayerStatTrackingSystem::FinalValue(int32_t line) const
{
    const ztgame::GameStats& stats = *m_stats;
    switch (line) {
        case 0: return stats.m_enemiesKilled;
        case 1: return stats.m_bossesKilled;
        case 2: return stats.m_goldCollected;
        case 3: return stats.m_shrineUpgrades;
        case 4: return stats.m_personalUpgrades;
        default: return static_cast<uint32_t>(stats.m_totalPlayTime);
    }
}

void PlayerStatTrackingSystem::SetValue(int32_t line, uint32_t value)
{
    m_textManager->SetText(m_values[line], ValueText(value));
}

}  // namespace ztengine
