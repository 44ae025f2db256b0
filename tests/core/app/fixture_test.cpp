// The in-process game of the tests: built like main builds it, with a window on a virtual
// display, frames at a fixed step, scripted keys, mouse and gamepads, and a clean shutdown.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/app/Probes.h"
#include "core/gui/Gui.h"
#include "support/AppFixture.h"

#include <GLFW/glfw3.h>

namespace {

// What the probe saw; kept outside it, since the game deletes its systems at shutdown.
struct InputSeen {
    std::vector<float> dts;
    std::vector<std::string> frames;
    std::vector<float> triggers;
    std::vector<std::string> cursors;
};
InputSeen g_seen;

// Reads the input every update, the way a game system does.
class InputProbe : public ztengine::Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    explicit InputProbe(ztengine::App* app) : Subsystem(app) {}

    void Update(float dt) override
    {
        InputSeen& seen = g_seen;
        seen.dts.push_back(dt);
        std::string frame;
        frame += m_input->IsKeyPressed(GLFW_KEY_W) ? "Wp" : m_input->IsKeyHeld(GLFW_KEY_W) ? "Wh"
                 : m_input->IsKeyReleased(GLFW_KEY_W)                                     ? "Wr"
                                                                                          : "W-";
        frame += m_input->IsMouseButtonPressed(0) ? " Mp" : m_input->IsMouseButtonHeld(0) ? " Mh"
                 : m_input->IsMouseButtonReleased(0)                                     ? " Mr"
                                                                                         : " M-";
        frame += m_input->IsJoystickButtonPressed(0, 0) ? " Jp"
                 : m_input->IsJoystickButtonHeld(0, 0)  ? " Jh"
                 : m_input->IsJoystickButtonReleased(0, 0) ? " Jr"
                                                           : " J-";
        seen.frames.push_back(frame);
        seen.triggers.push_back(m_input->GetJoystickAxis(0, 2));
        const float* cursor = m_input->GetCursorPosition();
        seen.cursors.push_back(std::to_string(static_cast<int>(cursor[0])) + "," +
                          std::to_string(static_cast<int>(cursor[1])));
    }
};

TEST(AppFixture, RunsTheGameWithScriptedInputAtAFixedStep)
{
    g_seen = InputSeen();
    zttest::AppFixtureOptions options;
    options.beforeInit = [](ztengine::Win32App& app) {
        auto [probe, handle] = app.AddSystem<InputProbe>();
        app.RegSystemToState("BRIMSEL_SPLASH_STATE", handle);
    };
    std::string output;
    {
        zttest::AppFixture* game = nullptr;
        output = zttest::CaptureStdout([&] { game = new zttest::AppFixture(options); });
        ASSERT_TRUE(game->Started()) << game->InitError();
        EXPECT_NE(game->App().GetWindow(), nullptr);
        // The debug GUI takes the mouse and clears the game's input while the cursor is over one
        // of its windows; this test is about the game's own input.
        ztengine::Gui::Instance().SetEnabled(false);

        ztengine::PadPoll trigger;
        trigger.buttons[0] = 1;
        trigger.axes[2] = 0.5f;  // left minus right: the left trigger half down
        output += zttest::CaptureStdout([&] {
            game->RunFrames(6, [&](int frame) {
                switch (frame) {
                case 0:
                    game->PressKey(GLFW_KEY_W);
                    game->MoveCursor(100, 50);
                    break;
                case 1:
                    game->RepeatKey(GLFW_KEY_W);
                    game->PressMouseButton(0);
                    game->SetPad(0, trigger);
                    break;
                case 3:
                    game->ReleaseKey(GLFW_KEY_W);
                    game->ReleaseMouseButton(0);
                    game->ClearPad(0);
                    game->SetPad(0, ztengine::PadPoll{});
                    break;
                }
            });
        });
        EXPECT_EQ(game->FramesRun(), 6);
        output += zttest::CaptureStdout([&] { EXPECT_EQ(game->Shutdown(), 0); });
        const std::filesystem::path workDir = game->WorkDir();
        delete game;

        // The window settings were written back in the game's working folder.
        std::ifstream config(workDir / "config.ini");
        std::stringstream text;
        text << config.rdbuf();
        EXPECT_EQ(text.str().rfind("{\"w\":", 0), 0u) << text.str();
    }

    // Pads are polled at the end of a frame, keys and buttons arrive with the frame's events.
    EXPECT_EQ(g_seen.frames, (std::vector<std::string>{"Wp M- J-", "Wh Mp J-", "Wh Mh Jp",
                                                       "Wr Mr Jh", "W- M- Jr", "W- M- J-"}));
    EXPECT_FLOAT_EQ(g_seen.triggers[2], -0.5f);  // stored negated
    EXPECT_EQ(g_seen.cursors[0], "100,50");
    for (float dt : g_seen.dts)
        EXPECT_FLOAT_EQ(dt, 1.0f / 60.0f);

    EXPECT_EQ(output.rfind("FMOD Version: ", 0), 0u) << output;
    EXPECT_NE(output.find("shutdown!\n"), std::string::npos);
}

TEST(AppFixture, TheStateSelectAndTheCursorEventsReachTheGame)
{
    zttest::AppFixture game;
    ASSERT_TRUE(game.Started()) << game.InitError();
    ztengine::Win32App& app = game.App();

    // Picking a state in the debug window changes to it at the end of the frame.
    int* requested = app.GetRequestedState();
    ASSERT_NE(requested, nullptr);
    EXPECT_EQ(*requested, 11);
    *requested = 4;
    game.RunFrames(1);
    EXPECT_EQ(app.GetStateName(app.GetCurrentState()), "MAIN_MENU_STATE");
    // A change made by the game moves the selection along.
    app.ChangeState("CREDITS_STATE");
    EXPECT_EQ(*requested, 7);

    EXPECT_TRUE(app.IsCustomCursorShown());
    app.m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", ztengine::IEvent());
    EXPECT_FALSE(app.IsCustomCursorShown());
    app.m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", ztengine::IEvent());
    EXPECT_TRUE(app.IsCustomCursorShown());
    game.RunFrames(1);
}

TEST(AppFixture, RunsWithoutAWindow)
{
    zttest::AppFixtureOptions options;
    options.window = false;
    zttest::AppFixture game(options);
    ASSERT_TRUE(game.Started());
    EXPECT_EQ(game.App().GetWindow(), nullptr);
    game.RunFrames(3);
    EXPECT_EQ(game.FramesRun(), 3);
    EXPECT_EQ(game.App().GetStateName(game.App().GetCurrentState()), "BRIMSEL_SPLASH_STATE");
}

}  // namespace
