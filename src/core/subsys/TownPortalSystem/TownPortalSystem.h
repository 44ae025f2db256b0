#pragma once
// The town portal: from inside a dungeon, outside a fight, the player can go back to the hub
// after a 2.5-second countdown (moving cancels it) and later return to the same spot through
// the hub's return portal.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/subsys/Overworld/FxParticle.h"

namespace ztengine {

class MessagingSystem;
class TextManager;
struct FadeMessageQueue;
struct LevelState;

class TownPortalSystem : public Subsystem {
public:
    using TextureSource = std::function<Texture2DHandle(const std::string& path)>;

    static constexpr float kTeleportSeconds = 2.5f;
    static constexpr uint32_t kParticleCapacity = 2048;
    // The ring pulses out and back in over 2.5 s: half a turn of sin in that time.
    static constexpr float kPhaseSpeed = 1.2566371f;

    explicit TownPortalSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    void BeginTeleport();
    void CancelTeleport();
    // One new particle at the point, rising and spinning.
    void EmitAt(const ztmath::Vector3& point, const ztmath::Vector3& direction, int count);
    FxParticle MakeParticle(const ztmath::Vector3& point) const;

    // Where the icons' pictures come from; the 2D layer by default.
    TextureSource m_textureSource;

    MessagingSystem* m_messaging = nullptr;
    FadeMessageQueue* m_fadeQueue = nullptr;
    TextManager* m_textManager = nullptr;
    uint32_t m_font = 0;
    uint32_t m_returningText = TextManager::kInvalidIndex;
    uint32_t m_cancelText = TextManager::kInvalidIndex;
    LevelState* m_levelState = nullptr;
    uint32_t m_enterEventId = 0xFFFFFFFFu;
    bool m_teleporting = false;
    int32_t m_particleSystem = -1;
    std::vector<FxParticle> m_particles;
    float m_teleportTimer = 0.0f;
    float m_spin = 0.0f;
    float m_phase = 0.0f;
    SpriteHandle m_enabledIcon;
    SpriteHandle m_disabledIcon;
    uint32_t m_hintText = TextManager::kInvalidIndex;

private:
    void Complete();
    void SetTextsVisible(bool visible);
};

}  // namespace ztengine
