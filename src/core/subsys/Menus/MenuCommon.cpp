// Menu conventions shared by every screen.
#include "core/subsys/Menus/MenuCommon.h"

#include "core/App.h"
#include "core/UI/UIElementManager.h"
#include "core/input/Input.h"

namespace ztengine {

namespace menu {

bool PadHatReleased(Input& input)
{
    for (int button : {kPadUp, kPadRight, kPadDown, kPadLeft})
        if (input.IsJoystickButtonReleased(0, button))
            return true;
    return false;
}

bool BackRequested(Input& input)
{
    return input.IsKeyReleased(kEscapeKey) || input.IsJoystickButtonReleased(0, kPadBack);
}

}  // namespace menu

bool IsCursorOverSprite(App& app, Input& input, SpriteHandle sprite)
{
    const WindowInfo& window = app.m_windowInfo;
    ztmath::Vector2 cursor;
    float sx = 1.0f;
    float sy = 1.0f;
    if (window.fullscreen) {
        const float* c = input.GetCursorPosition();
        cursor = ztmath::Vector2(c[0] - static_cast<float>(window.screenWidth) / 2.0f,
                                 static_cast<float>(window.screenHeight) / 2.0f - c[1]);
        sx = static_cast<float>(window.screenWidth) / static_cast<float>(window.windowWidth);
        sy = static_cast<float>(window.screenHeight) / static_cast<float>(window.windowHeight);
    } else {
        cursor = input.GetCursorPositionFromCenter();
    }
    const ztmath::Vector2 position = sprite.GetPosition();
    const ztmath::Vector2 size = sprite.GetScale();
    return position.x * sx - size.x * sx / 2.0f <= cursor.x && cursor.x <= position.x * sx + size.x * sx / 2.0f &&
           position.y * sy - size.y * sy / 2.0f <= cursor.y && cursor.y <= position.y * sy + size.y * sy / 2.0f;
}

void SnapCursorTo(App& app, Input& input, float x, float y)
{
    const WindowInfo& window = app.m_windowInfo;
    const float windowWidth = static_cast<float>(window.windowWidth);
    const float windowHeight = static_cast<float>(window.windowHeight);
    if (window.fullscreen) {
        const float screenWidth = static_cast<float>(window.screenWidth);
        const float screenHeight = static_cast<float>(window.screenHeight);
        input.SetCursorPosition(static_cast<double>(screenWidth / 2.0f + x * screenWidth / windowWidth),
                                static_cast<double>(screenHeight / 2.0f - y * screenHeight / windowHeight));
    } else {
        input.SetCursorPosition(static_cast<double>(windowWidth / 2.0f + x),
                                static_cast<double>(windowHeight / 2.0f - y));
    }
}

void NavigateButtonList(App& app, Input& input, const std::vector<ztmath::Vector2>& positions, int32_t& index)
{
    if (!input.IsJoystickPresent(0) || positions.empty())
        return;
    const bool down = input.IsJoystickButtonReleased(0, menu::kPadDown);
    const bool up = input.IsJoystickButtonReleased(0, menu::kPadUp);
    if (down) {
        if (index + 1 < static_cast<int32_t>(positions.size()))
            ++index;
    } else if (up) {
        if (index >= 1)
            --index;
    }
    if (down || up || input.IsJoystickButtonReleased(0, menu::kPadRight) ||
        input.IsJoystickButtonReleased(0, menu::kPadLeft))
        SnapCursorTo(app, input, positions[static_cast<size_t>(index)]);
}

int32_t MakeMenuElement(Graphics2D& graphics, const std::string& picture, const ztmath::Vector2& position,
                        const ztmath::Vector2& size, uint32_t layer)
{
    SpriteHandle sprite = graphics.CreateSprite(graphics.LoadTexture(picture), position, size, layer);
    sprite.SetVisible(false);
    return UIElementManager::GetInstance().AddElement(UIElement(sprite));
}

int32_t MakeMenuButton(Graphics2D& graphics, const std::string& picture, const ztmath::Vector2& position,
                       const ztmath::Vector2& size, uint32_t layer, std::function<void()> action)
{
    const int32_t element = MakeMenuElement(graphics, picture, position, size, layer);
    AddScaleCallbacks(element);
    UIElementManager::GetInstance().SetOnRelease(element, [action = std::move(action)](UIElement*) { action(); });
    return element;
}

void AddScaleCallbacks(int32_t element)
{
    UIElementManager& ui = UIElementManager::GetInstance();
    auto scaled = [](float factor) {
        return [factor](UIElement* button) {
            if (button->m_clickable)
                button->m_sprite.SetScale(button->m_baseSize.x * factor, button->m_baseSize.y * factor);
        };
    };
    ui.SetOnHover(element, scaled(menu::kHoverScale));
    ui.SetOnHold(element, scaled(menu::kHoldScale));
    ui.SetOnUpdate(element, scaled(1.0f));
}

UIElement& MenuElement(int32_t index)
{
    return UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
}

void ShowMenuElement(int32_t index, bool interactive)
{
    UIElement& element = MenuElement(index);
    element.m_sprite.SetVisible(true);
    if (interactive) {
        element.m_active = true;
        element.m_clickable = true;
    }
}

void HideMenuElement(int32_t index)
{
    UIElement& element = MenuElement(index);
    element.m_sprite.SetVisible(false);
    element.m_active = false;
    element.m_clickable = false;
}

}  // namespace ztengine
