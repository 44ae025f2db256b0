// The dialogue box over a real 2D layer: a line's life from the writer's record to the fade and
// the switch-off, a line replacing another, a zero-time line, and leaving and re-entering the
// box's states.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/graphics/framework/2d/TextManager.h"
#include "core/subsys/DialogueSystem/DialogueSystem.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "support/GLTestContext.h"
#include "support/ScreenTestApp.h"

namespace {

using ztengine::DialogueController;
using ztengine::DialogueSystem;

constexpr float kDt = 0.02f;

class DialogueTest : public zttest::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        m_app = std::make_unique<zttest::ScreenTestApp>(1280, 800);
        m_line = m_app->AddSharedData<DialogueController>("DialogueController");
        m_system = std::make_unique<DialogueSystem>(m_app.get());
        m_system->Init();
    }
    void TearDown() override
    {
        m_system.reset();
        m_app.reset();
        GLTest::TearDown();
    }

    void Write(const char* text, float seconds)
    {
        m_line->m_active = true;
        m_line->m_line = text;
        m_line->m_timeLeft = seconds;
        m_line->m_color = ztmath::Vector3(0.0f, 0.0f, 0.0f);
    }

    const ztengine::Sprite& Box() { return m_app->Graphics2D().GetSprites()[m_system->m_box.GetIndex()]; }
    ztengine::TextEntry& Text() { return *m_app->Graphics2D().GetTextManager().GetTextEntry(m_system->m_textIndex); }

    std::unique_ptr<zttest::ScreenTestApp> m_app;
    DialogueController* m_line = nullptr;
    std::unique_ptr<DialogueSystem> m_system;
};

TEST_F(DialogueTest, ALineIsOpaqueThenFadesOverItsLastSecondAndGoes)
{
    // Before any line: the box is there but clear, the placeholder text never shows.
    EXPECT_EQ(Box().position.y, -0.375f * 800.0f);
    EXPECT_EQ(Box().scale.x, 1280.0f);
    EXPECT_EQ(Box().scale.y, 200.0f);
    EXPECT_EQ(Box().layer, 1u);
    EXPECT_EQ(Box().alpha, 0.0f);
    m_system->Update(kDt);
    EXPECT_FALSE(Text().visible);

    Write("Bring me the orbs.", 3.5f);
    int frames = 0;
    float lastTextAlpha = 3.5f;
    while (m_line->m_active && frames < 1000) {
        m_system->Update(kDt);
        ++frames;
        const float elapsed = frames * kDt;
        ASSERT_TRUE(Text().visible);
        EXPECT_EQ(Text().text, "Bring me the orbs.");
        EXPECT_EQ(Text().position, ztmath::Vector2(40.0f, 120.0f));
        if (m_line->m_active) {
            EXPECT_LE(Text().color.w, lastTextAlpha);
        }
        lastTextAlpha = Text().color.w;
        if (elapsed < 2.5f - 1e-3f) {
            EXPECT_GT(Text().color.w, 1.0f);  // drawn opaque
            EXPECT_GE(Box().alpha, 1.0f);
        } else if (m_line->m_active && elapsed > 2.5f + 1e-3f && elapsed < 3.4f) {
            EXPECT_LT(Text().color.w, 1.0f);
            EXPECT_NEAR(Text().color.w, 3.5f - elapsed, 1e-3f);
        }
    }
    // Counted down to 0 or below in 175 frames (one more if rounding leaves a crumb); the next
    // frame switches it off, drawn with alpha 0.
    EXPECT_NEAR(frames, 176, 1);
    EXPECT_EQ(m_line->m_timeLeft, 0.0f);
    EXPECT_EQ(Text().color.w, 0.0f);
    EXPECT_LE(Box().alpha, 0.0f);

    m_system->Update(kDt);
    EXPECT_FALSE(Text().visible);
}

TEST_F(DialogueTest, ANewLineReplacesTheOldAndAZeroTimeLineShowsForOneClearFrame)
{
    Write("first", 3.5f);
    for (int i = 0; i < 150; ++i)
        m_system->Update(kDt);
    EXPECT_LT(Text().color.w, 1.0f);

    Write("second", 10.0f);
    m_system->Update(kDt);
    EXPECT_EQ(Text().text, "second");
    EXPECT_NEAR(m_line->m_timeLeft, 10.0f - kDt, 1e-5f);
    EXPECT_EQ(Box().alpha, 10.0f);

    Write("gone", 0.0f);
    m_system->Update(kDt);
    EXPECT_FALSE(m_line->m_active);
    EXPECT_TRUE(Text().visible);
    EXPECT_EQ(Text().color.w, 0.0f);
    EXPECT_EQ(Box().alpha, 0.0f);
    m_system->Update(kDt);
    EXPECT_FALSE(Text().visible);
}

TEST_F(DialogueTest, LeavingHidesTheBoxAndComingBackShowsItOnlyWithALine)
{
    Write("a line", 3.5f);
    m_system->Update(kDt);
    ASSERT_TRUE(Box().visible);
    m_system->NextState(0);
    EXPECT_FALSE(Box().visible);
    EXPECT_FALSE(Text().visible);

    // The line lives on in the record and shows again with the next update there.
    m_system->Update(kDt);
    EXPECT_TRUE(Box().visible);
    EXPECT_TRUE(Text().visible);

    m_line->m_active = false;
    m_system->NextState(0);
    m_system->Update(kDt);
    EXPECT_FALSE(Box().visible);
    EXPECT_FALSE(Text().visible);
}

}  // namespace
