// The skeleton magician casts its series from the stance, then strafes away facing the player;
// the side it strafes to comes from the game's seeded random numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/subsys/AI/behaviours/EnemyWorld.h"
#include "core/subsys/AI/behaviours/SkeletonMagicianBehaviour.h"
#include "core/util/Random.h"

namespace {

using ztengine::BehaviourSkeletonMagicianComponent;
using ztmath::Vector3;

class SkeletonMagicianBehaviour : public zttest::EnemyWorld {};

TEST_F(SkeletonMagicianBehaviour, CastsTwiceThenStrafesAwayFacingThePlayer)
{
    const Vector3 camera(0.0f, 0.0f, 50.0f);
    Camera(camera);
    const uint32_t e = Spawn("skeleton_magician", Vector3());
    auto* magician = Get<BehaviourSkeletonMagicianComponent>(e, "skeleton_magician_logic");
    auto* object = Get<ztengine::Object3DComponent>(e, "object3D");
    ztengine::PhysicsBody body = Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body;

    // Timeline of state changes with their times.
    std::vector<std::pair<int, float>> changes;
    int last = magician->m_state;
    float t = 0.0f;
    std::vector<float> casts;
    bool withdrew = false;
    int strafeClip = -1;
    // One series: two casts, then the withdrawal until it ends.
    while (t < 8.0f && !(withdrew && magician->m_state != 6)) {
        const size_t shotsBefore = Count("SMAGICIAN_SHOOT");
        Frame();
        t += kFrame;
        if (Count("SMAGICIAN_SHOOT") != shotsBefore)
            casts.push_back(t);
        if (magician->m_state != last) {
            changes.push_back({magician->m_state, t});
            last = magician->m_state;
        }
        if (magician->m_state == 6) {
            if (!withdrew)
                strafeClip = object->m_instance.GetAnimationIndex();
            withdrew = true;
            const Vector3 toPlayer = camera - body.GetPosition();
            const Vector3 flat = Vector3(toPlayer.x, 0.0f, toPlayer.z).Normalized();
            if (!casts.empty() && t > casts.back() + 1.5f) {
                EXPECT_GT(magician->InstanceBasis().forward.Dot(flat), 0.95f)
                    << "faces the player while strafing, t " << t;
            }
        }
    }
    ASSERT_GE(changes.size(), 6u);
    EXPECT_EQ(changes[0].first, 5);
    EXPECT_EQ(changes[1].first, 3) << "the first cast of a series is immediate";
    EXPECT_EQ(strafeClip, 9);
    ASSERT_EQ(casts.size(), 2u);
    EXPECT_EQ(projectiles->m_requests.front().m_kind, 0);
    // The second cast: back in stance, a second of waiting, then half the cast clip.
    float backInStance = 0.0f;
    for (size_t i = 2; i < changes.size(); ++i)
        if (changes[i].first == 5) {
            backInStance = changes[i].second;
            break;
        }
    EXPECT_NEAR(casts[1] - backInStance, 1.0f + 0.45f, 0.1f);
    float withdraw = 0.0f;
    for (const auto& [state, at] : changes)
        if (state == 6)
            withdraw = at;
    ASSERT_GT(withdraw, 0.0f);
    EXPECT_NEAR(t - withdraw, 2.0f, 3.0f * kFrame);
    // It moved sideways, across the line to the player.
    EXPECT_GT(std::fabs(body.GetPosition().x), 1.0f);

    // A withdrawal count of 0: every stance is a withdrawal.
    magician->m_withdrawalCount = 0;
    magician->m_state = 0;
    magician->m_previousState = 10;
    const size_t shots = Count("SMAGICIAN_SHOOT");
    Frame();
    Frame();
    EXPECT_EQ(magician->m_state, 6);
    EXPECT_EQ(Count("SMAGICIAN_SHOOT"), shots);
}

TEST_F(SkeletonMagicianBehaviour, StrafingSidesFollowTheGameSeed)
{
    // The sides drawn by a row of new magicians, as a string of L and R.
    auto sides = [&](uint32_t seed) {
        ztengine::SeedRandom(seed);
        std::string drawn;
        for (int i = 0; i < 12; ++i) {
            const uint32_t e = Spawn("skeleton_magician", Vector3(float(i) * 20.0f, 0.0f, 0.0f));
            drawn += Get<BehaviourSkeletonMagicianComponent>(e, "skeleton_magician_logic")->m_side ? 'R' : 'L';
        }
        return drawn;
    };
    const std::string first = sides(1000);
    // The same start of the game draws the same sides; another start draws others.
    EXPECT_EQ(sides(1000), first);
    int differing = 0;
    for (uint32_t seed : {2000u, 3000u, 4000u, 5000u})
        differing += sides(seed) != first ? 1 : 0;
    EXPECT_GE(differing, 3) << first;
    EXPECT_NE(first.find('L'), std::string::npos);
    EXPECT_NE(first.find('R'), std::string::npos);
}

}  // namespace
