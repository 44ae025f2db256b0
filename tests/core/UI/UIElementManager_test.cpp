// Menu elements: the hit test in windowed and fullscreen layouts, and the per-frame pass of
// update, hover, not-hovered, hold and release callbacks.
#include "core/UI/UIElementManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/input/Input.h"
#include "support/FakeInput.h"

namespace ztengine {
namespace {

class UIElementManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_sprites.reserve(16);  // handles index into the vector; it must not move
        UIElementManager& ui = UIElementManager::GetInstance();
        ui.Reset();
        ui.m_refInput = &m_input;
        ui.m_screenWidth = 1920;
        ui.m_screenHeight = 1080;
        ui.m_windowWidth = 800;
        ui.m_windowHeight = 600;
    }
    void TearDown() override { UIElementManager::GetInstance().Reset(); }

    SpriteHandle MakeSprite(float x, float y, float w, float h)
    {
        Sprite sprite;
        sprite.position = {x, y};
        sprite.scale = {w, h};
        m_sprites.push_back(sprite);
        return SpriteHandle(&m_sprites, static_cast<uint32_t>(m_sprites.size() - 1));
    }

    // An active element that logs every callback as "<name>:<callback>".
    int AddLogged(const std::string& name, SpriteHandle sprite, bool clickable)
    {
        UIElementManager& ui = UIElementManager::GetInstance();
        UIElement element(sprite);
        element.m_active = true;
        element.m_clickable = clickable;
        const int index = ui.AddElement(element);
        auto log = [this, name](const char* what) {
            return [this, name, what](UIElement*) { m_log.push_back(name + ":" + what); };
        };
        ui.SetOnUpdate(index, log("update"));
        ui.SetOnHover(index, log("hover"));
        ui.SetOnNotHovered(index, log("away"));
        ui.SetOnHold(index, log("hold"));
        ui.SetOnRelease(index, log("release"));
        return index;
    }

    zttest::FakeInput m_input;
    std::vector<Sprite> m_sprites;
    std::vector<std::string> m_log;
};

using Log = std::vector<std::string>;

TEST_F(UIElementManagerTest, HitTestCountsEdgesAndScalesInFullscreen)
{
    struct Case {
        const char* what;
        bool fullscreen;
        float x;  // windowed: from the centre, y up; fullscreen: screen pixels from the top left
        float y;
        bool over;
    };
    // Sprite at (100, 0), 50 x 50. Fullscreen 1920 x 1080 over an 800 x 600 layer stretches it
    // by 2.4 x 1.8: x from 180 to 300 and y from -45 to 45 screen pixels about the centre (2.4
    // is not exact in float, so the stretched ends are probed a hundredth inside).
    const Case cases[] = {
        {"windowed centre", false, 100.0f, 0.0f, true},
        {"windowed left edge", false, 75.0f, 0.0f, true},
        {"windowed right edge", false, 125.0f, 0.0f, true},
        {"windowed top edge", false, 100.0f, 25.0f, true},
        {"windowed bottom edge", false, 100.0f, -25.0f, true},
        {"windowed just left", false, 74.9f, 0.0f, false},
        {"windowed just above", false, 100.0f, 25.1f, false},
        {"windowed corner", false, 125.0f, -25.0f, true},
        {"fullscreen left end", true, 960.0f + 180.01f, 540.0f, true},
        {"fullscreen right end", true, 960.0f + 299.99f, 540.0f, true},
        {"fullscreen just left", true, 960.0f + 179.5f, 540.0f, false},
        {"fullscreen just right", true, 960.0f + 300.5f, 540.0f, false},
        {"fullscreen top (y down)", true, 960.0f + 240.0f, 540.0f - 44.99f, true},
        {"fullscreen above", true, 960.0f + 240.0f, 540.0f - 46.0f, false},
        {"fullscreen unscaled spot", true, 960.0f + 100.0f, 540.0f, false},
    };
    UIElementManager& ui = UIElementManager::GetInstance();
    UIElement element(MakeSprite(100.0f, 0.0f, 50.0f, 50.0f));
    for (const Case& c : cases) {
        ui.m_fullscreen = c.fullscreen;
        m_input.SetCursorFromCenter({c.x, c.y});
        m_input.SetCursorPosition(c.x, c.y);
        EXPECT_EQ(ui.IsMouseOver(element), c.over) << c.what;
    }
}

TEST_F(UIElementManagerTest, NewElementTakesTheSpriteScaleAndStartsSwitchedOff)
{
    SpriteHandle sprite = MakeSprite(10.0f, 20.0f, 64.0f, 32.0f);
    UIElement element(sprite);
    EXPECT_FLOAT_EQ(element.m_baseSize.x, 64.0f);
    EXPECT_FLOAT_EQ(element.m_baseSize.y, 32.0f);
    EXPECT_FALSE(element.m_active);
    EXPECT_FALSE(element.m_clickable);
    // Every callback can be called before a screen binds its own.
    element.m_onHover(&element);
    element.m_onHold(&element);
    element.m_onNotHovered(&element);
    element.m_onRelease(&element);
    element.m_onUpdate(&element);

    UIElementManager& ui = UIElementManager::GetInstance();
    EXPECT_EQ(ui.AddElement(element), 0);
    EXPECT_EQ(ui.AddElement(element), 1);
    ui.SetVisible(1, false);
    EXPECT_FALSE(m_sprites[0].visible);
    EXPECT_FALSE(ui.m_elements[1].m_active) << "hiding changes neither flag";
}

TEST_F(UIElementManagerTest, HoverAndNotHoveredRunEveryFrameForActiveElementsOnly)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    AddLogged("a", MakeSprite(0.0f, 0.0f, 100.0f, 100.0f), false);
    const int inactive = AddLogged("off", MakeSprite(0.0f, 0.0f, 100.0f, 100.0f), true);
    ui.m_elements[inactive].m_active = false;
    AddLogged("b", MakeSprite(300.0f, 0.0f, 100.0f, 100.0f), false);

    m_input.SetCursorFromCenter({0.0f, 0.0f});
    m_input.ReleaseMouseButton(0);  // not clickable: no hold or release for a or b
    ui.Update();
    ui.Update();
    EXPECT_EQ(m_log, (Log{"a:update", "a:hover", "b:update", "b:away", "a:update", "a:hover",
                          "b:update", "b:away"}));
}

TEST_F(UIElementManagerTest, HiddenButActiveElementIsStillClickable)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    const int index = AddLogged("hidden", MakeSprite(0.0f, 0.0f, 40.0f, 40.0f), true);
    ui.SetVisible(index, false);
    m_input.HoldMouseButton(0);
    ui.Update();
    m_input.ReleaseMouseButton(0);
    ui.Update();
    EXPECT_EQ(m_log, (Log{"hidden:update", "hidden:hover", "hidden:hold", "hidden:update",
                          "hidden:hover", "hidden:release"}));
}

TEST_F(UIElementManagerTest, ReleaseOverClickableElementEndsThePass)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    AddLogged("first", MakeSprite(0.0f, 0.0f, 100.0f, 100.0f), true);
    AddLogged("second", MakeSprite(10.0f, 0.0f, 100.0f, 100.0f), true);
    AddLogged("far", MakeSprite(400.0f, 0.0f, 10.0f, 10.0f), false);

    m_input.HoldMouseButton(0);
    ui.Update();
    EXPECT_EQ(m_log, (Log{"first:update", "first:hover", "first:hold", "second:update",
                          "second:hover", "second:hold", "far:update", "far:away"}));

    m_log.clear();
    m_input.ReleaseMouseButton(0);
    ui.Update();
    EXPECT_EQ(m_log, (Log{"first:update", "first:hover", "first:release"}));
}

TEST_F(UIElementManagerTest, GamepadButtonZeroHoldsAndReleasesWhereTheMousePoints)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    AddLogged("button", MakeSprite(0.0f, 0.0f, 50.0f, 50.0f), true);
    m_input.HoldPadButton(0);
    ui.Update();
    m_input.ReleasePadButton(0);
    ui.Update();
    EXPECT_EQ(m_log, (Log{"button:update", "button:hover", "button:hold", "button:update",
                          "button:hover", "button:release"}));

    m_log.clear();
    m_input.SetCursorFromCenter({200.0f, 0.0f});  // the pad does not move the pointer off the mouse
    ui.Update();
    EXPECT_EQ(m_log, (Log{"button:update", "button:away"}));
}

TEST_F(UIElementManagerTest, CallbackMayAddElementsDuringThePass)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    SpriteHandle sprite = MakeSprite(0.0f, 0.0f, 50.0f, 50.0f);
    const int spawner = AddLogged("spawner", sprite, false);
    int added = 0;
    ui.SetOnUpdate(spawner, [&](UIElement* self) {
        // Enough elements to make a vector move; the element this callback got must stay valid.
        for (int i = 0; i < 64; ++i) {
            UIElement element(sprite);
            element.m_active = i == 0;
            ui.AddElement(element);
        }
        ++added;
        self->m_baseSize = {1.0f, 2.0f};
    });
    ui.SetOnHover(spawner, [&](UIElement* self) {
        m_log.push_back(self->m_baseSize.y == 2.0f ? "same" : "moved");
    });
    ui.Update();
    EXPECT_EQ(added, 1);
    EXPECT_EQ(ui.m_elements.size(), 65u);
    EXPECT_EQ(m_log, (Log{"same"}));
}

TEST_F(UIElementManagerTest, UnknownIndexChangesNothing)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    AddLogged("only", MakeSprite(0.0f, 0.0f, 10.0f, 10.0f), false);
    ui.SetOnHover(5, [this](UIElement*) { m_log.push_back("wrong"); });
    ui.SetOnUpdate(-1, [this](UIElement*) { m_log.push_back("wrong"); });
    ui.SetVisible(7, false);
    ui.Update();
    EXPECT_EQ(m_log, (Log{"only:update", "only:hover"}));
}

TEST_F(UIElementManagerTest, HitTestWithoutInputIsAFatalAssertion)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    UIElement element(MakeSprite(0.0f, 0.0f, 10.0f, 10.0f));
    ui.m_refInput = nullptr;
    EXPECT_DEATH(ui.IsMouseOver(element), "m_refInput");
}

}  // namespace
}  // namespace ztengine
