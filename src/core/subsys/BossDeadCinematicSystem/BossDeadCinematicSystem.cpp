#include "core/subsys/BossDeadCinematicSystem/BossDeadCinematicSystem.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/input/Input.h"
#include "core/math/Basis.h"
#include "core/math/Vector2.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/GameStats.h"

namespace ztengine {

namespace {

constexpr int kPadFastForwardButton = 4;
constexpr float kRemarkTime = 3.0f;
constexpr float kBossLookHeight = 20.0f;

}  // namespace

BossDeadCinematicSystem::BossDeadCinematicSystem(App* app)
    : Subsystem(app),
      m_messaging(&app->m_messagingSystem),
      m_dialogue(app->GetSharedData<DialogueController>("DialogueController")),
      m_textManager(&app->GetGraphics2D()->GetTextManager())
{
}

void BossDeadCinematicSystem::Init()
{
    const auto width = static_cast<float>(m_app->m_windowInfo.windowWidth);
    const auto height = static_cast<float>(m_app->m_windowInfo.windowHeight);

    m_whiteScreen = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture("textures/2d/white_screen.png"),
                                               ztmath::Vector2(0.0f, 0.0f), ztmath::Vector2(width, height), 0);
    m_whiteScreen.SetAlpha(0.0f);
    m_whiteScreen.SetVisible(true);

    m_thanks = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture("textures/2d/End_Thanks.PNG"),
                                          ztmath::Vector2(0.0f, 0.0f), ztmath::Vector2(600.0f, 150.0f), 1);
    m_thanks.SetAlpha(0.0f);
    m_thanks.SetVisible(true);

    m_credits = m_graphics2D->CreateSprite(m_graphics2D->LoadTexture("textures/2d/Credits_scroll.PNG"),
                                           ztmath::Vector2(0.0f, kCreditsStart), ztmath::Vector2(400.0f, 2000.0f), 2);
    m_credits.SetAlpha(1.0f);
    // Hidden until the credits roll: the 2D layer draws in every state, and on a window taller
    // than 1000 pixels the top of the waiting picture would show at the bottom of every screen.
    m_credits.SetVisible(false);

    const ztmath::Vector3 camera = m_graphics->GetCameraPosition();
    const ztmath::Vector3 boss =
        m_app->GetSharedData<BossSystemQueue>("BossSystemQueue")->m_bossPosition + ztmath::Vector3(0.0f, kBossLookHeight, 0.0f);
    if ((boss - camera).Length() > 0.0f)
        m_graphics->GetCameraBasis().SetForward((boss - camera).Normalized());

    m_whiteDone = false;
    m_creditsRunning = false;
    m_whiteTimer = 0.0f;
    m_thanksAlpha = 0.0f;
    m_thanksSpeed = 1.0f;
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) { Reset(); });

    m_fontIndex = m_textManager->LoadFont("fonts/calibrib.ttf");
    m_hintText = m_textManager->CreateText("Press Jump key to fast forward", m_fontIndex);
    m_textManager->SetTextPosition(m_hintText, ztmath::Vector2(0.75f * width, 10.0f));
    if (TextEntry* hint = m_textManager->GetTextEntry(m_hintText))
        hint->scale = ztmath::Vector2(0.5f, 0.5f);
    m_textManager->SetTextColor(m_hintText, ztmath::Vector3(0.0f, 0.0f, 0.0f), 1.0f);
    m_textManager->SetTextVisible(m_hintText, false);
}

void BossDeadCinematicSystem::SetToCurrentState()
{
    m_messaging->SendEventByName("PLAY_DREV_SFX_GO_BACK_LIAO_AH", IEvent());
    m_dialogue->Show(kRemarkTime, "Wah wah wah what's this? Go back liao ah?", ztmath::Vector3(0.0f, 0.0f, 0.0f));
}

void BossDeadCinematicSystem::NextState(int)
{
    for (SpriteHandle* sprite : {&m_whiteScreen, &m_thanks, &m_credits}) {
        if (!sprite->IsValid())
            continue;
        sprite->SetAlpha(0.0f);
        sprite->SetVisible(false);
    }
    // The hint belongs to the credits; it must not stay over the statistics screen.
    m_textManager->SetTextVisible(m_hintText, false);
}

void BossDeadCinematicSystem::Reset()
{
    m_whiteDone = false;
    m_creditsRunning = false;
    m_whiteTimer = 0.0f;
    m_thanksAlpha = 0.0f;
    m_thanksSpeed = 1.0f;
    if (m_credits.IsValid()) {
        m_credits.SetPosition(0.0f, kCreditsStart);
        m_credits.SetAlpha(1.0f);
        m_credits.SetVisible(false);
    }
    for (SpriteHandle* sprite : {&m_thanks, &m_whiteScreen}) {
        if (!sprite->IsValid())
            continue;
        sprite->SetPosition(0.0f, 0.0f);
        sprite->SetAlpha(0.0f);
        sprite->SetVisible(true);
    }
    m_textManager->SetTextVisible(m_hintText, false);
}

bool BossDeadCinematicSystem::FastForwardHeld()
{
    return m_input->IsKeyHeld(GLFW_KEY_SPACE) || m_input->IsJoystickButtonHeld(0, kPadFastForwardButton);
}

void BossDeadCinematicSystem::UpdateWhiteFade(float dt)
{
    m_graphics->PitchCamera(-kFadeRate * dt);
    m_whiteTimer -= kFadeRate * dt;
    m_whiteScreen.SetAlpha(m_whiteTimer / kFadeEnd);
    if (m_whiteTimer < kFadeEnd) {
        m_whiteTimer = 0.0f;
        m_whiteDone = true;
    }
}

void BossDeadCinematicSystem::UpdateThanks(float dt)
{
    if (m_thanksAlpha >= 0.0f) {
        // Alphas above 1 draw opaque: the climb to 2 and back is the picture's time on screen.
        m_thanks.SetAlpha(m_thanksAlpha);
        m_thanksAlpha += m_thanksSpeed * dt;
        if (m_thanksAlpha >= kThanksPeak)
            m_thanksSpeed = -m_thanksSpeed;
        return;
    }
    m_whiteDone = false;
    m_creditsRunning = true;
    m_thanksAlpha = 0.0f;
    m_credits.SetVisible(true);
}

void BossDeadCinematicSystem::UpdateCredits(float dt)
{
    ztmath::Vector2& position = m_credits.GetPosition();
    float y = position.y;
    if (y >= kCreditsEnd) {
        m_creditsRunning = false;
        m_app->GetSharedData<ztgame::GameStats>("GameStats")->m_gameWon = true;
        m_app->ChangeState("END_GAME_STATE");
        return;
    }
    y += (FastForwardHeld() ? kCreditsFastSpeed : kCreditsSpeed) * dt;
    m_credits.SetPosition(position.x, y);
    if (y >= kHintFrom)
        m_textManager->SetTextVisible(m_hintText, true);
}

void BossDeadCinematicSystem::Update(float dt)
{
    // Each phase hands over to the next within the same frame.
    if (!m_whiteDone && !m_creditsRunning)
        UpdateWhiteFade(dt);
    if (m_whiteDone)
        UpdateThanks(dt);
    if (m_creditsRunning)
        UpdateCredits(dt);
}

}  // namespace ztengine
