#include "core/subsys/MinimapSubsystem/MinimapSubsystem.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/input/Input.h"
#include "core/math/Basis.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/LevelRecords.h"

namespace ztengine {

namespace {

// Loading order of the tile pictures and the slot each goes to (the enemy dot is loaded between
// the player and the traps but keeps its own slot).
struct TileFile {
    const char* file;
    int slot;
};
constexpr TileFile kTileFiles[] = {
    {"prop.png", kMinimapProp},     {"wall.png", kMinimapWall},     {"pillar.png", kMinimapPillar},
    {"barrel.png", kMinimapBarrel}, {"rock.png", kMinimapRock},     {"block.png", kMinimapBlock},
    {"exit.png", kMinimapExit},     {"exit2.png", kMinimapExit2},   {"orb.png", kMinimapOrb},
    {"chest.png", kMinimapChest},   {"player.png", kMinimapPlayer}, {"enemy.png", kMinimapEnemy},
    {"spikes.png", kMinimapSpikes}, {"ice.png", kMinimapIce},       {"goo.png", kMinimapGoo},
    {"fog.png", kMinimapFog},       {"border.png", kMinimapBorder},
};

constexpr float kCellSize = 10.0f;  // world units per grid cell, and map units per cell at zoom 1
// The explored window around the player's cell: three cells back, four ahead on both axes.
constexpr int kExploreBack = 3;
constexpr int kExploreAhead = 4;
constexpr float kBorderWidth = 1280.0f;
constexpr float kBorderHeight = 800.0f;
// The gold band of the border picture, on every side, in canvas units.
constexpr float kBorderBand = 36.0f;
constexpr ztmath::Vector2 kSmallMapSize{300.0f, 200.0f};
constexpr ztmath::Vector2 kBigMapSize{800.0f, 600.0f};
constexpr ztmath::Vector2 kBigMapShift{300.0f, 250.0f};
constexpr float kTextScale = 0.4f;
constexpr float kTextAlpha = 0.4f;
// The hint sits in the bottom right corner, one line above the floor number: at the top it would
// lie under the map's frame.
constexpr float kHintLineAbove = 24.0f;

const char* const kKeyboardHint = "'TAB' to Toggle Map";
const char* const kPadHint = "'Y' to Toggle Map";

bool InsideGrid(const MinimapRows& rows, int row, int column)
{
    return row >= 0 && row < static_cast<int>(rows.size()) && column >= 0 &&
           column < static_cast<int>(rows[row].size());
}

void MarkExplored(MinimapRows& explored, int row, int column)
{
    for (int r = row - kExploreBack; r <= row + kExploreAhead; ++r)
        for (int c = column - kExploreBack; c <= column + kExploreAhead; ++c)
            if (InsideGrid(explored, r, c))
                explored[r][c] = 1;
}

// The exit alternates between its two pictures every half second.
int ExitTile(float& blinkTimer)
{
    if (blinkTimer > 1.0f) {
        blinkTimer = 0.0f;
        return kMinimapExit2;
    }
    return blinkTimer < 0.5f ? kMinimapExit2 : kMinimapExit;
}

}  // namespace

// Explored floor: cells of plain floor draw no tile, so the tile canvas is cleared to this colour
// under the grid. Dull stone, well apart from the near-black fog.
const float kMinimapFloorColour[4] = {0.30f, 0.26f, 0.21f, 1.0f};
// Beyond the grid's edge: a cold dark blue, told apart from both the floor and the fog.
const float kMinimapOutsideColour[4] = {0.10f, 0.16f, 0.34f, 1.0f};

int MinimapTileOf(char cell, bool fight)
{
    switch (cell) {
    case '#': return kMinimapWall;
    case '$': return kMinimapChest;
    case '%': return kMinimapRock;
    case 'B': return kMinimapOrb;
    case 'X': return kMinimapPillar;
    case 'Z': return kMinimapSpikes;
    case '^': return kMinimapIce;
    case '~': return kMinimapGoo;
    // Door cells are open floor outside a fight.
    case '+': return fight ? kMinimapBlock : kMinimapNoTile;
    default: return kMinimapNoTile;
    }
}

float MinimapArrowYaw(const ztmath::Vector3& forward)
{
    const float flat = std::sqrt(forward.x * forward.x + forward.z * forward.z);
    // Looking straight up or down leaves no heading; the arrow then points ahead instead of
    // taking a rotation of NaN.
    if (flat <= 0.0f)
        return 0.0f;
    const float c = std::fmax(-1.0f, std::fmin(1.0f, forward.z / flat));
    const float yaw = std::acos(c);
    return forward.x > 0.0f ? -yaw : yaw;
}

void BuildMinimapTiles(const MinimapRows& rows, MinimapRows& explored, const MinimapFrame& frame,
                       std::vector<MinimapDraw>& out, std::vector<ztmath::Vector2>& exits)
{
    out.clear();
    exits.clear();
    // The mask follows the grid's shape; a mask that does not (a layout replaced under it)
    // counts its missing cells as unexplored.
    explored.resize(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        explored[i].resize(rows[i].size(), 0);

    const float zoom = frame.zoom;
    const float cell = kCellSize * zoom;
    // Integer division rounds toward zero, as the cell of a position just below 0 is cell 0.
    const int playerRow = static_cast<int>(frame.camera.z) / 10;
    const int playerColumn = static_cast<int>(frame.camera.x) / 10;

    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        for (int j = 0; j < static_cast<int>(rows[i].size()); ++j) {
            if (i == playerRow && j == playerColumn)
                MarkExplored(explored, playerRow, playerColumn);
            const ztmath::Vector2 position{-kCellSize * j * zoom, kCellSize * i * zoom};
            int tile = kMinimapNoTile;
            if (frame.fog && explored[i][j] == 0) {
                tile = kMinimapFog;
            } else if (rows[i][j] == 'v') {
                exits.push_back(position);
                continue;
            } else {
                tile = MinimapTileOf(rows[i][j], frame.fight);
            }
            if (tile != kMinimapNoTile)
                out.push_back({tile, position, {cell, cell}, 0.0f});
        }
    }
}

void BuildMinimapOverlay(const MinimapRows& rows, const MinimapRows& explored, const MinimapFrame& frame,
                         float& blinkTimer, const std::vector<ztmath::Vector2>& exits,
                         const std::vector<ztmath::Vector3>& enemies, std::vector<MinimapDraw>& out)
{
    const float zoom = frame.zoom;
    const float cell = kCellSize * zoom;
    for (const ztmath::Vector2& exit : exits)
        out.push_back({ExitTile(blinkTimer), exit, {cell, cell}, 0.0f});

    for (const ztmath::Vector3& p : enemies) {
        const int column = static_cast<int>(p.x / kCellSize);
        const int row = static_cast<int>(p.z / kCellSize);
        if (InsideGrid(rows, row, column) && InsideGrid(explored, row, column) && explored[row][column] != 0)
            out.push_back({kMinimapEnemy, {-p.x * zoom, p.z * zoom}, {cell, cell}, 0.0f});
    }

    out.push_back({kMinimapPlayer, {-frame.camera.x * zoom, frame.camera.z * zoom}, {cell, cell},
                   MinimapArrowYaw(frame.forward)});
    out.push_back({kMinimapBorder, frame.viewCentre, {kBorderWidth, kBorderHeight}, 0.0f});
}

void BuildMinimapDrawList(const MinimapRows& rows, MinimapRows& explored, const MinimapFrame& frame,
                          float& blinkTimer, const std::vector<ztmath::Vector3>& enemies,
                          std::vector<MinimapDraw>& out)
{
    std::vector<ztmath::Vector2> exits;
    BuildMinimapTiles(rows, explored, frame, out, exits);
    BuildMinimapOverlay(rows, explored, frame, blinkTimer, exits, enemies, out);
}

ztmath::Vector2 MinimapFrameInside()
{
    return {kBorderWidth - 2.0f * kBorderBand, kBorderHeight - 2.0f * kBorderBand};
}

MinimapView FitMinimapGrid(const MinimapRows& rows, const ztmath::Vector2& inside)
{
    size_t columns = 0;
    for (const auto& row : rows)
        columns = std::max(columns, row.size());
    if (rows.empty() || columns == 0)
        return {MinimapSubsystem::kBigMapZoom, {0.0f, 0.0f}};
    const float width = kCellSize * static_cast<float>(columns);
    const float height = kCellSize * static_cast<float>(rows.size());
    MinimapView view;
    view.zoom = std::min(inside.x / width, inside.y / height);
    // Cell (i, j) is centred on (-10 j, 10 i) times the zoom: the grid's middle lies half a grid
    // less one cell from the first cell's centre.
    view.centre = {-0.5f * kCellSize * static_cast<float>(columns - 1) * view.zoom,
                   0.5f * kCellSize * static_cast<float>(rows.size() - 1) * view.zoom};
    return view;
}

MinimapSubsystem::MinimapSubsystem(App* app)
    : Subsystem(app),
      m_messaging(&app->m_messagingSystem),
      m_spawner(app->GetSharedData<AISpawner>("AISpawner")),
      m_textManager(&app->GetGraphics2D()->GetTextManager()),
      m_layout(app->GetSharedData<LevelLayout>("LevelLayout")),
      m_levelState(app->GetSharedData<LevelState>("LevelState"))
{
    for (Texture2D& tile : m_tiles)
        tile = Texture2D{Graphics2D::kNoTexture, 0, 0, 0, 1};
}

void MinimapSubsystem::Init()
{
    // Without a GL context (a windowless run of the game) there is nothing to draw the map
    // into; the map's logic still runs.
    m_canvasReady = glGenFramebuffers != nullptr && m_mapCamera.Init(*m_graphics2D) &&
                    m_tileCamera.Init(*m_graphics2D);
    m_mapCamera.SetClearColor(kMinimapOutsideColour[0], kMinimapOutsideColour[1], kMinimapOutsideColour[2],
                              kMinimapOutsideColour[3]);
    // Beyond the grid the tile canvas stays clear, so that the map's own colour shows there.
    m_tileCamera.SetClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    m_tileTexture = Texture2D{m_tileCamera.GetColorTexture(), 0, 0, 0, 1};
    m_graphics2D->m_textures.push_back(Texture2D{m_mapCamera.GetColorTexture(), 0, 0, 0, 1});
    const Texture2DHandle canvas{static_cast<unsigned>(m_graphics2D->m_textures.size() - 1), 1};

    for (const TileFile& tile : kTileFiles) {
        const Texture2DHandle handle = m_graphics2D->LoadTexture(std::string(kTileFolder) + tile.file);
        m_tiles[tile.slot] = m_graphics2D->GetTexture(handle);
    }

    const float w = static_cast<float>(m_app->m_windowInfo.windowWidth);
    const float h = static_cast<float>(m_app->m_windowInfo.windowHeight);
    m_font = m_textManager->LoadFont(kFont);
    m_hintText = m_textManager->CreateText(kKeyboardHint, m_font);
    m_floorText = m_textManager->CreateText("Floor " + std::to_string(m_levelState->m_floor), m_font);
    const ztmath::Vector2 textPositions[] = {{0.95f * w - 175.0f, 0.01f * h + kHintLineAbove},
                                             {0.94f * w, 0.01f * h}};
    const uint32_t texts[] = {m_hintText, m_floorText};
    for (int i = 0; i < 2; ++i) {
        if (TextEntry* text = m_textManager->GetTextEntry(texts[i])) {
            text->position = textPositions[i];
            text->scale = {kTextScale, kTextScale};
            text->color = {1.0f, 1.0f, 1.0f, kTextAlpha};
            text->visible = false;
        }
    }

    m_spritePosition = {0.375f * w, 0.375f * h - 10.0f};
    m_spriteScale = kSmallMapSize;
    m_mapSprite = m_graphics2D->CreateSprite(canvas, m_spritePosition, m_spriteScale, 0);
    m_mapSprite.SetVisible(false);

    // The sprite itself is shown by the next update in play: these events arrive during a fade,
    // over which the map has no place.
    m_messaging->RegisterHandler("EXIT_OVERWORLD", [this](const IEvent&) { m_mapShown = true; });
    m_messaging->RegisterHandler("ENTER_OVERWORLD", [this](const IEvent&) {
        m_mapShown = false;
        HideAll();
    });
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        m_mapShown = false;
        HideAll();
        LevelLayout& layout = *m_layout;
        layout.m_explored.assign(layout.m_rows.size(), CountedVector<char>());
        for (size_t i = 0; i < layout.m_rows.size(); ++i)
            layout.m_explored[i].assign(layout.m_rows[i].size(), 0);
    });
    m_initialised = true;
}

void MinimapSubsystem::HideAll()
{
    if (!m_initialised)
        return;
    m_mapSprite.SetVisible(false);
    ShowTexts(false);
}

void MinimapSubsystem::NextState(int)
{
    HideAll();
}

void MinimapSubsystem::ShowTexts(bool visible)
{
    if (m_textsVisible == static_cast<int>(visible))
        return;
    m_textsVisible = visible ? 1 : 0;
    m_textManager->SetTextVisible(m_hintText, visible);
    m_textManager->SetTextVisible(m_floorText, visible);
}

void MinimapSubsystem::DrawTiles(const MinimapView& view)
{
    m_tileCamera.BeginDraw(view.centre);
    // Under the grid the canvas is explored floor; around it, it stays clear.
    size_t columns = 0;
    for (const auto& row : m_layout->m_rows)
        columns = std::max(columns, row.size());
    const float unitsToPixelsX = static_cast<float>(Camera2DBuffer::kWidth) / kBorderWidth;
    const float unitsToPixelsY = static_cast<float>(Camera2DBuffer::kHeight) / kBorderHeight;
    const float gridW = kCellSize * static_cast<float>(columns) * view.zoom * unitsToPixelsX;
    const float gridH = kCellSize * static_cast<float>(m_layout->m_rows.size()) * view.zoom * unitsToPixelsY;
    const GLboolean scissorWasOn = glIsEnabled(GL_SCISSOR_TEST);
    GLint scissorBox[4];
    GLfloat clearColour[4];
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    glEnable(GL_SCISSOR_TEST);
    glScissor(static_cast<GLint>(std::lround(0.5f * (Camera2DBuffer::kWidth - gridW))),
              static_cast<GLint>(std::lround(0.5f * (Camera2DBuffer::kHeight - gridH))),
              static_cast<GLsizei>(std::lround(gridW)), static_cast<GLsizei>(std::lround(gridH)));
    glClearColor(kMinimapFloorColour[0], kMinimapFloorColour[1], kMinimapFloorColour[2], kMinimapFloorColour[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (scissorWasOn != GL_TRUE)
        glDisable(GL_SCISSOR_TEST);
    // A tile's transparent edge keeps the floor under it opaque: the picture is laid over the
    // outside colour later and must not let it through.
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    for (const MinimapDraw& draw : m_tileList)
        m_tileCamera.DrawSprite(m_tiles[draw.tile], draw.position, draw.size, {0.0f, 0.0f}, 1.0f, draw.rotation);
    m_tileCamera.EndDraw();
}

void MinimapSubsystem::Update(float dt)
{
    if (!m_initialised)
        return;
    m_blinkTimer += dt;

    // The texts follow the shown dungeon, not the level number alone: that is set as the player
    // steps into a portal, while the hub is still on screen.
    const bool inDungeon = m_levelState->m_level != 0 && m_mapShown;
    m_mapSprite.SetVisible(m_mapShown);
    ShowTexts(inDungeon);
    if (inDungeon && m_shownFloor != m_levelState->m_floor) {
        m_shownFloor = m_levelState->m_floor;
        m_textManager->SetText(m_floorText, "Floor " + std::to_string(m_shownFloor));
    }
    const char* hint = m_input->IsJoystickPresent(0) ? kPadHint : kKeyboardHint;
    if (hint != m_shownHint) {
        m_shownHint = hint;
        m_textManager->SetText(m_hintText, hint);
    }

    if (m_input->IsKeyReleased(GLFW_KEY_TAB) || m_input->IsJoystickButtonPressed(0, kPadMapButton))
        m_bigMap = !m_bigMap;
    if (m_input->IsKeyReleased(GLFW_KEY_N))
        m_fogEnabled = !m_fogEnabled;

    const MinimapRows& rows = m_layout->m_rows;
    MinimapFrame frame;
    frame.camera = m_graphics->GetCameraPosition();
    frame.forward = m_graphics->GetCameraBasis().forward;
    frame.fight = m_levelState->m_fight == 1;
    frame.fog = m_fogEnabled;
    m_mapSprite.SetAlpha(1.0f);
    if (m_bigMap) {
        const MinimapView fit = FitMinimapGrid(rows, MinimapFrameInside());
        frame.zoom = fit.zoom;
        frame.viewCentre = fit.centre;
        m_mapSprite.SetScale(kBigMapSize.x, kBigMapSize.y);
        m_mapSprite.SetPosition(m_spritePosition.x - kBigMapShift.x, m_spritePosition.y - kBigMapShift.y);
    } else {
        frame.zoom = kZoom;
        frame.viewCentre = {-frame.camera.x * frame.zoom, frame.camera.z * frame.zoom};
        m_mapSprite.SetScale(m_spriteScale.x, m_spriteScale.y);
        m_mapSprite.SetPosition(m_spritePosition.x, m_spritePosition.y);
    }

    // The tiles are laid out once at the zoom that fits the grid into the whole tile canvas.
    const MinimapView tileView = FitMinimapGrid(rows, {kBorderWidth, kBorderHeight});
    MinimapFrame tileFrame = frame;
    tileFrame.zoom = tileView.zoom;
    BuildMinimapTiles(rows, m_layout->m_explored, tileFrame, m_nextTiles, m_exits);
    const bool tilesChanged = !m_tilesDrawn || m_nextTiles != m_tileList || tileView.zoom != m_tileView.zoom;
    if (tilesChanged) {
        m_tileList.swap(m_nextTiles);
        m_tileView = tileView;
    }
    // The exits were found at the tile canvas's zoom; the overlay draws them at this frame's.
    const float toFrame = frame.zoom / tileView.zoom;
    for (ztmath::Vector2& exit : m_exits)
        exit = {exit.x * toFrame, exit.y * toFrame};
    m_drawList.clear();
    BuildMinimapOverlay(rows, m_layout->m_explored, frame, m_blinkTimer, m_exits, m_spawner->m_enemyPositions,
                        m_drawList);

    if (!m_canvasReady)
        return;
    if (tilesChanged && !rows.empty()) {
        DrawTiles(tileView);
        ++m_tileRedraws;
    }
    m_tilesDrawn = true;
    m_mapCamera.BeginDraw(frame.viewCentre);
    if (!rows.empty()) {
        // The tile canvas spans the whole border-sized view around the grid's middle.
        m_mapCamera.DrawSprite(m_tileTexture, {tileView.centre.x * toFrame, tileView.centre.y * toFrame},
                               {kBorderWidth * toFrame, kBorderHeight * toFrame}, {0.0f, 0.0f}, 1.0f, 0.0f);
    }
    for (const MinimapDraw& draw : m_drawList)
        m_mapCamera.DrawSprite(m_tiles[draw.tile], draw.position, draw.size, {0.0f, 0.0f}, 1.0f,
                               draw.rotation);
    m_mapCamera.EndDraw();
}

void MinimapSubsystem::Exit()
{
    if (m_canvasReady) {
        m_mapCamera.Destroy();
        m_tileCamera.Destroy();
    }
}

}  // namespace ztengine
