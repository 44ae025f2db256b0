// What the player sees of the portals, the motion blur switch, the gun and the title logo, in
// the real game on a 1280 x 800 window: a red portal close up, one quick turn with the settings'
// motion blur No and then Yes, the gun at pitches of -60, 0 and +60 degrees, and the main menu.
// The pictures go to test-artefacts/looks/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector4.h"
#include "core/subsys/Menus/SettingsSystem.h"
#include "core/subsys/RangePlayerSystem/RangePlayerSystem.h"
#include "support/GameRoad.h"

namespace {

using zttest::GameRoad;
using zttest::RoadPicture;
using ztmath::Vector3;

// Pixels whose colour is near black.
int Black(const RoadPicture& picture, int x0, int y0, int w, int h)
{
    return picture.Count(x0, y0, w, h, [](int r, int g, int b) { return r + g + b < 30; });
}

// Mean absolute brightness step between horizontal neighbours: a smeared picture has less.
double Sharpness(const RoadPicture& picture)
{
    double sum = 0.0;
    long count = 0;
    for (int y = picture.height / 4; y < picture.height * 3 / 4; y += 2)
        for (int x = 40; x + 1 < picture.width - 40; ++x, ++count) {
            const uint32_t a = picture.At(x, y);
            const uint32_t b = picture.At(x + 1, y);
            const int la = int((a >> 16) & 255) + int((a >> 8) & 255) + int(a & 255);
            const int lb = int((b >> 16) & 255) + int((b >> 8) & 255) + int(b & 255);
            sum += std::abs(la - lb);
        }
    return sum / double(count);
}

TEST(LooksOnScreen, PortalMotionBlurGunAndLogo)
{
    GameRoad road("looks");
    ASSERT_TRUE(road.Start()) << road.Error();

    // The red portal from 30 units in front, the swirl filling the middle of the view.
    const Vector3 plane(500.0f, 511.0f, 690.0f);
    road.StandAt(Vector3(500.0f, 512.0f, 660.0f));
    road.Run(10);
    road.Face(plane);
    const RoadPicture portal = road.Shot("portal");
    GameRoad::ExpectReadable(portal, "the portal");
    // Around the swirl's disc the stone frame and the sky show, not a black square's corners
    // (which covered some 22000 pixels of the middle third).
    const int w = portal.width, h = portal.height;
    const int black = Black(portal, w / 3, h / 3, w / 3, h / 3);
    std::printf("portal: black pixels in the middle third %d\n", black);
    EXPECT_LT(black, 3000);

    // One quick turn between two frames, with the player's motion blur choice No, then Yes.
    auto* settings = road.Game().FindSystem<ztengine::SettingsSystem>();
    ASSERT_NE(settings, nullptr);
    auto choose = [&](const char* name) {
        const int index = settings->FindOption(1, name);
        ASSERT_GE(index, 0);
        settings->GetOptions()[static_cast<size_t>(index)].choose();
    };
    road.StandAt(Vector3(500.0f, 512.0f, 600.0f));
    road.Run(5);
    double sharpness[2] = {0.0, 0.0};
    for (const bool on : {false, true}) {
        choose(on ? "Yes" : "No");
        road.KeepEffects(true);
        road.Look(150.0f, 0.0f);
        road.Run(2);
        road.Look(158.0f, 0.0f);
        const RoadPicture turning = road.Shot(on ? "turning-blur-on" : "turning-blur-off", 0);
        road.KeepEffects(false);
        sharpness[on ? 1 : 0] = Sharpness(turning);
    }
    std::printf("turning sharpness: blur off %.2f, blur on %.2f\n", sharpness[0], sharpness[1]);
    EXPECT_GT(sharpness[0], sharpness[1] * 1.3) << "the settings' motion blur switch changes nothing";

    // The gun at three pitches (positive pitch looks down).
    road.StandAt(Vector3(500.0f, 512.0f, 560.0f));
    road.Run(5);
    // Where the gun's muzzle, stock end and grip foot fall on the window (pixels, y down).
    auto* weapon = road.Game().FindSystem<ztengine::RangePlayerSystem>();
    ASSERT_NE(weapon, nullptr);
    ztengine::Graphics3D& graphics = *road.App().GetGraphics3D();
    auto gunOnScreen = [&] {
        const ztmath::Matrix4x4 toClip = graphics.GetProjection() * graphics.GetViewMatrix() *
                                         weapon->m_gunInstance.GetInstanceConst().m_transform.ToMatrix();
        std::vector<std::pair<float, float>> pixels;
        for (const Vector3& p : {Vector3(0.0f, 7.0f, -90.0f), Vector3(0.0f, 3.0f, 41.0f), Vector3(0.0f, -22.0f, 6.0f)}) {
            const ztmath::Vector4 clip = toClip * ztmath::Vector4(p.x, p.y, p.z, 1.0f);
            pixels.push_back({(clip.x / clip.w * 0.5f + 0.5f) * float(w), (0.5f - clip.y / clip.w * 0.5f) * float(h)});
        }
        return pixels;
    };
    std::vector<std::pair<float, float>> level;
    for (const float pitch : {0.0f, -60.0f, 60.0f}) {
        road.Look(180.0f, pitch);
        const std::string name = pitch < 0.0f ? "gun-up" : (pitch > 0.0f ? "gun-down" : "gun-level");
        road.Shot(name);
        const auto seen = gunOnScreen();
        if (level.empty())
            level = seen;
        for (size_t i = 0; i < seen.size(); ++i) {
            std::printf("%s: gun point %zu at (%.0f, %.0f)\n", name.c_str(), i, seen[i].first, seen[i].second);
            // In the lower right quarter, away from the crosshair, and where it was at pitch 0.
            EXPECT_GT(seen[i].first, w * 0.6f) << name;
            EXPECT_GT(seen[i].second, h * 0.55f) << name;
            EXPECT_NEAR(seen[i].first, level[i].first, 3.0f) << name;
            EXPECT_NEAR(seen[i].second, level[i].second, 3.0f) << name;
        }
    }

    // The title logo on the main menu: its picture's top edge lies on row 40, where the glow
    // above the orb used to end in a straight line.
    road.App().ChangeState("MAIN_MENU_STATE");
    road.Run(3);
    const RoadPicture title = road.Shot("title");
    GameRoad::ExpectReadable(title, "the main menu");
    auto rowStep = [&](int y0, int y1) {
        double sum = 0.0;
        for (int x = 200; x <= 380; ++x) {
            const uint32_t a = title.At(x, y0), b = title.At(x, y1);
            for (int shift : {16, 8, 0})
                sum += std::abs(int((a >> shift) & 255) - int((b >> shift) & 255));
        }
        return sum / 181.0;
    };
    double hardest = 0.0;
    for (int y = 34; y <= 44; ++y)
        hardest = std::max(hardest, rowStep(y, y + 2));
    std::printf("title: largest change over two rows about the logo's top edge %.1f\n", hardest);
    EXPECT_LT(hardest, 25.0);
    EXPECT_EQ(road.Quit(), 0);
}

}  // namespace
