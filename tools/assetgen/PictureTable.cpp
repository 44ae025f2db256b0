// Every picture the game loads: path, file size, file format, purpose and shown size.
// Sprites and atlases are RGBA with widths a multiple of 4, since the 2D loader uploads with
// whatever row alignment the last texture left behind. Labels are written about 1.25 times
// their shown size so they stay crisp when a button grows under the cursor.
#include "assetgen/PictureTable.h"

#include <algorithm>
#include <array>

#ifndef ZT_ASSETGEN_FONT_REGULAR
#define ZT_ASSETGEN_FONT_REGULAR "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"
#endif
#ifndef ZT_ASSETGEN_FONT_BOLD
#define ZT_ASSETGEN_FONT_BOLD "/usr/share/fonts/truetype/crosextra/Carlito-Bold.ttf"
#endif

namespace assetgen {
namespace {

constexpr FileFormat kPng = FileFormat::Png32;
constexpr FileFormat kRgb = FileFormat::Png24;
constexpr FileFormat kJpg = FileFormat::Jpeg24;
constexpr PictureUse kSprite = PictureUse::Sprite;
constexpr PictureUse kTile = PictureUse::MinimapTile;
constexpr PictureUse kTex = PictureUse::Texture;
constexpr PictureUse kAtlas = PictureUse::Atlas;
constexpr PictureUse kSky = PictureUse::Skybox;

constexpr PictureSpec kPictures[] = {
    // ---- start-up, loading and title ----
    {"textures/2d/pointer.png", 28, 28, kPng, kSprite, 25, 25},
    {"textures/2d/black_screen.png", 16, 16, kPng, kSprite, 2048, 2048},
    {"textures/2d/white_screen.png", 16, 16, kPng, kSprite, 2048, 2048},
    {"textures/2d/Brimsel_Vantorel_WEB_RED.png", 900, 300, kPng, kSprite, 900, 300},
    {"textures/2d/Team_Logo.png", 500, 500, kPng, kSprite, 500, 500},
    {"textures/2d/hourglass.png", 152, 152, kPng, kSprite, 150, 150},
    {"textures/2d/controller.png", 1024, 1024, kPng, kSprite, 1024, 1024},
    {"textures/2d/Logo.png", 720, 400, kPng, kSprite, 720, 400},
    // ---- main menu ----
    {"textures/2d/MainMenu_PlayIdle.png", 176, 88, kPng, kSprite, 140, 70},
    {"textures/2d/MainMenu_SettingsIdle.png", 352, 88, kPng, kSprite, 280, 70},
    {"textures/2d/MainMenu_CreditsIdle.png", 324, 88, kPng, kSprite, 257, 70},
    {"textures/2d/MainMenu_ExitIdle.png", 192, 88, kPng, kSprite, 152, 70},
    {"textures/2d/MainMenu_CreditsSelected.png", 324, 88, kPng, kSprite, 257, 70},
    {"textures/2d/MainMenu_SettingsSelected.png", 324, 88, kPng, kSprite, 257, 70},
    // ---- pause menu, how to play, quit confirmation ----
    {"textures/2d/PauseMenu_Paused.png", 376, 124, kPng, kSprite, 300, 100},
    {"textures/2d/PauseMenu_ResumeIdle.png", 340, 64, kPng, kSprite, 270, 50},
    {"textures/2d/PauseMenu_RestartIdle.png", 352, 88, kPng, kSprite, 282, 70},
    {"textures/2d/PauseMenu_SettingsIdle.png", 252, 64, kPng, kSprite, 200, 50},
    {"textures/2d/PauseMenu_HowToPlayIdle.png", 312, 64, kPng, kSprite, 250, 50},
    {"textures/2d/PauseMenu_QuitIdle.png", 376, 88, kPng, kSprite, 326, 70},
    {"textures/2d/PauseMenu_QuitSelected.png", 688, 188, kPng, kSprite, 550, 150},
    {"textures/2d/How_To_Play.png", 700, 700, kPng, kSprite, 700, 700},
    {"textures/2d/Credits_BackIdle.png", 232, 96, kPng, kSprite, 182, 84},
    {"textures/2d/Credits_BackSelected.png", 232, 96, kPng, kSprite, 182, 84},
    {"textures/2d/Settings_ConfirmIdle.png", 376, 124, kPng, kSprite, 300, 100},
    {"textures/2d/Settings_CancelIdle.png", 400, 124, kPng, kSprite, 320, 100},
    // ---- lose screen and credits ----
    {"textures/2d/Credits.png", 1280, 800, kPng, kSprite, 1280, 800},
    {"textures/2d/Game_Over.png", 472, 84, kPng, kSprite, 376, 67},
    // ---- settings menu ----
    {"textures/2d/Settings_SSAO.png", 104, 44, kPng, kSprite, 81.5f, 35},
    {"textures/2d/Settings_MotionBlur.png", 192, 44, kPng, kSprite, 152, 35},
    {"textures/2d/Settings_ParallaxMapping.png", 276, 44, kPng, kSprite, 221.5f, 35},
    {"textures/2d/Settings_DOF.png", 220, 44, kPng, kSprite, 175, 35},
    {"textures/2d/Settings_Shadows.png", 152, 44, kPng, kSprite, 120.5f, 35},
    {"textures/2d/Settings_Fullscreen.png", 164, 44, kPng, kSprite, 130.5f, 35},
    {"textures/2d/Settings_BGM.png", 76, 44, kPng, kSprite, 62, 35},
    {"textures/2d/Settings_SFX.png", 64, 44, kPng, kSprite, 52.5f, 35},
    {"textures/2d/Settings_LowIdle.png", 96, 44, kPng, kSprite, 76, 35},
    {"textures/2d/Settings_LowSelected.png", 96, 44, kPng, kSprite, 76, 35},
    {"textures/2d/Settings_MedIdle.png", 96, 44, kPng, kSprite, 76, 35},
    {"textures/2d/Settings_MedSelected.png", 96, 44, kPng, kSprite, 76, 35},
    {"textures/2d/Settings_HighIdle.png", 100, 44, kPng, kSprite, 81, 35},
    {"textures/2d/Settings_HighSelected.png", 100, 44, kPng, kSprite, 81, 35},
    {"textures/2d/Settings_OffIdle.png", 88, 44, kPng, kSprite, 70, 35},
    {"textures/2d/Settings_OffSelected.png", 88, 44, kPng, kSprite, 70, 35},
    {"textures/2d/Settings_YesIdle.png", 88, 44, kPng, kSprite, 70, 35},
    {"textures/2d/Settings_YesSelected.png", 88, 44, kPng, kSprite, 70, 35},
    {"textures/2d/Settings_NoIdle.png", 72, 44, kPng, kSprite, 58.5f, 35},
    {"textures/2d/Settings_NoSelected.png", 72, 44, kPng, kSprite, 58.5f, 35},
    // ---- upgrades, shop, statistics ----
    {"textures/2d/UpgradeUI_Background.png", 900, 780, kPng, kSprite, 900, 780},
    {"textures/2d/WM_MOD_1_2.PNG", 128, 128, kPng, kSprite, 100, 100},
    {"textures/2d/maxhealthup.PNG", 128, 128, kPng, kSprite, 100, 100},
    {"textures/2d/firespdup.PNG", 128, 128, kPng, kSprite, 100, 100},
    {"textures/2d/healthregenup.PNG", 128, 128, kPng, kSprite, 100, 100},
    {"textures/2d/maxstaminaup.PNG", 128, 128, kPng, kSprite, 100, 100},
    {"textures/2d/staminaregenup.PNG", 128, 128, kPng, kSprite, 100, 100},
    // ---- heads-up display ----
    {"textures/2d/teleportEnabled.png", 64, 64, kPng, kSprite, 64, 64},
    {"textures/2d/teleportDisabled.png", 64, 64, kPng, kSprite, 64, 64},
    {"textures/2d/hp_sp_bar/bg.png", 64, 40, kPng, kSprite, 140, 38},
    {"textures/2d/hp_sp_bar/hp.png", 64, 40, kPng, kSprite, 140, 38},
    {"textures/2d/hp_sp_bar/sp.png", 64, 40, kPng, kSprite, 140, 38},
    {"textures/2d/hp_sp_bar/containerBody.png", 64, 40, kPng, kSprite, 140, 38},
    {"textures/2d/hp_sp_bar/containerLeft.png", 40, 40, kPng, kSprite, 38, 38},
    {"textures/2d/RedOrb.png", 256, 256, kPng, kSprite, 500, 500},
    {"textures/2d/BluOrb.png", 256, 256, kPng, kSprite, 500, 500},
    {"textures/2d/YeloOrb.png", 256, 256, kPng, kSprite, 500, 500},
    {"textures/2d/PickupEffect.png", 800, 500, kPng, kSprite, 800, 500},
    {"textures/2d/whitedot.png", 16, 16, kPng, kSprite, 15, 15},
    {"textures/2d/mana.png", 200, 200, kPng, kSprite, 200, 200},
    {"textures/2d/goostatus.png", 128, 128, kPng, kSprite, 100, 100},
    {"textures/2d/icestatus.png", 128, 128, kPng, kSprite, 100, 100},
    {"textures/2d/spikestatus.png", 128, 128, kPng, kSprite, 100, 100},
    {"textures/2d/hit.png", 800, 800, kPng, kSprite, 800, 800},
    // ---- ending and dialogue ----
    {"textures/2d/End_Thanks.PNG", 752, 188, kPng, kSprite, 600, 150},
    {"textures/2d/Credits_scroll.PNG", 400, 2000, kPng, kSprite, 400, 2000},
    {"textures/2d/dialogueborder.png", 1280, 200, kPng, kSprite, 1280, 200},

    // ---- minimap tiles (shown at 40 px per cell in the small map) ----
    {"textures/2d/minimap/prop.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/wall.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/pillar.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/barrel.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/rock.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/block.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/exit.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/exit2.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/orb.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/chest.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/player.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/enemy.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/spikes.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/ice.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/goo.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/fog.png", 32, 32, kPng, kTile, 40, 40},
    {"textures/2d/minimap/border.png", 1280, 800, kPng, kTile, 1280, 800},

    // ---- fixed world textures ----
    {"textures/diff/black.jpg", 64, 64, kJpg, kTex, 0, 0},
    {"textures/diff/overworld_COLOR.png", 2048, 2048, kRgb, kTex, 0, 0},
    {"textures/spec/overworld_SPEC.png", 1024, 1024, kRgb, kTex, 0, 0},
    {"textures/nrm/overworld_NRM.png", 1024, 1024, kRgb, kTex, 0, 0},
    {"textures/disp/overworld_DISP.png", 1024, 1024, kRgb, kTex, 0, 0},
    {"textures/diff/green.jpg", 256, 256, kJpg, kTex, 0, 0},
    {"textures/diff/tree_COLOR.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/grass_2_COLOR.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/portalskull.jpg", 256, 256, kJpg, kTex, 0, 0},
    {"textures/diff/portal_red.jpg", 512, 512, kJpg, kTex, 0, 0},
    {"textures/diff/portal_yellow.jpg", 512, 512, kJpg, kTex, 0, 0},
    {"textures/diff/portal_blue.jpg", 512, 512, kJpg, kTex, 0, 0},
    {"textures/diff/gun1.jpg", 256, 256, kJpg, kTex, 0, 0},
    {"textures/diff/OrbsColor.png", 256, 256, kPng, kAtlas, 0, 0},
    {"textures/diff/ProjectileColor.png", 256, 256, kPng, kAtlas, 0, 0},

    // ---- particle atlases ----
    {"particles/particleAtlas.png", 512, 512, kPng, kAtlas, 0, 0},
    {"particles/particleAtlasBlue.png", 512, 512, kPng, kAtlas, 0, 0},

    // ---- sky boxes ----
    {"skybox/sky1.jpg", 2048, 1536, kJpg, kSky, 0, 0},
    {"skybox/sky2.jpg", 2048, 1536, kJpg, kSky, 0, 0},

    // ---- materials of the models ----
    {"textures/diff/rabbitman.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/lkanga.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/mblkanga.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/ogre.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/mbogre.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/skeleton.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/flyingskull.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/mbflyingskull.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/kobold.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/orb_boss.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/fireball.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/coin.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/altar.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/orb_fire.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/orb_snow.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/orb_lightning.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/wall_red.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/wall_green.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/wall_blue.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/wall_grey.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/ice.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/floor_red.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/floor_green.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/floor_blue.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/ceiling_red.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/ceiling_green.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/ceiling_blue.png", 512, 512, kRgb, kTex, 0, 0},
    {"textures/diff/door.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/pillar_castle.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/pillar_forest.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/pillar_ice.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/pillar_stone.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/barrel.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/crate.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/rock_dungeon.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/stones.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/spikes.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/goo.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/chest.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/torch_green.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/torch_blue.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/torch_red.png", 256, 256, kRgb, kTex, 0, 0},
    {"textures/diff/arrow.png", 256, 256, kRgb, kTex, 0, 0},
};

constexpr FontSpec kFonts[] = {
    {"fonts/arial.ttf", ZT_ASSETGEN_FONT_REGULAR},
    {"fonts/calibrib.ttf", ZT_ASSETGEN_FONT_BOLD},
};

}  // namespace

std::span<const PictureSpec> Pictures() { return kPictures; }

const PictureSpec* FindPicture(std::string_view path)
{
    for (const PictureSpec& p : kPictures)
        if (path == p.path) return &p;
    return nullptr;
}

std::span<const FontSpec> FontFiles() { return kFonts; }

}  // namespace assetgen
