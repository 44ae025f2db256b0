#pragma once
// The health and stamina bars in the upper left of the play screen. The system also charges the
// stamina of every shot, regenerates it, and is where the player's death is noticed: health at 0
// resets the weapon, sends "PLAYER_DEATH" and leaves for "PLAYER_DEATH_STATE".
#include <array>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/math/Vector2.h"

namespace ztengine {

struct CameraShakeData;
class MessagingSystem;
class PlayerHealth;
class PlayerStatus;
struct WeaponMessageQueue;

// The ten sprites in creation order. Within one layer the 2D layer draws in creation order, so
// the backgrounds go first, the fills over them and the frames last.
enum HudBarSprite : int {
    kHealthBackground = 0,
    kStaminaBackground,
    kHealthFill,
    kStaminaFill,
    kHealthFrameBody,
    kHealthFrameLeft,
    kHealthFrameRight,
    kStaminaFrameBody,
    kStaminaFrameLeft,
    kStaminaFrameRight,
    kHudBarSpriteCount
};

struct HudBarRect {
    ztmath::Vector2 position;
    ztmath::Vector2 size;
};

// Where the ten sprites go for health h of H and stamina s of S, shaken by (jx, jy). Both bars
// start at the same left edge and grow 140 pixels per 100 points; the frame ends keep their
// creation size (the right end is the left end's picture turned half a turn).
std::array<HudBarRect, kHudBarSpriteCount> LayoutHudBars(float h, float H, float s, float S,
                                                         float jx, float jy);

class StaminaDurabilitySystem : public Subsystem {
public:
    static constexpr const char* kBackgroundTexture = "textures/2d/hp_sp_bar/bg.png";
    static constexpr const char* kHealthTexture = "textures/2d/hp_sp_bar/hp.png";
    static constexpr const char* kStaminaTexture = "textures/2d/hp_sp_bar/sp.png";
    static constexpr const char* kFrameBodyTexture = "textures/2d/hp_sp_bar/containerBody.png";
    static constexpr const char* kFrameEndTexture = "textures/2d/hp_sp_bar/containerLeft.png";
    static constexpr float kBarHeight = 38.0f;
    static constexpr float kLeftEdge = -620.0f;
    static constexpr float kHealthY = 370.0f;
    static constexpr float kStaminaY = 330.0f;
    static constexpr float kPixelsPerPoint = 140.0f / 100.0f;

    explicit StaminaDurabilitySystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;

    std::array<SpriteHandle, kHudBarSpriteCount> m_sprites;

private:
    void SetAllVisible(bool visible);
    void OnPlayerDeath();

    PlayerStatus* m_status;
    PlayerHealth* m_health;
    CameraShakeData* m_shake;
    WeaponMessageQueue* m_weaponMessages;
    MessagingSystem* m_messaging;
};

}  // namespace ztengine
