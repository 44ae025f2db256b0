#pragma once
// PDSystem: a barrel bursting into ten physical pieces that tumble for three seconds
// ("BARREL_DESTRUCTION"). Key B bursts one in front of the camera.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/subsys/sharedData/CombatRecords.h"

namespace ztengine {

class ModelManager;
class PhysicsEngine;

class PDSystem : public Subsystem {
public:
    static constexpr int32_t kPieceCount = 10;
    static constexpr float kPieceLife = 3.0f;
    static constexpr float kPieceMass = 5.0f;
    static constexpr float kBurstStrength = 50.0f;

    struct Piece {
        float m_age = 0.0f;
        InstanceHandle m_instance;
        PhysicsBody m_body;
    };

    explicit PDSystem(App* app);

    void Init() override;
    void Update(float dt) override;

    void BurstBarrel(const BarrelDestructionRecord& barrel);

    uint32_t m_collider = 0;
    std::vector<Piece> m_pieces;

private:
    PhysicsEngine* m_physics;
    ModelManager* m_models;
    // The payload of the debug key's event.
    BarrelDestructionRecord m_debugBarrel;
};

}  // namespace ztengine
