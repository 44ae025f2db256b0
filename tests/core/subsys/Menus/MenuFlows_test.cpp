// The menu screens in the game without a window, after loading: where each button and Escape
// lead, the sound groups a pause leaves paused, the blur given back, the events sent, the
// settings that act at once and show which value is in force. Buttons are pressed by running
// their release action (the pass that finds the cursor over them is checked on screen).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/UI/UIElementManager.h"
#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/serialization/Params.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/Menus/EndScreens.h"
#include "core/subsys/Menus/MainMenuSystem.h"
#include "core/subsys/Menus/MenuCommon.h"
#include "core/subsys/Menus/PauseMenus.h"
#include "core/subsys/Menus/SettingsSystem.h"
#include "support/AppFixture.h"
#include "support/TestSupport.h"

namespace {

using ztengine::IEvent;
using ztengine::UIElementManager;
using ztengine::Win32App;
using ztmath::Vector3;

class MenuFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        zttest::AppFixtureOptions options;
        options.window = false;
        zttest::CaptureStdout([&] {
            game = std::make_unique<zttest::AppFixture>(options);
            // Everything the loading screen would load, then the late initialisation and its wave.
            while (App().HasPendingJobs())
                App().RunNextJob();
            game->RunFrames(1);
            while (App().HasPendingJobs())
                App().RunNextJob();
        });
        ASSERT_TRUE(game->Started());
        ASSERT_TRUE(App().AreJobsDone());
        UIElementManager::GetInstance().m_refInput = &App().GetGLFWInput();
        // Far from every button, so that no hover changes what a screen shows.
        game->MoveCursor(5000.0, 5000.0);
        game->RunFrames(1);
        mainMenu = game->FindSystem<ztengine::MainMenuSystem>();
        pause = game->FindSystem<ztengine::PauseMenuSystem>();
        quit = game->FindSystem<ztengine::QuitGameConfirmation>();
        lost = game->FindSystem<ztengine::LostSystem>();
        credits = game->FindSystem<ztengine::CreditsSystem>();
        settings = game->FindSystem<ztengine::SettingsSystem>();
        ASSERT_TRUE(mainMenu && pause && quit && lost && credits && settings);
        for (const char* name : {"PLAY_DREV_SFX_GRELVOK_VOSK_DUNGEON", "SHOW_CUSTOM_CURSOR", "PLAY_MAIN_BGM",
                                 "ENTER_OVERWORLD", "EVENT_RESTART", "HIDE_CUSTOM_CURSOR"})
            App().m_messagingSystem.RegisterHandler(name, [this, name](const IEvent&) {
                heard.push_back(std::string(name) + "@" + State());
            });
    }

    void TearDown() override
    {
        zttest::CaptureStdout([&] { game.reset(); });
    }

    Win32App& App() { return game->App(); }
    std::string State() { return App().GetStateName(App().GetCurrentState()); }
    ztengine::SoundSystem& Sound() { return *App().GetSoundSystem(); }
    ztengine::Graphics3D& Graphics() { return *App().GetGraphics3D(); }
    bool Visible(int32_t element)
    {
        const uint32_t sprite = ztengine::MenuElement(element).m_sprite.GetIndex();
        return App().GetGraphics2D()->GetSprites().at(sprite).visible;
    }
    // The button's action, as a release of mouse button 0 over it would run it.
    void Click(int32_t element)
    {
        ztengine::UIElement& button = ztengine::MenuElement(element);
        ASSERT_TRUE(button.m_active && button.m_clickable);
        button.m_onRelease(&button);
    }
    // Escape pressed in one frame and released in the next, which the screens see.
    void Escape()
    {
        game->PressKey(GLFW_KEY_ESCAPE);
        game->RunFrames(1);
        game->ReleaseKey(GLFW_KEY_ESCAPE);
        game->RunFrames(1);
    }
    // Only the events heard since the last call.
    std::vector<std::string> Heard()
    {
        std::vector<std::string> events;
        events.swap(heard);
        return events;
    }

    std::unique_ptr<zttest::AppFixture> game;
    ztengine::MainMenuSystem* mainMenu = nullptr;
    ztengine::PauseMenuSystem* pause = nullptr;
    ztengine::QuitGameConfirmation* quit = nullptr;
    ztengine::LostSystem* lost = nullptr;
    ztengine::CreditsSystem* credits = nullptr;
    ztengine::SettingsSystem* settings = nullptr;
    std::vector<std::string> heard;
};

TEST_F(MenuFlow, MainMenuButtonsLeadOutAndBack)
{
    // The menu switches the debug GUI off when it is made: a run starts without it.
    EXPECT_FALSE(ztengine::Gui::Instance().IsEnabled());
    Graphics().m_ssaoEnabled = true;
    App().ChangeState("MAIN_MENU_STATE");
    EXPECT_EQ(Heard(), (std::vector<std::string>{"PLAY_DREV_SFX_GRELVOK_VOSK_DUNGEON@MAIN_MENU_STATE",
                                                 "SHOW_CUSTOM_CURSOR@MAIN_MENU_STATE",
                                                 "PLAY_MAIN_BGM@MAIN_MENU_STATE"}));
    EXPECT_TRUE(Visible(mainMenu->m_logoElement));
    EXPECT_FALSE(Graphics().m_ssaoEnabled);
    EXPECT_FALSE(Graphics().m_directionalLightEnabled);
    // Three white lights, once each on the first visit as on every later one.
    ASSERT_EQ(Graphics().m_pointLights.size(), 3u);
    EXPECT_EQ(Graphics().m_pointLights[0].m_position, Vector3(500.0f, 550.0f, 700.0f));
    EXPECT_EQ(Graphics().m_pointLights[0].m_radius, 150.0f);

    // The view turns a quarter turn in 8 s about the point above the hub.
    game->RunFrames(480);
    EXPECT_EQ(Graphics().GetCameraPosition(), Vector3(500.0f, 600.0f, 500.0f));
    const Vector3 forward = Graphics().GetCameraBasis().forward;
    EXPECT_NEAR(std::fabs(forward.x), 1.0f, 0.02f);
    EXPECT_NEAR(forward.y, 0.0f, 1e-3f);
    EXPECT_NEAR(Graphics().GetCameraBasis().up.y, 1.0f, 1e-3f);

    struct Road {
        int32_t button;
        const char* state;
    };
    for (const Road& road : {Road{mainMenu->m_settingsElement, "SETTINGS_STATE"},
                             Road{mainMenu->m_creditsElement, "CREDITS_STATE"},
                             Road{mainMenu->m_exitElement, "QUITGAMECONFIRMATION_STATE"}}) {
        Click(road.button);
        EXPECT_EQ(State(), road.state);
        EXPECT_FALSE(ztengine::MenuElement(road.button).m_active);
        EXPECT_TRUE(Graphics().m_pointLights.empty());
        // The player's own SSAO choice is back while the menu is not shown.
        EXPECT_TRUE(Graphics().m_ssaoEnabled);
        game->RunFrames(1);
        Escape();
        EXPECT_EQ(State(), "MAIN_MENU_STATE") << road.state;
        EXPECT_EQ(Graphics().m_pointLights.size(), 3u);
    }
    EXPECT_FALSE(game->App().ShouldQuit());

    // Play: the state changes first, so the overworld hears of the hub in the intro.
    Heard();
    Click(mainMenu->m_playElement);
    EXPECT_EQ(State(), "CINEMATIC_INTRO_STATE");
    EXPECT_EQ(Heard(), (std::vector<std::string>{"HIDE_CUSTOM_CURSOR@MAIN_MENU_STATE",
                                                 "ENTER_OVERWORLD@CINEMATIC_INTRO_STATE"}));

    // Escape in the menu ends the program.
    App().ChangeState("MAIN_MENU_STATE");
    game->RunFrames(1);
    Escape();
    EXPECT_TRUE(App().ShouldQuit());
}

TEST_F(MenuFlow, PauseMenuPausesTheSoundUntilResumeOrRestart)
{
    ASSERT_NE(Sound().m_musicGroup, nullptr);
    ASSERT_NE(Sound().m_effectsGroup, nullptr);
    Graphics().SetDOFFocalRange(1000.0f);
    Graphics().SetDOFFocalPercent(0.1f);
    App().ChangeState("GAMEPLAY_STATE");
    auto paused = [&]() { return Sound().m_musicPaused && Sound().m_effectsPaused; };
    auto unpaused = [&]() { return !Sound().m_musicPaused && !Sound().m_effectsPaused; };
    auto focusGivenBack = [&]() {
        EXPECT_EQ(Graphics().GetDOFFocalRange(), 1000.0f);
        EXPECT_FLOAT_EQ(Graphics().GetDOFFocalPercent(), 0.1f);
    };

    std::string out = zttest::CaptureStdout([&] { App().ChangeState("PAUSE_MENU_STATE"); });
    EXPECT_EQ(out, "pause game\n");
    EXPECT_TRUE(paused());
    EXPECT_EQ(Graphics().GetDOFFocalRange(), 5000.0f);
    EXPECT_FLOAT_EQ(Graphics().GetDOFFocalPercent(), 0.97f);
    EXPECT_TRUE(Visible(pause->m_titleElement));

    // Settings, the controls page and the quit confirmation keep the game paused and lead back;
    // backing out of the confirmation returns to the pause menu too, not to the main menu.
    struct Road {
        int32_t button;
        const char* state;
    };
    for (const Road& road : {Road{pause->m_settingsElement, "SETTINGS_STATE"},
                             Road{pause->m_howToPlayElement, "HOWTOPLAY_STATE"},
                             Road{pause->m_quitElement, "QUITGAMECONFIRMATION_STATE"}}) {
        zttest::CaptureStdout([&] {
            Click(road.button);
            EXPECT_EQ(State(), road.state);
            EXPECT_TRUE(paused()) << road.state;
            game->RunFrames(1);
            Escape();
        });
        EXPECT_EQ(State(), "PAUSE_MENU_STATE") << road.state;
        EXPECT_TRUE(paused());
        EXPECT_EQ(Graphics().GetDOFFocalRange(), 5000.0f);
    }
    // Cancel in the confirmation goes back the same way.
    zttest::CaptureStdout([&] {
        Click(pause->m_quitElement);
        Click(quit->m_cancelElement);
    });
    EXPECT_EQ(State(), "PAUSE_MENU_STATE");

    out = zttest::CaptureStdout([&] { Escape(); });
    EXPECT_EQ(out, "resume game\n");
    EXPECT_EQ(State(), "GAMEPLAY_STATE");
    EXPECT_TRUE(unpaused());
    focusGivenBack();

    zttest::CaptureStdout([&] { App().ChangeState("PAUSE_MENU_STATE"); });
    Heard();
    Click(pause->m_restartElement);
    EXPECT_EQ(State(), "CINEMATIC_INTRO_STATE");
    EXPECT_TRUE(unpaused());
    const std::vector<std::string> events = Heard();
    EXPECT_EQ(std::count(events.begin(), events.end(), "EVENT_RESTART@PAUSE_MENU_STATE"), 1);
    focusGivenBack();

    // Losing and regaining the window's focus leaves the game paused in its menu.
    zttest::CaptureStdout([&] {
        App().ChangeState("PAUSE_MENU_STATE");
        App().HandleFocus(false);
        App().HandleFocus(true);
    });
    EXPECT_EQ(State(), "PAUSE_MENU_STATE");
    Click(pause->m_resumeElement);
    EXPECT_EQ(State(), "GAMEPLAY_STATE");
    EXPECT_TRUE(unpaused());
}

TEST_F(MenuFlow, LoseScreenRestartsOrAsksBeforeQuitting)
{
    Graphics().SetCameraPosition(Vector3(1.0f, 2.0f, 3.0f));
    ASSERT_TRUE(Sound().IsValidInstance(lost->m_loseSound));
    EXPECT_FLOAT_EQ(Sound().m_instances[static_cast<size_t>(lost->m_loseSound)].m_volume, 0.75f);
    App().ChangeState("LOSE_STATE");
    EXPECT_TRUE(Sound().IsPlaying(lost->m_loseSound));
    EXPECT_EQ(Sound().m_instances[static_cast<size_t>(lost->m_loseSound)].m_position, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(Graphics().GetDOFFocalRange(), 5000.0f);
    EXPECT_TRUE(Visible(lost->m_gameOverElement));

    // No Escape action here.
    game->RunFrames(1);
    Escape();
    EXPECT_EQ(State(), "LOSE_STATE");

    Click(lost->m_quitElement);
    EXPECT_EQ(State(), "QUITGAMECONFIRMATION_STATE");
    game->RunFrames(1);
    Escape();
    EXPECT_EQ(State(), "LOSE_STATE");

    Heard();
    Click(lost->m_restartElement);
    EXPECT_EQ(State(), "CINEMATIC_INTRO_STATE");
    const std::vector<std::string> events = Heard();
    EXPECT_EQ(std::count(events.begin(), events.end(), "EVENT_RESTART@LOSE_STATE"), 1);

    // Confirm ends the program.
    App().ChangeState("LOSE_STATE");
    Click(lost->m_quitElement);
    Click(quit->m_confirmElement);
    EXPECT_TRUE(App().ShouldQuit());
}

// Which option of each row shows selected, for renderer, window and sound values.
TEST_F(MenuFlow, SettingsShowTheValueInForceAndChangeItAtOnce)
{
    App().ChangeState("MAIN_MENU_STATE");
    Click(mainMenu->m_settingsElement);
    ASSERT_EQ(State(), "SETTINGS_STATE");
    EXPECT_TRUE(Visible(settings->m_titleElement));
    EXPECT_TRUE(ztengine::MenuElement(settings->m_backElement).m_clickable);

    const auto& options = settings->GetOptions();
    ASSERT_EQ(options.size(), 18u);
    // The options of `row` that show selected after one pass of the menu elements.
    auto selected = [&](int32_t row) {
        UIElementManager::GetInstance().Update();
        std::vector<std::string> names;
        for (const auto& option : options)
            if (option.row == row && Visible(option.selectedElement)) {
                EXPECT_FALSE(Visible(option.idleElement));
                names.push_back(option.name);
            }
        return names;
    };
    using Names = std::vector<std::string>;
    struct SSAOCase {
        bool on;
        float strength;
        Names shown;
    };
    for (const SSAOCase& c : {SSAOCase{true, 1.5f, {"Low"}}, SSAOCase{true, 3.0f, {"Low"}}, SSAOCase{true, 4.0f, {"Med"}},
                              SSAOCase{true, 7.5f, {"High"}}, SSAOCase{true, 12.0f, {}}, SSAOCase{false, 5.0f, {"Off"}}}) {
        Graphics().m_ssaoEnabled = c.on;
        Graphics().m_ssaoStrength = c.strength;
        EXPECT_EQ(selected(0), c.shown) << c.strength;
    }
    // Motion blur shows Yes only while it is drawn: its switch on and a scale of 0.1 or more.
    struct BlurCase {
        bool on;
        float scale;
        Names shown;
    };
    for (const BlurCase& c : {BlurCase{true, 0.1f, {"Yes"}}, BlurCase{true, 0.09f, {"No"}},
                              BlurCase{false, 0.75f, {"No"}}, BlurCase{true, 0.0f, {"No"}}}) {
        Graphics().EnableMotionBlur(c.on);
        Graphics().SetMotionBlurScale(c.scale);
        EXPECT_EQ(selected(1), c.shown) << c.on << " " << c.scale;
    }

    auto choose = [&](int32_t row, const char* name) {
        const int index = settings->FindOption(row, name);
        ASSERT_GE(index, 0);
        Click(options[static_cast<size_t>(index)].idleElement);
        EXPECT_EQ(selected(row), Names{name}) << row;
    };
    choose(0, "Med");
    EXPECT_TRUE(Graphics().m_ssaoEnabled);
    EXPECT_EQ(Graphics().m_ssaoStrength, 6.0f);
    choose(0, "Off");
    EXPECT_FALSE(Graphics().m_ssaoEnabled);
    choose(0, "High");
    EXPECT_EQ(Graphics().m_ssaoStrength, 9.0f);
    // Each choice sets both the blur's switch and its scale, from either state they were in.
    Graphics().EnableMotionBlur(false);
    choose(1, "Yes");
    EXPECT_TRUE(Graphics().IsMotionBlurEnabled());
    EXPECT_FLOAT_EQ(Graphics().GetMotionBlurScale(), 0.48f);
    choose(1, "No");
    EXPECT_FALSE(Graphics().IsMotionBlurEnabled());
    EXPECT_EQ(Graphics().GetMotionBlurScale(), 0.0f);
    for (bool on : {true, false}) {
        const char* name = on ? "Yes" : "No";
        choose(2, name);
        EXPECT_EQ(Graphics().IsParallaxMappingEnabled(), on);
        choose(3, name);
        EXPECT_EQ(Graphics().IsDOFEnabled(), on);
        choose(4, name);
        EXPECT_EQ(Graphics().AreShadowsEnabled(), on);
        choose(5, name);
        EXPECT_EQ(App().m_windowInfo.fullscreen, on);
        choose(6, name);
        EXPECT_EQ(Sound().m_musicMuted, !on);
        choose(7, name);
        EXPECT_EQ(Sound().m_effectsMuted, !on);
    }

    // The last depth-of-field choice is in the file (the first start wrote it on).
    {
        ztengine::Params saved;
        ASSERT_TRUE(saved.LoadFromFile((game->WorkDir() / "settings.ini").c_str()));
        ASSERT_TRUE(saved.HasParam("m_enableDOF"));
        EXPECT_EQ(saved.GetParam("m_enableDOF")->GetInt(), 0);
    }

    // Back returns to the screen that opened the settings; the choices stay.
    Click(settings->m_backElement);
    EXPECT_EQ(State(), "MAIN_MENU_STATE");
    EXPECT_FALSE(Visible(settings->m_titleElement));
    EXPECT_TRUE(Sound().m_musicMuted);

    // The renderer's choices are what the next start of the game sets the renderer up with.
    // Each row's choice differs from what the file held before it (depth of field was last
    // switched off above, and every earlier row's save wrote that too), so a row whose own
    // choice is not saved shows at the restart.
    Click(mainMenu->m_settingsElement);
    choose(0, "Low");
    choose(1, "No");
    ztengine::Params saved;
    ASSERT_TRUE(saved.LoadFromFile((game->WorkDir() / "settings.ini").c_str()));
    EXPECT_EQ(saved.GetParam("m_enableMotionBlur")->GetInt(), 0);
    EXPECT_EQ(saved.GetParam("m_motionBlurScale")->GetFloat(), 0.0f);
    choose(1, "Yes");
    choose(2, "Yes");
    choose(3, "Yes");
    const std::filesystem::path workDir = game->WorkDir();
    zttest::CaptureStdout([&] { game.reset(); });
    zttest::AppFixtureOptions restart;
    restart.window = false;
    restart.workDir = workDir;
    zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(restart); });
    ASSERT_TRUE(game->Started());
    EXPECT_TRUE(Graphics().m_ssaoEnabled);
    EXPECT_EQ(Graphics().m_ssaoStrength, 3.0f);
    EXPECT_FLOAT_EQ(Graphics().GetMotionBlurScale(), 0.48f);
    EXPECT_TRUE(Graphics().IsMotionBlurEnabled());
    EXPECT_TRUE(Graphics().IsParallaxMappingEnabled());
    EXPECT_TRUE(Graphics().IsDOFEnabled());
}

TEST_F(MenuFlow, ARendererChoiceKeepsEveryEntryOfTheSettingsFile)
{
    App().ChangeState("MAIN_MENU_STATE");
    Click(mainMenu->m_settingsElement);
    ASSERT_EQ(State(), "SETTINGS_STATE");
    auto choose = [&](int32_t row, const char* name) -> std::string {
        const int index = settings->FindOption(row, name);
        if (index < 0)
            return std::string("no option ") + name;
        return zttest::CaptureStdout(
            [&] { Click(settings->GetOptions()[static_cast<size_t>(index)].idleElement); });
    };
    const std::filesystem::path file = game->WorkDir() / "settings.ini";
    const std::string fogDensity = R"({"__name":"m_fogDensity","__type":0,"__size":1,"__data":0.01})";

    // An entry the game cannot read beside one it can: writing back only the readable one would
    // lose the player's other value, so the file stays as it is and the choice lasts the run.
    const std::string partly = R"({"data":[)" + fogDensity +
                               R"(,{"__name":"m_ssaoRadius","__type":0,"__size":1,"__data":"wide"}]})";
    zttest::WriteBytes(file, partly);
    const std::string printed = choose(0, "Off");
    EXPECT_FALSE(Graphics().m_ssaoEnabled);
    EXPECT_EQ(zttest::ReadBytes(file), partly);
    EXPECT_NE(printed.find("settings.ini was left as it is (entry 1 (\"m_ssaoRadius\")"), std::string::npos)
        << printed;

    // A file the game reads whole takes the choice and keeps the entries the menu does not set.
    zttest::WriteBytes(file, R"({"data":[)" + fogDensity + "]}");
    EXPECT_EQ(choose(0, "Med"), "");
    ztengine::Params saved;
    ASSERT_TRUE(saved.LoadFromFile(file.c_str()));
    ASSERT_TRUE(saved.HasParam("m_fogDensity"));
    EXPECT_FLOAT_EQ(saved.GetParam("m_fogDensity")->GetFloat(), 0.01f);
    EXPECT_EQ(saved.GetParam("m_enableSSAO")->GetInt(), 1);
    EXPECT_FLOAT_EQ(saved.GetParam("m_ssaoStrength")->GetFloat(), 6.0f);
}

TEST_F(MenuFlow, CreditsLeaveOnEscapeOrBack)
{
    App().ChangeState("MAIN_MENU_STATE");
    Click(mainMenu->m_creditsElement);
    ASSERT_EQ(State(), "CREDITS_STATE");
    game->RunFrames(1);
    const auto& sprites = App().GetGraphics2D()->GetSprites();
    EXPECT_TRUE(sprites.at(credits->m_creditsPicture.GetIndex()).visible);
    EXPECT_TRUE(sprites.at(credits->m_backIdle.GetIndex()).visible);
    EXPECT_FALSE(sprites.at(credits->m_backSelected.GetIndex()).visible);

    // The mouse leaves only by a release of button 0 over Back (menu point (400, -300); without a
    // window the cursor reads as (x, -y) from the centre).
    game->PressMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    game->RunFrames(1);
    game->ReleaseMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    game->RunFrames(1);
    EXPECT_EQ(State(), "CREDITS_STATE");
    game->MoveCursor(400.0, 300.0);
    game->RunFrames(1);
    EXPECT_TRUE(sprites.at(credits->m_backSelected.GetIndex()).visible);
    game->PressMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    game->RunFrames(1);
    game->ReleaseMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    game->RunFrames(1);
    EXPECT_EQ(State(), "MAIN_MENU_STATE");
    EXPECT_FALSE(sprites.at(credits->m_creditsPicture.GetIndex()).visible);
}

}  // namespace
