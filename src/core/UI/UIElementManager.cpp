// The menu elements' per-frame pass and their hit test.
#include "core/UI/UIElementManager.h"

#include "core/input/Input.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

namespace {

void Nothing(UIElement*) {}

}  // namespace

UIElement::UIElement(SpriteHandle sprite)
    : m_sprite(sprite),
      m_baseSize(m_sprite.GetScale()),
      m_onHover(&Nothing),
      m_onHold(&Nothing),
      m_onNotHovered(&Nothing),
      m_onRelease(&Nothing),
      m_onUpdate(&Nothing)
{
}

UIElementManager& UIElementManager::GetInstance()
{
    static UIElementManager* instance = new UIElementManager();
    return *instance;
}

int UIElementManager::AddElement(const UIElement& element)
{
    m_elements.push_back(element);
    return static_cast<int>(m_elements.size() - 1);
}

UIElement* UIElementManager::Find(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_elements.size())
        return nullptr;
    return &m_elements[static_cast<size_t>(index)];
}

void UIElementManager::SetOnHover(int index, UIElement::Callback callback)
{
    if (UIElement* element = Find(index))
        element->m_onHover = std::move(callback);
}

void UIElementManager::SetOnHold(int index, UIElement::Callback callback)
{
    if (UIElement* element = Find(index))
        element->m_onHold = std::move(callback);
}

void UIElementManager::SetOnRelease(int index, UIElement::Callback callback)
{
    if (UIElement* element = Find(index))
        element->m_onRelease = std::move(callback);
}

void UIElementManager::SetOnUpdate(int index, UIElement::Callback callback)
{
    if (UIElement* element = Find(index))
        element->m_onUpdate = std::move(callback);
}

void UIElementManager::SetOnNotHovered(int index, UIElement::Callback callback)
{
    if (UIElement* element = Find(index))
        element->m_onNotHovered = std::move(callback);
}

void UIElementManager::SetVisible(int index, bool visible)
{
    if (UIElement* element = Find(index))
        element->m_sprite.SetVisible(visible);
}

bool UIElementManager::IsMouseOver(UIElement& element)
{
    assert(m_refInput);
    ztmath::Vector2 p;
    float sx = 1.0f;
    float sy = 1.0f;
    if (!m_fullscreen) {
        p = m_refInput->GetCursorPositionFromCenter();
    } else {
        const float* cursor = m_refInput->GetCursorPosition();
        p = ztmath::Vector2(cursor[0] - static_cast<float>(m_screenWidth) / 2.0f,
                            static_cast<float>(m_screenHeight) / 2.0f - cursor[1]);
        sx = static_cast<float>(m_screenWidth) / static_cast<float>(m_windowWidth);
        sy = static_cast<float>(m_screenHeight) / static_cast<float>(m_windowHeight);
    }
    const ztmath::Vector2 c = element.m_sprite.GetPosition();
    const ztmath::Vector2 s = element.m_sprite.GetScale();
    const float left = c.x * sx - s.x * sx / 2.0f;
    const float right = c.x * sx + s.x * sx / 2.0f;
    const float bottom = c.y * sy - s.y * sy / 2.0f;
    const float top = c.y * sy + s.y * sy / 2.0f;
    return left <= p.x && p.x <= right && bottom <= p.y && p.y <= top;
}

void UIElementManager::Update()
{
    // By index, and the element looked up again after every callback: a callback may add
    // elements (the deque keeps the existing ones in place, but not its iterators).
    for (size_t i = 0; i < m_elements.size(); ++i) {
        UIElement& element = m_elements[i];
        if (!element.m_active)
            continue;
        element.m_onUpdate(&element);
        if (!IsMouseOver(element)) {
            element.m_onNotHovered(&element);
            continue;
        }
        element.m_onHover(&element);
        if (!element.m_clickable)
            continue;
        if (m_refInput->IsMouseButtonHeld(0) || m_refInput->IsJoystickButtonHeld(0, 0))
            element.m_onHold(&element);
        if (m_refInput->IsMouseButtonReleased(0) || m_refInput->IsJoystickButtonReleased(0, 0)) {
            element.m_onRelease(&element);
            return;
        }
    }
}

void UIElementManager::Reset()
{
    m_elements.clear();
    m_refInput = nullptr;
    m_fullscreen = false;
    m_screenWidth = m_screenHeight = m_windowWidth = m_windowHeight = 0;
}

}  // namespace ztengine
