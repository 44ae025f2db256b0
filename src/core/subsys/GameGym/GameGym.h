#pragma once
// GameGym: the "TEST_GYM" developer state's walled arena of boxes in the default material, with
// one tilted slab, built from code for trying the player and the enemies outside a dungeon.
// The colliders and the hidden boxes are made once; every entry makes the bodies and shows the
// boxes, every exit destroys the bodies and hides the boxes.
#include <array>
#include <cstdint>

#include "core/Subsystem.h"
#include "core/graphics/framework/instance/Instances.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"

namespace ztengine {

class App;
class MessagingSystem;
class PhysicsEngine;

class GameGym : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    // Floor, slab and four walls.
    static constexpr int kPieceCount = 6;

    struct Piece {
        int collider;  // 0 floor box, 1 slab box, 2 wall box
        ztmath::Vector3 position;
        ztmath::Quaternion orientation;
        ztmath::Vector3 scale;  // of the drawn unit cube
    };
    // The arena, in body order.
    static const std::array<Piece, kPieceCount>& Pieces();
    // Half extents of the three colliders.
    static const std::array<ztmath::Vector3, 3>& ColliderHalfExtents();

    explicit GameGym(App* app);

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;

    bool Active() const { return m_active; }
    bool FirstUpdatePending() const { return m_firstUpdatePending; }
    const std::array<PhysicsBody, kPieceCount>& Bodies() const { return m_bodies; }
    const std::array<InstanceHandle, kPieceCount>& Instances() const { return m_instances; }

private:
    void CreateBodies();
    void DestroyBodies();
    void SetBoxesHidden(bool hidden);

    PhysicsBody* m_playerBody;
    PhysicsEngine* m_physics;
    MessagingSystem* m_messaging;
    std::array<uint32_t, 3> m_colliders{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    std::array<PhysicsBody, kPieceCount> m_bodies{};
    std::array<InstanceHandle, kPieceCount> m_instances{};
    bool m_active = false;
    bool m_firstUpdatePending = true;
};

}  // namespace ztengine
