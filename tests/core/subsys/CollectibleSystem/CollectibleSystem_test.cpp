// Gold coins in the physics world: a coin dropped under the player is collected on the next
// update, two in one frame count twice, the pull reaches 16 units, leaving the state parks the
// coins, and a new dungeon or a restart sweeps them away.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/subsys/CollectibleSystem/CollectibleSystem.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "platform/CRand.h"
#include "support/ProgressionHarness.h"

namespace {

using ztengine::CollectibleSystem;
using ztengine::kInvalidIndex;
using ztmath::Vector3;

constexpr float kDt = 1.0f / 60.0f;

class CollectibleSystemTest : public ::testing::Test {
protected:
    CollectibleSystemTest()
    {
        world.renderer.SetCameraPosition(Vector3(0.0f, 10.0f, 0.0f));
        world.m_messagingSystem.RegisterHandler("COIN_COLLECT", [this](const ztengine::IEvent& e) {
            collectedAt.push_back(*static_cast<const Vector3*>(e.m_data));
            tags.push_back(e.m_tag);
        });
        coins.Init();
        world.stats->m_goldCollected = 0;
    }

    void Drop(const Vector3& at) { world.Send("DROP_COIN", &at); }
    // The physics step and then the system, as the game runs them.
    void Frame()
    {
        world.m_physicsEngine.Update(kDt);
        coins.Update(kDt);
        ztengine::UIElementManager::GetInstance().Update();
    }
    std::vector<ztengine::CoinRecord*> Live()
    {
        std::vector<ztengine::CoinRecord*> live;
        for (uint32_t i = coins.m_coins.m_head; i != kInvalidIndex; i = coins.m_coins.Next(i))
            live.push_back(&coins.m_coins.At(i));
        return live;
    }

    zttest::ProgressionHarness world;
    CollectibleSystem coins{&world};
    std::vector<Vector3> collectedAt;
    std::vector<int32_t> tags;
};

TEST_F(CollectibleSystemTest, CoinsUnderThePlayerAreCollectedOnTheNextUpdate)
{
    Drop(Vector3(1.0f, 0.0f, 0.5f));
    Drop(Vector3(-0.5f, 3.0f, 1.0f));  // height does not matter
    Drop(Vector3(0.0f, 2.0f, 0.0f));   // exactly under the eye: no direction to pull in
    ASSERT_EQ(Live().size(), 3u);
    EXPECT_EQ(world.gold->m_gold, 1);

    coins.Update(kDt);
    EXPECT_TRUE(Live().empty());
    EXPECT_EQ(world.gold->m_gold, 4);
    EXPECT_EQ(world.stats->m_goldCollected, 3u);
    ASSERT_EQ(collectedAt.size(), 3u);
    EXPECT_FLOAT_EQ(collectedAt[0].x, 1.0f);
    EXPECT_FLOAT_EQ(collectedAt[1].y, 3.0f);
    EXPECT_EQ(tags, (std::vector<int32_t>{1, 1, 1}));
    world.m_physicsEngine.Update(kDt);  // the released bodies leave the world cleanly

    // The pickup shows the flash and the count, both fading.
    const auto& flash = world.Element(coins.m_pickupFlash);
    EXPECT_NEAR(world.graphics2D.GetSprites()[flash.m_sprite.GetIndex()].alpha, 0.9f, 1e-6f);
    EXPECT_FLOAT_EQ(coins.m_goldTextAlpha, 1.0f);
    Frame();
    EXPECT_EQ(world.Text(coins.m_goldText).text, "gold: 4");
    EXPECT_FLOAT_EQ(world.Text(coins.m_goldText).color.w, 1.0f);
    for (int f = 0; f < 61; ++f)
        Frame();
    EXPECT_LE(world.Text(coins.m_goldText).color.w, 0.0f);
    EXPECT_LE(world.graphics2D.GetSprites()[flash.m_sprite.GetIndex()].alpha, 0.0f);
}

TEST_F(CollectibleSystemTest, CollectsWithinThreeAndAHalfUnitsHorizontally)
{
    // {horizontal distance from the player, collected}: a coin held still (no gravity, no
    // launch) high above the ground, so only the reach decides. The distances between 2 and 3.5
    // tell a reach of 3.5 from one compared against the squared distance.
    const struct {
        float distance;
        bool collected;
    } cases[] = {{1.0f, true}, {2.0f, true}, {2.5f, true}, {3.0f, true}, {3.45f, true}, {3.55f, false}, {5.0f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.distance);
        // Diagonal, so both horizontal axes count.
        const float d = c.distance / std::sqrt(2.0f);
        const Vector3 at(d, 60.0f, -d);
        Drop(at);
        ztengine::CoinRecord* coin = Live().back();
        coin->m_body.SetGravity(Vector3());
        coin->m_body.SetLinearVelocity(Vector3());
        coin->m_body.SetTransform(at, coin->m_body.GetOrientation());
        const int32_t goldBefore = world.gold->m_gold;
        coins.Update(kDt);
        EXPECT_EQ(Live().empty(), c.collected);
        EXPECT_EQ(world.gold->m_gold, goldBefore + (c.collected ? 1 : 0));
        coins.ClearCoins();
        world.m_physicsEngine.Update(kDt);
    }
}

TEST_F(CollectibleSystemTest, LaunchFollowsTheSeededDraws)
{
    // The first draw turns the launch about the x axis (in radians); three more spin the coin.
    ztplatform::Srand(5);
    const float angle = 15.0f - static_cast<float>(ztplatform::Rand()) / 32767.0f * 30.0f;
    ztplatform::Srand(5);
    Drop(Vector3(100.0f, 20.0f, 0.0f));
    const Vector3 v = Live().back()->m_body.GetLinearVelocity();
    EXPECT_NEAR(v.x, 0.0f, 1e-4f);
    EXPECT_NEAR(v.y, 32.0f * std::cos(angle), 1e-3f);  // 16 / 0.5
    EXPECT_NEAR(v.z, 32.0f * std::sin(angle), 1e-3f);
}

TEST_F(CollectibleSystemTest, PullReachesSixteenUnitsHorizontally)
{
    // {x of the coin, pulled}: a coin held in place (no gravity, no launch) either gains speed
    // towards the player or does not.
    const struct {
        float x;
        bool pulled;
    } cases[] = {{10.0f, true}, {15.9f, true}, {16.1f, false}, {30.0f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        Drop(Vector3(c.x, 50.0f, 0.0f));
        ztengine::CoinRecord* coin = Live().back();
        coin->m_body.SetGravity(Vector3());
        coin->m_body.SetLinearVelocity(Vector3());
        coin->m_body.SetTransform(Vector3(c.x, 50.0f, 0.0f), coin->m_body.GetOrientation());
        coins.Update(kDt);   // applies the force
        world.m_physicsEngine.Update(kDt);
        const Vector3 v = coin->m_body.GetLinearVelocity();
        if (c.pulled) {
            EXPECT_LT(v.x, -1.0f);  // 95 / 0.5 per second, for one step
            EXPECT_NEAR(v.y, 0.0f, 1e-4f);
        } else {
            EXPECT_NEAR(v.x, 0.0f, 1e-4f);
        }
        coins.ClearCoins();
        world.m_physicsEngine.Update(kDt);
    }
}

TEST_F(CollectibleSystemTest, CoinsDroppedAheadLandAndArePulledIn)
{
    // As the developer key drops them: 11.5 ahead of the eye, on scenery ground under the
    // game's gravity; the pull has to bring them in wherever the launch sends them.
    world.m_physicsEngine.SetGravity(Vector3(0.0f, -98.0f, 0.0f));
    const uint32_t floorShape = world.m_physicsEngine.CreateBoxCollider(Vector3(200.0f, 1.0f, 200.0f));
    ztengine::PhysicsBody ground =
        world.m_physicsEngine.CreateStaticBody(floorShape, Vector3(0.0f, -1.0f, 0.0f), ztmath::Quaternion());
    ground.SetCollisionCategoryBits(ztengine::kCollisionCategoryScenery);
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        SCOPED_TRACE(seed);
        ztplatform::Srand(seed);
        Drop(Vector3(0.0f, 8.0f, -11.5f));
        int frames = 0;
        while (!Live().empty() && frames < 300) {
            Frame();
            ++frames;
        }
        if (!Live().empty()) {
            const Vector3 p = Live().back()->m_body.GetPosition();
            ADD_FAILURE() << "the coin lies at " << p.x << ", " << p.y << ", " << p.z;
            coins.ClearCoins();
        }
    }
}

TEST_F(CollectibleSystemTest, CoinsFlyFallAndAreSweptAway)
{
    world.m_physicsEngine.SetGravity(Vector3(0.0f, -98.0f, 0.0f));  // the game's gravity
    const uint32_t floorShape = world.m_physicsEngine.CreateBoxCollider(Vector3(200.0f, 1.0f, 200.0f));
    world.m_physicsEngine.CreateStaticBody(floorShape, Vector3(0.0f, -1.0f, 0.0f), ztmath::Quaternion());
    ztplatform::Srand(7);
    for (float x : {40.0f, 60.0f, 80.0f})
        Drop(Vector3(x, 5.0f, 0.0f));
    ASSERT_EQ(Live().size(), 3u);
    for (int f = 0; f < 180; ++f)
        Frame();
    ASSERT_EQ(Live().size(), 3u);
    for (ztengine::CoinRecord* coin : Live()) {
        const Vector3 p = coin->m_body.GetPosition();
        // Resting on the floor, not through it; the instance follows the body.
        EXPECT_GT(p.y, -0.1f);
        EXPECT_LT(p.y, 5.0f);
        EXPECT_EQ(coin->m_instance.GetInstanceConst().m_transform.m_position, p);
        EXPECT_FLOAT_EQ(coin->m_instance.GetInstanceConst().m_transform.m_scale.x, 2.0f);
    }

    coins.NextState(0);
    for (ztengine::CoinRecord* coin : Live())
        EXPECT_TRUE(coin->m_instance.GetInstanceConst().m_hidden);
    coins.SetToCurrentState();
    for (ztengine::CoinRecord* coin : Live())
        EXPECT_FALSE(coin->m_instance.GetInstanceConst().m_hidden);

    world.Send("NEW_DUNGEON_GENERATED");
    EXPECT_TRUE(Live().empty());
    Drop(Vector3(50.0f, 5.0f, 0.0f));
    world.Send("EVENT_RESTART");
    EXPECT_TRUE(Live().empty());
    Frame();
    EXPECT_EQ(world.gold->m_gold, 1);
}

}  // namespace
