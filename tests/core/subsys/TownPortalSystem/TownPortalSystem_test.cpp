// The town portal without a window: when it may be used, the countdown with a fixed clock, the
// cancel, the restart, and what a finished teleport saves, queues and sends.
#include <gtest/gtest.h>

#include <memory>

#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/TownPortalSystem/TownPortalSystem.h"
#include "../Overworld/HubFixture.h"
#include "platform/CRand.h"

namespace {

using ztengine::FadeMessageType;
using ztengine::TownPortalSystem;
using ztmath::Vector3;

class TownPortalTest : public ::testing::Test {
protected:
    TownPortalTest()
    {
        app.RecordEvents({"PLAYER_WARP", "TOWN_PORTAL"});
        portal = std::make_unique<TownPortalSystem>(&app);
        portal->m_textureSource = [](const std::string&) { return ztengine::Texture2DHandle{0, 1}; };
        zttest::CaptureStdout([&] { portal->Init(); });
    }
    void Frames(int n, float dt = 0.125f)
    {
        for (int i = 0; i < n; ++i)
            portal->Update(dt);
    }
    const ztengine::Sprite& Icon(const ztengine::SpriteHandle& h) { return app.m_graphics2D.GetSprites().at(h.GetIndex()); }

    hubtest::InRuntimeFolder folder;
    hubtest::HubApp app;
    std::unique_ptr<TownPortalSystem> portal;
};

TEST_F(TownPortalTest, UsableOnlyInADungeonOutsideAFight)
{
    const struct {
        int32_t level;
        int32_t fight;
        bool enabled;
        bool disabled;
    } kCases[] = {{0, 0, false, false}, {0, 1, false, false}, {1, 0, true, false},
                  {3, 0, true, false}, {2, 1, false, true}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " fight " << c.fight);
        app.m_levelState->m_level = c.level;
        app.m_levelState->m_fight = c.fight;
        Frames(1);
        EXPECT_EQ(Icon(portal->m_enabledIcon).visible, c.enabled);
        EXPECT_EQ(Icon(portal->m_disabledIcon).visible, c.disabled);
        app.Send("RETURN_TO_TOWN");
        EXPECT_EQ(portal->m_teleporting, c.enabled);
        app.Send("RETURN_CANCEL");
    }
}

TEST_F(TownPortalTest, CountdownCompletesAfterTwoAndAHalfSecondsUnlessCancelled)
{
    app.m_levelState->m_level = 2;
    app.m_renderer.SetCameraPosition({100.0f, 20.0f, 200.0f});
    app.Send("RETURN_TO_TOWN");
    // Eight ring particles a frame.
    Frames(1);
    EXPECT_EQ(portal->m_particles.size(), 8u);
    // Cancelled at 2.375 s: nothing saved, the particles in flight live on.
    Frames(18);
    app.Send("RETURN_CANCEL");
    Frames(1);
    EXPECT_FALSE(portal->m_teleporting);
    EXPECT_EQ(app.m_levelState->m_level, 2);
    EXPECT_EQ(app.m_levelState->m_returnLevel, 0);
    EXPECT_TRUE(app.m_fadeQueue->m_messages.empty());
    EXPECT_GT(portal->m_particles.size(), 0u);

    // Started again: at 2.5 s the timer is not yet past, the next update completes.
    app.Send("RETURN_TO_TOWN");
    Frames(21);
    EXPECT_TRUE(portal->m_teleporting);
    EXPECT_TRUE(app.m_events.empty());
    app.m_renderer.SetCameraPosition({120.0f, 22.0f, 240.0f});
    Frames(1);
    EXPECT_FALSE(portal->m_teleporting);
    EXPECT_EQ(app.m_levelState->m_returnLevel, 2);
    EXPECT_EQ(app.m_levelState->m_returnPosition, Vector3(120.0f, 12.0f, 240.0f));
    EXPECT_EQ(app.m_levelState->m_level, 0);
    EXPECT_TRUE(app.m_levelState->m_returnedToTown);
    ASSERT_EQ(app.m_fadeQueue->m_messages.size(), 2u);
    EXPECT_EQ(app.m_fadeQueue->m_messages[0].m_type, FadeMessageType::Teleport);
    EXPECT_EQ(app.m_fadeQueue->m_messages[0].Position(), Vector3(500.0f, 510.0f, 500.0f));
    EXPECT_EQ(app.m_fadeQueue->m_messages[1].m_type, FadeMessageType::SendEvent);
    EXPECT_EQ(app.m_fadeQueue->m_messages[1].EventId(), app.m_messagingSystem.GetEventId("ENTER_OVERWORLD"));
    for (const auto& m : app.m_fadeQueue->m_messages)
        EXPECT_EQ(m.m_destState, "GAMEPLAY_STATE");
    EXPECT_EQ(app.m_stateChanges, (std::vector<std::string>{"FADE_OUT_STATE"}));
    EXPECT_EQ(app.m_events, (std::vector<std::string>{"PLAYER_WARP", "TOWN_PORTAL"}));
}

TEST_F(TownPortalTest, ARestartDuringTheCountdownCancelsIt)
{
    app.m_levelState->m_level = 1;
    app.Send("RETURN_TO_TOWN");
    Frames(10);
    app.Send("EVENT_RESTART");
    app.m_levelState->m_level = 0;  // the hub's restart
    Frames(30);
    EXPECT_FALSE(portal->m_teleporting);
    EXPECT_TRUE(app.m_fadeQueue->m_messages.empty());
    EXPECT_TRUE(app.m_stateChanges.empty());
    EXPECT_EQ(app.m_levelState->m_returnLevel, 0);
}

TEST_F(TownPortalTest, ParticlesDrawTheirNumbersInOrder)
{
    ztplatform::Srand(77);
    int draws[7];
    for (int& d : draws)
        d = ztplatform::Rand();
    ztplatform::Srand(77);
    const ztengine::FxParticle p = portal->MakeParticle({1.0f, 2.0f, 3.0f});
    auto u = [&](int i) { return static_cast<float>(draws[i]) / 32767.0f; };
    // Three draws are skipped, then speed, spin, lifetime and size.
    EXPECT_FLOAT_EQ(p.m_velocity.y, 30.0f - 25.0f * u(3));
    EXPECT_FLOAT_EQ(p.m_extra, 50.0f - 40.0f * u(4));
    EXPECT_FLOAT_EQ(p.m_lifetime, 0.5f - 0.3f * u(5));
    EXPECT_FLOAT_EQ(p.m_size, 5.0f - 3.0f * u(6));
    EXPECT_EQ(p.m_position, Vector3(1.0f, 2.0f, 3.0f));
}

}  // namespace
