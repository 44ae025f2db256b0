#pragma once
// The loading screen: a turning hourglass and "Loading..." on black while the application's job
// queue is worked off, one job per frame; it is the queue's only consumer.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"

namespace ztengine {

class TextManager;

class InitGameLoadingSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    static constexpr float kDegreesPerSecond = 45.0f;
    static constexpr const char* kNextState = "CONTROLLER_SPLASH_STATE";

    explicit InitGameLoadingSystem(App* app);

    void Init() override;
    void SetToCurrentState() override;
    // While jobs remain: turns the hourglass and runs the front job once. Once the queue is
    // empty: fades the screen out over m_countdown seconds, then leaves for the next state.
    void Update(float dt) override;
    void NextState(int newState) override;

    // Degrees, kept for the whole run so that a later visit turns on from where the last ended.
    static float s_hourglassAngle;

    SpriteHandle m_hourglass;
    SpriteHandle m_blackScreen;
    // Counted down only in frames with an empty queue and never restarted: jobs that arrive
    // after the first empty frame are worked off and the fade then goes on where it stood.
    float m_countdown = 1.0f;
    TextManager* m_textManager = nullptr;
    uint32_t m_fontIndex = 0;
    uint32_t m_textIndex = 0xFFFFFFFFu;

private:
    // Marks the frame covered while the black screen fills the window.
    void CoverWorld();
};

}  // namespace ztengine
