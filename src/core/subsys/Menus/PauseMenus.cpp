// The pause menu, the controls page and the quit confirmation.
#include "core/subsys/Menus/PauseMenus.h"

#include <cstdio>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/Menus/MenuCommon.h"

namespace ztengine {

void MenuBlur::Begin(Graphics3D& graphics)
{
    m_savedFocalRange = graphics.GetDOFFocalRange();
    m_savedFocalPercent = graphics.GetDOFFocalPercent();
    graphics.SetDOFFocalRange(menu::kBlurFocalRange);
    graphics.SetDOFFocalPercent(menu::kBlurFocalPercent);
}

void MenuBlur::End(Graphics3D& graphics)
{
    graphics.SetDOFFocalRange(m_savedFocalRange);
    graphics.SetDOFFocalPercent(m_savedFocalPercent);
}

// ---- PauseMenuSystem ----

PauseMenuSystem::PauseMenuSystem(App* app)
    : Subsystem(app), m_buttonPositions{{0.0f, 200.0f}, {0.0f, 100.0f}, {0.0f, 0.0f}, {0.0f, -100.0f}, {0.0f, -200.0f}}
{
}

void PauseMenuSystem::Init()
{
    Graphics2D& graphics = *m_graphics2D;
    m_titleElement = MakeMenuElement(graphics, "textures/2d/PauseMenu_Paused.png", {0.0f, 300.0f}, {300.0f, 100.0f}, 5);
    m_resumeElement = MakeMenuButton(graphics, "textures/2d/PauseMenu_ResumeIdle.png", {0.0f, 200.0f},
                                     {270.0f, 50.0f}, 4, [this]() { ResumeGame(); });
    m_restartElement = MakeMenuButton(graphics, "textures/2d/PauseMenu_RestartIdle.png", {0.0f, 100.0f},
                                      {200.0f, 50.0f}, 4, [this]() { Restart(); });
    m_settingsElement = MakeMenuButton(graphics, "textures/2d/PauseMenu_SettingsIdle.png", {0.0f, 0.0f},
                                       {200.0f, 50.0f}, 4, [this]() { m_app->ChangeState("SETTINGS_STATE"); });
    m_howToPlayElement = MakeMenuButton(graphics, "textures/2d/PauseMenu_HowToPlayIdle.png", {0.0f, -100.0f},
                                        {250.0f, 50.0f}, 4, [this]() { m_app->ChangeState("HOWTOPLAY_STATE"); });
    m_quitElement =
        MakeMenuButton(graphics, "textures/2d/PauseMenu_QuitIdle.png", {0.0f, -200.0f}, {200.0f, 50.0f}, 4,
                       [this]() { m_app->ChangeState("QUITGAMECONFIRMATION_STATE"); });
}

void PauseMenuSystem::SetToCurrentState()
{
    std::printf("pause game\n");
    std::fflush(stdout);
    m_blur.Begin(*m_graphics);
    Gui::Instance().SetEnabled(false);
    SetSoundPaused(true);
    m_app->m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
    ShowMenuElement(m_titleElement, false);
    for (int32_t button : {m_resumeElement, m_restartElement, m_settingsElement, m_howToPlayElement, m_quitElement})
        ShowMenuElement(button, true);
}

void PauseMenuSystem::Update(float)
{
    if (menu::BackRequested(*m_input))
        ResumeGame();
    else
        NavigateButtonList(*m_app, *m_input, m_buttonPositions, m_selected);
}

void PauseMenuSystem::ResumeGame()
{
    std::printf("resume game\n");
    std::fflush(stdout);
    SetSoundPaused(false);
    m_app->ChangeState("GAMEPLAY_STATE");
}

void PauseMenuSystem::Restart()
{
    SetSoundPaused(false);
    m_app->m_messagingSystem.SendEventByName("EVENT_RESTART", IEvent());
    m_app->ChangeState("CINEMATIC_INTRO_STATE");
}

void PauseMenuSystem::SetSoundPaused(bool paused)
{
    if (SoundSystem* sound = m_app->GetSoundSystem()) {
        sound->SetMusicPaused(paused);
        sound->SetEffectsPaused(paused);
    }
}

void PauseMenuSystem::NextState(int)
{
    m_blur.End(*m_graphics);
    m_input->SetCursorEnabled(false);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
    for (int32_t element :
         {m_titleElement, m_resumeElement, m_restartElement, m_settingsElement, m_howToPlayElement, m_quitElement})
        HideMenuElement(element);
}

// ---- HowToPlaySystem ----

namespace {

const ztmath::Vector2 kHowToPlayBack{-230.0f, -300.0f};

}  // namespace

HowToPlaySystem::HowToPlaySystem(App* app) : Subsystem(app) {}

void HowToPlaySystem::Init()
{
    Graphics2D& graphics = *m_graphics2D;
    m_picture = graphics.CreateSprite(graphics.LoadTexture("textures/2d/How_To_Play.png"), {0.0f, 0.0f},
                                      {700.0f, 700.0f}, 5);
    m_backIdle = graphics.CreateSprite(graphics.LoadTexture("textures/2d/Credits_BackIdle.png"), kHowToPlayBack,
                                       {150.0f, 50.0f}, 6);
    m_backSelected = graphics.CreateSprite(graphics.LoadTexture("textures/2d/Credits_BackSelected.png"),
                                           kHowToPlayBack, {150.0f, 50.0f}, 6);
    for (SpriteHandle* sprite : {&m_picture, &m_backIdle, &m_backSelected})
        sprite->SetVisible(false);
}

void HowToPlaySystem::SetToCurrentState()
{
    m_picture.SetVisible(true);
    m_backIdle.SetVisible(true);
    m_backSelected.SetVisible(false);
    m_app->m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
}

void HowToPlaySystem::Update(float)
{
    if (m_input->IsJoystickPresent(0) && menu::PadHatReleased(*m_input))
        SnapCursorTo(*m_app, *m_input, kHowToPlayBack);
    const bool overBack = IsCursorOverSprite(*m_app, *m_input, m_backIdle);
    m_backIdle.SetVisible(!overBack);
    m_backSelected.SetVisible(overBack);
    if (menu::BackRequested(*m_input) ||
        (overBack && (m_input->IsMouseButtonReleased(0) || m_input->IsJoystickButtonReleased(0, menu::kPadConfirm))))
        m_app->ChangeState("PAUSE_MENU_STATE");
}

void HowToPlaySystem::NextState(int)
{
    for (SpriteHandle* sprite : {&m_picture, &m_backIdle, &m_backSelected})
        sprite->SetVisible(false);
    m_input->SetCursorEnabled(false);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
}

// ---- QuitGameConfirmation ----

QuitGameConfirmation::QuitGameConfirmation(App* app)
    : Subsystem(app), m_buttonPositions{{-350.0f, -50.0f}, {350.0f, -50.0f}}
{
}

void QuitGameConfirmation::Init()
{
    Graphics2D& graphics = *m_graphics2D;
    m_titleElement =
        MakeMenuElement(graphics, "textures/2d/PauseMenu_QuitSelected.png", {0.0f, 250.0f}, {550.0f, 150.0f}, 5);
    m_confirmElement = MakeMenuButton(graphics, "textures/2d/Settings_ConfirmIdle.png", {-350.0f, -50.0f},
                                      {300.0f, 100.0f}, 5, [this]() { m_app->Quit(); });
    m_cancelElement = MakeMenuButton(graphics, "textures/2d/Settings_CancelIdle.png", {350.0f, -50.0f},
                                     {320.0f, 100.0f}, 5, [this]() { m_app->ChangeToPreviousState(); });
}

void QuitGameConfirmation::SetToCurrentState()
{
    ShowMenuElement(m_titleElement, false);
    ShowMenuElement(m_confirmElement, true);
    ShowMenuElement(m_cancelElement, true);
    m_blur.Begin(*m_graphics);
    m_app->m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
}

void QuitGameConfirmation::Update(float)
{
    if (m_input->IsJoystickPresent(0)) {
        const bool right = m_input->IsJoystickButtonReleased(0, menu::kPadRight);
        const bool left = m_input->IsJoystickButtonReleased(0, menu::kPadLeft);
        if (right) {
            if (m_selected + 1 < 2)
                ++m_selected;
        } else if (left) {
            if (m_selected >= 1)
                --m_selected;
        }
        if (right || left || m_input->IsJoystickButtonReleased(0, menu::kPadUp) ||
            m_input->IsJoystickButtonReleased(0, menu::kPadDown))
            SnapCursorTo(*m_app, *m_input, m_buttonPositions[static_cast<size_t>(m_selected)]);
    }
    // Backing out is a Cancel: going to the main menu instead would leave a paused game's sound
    // paused and its run half alive behind the next Play.
    if (menu::BackRequested(*m_input))
        m_app->ChangeToPreviousState();
}

void QuitGameConfirmation::NextState(int)
{
    m_blur.End(*m_graphics);
    m_input->SetCursorEnabled(false);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
    for (int32_t element : {m_titleElement, m_confirmElement, m_cancelElement})
        HideMenuElement(element);
}

}  // namespace ztengine
