#pragma once
// The lose screen after a lost run and the credits screen of the main menu.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/math/Vector2.h"
#include "core/subsys/Menus/PauseMenus.h"

namespace ztengine {

class StatusFlags;

class LostSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    static constexpr float kLoseVolume = 0.75f;

    explicit LostSystem(App* app);

    void Init() override;
    // Plays the lose jingle at the camera and blurs the world behind the screen.
    void SetToCurrentState() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    void Restart();

    // Pad order: Restart, Quit.
    std::vector<ztmath::Vector2> m_buttonPositions;
    StatusFlags* m_statusFlags = nullptr;
    MenuBlur m_blur;
    int32_t m_selected = 0;
    int32_t m_loseSound = -1;
    int32_t m_logoElement = -1;
    int32_t m_restartElement = -1;
    int32_t m_quitElement = -1;
    int32_t m_gameOverElement = -1;
};

// Plain sprites: the screen tests the cursor over Back itself.
class CreditsSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;

    explicit CreditsSystem(App* app);

    // Builds the screen and switches the debug GUI off.
    void Init() override;
    void SetToCurrentState() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    SpriteHandle m_title;
    SpriteHandle m_creditsPicture;
    SpriteHandle m_backSelected;
    SpriteHandle m_backIdle;
    // Set for good once the pad has moved up or down here: Back then stays selected for the pad.
    int32_t m_padSelected = 0;
};

}  // namespace ztengine
