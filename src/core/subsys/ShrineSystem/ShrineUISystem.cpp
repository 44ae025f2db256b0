#include "core/subsys/ShrineSystem/ShrineUISystem.h"

#include "core/App.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/UpgradeQueues.h"

namespace ztengine {

namespace {

struct ShopButton {
    const char* icon;
    int position;  // index into the seven positions
    const char* description;
    ztmath::Vector2 textPosition;
    UpgradeMessage message;
    int32_t priceFactor;
};

// Registry order. More projectiles change the game most, so they grow dearest fastest.
const ShopButton kButtons[ShrineUISystem::kUpgradeCount] = {
    {"textures/2d/WM_MOD_1_2.PNG", 0, "Adds 2 more projectiles.", {300.0f, 120.0f}, {0, 0, 0}, 4},
    {"textures/2d/maxhealthup.PNG", 1, "Increases maximum health.", {275.0f, 120.0f}, {1, 0, 0}, 2},
    {"textures/2d/firespdup.PNG", 3, "Increases weapon fire rate.", {275.0f, 120.0f}, {1, 1, 0}, 3},
    {"textures/2d/healthregenup.PNG", 2, "Increases health regeneration.", {240.0f, 120.0f}, {1, 2, 0}, 2},
    {"textures/2d/maxstaminaup.PNG", 4, "Increases maximum stamina.", {250.0f, 120.0f}, {1, 3, 0}, 2},
    {"textures/2d/staminaregenup.PNG", 5, "Increases stamina regeneration.", {220.0f, 120.0f}, {1, 4, 0}, 2},
};

constexpr ztmath::Vector3 kBlack{0.0f, 0.0f, 0.0f};
constexpr ztmath::Vector2 kGoldTextPosition{830.0f, 50.0f};
constexpr float kButtonSize = 100.0f;
constexpr float kButtonHoverSize = 120.00001f;
constexpr float kButtonHeldSize = 110.0f;
constexpr int kLeaveKey = 256;  // Escape
constexpr int kLeavePadButton = 1;

UIElement& Element(int32_t index)
{
    return UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
}

}  // namespace

ShrineUISystem::ShrineUISystem(App* app) : Subsystem(app)
{
    m_positions = {ztmath::Vector2(-300.0f, 200.0f), ztmath::Vector2(0.0f, 200.0f),
                   ztmath::Vector2(300.0f, 200.0f),  ztmath::Vector2(-300.0f, 50.0f),
                   ztmath::Vector2(0.0f, 50.0f),     ztmath::Vector2(300.0f, 50.0f),
                   ztmath::Vector2(-350.0f, -330.0f)};
    m_gold = app->GetSharedData<Gold>("Gold");
    m_stats = app->GetSharedData<ztgame::GameStats>("GameStats");
}

std::string ShrineUISystem::DescriptionText(int button) const
{
    return std::string(kButtons[button].description) + "(" + std::to_string(m_prices[button]) + " gold)";
}

void ShrineUISystem::Init()
{
    m_textManager = &m_graphics2D->GetTextManager();
    m_font = m_textManager->LoadFont("fonts/arial.ttf");
    m_app->m_messagingSystem.RegisterHandler("EVENT_RESTART", [this](const IEvent&) { ResetPrices(); });
    m_prices.fill(1);

    UIElementManager& ui = UIElementManager::GetInstance();
    SpriteHandle background =
        m_graphics2D->CreateSprite(m_graphics2D->LoadTexture("textures/2d/UpgradeUI_Background.png"),
                                   ztmath::Vector2(0.0f, 0.0f), ztmath::Vector2(900.0f, 780.0f), 0);
    background.SetAlpha(0.95f);
    background.SetVisible(false);
    m_background = ui.AddElement(UIElement(background));

    SpriteHandle back =
        m_graphics2D->CreateSprite(m_graphics2D->LoadTexture("textures/2d/Credits_BackIdle.png"),
                                   m_positions[kBackPosition], ztmath::Vector2(140.0f, 70.0f), 1);
    back.SetVisible(false);
    m_backButton = ui.AddElement(UIElement(back));
    ui.SetOnNotHovered(m_backButton, [this](UIElement* e) { OnBackNotHovered(e); });
    ui.SetOnHover(m_backButton, [this](UIElement* e) { OnBackHover(e); });
    ui.SetOnRelease(m_backButton, [this](UIElement* e) { OnBackRelease(e); });

    for (int i = 0; i < kUpgradeCount; ++i) {
        SpriteHandle sprite = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture(kButtons[i].icon),
                                                         m_positions[kButtons[i].position],
                                                         ztmath::Vector2(kButtonSize, kButtonSize), 1);
        sprite.SetVisible(false);
        m_buttons[i] = ui.AddElement(UIElement(sprite));
        ui.SetOnUpdate(m_buttons[i], [this, i](UIElement* e) { OnButtonUpdate(i, e); });
        ui.SetOnHover(m_buttons[i], [this, i](UIElement* e) { OnButtonHover(i, e); });
        ui.SetOnNotHovered(m_buttons[i], [this, i](UIElement* e) { OnButtonNotHovered(i, e); });
        ui.SetOnHold(m_buttons[i], [this](UIElement* e) { OnButtonHold(e); });
        ui.SetOnRelease(m_buttons[i], [this, i](UIElement*) { OnBuy(i); });
    }

    for (int i = 0; i < kUpgradeCount; ++i) {
        m_descriptions[i] = m_textManager->CreateText(DescriptionText(i), m_font);
        m_textManager->SetTextPosition(m_descriptions[i], kButtons[i].textPosition);
        m_textManager->SetTextColor(m_descriptions[i], kBlack, 1.0f);
        m_textManager->SetTextVisible(m_descriptions[i], false);
    }

    m_goldText = m_textManager->CreateText(std::to_string(m_gold->m_gold), m_font);
    m_textManager->SetTextPosition(m_goldText, kGoldTextPosition);
    m_textManager->SetTextColor(m_goldText, kBlack, 1.0f);
    m_textManager->SetTextVisible(m_goldText, false);

    m_graphics->SetRenderDebug(false);
}

void ShrineUISystem::Update(float)
{
    m_textManager->SetText(m_goldText, "Gold: " + std::to_string(m_gold->m_gold));
    m_textManager->SetTextColor(m_goldText, kBlack, 1.0f);
    m_textManager->SetTextPosition(m_goldText, kGoldTextPosition);
    m_textManager->SetTextVisible(m_goldText, true);

    if (m_input->IsKeyReleased(kLeaveKey) || m_input->IsJoystickButtonReleased(0, kLeavePadButton))
        m_app->ChangeState("GAMEPLAY_STATE");
    NavigateWithPad();
}

int32_t ShrineUISystem::MoveSelection(int32_t s, int releasedButton)
{
    switch (releasedButton) {
    case 11:
        return s + 1 < kPositionCount ? s + 1 : s;
    case 13:
        return s > 0 ? s - 1 : s;
    case 12:
        return s + 3 < kPositionCount ? s + 3 : kBackPosition;
    case 10:
        return s - 3 >= 0 ? s - 3 : s;
    default:
        return s;
    }
}

ztmath::Vector2 ShrineUISystem::CursorFor(const ztmath::Vector2& position, const WindowInfo& window)
{
    const float windowWidth = static_cast<float>(window.windowWidth);
    const float windowHeight = static_cast<float>(window.windowHeight);
    if (!window.fullscreen)
        return {windowWidth * 0.5f + position.x, windowHeight * 0.5f - position.y};
    // The layer is laid out for the window and stretched over the monitor.
    const float screenWidth = static_cast<float>(window.screenWidth);
    const float screenHeight = static_cast<float>(window.screenHeight);
    return {screenWidth * 0.5f + position.x * screenWidth / windowWidth,
            screenHeight * 0.5f - position.y * screenHeight / windowHeight};
}

void ShrineUISystem::NavigateWithPad()
{
    if (!m_input->IsJoystickPresent(0))
        return;
    int released = -1;
    for (int button : {11, 13, 12, 10}) {
        if (m_input->IsJoystickButtonReleased(0, button)) {
            released = button;
            break;
        }
    }
    if (released < 0)
        return;
    m_padSelection = MoveSelection(m_padSelection, released);
    const ztmath::Vector2 cursor = CursorFor(m_positions[static_cast<size_t>(m_padSelection)], m_app->m_windowInfo);
    m_input->SetCursorPosition(cursor.x, cursor.y);
}

void ShrineUISystem::SetToCurrentState()
{
    SetShopVisible(true);
    Gui::Instance().SetEnabled(false);
    m_app->m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
}

void ShrineUISystem::NextState(int)
{
    SetShopVisible(false);
    m_input->SetCursorEnabled(false);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
}

void ShrineUISystem::SetShopVisible(bool show)
{
    if (m_textManager == nullptr)
        return;
    UIElementManager& ui = UIElementManager::GetInstance();
    ui.SetVisible(m_background, show);
    UIElement& back = Element(m_backButton);
    back.m_active = show;
    back.m_sprite.SetVisible(show);
    back.m_clickable = show;
    for (int32_t button : m_buttons) {
        Element(button).m_active = show;
        Element(button).m_sprite.SetVisible(show);
    }
    m_textManager->SetTextVisible(m_goldText, show);
    // Only the hovered button's description stays: the not-hovered callbacks hide the others
    // from the next pass.
    for (uint32_t text : m_descriptions)
        m_textManager->SetTextVisible(text, show);
}

void ShrineUISystem::ResetPrices()
{
    m_prices.fill(1);
    if (m_textManager == nullptr)
        return;
    for (int i = 0; i < kUpgradeCount; ++i)
        m_textManager->SetText(m_descriptions[i], DescriptionText(i));
}

void ShrineUISystem::OnBackNotHovered(UIElement* element) { element->m_sprite.SetScale(140.0f, 70.0f); }

void ShrineUISystem::OnBackHover(UIElement* element) { element->m_sprite.SetScale(182.0f, 91.0f); }

void ShrineUISystem::OnBackRelease(UIElement*) { m_app->ChangeState("GAMEPLAY_STATE"); }

void ShrineUISystem::OnButtonUpdate(int button, UIElement* element)
{
    if (m_gold->m_gold >= m_prices[button]) {
        element->m_sprite.SetAlpha(1.0f);
        element->m_clickable = true;
    } else {
        element->m_sprite.SetAlpha(0.5f);
        element->m_clickable = false;
        element->m_sprite.SetScale(kButtonSize, kButtonSize);
    }
}

void ShrineUISystem::OnButtonHover(int button, UIElement* element)
{
    m_textManager->SetTextVisible(m_descriptions[button], true);
    if (element->m_clickable)
        element->m_sprite.SetScale(kButtonHoverSize, kButtonHoverSize);
}

void ShrineUISystem::OnButtonNotHovered(int button, UIElement* element)
{
    m_textManager->SetTextVisible(m_descriptions[button], false);
    element->m_sprite.SetScale(kButtonSize, kButtonSize);
}

void ShrineUISystem::OnButtonHold(UIElement* element) { element->m_sprite.SetScale(kButtonHeldSize, kButtonHeldSize); }

void ShrineUISystem::OnBuy(int button)
{
    m_app->GetSharedData<UpgradeMessageQueue>("UpgradeMessageQueue")->m_messages.push_back(kButtons[button].message);
    m_gold->m_gold -= m_prices[button];
    m_prices[button] *= kButtons[button].priceFactor;
    m_textManager->SetText(m_descriptions[button], DescriptionText(button));
    m_app->m_messagingSystem.SendEventByName("PLAYER_GOT_POWERUP", IEvent());
    ++m_stats->m_personalUpgrades;
    if (m_stats->m_printOnChange)
        m_stats->Print();
}

}  // namespace ztengine
