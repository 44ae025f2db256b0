#pragma once
// The final boss's death as the player sees it in the overworld: its last line, and a ring of
// sparks above it every half second until its fight is over, when the end of the run begins
// ("BOSS_DEATH_STATE").
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"

namespace ztengine {

class DialogueController;
class MessagingSystem;

class BossDeadCheckSystem : public Subsystem {
public:
    static constexpr uint32_t kParticleCapacity = 2048;
    static constexpr float kBurstInterval = 0.5f;
    static constexpr int kParticlesPerBurst = 20;
    static constexpr float kBurstHeight = 20.0f;
    static constexpr float kParticleSize = 10.0f;
    static constexpr float kParticleLife = 2.0f;

    struct BurstParticle {
        ztmath::Vector3 position;
        ztmath::Vector3 velocity;
        float rotation = 0.0f;
        float size = kParticleSize;
        ztmath::Vector3 colour;  // not used by the bursts
        float lifetime = kParticleLife;
        float age = 0.0f;
    };

    explicit BossDeadCheckSystem(App* app);
    ~BossDeadCheckSystem() override;

    void Init() override;
    void Update(float dt) override;

    // Makes a ring every half second above the boss and moves, fades and retires the sparks.
    void UpdateBurst(float dt);
    bool LineShown() const { return m_userFlag; }
    // A random direction from three draws of `draw` (each mod 200, less 100, over 10). Three
    // zero components have no direction: such a draw is thrown away and made again.
    static ztmath::Vector3 RandomAxis(int (*draw)());

    MessagingSystem* m_messaging;
    bool m_bossDead = false;
    uint32_t m_particleCapacity = kParticleCapacity;
    int32_t m_particleSystem = -1;
    std::vector<BurstParticle> m_particles;
    DialogueController* m_dialogue;
    // Counts from program start; a restart leaves it where it was.
    float m_burstTimer = 0.0f;

private:
    void MakeBurst(const ztmath::Vector3& centre);
    void RemoveAllParticles();
    bool HasParticleSystem();
};

}  // namespace ztengine
