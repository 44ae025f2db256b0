#pragma once
// A windowless application for the developer levels (the test gym and the sandbox): the level
// application with the sandbox's record, a player body standing in for the character
// controller's (moved by "PLAYER_SET_POSITION" as the controller moves it), the events the two
// levels send, and a count of the bodies in the physics world.
#include <cstdint>
#include <string>
#include <vector>

#include "core/physics-engine/CollisionVocabulary.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/LevelTestApp.h"

namespace zttest {

class DevLevelApp : public LevelTestApp {
public:
    DevLevelApp()
    {
        AddSharedData<ztengine::LevelObj3DCont>("SandboxLevelObj3DCont");
        ztengine::PhysicsBody& player =
            *AddSharedData<ztengine::PhysicsBody>("PlayerController");
        player = m_physicsEngine.CreateDynamicRigidBody(
            m_physicsEngine.CreateCapsuleCollider(1.0f, 4.0f), ztmath::Vector3(2.0f, 3.0f, 0.0f),
            ztmath::Quaternion(), 1.0f);
        player.SetCollisionCategoryBits(ztengine::kCollisionCategoryPlayer);
        for (const char* name : {"EXIT_OVERWORLD", "PLAYER_SET_POSITION"}) {
            m_messagingSystem.RegisterEvent(name);
            m_messagingSystem.RegisterHandler(name, [this, name](const ztengine::IEvent& e) {
                // The level app records "PLAYER_SET_POSITION" itself.
                if (std::string(name) != "PLAYER_SET_POSITION") {
                    sent.push_back(name);
                    return;
                }
                const ztmath::Vector3 at = *static_cast<const ztmath::Vector3*>(e.m_data);
                positionsSent.push_back(at);
                Player().SetTransform(at, Player().GetOrientation());
            });
        }
        m_physicsEngine.m_debugDrawShape = [this](const ztmath::Vector3&, const ztmath::Vector3&,
                                                  const ztmath::Quaternion&,
                                                  ztengine::DebugShapeType) { ++m_shapesSeen; };
    }

    ztengine::PhysicsBody& Player() { return Shared<ztengine::PhysicsBody>("PlayerController"); }

    // One physics frame: bodies destroyed before it are gone after it.
    void Step() { m_physicsEngine.Update(1.0f / 60.0f); }
    // The bodies in the world whose category shares a bit with `categories` (a body switched
    // off has none); by default every live body, the player's included.
    int LiveBodies(uint16_t categories = 0xFFFF)
    {
        m_shapesSeen = 0;
        m_physicsEngine.DebugDrawShapes(categories);
        return m_shapesSeen;
    }

    std::vector<ztmath::Vector3> positionsSent;

private:
    int m_shapesSeen = 0;
};

}  // namespace zttest
