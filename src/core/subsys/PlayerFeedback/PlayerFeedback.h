#pragma once
// What the player sees of their own condition: the pulsing icon of the surface they stand on
// (PlayerStatusEffectSystem), the indicator turned toward the last hit
// (HitDirectionFeedbackSystem), the spray from the weapon hand on every shot
// (HandParticleSystem) and the camera tipping over when they die (PlayerDeathSequence).
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/math/Basis.h"
#include "core/math/Vector3.h"

namespace ztengine {

class PlayerStatus;
struct PlayerStatusEffectData;
struct HitDirectionFeedbackData;

class PlayerStatusEffectSystem : public Subsystem {
public:
    explicit PlayerStatusEffectSystem(App* app);

    void Init() override;
    // Shows the icon of the effect set this frame and consumes it.
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;

    // Goo, ice and spikes, in the order of the effect values.
    SpriteHandle m_icons[3];
    float m_phase = 0.0f;

private:
    void HideIcons();

    PlayerStatusEffectData* m_effect;
};

class HitDirectionFeedbackSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;

    explicit HitDirectionFeedbackSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;

    SpriteHandle m_sprite;

private:
    HitDirectionFeedbackData* m_feedback;
};

class HandParticleSystem : public Subsystem {
public:
    static constexpr uint32_t kCapacity = 10000;
    static constexpr uint32_t kBurst = 50;
    // A burst is added only while it still fits in the particle system.
    static constexpr uint32_t kBurstLimit = kCapacity - kBurst + 1;

    struct Particle {
        ztmath::Vector3 m_spawnPosition;
        ztmath::Vector3 m_position;
        ztmath::Vector3 m_displacement;
        ztmath::Vector3 m_velocity;
        float m_theta = 0.0f;  // radians about the view axis
        float m_speed = 0.0f;
        float m_rotation = 0.0f;
        float m_size = 0.0f;
        float m_spinRate = 0.0f;
        float m_lifetime = 0.0f;
        float m_age = 0.0f;
    };

    // Seeds the random numbers again, as the start of the program does.
    explicit HandParticleSystem(App* app);

    void Init() override;
    void Update(float dt) override;

    int32_t m_particleSystem = -1;
    std::vector<Particle> m_particles;
    float m_emissionTimer = 0.0f;

private:
    void AddParticle(const ztmath::Vector3& camera, const ztmath::Basis& basis);

    PlayerStatus* m_playerStatus;
};

class PlayerDeathSequence : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    static constexpr float kTipTime = 0.55f;
    static constexpr float kLeaveTime = 2.05f;

    explicit PlayerDeathSequence(App* app);

    void Init() override;
    void SetToCurrentState() override;
    void Update(float dt) override;

    ztmath::Basis m_basis;
    ztmath::Vector3 m_startPosition;
    ztmath::Vector3 m_pivot;
    ztmath::Vector3 m_toCamera;
    float m_distance = 0.0f;
    bool m_active = false;
    float m_timer = 0.0f;
};

}  // namespace ztengine
