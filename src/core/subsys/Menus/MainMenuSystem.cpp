// The main menu and its turning camera.
#include "core/subsys/Menus/MainMenuSystem.h"

#include <numbers>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/math/Basis.h"
#include "core/math/Quaternion.h"
#include "core/subsys/Menus/MenuCommon.h"

namespace ztengine {

namespace {

constexpr const char* kPath = "AUTO";

const ztmath::Vector3 kLightPositions[] = {
    {500.0f, 550.0f, 700.0f},
    {300.0f, 550.0f, 300.0f},
    {700.0f, 550.0f, 300.0f},
};

}  // namespace

MainMenuSystem::MainMenuSystem(App* app)
    : Subsystem(app), m_buttonPositions{{-500.0f, -25.0f}, {-430.0f, -100.0f}, {-442.0f, -175.0f}, {-490.0f, -250.0f}}
{
}

void MainMenuSystem::Init()
{
    Graphics2D& graphics = *m_graphics2D;
    m_logoElement = MakeMenuElement(graphics, "textures/2d/Logo.png", {-350.0f, 200.0f}, {576.0f, 320.0f}, 0);
    m_playElement = MakeMenuButton(graphics, "textures/2d/MainMenu_PlayIdle.png", {-500.0f, -25.0f}, {140.0f, 70.0f},
                                   0, [this]() { Play(); });
    m_settingsElement = MakeMenuButton(graphics, "textures/2d/MainMenu_SettingsIdle.png", {-430.0f, -100.0f},
                                       {280.0f, 70.0f}, 0, [this]() { m_app->ChangeState("SETTINGS_STATE"); });
    m_creditsElement = MakeMenuButton(graphics, "textures/2d/MainMenu_CreditsIdle.png", {-442.0f, -175.0f},
                                      {257.0f, 70.0f}, 0, [this]() { m_app->ChangeState("CREDITS_STATE"); });
    m_exitElement =
        MakeMenuButton(graphics, "textures/2d/MainMenu_ExitIdle.png", {-490.0f, -250.0f}, {152.0f, 70.0f}, 0,
                       [this]() { m_app->ChangeState("QUITGAMECONFIRMATION_STATE"); });

    m_cameraPath.AddSequence(kPath, true);
    const float quarter = std::numbers::pi_v<float> / 2.0f;
    for (int key = 0; key < 4; ++key) {
        AnimationTransform transform;
        transform.position = ztmath::Vector3(kCameraX, kCameraY, kCameraZ);
        transform.scale = ztmath::Vector3(1.0f, 1.0f, 1.0f);
        transform.holdTime = 0.0f;
        transform.blendTime = kQuarterTurnSeconds;
        transform.rotation.SetFromAxisAngle(-quarter * static_cast<float>(key), ztmath::Vector3(0.0f, 1.0f, 0.0f));
        m_cameraPath.AddTransform(kPath, transform);
    }

    // The lights themselves are put in on every entry (the list is emptied on leaving); adding
    // them here as well would light the first visit twice as brightly as the later ones.
    m_graphics->m_directionalLightEnabled = true;
    m_graphics->m_ssaoEnabled = false;

    m_cameraPath.Play(kPath);
    m_cameraPath.m_paused = false;
    Gui::Instance().SetEnabled(false);
}

void MainMenuSystem::SetToCurrentState()
{
    MessagingSystem& messaging = m_app->m_messagingSystem;
    messaging.SendEventByName("PLAY_DREV_SFX_GRELVOK_VOSK_DUNGEON", IEvent());
    messaging.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
    messaging.SendEventByName("PLAY_MAIN_BGM", IEvent());

    m_graphics->m_directionalLightEnabled = false;
    m_graphics->m_simpleLighting = false;
    // Ambient occlusion is off behind the menu only: the player's own choice comes back on leaving.
    m_savedSSAO = m_graphics->m_ssaoEnabled;
    m_graphics->m_ssaoEnabled = false;

    ShowMenuElement(m_logoElement, false);
    for (int32_t button : {m_playElement, m_settingsElement, m_creditsElement, m_exitElement})
        ShowMenuElement(button, true);
    AddMenuLights();
}

void MainMenuSystem::AddMenuLights()
{
    for (const ztmath::Vector3& position : kLightPositions)
        m_graphics->AddPointLight(position, ztmath::Vector3(1.0f, 1.0f, 1.0f), 150.0f, 1.0f);
}

void MainMenuSystem::Update(float dt)
{
    NavigateButtonList(*m_app, *m_input, m_buttonPositions, m_selected);
    if (m_input->IsKeyReleased(menu::kEscapeKey))
        m_app->Quit();

    m_cameraPath.Update(dt);
    ztmath::Vector3 scale;
    ztmath::Quaternion rotation;
    ztmath::Vector3 position;
    m_cameraPath.GetTransform(scale, rotation, position);
    m_graphics->SetCameraPosition(position);
    ztmath::Basis basis = ztmath::Basis().RotateLocal(rotation);
    basis.RemoveRoll();
    m_graphics->SetCameraBasis(basis);
}

void MainMenuSystem::NextState(int)
{
    m_input->SetCursorEnabled(false);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
    for (int32_t element : {m_logoElement, m_playElement, m_settingsElement, m_creditsElement, m_exitElement})
        HideMenuElement(element);
    m_graphics->m_directionalLightEnabled = false;
    m_graphics->m_pointLights.clear();
    m_graphics->m_ssaoEnabled = m_savedSSAO;
}

void MainMenuSystem::Play()
{
    m_app->ChangeState("CINEMATIC_INTRO_STATE");
    m_app->m_messagingSystem.SendEventByName("ENTER_OVERWORLD", IEvent());
}

}  // namespace ztengine
