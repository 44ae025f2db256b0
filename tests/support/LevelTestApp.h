#pragma once
// A windowless application for the dungeon builder and the level system: the CPU renderer with
// a cube model for every name, keys a test presses and releases, the level's shared records and
// events as the game registers them, and hand-drawn floors of 39 rows of 79 characters.
#include <string>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/input/Input.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/resources/ModelManager.h"
#include "core/resources/PropManager.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "support/FakeInput.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace zttest {

// Every event the builder and the level system send or take, with a log of the sends.
inline const char* const kLevelEvents[] = {
    "DUNGEON_RESET",        "NEW_DUNGEON_GENERATED", "DUNGEON_FIGHT_BEGIN",
    "DUNGEON_FIGHT_END",    "DUNGEON_BOSS_BEGIN",    "DUNGEON_BOSS_END",
    "PLAYER_WARP",          "DUNGEON_OBJECT_SEND",   "DUNGEON_GENERTATION_STARTED",
    "EVENT_RESTART",        "TELEPORT_PLAYER_BEGIN", "TELEPORT_PLAYER_END",
    "PLAYER_DEATH",         "REGENERATE_LEVEL",      "DISABLE_DUNGEON_COLLIDERS",
    "ENABLE_DUNGEON_COLLIDERS", "SHOW_DUNGEON",      "HIDE_DUNGEON",
    "RESET_ENVIRONMENT_SYSTEM", "PLAYER_GOT_HIT",    "SHOW_CUSTOM_CURSOR",
    "HIDE_CUSTOM_CURSOR",   "PLAYER_SET_POSITION",
};

class LevelTestApp : public HeadlessApp {
public:
    LevelTestApp()
    {
        m_graphics3DService = &renderer;
        m_inputService = &input;
        // Play starts with the pointer captured.
        input.SetCursorEnabled(false);
        AddSharedData<ztengine::ModelManager>("ModelManager");
        AddSharedData<ztengine::PropManager>("PropManager");
        AddSharedData<ztengine::DungeonScene>("DungeonScene");
        AddSharedData<ztengine::RegenerateLevelBool>("RegenerateLevelBool");
        AddSharedData<ztengine::LevelObj3DCont>("LevelObj3DCont");
        AddSharedData<ztengine::LevelState>("LevelState");
        AddSharedData<ztengine::LevelLayout>("LevelLayout");
        AddSharedData<ztengine::OrbLocation>("OrbLocation");
        AddSharedData<ztengine::PortalLocation>("PortalLocation");
        AddSharedData<ztengine::ShrineContainer>("ShrineContainer");
        AddSharedData<ztengine::FadeMessageQueue>("FadeMessageQueue");
        AddSharedData<ztengine::AISpawner>("AISpawner", this);
        AddSharedData<ztengine::ResetEnvSysBool>("ResetEnvSysBool");
        AddSharedData<ztengine::PlayerStatus>("PlayerStatus");
        AddSharedData<ztengine::PlayerHealth>("PlayerHealth");
        AddSharedData<ztengine::CameraShakeData>("CameraShakeData");
        AddSharedData<ztengine::HitDirectionFeedbackData>("HitDirectionFeedbackData");
        AddSharedData<ztengine::Shrine2Container>("Shrine2Container");
        AddSharedData<ztengine::TorchSharedData>("TorchSharedData");
        for (const char* name : kLevelEvents) {
            m_messagingSystem.RegisterEvent(name);
            m_messagingSystem.RegisterHandler(name, [this, name](const ztengine::IEvent& e) {
                sent.push_back(name);
                if (std::string(name) == "DUNGEON_BOSS_BEGIN")
                    bossAt = *static_cast<const ztmath::Vector3*>(e.m_data);
            });
        }
        // One cube model, given to every name the level asks for (the default model).
        const int32_t cube = renderer.CreateCubeMesh();
        Models().m_defaultModel = renderer.CreateModel(static_cast<uint32_t>(cube), 0);
        GetSharedData<ztengine::PropManager>("PropManager")->m_folder = "";
    }
    ~LevelTestApp() override { ReleaseSharedData(); }

    void ChangeState(const char* state) override { states.push_back(state); }
    std::string GetStateName(uint32_t) override { return nextStateName; }

    ztengine::ModelManager& Models()
    {
        return *GetSharedData<ztengine::ModelManager>("ModelManager");
    }
    template <class T>
    T& Shared(const char* name)
    {
        return *GetSharedData<T>(name);
    }
    // How many times an event was sent since the log was last cleared.
    int Count(const std::string& name) const
    {
        int n = 0;
        for (const std::string& s : sent)
            n += s == name ? 1 : 0;
        return n;
    }

    NullRenderer3D renderer;
    FakeInput input;
    std::vector<std::string> sent;
    std::vector<std::string> states;
    std::string nextStateName;
    ztmath::Vector3 bossAt;
};

// ---- Hand-drawn floors ----

// A grid of '.' with rooms stamped in: interior ' ', a ring of '#'.
class GridPainter {
public:
    GridPainter() : rows(39, std::string(79, '.')) {}

    ztengine::GridRoom Room(int x, int y, int w, int h, bool free)
    {
        for (int r = y - 1; r <= y + h; ++r)
            for (int c = x - 1; c <= x + w; ++c)
                rows[r][c] = (r == y - 1 || r == y + h || c == x - 1 || c == x + w) ? '#' : ' ';
        ztengine::GridRoom room{x, y, w, h};
        layout.rooms.push_back(room);
        if (free)
            layout.freeRooms.push_back(room);
        return room;
    }
    // A corridor along row `row` from column c0 to c1 with doors at both ends.
    void Corridor(int row, int c0, int c1)
    {
        for (int c = c0; c <= c1; ++c) {
            rows[row - 1][c] = rows[row - 1][c] == '.' ? '#' : rows[row - 1][c];
            rows[row + 1][c] = rows[row + 1][c] == '.' ? '#' : rows[row + 1][c];
            rows[row][c] = ',';
        }
        rows[row][c0 - 1] = '+';
        rows[row][c1 + 1] = '+';
    }
    void Put(int c, int r, char ch) { rows[r][c] = ch; }

    ztengine::GridLayout Done()
    {
        layout.rows = rows;
        return layout;
    }

    std::vector<std::string> rows;
    ztengine::GridLayout layout;
};

// Start room (player start), a fight room with two spawn cells and some props, an exit room
// with the down stairs. `spawnCells` false leaves the fight room without spawn cells.
inline ztengine::GridLayout FloorGrid(bool spawnCells = true)
{
    GridPainter p;
    p.Room(5, 5, 8, 8, false);
    p.Put(8, 8, '*');
    p.Room(25, 4, 12, 10, true);
    p.Corridor(8, 14, 23);
    if (spawnCells) {
        p.Put(28, 7, '!');
        p.Put(33, 11, '!');
    }
    p.Put(27, 12, '@');
    p.Put(35, 5, '$');
    p.Put(30, 9, 'X');
    p.Room(50, 5, 8, 8, false);
    p.Corridor(8, 38, 48);
    p.Put(54, 8, 'v');
    return p.Done();
}

// The boss floor: start room and a 15 x 15 room with the boss cell, no down stairs.
inline ztengine::GridLayout BossGrid()
{
    GridPainter p;
    p.Room(5, 5, 8, 8, false);
    p.Put(8, 8, '*');
    p.Room(25, 3, 15, 15, true);
    p.Corridor(8, 14, 23);
    p.Put(32, 10, 'B');
    return p.Done();
}

}  // namespace zttest
