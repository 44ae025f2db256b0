// The gun in the real game and renderer, reached as a player reaches it: from the main menu
// into play, through the red portal into the first floor, a bought upgrade of three projectiles
// a shot, then the left button held at the start room's far wall. The shots fly with trails,
// strike the wall with an orange flash and a burst, each costs stamina and kicks the view, and
// the view is saved mid-fire as "test-artefacts/weapon/mid-fire.png".
#include <gtest/gtest.h>


#include <algorithm>
#include <cmath>

#include "core/Win32App.h"
#include "core/graphics/GLRenderer3D.h"
#include "core/subsys/ProjectileSystem/ProjectileSystem.h"
#include "core/subsys/RangePlayerSystem/RangePlayerSystem.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "support/GameRoad.h"

namespace {

using ztengine::ProjectileDecalsSystem;
using ztengine::ProjectileSystem;
using ztengine::RangePlayerSystem;
using zttest::GameRoad;
using ztmath::Vector3;

// The flash and the sparks: bright orange.
int Warm(const zttest::RoadPicture& picture)
{
    return picture.Count(0, 0, picture.width, picture.height,
                         [](int r, int g, int b) { return r > 180 && g > 80 && b < 90; });
}

TEST(WeaponOnScreen, HeldTriggerShootsTrailsIntoTheWallAndFlashesWhereTheyHit)
{
    GameRoad road("weapon");
    ASSERT_TRUE(road.Start()) << road.Error();
    auto* weapon = road.Game().FindSystem<RangePlayerSystem>();
    auto* projectiles = road.Game().FindSystem<ProjectileSystem>();
    auto* decals = road.Game().FindSystem<ProjectileDecalsSystem>();
    ASSERT_TRUE(weapon && projectiles && decals);
    ASSERT_TRUE(road.WalkIntoPortal(GameRoad::kRedSkull));
    ASSERT_TRUE(road.WaitForPlay()) << road.State();

    // The far wall of the start room, at eye height.
    const Vector3 target = road.FarCornerOfThisRoom();
    road.Face(target);
    // A bought upgrade: three projectiles a shot.
    road.Shared<ztengine::WeaponMessageQueue>("WeaponMessageQueue").m_messages.push_back({0, 0, 1});
    const zttest::RoadPicture before = road.Shot("before-firing", 10);
    EXPECT_EQ(weapon->m_projectileCount, 3);

    // The picture is drawn with the effects the game chose, which the game still sees between
    // frames; a frame between pictures is drawn without them and changes none of its choices.
    auto* renderer = dynamic_cast<ztengine::GLRenderer3D*>(road.App().GetGraphics3D());
    ASSERT_NE(renderer, nullptr);
    auto chosen = [&] {
        ztengine::FramePlan plan;
        plan.shadowPass = renderer->AreShadowsEnabled();
        plan.ssao = renderer->m_ssaoEnabled;
        plan.motionBlur = renderer->GetOptions().IsMotionBlurEnabled();
        plan.depthOfField = renderer->IsDOFEnabled();
        return plan;
    };
    const ztengine::FramePlan choice = chosen();
    EXPECT_TRUE(choice.shadowPass) << "the game draws the sun's shadows";
    for (const bool plain : {false, true}) {
        const ztengine::FramePlan drawn = renderer->GetLastFramePlan();
        const ztengine::FramePlan now = chosen();
        const char* what = plain ? "a frame between pictures" : "the picture";
        EXPECT_EQ(drawn.shadowPass, !plain && choice.shadowPass) << what;
        EXPECT_EQ(drawn.ssao, !plain && choice.ssao) << what;
        EXPECT_EQ(drawn.motionBlur, !plain && choice.motionBlur) << what;
        EXPECT_EQ(drawn.depthOfField, !plain && choice.depthOfField) << what;
        EXPECT_EQ(now.shadowPass, choice.shadowPass) << what;
        EXPECT_EQ(now.ssao, choice.ssao) << what;
        EXPECT_EQ(now.motionBlur, choice.motionBlur) << what;
        EXPECT_EQ(now.depthOfField, choice.depthOfField) << what;
        road.Run(1);
    }

    auto& status = road.Shared<ztengine::PlayerStatus>("PlayerStatus");
    const float fullStamina = status.m_stamina;
    const float pitchBefore = road.Pitch();
    road.Game().PressMouseButton(0);
    // The first volley lands; the picture is taken while the next ones are in flight.
    // Stamina comes back within a few frames: the lowest it went shows the cost.
    float lowestStamina = fullStamina;
    const bool landed = road.RunUntil(
        [&] {
            lowestStamina = std::min(lowestStamina, status.m_stamina);
            return !decals->m_decals.empty();
        },
        30);
    EXPECT_TRUE(landed) << "no shot struck the wall";
    EXPECT_LT(lowestStamina, fullStamina) << "the shot cost no stamina";
    EXPECT_GT(std::fabs(road.Pitch() - pitchBefore), 1.0f) << "the view did not kick up";
    // The picture mid-fire is the last of these frames and is compared with one drawn with the
    // effects: they are drawn with them too. An impact burst lives only a few frames and a frame
    // between two volleys shows none, so the frames run until one holds a burst as well as trails
    // in flight (the trigger stays held: every volley strikes the wall again).
    road.KeepEffects(true);
    const bool bursting = road.RunUntil(
        [&] {
            return !decals->m_decals.empty() && !projectiles->TrailParticles().empty() &&
                   !projectiles->ImpactParticles().empty();
        },
        120);
    road.KeepEffects(false);
    EXPECT_TRUE(bursting) << "no frame held trails and an impact burst together";
    EXPECT_FALSE(decals->m_decals.empty());
    EXPECT_FALSE(projectiles->TrailParticles().empty());
    EXPECT_FALSE(projectiles->ImpactParticles().empty());
    const zttest::RoadPicture midFire = road.Shot("mid-fire", 0);
    // The flash is looked for in the frames of the fire, until one shows it: a picture between
    // two volleys may show none.
    int warmest = Warm(midFire);
    for (int i = 0; i < 12 && warmest <= Warm(before) + 20; ++i)
        warmest = std::max(warmest, Warm(road.Shot("mid-fire-later", 1)));
    road.Game().ReleaseMouseButton(0);
    road.Run(1);

    GameRoad::ExpectReadable(midFire, "the view mid-fire");
    EXPECT_GT(midFire.Changed(before), 2000u) << "nothing of the fire shows";
    EXPECT_GT(warmest, Warm(before) + 20) << "no flash where the shots struck";
    EXPECT_EQ(road.Quit(), 0);
}

}  // namespace
