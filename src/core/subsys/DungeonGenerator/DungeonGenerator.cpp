// DungeonGenerator: floor builds from the grid, progression through the floors and room fights.
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/input/Input.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/DungeonColour.h"

namespace ztengine {

using ztmath::Vector3;

namespace {

constexpr float kCell = 10.0f;

constexpr const char* kSceneName = "proc gen scene";
constexpr const char* kStrongerText = "The enemies seem to be getting stronger...";
constexpr const char* kStrongestText = "The enemies seemed to be at their strongest...";
constexpr int32_t kStrongestCount = 15;
constexpr float kMessageSeconds = 5.0f;

Vector3 CellPoint(int32_t c, int32_t r, float y)
{
    return Vector3(kCell * static_cast<float>(c), y, kCell * static_cast<float>(r));
}

Prop MakeProp(const char* model, const Vector3& position, const Vector3& scale, float tileU,
              float tileV, bool collision, int32_t colliderIndex)
{
    Prop prop;
    prop.m_modelName = model;
    prop.m_position = position;
    prop.m_scale = scale;
    prop.m_tiling[0] = tileU;
    prop.m_tiling[1] = tileV;
    prop.m_enableCollision = collision;
    prop.m_colliderType = 1;
    prop.m_colliderIndex = collision ? colliderIndex : -1;
    return prop;
}

const char* ByColour(int32_t colour, const char* red, const char* yellow, const char* blue,
                     const char* other)
{
    switch (colour) {
    case 1: return red;
    case 2: return yellow;
    case 3: return blue;
    default: return other;
    }
}

struct TorchStyle {
    const char* model;
    Vector3 colour;
    int32_t colliderIndex;
    int32_t kind;
};

TorchStyle TorchOf(int32_t colour)
{
    const int32_t kind = TorchKindOf(DungeonColourFromLevel(colour));
    switch (DungeonColourFromLevel(colour)) {
    case DungeonColour::Red: return {"TORCH3", Vector3(250.0f, 150.0f, 50.0f) / 255.0f, 47, kind};
    case DungeonColour::Yellow:
        return {"TORCH1", Vector3(100.0f, 250.0f, 100.0f) / 255.0f, 40, kind};
    case DungeonColour::Blue: return {"TORCH2", Vector3(150.0f, 150.0f, 250.0f) / 255.0f, 41, kind};
    default: return {"TORCH1", Vector3(1.0f, 1.0f, 1.0f), 40, kind};
    }
}

GridRoom ToGridRoom(const MapRect& rect)
{
    return GridRoom{rect.x, rect.y, rect.width, rect.height};
}

bool IsSpecial(char ch)
{
    static const std::string kSpecial = "#+*vX@=:%$!BZ^~?";
    return kSpecial.find(ch) != std::string::npos;
}

}  // namespace

GridBuild BuildSceneFromGrid(const std::vector<std::string>& rows,
                             const std::vector<GridRoom>& rooms, int32_t colour,
                             int32_t chestCap)
{
    GridBuild out;
    std::vector<Prop>& props = out.scene.m_props;
    float minCol = 9999.9f, maxCol = -9999.9f, minRow = 9999.9f, maxRow = -9999.9f;

    auto place = [&](int32_t type, Prop prop) {
        out.sentObjects.push_back({prop.m_position, prop.m_scale, type, prop.m_modelName});
        props.push_back(std::move(prop));
    };

    for (int32_t r = 0; r < static_cast<int32_t>(rows.size()); ++r) {
        const std::string& row = rows[r];
        for (int32_t c = 0; c < static_cast<int32_t>(row.size()); ++c) {
            const char ch = row[c];
            if (!IsSpecial(ch))
                continue;
            minCol = std::min(minCol, static_cast<float>(c));
            maxCol = std::max(maxCol, static_cast<float>(c));
            minRow = std::min(minRow, static_cast<float>(r));
            maxRow = std::max(maxRow, static_cast<float>(r));
            const int32_t index = static_cast<unsigned char>(ch);
            switch (ch) {
            case '#':
                place(ch, MakeProp(ByColour(colour, "DRedWall_Model", "DGreenWall_Model",
                                            "DBlueWall_Model", "wallmodel"),
                                   CellPoint(c, r, 0.0f), Vector3(1.3f, 10.0f, 12.0f), 0.98f,
                                   7.7f, true, index));
                break;
            case '+':
                out.doorIndices.push_back(static_cast<int32_t>(props.size()));
                place(ch, MakeProp("dungeon_door_model", CellPoint(c, r, 15.0f),
                                   Vector3(10.0f, 31.0f, 10.0f), 1.0f, 1.0f, true, index));
                break;
            case 'X': {
                const char* model =
                    ByColour(colour, "castlepillar", "forestpillarmodel", "icecolumn", "column");
                const bool plain = colour < 1 || colour > 3;
                const float tile = colour == 1 ? 10.0f : (plain ? 1.0f : 5.0f);
                place(ch, MakeProp(model, CellPoint(c, r, 15.0f),
                                   plain ? Vector3(3.0f, 2.8f, 3.0f) : Vector3(6.5f, 6.5f, 6.5f),
                                   tile, tile, true, index));
                break;
            }
            case '@': {
                static const float kSigns[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
                for (const auto& sign : kSigns) {
                    Vector3 at = CellPoint(c, r, 2.0f);
                    at.x += 2.5f * sign[0];
                    at.z += 2.5f * sign[1];
                    place(ch, MakeProp("barrelmodel", at, Vector3(2.0f, 2.0f, 2.0f), 1.0f, 1.0f,
                                       true, index));
                }
                break;
            }
            case '=':
                place(ch, MakeProp("Crate4", CellPoint(c, r, 2.0f), Vector3(0.15f, 0.15f, 0.15f),
                                   1.0f, 1.0f, true, index));
                break;
            case '%':
                place(ch, MakeProp("dungeon_rock_model", CellPoint(c, r, 2.0f),
                                   Vector3(0.8f, 0.8f, 0.8f), 1.0f, 1.0f, true, index));
                break;
            case ':':
                place(ch, MakeProp("dungeon_stones_model", CellPoint(c, r, 0.0f),
                                   Vector3(0.035f, 0.035f, 0.035f), 1.0f, 1.0f, false, index));
                break;
            case 'Z':
                place(ch, MakeProp("dungeon_spikes_model", CellPoint(c, r, 0.0f),
                                   Vector3(4.0f, 4.0f, 4.0f), 1.0f, 1.0f, true, index));
                break;
            case '^':
                place(ch, MakeProp("dungeon_ice_model", CellPoint(c, r, 0.0f),
                                   Vector3(1.3f, 0.1f, 12.0f), 1.0f, 1.0f, true, index));
                break;
            case '~':
                place(ch, MakeProp("GooModel", CellPoint(c, r, 0.0f), Vector3(2.4f, 1.0f, 2.4f),
                                   1.0f, 1.0f, true, index));
                break;
            case '$':
                // More chests than this would make a floor of free blessings; the cell stays
                // in the layout rows, only the prop is dropped.
                if (out.chestCount < chestCap) {
                    place(ch, MakeProp("Treasure_Chest", CellPoint(c, r, 2.6f),
                                       Vector3(0.15f, 0.2f, 0.2f), 1.0f, 1.0f, true, index));
                    ++out.chestCount;
                }
                break;
            case '*':
                out.scene.m_playerStart = CellPoint(c, r, 0.0f);
                break;
            case 'v':
                out.exitPosition = CellPoint(c, r, 6.0f);
                out.hasExit = true;
                out.specialPosition = CellPoint(c, r, 0.0f);
                out.specialValid = true;
                break;
            case 'B':
                out.specialPosition = CellPoint(c, r, 0.0f);
                out.specialValid = true;
                break;
            case '?': {
                LayoutCell cell;
                cell.m_column = static_cast<float>(c);
                cell.m_row = static_cast<float>(r);
                cell.m_worldX = kCell * static_cast<float>(c);
                cell.m_worldZ = kCell * static_cast<float>(r);
                cell.m_character = '?';
                out.markers.push_back(cell);
                break;
            }
            default:  // '!': spawn cells, read by the room fights
                break;
            }
        }
    }

    // Torches: up to eight spots per room, a third and two thirds along each wall. A spot is
    // taken only where the wall cell and both its neighbours along the wall are solid, so no
    // torch hangs over a door or an opening.
    const TorchStyle style = TorchOf(colour);
    auto isWall = [&](int32_t col, int32_t row) {
        return row >= 0 && row < static_cast<int32_t>(rows.size()) && col >= 0 &&
               col < static_cast<int32_t>(rows[row].size()) && rows[row][col] == '#';
    };
    for (const GridRoom& room : rooms) {
        const float x0 = kCell * static_cast<float>(room.x);
        const float z0 = kCell * static_cast<float>(room.y);
        const float sx = kCell * static_cast<float>(room.w - 1) / 3.0f;
        const float sz = kCell * static_cast<float>(room.h - 1) / 3.0f;
        struct Spot {
            float x, z;
            int wall;  // 0 top, 1 right, 2 bottom, 3 left
        };
        const Spot spots[8] = {{x0 + sx, z0, 0},          {x0 + 2 * sx, z0, 0},
                               {x0 + 3 * sx, z0 + sz, 1}, {x0 + 3 * sx, z0 + 2 * sz, 1},
                               {x0 + 2 * sx, z0 + 3 * sz, 2}, {x0 + sx, z0 + 3 * sz, 2},
                               {x0, z0 + 2 * sz, 3},      {x0, z0 + sz, 3}};
        for (const Spot& spot : spots) {
            const int32_t col = static_cast<int32_t>(spot.x / kCell);
            const int32_t row = static_cast<int32_t>(spot.z / kCell);
            bool solid = false;
            Vector3 offset, facing;
            float yaw = 0.0f;
            switch (spot.wall) {
            case 0:
                solid = isWall(col, room.y - 1) && isWall(col + 1, room.y - 1) &&
                        isWall(col - 1, room.y - 1);
                offset = Vector3(0.0f, 0.0f, -4.0f);
                facing = Vector3(0.0f, 0.0f, 1.0f);
                yaw = 0.0f;
                break;
            case 1:
                solid = isWall(col + 1, row) && isWall(col + 1, row + 1) &&
                        isWall(col + 1, row - 1);
                offset = Vector3(4.5f, 0.0f, 0.0f);
                facing = Vector3(-1.0f, 0.0f, 0.0f);
                yaw = -90.0f;
                break;
            case 2:
                solid = isWall(col, row + 1) && isWall(col + 1, row + 1) &&
                        isWall(col - 1, row + 1);
                offset = Vector3(0.0f, 0.0f, 4.0f);
                facing = Vector3(0.0f, 0.0f, -1.0f);
                yaw = -180.0f;
                break;
            default:
                solid = isWall(col - 1, row) && isWall(col - 1, row + 1) &&
                        isWall(col - 1, row - 1);
                offset = Vector3(-4.5f, 0.0f, 0.0f);
                facing = Vector3(1.0f, 0.0f, 0.0f);
                yaw = -270.0f;
                break;
            }
            if (!solid)
                continue;
            const Vector3 lightAt(spot.x, 20.0f, spot.z);
            PointLight light;
            light.m_position = lightAt;
            light.m_colour = style.colour;
            light.m_diffuseIntensity = 0.4f;
            light.m_radius = 25.0f;
            out.scene.m_pointLights.push_back(light);

            Prop torch = MakeProp(style.model, lightAt + offset, Vector3(1.0f, 1.0f, 1.0f), 1.0f,
                                  1.0f, false, -1);
            torch.m_yaw = yaw;
            torch.m_colliderIndex = style.colliderIndex;
            props.push_back(torch);

            TorchRecord record;
            record.m_scale = 1.0f;
            record.m_position = torch.m_position;
            record.m_flameDirection = facing;
            record.m_kind = style.kind;
            out.torches.push_back(record);
        }
    }

    // The slabs are far larger than any grid once scaled, so a centre near the grid covers it.
    const float centreX = (minCol + maxCol) * 0.5f + 200.0f;
    const float centreZ = (minRow + maxRow) * 0.5f + 100.0f;
    const bool plain = colour < 1 || colour > 3;
    Prop floor = MakeProp(ByColour(colour, "DRedFloor_Model", "DGreenFloor_Model",
                                   "DBlueFloor_Model", "wallmodel"),
                          Vector3(centreX, -2.0f, centreZ), Vector3(200.0f, 0.5f, 1200.0f),
                          150.0f, 75.0f, true, ' ');
    floor.m_name = "Floor";
    if (plain)
        floor.m_reserved0 = 0;  // the plain slab casts no shadow
    props.push_back(floor);
    Prop ceiling = MakeProp(ByColour(colour, "DRedCeiling_Model", "DGreenCeiling_Model",
                                     "DBlueCeiling_Model", "wallmodel"),
                            Vector3(centreX, 32.0f, centreZ), Vector3(200.0f, 0.5f, 1200.0f),
                            150.0f, 75.0f, true, 0);
    ceiling.m_name = "Ceiling";
    props.push_back(ceiling);
    return out;
}

// ---------------------------------------------------------------------------------------------

DungeonGenerator::DungeonGenerator(App* app)
    : Subsystem(app),
      m_messaging(&app->m_messagingSystem),
      m_scene(app->GetSharedData<DungeonScene>("DungeonScene")),
      m_spawner(app->GetSharedData<AISpawner>("AISpawner")),
      m_levelState(app->GetSharedData<LevelState>("LevelState")),
      m_layout(app->GetSharedData<LevelLayout>("LevelLayout")),
      m_levelObjects(app->GetSharedData<LevelObj3DCont>("LevelObj3DCont")),
      m_regenerate(app->GetSharedData<RegenerateLevelBool>("RegenerateLevelBool")),
      m_portal(app->GetSharedData<PortalLocation>("PortalLocation")),
      m_orb(app->GetSharedData<OrbLocation>("OrbLocation")),
      m_torches(app->GetSharedData<TorchSharedData>("TorchSharedData")),
      m_propManager(app->GetSharedData<PropManager>("PropManager")),
      m_mapGenerator(std::make_unique<DungeonMapGenerator>("levels/")),
      m_waveEngine(std::random_device{}())
{
    m_sentObjects.reserve(3081);
    m_queueWave = [this](const Vector3& centre, float size, float strength, float radius) {
        m_spawner->QueueWave(centre, size, strength, radius);
    };
    m_layoutSource = [this](int32_t colour, bool bossFloor) {
        GridLayout layout;
        if (!m_mapGenerator->GenerateFloor(colour, bossFloor))
            return layout;
        for (int y = 0; y < DungeonMapGenerator::kHeight; ++y)
            layout.rows.push_back(m_mapGenerator->GetRow(y));
        for (const MapRect& room : m_mapGenerator->GetRooms())
            layout.rooms.push_back(ToGridRoom(room));
        for (const MapRect& room : m_mapGenerator->GetFreeRooms())
            layout.freeRooms.push_back(ToGridRoom(room));
        return layout;
    };
}

float DungeonGenerator::WaveStrength(int32_t strength)
{
    return std::min(1.0f, static_cast<float>(strength) / static_cast<float>(kStrongestCount));
}

float DungeonGenerator::WaveSize(int32_t floor)
{
    return static_cast<float>(floor) / 3.0f;
}

void DungeonGenerator::Init()
{
    m_mapGenerator->SetRoomSizes(6, 14);
    m_mapGenerator->SetCorridorLengths(2, 12);
    m_mapGenerator->SetFixedRoomSize(15, 15);

    MessagingSystem& m = *m_messaging;
    m_eventReset = m.GetEventId("DUNGEON_RESET");
    m_eventNewDungeon = m.GetEventId("NEW_DUNGEON_GENERATED");
    m_eventFightBegin = m.GetEventId("DUNGEON_FIGHT_BEGIN");
    m_eventFightEnd = m.GetEventId("DUNGEON_FIGHT_END");
    m_eventBossBegin = m.GetEventId("DUNGEON_BOSS_BEGIN");
    m_eventBossEnd = m.GetEventId("DUNGEON_BOSS_END");
    m_eventWarp = m.GetEventId("PLAYER_WARP");
    m_eventObjectSend = m.GetEventId("DUNGEON_OBJECT_SEND");
    m_eventGenerationStarted = m.GetEventId("DUNGEON_GENERTATION_STARTED");

    m.RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        m_eventStarted = m_eventEnding = m_active = m_suspended = m_fighting = false;
        m_strength = 0;
        m_levelState->m_fight = 0;
        // A message still counting down belongs to the run that ended.
        m_messageTime = 0.0f;
        m_messageAlpha = 0.8f;
        ShowMessage(false);
    });
    m.RegisterHandler("TELEPORT_PLAYER_BEGIN", [this](const IEvent&) {
        std::printf("player enters a portal\n");
        m_suspended = true;
        m_walk.Forget();
    });
    m.RegisterHandler("TELEPORT_PLAYER_END", [this](const IEvent&) {
        std::printf("player exits a portal\n");
        m_suspended = false;
    });
    m_walk.ListenForJumps(m);
    m.RegisterHandler("PLAYER_DEATH", [this](const IEvent&) {
        ShowMessage(false);
        m_messageTime = 0.0f;
    });

    m_messageText = kStrongerText;
    if (m_graphics2D != nullptr) {
        TextManager& texts = m_graphics2D->GetTextManager();
        const uint32_t font = texts.LoadFont("fonts/arial.ttf");
        m_text = static_cast<int32_t>(texts.CreateText(m_messageText, font));
        const WindowInfo& window = m_app->m_windowInfo;
        texts.SetTextPosition(m_text, ztmath::Vector2(window.windowWidth * 0.125f,
                                                      window.windowHeight * 0.25f));
        texts.SetTextColor(m_text, Vector3(1.0f, 1.0f, 1.0f), m_messageAlpha);
        texts.SetTextVisible(m_text, false);
    }

    m_suspended = false;
    Build(1);
    m_messageTime = 0.0f;
}

void DungeonGenerator::NextState(int)
{
    // The message shows over play only; its next update in play brings it back while time is left.
    if (m_messageVisible)
        ShowMessage(false);
}

void DungeonGenerator::SetToCurrentState()
{
    if (!m_fighting)
        m_openDoorsPending = true;
}

void DungeonGenerator::SendObject(const DungeonObjectInfo& info)
{
    m_sentObjects.push_back(info);
    m_messaging->SendEvent(m_eventObjectSend, IEvent(1, &m_sentObjects.back()));
}

void DungeonGenerator::Build(int32_t colour)
{
    const bool specialWasValid = m_layout->m_specialValid;
    m_layout->m_specialValid = false;
    m_messaging->SendEvent(m_eventGenerationStarted, IEvent());
    if (colour == 0)
        return;
    const bool bossFloor = m_floor == 2;

    std::printf("Generating dungeon...%d\n", colour);
    GridLayout grid = m_layoutSource(colour, bossFloor);
    if (grid.rows.empty()) {
        // The generator gave up: the floor the player is on stays as it is, with its doors,
        // its rooms and its stairs, and nothing is told to reset.
        m_layout->m_specialValid = specialWasValid;
        std::printf("Generating dungeon failed, keeping the current floor\n");
        std::fflush(stdout);
        return;
    }
    m_messaging->SendEvent(m_eventReset, IEvent());
    m_layout->m_rooms.clear();
    m_layout->m_width = 79;
    m_layout->m_height = 39;
    m_doorProps.clear();
    m_chestCount = 0;
    std::printf("Dungeon generated, sending to scene...\n");
    for (const std::string& row : grid.rows)
        std::printf("%s\n", row.c_str());
    std::fflush(stdout);

    m_rows = grid.rows;
    m_freeRooms = grid.freeRooms;
    m_layout->m_rows.clear();
    m_layout->m_explored.clear();
    for (const std::string& row : grid.rows) {
        m_layout->m_rows.emplace_back(row.begin(), row.end());
        m_layout->m_explored.emplace_back(row.size(), '\0');
    }
    m_layout->m_valid = true;

    m_scene->m_props.clear();
    m_portal->m_valid = false;
    m_orb->m_valid = false;

    GridBuild built = BuildSceneFromGrid(grid.rows, grid.rooms, colour, kMaxChests);
    // A build replaces the floor: the objects announced for the last one are gone with it.
    m_sentObjects.clear();
    for (const DungeonObjectInfo& info : built.sentObjects)
        SendObject(info);
    for (const LayoutCell& marker : built.markers)
        m_layout->m_markers.push_back(marker);
    if (built.hasExit) {
        m_exitPosition = built.exitPosition;
        m_portal->m_position = built.specialPosition;
        m_portal->m_valid = true;
    }
    if (built.specialValid) {
        m_layout->m_specialPosition = built.specialPosition;
        m_layout->m_specialValid = true;
    }
    m_doorProps = built.doorIndices;
    m_chestCount = built.chestCount;

    m_torches->m_torches.assign(built.torches.begin(), built.torches.end());
    m_torches->m_ready = true;

    m_scene->m_props = std::move(built.scene.m_props);
    m_scene->m_pointLights = std::move(built.scene.m_pointLights);
    m_scene->m_playerStart = built.scene.m_playerStart;
    m_scene->m_name = kSceneName;
    if (m_propManager != nullptr)
        m_propManager->AddScene(*m_scene);

    ++m_floor;
    m_active = false;
    m_walk.Forget();
    m_openDoorsPending = true;
    m_currentRoom = -1;
    m_eventStarted = m_eventEnding = m_bossRoom = false;

    for (const GridRoom& room : grid.rooms) {
        RoomBox box;
        box.m_min = Vector3(room.x * kCell, 0.0f, room.y * kCell);
        box.m_max = Vector3((room.x + room.w) * kCell, 30.0f, (room.y + room.h) * kCell);
        m_layout->m_rooms.push_back(box);
    }

    m_messaging->SendEvent(m_eventNewDungeon, IEvent(1, m_mapGenerator.get()));
    ++m_strength;
    if (m_strength > 2)
        m_messageTime = kMessageSeconds;
}

void DungeonGenerator::ShowMessage(bool visible)
{
    m_messageVisible = visible;
    if (m_text < 0 || m_graphics2D == nullptr)
        return;
    TextManager& texts = m_graphics2D->GetTextManager();
    texts.SetText(m_text, m_messageText);
    texts.SetTextColor(m_text, Vector3(1.0f, 1.0f, 1.0f), m_messageAlpha);
    texts.SetTextVisible(m_text, visible);
}

void DungeonGenerator::UpdateMessage(float dt)
{
    if (m_strength <= kStrongestCount && m_messageTime > 0.0f) {
        if (m_strength == kStrongestCount)
            m_messageText = kStrongestText;
        m_messageTime -= dt;
        if (m_messageTime < 2.0f)
            m_messageAlpha -= 0.5f * dt;
        ShowMessage(true);
    } else {
        m_messageAlpha = 0.8f;
        if (m_messageVisible)
            ShowMessage(false);
    }
}

void DungeonGenerator::Update(float dt)
{
    if (m_input != nullptr && m_input->IsKeyReleased(kRebuildKey)) {
        Build(1);
        // In a dungeon the new floor is loaded at once: the door indices of the new build must
        // never reach the old level. In town the next dungeon builds its own floor anyway.
        const int32_t level = m_levelState->m_level;
        if (level >= 1 && level <= 3)
            m_regenerate->m_regenerate = true;
    }
    if (m_suspended)
        return;
    UpdateMessage(dt);

    LevelState& level = *m_levelState;
    if (level.m_returnedToTown) {
        m_strengthenPending = true;
    } else {
        if (level.m_level >= 1 && level.m_level <= 3) {
            if (m_lastColour != 0 && m_lastColour != level.m_level) {
                m_rebuildPending = true;
                m_floor = 0;
            }
            m_lastColour = level.m_level;
            if (m_rebuildPending) {
                Build(level.m_level);
                m_regenerate->m_regenerate = true;
                m_rebuildPending = false;
                return;
            }
            m_active = true;
        } else if (level.m_level == 0) {
            m_rebuildPending = true;
            m_active = false;
            m_floor = 0;
        }
        if (m_strengthenPending) {
            ++m_strength;
            m_strengthenPending = false;
            m_messageTime = kMessageSeconds;
        }
    }
    if (!m_active) {
        m_walk.Forget();
        return;
    }
    if (m_openDoorsPending) {
        SetDoorsOpen(true);
        m_openDoorsPending = false;
    }

    const Vector3 camera = m_graphics != nullptr ? m_graphics->GetCameraPosition() : Vector3();
    const float reach = m_exitRadius + m_playerRadius;
    m_walk.MoveTo(camera);
    if (m_floor < 3 && m_walk.DistanceSquaredTo(m_exitPosition) < reach * reach) {
        m_messaging->SendEvent(m_eventWarp, IEvent());
        Build(level.m_level);
        m_regenerate->m_regenerate = true;
        return;
    }
    RunRoomFight();
    level.m_floor = m_floor;
}

void DungeonGenerator::SetDoorsOpen(bool open)
{
    LevelObj3DCont& objects = *m_levelObjects;
    for (int32_t index : m_doorProps) {
        // A build and the load of its level may be a frame apart; an index past the loaded
        // level is left alone rather than trusted.
        if (index < 0 || index >= static_cast<int32_t>(objects.m_instances.size()))
            continue;
        objects.m_instances[index].SetHidden(open);
        auto body = objects.m_bodyOfInstance.find(index);
        if (body != objects.m_bodyOfInstance.end() && body->second >= 0 &&
            body->second < static_cast<int32_t>(objects.m_bodies.size()))
            objects.m_bodies[body->second].SetActive(!open);
    }
}

void DungeonGenerator::RunRoomFight()
{
    const Vector3 camera = m_walk.To();
    if (m_currentRoom < 0) {
        for (size_t i = 0; i < m_freeRooms.size(); ++i) {
            const GridRoom& room = m_freeRooms[i];
            const float minX = kCell * room.x + 5.0f, maxX = kCell * (room.x + room.w) - 5.0f;
            const float minZ = kCell * room.y + 5.0f, maxZ = kCell * (room.y + room.h) - 5.0f;
            // The doors close around the player: a walk that crossed the middle counts only
            // when it ended inside the room's walls. A run straight through the room and out
            // of its far door leaves it be, rather than shutting the player out of its fight.
            const bool within = camera.x >= minX - kCell && camera.x <= maxX + kCell &&
                                camera.z >= minZ - kCell && camera.z <= maxZ + kCell;
            if (within && m_walk.TouchesBox(Vector3(minX, -100.0f, minZ), Vector3(maxX, 100.0f, maxZ))) {
                m_currentRoom = static_cast<int32_t>(i);
                break;
            }
        }
        return;
    }
    const GridRoom room = m_freeRooms[m_currentRoom];
    if (!m_eventStarted) {
        m_layout->m_roomCells.clear();
        std::printf("Start Random Event\n");
        m_bossRoom = false;
        int32_t spawned = 0;
        const int32_t f = m_floor;
        for (int32_t r = room.y - 1; r <= room.y + room.h; ++r) {
            for (int32_t c = room.x - 1; c <= room.x + room.w; ++c) {
                char ch = ' ';
                if (r >= 0 && r < static_cast<int32_t>(m_rows.size()) && c >= 0 &&
                    c < static_cast<int32_t>(m_rows[r].size()))
                    ch = m_rows[r][c];
                if (ch == '!') {
                    if (m_waveCounter > 0) {
                        --m_waveCounter;
                    } else {
                        const int32_t top = (f >= 1 && f <= 3) ? f - 1 : 2;
                        m_waveCounter = std::uniform_int_distribution<int32_t>(0, top)(m_waveEngine);
                    }
                    if (spawned < kMaxWavesPerPass) {
                        if (m_queueWave)
                            m_queueWave(CellPoint(c, r, 4.0f), WaveSize(f),
                                        WaveStrength(m_strength), 1.0f);
                        ++spawned;
                    }
                    ch = ' ';
                } else if (ch == 'B') {
                    m_bossPosition = CellPoint(c, r, 4.0f);
                    m_bossRoom = true;
                    ch = ' ';
                }
                LayoutCell cell;
                cell.m_column = static_cast<float>(c);
                cell.m_row = static_cast<float>(r);
                cell.m_worldX = kCell * c;
                cell.m_worldZ = kCell * r;
                cell.m_character = ch;
                m_layout->m_roomCells.push_back(cell);
            }
        }
        m_eventStarted = true;
        if (m_bossRoom) {
            m_waveCounter = 0;
            m_messaging->SendEvent(m_eventBossBegin, IEvent(0, &m_bossPosition));
        } else if (!m_fighting) {
            m_messaging->SendEvent(m_eventFightBegin, IEvent());
        }
        SetDoorsOpen(false);
        m_fighting = true;
        m_levelState->m_fight = 1;
        return;
    }
    if (!m_eventEnding) {
        const uint32_t enemies = m_spawner != nullptr ? m_spawner->m_enemyCount : 0;
        if (enemies == 0) {
            if (m_waveCounter > 0) {
                m_eventStarted = false;
            } else {
                m_eventEnding = true;
                m_fighting = false;
                m_levelState->m_fight = 0;
                if (m_bossRoom) {
                    m_bossRoom = false;
                    m_messaging->SendEvent(m_eventBossEnd, IEvent());
                } else {
                    m_messaging->SendEvent(m_eventFightEnd, IEvent());
                }
            }
        }
        return;
    }
    SetDoorsOpen(true);
    m_eventStarted = m_eventEnding = false;
    m_freeRooms.erase(m_freeRooms.begin() + m_currentRoom);
    m_currentRoom = -1;
}

}  // namespace ztengine
