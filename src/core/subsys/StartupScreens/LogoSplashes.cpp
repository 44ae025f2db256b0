// The publisher and team logo screens at the start of the run.
#include "core/subsys/StartupScreens/LogoSplashes.h"

#include "core/App.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/input/Input.h"
#include "core/math/Vector3.h"
#include "core/subsys/StartupScreens/PictureFit.h"

namespace ztengine {

namespace {

constexpr const char* kBlackScreen = "textures/2d/black_screen.png";

UIElement& ElementAt(int32_t index)
{
    return UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
}

}  // namespace

bool SplashSkipRequested(Input& input)
{
    return input.IsKeyReleased(LogoSplash::kEscapeKey) || input.IsMouseButtonHeld(0) ||
           input.IsJoystickButtonHeld(0, 0);
}

LogoSplash::LogoSplash(App* app, const char* nextState) : Subsystem(app), m_nextState(nextState) {}

void LogoSplash::MakeElements(const char* logoPath, const ztmath::Vector2& logoSize, uint32_t backgroundLayer,
                              uint32_t logoLayer)
{
    UIElementManager& ui = UIElementManager::GetInstance();

    SpriteHandle background = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture(kBlackScreen),
                                                         ztmath::Vector2(0.0f, 0.0f),
                                                         ztmath::Vector2(2048.0f, 2048.0f), backgroundLayer);
    background.SetVisible(false);
    m_backgroundElement = ui.AddElement(UIElement(background));

    const ztmath::Vector2 fitted =
        FitPictureToWindow(logoSize, static_cast<float>(m_app->m_windowInfo.windowWidth),
                           static_cast<float>(m_app->m_windowInfo.windowHeight));
    SpriteHandle logo = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture(logoPath), ztmath::Vector2(0.0f, 0.0f),
                                                   fitted, logoLayer);
    logo.SetVisible(false);
    logo.SetAlpha(0.0f);
    m_logoElement = ui.AddElement(UIElement(logo));
    ui.SetOnUpdate(m_logoElement, [this](UIElement* element) { OnLogoUpdate(element); });
}

void LogoSplash::SetToCurrentState()
{
    UIElementManager& ui = UIElementManager::GetInstance();
    for (int32_t index : {m_backgroundElement, m_logoElement}) {
        ElementAt(index).m_active = true;
        ui.SetVisible(index, true);
    }
    ElementAt(m_logoElement).m_sprite.SetAlpha(0.0f);
    m_fadingIn = true;
    m_fadingOut = false;
    m_holdTime = kHoldSeconds;
}

void LogoSplash::Update(float dt)
{
    m_dt = dt;
    if (ElementAt(m_logoElement).m_sprite.GetAlpha() >= 1.0f) {
        m_fadingIn = false;
        m_holdTime -= dt;
        if (m_holdTime < 0.0f)
            m_fadingOut = true;
    }
    if (SplashSkipRequested(*m_input)) {
        m_fadingIn = false;
        m_fadingOut = true;
    }
    // The black background is opaque: while it fills the window the world behind it is not drawn.
    if (m_graphics2D->CoversWindow(ElementAt(m_backgroundElement).m_sprite))
        m_graphics->CoverFrame();
}

void LogoSplash::OnLogoUpdate(UIElement* logo)
{
    const float alpha = logo->m_sprite.GetAlpha();
    if (alpha < 1.0f && m_fadingIn) {
        logo->m_sprite.SetAlpha(alpha + m_dt * m_fadeFactor);
    } else if (m_fadingOut) {
        logo->m_sprite.SetAlpha(alpha - m_dt * m_fadeFactor);
        if (alpha < 0.0f)
            m_app->ChangeState(m_nextState);
    }
}

void LogoSplash::NextState(int)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    for (int32_t index : {m_backgroundElement, m_logoElement}) {
        ElementAt(index).m_active = false;
        ui.SetVisible(index, false);
    }
}

BrimselSplash::BrimselSplash(App* app) : LogoSplash(app, kNextState) {}

void BrimselSplash::Init()
{
    m_input->SetCursorEnabled(false);
    MakeElements("textures/2d/Brimsel_Vantorel_WEB_RED.png", ztmath::Vector2(900.0f, 300.0f), 1, 2);
}

TeamLogoScreen::TeamLogoScreen(App* app) : LogoSplash(app, kNextState) {}

void TeamLogoScreen::Init()
{
    m_input->SetCursorEnabled(false);
    // The menu's camera point, so that the world behind the menu is already in place.
    m_graphics->SetCameraPosition(ztmath::Vector3(500.0f, 600.0f, 500.0f));
    MakeElements("textures/2d/Team_Logo.png", ztmath::Vector2(500.0f, 500.0f), 8, 9);
}

void TeamLogoScreen::SetToCurrentState()
{
    LogoSplash::SetToCurrentState();
    ElementAt(m_backgroundElement).m_sprite.SetAlpha(1.0f);
}

}  // namespace ztengine
