// The controller screen between loading and the main menu.
#include "core/subsys/StartupScreens/ControllerSplash.h"

#include <algorithm>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/subsys/StartupScreens/LogoSplashes.h"
#include "core/subsys/StartupScreens/PictureFit.h"

namespace ztengine {

namespace {

UIElement& ElementAt(int32_t index)
{
    return UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
}

}  // namespace

ControllerSplash::ControllerSplash(App* app) : Subsystem(app) {}

void ControllerSplash::Load()
{
    m_app->QueueJob([this]() {
        m_pictureTexture = m_graphics2D->LoadTexture("textures/2d/controller.png");
        return true;
    });
    m_app->QueueJob([this]() {
        m_backgroundTexture = m_graphics2D->LoadTexture("textures/2d/black_screen.png");
        return true;
    });
}

void ControllerSplash::Init()
{
    m_textManager = &m_graphics2D->GetTextManager();
    m_fontIndex = m_textManager->LoadFont("fonts/arial.ttf");
    m_textIndex = m_textManager->CreateText(kLine, m_fontIndex);
    m_textManager->SetTextColor(m_textIndex, ztmath::Vector3(1.0f, 1.0f, 1.0f), 0.0f);
    m_textManager->SetTextVisible(m_textIndex, false);
    m_textManager->SetTextPosition(m_textIndex, ztmath::Vector2(140.0f, 100.0f));

    UIElementManager& ui = UIElementManager::GetInstance();
    // The picture carries its label along its top edge: at 800 pixels high a 1024 square would
    // lose it, so it is drawn whole in the window.
    const ztmath::Vector2 pictureSize = FitPictureToWindow(
        ztmath::Vector2(1024.0f, 1024.0f), static_cast<float>(m_app->m_windowInfo.windowWidth),
        static_cast<float>(m_app->m_windowInfo.windowHeight));
    SpriteHandle picture = m_graphics2D->CreateSprite(m_pictureTexture, ztmath::Vector2(0.0f, 0.0f),
                                                      pictureSize, 3);
    picture.SetVisible(false);
    m_pictureElement = ui.AddElement(UIElement(picture));
    ui.SetOnUpdate(m_pictureElement, [this](UIElement* element) { OnPictureUpdate(element); });

    SpriteHandle background = m_graphics2D->CreateSprite(m_backgroundTexture, ztmath::Vector2(0.0f, 0.0f),
                                                         ztmath::Vector2(2048.0f, 2048.0f), 1);
    background.SetVisible(false);
    m_backgroundElement = ui.AddElement(UIElement(background));
    ui.SetOnUpdate(m_backgroundElement, [this](UIElement* element) { OnBackgroundUpdate(element); });
}

void ControllerSplash::SetToCurrentState()
{
    // Reached before loading has finished only through the debug state list; nothing to show yet.
    if (m_pictureElement < 0)
        return;
    UIElementManager& ui = UIElementManager::GetInstance();
    for (int32_t index : {m_backgroundElement, m_pictureElement}) {
        ElementAt(index).m_active = true;
        ui.SetVisible(index, true);
    }
    ElementAt(m_pictureElement).m_sprite.SetAlpha(0.0f);
    m_fadingIn = true;
    m_fadingOut = false;
    m_holdTime = kHoldSeconds;
    m_textManager->SetTextVisible(m_textIndex, true);
}

void ControllerSplash::Update(float dt)
{
    if (m_pictureElement < 0)
        return;
    m_dt = dt;
    if (ElementAt(m_pictureElement).m_sprite.GetAlpha() >= 1.0f) {
        m_fadingIn = false;
        m_holdTime -= dt;
        if (m_holdTime < 0.0f)
            m_fadingOut = true;
    }
    if (SplashSkipRequested(*m_input)) {
        m_fadingIn = false;
        m_fadingOut = true;
    }
    // Until its fade-out the black background hides the world, which need not be drawn then.
    if (m_graphics2D->CoversWindow(ElementAt(m_backgroundElement).m_sprite))
        m_graphics->CoverFrame();
    if (m_done)
        m_app->ChangeState(kNextState);
}

void ControllerSplash::OnPictureUpdate(UIElement* picture)
{
    const float alpha = picture->m_sprite.GetAlpha();
    if (alpha < 1.0f && m_fadingIn) {
        const float faded = alpha + m_dt * m_fadeFactor;
        picture->m_sprite.SetAlpha(faded);
        m_textManager->SetTextColor(m_textIndex, ztmath::Vector3(1.0f, 1.0f, 1.0f), faded);
    } else if (m_fadingOut) {
        // The elements stay active over the main menu: stop at nothing rather than run ever
        // further below it.
        const float faded = std::max(alpha - m_dt * m_fadeFactor, 0.0f);
        picture->m_sprite.SetAlpha(faded);
        m_textManager->SetTextColor(m_textIndex, ztmath::Vector3(1.0f, 1.0f, 1.0f), faded);
        if (alpha < kLeaveAlpha)
            m_done = true;
    }
}

void ControllerSplash::OnBackgroundUpdate(UIElement* background)
{
    if (m_fadingOut)
        background->m_sprite.SetAlpha(std::max(background->m_sprite.GetAlpha() - m_dt * m_fadeFactor, 0.0f));
}

}  // namespace ztengine
