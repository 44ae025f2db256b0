#pragma once
// The flames of the dungeon's wall torches, in the style of the current dungeon: a green glow,
// blue sparks or a red flame. A torch whose kind does not belong to the current dungeon stays
// dark; particles already made burn out on their own.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"

namespace ztengine {

struct LevelState;
struct TorchRecord;
struct TorchSharedData;

struct TorchParticle {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_velocity;
    float m_rotation = 0.0f;
    float m_size = 0.0f;
    float m_lifetime = 0.0f;
    float m_age = 0.0f;
};

class TorchParticleSystem : public Subsystem {
public:
    static constexpr const char* kAtlas = "particles/particleAtlas.png";
    static constexpr const char* kBlueAtlas = "particles/particleAtlasBlue.png";
    static constexpr uint32_t kAtlasRows = 4;
    static constexpr uint32_t kCapacity = 4096;
    static constexpr float kGlowInterval = 0.13f;
    static constexpr float kSparksInterval = 0.1f;
    static constexpr float kFlameInterval = 0.2f;

    // The torch kind each dungeon lights (LevelState's level).
    static constexpr int32_t kGlowKind = 0;    // the green dungeon, level 2
    static constexpr int32_t kSparksKind = 1;  // the blue dungeon, level 3
    static constexpr int32_t kFlameKind = 2;   // the red dungeon, level 1

    explicit TorchParticleSystem(App* app);

    void Init() override;
    void Update(float dt) override;

    void EmitGlow(TorchRecord& torch, float dt);
    void EmitSparks(TorchRecord& torch, float dt);
    void EmitFlame(TorchRecord& torch, float dt);
    // Ages, moves and hands every particle of the three styles to its renderer system.
    void StepFlames(float dt);

    int32_t m_glowSystem = -1;
    int32_t m_sparksSystem = -1;
    int32_t m_flameSystem = -1;
    std::vector<TorchParticle> m_glow;
    std::vector<TorchParticle> m_sparks;
    std::vector<TorchParticle> m_flame;
    TorchSharedData* m_torches = nullptr;
    LevelState* m_levelState = nullptr;

private:
    void Emit(int32_t system, std::vector<TorchParticle>& list, const TorchParticle& particle);
};

}  // namespace ztengine
