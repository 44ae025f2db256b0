#pragma once
// The dungeon map in the upper right corner: the generated grid seen from above, fog over what
// the player has not been near, enemy dots where the map is known, the player's arrow and the
// floor number. The map is drawn every frame into an off-screen canvas that one sprite shows;
// TAB (pad button 3) enlarges it, N lifts the fog.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/2d/Camera2DBuffer.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

class AISpawner;
class LevelLayout;
struct LevelState;
class MessagingSystem;
class TextManager;

// Texture slots of the map's tiles; slot 0 holds no texture.
enum MinimapTile : int {
    kMinimapNoTile = 0,
    kMinimapProp,
    kMinimapWall,
    kMinimapPillar,
    kMinimapBarrel,
    kMinimapRock,
    kMinimapBlock,
    kMinimapExit,
    kMinimapExit2,
    kMinimapOrb,
    kMinimapChest,
    kMinimapPlayer,
    kMinimapSpikes,
    kMinimapIce,
    kMinimapGoo,
    kMinimapEnemy,
    kMinimapFog,
    kMinimapBorder,
    kMinimapTileSlots
};

using MinimapRows = CountedVector<CountedVector<char>>;

// One tile to draw on the canvas.
struct MinimapDraw {
    int tile = kMinimapNoTile;
    ztmath::Vector2 position;
    ztmath::Vector2 size;
    float rotation = 0.0f;  // radians
};

// What one frame of the map is drawn from, besides the grid.
struct MinimapFrame {
    ztmath::Vector3 camera;   // the player's eye, world units
    ztmath::Vector3 forward;  // the view direction
    bool fight = false;       // the locked doors show only during a room fight
    bool fog = true;
    float zoom = 4.0f;
    ztmath::Vector2 viewCentre;  // where the border goes
};

// The tile of a grid character, kMinimapNoTile for floors and everything not shown. The exit
// ('v') is chosen by the blink, not here.
int MinimapTileOf(char cell, bool fight);

// Turns the arrow with the view: 0 looking down +z, positive towards -x (the map mirrors x).
float MinimapArrowYaw(const ztmath::Vector3& forward);

// One frame's draw list: every grid cell in row order, the enemies on explored cells, the
// player's arrow and the border. Marks the cells around the player explored as the loop passes
// the player's cell (cells drawn before it show the change next frame), and advances the exit's
// blink phase (over 1 s starts it again).
void BuildMinimapDrawList(const MinimapRows& rows, MinimapRows& explored, const MinimapFrame& frame,
                          float& blinkTimer, const std::vector<ztmath::Vector3>& enemies,
                          std::vector<MinimapDraw>& out);

class MinimapSubsystem : public Subsystem {
public:
    static constexpr const char* kTileFolder = "textures/2d/minimap/";
    static constexpr const char* kFont = "fonts/arial.ttf";
    static constexpr int kPadMapButton = 3;
    static constexpr float kZoom = 4.0f;
    static constexpr float kBigMapZoom = 1.25f;

    explicit MinimapSubsystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void Exit() override;

    Camera2DBuffer m_mapCamera;
    bool m_canvasReady = false;
    MessagingSystem* m_messaging;
    AISpawner* m_spawner;
    Texture2D m_tiles[kMinimapTileSlots];
    SpriteHandle m_mapSprite;
    ztmath::Vector2 m_spritePosition;
    ztmath::Vector2 m_spriteScale;
    bool m_fogEnabled = true;
    bool m_bigMap = false;
    TextManager* m_textManager;
    uint32_t m_font = 0;
    uint32_t m_hintText = 0xFFFFFFFFu;
    uint32_t m_floorText = 0xFFFFFFFFu;
    float m_blinkTimer = 0.0f;

    // This frame's tiles, kept for a look from outside.
    std::vector<MinimapDraw> m_drawList;

private:
    void SetTextVisible(bool visible);

    LevelLayout* m_layout;
    LevelState* m_levelState;
    bool m_initialised = false;
};

}  // namespace ztengine
