// The health and stamina bars: their geometry for given values (a pure table), then the system
// over a real 2D layer: the ten sprites, stamina paid per shot, regenerated and clamped, the
// shake moving both bars together, the bars hidden outside play, and the death path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/subsys/StaminaDurabilitySystem/StaminaDurabilitySystem.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "support/GLTestContext.h"
#include "support/ScreenTestApp.h"

namespace {

using namespace ztengine;
using ztmath::Vector2;

// Within a rounding of the 140-per-100 scale.
void ExpectNear(const Vector2& actual, const Vector2& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-3f);
    EXPECT_NEAR(actual.y, expected.y, 1e-3f);
}

TEST(HudBarLayout, BarsStartAtTheLeftEdgeAndGrowWithTheirMaxima)
{
    struct Case {
        const char* name;
        float h, H, s, S, jx, jy;
        float fillWidth, fillX, frameWidth, frameX, rightEndX;
    };
    const Case cases[] = {
        {"full 100", 100, 100, 150, 150, 0, 0, 140, -550, 140, -550, -488},
        {"one health boost", 110, 110, 150, 150, 0, 0, 154, -543, 154, -543, -474},
        {"half", 50, 100, 150, 150, 0, 0, 70, -585, 140, -550, -488},
        {"empty", 0, 100, 0, 150, 0, 0, 0, -620, 140, -550, -488},
        {"shaken", 100, 100, 150, 150, -2.5f, 2.0f, 140, -552.5f, 140, -552.5f, -490.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto bars = LayoutHudBars(c.h, c.H, c.s, c.S, c.jx, c.jy);
        const float y = 370.0f + c.jy;
        ExpectNear(bars[kHealthFill].size, Vector2(c.fillWidth, 38.0f));
        ExpectNear(bars[kHealthFill].position, Vector2(c.fillX, y));
        ExpectNear(bars[kHealthFrameBody].size, Vector2(c.frameWidth, 38.0f));
        ExpectNear(bars[kHealthFrameBody].position, Vector2(c.frameX, y));
        EXPECT_EQ(bars[kHealthBackground].size, bars[kHealthFrameBody].size);
        EXPECT_EQ(bars[kHealthBackground].position, bars[kHealthFrameBody].position);
        ExpectNear(bars[kHealthFrameLeft].position, Vector2(c.jx - 610.0f, y));
        ExpectNear(bars[kHealthFrameRight].position, Vector2(c.rightEndX, y));
        ExpectNear(bars[kHealthFrameRight].size, Vector2(-38.0f, -38.0f));
        // Stamina 150 of 150: 210 pixels, on the row 40 pixels lower.
        const float sy = 330.0f + c.jy;
        ExpectNear(bars[kStaminaFrameBody].size, Vector2(210.0f, 38.0f));
        ExpectNear(bars[kStaminaFrameBody].position, Vector2(105.0f - 620.0f + c.jx, sy));
        EXPECT_NEAR(bars[kStaminaFill].size.x, c.s * 1.4f, 1e-3f);
        ExpectNear(bars[kStaminaFrameRight].position, Vector2(210.0f - 628.0f + c.jx, sy));
    }
}

class StaminaBars : public zttest::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        m_app = std::make_unique<zttest::ScreenTestApp>(1280, 800);
        m_status = m_app->AddSharedData<PlayerStatus>("PlayerStatus");
        m_health = m_app->AddSharedData<PlayerHealth>("PlayerHealth");
        m_shake = m_app->AddSharedData<CameraShakeData>("CameraShakeData");
        m_weapon = m_app->AddSharedData<WeaponMessageQueue>("WeaponMessageQueue");
        m_app->m_messagingSystem.RegisterHandler("PLAYER_DEATH", [this](const IEvent&) { ++m_deaths; });
        m_system = std::make_unique<StaminaDurabilitySystem>(m_app.get());
        m_system->Init();
    }
    void TearDown() override
    {
        m_system.reset();
        m_app.reset();
        GLTest::TearDown();
    }

    const Sprite& At(int i) { return m_app->Graphics2D().GetSprites()[m_system->m_sprites[i].GetIndex()]; }
    std::vector<Vector2> Positions()
    {
        std::vector<Vector2> out;
        for (int i = 0; i < kHudBarSpriteCount; ++i)
            out.push_back(At(i).position);
        return out;
    }

    std::unique_ptr<zttest::ScreenTestApp> m_app;
    PlayerStatus* m_status = nullptr;
    PlayerHealth* m_health = nullptr;
    CameraShakeData* m_shake = nullptr;
    WeaponMessageQueue* m_weapon = nullptr;
    std::unique_ptr<StaminaDurabilitySystem> m_system;
    int m_deaths = 0;
};

TEST_F(StaminaBars, TenSpritesOnLayerZeroHiddenUntilTheFirstUpdateThenLaidOut)
{
    EXPECT_EQ(m_status->m_stamina, m_status->m_maxStamina);  // filled at Init
    const std::string textures[kHudBarSpriteCount] = {"bg", "bg", "hp", "sp", "body", "end", "end", "body", "end", "end"};
    const auto& sprites = m_app->Graphics2D().GetSprites();
    for (int i = 0; i < kHudBarSpriteCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(At(i).layer, 0u);
        EXPECT_FALSE(At(i).visible);
        if (i > 0) {
            // Created in this order, one after the other: that is their drawing order.
            EXPECT_EQ(m_system->m_sprites[i].GetIndex(), m_system->m_sprites[i - 1].GetIndex() + 1);
        }
        for (int j = 0; j < i; ++j)
            EXPECT_EQ(textures[i] == textures[j], At(i).texture == At(j).texture) << j;
    }
    EXPECT_EQ(sprites.size(), static_cast<size_t>(kHudBarSpriteCount));

    m_system->Update(0.0f);
    const auto expected = LayoutHudBars(100.0f, 100.0f, 150.0f, 150.0f, 0.0f, 0.0f);
    for (int i = 0; i < kHudBarSpriteCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(At(i).visible);
        ExpectNear(At(i).position, expected[i].position);
        ExpectNear(At(i).scale, expected[i].size);
    }

    // Leaving play hides them, coming back shows them.
    m_system->NextState(0);
    for (int i = 0; i < kHudBarSpriteCount; ++i)
        EXPECT_FALSE(At(i).visible);
    m_system->SetToCurrentState();
    for (int i = 0; i < kHudBarSpriteCount; ++i)
        EXPECT_TRUE(At(i).visible);
}

TEST_F(StaminaBars, EveryShotCostsStaminaThatRegeneratesUpToTheMaximum)
{
    m_status->m_staminaCostPerAttack = 5.0f;
    m_status->m_staminaRecoveryRate = 20.0f;
    m_status->m_maxStamina = 150.0f;
    struct Case {
        const char* name;
        float before;
        bool shot;
        float dt;
        float after;
    };
    const Case cases[] = {
        {"shot", 100.0f, true, 0.0f, 95.0f},
        {"shot and regeneration", 100.0f, true, 0.5f, 105.0f},
        {"empty stays empty, then regenerates", 0.0f, true, 0.1f, 2.0f},
        {"short of the cost", 3.0f, true, 0.0f, 0.0f},
        {"no shot", 50.0f, false, 0.25f, 55.0f},
        {"clamped at the maximum", 149.0f, false, 1.0f, 150.0f},
        {"above the maximum comes down", 400.0f, false, 0.0f, 150.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_status->m_stamina = c.before;
        m_status->m_attackedThisFrame = c.shot;
        m_system->Update(c.dt);
        EXPECT_FLOAT_EQ(m_status->m_stamina, c.after);
        EXPECT_NEAR(At(kStaminaFill).scale.x, (c.shot ? std::max(0.0f, c.before - 5.0f) : c.before) * 1.4f, 1e-3f);
    }

    // A raised maximum is filled only by regeneration; the frame grows at once.
    m_status->m_attackedThisFrame = false;
    m_status->m_stamina = 150.0f;
    m_status->m_maxStamina = 200.0f;
    m_system->Update(0.5f);
    EXPECT_FLOAT_EQ(m_status->m_stamina, 160.0f);
    EXPECT_EQ(At(kStaminaFrameBody).scale.x, 280.0f);
}

TEST_F(StaminaBars, BarsStayStillWithoutShakeAndShakeTogetherWithIt)
{
    m_system->Update(0.0f);
    const std::vector<Vector2> still = Positions();
    m_system->Update(0.0f);
    EXPECT_EQ(Positions(), still);

    m_shake->m_active = true;
    bool moved = false;
    for (int frame = 0; frame < 20; ++frame) {
        m_system->Update(0.0f);
        const std::vector<Vector2> shaken = Positions();
        const Vector2 offset = shaken[0] - still[0];
        EXPECT_GE(offset.x, -2.5f);
        EXPECT_LE(offset.x, 2.0f);
        EXPECT_GE(offset.y, -2.5f);
        EXPECT_LE(offset.y, 2.0f);
        EXPECT_EQ(std::fmod(offset.x * 2.0f, 1.0f), 0.0f);
        for (int i = 0; i < kHudBarSpriteCount; ++i)
            EXPECT_EQ(shaken[i] - still[i], offset) << i;
        moved = moved || offset != Vector2(0.0f, 0.0f);
    }
    EXPECT_TRUE(moved);
}

TEST_F(StaminaBars, HealthAtOrBelowZeroResetsTheWeaponAndLeavesForTheDeathState)
{
    for (float health : {0.0f, -12.5f}) {
        SCOPED_TRACE(health);
        m_deaths = 0;
        m_weapon->m_messages.clear();
        m_app->stateChanges.clear();
        m_health->m_currentHealth = 30.0f;
        m_status->m_stamina = 40.0f;
        m_system->Update(0.1f);
        ASSERT_EQ(m_deaths, 0);

        m_health->m_currentHealth = health;
        m_system->Update(0.1f);
        EXPECT_EQ(m_deaths, 1);
        ASSERT_EQ(m_weapon->m_messages.size(), 1u);
        EXPECT_EQ(m_weapon->m_messages.front().m_type, 2);
        EXPECT_EQ(m_app->stateChanges, std::vector<std::string>{"PLAYER_DEATH_STATE"});
        EXPECT_FALSE(At(kHealthFill).visible);
        EXPECT_FALSE(At(kStaminaFill).visible);
        EXPECT_TRUE(At(kHealthFrameBody).visible);
        // The update ends there: no regeneration in the frame of death.
        EXPECT_FLOAT_EQ(m_status->m_stamina, 42.0f);
    }
}

}  // namespace
