// The white fade between two places, in the game without a window (the menu elements' pass is
// run after every frame, as a drawn frame would): the two 2 s halves, the queued teleports and
// events carried out in the first frame of "FADE_IN_STATE", and the destination entered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/UI/UIElementManager.h"
#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/FadeSystems/FadeSystems.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "support/AppFixture.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

using ztengine::FadeInSystem;
using ztengine::FadeMessage;
using ztengine::FadeMessageQueue;
using ztengine::FadeMessageType;
using ztengine::FadeOutSystem;
using ztengine::FadeTransitionSystem;
using ztengine::IEvent;
using ztengine::UIElementManager;
using ztengine::Win32App;
using ztmath::Vector3;

// The destination of the test's transitions: a state that holds no system.
constexpr const char* kDestination = "DUNGEON_STATE";

class FadeRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        zttest::AppFixtureOptions options;
        options.window = false;
        zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
        ASSERT_TRUE(game->Started());
        UIElementManager::GetInstance().m_refInput = &App().GetGLFWInput();
        queue = App().GetSharedData<FadeMessageQueue>("FadeMessageQueue");
        fadeOut = game->FindSystem<FadeOutSystem>();
        fadeIn = game->FindSystem<FadeInSystem>();
        ASSERT_TRUE(fadeOut && fadeIn && game->FindSystem<FadeTransitionSystem>());

        ztengine::MessagingSystem& messaging = App().m_messagingSystem;
        for (const char* name : {"SET_FADEIN_DEST_STATE", "PLAYER_SET_POSITION", "TELEPORT_PLAYER_END", "SHOW_DUNGEON"})
            messaging.RegisterHandler(name, [this, name](const IEvent& event) {
                Heard heard{name, State(), event.m_tag, event.m_data != nullptr, {}, {}};
                if (heard.name == "PLAYER_SET_POSITION")
                    heard.position = *static_cast<const Vector3*>(event.m_data);
                if (heard.name == "SET_FADEIN_DEST_STATE")
                    heard.text = *static_cast<const std::string*>(event.m_data);
                heard.frame = game->FramesRun();
                heardEvents.push_back(heard);
            });
    }

    void TearDown() override
    {
        zttest::CaptureStdout([&] { game.reset(); });
    }

    Win32App& App() { return game->App(); }
    std::string State() { return App().GetStateName(App().GetCurrentState()); }
    ztengine::UIElement& Element(int32_t index)
    {
        return UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
    }

    bool Visible(ztengine::SpriteHandle sprite)
    {
        return App().GetGraphics2D()->GetSprites().at(sprite.GetIndex()).visible;
    }

    // One frame; its menu pass runs inside it, window or not.
    void Frame() { game->RunFrames(1); }
    // Frames until the state is no longer `state`; the number run.
    int FramesIn(const std::string& state, int limit = 1000)
    {
        int frames = 0;
        while (State() == state && frames < limit) {
            Frame();
            ++frames;
        }
        return frames;
    }

    struct Heard {
        std::string name;
        std::string state;
        int32_t tag = 0;
        bool hasData = false;
        Vector3 position;
        std::string text;
        int frame = 0;
    };

    std::unique_ptr<zttest::AppFixture> game;
    FadeMessageQueue* queue = nullptr;
    FadeOutSystem* fadeOut = nullptr;
    FadeInSystem* fadeIn = nullptr;
    std::vector<Heard> heardEvents;
};

TEST_F(FadeRun, TeleportAndEventAreCarriedOutBehindTheWhiteScreen)
{
    App().ChangeState(kDestination);
    ztengine::Graphics3D& graphics = *App().GetGraphics3D();
    const Vector3 cameraBefore = graphics.GetCameraPosition();
    const size_t lightsBefore = graphics.m_pointLights.size();
    const uint32_t showDungeon = App().m_messagingSystem.GetEventId("SHOW_DUNGEON");
    queue->PushTeleport(Vector3(10.0f, 20.0f, 30.0f), kDestination);
    queue->PushEvent(showDungeon, kDestination);
    // Queued requests wait for the fade to start.
    Frame();
    EXPECT_EQ(queue->m_messages.size(), 2u);

    App().ChangeState("FADE_OUT_STATE");
    ztengine::UIElement& outScreen = Element(fadeOut->m_fadeElement);
    EXPECT_TRUE(outScreen.m_active);
    EXPECT_TRUE(Visible(outScreen.m_sprite));
    EXPECT_EQ(outScreen.m_sprite.GetAlpha(), 0.0f);
    const int outStart = game->FramesRun();
    Frame();
    EXPECT_NEAR(outScreen.m_sprite.GetAlpha(), 0.5f / 60.0f, 1e-5f);
    // 2.0 s at 1/60 s, and the frame whose callback finds the screen opaque.
    const int outFrames = 1 + FramesIn("FADE_OUT_STATE");
    EXPECT_NEAR(outFrames, 121, 1);
    ASSERT_EQ(State(), "FADE_IN_STATE");
    EXPECT_TRUE(heardEvents.empty());
    EXPECT_EQ(graphics.GetCameraPosition(), cameraBefore);
    EXPECT_FALSE(outScreen.m_active);
    EXPECT_FALSE(Visible(outScreen.m_sprite));
    EXPECT_EQ(outScreen.m_sprite.GetAlpha(), 0.0f);
    ztengine::UIElement& inScreen = Element(fadeIn->m_fadeElement);
    EXPECT_TRUE(inScreen.m_active);

    // The first update of the fade-in works the queue off, in the order it was filled.
    const int inStart = game->FramesRun();
    std::string out;
    const std::string err = zttest::CaptureStderr([&] { out = zttest::CaptureStdout([&] { Frame(); }); });
    EXPECT_TRUE(queue->m_messages.empty());
    std::vector<std::string> names;
    for (const Heard& heard : heardEvents) {
        names.push_back(heard.name);
        EXPECT_EQ(heard.state, "FADE_IN_STATE");
        EXPECT_EQ(heard.frame, inStart);
    }
    ASSERT_EQ(names, (std::vector<std::string>{"SET_FADEIN_DEST_STATE", "PLAYER_SET_POSITION",
                                               "TELEPORT_PLAYER_END", "SET_FADEIN_DEST_STATE", "SHOW_DUNGEON"}));
    EXPECT_EQ(heardEvents[0].text, kDestination);
    EXPECT_EQ(err, std::string(kDestination) + "\n" + kDestination + "\n");
    // The player stands 7 above the target, the camera with him, a warm light 5 above that.
    EXPECT_EQ(heardEvents[1].position, Vector3(10.0f, 27.0f, 30.0f));
    EXPECT_FALSE(heardEvents[2].hasData);
    EXPECT_EQ(graphics.GetCameraPosition(), Vector3(10.0f, 27.0f, 30.0f));
    ASSERT_EQ(graphics.m_pointLights.size(), lightsBefore + 1);
    const ztengine::RenderPointLight& light = graphics.m_pointLights.back();
    EXPECT_EQ(light.m_position, Vector3(10.0f, 32.0f, 30.0f));
    EXPECT_EQ(light.m_color, Vector3(226.0f, 120.0f, 34.0f));
    EXPECT_EQ(light.m_radius, 1.0f);
    // A queued event goes out once, tagged with its own id and without data.
    EXPECT_EQ(heardEvents[4].tag, static_cast<int32_t>(showDungeon));
    EXPECT_FALSE(heardEvents[4].hasData);

    const int inFrames = 1 + FramesIn("FADE_IN_STATE");
    EXPECT_NEAR(inFrames, 121, 1);
    EXPECT_EQ(State(), kDestination);
    EXPECT_EQ(heardEvents.size(), 5u);
    EXPECT_FALSE(inScreen.m_active);
    EXPECT_FALSE(Visible(inScreen.m_sprite));
    EXPECT_EQ(inScreen.m_sprite.GetAlpha(), 1.0f);
    EXPECT_GT(inStart, outStart);
}

// Without anything queued the fade-in goes where the previous transition went; a message of
// type None only sets the destination, and the last message handled decides it.
TEST_F(FadeRun, DestinationIsTheLastOneSetAndIsKeptBetweenTransitions)
{
    EXPECT_EQ(fadeIn->m_destState, "GAMEPLAY_STATE");
    FadeMessage none;
    none.m_type = FadeMessageType::None;
    none.m_destState = "CREDITS_STATE";
    queue->m_messages.push_back(none);
    none.m_destState = kDestination;
    queue->m_messages.push_back(none);
    App().ChangeState("FADE_IN_STATE");
    zttest::CaptureStderr([&] { FramesIn("FADE_IN_STATE"); });
    EXPECT_EQ(State(), kDestination);

    App().ChangeState("FADE_IN_STATE");
    FramesIn("FADE_IN_STATE");
    EXPECT_EQ(State(), kDestination);
    EXPECT_EQ(heardEvents.size(), 2u);
}

// Left another way (the debug state list) halfway, each white screen is put away and reset.
TEST_F(FadeRun, LeavingHalfwayHidesAndResetsTheScreens)
{
    App().ChangeState("FADE_OUT_STATE");
    for (int i = 0; i < 30; ++i)
        Frame();
    EXPECT_NEAR(Element(fadeOut->m_fadeElement).m_sprite.GetAlpha(), 0.25f, 1e-3f);
    App().ChangeState("FADE_IN_STATE");
    for (int i = 0; i < 30; ++i)
        Frame();
    EXPECT_NEAR(Element(fadeIn->m_fadeElement).m_sprite.GetAlpha(), 0.75f, 1e-3f);
    App().ChangeState(kDestination);
    for (int32_t index : {fadeOut->m_fadeElement, fadeIn->m_fadeElement}) {
        EXPECT_FALSE(Element(index).m_active);
        EXPECT_FALSE(Visible(Element(index).m_sprite));
    }
    EXPECT_EQ(Element(fadeOut->m_fadeElement).m_sprite.GetAlpha(), 0.0f);
    EXPECT_EQ(Element(fadeIn->m_fadeElement).m_sprite.GetAlpha(), 1.0f);
}

// A message of a type no producer makes is a programming error that stops the program.
class QueueApp : public zttest::HeadlessApp {
public:
    QueueApp()
    {
        m_graphics3DService = &renderer;
        AddSharedData<FadeMessageQueue>("FadeMessageQueue");
    }
    ~QueueApp() override { ReleaseSharedData(); }
    zttest::NullRenderer3D renderer;
};

TEST(FadeTransitionDeathTest, UnknownMessageTypeIsReportedAndStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QueueApp app;
    FadeTransitionSystem system(&app);
    FadeMessage message;
    message.m_type = static_cast<FadeMessageType>(3);
    message.m_destState = "GAMEPLAY_STATE";
    EXPECT_DEATH(system.HandleFadeMessage(message), "No valid message type found when handling fade message.");
}

}  // namespace
