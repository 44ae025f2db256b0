// The gold count with the game's own font in a GL context (a glyph's size is only known once the
// font is loaded into textures): at (1050, 50) while it fits the 1280-pixel window, and pulled
// left to end at the right margin when a long count would run off the edge; the blessing
// shrines' copy of the count stays on top of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/graphics/framework/2d/TextManager.h"
#include "core/subsys/CollectibleSystem/CollectibleSystem.h"
#include "core/subsys/CollectibleSystem/GoldTextPlacement.h"
#include "core/subsys/ShrineSystem/Shrine2System.h"
#include "support/GLTestContext.h"
#include "support/ProgressionHarness.h"

namespace {

using ztengine::FontLibrary;

class GoldTextTest : public zttest::GLTest {};

// The right end of the drawn glyphs of `text` with its pen starting at x.
float DrawnRight(ztengine::TextManager& texts, const ztengine::TextEntry& entry, float x)
{
    ztengine::Font font = *texts.GetFontLibrary().GetFont(texts.GetFontNames()[entry.font]);
    float right = x;
    for (const ztengine::GlyphQuad& quad :
         FontLibrary::LayoutText(font, entry.text, x, entry.position.y, entry.scale.x, entry.scale.y))
        for (const auto& vertex : quad.vertices)
            right = std::max(right, vertex[0]);
    return right;
}

TEST_F(GoldTextTest, LongCountsStayInsideTheWindow)
{
    zttest::ProgressionHarness world;
    world.m_windowInfo.windowWidth = 1280;
    world.m_windowInfo.windowHeight = 800;
    ASSERT_TRUE(world.graphics2D.Init(1280, 800));
    ztengine::CollectibleSystem coins(&world);
    coins.Init();
    // The blessing shrines show the same count in the same place.
    ztengine::Shrine2System shrines(&world);
    shrines.Init();
    ztengine::TextManager& texts = world.graphics2D.GetTextManager();
    ASSERT_NE(texts.GetFontLibrary().GetFont("fonts/arial.ttf"), nullptr);

    const struct {
        int gold;
        bool movedLeft;
    } cases[] = {{0, false}, {42, false}, {999, false}, {12345, true}, {99999, true}, {1234567, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gold);
        world.gold->m_gold = c.gold;
        coins.Update(1.0f / 60.0f);
        shrines.Update(1.0f / 60.0f);
        const ztengine::TextEntry& entry = world.Text(coins.m_goldText);
        const ztengine::TextEntry& shrineEntry = world.Text(shrines.m_goldText);
        EXPECT_EQ(shrineEntry.text, entry.text);
        EXPECT_EQ(shrineEntry.position.x, entry.position.x);
        EXPECT_EQ(shrineEntry.position.y, entry.position.y);
        ASSERT_EQ(entry.text, "gold: " + std::to_string(c.gold));
        EXPECT_FLOAT_EQ(entry.position.y, 50.0f);
        const float right = DrawnRight(texts, entry, entry.position.x);
        EXPECT_LE(right, 1280.0f - ztengine::kGoldTextRightMargin);
        if (c.movedLeft) {
            // Where it used to be drawn, it ran off the window.
            EXPECT_GT(DrawnRight(texts, entry, 1050.0f), 1280.0f);
            EXPECT_LT(entry.position.x, 1050.0f);
            // Pulled in no further than needed: it ends by the margin.
            EXPECT_GT(right, 1280.0f - ztengine::kGoldTextRightMargin - 8.0f);
        } else {
            EXPECT_FLOAT_EQ(entry.position.x, 1050.0f);
        }
    }
    world.graphics2D.Shutdown();
}

}  // namespace
