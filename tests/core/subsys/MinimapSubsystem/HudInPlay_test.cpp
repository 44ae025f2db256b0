// The play screen and every screen around it, reached as a player reaches them: from the main
// menu into the hub, the personal-upgrade panel, the shop, the pause menu and its settings, the
// fade through the red portal onto floor 1, the big map there and on floor 2, a pause-menu
// Restart, the intro and the hub again, a death in the dungeon, the statistics, the lose screen,
// its Restart and the credits. On each screen a table says which HUD elements show; the frame
// shows the health and stamina bars, the minimap with its fog and arrow, torch flames and the
// exit's rings; TAB opens the big map, fitted into its frame, and closes it again; at health 0
// the bars send the player to the death state, once. The pictures are saved under
// "test-artefacts/hud/".
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/UI/UIElementManager.h"
#include "core/Win32App.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/subsys/BossSystem/FinalBoss.h"
#include "core/subsys/DialogueSystem/DialogueSystem.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/MinimapSubsystem/MinimapSubsystem.h"
#include "core/subsys/Overworld/Overworld.h"
#include "core/subsys/RangePlayerSystem/RangePlayerSystem.h"
#include "core/subsys/ShrineSystem/ShrineSystem.h"
#include "core/subsys/StaminaDurabilitySystem/StaminaDurabilitySystem.h"
#include "core/subsys/TownPortalSystem/TownPortalSystem.h"
#include "core/subsys/UpgradeSystem/UpgradeSystem.h"
#include "core/subsys/WorldParticles/DungeonPortalParticleGenerator.h"
#include "core/subsys/WorldParticles/TorchParticleSystem.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/ShrineRecords.h"
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

// The canvas around the grid: a cold blue, neither the brown of explored floor nor the fog.
bool Outside(int r, int g, int b)
{
    return b > r + 30 && b > g + 20 && b > 60;
}

// The big map at 1280 x 800: the sprite spans x 420 to 1220 and y 60 to 660 from the top, its
// frame's band 22 pixels across and 27 high. The dungeon's grid is twice as wide as high, so
// fitted into the frame it touches the left and right sides and leaves a strip of the outside
// colour above and below it (about 49 pixels).
void ExpectGridFitted(const zttest::RoadPicture& shot, const char* what)
{
    SCOPED_TRACE(what);
    struct Strip {
        const char* where;
        int x, y, w, h;
        bool outside;
    };
    const Strip strips[] = {
        {"above the grid", 520, 95, 600, 30, true},
        {"below the grid", 520, 595, 600, 30, true},
        {"at the frame's left side", 446, 200, 6, 350, false},
        {"at the frame's right side", 1189, 200, 6, 350, false},
        {"in the middle", 520, 200, 600, 350, false},
    };
    for (const Strip& s : strips) {
        const int outside = shot.Count(s.x, s.y, s.w, s.h, Outside);
        if (s.outside)
            EXPECT_GT(outside, s.w * s.h * 9 / 10) << "no outside colour " << s.where;
        else
            EXPECT_LT(outside, s.w * s.h / 10) << "outside colour " << s.where;
    }
    // And the outside is not the colour of explored floor.
    double r, g, b;
    shot.Mean(520, 95, 600, 30, r, g, b);
    EXPECT_GT(std::fabs(r - 77.0) + std::fabs(g - 66.0) + std::fabs(b - 54.0), 60.0);
}

double Difference(const zttest::RoadPicture& a, const zttest::RoadPicture& b, int x, int y, int w, int h)
{
    double ar, ag, ab, br, bg, bb;
    a.Mean(x, y, w, h, ar, ag, ab);
    b.Mean(x, y, w, h, br, bg, bb);
    return std::fabs(ar - br) + std::fabs(ag - bg) + std::fabs(ab - bb);
}

// The HUD elements a screen may show.
enum Hud {
    kMap,
    kMapHint,
    kFloorNumber,
    kBars,
    kCrosshair,
    kStrengthMessage,
    kReturnText,
    kShopPrompt,
    kUpgradePanel,
    kTownPortalIcon,
    kDialogue,
    kHudCount
};
const char* const kHudNames[kHudCount] = {"minimap",       "map hint",     "floor number",
                                          "health and stamina bars", "crosshair", "strength message",
                                          "return text",   "shop prompt",  "upgrade panel",
                                          "town portal icon", "dialogue box"};

enum Seen { kNo, kYes, kAny };

// Which HUD element each screen shows: the hub and a dungeon floor their own, every other
// screen none. kAny: the element comes and goes with what the player does there.
struct Screen {
    const char* name;
    const char* state;
    Seen seen[kHudCount];
};
//                       map   hint  floor bars  cross msg   return prompt panel portal dialogue
const Screen kScreens[] = {
    {"hub", "GAMEPLAY_STATE", {kNo, kNo, kNo, kYes, kYes, kNo, kAny, kAny, kNo, kAny, kAny}},
    {"dungeon", "GAMEPLAY_STATE", {kYes, kYes, kYes, kYes, kYes, kAny, kNo, kNo, kNo, kAny, kAny}},
    {"pause", "PAUSE_MENU_STATE", {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
    {"settings", "SETTINGS_STATE", {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
    {"shop", "SHRINE_UI_STATE", {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
    {"fade", "FADE_OUT_STATE", {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
    {"intro", "CINEMATIC_INTRO_STATE", {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
    {"statistics", "END_GAME_STATE", {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
    {"lose", "LOSE_STATE", {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
    {"credits", "CREDITS_STATE", {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
};

const Screen& ScreenNamed(const std::string& name)
{
    for (const Screen& screen : kScreens)
        if (name == screen.name)
            return screen;
    ADD_FAILURE() << "no screen " << name;
    return kScreens[0];
}

// What the HUD shows right now.
class HudLook {
public:
    explicit HudLook(GameRoad& road) : m_road(road)
    {
        zttest::AppFixture& game = road.Game();
        m_minimap = game.FindSystem<ztengine::MinimapSubsystem>();
        m_bars = game.FindSystem<ztengine::StaminaDurabilitySystem>();
        m_weapon = game.FindSystem<ztengine::RangePlayerSystem>();
        m_overworld = game.FindSystem<ztengine::Overworld>();
        m_shrines = game.FindSystem<ztengine::ShrineSystem>();
        m_upgrades = game.FindSystem<ztengine::UpgradeSystem>();
        m_townPortal = game.FindSystem<ztengine::TownPortalSystem>();
        m_dialogue = game.FindSystem<ztengine::DialogueSystem>();
    }
    bool Ready() const
    {
        return m_minimap && m_bars && m_weapon && m_overworld && m_shrines && m_upgrades && m_townPortal && m_dialogue;
    }

    bool Text(uint32_t index)
    {
        const auto* entry = m_road.App().GetGraphics2D()->GetTextManager().GetTextEntry(index);
        return entry != nullptr && entry->active && entry->visible && entry->color.w > 0.0f;
    }
    bool TextStartingWith(const std::string& start)
    {
        for (const ztengine::TextEntry& entry : m_road.App().GetGraphics2D()->GetTextManager().GetTexts())
            if (entry.active && entry.visible && entry.color.w > 0.0f && entry.text.rfind(start, 0) == 0)
                return true;
        return false;
    }
    bool Sprite(const ztengine::SpriteHandle& sprite)
    {
        return sprite.IsValid() && m_road.App().GetGraphics2D()->GetSprites()[sprite.GetIndex()].visible;
    }
    bool Element(int32_t index)
    {
        if (index < 0)
            return false;
        return Sprite(ztengine::UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index)).m_sprite);
    }

    bool Shows(int hud)
    {
        switch (hud) {
        case kMap: return Sprite(m_minimap->m_mapSprite);
        case kMapHint: return Text(m_minimap->m_hintText);
        case kFloorNumber: return Text(m_minimap->m_floorText);
        case kBars:
            for (const ztengine::SpriteHandle& sprite : m_bars->m_sprites)
                if (Sprite(sprite))
                    return true;
            return false;
        case kCrosshair: return Element(m_weapon->m_crosshairElement);
        case kStrengthMessage: return TextStartingWith("The enemies seem");
        case kReturnText: return Text(m_overworld->m_returnText);
        case kShopPrompt: return Text(m_shrines->m_prompt);
        case kUpgradePanel: return Element(m_upgrades->m_background);
        case kTownPortalIcon: return Sprite(m_townPortal->m_enabledIcon) || Sprite(m_townPortal->m_disabledIcon);
        case kDialogue: return Sprite(m_dialogue->m_box);
        default: return false;
        }
    }

    // The screen's row of the table, checked.
    void Expect(const std::string& name)
    {
        const Screen& screen = ScreenNamed(name);
        SCOPED_TRACE("on the " + name + " screen");
        EXPECT_EQ(m_road.State(), screen.state);
        for (int hud = 0; hud < kHudCount; ++hud) {
            if (screen.seen[hud] == kAny)
                continue;
            EXPECT_EQ(Shows(hud), screen.seen[hud] == kYes) << kHudNames[hud];
        }
        m_checked.push_back(name);
    }
    const std::vector<std::string>& Checked() const { return m_checked; }

    ztengine::MinimapSubsystem* m_minimap = nullptr;
    ztengine::UpgradeSystem* m_upgrades = nullptr;

private:
    GameRoad& m_road;
    ztengine::StaminaDurabilitySystem* m_bars = nullptr;
    ztengine::RangePlayerSystem* m_weapon = nullptr;
    ztengine::Overworld* m_overworld = nullptr;
    ztengine::ShrineSystem* m_shrines = nullptr;
    ztengine::TownPortalSystem* m_townPortal = nullptr;
    ztengine::DialogueSystem* m_dialogue = nullptr;
    std::vector<std::string> m_checked;
};

// A key pressed while a modifier has been down since an earlier frame.
void TapWith(GameRoad& road, int modifier, int key)
{
    road.Game().PressKey(modifier);
    road.Run(1);
    road.Tap(key);
    road.Game().ReleaseKey(modifier);
    road.Run(1);
}

// A click on a point of the 2D layer (origin at the screen's centre, y up).
void ClickAt(GameRoad& road, float x, float y)
{
    road.Game().MoveCursor(640.0 + x, 400.0 - y);
    road.Run(1);
    road.Click(GLFW_MOUSE_BUTTON_LEFT);
}

bool WaitForState(GameRoad& road, const std::string& state, int frames)
{
    return road.RunUntil([&] { return road.State() == state; }, frames);
}

// Long frames while nothing but time matters (the death's fall, the statistics' count).
bool WaitLongFor(GameRoad& road, const std::string& state, double seconds)
{
    const double step = road.Game().Step();
    road.Game().SetStep(zttest::AppFixture::kLongStep);
    const bool reached = WaitForState(road, state, static_cast<int>(std::ceil(seconds / zttest::AppFixture::kLongStep)));
    road.Game().SetStep(step);
    return reached;
}

// The intro cut short with Space, and the body settled in the hub.
bool SkipIntro(GameRoad& road)
{
    road.Run(2);
    road.Tap(GLFW_KEY_SPACE);
    if (!WaitForState(road, "GAMEPLAY_STATE", 20))
        return false;
    return true;
}

TEST(HudInPlay, EveryScreenShowsOnlyItsOwnHudAndTheMapFitsItsFrame)
{
    GameRoad road("hud");
    ASSERT_TRUE(road.Start()) << road.Error();
    ztengine::Win32App& app = road.App();
    ASSERT_EQ(app.m_windowInfo.windowWidth, 1280u);
    ASSERT_EQ(app.m_windowInfo.windowHeight, 800u);
    HudLook hud(road);
    ASSERT_TRUE(hud.Ready());
    auto* minimap = hud.m_minimap;
    auto* bars = road.Game().FindSystem<ztengine::StaminaDurabilitySystem>();
    auto* rings = road.Game().FindSystem<ztengine::DungeonPortalParticleGenerator>();
    auto* flames = road.Game().FindSystem<ztengine::TorchParticleSystem>();
    auto* generator = road.Game().FindSystem<ztengine::DungeonGenerator>();
    ASSERT_TRUE(bars && rings && flames && generator);
    // Read afresh each time: the sprite list may grow and move.
    auto mapSprite = [&]() { return app.GetGraphics2D()->GetSprites()[minimap->m_mapSprite.GetIndex()]; };
    hud.Expect("hub");

    // ---- Left Ctrl + U opens the personal-upgrade panel over the hub, and closes it again.
    // Pressed as a quick chord, as at a few frames per second it mostly lands: both keys down in
    // one frame, both up in the next.
    road.Game().PressKey(GLFW_KEY_LEFT_CONTROL);
    road.Game().PressKey(GLFW_KEY_U);
    road.Run(1);
    road.Game().ReleaseKey(GLFW_KEY_U);
    road.Game().ReleaseKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    EXPECT_TRUE(hud.m_upgrades->m_panelShown) << "Left Ctrl + U did not open the panel";
    EXPECT_TRUE(hud.Shows(kUpgradePanel));
    const zttest::RoadPicture panel = road.Shot("ctrl-u-hub", 1);
    // The parchment background fills the middle of the screen.
    double pr, pg, pb;
    panel.Mean(440, 300, 400, 200, pr, pg, pb);
    EXPECT_GT(pr, 120.0) << "no light panel in the middle of the screen";
    EXPECT_GT(pr, pb + 20.0) << "no parchment in the middle of the screen";
    TapWith(road, GLFW_KEY_LEFT_CONTROL, GLFW_KEY_U);
    EXPECT_FALSE(hud.m_upgrades->m_panelShown);
    EXPECT_FALSE(hud.Shows(kUpgradePanel));

    // ---- The shop: in front of the quest giver by the altar, E.
    const Vector3 giver = ztengine::FinalBoss::kHomePosition;
    road.StandAt(giver + Vector3(0.0f, 12.0f, -12.0f));
    road.Run(5);
    road.Face(giver + Vector3(0.0f, 6.0f, 0.0f));
    road.Run(2);
    EXPECT_TRUE(hud.Shows(kShopPrompt));
    road.Tap('E');
    ASSERT_EQ(road.State(), "SHRINE_UI_STATE") << "E facing the giver did not open the shop";
    road.Run(1);
    hud.Expect("shop");
    ClickAt(road, -350.0f, -330.0f);  // Back
    road.Run(1);
    ASSERT_EQ(road.State(), "GAMEPLAY_STATE");

    // ---- The pause menu over the hub, its settings screen, and back to play.
    road.Look(0.0f, 5.0f);
    road.Run(2);
    road.Tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(WaitForState(road, "PAUSE_MENU_STATE", 3)) << road.State();
    road.Run(1);
    hud.Expect("pause");
    ClickAt(road, 0.0f, 0.0f);  // Settings
    ASSERT_TRUE(WaitForState(road, "SETTINGS_STATE", 3)) << road.State();
    road.KeepEffects(true);
    road.Run(2);
    const zttest::RoadPicture settings = road.Shot("settings-hub", 1);
    road.KeepEffects(false);
    hud.Expect("settings");
    // Between the Yes and No columns, under the rows, only the dark backing shows, whatever the
    // view behind it.
    double sr, sg, sb;
    settings.Mean(640 + 40, 400 - 190, 60, 330, sr, sg, sb);
    EXPECT_LT(0.3 * sr + 0.59 * sg + 0.11 * sb, 70.0) << "no backing under the settings rows";
    road.Tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(WaitForState(road, "PAUSE_MENU_STATE", 3)) << road.State();
    road.Tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(WaitForState(road, "GAMEPLAY_STATE", 3)) << road.State();
    road.Run(2);
    hud.Expect("hub");

    // ---- The fade into the red dungeon: white over the hub, and no dungeon HUD over it.
    ASSERT_TRUE(road.WalkIntoPortal(GameRoad::kRedSkull));
    road.Run(12);
    road.Shot("fade-into-dungeon", 1);
    hud.Expect("fade");
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    road.Run(1);
    hud.Expect("dungeon");
    // The hint sits in the bottom right corner, clear of both the small and the big map.
    const auto* hint = app.GetGraphics2D()->GetTextManager().GetTextEntry(minimap->m_hintText);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text, "'TAB' to Toggle Map");
    EXPECT_GT(800.0f - hint->position.y, 680.0f) << "the hint lies under a map";

    // Past the first exit rings at 2 s, looking towards the exit.
    const Vector3 exit = generator->ExitPosition();
    road.Face(Vector3(exit.x, road.Eye().y - 2.0f, exit.z));
    road.Run(static_cast<int>(2.2 / 0.05));
    EXPECT_TRUE(mapSprite().visible);
    EXPECT_GE(rings->m_particles.size(), 40u);
    EXPECT_FALSE(flames->m_flame.empty());

    // The map: fog over the unseen floor, the arrow and the border.
    int fog = 0, players = 0, borders = 0;
    for (const ztengine::MinimapDraw& d : minimap->m_tileList)
        fog += d.tile == ztengine::kMinimapFog;
    for (const ztengine::MinimapDraw& d : minimap->m_drawList) {
        players += d.tile == ztengine::kMinimapPlayer;
        borders += d.tile == ztengine::kMinimapBorder;
    }
    const auto& layout = road.Shared<ztengine::LevelLayout>("LevelLayout");
    EXPECT_GE(fog, 79 * 39 - 64 * 3);
    EXPECT_EQ(players, 1);
    EXPECT_EQ(borders, 1);
    const Vector3 eye = road.Eye();
    EXPECT_EQ(layout.m_explored[static_cast<int>(eye.z / 10.0f + 0.5f)][static_cast<int>(eye.x / 10.0f + 0.5f)], 1);

    // Standing in one cell, turning about: the tiles are not drawn again, and each frame lays
    // only a few pictures over them (the tiles' canvas, the exit, the arrow, the frame), not one
    // per cell.
    const int redraws = minimap->m_tileRedraws;
    EXPECT_GE(redraws, 1);
    for (float yaw : {30.0f, 120.0f, 250.0f}) {
        road.Look(yaw, 10.0f);
        road.Run(2);
    }
    EXPECT_EQ(minimap->m_tileRedraws, redraws) << "the tiles were drawn again with nothing changed";
    EXPECT_LE(minimap->m_drawList.size(), 4u + road.Shared<ztengine::AISpawner>("AISpawner").m_enemyPositions.size());
    // Another cell, farther on: the newly explored cells are drawn, once.
    road.StandAt(road.Eye() + Vector3(road.Eye().x < exit.x ? 20.0f : -20.0f, -3.0f, 0.0f));
    road.Run(3);
    EXPECT_GT(minimap->m_tileRedraws, redraws);
    const int afterStep = minimap->m_tileRedraws;
    road.Run(3);
    EXPECT_EQ(minimap->m_tileRedraws, afterStep);
    road.Face(Vector3(exit.x, road.Eye().y - 2.0f, exit.z));
    road.Run(1);

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
    const zttest::RoadPicture bigMap = road.Shot("big-map-floor-1", 1);
    EXPECT_GT(Difference(bigMap, play, 500, 300, 300, 200), 15.0);
    // The big sprite: 800 x 600 at (180, 40) from the screen's centre.
    ExpectMapFilledAndFramed(bigMap, MapOnScreen{420, 60, 800, 600}, "big map");
    ExpectGridFitted(bigMap, "big map, floor 1");
    road.Tap(GLFW_KEY_TAB);
    EXPECT_FALSE(minimap->m_bigMap);
    EXPECT_EQ(mapSprite().scale, ztmath::Vector2(300.0f, 200.0f));

    // ---- Floor 2: the exit taken; the strength message comes with the third floor built.
    road.StandAt(exit + Vector3(0.0f, 3.0f, 0.0f));
    ASSERT_TRUE(road.RunUntil([&] { return road.State() == "FADE_OUT_STATE"; }, 200)) << road.State();
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    road.Run(1);
    hud.Expect("dungeon");
    EXPECT_TRUE(hud.Shows(kStrengthMessage)) << "no strength message on the third floor built";
    road.Tap(GLFW_KEY_TAB);
    ExpectGridFitted(road.Shot("big-map-floor-2", 1), "big map, floor 2");
    road.Tap(GLFW_KEY_TAB);

    // ---- A pause-menu Restart while the message shows: the intro, then the hub without it.
    road.Tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(WaitForState(road, "PAUSE_MENU_STATE", 3)) << road.State();
    road.Run(1);
    hud.Expect("pause");
    ClickAt(road, 0.0f, 100.0f);  // Restart
    ASSERT_TRUE(WaitForState(road, "CINEMATIC_INTRO_STATE", 3)) << road.State();
    road.Run(3);
    road.Shot("intro-after-pause-restart", 1);
    hud.Expect("intro");
    ASSERT_TRUE(SkipIntro(road)) << road.State();
    hud.Expect("hub");
    road.Run(3);
    hud.Expect("hub");

    // ---- Back into the dungeon, and a death there.
    ASSERT_TRUE(road.WalkIntoPortal(GameRoad::kRedSkull));
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    road.Run(2);
    hud.Expect("dungeon");
    // The credits, left to at once from play (as the debug state list may).
    app.ChangeState("CREDITS_STATE");
    road.Run(2);
    hud.Expect("credits");
    app.ChangeToPreviousState();
    road.Run(2);
    hud.Expect("dungeon");

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

    ASSERT_TRUE(WaitLongFor(road, "END_GAME_STATE", 8.0)) << road.State();
    road.Run(3);
    hud.Expect("statistics");
    road.Tap(GLFW_KEY_SPACE);
    road.Tap(GLFW_KEY_SPACE);
    ASSERT_TRUE(WaitForState(road, "LOSE_STATE", 100)) << road.State();
    road.Run(4);
    road.Shot("lose-after-dungeon-death", 1);
    hud.Expect("lose");
    ClickAt(road, 0.0f, -55.0f);  // Restart
    ASSERT_TRUE(WaitForState(road, "CINEMATIC_INTRO_STATE", 3)) << road.State();
    road.Run(3);
    road.Shot("intro-after-dungeon-restart", 1);
    hud.Expect("intro");

    // Every screen of the table was visited.
    for (const Screen& screen : kScreens)
        EXPECT_NE(std::find(hud.Checked().begin(), hud.Checked().end(), screen.name), hud.Checked().end())
            << screen.name << " never checked";
    EXPECT_EQ(road.Quit(), 0);
}

}  // namespace
