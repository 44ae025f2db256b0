#include "core/subsys/ShrineSystem/ShrineSystem.h"

#include "core/App.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/input/Input.h"
#include "core/subsys/ShrineSystem/ShrineReach.h"
#include "core/subsys/sharedData/ShrineRecords.h"

namespace ztengine {

ShrineSystem::ShrineSystem(App* app) : Subsystem(app)
{
    m_shrines = app->GetSharedData<ShrineContainer>("ShrineContainer");
}

void ShrineSystem::Init()
{
    m_textManager = &m_graphics2D->GetTextManager();
    m_font = m_textManager->LoadFont("fonts/arial.ttf");
    m_prompt = m_textManager->CreateText("Press 'E' to access shop", m_font);
    m_textManager->SetTextPosition(m_prompt, ztmath::Vector2(380.0f, 650.0f));
    m_textManager->SetTextColor(m_prompt, ztmath::Vector3(1.0f, 1.0f, 1.0f), 1.0f);
    m_textManager->SetTextVisible(m_prompt, false);
    m_promptShown = nullptr;
    m_promptVisible = 0;
    m_walk.ListenForJumps(m_app->m_messagingSystem);
}

void ShrineSystem::ShowPrompt(bool visible)
{
    if (m_promptVisible == static_cast<int>(visible))
        return;
    m_promptVisible = visible ? 1 : 0;
    m_textManager->SetTextVisible(m_prompt, visible);
}

bool ShrineSystem::AnyShrineInReach()
{
    const ztmath::Vector3 forward = m_graphics->GetCameraBasis().forward;
    for (const ShopShrine& shrine : m_shrines->m_shrines) {
        if (ShrineInReach(shrine.m_position, shrine.m_radius, m_walk, forward))
            return true;
    }
    return false;
}

void ShrineSystem::Update(float)
{
    const char* prompt = m_input->IsJoystickPresent(0) ? "Press 'X' to access shop" : "Press 'E' to access shop";
    if (prompt != m_promptShown) {
        m_promptShown = prompt;
        m_textManager->SetText(m_prompt, prompt);
    }
    m_walk.MoveTo(m_graphics->GetCameraPosition());
    const bool inReach = AnyShrineInReach();
    if (inReach && (m_input->IsKeyReleased(kOpenKey) || m_input->IsJoystickButtonReleased(0, kOpenPadButton))) {
        ShowPrompt(false);
        m_app->ChangeState(kShopState);
        return;
    }
    ShowPrompt(inReach);
}

void ShrineSystem::SetToCurrentState()
{
    // Play resumes wherever the camera is handed over: a jump, not a walk.
    m_walk.Jump();
}

void ShrineSystem::NextState(int)
{
    if (m_textManager != nullptr)
        ShowPrompt(false);
}

}  // namespace ztengine
