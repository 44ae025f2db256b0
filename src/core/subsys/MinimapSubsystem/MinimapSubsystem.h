#pragma once
// The dungeon map in the upper right corner: the generated grid seen from above, fog over what
// the player has not been near, enemy dots where the map is known, the player's arrow and the
// floor number. The grid's tiles are drawn into a canvas of their own only when they change (the
// player reaches another cell, more is explored, a new floor); every frame then lays that one
// picture, the blinking exit, the enemies, the arrow and the frame into the canvas that one sprite
// shows. TAB (pad button 3) enlarges it to the whole grid fitted into its frame, N lifts the fog.
// The map and its texts show only while a dungeon is played: never in the hub, a menu or a fade.
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

    bool operator==(const MinimapDraw&) const = default;
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

// The same list in its two parts. The tiles: every grid cell in row order but the exit, marking
// the explored window as above; where the exit shows (explored, or the fog off) its cell goes to
// `exits`. They change only with the player's cell, the mask, the grid, the fight and the fog.
void BuildMinimapTiles(const MinimapRows& rows, MinimapRows& explored, const MinimapFrame& frame,
                       std::vector<MinimapDraw>& out, std::vector<ztmath::Vector2>& exits);
// What moves over the tiles, appended to `out`: the blinking exits, the enemies on explored cells,
// the arrow and the border.
void BuildMinimapOverlay(const MinimapRows& rows, const MinimapRows& explored, const MinimapFrame& frame,
                         float& blinkTimer, const std::vector<ztmath::Vector2>& exits,
                         const std::vector<ztmath::Vector3>& enemies, std::vector<MinimapDraw>& out);

// The big map: the zoom and the view centre that fit the whole grid into the inside of the frame
// (the border picture less its band on every side), centred; the same at every opening. An empty
// grid keeps the plain big-map zoom, centred on the origin.
struct MinimapView {
    float zoom = 1.0f;
    ztmath::Vector2 centre;
};
MinimapView FitMinimapGrid(const MinimapRows& rows, const ztmath::Vector2& inside);
// The inside of the frame in canvas units, and the canvas's colour where the grid is not.
ztmath::Vector2 MinimapFrameInside();
extern const float kMinimapOutsideColour[4];
extern const float kMinimapFloorColour[4];

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
    // The grid's tiles, fitted into the whole canvas and redrawn only when they change.
    Camera2DBuffer m_tileCamera;
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

    // This frame's draws laid over the tile canvas, and the tiles as last drawn into it, kept
    // for a look from outside; how often the tiles were drawn anew.
    std::vector<MinimapDraw> m_drawList;
    std::vector<MinimapDraw> m_tileList;
    int m_tileRedraws = 0;
    // A dungeon is shown ("EXIT_OVERWORLD" until "ENTER_OVERWORLD" or "EVENT_RESTART").
    bool m_mapShown = false;

    void NextState(int newState) override;

private:
    void HideAll();
    void ShowTexts(bool visible);
    void DrawTiles(const MinimapView& view);

    std::vector<ztmath::Vector2> m_exits;
    std::vector<MinimapDraw> m_nextTiles;
    bool m_tilesDrawn = false;
    MinimapView m_tileView;
    Texture2D m_tileTexture;
    // What the texts were last set to, so that they are set only when that changes.
    int m_textsVisible = -1;
    int32_t m_shownFloor = -1;
    const char* m_shownHint = nullptr;

    LevelLayout* m_layout;
    LevelState* m_levelState;
    bool m_initialised = false;
};

}  // namespace ztengine
