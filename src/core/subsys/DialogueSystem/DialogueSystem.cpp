#include "core/subsys/DialogueSystem/DialogueSystem.h"

#include "core/App.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/math/Vector2.h"
#include "core/subsys/sharedData/FeedbackRecords.h"

namespace ztengine {

DialogueSystem::DialogueSystem(App* app)
    : Subsystem(app),
      m_messaging(&app->m_messagingSystem),
      m_controller(app->GetSharedData<DialogueController>("DialogueController")),
      m_textManager(&app->GetGraphics2D()->GetTextManager())
{
}

void DialogueSystem::Init()
{
    const Texture2DHandle texture = m_graphics2D->LoadTexture(kBoxTexture);
    // The box sits on the bottom of a window of the configured height; the text's own
    // coordinates already start from the bottom edge.
    const float boxY = -0.375f * static_cast<float>(m_app->m_windowInfo.windowHeight);
    m_box = m_graphics2D->CreateSprite(texture, ztmath::Vector2(0.0f, boxY),
                                       ztmath::Vector2(kBoxWidth, kBoxHeight), kBoxLayer);
    m_box.SetAlpha(0.0f);
    m_box.SetVisible(true);

    m_fontIndex = m_textManager->LoadFont(kFont);
    m_textIndex = m_textManager->CreateText("Dis is dummi taxt", m_fontIndex);
}

void DialogueSystem::Update(float dt)
{
    DialogueController& line = *m_controller;
    if (!line.m_active) {
        m_textManager->SetTextVisible(m_textIndex, false);
        return;
    }

    // The time left doubles as the alpha: opaque until the last second, then a linear fade.
    m_box.SetAlpha(line.m_timeLeft);
    m_box.SetVisible(true);
    if (line.m_timeLeft > 0.0f) {
        line.m_timeLeft -= dt;
    } else {
        line.m_timeLeft = 0.0f;
        line.m_active = false;
    }

    m_textManager->SetText(m_textIndex, line.m_line);
    m_textManager->SetTextVisible(m_textIndex, true);
    m_textManager->SetTextPosition(m_textIndex, ztmath::Vector2(kTextX, kTextY));
    m_textManager->SetTextColor(m_textIndex, line.m_color, line.m_timeLeft);
}

void DialogueSystem::NextState(int)
{
    if (m_box.IsValid())
        m_box.SetVisible(false);
    m_textManager->SetTextVisible(m_textIndex, false);
}

}  // namespace ztengine
