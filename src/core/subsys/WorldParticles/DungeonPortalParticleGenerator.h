#pragma once
// Rings of rising light around the dungeon's way down: every 2 s one ring rises from a circle
// around the portal and one spreads out from its centre. The rings run while the portal is
// valid and are wiped the moment it is not.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"
#include "core/subsys/WorldParticles/ParticleRecord.h"

namespace ztengine {

struct PortalLocation;

class DungeonPortalParticleGenerator : public Subsystem {
public:
    static constexpr const char* kAtlas = "particles/particleAtlas.png";
    static constexpr uint32_t kAtlasRows = 4;
    static constexpr uint32_t kCapacity = 2048;
    static constexpr float kRingInterval = 2.0f;
    static constexpr int kRingPoints = 20;
    static constexpr float kRingRadius = 5.0f;
    static constexpr float kSpreadSpeed = 0.5f;
    static constexpr float kSize = 3.0f;
    static constexpr float kLifetime = 10.0f;

    explicit DungeonPortalParticleGenerator(App* app);

    void Init() override;
    void Update(float dt) override;

    // Emits the rings when their time has come, then ages, moves and fades every particle.
    void UpdateRings(float dt, const ztmath::Vector3& centre);

    int32_t m_particleSystem = -1;
    std::vector<ztgame::ParticleRecord> m_particles;
    PortalLocation* m_portal = nullptr;
    // Runs only while a portal is valid and keeps its value from one portal to the next, so the
    // first rings of a later floor may come sooner than 2 s after it opens.
    float m_ringTimer = 0.0f;
    bool m_wasValid = false;
};

}  // namespace ztengine
