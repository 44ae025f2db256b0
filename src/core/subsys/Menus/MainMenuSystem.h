#pragma once
// The main menu: the game's logo and the Play, Settings, Credits and Exit buttons over a view
// that slowly turns above the overworld hub.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/animation/AnimationSet.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"

namespace ztengine {

class MainMenuSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    // The point the camera turns about, a quarter turn every kQuarterTurnSeconds.
    static constexpr float kCameraX = 500.0f;
    static constexpr float kCameraY = 600.0f;
    static constexpr float kCameraZ = 500.0f;
    static constexpr float kQuarterTurnSeconds = 8.0f;

    explicit MainMenuSystem(App* app);

    // Builds the screen and switches the debug GUI off: a normal run starts without it.
    void Init() override;
    void SetToCurrentState() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    // The Play button: a new run starts with the intro; the overworld learns it is in the hub.
    void Play();

    // Pad targets: Play, Settings, Credits, Exit.
    std::vector<ztmath::Vector2> m_buttonPositions;
    int32_t m_logoElement = -1;
    int32_t m_playElement = -1;
    int32_t m_settingsElement = -1;
    int32_t m_creditsElement = -1;
    int32_t m_exitElement = -1;
    AnimationSet m_cameraPath;
    int32_t m_selected = 0;
    // The SSAO switch as the menu found it.
    bool m_savedSSAO = true;

private:
    void AddMenuLights();
};

}  // namespace ztengine
