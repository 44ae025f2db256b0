#pragma once
// The final boss's behaviour. Before the fight it keeps the shop by the altar: it idles, greets
// the player and complains when shot. In the fight it faces the player, walks up when far,
// throws a fireball every 2 s and, every few seconds, yells up a wave of enemies with a rain of
// projectiles around the player. Three orbs float and spark above its head. At zero health it
// dies, the sky fades back, and 10 s later it vanishes and the fight is over.
#include <cstdint>
#include <vector>

#include "core/graphics/framework/instance/Instances.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/subsys/BossSystem/Boss.h"

namespace ztengine {

class App;
class Graphics3D;
class SoundSystem;
class MessagingSystem;
class AISpawner;
class ProjectilesShared;
class BossSystemQueue;
class AltarSharedData;

// Sets the current sky box's blend factor; nothing when there is no current sky box.
void SetSkyBlend(Graphics3D& graphics, float blend);

struct RingParticle {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_velocity;
    float m_rotation = 0.0f;
    float m_size = 0.0f;
    float m_lifetime = 0.0f;
    float m_age = 0.0f;
};

struct OrbParticle {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_velocity;
    float m_rotation = 0.0f;
    float m_size = 0.0f;
    int32_t m_colour = 0;  // atlas frame
    float m_lifetime = 0.0f;
    float m_age = 0.0f;
};

// The renderer's particle systems of finished summons, kept for the next ones: the renderer
// has no way to free a particle system, so making a new one per summon would pile them up
// (with their vertex buffers and atlases) over a long fight.
class ParticleSystemPool {
public:
    ParticleSystemPool(const char* atlasPath, uint32_t rows, uint32_t capacity)
        : m_atlasPath(atlasPath), m_rows(rows), m_capacity(capacity)
    {
    }

    // A free system, or a new one when none is free.
    int32_t Acquire(Graphics3D& graphics);
    // The system is emptied and waits for the next Acquire.
    void Release(Graphics3D& graphics, int32_t system);

    size_t FreeCount() const { return m_free.size(); }
    // Systems this pool has asked the renderer for, free or in use.
    size_t CreatedCount() const { return m_created; }

private:
    const char* m_atlasPath;
    uint32_t m_rows;
    uint32_t m_capacity;
    std::vector<int32_t> m_free;
    size_t m_created = 0;
};

// One summon's rain: six projectiles a second falling around the spot the player stood on,
// and rings of sparks rising from it, for 10 s.
struct ParticleEmitter {
    static constexpr uint32_t kMaxParticles = 1000;
    static constexpr int kShotsPerVolley = 6;
    // The rain's projectile size, as big as its kind's collider.
    static constexpr float kRainSize = 0.75f;

    void Update(float dt, Graphics3D& graphics, ProjectilesShared& projectiles);
    void EmitRing(float dt);
    void UpdateParticles(float dt, Graphics3D& graphics);
    // Drops the particles and empties the renderer's system.
    void Clear(Graphics3D& graphics);

    int32_t m_particleSystem = -1;
    std::vector<RingParticle> m_particles;
    ztmath::Vector3 m_position;
    float m_radius = 10.0f;
    float m_height = 60.0f;
    float m_lifeLeft = 10.0f;
    float m_shotTimer = 1.0f;

    // One ring timer for all emitters: each running emitter advances it.
    static float s_ringTimer;
};

class FinalBoss : public Boss {
public:
    static constexpr int kOrbCount = 3;
    static constexpr int kVoiceCount = 4;
    static constexpr int kFirstAnimation = 2;
    static constexpr int kAnimationCount = 14;
    static constexpr int32_t kShotCounterStart = 15;
    static constexpr uint32_t kMaxOrbParticles = 10;
    static constexpr float kGreetDistance = 30.0f;
    static constexpr float kAttackInterval = 2.0f;
    static constexpr float kFireballRelease = 0.7f;
    static constexpr float kSummonRelease = 0.25f;
    static constexpr float kDeathSeconds = 10.0f;
    static constexpr uint32_t kMaxWaveEnemies = 10;

    enum Animation : int32_t {
        kNeutralIdle = 2,
        kDiveRoll = 3,
        kFireball = 4,
        kHitReaction = 5,
        kLookAround = 6,
        kHitToHead = 7,
        kFightIdle = 8,
        kForwardFlip = 9,
        kRunInPlace = 10,
        kIdleToFight = 11,
        kTaunt = 12,
        kWrithing = 13,
        kYelling = 14,
        kDying = 15,
    };
    enum Voice : int { kGreeting1 = 0, kGreeting2 = 1, kComplaint = 2, kDeathLine = 3 };

    static const ztmath::Vector3 kHomePosition;
    static const ztmath::Basis kHomeBasis;

    // The instance is the boss model's, made by the boss system.
    FinalBoss(App* app, const InstanceHandle& instance);
    ~FinalBoss() override;

    void Init() override;
    void Update(float dt) override;

    // Back to the start of the game: home, shown, full health, waiting.
    void Reset();
    void ResetEmitters();
    void Attack(float dt);
    void SummonWave();
    void EmitOrbParticles();
    void UpdateOrbParticles(float dt);
    bool IsVoicePlaying();

    // Sets the animation on the instance; with `restart` also from its start, playing.
    void SetAnimation(int32_t index, bool restart);
    ztmath::Vector3 Position() const;
    // Turns to the horizontal direction; a direction straight up or down keeps the facing.
    void Face(const ztmath::Vector3& direction);
    void MoveOrbs();
    // The static body that follows the instance.
    void SetBody(const PhysicsBody& body)
    {
        m_body = body;
        m_hasBody = true;
    }

    static float AnimationSpeed(int32_t index);

    // ---- State, open to the boss system and the game's tests.
    InstanceHandle m_instance;
    bool m_fightActive = false;
    float m_health = 0.0f;
    ztmath::Vector3 m_directionToPlayer;
    float m_moveSpeed = 60.0f;
    bool m_summoning = false;
    float m_hitFlash = 0.0f;
    float m_attackTimer = 0.0f;
    bool m_greeted = false;
    bool m_complained = false;
    int32_t m_voiceSounds[kVoiceCount] = {-1, -1, -1, -1};
    int32_t m_voiceInstances[kVoiceCount] = {-1, -1, -1, -1};
    float m_summonInterval = 4.0f;
    float m_summonTimer = 0.0f;
    std::vector<ParticleEmitter> m_emitters;
    ParticleSystemPool m_emitterSystems;
    InstanceHandle m_orbs[kOrbCount];
    ztmath::Vector3 m_orbOffsets[kOrbCount];
    int32_t m_orbColours[kOrbCount] = {0, 1, 2};
    int32_t m_orbParticleSystem = -1;
    std::vector<OrbParticle> m_orbParticles;
    PhysicsBody m_body;
    bool m_hasBody = false;
    int32_t m_animationIndex = kNeutralIdle;
    float m_animationProgress = 0.0f;
    bool m_deathHandled = false;
    bool m_animationPlaying = false;
    int32_t m_shotCounter = kShotCounterStart;
    float m_deathTimer = 0.0f;

private:
    void UpdateWaiting();
    void UpdateFight(float dt);
    void UpdateDying(float dt);
    void RunEmitters(float dt);
    void PlayVoice(int voice);
    // Unit vector and distance from the boss to the camera; false when they coincide.
    bool LookAtPlayer(float& distance);

    App* m_app;
    Graphics3D* m_graphics;
    SoundSystem* m_sound;
    MessagingSystem* m_messaging;
    AISpawner* m_spawner;
    ProjectilesShared* m_projectiles;
    BossSystemQueue* m_bossQueue;
    AltarSharedData* m_altarQueue;
};

}  // namespace ztengine
