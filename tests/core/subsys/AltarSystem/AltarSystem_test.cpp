// The orb quest without a window: orbs moved by the mini-bosses' messages, collected and placed
// by walking up to them, the trap on the third orb, the icons' flight and a restart.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/UI/UIElementManager.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/AltarSystem/AltarSystem.h"
#include "../Overworld/HubFixture.h"

namespace {

using ztengine::AltarMessage;
using ztengine::AltarSystem;
using ztmath::Vector2;
using ztmath::Vector3;

class AltarTest : public ::testing::Test {
protected:
    AltarTest()
    {
        // Every model name maps to one cube: the list's models are not built here.
        auto* models = app.AddSharedData<ztengine::ModelManager>("ModelManager");
        const int32_t mesh = app.m_renderer.CreateCubeMesh();
        const int32_t material = app.m_renderer.CreateMaterial("textures/diff/OrbsColor.png", nullptr, nullptr, nullptr);
        models->GetModel("any") = app.m_renderer.CreateModel(static_cast<uint32_t>(mesh), static_cast<uint32_t>(material));
        app.RecordEvents({"ORB_COLLECT", "ORB_ALTAR"});
        altar = std::make_unique<AltarSystem>(&app);
        altar->m_textureSource = [](const std::string&) { return ztengine::Texture2DHandle{0, 1}; };
        altar->Init();
        StandAt({0.0f, 0.0f, 0.0f});
    }
    ~AltarTest() override { ztengine::UIElementManager::GetInstance().Reset(); }

    // Teleports there: only the spot counts, not the way from the last one.
    void StandAt(const Vector3& p)
    {
        app.m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", ztengine::IEvent(0, &p));
        app.m_renderer.SetCameraPosition(p);
    }
    void Frame(float dt = 1.0f / 60.0f) { altar->Update(dt); }
    // A mini-boss of the dungeon dies and drops its orb at the position.
    void Drop(int32_t level, const Vector3& at)
    {
        app.m_levelState->m_level = level;
        app.m_altarQueue->m_messages.push_back(AltarMessage{at, 0});
        Frame();
        app.m_levelState->m_level = 0;
    }
    int Count(const std::string& event)
    {
        return static_cast<int>(std::count(app.m_events.begin(), app.m_events.end(), event));
    }

    hubtest::InRuntimeFolder folder;
    hubtest::HubApp app;
    std::unique_ptr<AltarSystem> altar;
};

TEST_F(AltarTest, MessagesMoveTheOrbOfTheCurrentDungeon)
{
    const Vector3 parked{-1000.0f, -1000.0f, -1000.0f};
    for (int type = 0; type < 3; ++type)
        EXPECT_EQ(altar->OrbPosition(type), parked);

    // In the hub nothing moves; type 5 is taken out and ignored; two messages in one frame are
    // both handled.
    app.m_altarQueue->m_messages.push_back(AltarMessage{{1.0f, 2.0f, 3.0f}, 0});
    app.m_altarQueue->m_messages.push_back(AltarMessage{{1.0f, 2.0f, 3.0f}, 5});
    Frame();
    EXPECT_TRUE(app.m_altarQueue->m_messages.empty());
    for (int type = 0; type < 3; ++type)
        EXPECT_EQ(altar->OrbPosition(type), parked);

    const struct {
        int32_t level;
        int32_t type;
    } kLevels[] = {{1, AltarSystem::kFire}, {2, AltarSystem::kLightning}, {3, AltarSystem::kSnow}};
    for (const auto& c : kLevels) {
        SCOPED_TRACE(c.level);
        Drop(c.level, {100.0f * c.level, 5.0f, 0.0f});
        EXPECT_EQ(altar->OrbPosition(c.type), Vector3(100.0f * c.level, 5.0f, 0.0f));
    }

    app.m_altarQueue->m_messages.push_back(AltarMessage{{}, 1});
    Frame();
    EXPECT_TRUE(altar->m_finalFight);
    app.m_altarQueue->m_messages.push_back(AltarMessage{{}, 2});
    Frame();
    EXPECT_FALSE(altar->m_finalFight);
}

TEST_F(AltarTest, CollectPlaceAndSpringTheTrapOnce)
{
    Drop(3, {100.0f, 10.0f, 100.0f});  // snow
    Drop(1, {300.0f, 10.0f, 100.0f});  // fire
    // Collected within 4 + 6.
    StandAt({110.01f, 10.0f, 100.0f});
    Frame();
    EXPECT_FALSE(altar->m_collected[AltarSystem::kSnow]);
    StandAt({109.99f, 10.0f, 100.0f});
    Frame();
    EXPECT_TRUE(altar->m_collected[AltarSystem::kSnow]);
    EXPECT_EQ(Count("ORB_COLLECT"), 1);
    // The first collected icon takes the first slot whatever its colour.
    EXPECT_EQ(altar->m_iconTargets[AltarSystem::kSnow], Vector2(-600.0f, -260.0f));
    StandAt({300.0f, 10.0f, 100.0f});
    Frame();
    EXPECT_EQ(altar->m_iconTargets[AltarSystem::kFire], Vector2(-600.0f, -210.0f));

    // Placed within 8 + 6 of the altar: both in one frame.
    const Vector3 altarAt{500.0f, 500.0f, 550.0f};
    StandAt(altarAt + Vector3(14.01f, 0.0f, 0.0f));
    Frame();
    EXPECT_EQ(altar->m_placedCount, 0);
    StandAt(altarAt + Vector3(13.99f, 0.0f, 0.0f));
    Frame();
    EXPECT_EQ(Count("ORB_ALTAR"), 2);
    EXPECT_EQ(altar->m_placedCount, 2);
    EXPECT_FALSE(altar->m_altarSlots[AltarSystem::kSnow].GetInstanceConst().m_hidden);
    EXPECT_TRUE(altar->m_altarSlots[AltarSystem::kLightning].GetInstanceConst().m_hidden);
    EXPECT_FALSE(altar->m_trapSprung);
    EXPECT_TRUE(app.m_bossQueue->m_messages.empty());

    // The third orb springs the trap, once.
    Drop(2, altarAt + Vector3(5.0f, 0.0f, 0.0f));
    Frame();
    EXPECT_EQ(Count("ORB_ALTAR"), 3);
    EXPECT_TRUE(altar->m_trapSprung);
    ASSERT_EQ(app.m_bossQueue->m_messages.size(), 1u);
    EXPECT_EQ(app.m_bossQueue->m_messages.front().m_type, 0);
    EXPECT_TRUE(app.m_dialogue->m_active);
    EXPECT_EQ(app.m_dialogue->m_line, "Hahahah! You fool! Mor Tesh is finally FREE!");
    EXPECT_FLOAT_EQ(app.m_dialogue->m_timeLeft, 3.5f);
    EXPECT_EQ(app.m_dialogue->m_color, Vector3(0.0f, 0.0f, 0.0f));
    for (int i = 0; i < 5; ++i)
        Frame();
    EXPECT_EQ(app.m_bossQueue->m_messages.size(), 1u);

    // A restart brings the quest back to its start.
    app.Send("EVENT_RESTART");
    EXPECT_EQ(altar->m_placedCount, 0);
    EXPECT_FALSE(altar->m_trapSprung);
    for (int type = 0; type < 3; ++type) {
        EXPECT_FALSE(altar->m_collected[type]);
        EXPECT_FALSE(altar->m_placed[type]);
        EXPECT_FALSE(altar->m_hudSlots[type].m_taken);
        EXPECT_TRUE(altar->m_altarSlots[type].GetInstanceConst().m_hidden);
        EXPECT_EQ(altar->OrbPosition(type), Vector3(-1000.0f, -1000.0f, -1000.0f));
        EXPECT_FALSE(app.m_graphics2D.GetSprites().at(altar->m_iconSprites[type].GetIndex()).visible);
    }
    EXPECT_TRUE(altar->m_sparks.empty() || altar->m_sparks.size() <= 3u);
}

TEST_F(AltarTest, IconShrinksThenFliesToItsSlotEvenWithLongFrames)
{
    auto& ui = ztengine::UIElementManager::GetInstance();
    for (float frameTime : {1.0f / 60.0f, 0.25f}) {
        SCOPED_TRACE(frameTime);
        app.Send("EVENT_RESTART");
        Drop(1, {0.0f, 0.0f, 0.0f});
        Frame();  // collected where the player stands
        ASSERT_TRUE(altar->m_collected[AltarSystem::kFire]);
        ztengine::UIElement* element = &ui.m_elements.at(static_cast<size_t>(altar->m_iconElements[0]));
        EXPECT_TRUE(element->m_active);
        EXPECT_EQ(element->m_sprite.GetPosition(), Vector2(0.0f, 300.0f));
        altar->m_frameTime = frameTime;
        int frames = 0;
        for (; frames < 2000 && !altar->m_iconArrived[0]; ++frames)
            altar->UpdateOrbIcon(0, element);
        ASSERT_TRUE(altar->m_iconArrived[0]);
        EXPECT_EQ(element->m_sprite.GetPosition(), Vector2(-600.0f, -260.0f));
        EXPECT_EQ(element->m_sprite.GetScale(), Vector2(50.0f, 50.0f));
        // Then it pulses between half and full alpha.
        for (int i = 0; i < 30; ++i) {
            altar->UpdateOrbIcon(0, element);
            EXPECT_GE(element->m_sprite.GetAlpha(), 0.5f);
            EXPECT_LE(element->m_sprite.GetAlpha(), 1.0f);
        }
    }
}

}  // namespace
