#pragma once
// A fountain and a swirl of light above every blessing chest that still holds its blessing. The
// renderer's list is rebuilt every frame; new particles come at most a hundred rounds a second
// whatever the frame rate.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"

namespace ztengine {

struct Shrine2Container;

struct ShrineParticle {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_velocity;
    float m_rotation = 0.0f;
    float m_rotationSpeed = 0.0f;
    float m_size = 0.0f;
    float m_swirlAngle = 0.0f;  // radians
    float m_lifetime = 0.0f;
    float m_age = 0.0f;
};

class ShrineParticleSystem : public Subsystem {
public:
    static constexpr const char* kAtlas = "particles/particleAtlas.png";
    static constexpr uint32_t kAtlasRows = 4;
    static constexpr uint32_t kCapacity = 100000;
    static constexpr size_t kListReserve = 50000;
    static constexpr float kEmissionInterval = 0.01f;
    static constexpr float kSwirlSpeed = 500.0f;  // radians per second
    static constexpr float kUpperFountainHeight = 3.4f;

    explicit ShrineParticleSystem(App* app);

    void Init() override;
    void Update(float dt) override;

    ShrineParticle MakeFountainParticle(const ztmath::Vector3& position, float lowLife, float highLife,
                                        float lowSize, float highSize);
    ShrineParticle MakeSwirlParticle(const ztmath::Vector3& position);

    int32_t m_particleSystem = -1;
    std::vector<ShrineParticle> m_fountain;
    std::vector<ShrineParticle> m_swirl;
    Shrine2Container* m_shrines = nullptr;
    float m_emissionTimer = 0.0f;
    float m_swirlAngle = 0.0f;  // where the next swirl particle starts on its circle

private:
    void StepFountain(float dt);
    void StepSwirl(float dt);
};

}  // namespace ztengine
