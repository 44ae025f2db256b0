#pragma once
// The last screen before the main menu: a controller picture with the line "Controller supported,
// keyboard recommended". Its pictures are loaded by two loading jobs, so it is initialised only
// after loading; it leaves for the main menu early in its fade-out and the fade finishes there.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/graphics/framework/2d/Sprite.h"

namespace ztengine {

class TextManager;
class UIElement;

class ControllerSplash : public Subsystem {
public:
    static constexpr const char* kNextState = "MAIN_MENU_STATE";
    static constexpr const char* kLine = "Controller supported, keyboard recommended";
    static constexpr float kHoldSeconds = 2.0f;
    // The picture's alpha under which the fade-out hands over to the main menu.
    static constexpr float kLeaveAlpha = 0.9f;

    explicit ControllerSplash(App* app);

    // Queues the two picture loads.
    void Load() override;
    void Init() override;
    void SetToCurrentState() override;
    void Update(float dt) override;

    // The UI pass's fades of the picture (with the line) and of the background. They keep
    // running after the state change, so the screen fades away over the menu's first frames.
    void OnPictureUpdate(UIElement* picture);
    void OnBackgroundUpdate(UIElement* background);

    int32_t m_backgroundElement = -1;
    int32_t m_pictureElement = -1;
    Texture2DHandle m_pictureTexture{0xFFFFFFFFu, 0xFFFFFFFFu};
    Texture2DHandle m_backgroundTexture{0xFFFFFFFFu, 0xFFFFFFFFu};
    TextManager* m_textManager = nullptr;
    uint32_t m_textIndex = 0xFFFFFFFFu;
    uint32_t m_fontIndex = 0;
    float m_fadeFactor = 1.0f;
    float m_holdTime = kHoldSeconds;
    float m_dt = 0.0f;
    bool m_fadingIn = true;
    bool m_fadingOut = false;
    bool m_done = false;
};

}  // namespace ztengine
