// The intro flight without a window: which line and voice belong to each moment of the flight,
// the camera's keys and where they look, the end into play, every skip input, the quit key, and
// the voice-over heard once per run until a restart.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/CinematicIntroSystem/CinematicIntroSystem.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"
#include "support/PlayerTestApp.h"

namespace {

using ztengine::CinematicIntroSystem;
using ztmath::Vector3;

constexpr float kDt = 0.05f;

ztengine::SoundSystemOptions Silent()
{
    ztengine::SoundSystemOptions options;
    options.output = FMOD_OUTPUTTYPE_NOSOUND;
    return options;
}

class IntroApp : public zttest::HeadlessApp {
public:
    IntroApp() : sound(Silent())
    {
        m_inputService = &input;
        m_graphics3DService = &renderer;
        m_soundService = &sound;
        m_messagingSystem.RegisterEvent("EVENT_RESTART");
        dialogue = AddSharedData<ztengine::DialogueController>("DialogueController");
        boss = AddSharedData<ztengine::BossSystemQueue>("BossSystemQueue");
    }
    ~IntroApp() override { ReleaseSharedData(); }

    using HeadlessApp::ChangeState;
    void ChangeState(const char* state) override { states.emplace_back(state); }
    void Quit() override { ++quits; }

    zttest::NullRenderer3D renderer;
    zttest::ScriptedInput input;
    ztengine::SoundSystem sound;
    ztengine::DialogueController* dialogue = nullptr;
    ztengine::BossSystemQueue* boss = nullptr;
    std::vector<std::string> states;
    int quits = 0;
};

class IntroTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Whatever the camera faced before must not bend the flight.
        m_app.renderer.SetCameraBasis(ztmath::Basis(Vector3(1.0f, 0.0f, 0.0f), Vector3(0.0f, 1.0f, 0.0f), true));
        m_intro = std::make_unique<CinematicIntroSystem>(&m_app);
        m_intro->Init();
        Enter();
    }

    void Enter()
    {
        m_intro->SetToCurrentState();
        m_time = 0.0f;
    }

    void Frame()
    {
        m_intro->Update(kDt);
        m_app.input.EndFrame();
        m_time += kDt;
    }
    // Frames until the intro's own clock reaches `seconds` (or it asks to leave).
    void RunTo(float seconds)
    {
        while (m_time + kDt / 2.0f < seconds && m_app.states.empty())
            Frame();
    }
    int VoicesPlayed() const
    {
        int played = 0;
        for (const auto& voice : m_intro->m_voices)
            played += voice.played ? 1 : 0;
        return played;
    }
    Vector3 Forward() { return m_app.renderer.GetCameraBasis().forward; }

    IntroApp m_app;
    std::unique_ptr<CinematicIntroSystem> m_intro;
    float m_time = 0.0f;
};

TEST_F(IntroTest, TheFlightShowsEachLineAtItsMomentAndEndsInPlay)
{
    struct Moment {
        float time;
        const char* line;  // null: no line has been shown yet
        int voicesPlayed;
    };
    const Moment kMoments[] = {
        {1.4f, nullptr, 0},
        {2.0f, "Hi there! I am Mor Tesh.", 1},
        {4.0f, "Welcome to the realm of Vosk.", 2},
        {7.0f, "Help me get the 3 orbs,", 3},
        {10.0f, "and place them on that altar,", 3},
        {12.0f, "then you will be able to leave.", 4},
        {18.0f, "The red orb, Ang,", 4},
        {20.0f, "is located here, in the red dungeon.", 5},
        {25.0f, "The green orb, Che,", 5},
        {27.0f, "is located here, in the green dungeon.", 6},
        {32.0f, "And the blue orb, Lam,", 6},
        {34.0f, "is located here, in the blue dungeon.", 7},
        {39.0f, "Now go, Ah Drev,", 7},
        {41.0f, "free us from this place!", 8},
    };
    for (const Moment& moment : kMoments) {
        RunTo(moment.time);
        SCOPED_TRACE(moment.time);
        if (moment.line == nullptr) {
            EXPECT_FALSE(m_app.dialogue->m_active);
        } else {
            EXPECT_TRUE(m_app.dialogue->m_active);
            EXPECT_EQ(m_app.dialogue->m_line, moment.line);
            EXPECT_EQ(m_app.dialogue->m_color, Vector3(0.0f, 0.0f, 0.0f));
        }
        EXPECT_EQ(VoicesPlayed(), moment.voicesPlayed);
    }
    EXPECT_TRUE(m_app.states.empty());
    // Voices go out in script order: the ones played are always the first ones.
    for (size_t i = 0; i < m_intro->m_voices.size(); ++i)
        EXPECT_TRUE(m_intro->m_voices[i].played) << i;

    RunTo(44.0f);
    ASSERT_EQ(m_app.states, std::vector<std::string>{"GAMEPLAY_STATE"});
    EXPECT_NEAR(m_time, 43.5f, 1.5f * kDt);
    EXPECT_EQ(m_app.quits, 0);
}

TEST_F(IntroTest, TheCameraVisitsTheAltarAndTheSkullsFromTheHubsMiddle)
{
    struct View {
        float time;
        Vector3 position;
        Vector3 facing;  // horizontal direction the camera looks in
    };
    const float inv2 = 1.0f / std::sqrt(2.0f);
    // The look past the altar swings 35 degrees beyond the view straight ahead.
    const float past = std::atan2(-20.0f, 50.0f) + 35.0f * 3.14159265f / 180.0f;
    const View kViews[] = {
        {1.0f, {500.0f, 510.0f, 500.0f}, {0.0f, 0.0f, 1.0f}},
        {5.0f, {500.0f, 510.0f, 500.0f}, Vector3(-20.0f, 0.0f, 50.0f) / std::sqrt(2900.0f)},
        {9.0f, {488.0f, 510.0f, 530.0f}, Vector3(-20.0f, 0.0f, 50.0f) / std::sqrt(2900.0f)},
        {11.3f, {488.0f, 510.0f, 530.0f}, {std::sin(past), 0.0f, std::cos(past)}},
        {14.0f, {500.0f, 510.0f, 500.0f}, {0.0f, 0.0f, 1.0f}},
        {21.0f, {500.0f, 510.0f, 660.0f}, {0.0f, 0.0f, 1.0f}},
        {28.0f, {330.0f, 510.0f, 330.0f}, {-inv2, 0.0f, -inv2}},
        {35.0f, {670.0f, 510.0f, 330.0f}, {inv2, 0.0f, -inv2}},
        {42.0f, {500.0f, 510.0f, 500.0f}, {0.0f, 0.0f, 1.0f}},
    };
    for (const View& view : kViews) {
        RunTo(view.time);
        SCOPED_TRACE(view.time);
        const Vector3 position = m_app.renderer.GetCameraPosition();
        EXPECT_NEAR((position - view.position).Length(), 0.0f, 0.01f);
        const Vector3 forward = Forward();
        EXPECT_NEAR(forward.x, view.facing.x, 1e-3f);
        EXPECT_NEAR(forward.y, 0.0f, 1e-3f);
        EXPECT_NEAR(forward.z, view.facing.z, 1e-3f);
    }
}

TEST_F(IntroTest, EverySkipInputEndsTheIntroAtOnceAndTheQuitKeyQuitsNormally)
{
    struct Input {
        const char* name;
        unsigned key;  // 0: a pad button instead
        int padButton;
    };
    const Input kSkips[] = {
        {"Escape", 256, -1}, {"Space", 32, -1}, {"Enter", 257, -1}, {"pad A", 0, 0}, {"pad Start", 0, 7},
    };
    for (const Input& skip : kSkips) {
        SCOPED_TRACE(skip.name);
        m_app.states.clear();
        *m_app.dialogue = ztengine::DialogueController();
        Enter();
        RunTo(0.5f);
        if (skip.key != 0)
            m_app.input.Press(skip.key);
        else
            m_app.input.PressPadButton(skip.padButton);
        Frame();
        EXPECT_TRUE(m_app.states.empty()) << "a press alone does not skip";
        if (skip.key != 0)
            m_app.input.Release(skip.key);
        else
            m_app.input.ReleasePadButton(skip.padButton);
        Frame();
        EXPECT_EQ(m_app.states, std::vector<std::string>{"GAMEPLAY_STATE"});
        // Skipped before the first line: the dialogue record was left alone.
        EXPECT_FALSE(m_app.dialogue->m_active);
        EXPECT_TRUE(m_app.dialogue->m_line.empty());
        m_intro->NextState(0);
    }
    EXPECT_EQ(m_app.quits, 0);

    m_app.states.clear();
    Enter();
    m_app.input.Press(90);
    Frame();
    m_app.input.Release(90);
    Frame();
    EXPECT_EQ(m_app.quits, 1);
    EXPECT_TRUE(m_app.states.empty());
}

TEST_F(IntroTest, LeavingRewindsTheFlightAndTheVoiceIsHeardOncePerRun)
{
    RunTo(5.0f);
    EXPECT_EQ(VoicesPlayed(), 2);
    EXPECT_FALSE(m_app.boss->m_introSeen);

    m_intro->NextState(0);
    EXPECT_TRUE(m_app.boss->m_introSeen);
    const ztmath::Basis basis = m_app.renderer.GetCameraBasis();
    EXPECT_EQ(basis.forward, Vector3(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(basis.up, Vector3(0.0f, 1.0f, 0.0f));
    // Paused while away: a stray update does not move it on.
    m_intro->m_cameraPath.Update(10.0f);
    EXPECT_EQ(m_intro->m_cameraPath.m_CurrentAnimationSequence->m_currentIndex, 0u);
    EXPECT_EQ(m_intro->m_cameraPath.m_time, 0.0f);

    // Entered again in the same run: the flight starts over, the lines show, the voices stay
    // as they were.
    m_app.renderer.SetCameraPosition(Vector3(1.0f, 2.0f, 3.0f));
    Enter();
    EXPECT_EQ(m_app.renderer.GetCameraPosition(), Vector3(500.0f, 510.0f, 500.0f));
    EXPECT_TRUE(m_app.renderer.m_directionalLightEnabled);
    RunTo(8.0f);
    EXPECT_EQ(m_app.dialogue->m_line, "Help me get the 3 orbs,");
    EXPECT_EQ(VoicesPlayed(), 3);
    EXPECT_TRUE(m_intro->m_voices[0].played);

    // A new run hears them all again.
    m_app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
    EXPECT_EQ(VoicesPlayed(), 0);
    EXPECT_FALSE(m_app.boss->m_introSeen);
}

}  // namespace
