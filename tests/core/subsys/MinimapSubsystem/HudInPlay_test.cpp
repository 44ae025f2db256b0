// The play screen in a dungeon, reached as a player reaches it: from the main menu into play,
// through the red portal onto floor 1. The frame shows the health and stamina bars, the minimap
// with its fog and arrow, torch flames and the exit's rings; TAB opens the big map and closes it
// again; at health 0 the bars send the player to the death state, once. The pictures are saved
// under "test-artefacts/hud/".
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cmath>

#include "core/Win32App.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/MinimapSubsystem/MinimapSubsystem.h"
#include "core/subsys/StaminaDurabilitySystem/StaminaDurabilitySystem.h"
#include "core/subsys/WorldParticles/DungeonPortalParticleGenerator.h"
#include "core/subsys/WorldParticles/TorchParticleSystem.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "support/GameRoad.h"

namespace {

using zttest::GameRoad;
using ztmath::Vector3;

// A map sprite on screen, in pixels from the top left, and the thickness of the frame's band
// there (the 1280 x 800 border picture's 36-pixel band, stretched over the sprite).
struct MapOnScreen {
    int x, y, w, h;
    int bandX() const { return w * 36 / 1280; }
    int bandY() const { return h * 36 / 800; }
};

// The 3D pass's clear colour (0.4, 0.4, 0.6): the canvas once took it as its background.
bool Lilac(int r, int g, int b)
{
    return std::abs(r - 102) + std::abs(g - 102) + std::abs(b - 153) < 24;
}

// The map fills its sprite (no wide flat lilac patch) and the frame runs along all four edges
// of it (gold: red well over blue, in the middle of the band on each side).
void ExpectMapFilledAndFramed(const zttest::RoadPicture& shot, const MapOnScreen& m, const char* what)
{
    SCOPED_TRACE(what);
    const int lilac = shot.Count(m.x, m.y, m.w, m.h, Lilac);
    EXPECT_LT(lilac, m.w * m.h / 50) << "flat lilac inside the map";
    const int bx = m.bandX();
    const int by = m.bandY();
    struct Band {
        const char* side;
        int x, y, w, h;
    };
    const Band bands[] = {
        {"top", m.x + 2 * bx, m.y + by / 3, m.w - 4 * bx, by / 3},
        {"bottom", m.x + 2 * bx, m.y + m.h - 2 * by / 3, m.w - 4 * bx, by / 3},
        {"left", m.x + bx / 3, m.y + 2 * by, bx / 3, m.h - 4 * by},
        {"right", m.x + m.w - 2 * bx / 3, m.y + 2 * by, bx / 3, m.h - 4 * by},
    };
    for (const Band& b : bands) {
        const int gold = shot.Count(b.x, b.y, b.w, b.h, [](int r, int g, int bl) { return r > bl + 50 && g > bl + 20; });
        EXPECT_GT(gold, b.w * b.h * 7 / 10) << "no frame along the " << b.side << " edge";
    }
    // Just inside the band the map itself shows, not the frame.
    const int inner = shot.Count(m.x + 2 * bx, m.y + 2 * by, m.w - 4 * bx, m.h - 4 * by,
                                 [](int r, int g, int bl) { return r > bl + 50 && g > bl + 20 && r > 180; });
    EXPECT_LT(inner, (m.w - 4 * bx) * (m.h - 4 * by) / 20) << "the frame lies over the map";
}

double Difference(const zttest::RoadPicture& a, const zttest::RoadPicture& b, int x, int y, int w, int h)
{
    double ar, ag, ab, br, bg, bb;
    a.Mean(x, y, w, h, ar, ag, ab);
    b.Mean(x, y, w, h, br, bg, bb);
    return std::fabs(ar - br) + std::fabs(ag - bg) + std::fabs(ab - bb);
}

TEST(HudInPlay, ADungeonFloorShowsBarsMapAndEffectsTabEnlargesTheMapAndDeathIsTakenOnce)
{
    GameRoad road("hud");
    ASSERT_TRUE(road.Start()) << road.Error();
    ztengine::Win32App& app = road.App();
    ASSERT_EQ(app.m_windowInfo.windowWidth, 1280u);
    ASSERT_EQ(app.m_windowInfo.windowHeight, 800u);
    auto* minimap = road.Game().FindSystem<ztengine::MinimapSubsystem>();
    auto* bars = road.Game().FindSystem<ztengine::StaminaDurabilitySystem>();
    auto* rings = road.Game().FindSystem<ztengine::DungeonPortalParticleGenerator>();
    auto* flames = road.Game().FindSystem<ztengine::TorchParticleSystem>();
    auto* generator = road.Game().FindSystem<ztengine::DungeonGenerator>();
    ASSERT_TRUE(minimap && bars && rings && flames && generator);
    // Read afresh each time: the sprite list may grow and move.
    auto mapSprite = [&]() { return app.GetGraphics2D()->GetSprites()[minimap->m_mapSprite.GetIndex()]; };
    EXPECT_FALSE(mapSprite().visible) << "the map shows in the hub";

    ASSERT_TRUE(road.WalkIntoPortal(GameRoad::kRedSkull));
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    // Past the first exit rings at 2 s, looking towards the exit.
    const Vector3 exit = generator->ExitPosition();
    road.Face(Vector3(exit.x, road.Eye().y - 2.0f, exit.z));
    road.Run(static_cast<int>(2.2 / 0.05));
    EXPECT_TRUE(mapSprite().visible);
    EXPECT_GE(rings->m_particles.size(), 40u);
    EXPECT_FALSE(flames->m_flame.empty());

    // The map: fog over the unseen floor, the arrow and the border.
    int fog = 0, players = 0, borders = 0;
    for (const ztengine::MinimapDraw& d : minimap->m_drawList) {
        fog += d.tile == ztengine::kMinimapFog;
        players += d.tile == ztengine::kMinimapPlayer;
        borders += d.tile == ztengine::kMinimapBorder;
    }
    const auto& layout = road.Shared<ztengine::LevelLayout>("LevelLayout");
    EXPECT_GE(fog, 79 * 39 - 64 * 3);
    EXPECT_EQ(players, 1);
    EXPECT_EQ(borders, 1);
    const Vector3 eye = road.Eye();
    EXPECT_EQ(layout.m_explored[static_cast<int>(eye.z / 10.0f + 0.5f)][static_cast<int>(eye.x / 10.0f + 0.5f)], 1);

    const zttest::RoadPicture play = road.Shot("dungeon-bars-map-and-effects", 1);
    GameRoad::ExpectReadable(play, "the dungeon view");
    // Health fill (x 20 to 160, rows 11 to 49 from the top) is red, the stamina fill below it
    // green.
    double r, g, b;
    play.Mean(50, 22, 60, 16, r, g, b);
    EXPECT_GT(r, g + 60.0) << "health bar";
    EXPECT_GT(r, b + 60.0) << "health bar";
    play.Mean(50, 62, 60, 16, r, g, b);
    EXPECT_GT(g, r) << "stamina bar";
    EXPECT_GT(g, b + 40.0) << "stamina bar";
    // The map in the top right corner is not one flat colour.
    const int mapColours = play.Count(1000, 25, 250, 150, [&](int pr, int pg, int pb) {
        const uint32_t corner = play.At(1000, 25);
        return std::abs(pr - static_cast<int>((corner >> 16) & 0xff)) +
                   std::abs(pg - static_cast<int>((corner >> 8) & 0xff)) +
                   std::abs(pb - static_cast<int>(corner & 0xff)) >
               40;
    });
    EXPECT_GT(mapColours, 200) << "no map in the corner";
    // At 1280 x 800 the small map's sprite spans x 970 to 1270 and y 10 to 210 from the top.
    const MapOnScreen smallMap{970, 10, 300, 200};
    ExpectMapFilledAndFramed(play, smallMap, "small map");
    // The fog covers most of it; the arrow (light blue) sits in the middle, where the view is
    // centred on the player.
    const int dark = play.Count(smallMap.x, smallMap.y, smallMap.w, smallMap.h,
                                [](int r, int g, int b) { return r < 40 && g < 40 && b < 45; });
    EXPECT_GT(dark, smallMap.w * smallMap.h / 4) << "no fog on the map";
    const int arrow = play.Count(1120 - 12, 110 - 12, 24, 24, [](int r, int g, int b) { return b > 180 && g > 160 && b > r + 30; });
    EXPECT_GT(arrow, 8) << "no arrow at the map's centre";

    // TAB (on release) opens the big map over the middle of the screen, and closes it again.
    road.Tap(GLFW_KEY_TAB);
    EXPECT_TRUE(minimap->m_bigMap);
    EXPECT_EQ(mapSprite().scale, ztmath::Vector2(800.0f, 600.0f));
    const zttest::RoadPicture bigMap = road.Shot("big-map", 1);
    EXPECT_GT(Difference(bigMap, play, 500, 300, 300, 200), 15.0);
    // The big sprite: 800 x 600 at (180, 40) from the screen's centre.
    ExpectMapFilledAndFramed(bigMap, MapOnScreen{420, 60, 800, 600}, "big map");
    road.Tap(GLFW_KEY_TAB);
    EXPECT_FALSE(minimap->m_bigMap);
    EXPECT_EQ(mapSprite().scale, ztmath::Vector2(300.0f, 200.0f));

    // Death: one reset of the weapon, one "PLAYER_DEATH", and the death state; the bars are no
    // longer updated there, so nothing repeats.
    int deaths = 0;
    app.m_messagingSystem.RegisterHandler("PLAYER_DEATH", [&deaths](const ztengine::IEvent&) { ++deaths; });
    auto& weapon = road.Shared<ztengine::WeaponMessageQueue>("WeaponMessageQueue");
    weapon.m_messages.clear();
    // A hit that leaves exactly nothing: healing, earlier in the frame, must not lift it again
    // before the bars look.
    road.Shared<ztengine::PlayerHealth>("PlayerHealth").m_currentHealth = 0.0f;
    road.Run(1);
    EXPECT_EQ(road.State(), "PLAYER_DEATH_STATE");
    EXPECT_EQ(deaths, 1);
    road.Run(5);
    EXPECT_EQ(deaths, 1);
    for (const ztengine::SpriteHandle& sprite : bars->m_sprites)
        EXPECT_FALSE(app.GetGraphics2D()->GetSprites()[sprite.GetIndex()].visible);
    EXPECT_EQ(road.Quit(), 0);
}

}  // namespace
