#pragma once
// The menu UI: sprites of the 2D layer that react to the pointer, held by one manager that runs
// the active elements' callbacks once per frame from the cursor, mouse button 0 and button 0 of
// gamepad 0.
#include <deque>
#include <functional>

#include "core/graphics/Graphics2D.h"
#include "core/math/Vector2.h"

namespace ztengine {

class Input;

class UIElement {
public:
    using Callback = std::function<void(UIElement*)>;

    // Takes the sprite's current scale as the base size; the element starts inactive and not
    // clickable, with callbacks that do nothing. The sprite is not changed.
    explicit UIElement(SpriteHandle sprite);

    SpriteHandle m_sprite;
    // The sprite's scale when the element was made; callbacks scale the sprite from it.
    ztmath::Vector2 m_baseSize;
    bool m_clickable = false;
    bool m_active = false;
    Callback m_onHover;
    Callback m_onHold;
    Callback m_onNotHovered;
    Callback m_onRelease;
    Callback m_onUpdate;
};

class UIElementManager {
public:
    // The one manager of the run, made on first use and never destroyed.
    static UIElementManager& GetInstance();

    // Appends a copy and returns its index. Allowed during Update: the new element is visited in
    // the same pass once it is active.
    int AddElement(const UIElement& element);
    // Each replaces one callback of the element; an index never returned changes nothing.
    void SetOnHover(int index, UIElement::Callback callback);
    void SetOnHold(int index, UIElement::Callback callback);
    void SetOnRelease(int index, UIElement::Callback callback);
    void SetOnUpdate(int index, UIElement::Callback callback);
    void SetOnNotHovered(int index, UIElement::Callback callback);
    // Shows or hides the element's sprite; the element stays active or inactive as it was.
    void SetVisible(int index, bool visible);

    // Whether the cursor is over the element's sprite rectangle, edges included. In fullscreen
    // the layer, laid out for the window size, is stretched over the screen.
    bool IsMouseOver(UIElement& element);
    // Once per frame: for every active element in order, its update, then hover or not-hovered;
    // over a clickable element, hold while button 0 is held, and a release runs its release
    // callback and ends the pass for this frame.
    void Update();

    // Forgets every element: their callbacks belong to systems that die with the application.
    void Reset();

    // The application's window, written at start-up and at every window change.
    bool m_fullscreen = false;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    int m_windowWidth = 0;
    int m_windowHeight = 0;
    Input* m_refInput = nullptr;
    // Screens address their elements by index and set the flags directly. A deque, so that the
    // element a callback was given stays where it is when a callback adds elements.
    std::deque<UIElement> m_elements;

private:
    UIElementManager() = default;
    UIElement* Find(int index);
};

}  // namespace ztengine
