// The end of a won run over a real 2D layer (hidden GL window) and a CPU 3D renderer: the white
// fade with the camera tilting, the thank-you picture, the credits at both speeds, the hint,
// the win and the change to the statistics screen, and a restart playing it all again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/subsys/BossDeadCinematicSystem/BossDeadCinematicSystem.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/GameStats.h"
#include "support/GLTestContext.h"
#include "support/NullRenderer3D.h"
#include "support/ScreenTestApp.h"

namespace {

using ztengine::BossDeadCinematicSystem;
using ztengine::IEvent;
using ztmath::Vector3;

constexpr float kDt = 0.02f;

class CinematicApp : public zttest::ScreenTestApp {
public:
    CinematicApp() : ScreenTestApp(1280, 800)
    {
        m_graphics3DService = &renderer;
        dialogue = AddSharedData<ztengine::DialogueController>("DialogueController");
        boss = AddSharedData<ztengine::BossSystemQueue>("BossSystemQueue");
        stats = AddSharedData<ztgame::GameStats>("GameStats");
        m_messagingSystem.RegisterHandler("PLAY_DREV_SFX_GO_BACK_LIAO_AH", [this](const IEvent&) { ++voiceLines; });
    }

    zttest::NullRenderer3D renderer{1280, 800};
    ztengine::DialogueController* dialogue = nullptr;
    ztengine::BossSystemQueue* boss = nullptr;
    ztgame::GameStats* stats = nullptr;
    int voiceLines = 0;
};

class BossDeathCinematicTest : public zttest::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        ASSERT_TRUE(m_gl && m_gl->IsOpen()) << "the 2D layer needs a GL context";
        m_app = std::make_unique<CinematicApp>();
        m_app->renderer.SetCameraPosition(Vector3(500.0f, 510.0f, 500.0f));
        m_cinematic = std::make_unique<BossDeadCinematicSystem>(m_app.get());
        m_cinematic->Init();
    }
    void TearDown() override
    {
        m_cinematic.reset();
        m_app.reset();
        GLTest::TearDown();
    }

    void Frame()
    {
        m_cinematic->Update(kDt);
        m_app->keys.EndFrame();
        m_time += kDt;
    }
    const ztengine::Sprite& SpriteOf(const ztengine::SpriteHandle& handle)
    {
        return m_app->Graphics2D().GetSprites().at(handle.GetIndex());
    }
    bool HintVisible()
    {
        return m_app->Graphics2D().GetTextManager().GetTextEntry(m_cinematic->m_hintText)->visible;
    }
    // Frames until the run has gone on for `seconds` or the state changed.
    void RunTo(float seconds)
    {
        while (m_time + kDt / 2.0f < seconds && m_app->stateChanges.empty())
            Frame();
    }

    std::unique_ptr<CinematicApp> m_app;
    std::unique_ptr<BossDeadCinematicSystem> m_cinematic;
    float m_time = 0.0f;
};

TEST_F(BossDeathCinematicTest, WhiteFadeThenThanksThenCreditsThenTheStatistics)
{
    const ztengine::Sprite& white = SpriteOf(m_cinematic->m_whiteScreen);
    const ztengine::Sprite& thanks = SpriteOf(m_cinematic->m_thanks);
    const ztengine::Sprite& credits = SpriteOf(m_cinematic->m_credits);
    EXPECT_EQ(white.scale, ztmath::Vector2(1280.0f, 800.0f));
    EXPECT_EQ(thanks.scale, ztmath::Vector2(600.0f, 150.0f));
    EXPECT_EQ(credits.scale, ztmath::Vector2(400.0f, 2000.0f));
    EXPECT_LT(white.layer, thanks.layer);
    EXPECT_LT(thanks.layer, credits.layer);

    m_cinematic->SetToCurrentState();
    EXPECT_EQ(m_app->voiceLines, 1);
    EXPECT_EQ(m_app->dialogue->m_line, "Wah wah wah what's this? Go back liao ah?");
    EXPECT_FLOAT_EQ(m_app->dialogue->m_timeLeft, 3.0f);

    // Jump held from the start: it speeds up only the credits.
    m_app->keys.Press(32);
    const Vector3 forwardBefore = m_app->renderer.GetCameraBasis().forward;
    struct Moment {
        float time;
        float whiteAlpha;    // < 0: not checked
        float thanksAlpha;   // < 0: not checked
        bool creditsMoving;
        bool hint;
    };
    const Moment kMoments[] = {
        {1.0f, 0.2f, 0.0f, false, false},
        {2.5f, 0.5f, 0.0f, false, false},
        {4.9f, 0.98f, 0.0f, false, false},
        {5.5f, -1.0f, 0.48f, false, false},   // the picture fades in over a second
        {7.0f, -1.0f, 1.98f, false, false},   // held (alpha above 1 draws opaque)
        {8.5f, -1.0f, 0.5f, false, false},    // fading out
        {9.3f, -1.0f, -1.0f, true, true},     // credits from about 9.0 s, at 500/s: hint at once
    };
    float creditsY = credits.position.y;
    EXPECT_FLOAT_EQ(creditsY, -1500.0f);
    // The waiting credits stay out of sight, whatever the window's height.
    EXPECT_FALSE(credits.visible);
    for (const Moment& moment : kMoments) {
        RunTo(moment.time);
        SCOPED_TRACE(moment.time);
        if (moment.whiteAlpha >= 0.0f) {
            EXPECT_NEAR(white.alpha, moment.whiteAlpha, 0.01f);
        }
        if (moment.thanksAlpha >= 0.0f) {
            EXPECT_NEAR(thanks.alpha, moment.thanksAlpha, 0.08f);
        }
        EXPECT_EQ(credits.position.y > creditsY, moment.creditsMoving);
        EXPECT_EQ(HintVisible(), moment.hint);
        EXPECT_EQ(credits.visible, moment.creditsMoving);
        EXPECT_TRUE(m_app->stateChanges.empty());
        EXPECT_FALSE(m_app->stats->m_gameWon);
    }
    // The camera tilted by 15 degrees a second during the fade (75 in all).
    const float turned = std::acos(std::clamp(m_app->renderer.GetCameraBasis().forward.Dot(forwardBefore), -1.0f, 1.0f));
    EXPECT_GT(turned, 0.5f);

    // 3000 units at 500/s: about 6 s of credits.
    RunTo(30.0f);
    ASSERT_EQ(m_app->stateChanges, std::vector<std::string>{"END_GAME_STATE"});
    EXPECT_TRUE(m_app->stats->m_gameWon);
    EXPECT_NEAR(m_time, 9.0f + 6.0f, 0.1f);
}

TEST_F(BossDeathCinematicTest, CreditsTakeAMinuteAtNormalSpeedAndARestartPlaysItAllAgain)
{
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        m_time = 0.0f;
        m_app->stateChanges.clear();
        m_app->stats->m_gameWon = false;
        m_cinematic->SetToCurrentState();
        RunTo(9.0f + 1.9f);
        // 100 units into the credits the hint shows; not before.
        EXPECT_FALSE(HintVisible());
        RunTo(9.0f + 2.1f);
        EXPECT_TRUE(HintVisible());
        RunTo(120.0f);
        ASSERT_EQ(m_app->stateChanges, std::vector<std::string>{"END_GAME_STATE"});
        EXPECT_NEAR(m_time, 9.0f + 60.0f, 0.1f);
        EXPECT_TRUE(m_app->stats->m_gameWon);

        m_cinematic->NextState(0);
        EXPECT_FALSE(SpriteOf(m_cinematic->m_credits).visible);
        EXPECT_FALSE(HintVisible());
        m_app->m_messagingSystem.SendEventByName("EVENT_RESTART", IEvent());
        EXPECT_FALSE(SpriteOf(m_cinematic->m_credits).visible);
        EXPECT_FLOAT_EQ(SpriteOf(m_cinematic->m_credits).position.y, -1500.0f);
        EXPECT_FLOAT_EQ(SpriteOf(m_cinematic->m_whiteScreen).alpha, 0.0f);
        EXPECT_FALSE(HintVisible());
    }
}

TEST_F(BossDeathCinematicTest, LeavingEarlyDoesNotWinTheRun)
{
    m_cinematic->SetToCurrentState();
    RunTo(20.0f);
    m_cinematic->NextState(0);
    EXPECT_FALSE(m_app->stats->m_gameWon);
    EXPECT_TRUE(m_app->stateChanges.empty());
    for (const ztengine::SpriteHandle* handle :
         {&m_cinematic->m_whiteScreen, &m_cinematic->m_thanks, &m_cinematic->m_credits}) {
        EXPECT_FALSE(SpriteOf(*handle).visible);
        EXPECT_FLOAT_EQ(SpriteOf(*handle).alpha, 0.0f);
    }
}

}  // namespace
