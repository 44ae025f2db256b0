// The loading screen that drives the application's job queue.
#include "core/subsys/StartupScreens/InitGameLoadingSystem.h"

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/input/Input.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"

namespace ztengine {

float InitGameLoadingSystem::s_hourglassAngle = 0.0f;

InitGameLoadingSystem::InitGameLoadingSystem(App* app) : Subsystem(app) {}

void InitGameLoadingSystem::Init()
{
    m_hourglass = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture("textures/2d/hourglass.png"),
                                             ztmath::Vector2(0.0f, 0.0f), ztmath::Vector2(150.0f, 150.0f), 1);
    m_hourglass.SetVisible(false);

    m_textManager = &m_graphics2D->GetTextManager();
    m_fontIndex = m_textManager->LoadFont("fonts/calibrib.ttf");
    m_textIndex = m_textManager->CreateText("Loading...", m_fontIndex);
    // Text positions are pixels from the bottom-left corner: bottom right, whatever the width.
    m_textManager->SetTextPosition(
        m_textIndex, ztmath::Vector2(0.85f * static_cast<float>(m_app->m_windowInfo.windowWidth), 10.0f));
    if (TextEntry* entry = m_textManager->GetTextEntry(m_textIndex))
        entry->scale = ztmath::Vector2(0.5f, 0.5f);
    m_textManager->SetTextColor(m_textIndex, ztmath::Vector3(1.0f, 1.0f, 1.0f), 1.0f);
    m_textManager->SetTextVisible(m_textIndex, false);

    m_blackScreen = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture("textures/2d/black_screen.png"),
                                               ztmath::Vector2(0.0f, 0.0f), ztmath::Vector2(2048.0f, 2048.0f), 0);
    m_blackScreen.SetVisible(false);
}

void InitGameLoadingSystem::SetToCurrentState()
{
    m_blackScreen.SetVisible(true);
    m_hourglass.SetVisible(true);
    m_textManager->SetTextVisible(m_textIndex, true);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
}

void InitGameLoadingSystem::Update(float dt)
{
    if (m_app->HasPendingJobs()) {
        s_hourglassAngle += kDegreesPerSecond * dt;
        if (s_hourglassAngle >= 360.0f)
            s_hourglassAngle = 0.0f;
        m_hourglass.SetRotation(s_hourglassAngle / 360.0f * 6.2831855f);
        // One call per frame keeps the screen drawn while the loading goes on.
        m_app->RunNextJob();
        CoverWorld();
        return;
    }

    m_hourglass.SetAlpha(m_countdown);
    m_textManager->SetTextColor(m_textIndex, ztmath::Vector3(1.0f, 1.0f, 1.0f), m_countdown);
    if (m_countdown < 0.0f) {
        m_hourglass.SetVisible(false);
        m_blackScreen.SetVisible(false);
        m_textManager->SetTextVisible(m_textIndex, false);
        m_app->ChangeState(kNextState);
    }
    m_countdown -= dt;
    CoverWorld();
}

void InitGameLoadingSystem::CoverWorld()
{
    // The black screen is opaque: while it fills the window the world behind it is not drawn.
    if (m_graphics2D->CoversWindow(m_blackScreen))
        m_graphics->CoverFrame();
}

void InitGameLoadingSystem::NextState(int)
{
    m_textManager->SetTextVisible(m_textIndex, false);
    m_input->SetCursorEnabled(false);
    m_app->m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
}

}  // namespace ztengine
