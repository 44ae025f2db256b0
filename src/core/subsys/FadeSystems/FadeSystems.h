#pragma once
// The white fade between two places. "FADE_OUT_STATE" covers the last picture with white, then
// "FADE_IN_STATE" carries out the requests queued in "FadeMessageQueue" (teleports, late events)
// behind the white screen and uncovers the new place before entering the destination state.
#include <cstdint>
#include <string>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"

namespace ztengine {

class UIElement;
struct FadeMessage;
struct FadeMessageQueue;

// Alpha per second of both white screens: each half of a transition takes 2 s.
constexpr float kFadeRate = 0.5f;

class FadeOutSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    static constexpr const char* kNextState = "FADE_IN_STATE";

    explicit FadeOutSystem(App* app);

    void Init() override;
    void SetToCurrentState() override;
    // Keeps the frame time for the UI pass, which runs the fade.
    void Update(float dt) override;
    void NextState(int newState) override;

    void OnFadeUpdate(UIElement* screen);

    int32_t m_fadeElement = -1;
    float m_dt = 0.0f;
};

class FadeInSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;

    explicit FadeInSystem(App* app);

    // Also takes "SET_FADEIN_DEST_STATE", which names the state entered once the screen is clear.
    void Init() override;
    void SetToCurrentState() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    void OnFadeUpdate(UIElement* screen);

    int32_t m_fadeElement = -1;
    float m_dt = 0.0f;
    // Kept between transitions: a fade-in with nothing queued goes where the last one went.
    std::string m_destState = "GAMEPLAY_STATE";
};

class FadeTransitionSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    // The player stands this far above a teleport target, and its light this far above him.
    static constexpr float kTeleportLift = 7.0f;
    static constexpr float kLightLift = 5.0f;

    explicit FadeTransitionSystem(App* app);

    // Carries out every queued request, oldest first; requests queued during this state wait
    // for the next frame.
    void Update(float dt) override;
    void HandleFadeMessage(const FadeMessage& message);

    FadeMessageQueue* m_fadeQueue = nullptr;
    // Also the payload of "PLAYER_SET_POSITION", so it must outlive the send.
    ztmath::Vector3 m_teleportPosition{0.0f, 0.0f, 0.0f};
};

}  // namespace ztengine
