#pragma once
// The one line of story dialogue at the bottom of the screen. Any system shows a line by
// filling "DialogueController"; this system draws it on its bordered box, fades both during the
// last second and switches the line off when its time is up.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"

namespace ztengine {

class DialogueController;
class MessagingSystem;
class TextManager;

class DialogueSystem : public Subsystem {
public:
    static constexpr const char* kBoxTexture = "textures/2d/dialogueborder.png";
    static constexpr const char* kFont = "fonts/calibrib.ttf";
    static constexpr float kBoxWidth = 1280.0f;
    static constexpr float kBoxHeight = 200.0f;
    static constexpr uint32_t kBoxLayer = 1;
    static constexpr float kTextX = 40.0f;
    static constexpr float kTextY = 120.0f;

    explicit DialogueSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    // Off-screen in states without dialogue; the line itself is kept.
    void NextState(int newState) override;

    SpriteHandle m_box;
    MessagingSystem* m_messaging;
    DialogueController* m_controller;
    TextManager* m_textManager;
    uint32_t m_fontIndex = 0;
    uint32_t m_textIndex = 0xFFFFFFFFu;
};

}  // namespace ztengine
