#pragma once
// DungeonGenerator: runs the dungeons. Builds a floor whenever the player enters a dungeon or
// takes its down stairs (grid -> "DungeonScene", layout records, torches and lights), and runs
// the room fights and the strength count while the player walks through it.
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"
#include "core/resources/PropManager.h"
#include "core/subsys/DungeonGenerator/DungeonMapGenerator.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/WalkedPath.h"

namespace ztengine {

class MessagingSystem;
class AISpawner;
class PhysicsEngine;

// A room interior in cells: columns x .. x + w - 1, rows y .. y + h - 1.
struct GridRoom {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

// One finished floor layout: 39 rows of 79 characters, every room in placement order and the
// rooms that may hold a fight (the stair rooms are not among them).
struct GridLayout {
    std::vector<std::string> rows;
    std::vector<GridRoom> rooms;
    std::vector<GridRoom> freeRooms;
};

// What "DUNGEON_OBJECT_SEND" carries.
struct DungeonObjectInfo {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_scale;
    int32_t m_type = 0;  // the grid character
    std::string m_modelName;
};

// The floor a grid turns into, before it is handed to the shared records.
struct GridBuild {
    DungeonScene scene;
    std::vector<int32_t> doorIndices;  // scene indices of the door props
    std::vector<TorchRecord> torches;
    std::vector<LayoutCell> markers;   // the '?' cells
    std::vector<DungeonObjectInfo> sentObjects;
    ztmath::Vector3 exitPosition;      // down stairs + (0, 6, 0)
    bool hasExit = false;
    ztmath::Vector3 specialPosition;   // the down stairs, or the boss cell
    bool specialValid = false;
    int32_t chestCount = 0;
};

// Turns a grid into scene props, lights and torches. Colour: 1 red, 2 yellow (green models),
// 3 blue; anything else gives the plain models. At most `chestCap` chests become props.
GridBuild BuildSceneFromGrid(const std::vector<std::string>& rows,
                             const std::vector<GridRoom>& rooms, int32_t colour,
                             int32_t chestCap = 10);

class DungeonGenerator : public Subsystem {
public:
    // Gives the next floor's grid for a colour; the boss floor asks for the fixed boss room.
    using LayoutSource = std::function<GridLayout(int32_t colour, bool bossFloor)>;
    // Queues one wave of enemies around a point.
    using WaveQueue = std::function<void(const ztmath::Vector3& centre, float size,
                                         float strength, float radius)>;

    static constexpr int32_t kMaxChests = 10;
    static constexpr int32_t kMaxWavesPerPass = 10;

    // Reads the room templates ("levels/RedRooms.dat", "YellowRooms.dat", "BlueRooms.dat").
    explicit DungeonGenerator(App* app);

    void Init() override;
    void Update(float dt) override;
    void SetToCurrentState() override;
    void NextState(int newState) override;

    // Builds the next floor of a colour into the shared records and stores "proc gen scene".
    // A colour of 0 builds nothing.
    void Build(int32_t colour);

    // The strength a new wave gets, 0 to 1, and its size, from the floor.
    static float WaveStrength(int32_t strength);
    static float WaveSize(int32_t floor);

    // The map generator's floors and the "AISpawner" record's waves by default; replaceable
    // for tests.
    LayoutSource m_layoutSource;
    WaveQueue m_queueWave;
    // Releasing it builds a new red floor, a developer's rebuild.
    static constexpr unsigned kRebuildKey = 76;  // 'L'

    // Read by tests.
    const std::vector<int32_t>& DoorProps() const { return m_doorProps; }
    const std::vector<DungeonObjectInfo>& SentObjects() const { return m_sentObjects; }
    int32_t Floor() const { return m_floor; }
    int32_t Strength() const { return m_strength; }
    int32_t CurrentRoom() const { return m_currentRoom; }
    bool Fighting() const { return m_fighting; }
    bool Active() const { return m_active; }
    bool Suspended() const { return m_suspended; }
    float MessageTime() const { return m_messageTime; }
    bool MessageVisible() const { return m_messageVisible; }
    const std::string& MessageText() const { return m_messageText; }
    const ztmath::Vector3& ExitPosition() const { return m_exitPosition; }
    const std::vector<GridRoom>& FreeRooms() const { return m_freeRooms; }
    std::mt19937& WaveEngine() { return m_waveEngine; }
    DungeonMapGenerator& MapGenerator() { return *m_mapGenerator; }

private:
    void SendObject(const DungeonObjectInfo& info);
    void SetDoorsOpen(bool open);
    void RunRoomFight();
    void UpdateMessage(float dt);
    void ShowMessage(bool visible);

    MessagingSystem* m_messaging;
    DungeonScene* m_scene;
    AISpawner* m_spawner;
    LevelState* m_levelState;
    LevelLayout* m_layout;
    LevelObj3DCont* m_levelObjects;
    RegenerateLevelBool* m_regenerate;
    PortalLocation* m_portal;
    OrbLocation* m_orb;
    TorchSharedData* m_torches;
    PropManager* m_propManager;

    std::unique_ptr<DungeonMapGenerator> m_mapGenerator;
    ztmath::Vector3 m_exitPosition;
    float m_exitRadius = 4.0f;
    float m_playerRadius = 4.0f;
    // The way walked since the last update: a walk that crosses the stairs or a room's middle
    // between two frames still takes the stairs or starts the room's fight.
    WalkedPath m_walk;
    std::vector<GridRoom> m_freeRooms;
    std::vector<std::string> m_rows;
    std::vector<int32_t> m_doorProps;
    std::vector<DungeonObjectInfo> m_sentObjects;
    uint32_t m_eventReset = 0, m_eventNewDungeon = 0, m_eventFightBegin = 0, m_eventFightEnd = 0,
             m_eventBossBegin = 0, m_eventBossEnd = 0, m_eventWarp = 0, m_eventObjectSend = 0,
             m_eventGenerationStarted = 0;
    ztmath::Vector3 m_bossPosition;
    bool m_fighting = false;
    bool m_eventStarted = false;
    bool m_eventEnding = false;
    bool m_bossRoom = false;
    int32_t m_waveCounter = 0;
    int32_t m_currentRoom = -1;
    bool m_active = false;
    bool m_openDoorsPending = false;
    bool m_rebuildPending = false;
    int32_t m_lastColour = 0;
    int32_t m_chestCount = 0;
    int32_t m_floor = 0;
    bool m_suspended = false;
    int32_t m_strength = 0;
    bool m_strengthenPending = false;
    float m_messageTime = 0.0f;
    float m_messageAlpha = 0.8f;
    bool m_messageVisible = false;
    std::string m_messageText;
    int32_t m_text = -1;  // the strength message, -1 without a 2D layer
    std::mt19937 m_waveEngine;
};

}  // namespace ztengine
