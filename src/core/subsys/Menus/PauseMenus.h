#pragma once
// The screens over a paused game: the pause menu, the controls page and the quit confirmation.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/math/Vector2.h"

namespace ztengine {

// The depth-of-field focus that blurs the frozen picture behind a menu, saved on entry and given
// back on leaving so that a chain of menus ends with the values from before the first.
struct MenuBlur {
    void Begin(Graphics3D& graphics);
    void End(Graphics3D& graphics);

    float m_savedFocalRange = 0.0f;
    float m_savedFocalPercent = 0.0f;
};

class PauseMenuSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;

    explicit PauseMenuSystem(App* app);

    void Init() override;
    // Pauses both sound groups and blurs the game behind the menu.
    void SetToCurrentState() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    // Not the focus hook Subsystem::Resume: regaining the window's focus must leave the game
    // paused in the menu it was opened in.
    void ResumeGame();
    // A fresh run from the intro.
    void Restart();

    // Pad order: Resume, Restart, Settings, How to play, Quit.
    std::vector<ztmath::Vector2> m_buttonPositions;
    MenuBlur m_blur;
    int32_t m_selected = 0;
    int32_t m_titleElement = -1;
    int32_t m_settingsElement = -1;
    int32_t m_howToPlayElement = -1;
    int32_t m_resumeElement = -1;
    int32_t m_quitElement = -1;
    int32_t m_restartElement = -1;

private:
    void SetSoundPaused(bool paused);
};

// The controls picture with a Back button that leads to the pause menu. Plain sprites: the
// screen tests the cursor itself.
class HowToPlaySystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;

    explicit HowToPlaySystem(App* app);

    void Init() override;
    void SetToCurrentState() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    SpriteHandle m_picture;
    SpriteHandle m_backIdle;
    SpriteHandle m_backSelected;
};

// "Quit the game?" with Confirm and Cancel, opened from the main menu, the pause menu and the
// lose screen.
class QuitGameConfirmation : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;

    explicit QuitGameConfirmation(App* app);

    void Init() override;
    void SetToCurrentState() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    // Pad order across the row: Confirm, Cancel.
    std::vector<ztmath::Vector2> m_buttonPositions;
    MenuBlur m_blur;
    int32_t m_selected = 0;
    int32_t m_titleElement = -1;
    int32_t m_confirmElement = -1;
    int32_t m_cancelElement = -1;
};

}  // namespace ztengine
