#pragma once
// A small physics world for the tests: a real Bullet world with earth-like gravity, frame
// stepping, and contact recorders that remember what each callback saw.
#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <vector>

#include "core/physics-engine/PhysicsEngine.h"

namespace zttest {

struct SeenContact {
    int frame = 0;
    uint32_t other = 0;
    int32_t otherType = 0;
    ztengine::ContactInfo info;
};

// What one body's contact callback saw, frame by frame.
struct ContactLog {
    std::vector<SeenContact> seen;
    int CountInFrame(int frame) const
    {
        int n = 0;
        for (const SeenContact& c : seen)
            n += c.frame == frame ? 1 : 0;
        return n;
    }
};

class PhysicsTestWorld : public ::testing::Test {
protected:
    static constexpr float kFixedStep = 1.0f / 120.0f;
    static constexpr float kFrame = 1.0f / 60.0f;

    PhysicsTestWorld() { engine.SetGravity(ztmath::Vector3(0.0f, -9.8f, 0.0f)); }

    void RunFrames(int n, float dt = kFrame)
    {
        for (int i = 0; i < n; ++i) {
            ++frame;
            engine.Update(dt);
        }
    }

    // A callback that appends to a log the test keeps.
    ztengine::ContactCallback Record(std::shared_ptr<ContactLog> log)
    {
        return [this, log](const ztengine::PhysicsBody& other, const ztengine::ContactInfo& info) {
            log->seen.push_back(SeenContact{frame, other.GetUID(), other.GetUserTypeID(), info});
        };
    }

    ztengine::PhysicsBody Sphere(const ztmath::Vector3& at, float radius, float mass,
                                 ztengine::ContactCallback onContact = {})
    {
        return engine.CreateDynamicRigidBody(engine.CreateSphereCollider(radius), at,
                                             ztmath::Quaternion(), mass, std::move(onContact));
    }

    ztengine::PhysicsBody Box(const ztmath::Vector3& at, const ztmath::Vector3& halfExtents,
                              float mass, ztengine::ContactCallback onContact = {})
    {
        return engine.CreateDynamicRigidBody(engine.CreateBoxCollider(halfExtents), at,
                                             ztmath::Quaternion(), mass, std::move(onContact));
    }

    // A 20 x 1 x 20 slab whose top face lies at y = 0.
    ztengine::PhysicsBody Floor(ztengine::ContactCallback onContact = {})
    {
        return engine.CreateStaticBody(engine.CreateBoxCollider(ztmath::Vector3(10.0f, 0.5f, 10.0f)),
                                       ztmath::Vector3(0.0f, -0.5f, 0.0f), ztmath::Quaternion(),
                                       std::move(onContact));
    }

    ztengine::PhysicsEngine engine{kFixedStep};
    int frame = 0;
};

// Runs `fn` with standard output on standard error: the engine's assertion report goes to
// standard output, and death tests match what the child wrote to standard error.
template <class Fn>
void WithReportOnStderr(Fn fn)
{
    dup2(STDERR_FILENO, STDOUT_FILENO);
    fn();
}

}  // namespace zttest
