// The test gym on the CPU renderer and the real physics world: the arena's bodies are built
// once per entry and gone after the exit, the boxes are drawn on the bodies, and the player is
// put at the origin by the first update after start-up only.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/gui/GuiHarness.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/subsys/GameGym/GameGym.h"
#include "support/DevLevelApp.h"

namespace {

using ztengine::GameGym;
using ztengine::PhysicsBody;
using ztengine::RaycastResult;
using ztmath::Quaternion;
using ztmath::Vector3;

struct Gym {
    Gym() { gym.Init(); }
    // The boxes shown or hidden.
    int Shown()
    {
        int n = 0;
        for (const auto& instance : gym.Instances())
            n += instance.GetInstanceConst().m_hidden ? 0 : 1;
        return n;
    }
    bool Hits(const Vector3& from, const Vector3& to, RaycastResult& hit)
    {
        return app.m_physicsEngine.Raycast(from, to, hit);
    }

    zttest::GuiHarness gui;
    zttest::DevLevelApp app;
    GameGym gym{&app};
};

TEST(GameGym, BodiesAreBuiltOncePerEntryAndGoneAfterTheExit)
{
    Gym g;
    // Init makes the six boxes hidden and no body.
    EXPECT_EQ(g.Shown(), 0);
    EXPECT_EQ(g.app.LiveBodies(), 1);
    EXPECT_FALSE(g.gym.Active());
    EXPECT_EQ(g.app.Count("HIDE_CUSTOM_CURSOR"), 1);
    g.app.sent.clear();

    // Entering twice in a row builds the arena once.
    g.gym.SetToCurrentState();
    g.gym.SetToCurrentState();
    EXPECT_TRUE(g.gym.Active());
    EXPECT_EQ(g.app.LiveBodies(ztengine::kCollisionCategoryScenery), 6);
    EXPECT_EQ(g.app.LiveBodies(), 7);
    EXPECT_EQ(g.Shown(), 6);
    EXPECT_EQ(g.app.Count("HIDE_CUSTOM_CURSOR"), 1);

    // The floor's top is 1.5 below the origin; the walls close the arena 140 units out.
    RaycastResult hit;
    ASSERT_TRUE(g.Hits(Vector3(100, 10, 100), Vector3(100, -20, 100), hit));
    EXPECT_NEAR(hit.point.y, -1.5f, 1e-3f);
    const struct {
        Vector3 to;
        float x, z;
    } walls[] = {{{400, 20, 60}, 140.0f, 60.0f},
                 {{-400, 20, 60}, -140.0f, 60.0f},
                 {{60, 20, 400}, 60.0f, 138.0f},
                 {{60, 20, -400}, 60.0f, -142.0f}};
    for (const auto& wall : walls) {
        ASSERT_TRUE(g.Hits(Vector3(60, 20, 60), wall.to, hit));
        EXPECT_NEAR(hit.point.x, wall.x, 1e-2f);
        EXPECT_NEAR(hit.point.z, wall.z, 1e-2f);
    }
    // The slab stands up from the floor next to the origin, tilted 130 degrees.
    ASSERT_TRUE(g.Hits(Vector3(-10, 30, -2), Vector3(-10, -1, -2), hit));
    EXPECT_GT(hit.point.y, 5.0f);
    EXPECT_EQ(g.gym.Bodies()[1].GetUID(), hit.body.GetUID());

    // Each box is drawn on its body at the arena's scale.
    g.gym.Update(1.0f / 60.0f);
    for (int i = 0; i < GameGym::kPieceCount; ++i) {
        SCOPED_TRACE(i);
        const auto& transform = g.gym.Instances()[i].GetInstanceConst().m_transform;
        const GameGym::Piece& piece = GameGym::Pieces()[i];
        EXPECT_NEAR((transform.m_position - piece.position).Length(), 0.0f, 1e-4f);
        EXPECT_NEAR((transform.m_scale - piece.scale).Length(), 0.0f, 1e-4f);
        const Vector3 up = transform.m_basis.ToQuaternion().Rotate(Vector3(0, 1, 0));
        EXPECT_NEAR((up - piece.orientation.Rotate(Vector3(0, 1, 0))).Length(), 0.0f, 1e-4f);
    }
    const Vector3 slabUp = GameGym::Pieces()[1].orientation.Rotate(Vector3(0, 1, 0));
    EXPECT_NEAR(slabUp.x, -std::sin(130.0f * 3.14159265f / 180.0f), 1e-4f);

    // Leaving hides the boxes, gives the cursor back once and removes the bodies.
    g.app.sent.clear();
    g.gym.NextState(2);
    g.gym.NextState(2);
    EXPECT_FALSE(g.gym.Active());
    EXPECT_EQ(g.Shown(), 0);
    EXPECT_EQ(g.app.Count("SHOW_CUSTOM_CURSOR"), 1);
    g.app.Step();
    EXPECT_EQ(g.app.LiveBodies(), 1);
    EXPECT_FALSE(g.Hits(Vector3(100, 10, 100), Vector3(100, -20, 100), hit));
    // Outside the gym its update does nothing.
    g.gym.Update(1.0f / 60.0f);
    EXPECT_EQ(g.app.Count("HIDE_CUSTOM_CURSOR"), 0);

    // The next entry builds a fresh arena.
    g.gym.SetToCurrentState();
    EXPECT_EQ(g.app.LiveBodies(ztengine::kCollisionCategoryScenery), 6);
    EXPECT_EQ(g.Shown(), 6);
    ASSERT_TRUE(g.Hits(Vector3(100, 10, 100), Vector3(100, -20, 100), hit));
    EXPECT_EQ(hit.body.GetUID(), g.gym.Bodies()[0].GetUID());
}

TEST(GameGym, ThePlayerGoesToTheOriginOnlyOnTheFirstUpdate)
{
    Gym g;
    PhysicsBody& player = g.app.Player();
    const Quaternion turned(0.0f, std::sin(0.3f), 0.0f, std::cos(0.3f));
    player.SetTransform(Vector3(30, 5, 30), turned);

    // Before the first entry the update waits.
    g.gym.Update(1.0f / 60.0f);
    EXPECT_TRUE(g.gym.FirstUpdatePending());
    EXPECT_EQ(g.app.Count("EXIT_OVERWORLD"), 0);

    g.gym.SetToCurrentState();
    g.app.sent.clear();
    g.gym.Update(1.0f / 60.0f);
    EXPECT_FALSE(g.gym.FirstUpdatePending());
    EXPECT_NEAR(player.GetPosition().Length(), 0.0f, 1e-5f);
    const Quaternion kept = player.GetOrientation();
    EXPECT_NEAR(std::fabs(kept.Dot(turned)), 1.0f, 1e-5f);
    // The hub hides and the dungeon's colliders go off first; the cursor stays hidden.
    EXPECT_EQ(g.app.sent, (std::vector<std::string>{"EXIT_OVERWORLD", "DISABLE_DUNGEON_COLLIDERS",
                                                    "HIDE_CUSTOM_CURSOR"}));

    // Later updates and later entries leave the player where they are.
    player.SetTransform(Vector3(20, 5, -20), turned);
    g.gym.Update(1.0f / 60.0f);
    g.gym.NextState(2);
    g.gym.SetToCurrentState();
    g.app.sent.clear();
    g.gym.Update(1.0f / 60.0f);
    EXPECT_NEAR((player.GetPosition() - Vector3(20, 5, -20)).Length(), 0.0f, 1e-5f);
    EXPECT_EQ(g.app.sent, std::vector<std::string>{"HIDE_CUSTOM_CURSOR"});
}

}  // namespace
