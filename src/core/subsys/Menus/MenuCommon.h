#pragma once
// What every menu screen shares: the cursor's place in menu coordinates (centred on the window,
// y up), moving the cursor onto a button for the gamepad, the gamepad's walk down a button list,
// and buttons made of one sprite that grow under the cursor and act on release.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/graphics/Graphics2D.h"
#include "core/math/Vector2.h"

namespace ztengine {

class App;
class Input;
class UIElement;

namespace menu {

constexpr int kEscapeKey = 256;
// Button 0 confirms and button 1 backs out; the hat follows the pad's ten buttons.
constexpr int kPadConfirm = 0;
constexpr int kPadBack = 1;
constexpr int kPadUp = 10;
constexpr int kPadRight = 11;
constexpr int kPadDown = 12;
constexpr int kPadLeft = 13;

constexpr float kHoverScale = 1.2f;
constexpr float kHoldScale = 1.1f;

// The blurred background behind the pause menu, the quit confirmation and the lose screen.
constexpr float kBlurFocalRange = 5000.0f;
constexpr float kBlurFocalPercent = 0.97f;

bool PadHatReleased(Input& input);
// Escape released or pad 0 button 1 released: the player backs out of the screen.
bool BackRequested(Input& input);

}  // namespace menu

// Whether the cursor is over the sprite's rectangle, edges included. In fullscreen the menu,
// laid out for the window size, is stretched over the monitor.
bool IsCursorOverSprite(App& app, Input& input, SpriteHandle sprite);
// Puts the system cursor on the menu point (x, y).
void SnapCursorTo(App& app, Input& input, float x, float y);
inline void SnapCursorTo(App& app, Input& input, const ztmath::Vector2& point)
{
    SnapCursorTo(app, input, point.x, point.y);
}
// The pad's walk over a vertical list of buttons: down and up move the index without wrapping,
// any hat button puts the cursor back on the button at the index. Nothing without pad 0.
void NavigateButtonList(App& app, Input& input, const std::vector<ztmath::Vector2>& positions,
                        int32_t& index);

// A sprite of `picture` wrapped in a hidden, inactive, not clickable menu element.
int32_t MakeMenuElement(Graphics2D& graphics, const std::string& picture, const ztmath::Vector2& position,
                        const ztmath::Vector2& size, uint32_t layer);
// A menu element that grows to 1.2 x under the cursor and 1.1 x while held, and runs `action`
// when the button is released over it.
int32_t MakeMenuButton(Graphics2D& graphics, const std::string& picture, const ztmath::Vector2& position,
                       const ztmath::Vector2& size, uint32_t layer, std::function<void()> action);
// The grow-and-shrink callbacks of a button (each acts only while the element is clickable).
void AddScaleCallbacks(int32_t element);

UIElement& MenuElement(int32_t index);
// Shown: visible, and active and clickable when `interactive`; hidden: invisible, inactive and
// not clickable.
void ShowMenuElement(int32_t index, bool interactive);
void HideMenuElement(int32_t index);

}  // namespace ztengine
