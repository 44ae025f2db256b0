#pragma once
// The two logo screens that open the game: each fades a logo in on black, holds it, fades it out
// and moves on; any skip input starts the fade-out at once.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/math/Vector2.h"

namespace ztengine {

class UIElement;

// Escape released this frame, or mouse button 0 held, or button 0 of pad 0 held: the player
// wants past the splash screen.
bool SplashSkipRequested(Input& input);

// What both logo screens share: the fade timing, Update and NextState. The pictures and the
// state that follows are the derived screen's.
class LogoSplash : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    static constexpr int kEscapeKey = 256;
    static constexpr float kHoldSeconds = 2.0f;

    void SetToCurrentState() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    // The logo element's per-frame fade, run by the UI pass. Leaves for the next state on the
    // first call after the logo's alpha has gone below 0.
    void OnLogoUpdate(UIElement* logo);

    float m_fadeFactor = 1.0f;
    float m_holdTime = kHoldSeconds;
    float m_dt = 0.0f;
    bool m_fadingIn = true;
    bool m_fadingOut = false;
    int32_t m_backgroundElement = -1;
    int32_t m_logoElement = -1;

protected:
    LogoSplash(App* app, const char* nextState);

    // Makes the black background and the logo as hidden, inactive elements, the logo invisible.
    void MakeElements(const char* logoPath, const ztmath::Vector2& logoSize, uint32_t backgroundLayer,
                      uint32_t logoLayer);

    const char* m_nextState;
};

// The first screen of the run (the start state): the publisher's logo.
class BrimselSplash : public LogoSplash {
public:
    static constexpr const char* kNextState = "TEAM_LOGO_STATE";

    explicit BrimselSplash(App* app);
    void Init() override;
};

// The second screen: the team's logo. It also puts the camera where the main menu expects it.
class TeamLogoScreen : public LogoSplash {
public:
    static constexpr const char* kNextState = "LOADING_RESOURCES_STATE";

    explicit TeamLogoScreen(App* app);
    void Init() override;
    void SetToCurrentState() override;
};

}  // namespace ztengine
