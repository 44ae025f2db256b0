#include "core/subsys/ShrineSystem/ShrineUISystemTwo.h"

#include "core/App.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "core/subsys/sharedData/Upgrades/UpgradeManager.h"

namespace ztengine {

namespace {

constexpr ztmath::Vector3 kWhite{1.0f, 1.0f, 1.0f};
// The notification fades from opaque to nothing in two seconds.
constexpr float kFadePerSecond = 0.5f;

// The texts are placed by hand so that each looks centred under the icon.
const ztmath::Vector2 kTextPositions[ShrineUISystemTwo::kUpgradeCount] = {
    {430.0f, 550.0f}, {405.0f, 550.0f}, {405.0f, 550.0f},
    {370.0f, 550.0f}, {380.0f, 550.0f}, {360.0f, 550.0f},
};

UIElement& Element(int32_t index)
{
    return UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
}

}  // namespace

ShrineUISystemTwo::ShrineUISystemTwo(App* app) : Subsystem(app)
{
    m_upgradeManager = app->GetSharedData<UpgradeManager>("UpgradeManager");
}

void ShrineUISystemTwo::RegisterUpgrades()
{
    UpgradeManager& manager = *m_upgradeManager;
    m_upgrades[0] = static_cast<int32_t>(manager.RegisterUpgrade(
        "AddProj", [this] { QueueAddProj(); }, "Added 2 more projectiles!", "textures/2d/WM_MOD_1_2.PNG"));
    m_upgrades[1] = static_cast<int32_t>(manager.RegisterUpgrade(
        "IncHP", [this] { QueueIncHP(); }, "Increased maximum health!", "textures/2d/maxhealthup.PNG"));
    m_upgrades[2] = static_cast<int32_t>(manager.RegisterUpgrade(
        "IncFireRate", [this] { QueueIncFireRate(); }, "Increased weapon fire rate!",
        "textures/2d/firespdup.PNG"));
    m_upgrades[3] = static_cast<int32_t>(manager.RegisterUpgrade(
        "IncHPRegen", [this] { QueueIncHPRegen(); }, "Increased health regeneration!",
        "textures/2d/healthregenup.PNG"));
    m_upgrades[4] = static_cast<int32_t>(manager.RegisterUpgrade(
        "IncStam", [this] { QueueIncStam(); }, "Increased maximum stamina!", "textures/2d/maxstaminaup.PNG"));
    m_upgrades[5] = static_cast<int32_t>(manager.RegisterUpgrade(
        "IncStamRegen", [this] { QueueIncStamRegen(); }, "Increased stamina regeneration!",
        "textures/2d/staminaregenup.PNG"));
    manager.m_onInvoke = [this](const Upgrade& upgrade) { OnUpgradeInvoked(upgrade); };
    CreateUpgradeIcons();
    CreateUpgradeTexts();
}

void ShrineUISystemTwo::Exit()
{
    // The registry outlives this system; nothing may call back into it afterwards.
    m_upgradeManager->m_onInvoke = nullptr;
    for (int32_t index : m_upgrades) {
        if (index >= 0 && m_upgradeManager->m_upgradeCreators.IsValidIndex(static_cast<uint32_t>(index)))
            m_upgradeManager->m_upgradeCreators.At(static_cast<uint32_t>(index)).m_creator = nullptr;
    }
}

void ShrineUISystemTwo::CreateUpgradeIcons()
{
    UIElementManager& ui = UIElementManager::GetInstance();
    for (int32_t index : m_upgrades) {
        const uint32_t upgrade = static_cast<uint32_t>(index);
        SpriteHandle sprite = m_graphics2D->CreateSprite(
            m_graphics2D->LoadTexture(m_upgradeManager->m_upgradeCreators.At(upgrade).m_iconPath),
            ztmath::Vector2(0.0f, 240.0f), ztmath::Vector2(100.0f, 100.0f), 1);
        const int32_t element = ui.AddElement(UIElement(sprite));
        ui.SetOnUpdate(element, [this](UIElement* e) { FadeIcon(e); });
        Element(element).m_active = false;
        Element(element).m_sprite.SetVisible(false);
        m_upgradeManager->SetUpgradeIcon(upgrade, element);
    }
}

void ShrineUISystemTwo::CreateUpgradeTexts()
{
    m_textManager = &m_graphics2D->GetTextManager();
    m_font = m_textManager->LoadFont("fonts/arial.ttf");
    for (int i = 0; i < kUpgradeCount; ++i) {
        const uint32_t upgrade = static_cast<uint32_t>(m_upgrades[i]);
        const uint32_t text =
            m_textManager->CreateText(m_upgradeManager->m_upgradeCreators.At(upgrade).m_text, m_font);
        m_textManager->SetTextColor(text, kWhite, 1.0f);
        if (TextEntry* entry = m_textManager->GetTextEntry(text))
            entry->scale = ztmath::Vector2(0.8f, 0.8f);
        m_textManager->SetTextVisible(text, false);
        m_textManager->SetTextPosition(text, kTextPositions[i]);
        m_upgradeManager->SetUpgradeTextObject(upgrade, static_cast<int32_t>(text));
    }
}

void ShrineUISystemTwo::OnUpgradeInvoked(const Upgrade& upgrade)
{
    m_displayTimer = 1.0f;
    UIElement& icon = Element(upgrade.m_iconElement);
    icon.m_sprite.SetAlpha(1.0f);
    icon.m_active = true;
    icon.m_sprite.SetVisible(true);
    m_textManager->SetTextVisible(static_cast<uint32_t>(upgrade.m_textObject), true);
}

void ShrineUISystemTwo::FadeIcon(UIElement* element)
{
    const float alpha = element->m_sprite.GetAlpha() - m_dt * kFadePerSecond;
    element->m_sprite.SetAlpha(alpha);
    if (alpha < 0.0f) {
        element->m_sprite.SetVisible(false);
        element->m_active = false;
    }
}

void ShrineUISystemTwo::Update(float dt)
{
    m_dt = dt;
    UpdateTexts();
}

void ShrineUISystemTwo::UpdateTexts()
{
    if (m_textManager == nullptr)
        return;
    if (m_displayTimer > 0.0f) {
        for (int32_t index : m_upgrades) {
            const int32_t text = m_upgradeManager->GetUpgradeTextObject(static_cast<uint32_t>(index));
            m_textManager->SetTextColor(static_cast<uint32_t>(text), kWhite, m_displayTimer);
        }
        m_displayTimer -= m_dt * kFadePerSecond;
    } else {
        for (int32_t index : m_upgrades) {
            const int32_t text = m_upgradeManager->GetUpgradeTextObject(static_cast<uint32_t>(index));
            m_textManager->SetTextVisible(static_cast<uint32_t>(text), false);
        }
    }
}

void ShrineUISystemTwo::HideAll()
{
    if (m_textManager == nullptr)
        return;
    for (int32_t index : m_upgrades) {
        const uint32_t upgrade = static_cast<uint32_t>(index);
        UIElement& icon = Element(m_upgradeManager->GetUpgradeIcon(upgrade));
        icon.m_sprite.SetVisible(false);
        icon.m_active = false;
        m_textManager->SetTextVisible(static_cast<uint32_t>(m_upgradeManager->GetUpgradeTextObject(upgrade)),
                                      false);
    }
}

void ShrineUISystemTwo::Queue(int32_t category, int32_t index)
{
    m_app->GetSharedData<UpgradeMessageQueue>("UpgradeMessageQueue")
        ->m_messages.push_back(UpgradeMessage{category, index, 0});
}

void ShrineUISystemTwo::QueueAddProj() { Queue(0, 0); }
void ShrineUISystemTwo::QueueIncHP() { Queue(1, 0); }
void ShrineUISystemTwo::QueueIncFireRate() { Queue(1, 1); }
void ShrineUISystemTwo::QueueIncHPRegen() { Queue(1, 2); }
void ShrineUISystemTwo::QueueIncStam() { Queue(1, 3); }
void ShrineUISystemTwo::QueueIncStamRegen() { Queue(1, 4); }

}  // namespace ztengine
