#include "core/subsys/MinimapSubsystem/MinimapSubsystem.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

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
constexpr ztmath::Vector2 kSmallMapSize{300.0f, 200.0f};
constexpr ztmath::Vector2 kBigMapSize{800.0f, 600.0f};
constexpr ztmath::Vector2 kBigMapShift{300.0f, 250.0f};
constexpr float kBigMapViewX = -400.0f;
// Explored floor and everything around the grid: cells of plain floor draw no tile, so the
// canvas's own colour is the floor. Dull stone, well apart from the near-black fog.
constexpr float kFloorColour[4] = {0.30f, 0.26f, 0.21f, 1.0f};
constexpr float kTextScale = 0.4f;
constexpr float kTextAlpha = 0.4f;

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

void BuildMinimapDrawList(const MinimapRows& rows, MinimapRows& explored, const MinimapFrame& frame,
                          float& blinkTimer, const std::vector<ztmath::Vector3>& enemies,
                          std::vector<MinimapDraw>& out)
{
    out.clear();
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
            int tile = kMinimapNoTile;
            if (frame.fog && explored[i][j] == 0)
                tile = kMinimapFog;
            else if (rows[i][j] == 'v')
                tile = ExitTile(blinkTimer);
            else
                tile = MinimapTileOf(rows[i][j], frame.fight);
            if (tile != kMinimapNoTile)
                out.push_back({tile, {-kCellSize * j * zoom, kCellSize * i * zoom}, {cell, cell}, 0.0f});
        }
    }

    for (const ztmath::Vector3& p : enemies) {
        const int column = static_cast<int>(p.x / kCellSize);
        const int row = static_cast<int>(p.z / kCellSize);
        if (InsideGrid(rows, row, column) && explored[row][column] != 0)
            out.push_back({kMinimapEnemy, {-p.x * zoom, p.z * zoom}, {cell, cell}, 0.0f});
    }

    out.push_back({kMinimapPlayer, {-frame.camera.x * zoom, frame.camera.z * zoom}, {cell, cell},
                   MinimapArrowYaw(frame.forward)});
    out.push_back({kMinimapBorder, frame.viewCentre, {kBorderWidth, kBorderHeight}, 0.0f});
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
    m_canvasReady = glGenFramebuffers != nullptr && m_mapCamera.Init(*m_graphics2D);
    m_mapCamera.SetClearColor(kFloorColour[0], kFloorColour[1], kFloorColour[2], kFloorColour[3]);
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
    const ztmath::Vector2 textPositions[] = {{0.95f * w - 175.0f, 0.98f * h}, {0.94f * w, 0.01f * h}};
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

    m_messaging->RegisterHandler("EXIT_OVERWORLD", [this](const IEvent&) { m_mapSprite.SetVisible(true); });
    m_messaging->RegisterHandler("ENTER_OVERWORLD", [this](const IEvent&) { m_mapSprite.SetVisible(false); });
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        m_mapSprite.SetVisible(false);
        LevelLayout& layout = *m_layout;
        layout.m_explored.assign(layout.m_rows.size(), CountedVector<char>());
        for (size_t i = 0; i < layout.m_rows.size(); ++i)
            layout.m_explored[i].assign(layout.m_rows[i].size(), 0);
    });
    m_initialised = true;
}

void MinimapSubsystem::SetTextVisible(bool visible)
{
    m_textManager->SetTextVisible(m_hintText, visible);
    m_textManager->SetTextVisible(m_floorText, visible);
}

void MinimapSubsystem::Update(float dt)
{
    if (!m_initialised)
        return;
    m_blinkTimer += dt;

    const bool inDungeon = m_levelState->m_level != 0;
    SetTextVisible(inDungeon);
    if (inDungeon)
        m_textManager->SetText(m_floorText, "Floor " + std::to_string(m_levelState->m_floor));
    m_textManager->SetText(m_hintText, m_input->IsJoystickPresent(0) ? kPadHint : kKeyboardHint);

    if (m_input->IsKeyReleased(GLFW_KEY_TAB) || m_input->IsJoystickButtonPressed(0, kPadMapButton))
        m_bigMap = !m_bigMap;
    if (m_input->IsKeyReleased(GLFW_KEY_N))
        m_fogEnabled = !m_fogEnabled;

    MinimapFrame frame;
    frame.camera = m_graphics->GetCameraPosition();
    frame.forward = m_graphics->GetCameraBasis().forward;
    frame.fight = m_levelState->m_fight == 1;
    frame.fog = m_fogEnabled;
    float viewX = 0.0f;
    m_mapSprite.SetAlpha(1.0f);
    if (m_bigMap) {
        frame.zoom = kBigMapZoom;
        m_mapSprite.SetScale(kBigMapSize.x, kBigMapSize.y);
        m_mapSprite.SetPosition(m_spritePosition.x - kBigMapShift.x, m_spritePosition.y - kBigMapShift.y);
        viewX = kBigMapViewX;
    } else {
        frame.zoom = kZoom;
        m_mapSprite.SetScale(m_spriteScale.x, m_spriteScale.y);
        m_mapSprite.SetPosition(m_spritePosition.x, m_spritePosition.y);
        viewX = -frame.camera.x;
    }
    frame.viewCentre = {viewX * frame.zoom, frame.camera.z * frame.zoom};

    BuildMinimapDrawList(m_layout->m_rows, m_layout->m_explored, frame, m_blinkTimer,
                         m_spawner->m_enemyPositions, m_drawList);

    if (!m_canvasReady)
        return;
    m_mapCamera.BeginDraw(frame.viewCentre);
    for (const MinimapDraw& draw : m_drawList)
        m_mapCamera.DrawSprite(m_tiles[draw.tile], draw.position, draw.size, {0.0f, 0.0f}, 1.0f,
                               draw.rotation);
    m_mapCamera.EndDraw();
}

void MinimapSubsystem::Exit()
{
    if (m_canvasReady)
        m_mapCamera.Destroy();
}

}  // namespace ztengine
