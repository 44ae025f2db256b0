// The menu conventions with scripted input and no game around them: the cursor hit test and the
// cursor snap in a window and in fullscreen, the pad's walk down a button list, the settings
// grid and the quit confirmation's row.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <vector>

#include "core/input/Input.h"
#include "core/subsys/Menus/MenuCommon.h"
#include "core/subsys/Menus/PauseMenus.h"
#include "core/subsys/Menus/SettingsSystem.h"
#include "support/FakeInput.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace {

using ztengine::SettingsSystem;
using ztmath::Vector2;

class MenuApp : public zttest::HeadlessApp {
public:
    MenuApp()
    {
        m_inputService = &input;
        m_graphics3DService = &renderer;
        m_windowInfo.windowWidth = 1280;
        m_windowInfo.windowHeight = 800;
        m_windowInfo.screenWidth = 1920;
        m_windowInfo.screenHeight = 1200;
        input.SetJoystickPresent(true);
    }

    // Exactly these pad buttons released this frame.
    void ReleasePad(const std::set<int>& buttons)
    {
        input.EndFrame();
        for (int button : buttons)
            input.ReleasePadButton(button);
    }
    // Where the menu last put the pointer since the moves were forgotten, if it moved it at all.
    std::optional<Vector2> Snapped() const
    {
        const auto& moves = input.CursorMoves();
        if (moves.size() <= m_forgotten)
            return std::nullopt;
        return Vector2(static_cast<float>(moves.back().first), static_cast<float>(moves.back().second));
    }
    void ForgetSnaps() { m_forgotten = input.CursorMoves().size(); }

    zttest::FakeInput input;
    zttest::NullRenderer3D renderer;

private:
    size_t m_forgotten = 0;
};

// A 100 x 50 sprite at (-500, -25): edges count in a window; in fullscreen the layout is
// stretched by monitor / window size (1.5 x on both axes here).
TEST(MenuConventions, CursorOverSpriteInAWindowAndInFullscreen)
{
    std::vector<ztengine::Sprite> sprites(1);
    sprites[0].position = Vector2(-500.0f, -25.0f);
    sprites[0].scale = Vector2(100.0f, 50.0f);
    const ztengine::SpriteHandle sprite(&sprites, 0);

    struct Case {
        bool fullscreen;
        Vector2 cursor;  // from the centre in a window, raw monitor pixels in fullscreen
        bool over;
    };
    const Case cases[] = {
        {false, {-500.0f, -25.0f}, true},  {false, {-550.0f, 0.0f}, true},   {false, {-450.0f, -50.0f}, true},
        {false, {-549.0f, 1.0f}, false},   {false, {-449.0f, -25.0f}, false}, {false, {500.0f, 25.0f}, false},
        // Centre of the stretched sprite: (960 - 750, 600 + 37.5); its left edge at 960 - 825.
        {true, {210.0f, 637.5f}, true},    {true, {135.0f, 637.5f}, true},    {true, {134.0f, 637.5f}, false},
        {true, {210.0f, 675.0f}, true},    {true, {210.0f, 676.0f}, false},
    };
    for (const Case& c : cases) {
        MenuApp app;
        app.m_windowInfo.fullscreen = c.fullscreen;
        app.input.SetCursorFromCenter(c.cursor);
        app.input.SetCursorPosition(c.cursor.x, c.cursor.y);
        EXPECT_EQ(ztengine::IsCursorOverSprite(app, app.input, sprite), c.over)
            << (c.fullscreen ? "fullscreen " : "window ") << c.cursor.x << ", " << c.cursor.y;
    }
}

TEST(MenuConventions, SnapPutsTheCursorOnTheMenuPoint)
{
    MenuApp app;
    ztengine::SnapCursorTo(app, app.input, -500.0f, -25.0f);
    EXPECT_EQ(app.Snapped(), Vector2(140.0f, 425.0f));
    app.m_windowInfo.fullscreen = true;
    ztengine::SnapCursorTo(app, app.input, -500.0f, -25.0f);
    EXPECT_EQ(app.Snapped(), Vector2(210.0f, 637.5f));
}

// The main menu's four buttons: down and up stop at the ends, left and right only snap back;
// nothing moves the cursor without a hat button, nor without a pad.
TEST(MenuConventions, PadWalksTheButtonListWithoutWrapping)
{
    const std::vector<Vector2> buttons{{-500.0f, -25.0f}, {-430.0f, -100.0f}, {-442.0f, -175.0f}, {-490.0f, -250.0f}};
    struct Case {
        int32_t from;
        std::set<int> released;
        int32_t to;
        bool snapped;
        bool present = true;
    };
    const Case cases[] = {
        {0, {12}, 1, true},     {3, {12}, 3, true},  {0, {10}, 0, true}, {2, {10}, 1, true},
        {2, {11}, 2, true},     {2, {13}, 2, true},  {2, {0}, 2, false}, {1, {}, 1, false},
        {1, {12}, 1, false, false},
    };
    for (const Case& c : cases) {
        MenuApp app;
        app.input.SetJoystickPresent(c.present);
        app.ReleasePad(c.released);
        int32_t index = c.from;
        ztengine::NavigateButtonList(app, app.input, buttons, index);
        EXPECT_EQ(index, c.to) << "from " << c.from;
        ASSERT_EQ(app.Snapped().has_value(), c.snapped) << "from " << c.from;
        if (c.snapped) {
            EXPECT_EQ(*app.Snapped(), Vector2(640.0f + buttons[static_cast<size_t>(c.to)].x,
                                                    400.0f - buttons[static_cast<size_t>(c.to)].y));
        }
    }
    // Pressing down four times from the first button stops on Exit.
    MenuApp app;
    app.ReleasePad({12});
    int32_t index = 0;
    for (int i = 0; i < 4; ++i)
        ztengine::NavigateButtonList(app, app.input, buttons, index);
    EXPECT_EQ(index, 3);
}

// The settings grid: four SSAO choices, seven Yes / No rows, then Back; the column is clamped to
// the row it lands on, and the position survives leaving and coming back.
TEST(MenuConventions, SettingsGridClampsTheColumnToTheRow)
{
    MenuApp app;
    SettingsSystem settings(&app);
    auto tap = [&](int button) {
        app.ReleasePad({button});
        app.ForgetSnaps();
        settings.Update(1.0f / 60.0f);
        app.input.EndFrame();
    };
    auto at = [&](int32_t row, int32_t column) {
        EXPECT_EQ(settings.m_row, row);
        EXPECT_EQ(settings.m_column, column);
        const Vector2 point = settings.m_buttonPositions[static_cast<size_t>(row)][static_cast<size_t>(column)];
        ASSERT_TRUE(app.Snapped().has_value());
        EXPECT_EQ(*app.Snapped(), Vector2(640.0f + point.x, 400.0f - point.y));
    };
    tap(10);
    at(0, 0);
    for (int i = 0; i < 5; ++i)
        tap(11);
    at(0, 3);
    tap(12);
    at(1, 1);
    tap(13);
    at(1, 0);
    tap(13);
    at(1, 0);
    for (int i = 0; i < 7; ++i)
        tap(12);
    at(8, 0);
    tap(12);
    at(8, 0);
    // Nothing released: the cursor stays where the player put it.
    app.ForgetSnaps();
    settings.Update(1.0f / 60.0f);
    EXPECT_FALSE(app.Snapped().has_value());
    app.input.SetJoystickPresent(false);
    tap(10);
    EXPECT_FALSE(app.Snapped().has_value());
    EXPECT_EQ(settings.m_row, 8);
}

// Confirm and Cancel lie in a row: right and left move without wrapping, up and down only snap
// back onto the current button.
TEST(MenuConventions, QuitConfirmationPadMovesAlongTheRow)
{
    MenuApp app;
    ztengine::QuitGameConfirmation quit(&app);
    struct Step {
        int button;
        int32_t selected;
    };
    const Step steps[] = {{13, 0}, {11, 1}, {11, 1}, {10, 1}, {12, 1}, {13, 0}};
    for (const Step& step : steps) {
        app.ReleasePad({step.button});
        app.ForgetSnaps();
        quit.Update(1.0f / 60.0f);
        EXPECT_EQ(quit.m_selected, step.selected) << step.button;
        ASSERT_TRUE(app.Snapped().has_value());
        EXPECT_EQ(app.Snapped()->x, 640.0f + (step.selected == 0 ? -350.0f : 350.0f));
    }
}

}  // namespace
