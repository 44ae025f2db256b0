// The lose screen and the credits screen.
#include "core/subsys/Menus/EndScreens.h"

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/Menus/MenuCommon.h"
#include "core/subsys/sharedData/FeedbackRecords.h"

namespace ztengine {

// ---- LostSystem ----

LostSystem::LostSystem(App* app)
    : Subsystem(app),
      m_buttonPositions{{0.0f, -55.0f}, {0.0f, -175.0f}},
      m_statusFlags(app->GetSharedData<StatusFlags>("StatusFlags"))
{
}

void LostSystem::Init()
{
    Graphics2D& graphics = *m_graphics2D;
    m_logoElement = MakeMenuElement(graphics, "textures/2d/Logo.png", {0.0f, 200.0f}, {720.0f, 400.0f}, 0);
    m_restartElement = MakeMenuButton(graphics, "textures/2d/PauseMenu_RestartIdle.png", {0.0f, -55.0f},
                                      {282.0f, 70.0f}, 0, [this]() { Restart(); });
    m_quitElement =
        MakeMenuButton(graphics, "textures/2d/PauseMenu_QuitIdle.png", {0.0f, -175.0f}, {326.0f, 70.0f}, 0,
                       [this]() { m_app->ChangeState("QUITGAMECONFIRMATION_STATE"); });
    m_gameOverElement = MakeMenuElement(graphics, "textures/2d/Game_Over.png", {0.0f, 50.0f}, {376.0f, 67.0f}, 0);

    if (SoundSystem* sound = m_app->GetSoundSystem()) {
        m_loseSound = sound->CreateSoundInstance(sound->LoadSound("Lose.wav"));
        if (sound->IsValidInstance(m_loseSound))
            sound->SetInstanceVolume(m_loseSound, kLoseVolume);
    }
}

void LostSystem::SetToCurrentState()
{
    m_blur.Begin(*m_graphics);
    if (SoundSystem* sound = m_app->GetSoundSystem(); sound != nullptr && sound->IsValidInstance(m_loseSound)) {
        sound->SetInstancePosition(m_loseSound, m_graphics->GetCameraPosition());
        sound->PlayInstance(m_loseSound);
    }
    Gui::Instance().SetEnabled(false);
    ShowMenuElement(m_logoElement, false);
    ShowMenuElement(m_gameOverElement, false);
    ShowMenuElement(m_restartElement, true);
    ShowMenuElement(m_quitElement, true);
    m_app->m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
}

void LostSystem::Update(float)
{
    NavigateButtonList(*m_app, *m_input, m_buttonPositions, m_selected);
}

void LostSystem::Restart()
{
    m_app->m_messagingSystem.SendEventByName("EVENT_RESTART", IEvent());
    m_app->ChangeState("CINEMATIC_INTRO_STATE");
}

void LostSystem::NextState(int)
{
    m_input->SetCursorEnabled(false);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
    m_blur.End(*m_graphics);
    for (int32_t element : {m_logoElement, m_restartElement, m_quitElement, m_gameOverElement})
        HideMenuElement(element);
}

// ---- CreditsSystem ----

namespace {

const ztmath::Vector2 kCreditsBack{400.0f, -300.0f};

}  // namespace

CreditsSystem::CreditsSystem(App* app) : Subsystem(app) {}

void CreditsSystem::Init()
{
    Graphics2D& graphics = *m_graphics2D;
    // Sprites of one layer draw in the order they were made: the title goes on after the
    // full-window picture, or the picture would cover it.
    m_creditsPicture =
        graphics.CreateSprite(graphics.LoadTexture("textures/2d/Credits.png"), {0.0f, 0.0f}, {1280.0f, 800.0f}, 0);
    m_title = graphics.CreateSprite(graphics.LoadTexture("textures/2d/MainMenu_CreditsSelected.png"), {0.0f, 300.0f},
                                    {257.0f, 70.0f}, 0);
    m_backSelected = graphics.CreateSprite(graphics.LoadTexture("textures/2d/Credits_BackSelected.png"), kCreditsBack,
                                           {182.0f, 84.0f}, 0);
    m_backIdle = graphics.CreateSprite(graphics.LoadTexture("textures/2d/Credits_BackIdle.png"), kCreditsBack,
                                       {152.0f, 70.0f}, 0);
    for (SpriteHandle* sprite : {&m_title, &m_creditsPicture, &m_backSelected, &m_backIdle})
        sprite->SetVisible(false);
    m_padSelected = 0;
    Gui::Instance().SetEnabled(false);
}

void CreditsSystem::SetToCurrentState()
{
    m_app->m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
}

void CreditsSystem::Update(float)
{
    m_title.SetVisible(true);
    m_creditsPicture.SetVisible(true);
    Input& input = *m_input;
    if (input.IsJoystickPresent(0) && menu::PadHatReleased(input))
        SnapCursorTo(*m_app, input, kCreditsBack);
    if (menu::BackRequested(input)) {
        m_app->ChangeState("MAIN_MENU_STATE");
        return;
    }
    const bool confirm = input.IsJoystickButtonReleased(0, menu::kPadConfirm);
    if (IsCursorOverSprite(*m_app, input, m_backIdle)) {
        m_backIdle.SetVisible(false);
        m_backSelected.SetVisible(true);
        if (input.IsMouseButtonReleased(0) || confirm) {
            m_app->ChangeState("MAIN_MENU_STATE");
            return;
        }
    } else {
        m_backSelected.SetVisible(false);
        m_backIdle.SetVisible(true);
    }
    if (input.IsJoystickButtonReleased(0, menu::kPadUp) || input.IsJoystickButtonReleased(0, menu::kPadDown))
        m_padSelected = 1;
    if (m_padSelected == 1) {
        m_backIdle.SetVisible(false);
        m_backSelected.SetVisible(true);
        if (confirm)
            m_app->ChangeState("MAIN_MENU_STATE");
    }
    // The credits page is opaque and fills the window: the world behind it need not be drawn.
    if (m_graphics2D->CoversWindow(m_creditsPicture))
        m_graphics->CoverFrame();
}

void CreditsSystem::NextState(int)
{
    m_input->SetCursorEnabled(false);
    for (SpriteHandle* sprite : {&m_title, &m_creditsPicture, &m_backSelected, &m_backIdle})
        sprite->SetVisible(false);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
}

}  // namespace ztengine
