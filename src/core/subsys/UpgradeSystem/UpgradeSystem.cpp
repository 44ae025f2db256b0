#include "core/subsys/UpgradeSystem/UpgradeSystem.h"

#include <cstdio>
#include <cstdlib>

#include "core/App.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/input/Input.h"
#include "core/subsys/sharedData/UpgradeQueues.h"

namespace ztengine {

namespace {

struct PanelEntry {
    const char* icon;
    int slot;
    const char* description;
    ztmath::Vector2 textPosition;
};

// Registry order; the slots put the health upgrades on the top row.
const PanelEntry kPanel[UpgradeSystem::kUpgradeCount] = {
    {"textures/2d/WM_MOD_1_2.PNG", 0, "Adds 2 more projectiles to attack.", {250.0f, 120.0f}},
    {"textures/2d/maxhealthup.PNG", 1, "Increases maximum health.", {300.0f, 120.0f}},
    {"textures/2d/firespdup.PNG", 3, "Increases weapon fire rate.", {300.0f, 120.0f}},
    {"textures/2d/healthregenup.PNG", 2, "Increases health regeneration.", {280.0f, 120.0f}},
    {"textures/2d/maxstaminaup.PNG", 4, "Increases maximum stamina.", {300.0f, 120.0f}},
    {"textures/2d/staminaregenup.PNG", 5, "Increases stamina regeneration.", {260.0f, 120.0f}},
};

constexpr ztmath::Vector2 kBackSize{140.0f, 70.0f};
constexpr ztmath::Vector2 kBackHoverSize{182.0f, 91.0f};

UIElement& Element(int32_t index)
{
    return UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
}

[[noreturn]] void Fail(const char* message)
{
    std::fputs(message, stderr);
    std::fflush(stderr);
    std::abort();
}

}  // namespace

UpgradeSystem::UpgradeSystem(App* app) : Subsystem(app)
{
    m_slots = {ztmath::Vector2(-300.0f, 200.0f), ztmath::Vector2(0.0f, 200.0f),
               ztmath::Vector2(300.0f, 200.0f),  ztmath::Vector2(-300.0f, 50.0f),
               ztmath::Vector2(0.0f, 50.0f),     ztmath::Vector2(300.0f, 50.0f)};
    m_weaponQueue = app->GetSharedData<WeaponMessageQueue>("WeaponMessageQueue");
    m_upgradeQueue = app->GetSharedData<UpgradeMessageQueue>("UpgradeMessageQueue");
    m_statBoostQueue = app->GetSharedData<StatBoostMessageQueue>("StatBoostMessageQueue");
    m_messaging = &app->m_messagingSystem;
}

std::string UpgradeSystem::CountText(int upgrade, int32_t count)
{
    return std::string(kPanel[upgrade].description) + "(" + std::to_string(count) + "x)";
}

void UpgradeSystem::Init()
{
    m_textManager = &m_graphics2D->GetTextManager();
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) { ResetPanel(); });
    m_font = m_textManager->LoadFont("fonts/arial.ttf");
    BuildPanel();

    UIElementManager& ui = UIElementManager::GetInstance();
    SpriteHandle background = m_graphics2D->CreateSprite(
        m_graphics2D->LoadTexture("textures/2d/UpgradeUI_Background.png"),
        ztmath::Vector2(0.0f, 0.0f), ztmath::Vector2(900.0f, 780.0f), 0);
    background.SetAlpha(0.95f);
    background.SetVisible(false);
    m_background = ui.AddElement(UIElement(background));

    SpriteHandle back = m_graphics2D->CreateSprite(
        m_graphics2D->LoadTexture("textures/2d/Credits_BackIdle.png"),
        ztmath::Vector2(-350.0f, -330.0f), kBackSize, 1);
    back.SetVisible(false);
    m_backButton = ui.AddElement(UIElement(back));
    ui.SetOnNotHovered(m_backButton, [](UIElement* e) { e->m_sprite.SetScale(kBackSize.x, kBackSize.y); });
    ui.SetOnHover(m_backButton,
                  [](UIElement* e) { e->m_sprite.SetScale(kBackHoverSize.x, kBackHoverSize.y); });
    ui.SetOnRelease(m_backButton, [this](UIElement*) { ShowPanel(false); });

    ShowPanel(false);
}

void UpgradeSystem::BuildPanel()
{
    UIElementManager& ui = UIElementManager::GetInstance();
    for (int i = 0; i < kUpgradeCount; ++i) {
        SpriteHandle sprite = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture(kPanel[i].icon),
                                                         m_slots[kPanel[i].slot],
                                                         ztmath::Vector2(100.0f, 100.0f), 2);
        sprite.SetAlpha(0.3f);
        m_icons[i] = ui.AddElement(UIElement(sprite));
        ui.SetOnHover(m_icons[i], [this, i](UIElement*) { m_textManager->SetTextVisible(m_countTexts[i], true); });
        ui.SetOnNotHovered(m_icons[i],
                           [this, i](UIElement*) { m_textManager->SetTextVisible(m_countTexts[i], false); });
        // An upgrade not yet received stays greyed out.
        ui.SetOnUpdate(m_icons[i],
                       [this, i](UIElement* e) { e->m_sprite.SetAlpha(m_counts[i] <= 0 ? 0.3f : 1.0f); });

        m_countTexts[i] = m_textManager->CreateText(CountText(i, m_counts[i]), m_font);
        m_textManager->SetTextPosition(m_countTexts[i], kPanel[i].textPosition);
        m_textManager->SetTextVisible(m_countTexts[i], false);
    }
}

void UpgradeSystem::Update(float)
{
    // Control counts however it fell into this frame: at a few frames per second a quick
    // Ctrl + U is often read with Control only just pressed, or already let go again.
    const bool control = m_input->IsKeyHeld(kPanelToggleHeld) || m_input->IsKeyPressed(kPanelToggleHeld) ||
                         m_input->IsKeyReleased(kPanelToggleHeld);
    if (control && m_input->IsKeyReleased(kPanelToggleReleased))
        ShowPanel(!m_panelShown);

    if (m_upgradeQueue->m_messages.empty())
        return;
    const UpgradeMessage message = m_upgradeQueue->m_messages.front();
    m_upgradeQueue->m_messages.pop_front();
    if (message.m_command == 0) {
        if (message.m_category == 0) {
            m_weaponQueue->m_messages.push_back(WeaponMessage{0, message.m_index, 0});
            RecordUpgrade(0, message.m_index);
        } else if (message.m_category == 1) {
            m_statBoostQueue->m_messages.push_back(StatBoostMessage{0, message.m_index, 0});
            RecordUpgrade(1, message.m_index);
        }
    } else if (message.m_command == 2) {
        ResetPanel();
    }
}

void UpgradeSystem::NextState(int)
{
    // The debug state list can pass through the state before loading has built the panel.
    if (m_textManager != nullptr)
        ShowPanel(false);
}

void UpgradeSystem::RecordUpgrade(int32_t category, int32_t index)
{
    if (category == 0) {
        if (index != 0)
            Fail("Weapon mod type not found when adding upgrade\n");
        SetCount(0, m_counts[0] + 1);
    } else if (category == 1) {
        if (index < 0 || index > 4)
            Fail("Stat boost mod type not found when adding upgrade\n");
        SetCount(index + 1, m_counts[index + 1] + 1);
    } else {
        Fail("Upgrade Type does not exist.\n");
    }
}

void UpgradeSystem::SetCount(int upgrade, int32_t count)
{
    m_counts[upgrade] = count;
    if (m_textManager != nullptr)
        m_textManager->SetText(m_countTexts[upgrade], CountText(upgrade, count));
}

void UpgradeSystem::ShowPanel(bool show)
{
    SetIconsVisible(show);
    UIElementManager& ui = UIElementManager::GetInstance();
    m_panelShown = show;
    m_messaging->SendEventByName(show ? "SHOW_CUSTOM_CURSOR" : "HIDE_CUSTOM_CURSOR", IEvent());
    UIElement& back = Element(m_backButton);
    back.m_active = show;
    back.m_clickable = show;
    back.m_sprite.SetVisible(show);
    ui.SetVisible(m_background, show);
    if (!show) {
        for (uint32_t text : m_countTexts)
            m_textManager->SetTextVisible(text, false);
    }
}

void UpgradeSystem::SetIconsVisible(bool visible)
{
    for (int32_t icon : m_icons) {
        Element(icon).m_active = visible;
        Element(icon).m_sprite.SetVisible(visible);
    }
}

void UpgradeSystem::ResetPanel()
{
    for (int i = 0; i < kUpgradeCount; ++i)
        SetCount(i, 0);
}

}  // namespace ztengine
