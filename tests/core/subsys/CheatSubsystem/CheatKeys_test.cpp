// The developer keys without a window: for each key rule, the frames of scripted input that
// trigger it (modifiers go down at least one frame before the letter) and what the run shows
// afterwards: gold, coins dropped, health, stamina, invulnerability, queued enemies, events.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/subsys/CheatSubsystem/CheatSubsystem.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/PlayerTestApp.h"
#include "support/TestSupport.h"

namespace {

using ztengine::CheatSubsystem;
using ztmath::Vector3;

const Vector3 kCamera{1.0f, 2.0f, 3.0f};
const Vector3 kForward{1.0f, 0.0f, 0.0f};

// The scripted input with a right mouse button that the test holds down.
class CheatInput : public zttest::ScriptedInput {
public:
    bool IsMouseButtonHeld(unsigned button) override { return button == 1 && rightHeld; }
    bool IsMouseButtonUp(unsigned button) override { return !IsMouseButtonHeld(button); }
    bool rightHeld = false;
};

class CheatApp : public zttest::PlayerTestApp {
public:
    CheatApp()
    {
        m_inputService = &cheatInput;
        for (const char* name : {"DROP_COIN", "CHEAT_SET_DUNGEONSTATE_TO_RELAX", "KILL_ALL_ENEMIES",
                                 "CHEAT_SPAWN_ORB"}) {
            m_messagingSystem.RegisterEvent(name);
            m_messagingSystem.RegisterHandler(name, [this, n = std::string(name)](
                                                        const ztengine::IEvent&) { ++sent[n]; });
        }
        m_messagingSystem.RegisterHandler("DROP_COIN", [this](const ztengine::IEvent& e) {
            coins.push_back(*static_cast<const Vector3*>(e.m_data));
        });
        m_messagingSystem.RegisterHandler("PLAYER_SET_POSITION", [this](const ztengine::IEvent& e) {
            warps.push_back(*static_cast<const Vector3*>(e.m_data));
        });
        gold = AddSharedData<ztengine::Gold>("Gold");
        spawner = AddSharedData<ztengine::AISpawner>("AISpawner", static_cast<ztengine::App*>(this));
        layout = AddSharedData<ztengine::LevelLayout>("LevelLayout");
        level = AddSharedData<ztengine::LevelState>("LevelState");
        for (const char* kind : {"lkanga", "ogre", "flying_skull", "skeleton_magician",
                                 "mb_flying_skull", "mb_lkanga", "mb_ogre"})
            spawner->RegisterEntitySpawn(kind, [](ztengine::EntityWorld&, const ztengine::SpawnConfig&) {});
        renderer.SetCameraPosition(kCamera);
        renderer.SetCameraBasis(ztmath::Basis(kForward, {0.0f, 1.0f, 0.0f}, true));
    }

    // Every queued request in kind order, as (kind, health).
    std::vector<std::pair<std::string, float>> Queued() const
    {
        std::vector<std::pair<std::string, float>> out;
        for (const auto& [kind, handle] : spawner->m_spawnMapper) {
            auto it = spawner->m_spawnQueues.find(handle);
            if (it == spawner->m_spawnQueues.end())
                continue;
            for (const ztengine::SpawnConfig& config : it->second) {
                EXPECT_EQ(config.m_position, kCamera + kForward * 10.0f) << kind;
                EXPECT_EQ(config.m_damageScale, 1.0f) << kind;
                out.emplace_back(kind, config.m_health);
            }
        }
        return out;
    }

    CheatInput cheatInput;
    ztengine::Gold* gold = nullptr;
    ztengine::AISpawner* spawner = nullptr;
    ztengine::LevelLayout* layout = nullptr;
    ztengine::LevelState* level = nullptr;
    std::vector<Vector3> coins;
    std::vector<Vector3> warps;
};

// Keys that go down in a frame; a negative number lets the key go up instead. Everything that
// went down stays down until let go.
using Frame = std::vector<int>;
constexpr int kRightMouse = 10000;

struct CheatCase {
    const char* name;
    std::function<void(CheatApp&)> arrange;
    std::vector<Frame> frames;
    std::function<void(CheatApp&, const std::string& printed)> check;
};

using Queue = std::vector<std::pair<std::string, float>>;

std::vector<CheatCase> Cases()
{
    const Vector3 coinAt = kCamera + kForward * 11.5f;
    return {
        {"LCtrl+R held three frames: 5000 gold and a coin each", nullptr,
         {{GLFW_KEY_LEFT_CONTROL}, {GLFW_KEY_R}, {}, {}, {}},
         [=](CheatApp& a, const std::string&) {
             EXPECT_EQ(a.gold->m_gold, 1 + 3 * 5000);
             EXPECT_EQ(a.coins, std::vector<Vector3>(3, coinAt));
         }},
        {"LCtrl+T held: the relax event every frame", nullptr,
         {{GLFW_KEY_LEFT_CONTROL}, {GLFW_KEY_T}, {}, {}},
         [](CheatApp& a, const std::string&) { EXPECT_EQ(a.sent["CHEAT_SET_DUNGEONSTATE_TO_RELAX"], 2); }},
        {"LShift+1 at full health takes a fifth of the maximum",
         [](CheatApp& a) { a.health->m_currentHealth = 100.0f; },
         {{GLFW_KEY_LEFT_SHIFT}, {GLFW_KEY_1}, {-GLFW_KEY_1}, {GLFW_KEY_1}},
         [](CheatApp& a, const std::string&) { EXPECT_FLOAT_EQ(a.health->m_currentHealth, 60.0f); }},
        {"LShift+1 at low health stops at -0.1",
         [](CheatApp& a) { a.health->m_currentHealth = 10.0f; },
         {{GLFW_KEY_LEFT_SHIFT}, {GLFW_KEY_1}, {-GLFW_KEY_1}, {GLFW_KEY_1}},
         [](CheatApp& a, const std::string&) { EXPECT_FLOAT_EQ(a.health->m_currentHealth, -0.1f); }},
        {"LShift+2 fills health", [](CheatApp& a) { a.health->m_currentHealth = 30.0f; },
         {{GLFW_KEY_LEFT_SHIFT}, {GLFW_KEY_2}},
         [](CheatApp& a, const std::string&) { EXPECT_EQ(a.health->m_currentHealth, a.health->m_maxHealth); }},
        {"LShift+3 takes a fifth of the maximum stamina",
         [](CheatApp& a) { a.status->m_stamina = 100.0f; a.status->m_maxStamina = 150.0f; },
         {{GLFW_KEY_LEFT_SHIFT}, {GLFW_KEY_3}},
         [](CheatApp& a, const std::string&) { EXPECT_FLOAT_EQ(a.status->m_stamina, 70.0f); }},
        {"LShift+3 stops stamina at 0", [](CheatApp& a) { a.status->m_stamina = 20.0f; },
         {{GLFW_KEY_LEFT_SHIFT}, {GLFW_KEY_3}},
         [](CheatApp& a, const std::string&) { EXPECT_EQ(a.status->m_stamina, 0.0f); }},
        {"LShift+4 fills stamina", [](CheatApp& a) { a.status->m_stamina = 5.0f; },
         {{GLFW_KEY_LEFT_SHIFT}, {GLFW_KEY_4}},
         [](CheatApp& a, const std::string&) { EXPECT_EQ(a.status->m_stamina, a.status->m_maxStamina); }},
        {"LShift+right mouse at 2 gold drops two coins, then nothing",
         [](CheatApp& a) { a.gold->m_gold = 2; },
         {{GLFW_KEY_LEFT_SHIFT, kRightMouse}, {}, {}, {}, {}},
         [=](CheatApp& a, const std::string&) {
             EXPECT_EQ(a.gold->m_gold, 0);
             EXPECT_EQ(a.coins, std::vector<Vector3>(2, coinAt));
         }},
        {"Right mouse without LShift drops nothing", nullptr,
         {{kRightMouse}, {}, {}},
         [](CheatApp& a, const std::string&) {
             EXPECT_EQ(a.gold->m_gold, 1);
             EXPECT_TRUE(a.coins.empty());
         }},
        {"0 toggles invulnerability on and off and says so", nullptr,
         {{GLFW_KEY_0}, {-GLFW_KEY_0}, {}, {GLFW_KEY_0}},
         [](CheatApp& a, const std::string& printed) {
             EXPECT_FALSE(a.status->m_invulnerable);
             EXPECT_EQ(printed, "Player invul status: 1\nPlayer invul status: 0\n");
         }},
        {"0 once leaves the player invulnerable", nullptr, {{GLFW_KEY_0}, {}},
         [](CheatApp& a, const std::string& printed) {
             EXPECT_TRUE(a.status->m_invulnerable);
             EXPECT_EQ(printed, "Player invul status: 1\n");
         }},
        {"LCtrl+X/C/V/B queue the four enemies 10 ahead", nullptr,
         {{GLFW_KEY_LEFT_CONTROL}, {GLFW_KEY_X}, {GLFW_KEY_C}, {GLFW_KEY_V}, {GLFW_KEY_B}},
         [](CheatApp& a, const std::string&) {
             EXPECT_EQ(a.Queued(), (Queue{{"flying_skull", 300.0f}, {"lkanga", 100.0f}, {"ogre", 150.0f},
                                          {"skeleton_magician", 100.0f}}));
             EXPECT_EQ(a.spawner->m_enemyCount, 4u);
         }},
        {"LShift+Z/X/C queue the three mini-bosses", nullptr,
         {{GLFW_KEY_LEFT_SHIFT}, {GLFW_KEY_Z}, {GLFW_KEY_X}, {GLFW_KEY_C}},
         [](CheatApp& a, const std::string&) {
             EXPECT_EQ(a.Queued(), (Queue{{"mb_flying_skull", 2000.0f}, {"mb_lkanga", 2000.0f},
                                          {"mb_ogre", 2000.0f}}));
         }},
        {"LCtrl going down with X in the same frame queues nothing", nullptr,
         {{GLFW_KEY_LEFT_CONTROL, GLFW_KEY_X}, {}},
         [](CheatApp& a, const std::string&) {
             EXPECT_TRUE(a.Queued().empty());
             EXPECT_EQ(a.spawner->m_enemyCount, 0u);
         }},
        {"LCtrl and LShift held: X queues lkanga and its mini-boss", nullptr,
         {{GLFW_KEY_LEFT_CONTROL, GLFW_KEY_LEFT_SHIFT}, {GLFW_KEY_X}},
         [](CheatApp& a, const std::string&) {
             EXPECT_EQ(a.Queued(), (Queue{{"lkanga", 100.0f}, {"mb_lkanga", 2000.0f}}));
         }},
        {"RShift+/ kills all enemies", nullptr, {{GLFW_KEY_RIGHT_SHIFT}, {GLFW_KEY_SLASH}},
         [](CheatApp& a, const std::string& printed) {
             EXPECT_EQ(a.sent["KILL_ALL_ENEMIES"], 1);
             EXPECT_EQ(printed, "Killed all enemies\n");
         }},
        {"/ without RShift does nothing", nullptr, {{GLFW_KEY_LEFT_SHIFT}, {GLFW_KEY_SLASH}},
         [](CheatApp& a, const std::string& printed) {
             EXPECT_EQ(a.sent["KILL_ALL_ENEMIES"], 0);
             EXPECT_EQ(printed, "");
         }},
        {"The letter O sends the orbs to the altar, not the invulnerability", nullptr,
         {{GLFW_KEY_O}, {}},
         [](CheatApp& a, const std::string& printed) {
             EXPECT_EQ(a.sent["CHEAT_SPAWN_ORB"], 1);
             EXPECT_FALSE(a.status->m_invulnerable);
             EXPECT_EQ(printed, "");
         }},
        {"RShift+' in a dungeon warps one cell beyond the stairs",
         [](CheatApp& a) {
             a.level->m_level = 2;
             a.layout->m_specialPosition = {100.0f, 0.0f, 200.0f};
             a.layout->m_specialValid = true;
         },
         {{GLFW_KEY_RIGHT_SHIFT}, {GLFW_KEY_APOSTROPHE}},
         [](CheatApp& a, const std::string&) {
             EXPECT_EQ(a.warps, std::vector<Vector3>{Vector3(100.0f, 7.5f, 210.0f)});
         }},
        {"No warp in the overworld",
         [](CheatApp& a) { a.level->m_level = 0; a.layout->m_specialValid = true; },
         {{GLFW_KEY_RIGHT_SHIFT}, {GLFW_KEY_APOSTROPHE}},
         [](CheatApp& a, const std::string&) { EXPECT_TRUE(a.warps.empty()); }},
        {"No warp during a room fight",
         [](CheatApp& a) { a.level->m_level = 1; a.level->m_fight = 1; a.layout->m_specialValid = true; },
         {{GLFW_KEY_RIGHT_SHIFT}, {GLFW_KEY_APOSTROPHE}},
         [](CheatApp& a, const std::string&) { EXPECT_TRUE(a.warps.empty()); }},
        {"No warp before the floor has stairs",
         [](CheatApp& a) { a.level->m_level = 1; a.layout->m_specialValid = false; },
         {{GLFW_KEY_RIGHT_SHIFT}, {GLFW_KEY_APOSTROPHE}},
         [](CheatApp& a, const std::string&) { EXPECT_TRUE(a.warps.empty()); }},
    };
}

TEST(CheatKeys, EveryKeyRuleHasItsEffect)
{
    for (const CheatCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        CheatApp app;
        auto cheats = std::make_unique<CheatSubsystem>(&app);
        if (c.arrange)
            c.arrange(app);
        const std::string printed = zttest::CaptureStdout([&] {
            for (const Frame& frame : c.frames) {
                for (int key : frame) {
                    if (key == kRightMouse)
                        app.cheatInput.rightHeld = true;
                    else if (key > 0)
                        app.cheatInput.Press(static_cast<unsigned>(key));
                    else
                        app.cheatInput.Release(static_cast<unsigned>(-key));
                }
                cheats->Update(1.0f / 60.0f);
                app.cheatInput.EndFrame();
            }
        });
        c.check(app, printed);
        cheats.reset();
    }
}

// Nothing else in the run depends on the cheat events being known: without their names, the
// keys that only send an event do nothing, and the ones that change shared data still work.
TEST(CheatKeys, UnknownEventNamesSendNothing)
{
    zttest::PlayerTestApp app;
    app.AddSharedData<ztengine::Gold>("Gold");
    app.AddSharedData<ztengine::AISpawner>("AISpawner", static_cast<ztengine::App*>(&app));
    app.AddSharedData<ztengine::LevelLayout>("LevelLayout");
    app.AddSharedData<ztengine::LevelState>("LevelState");
    CheatSubsystem cheats(&app);
    app.input.Press(GLFW_KEY_LEFT_CONTROL);
    cheats.Update(0.016f);
    app.input.EndFrame();
    app.input.Press(GLFW_KEY_R);
    app.input.Press(GLFW_KEY_O);
    app.input.Press(GLFW_KEY_X);  // no enemy kinds registered: skipped, not fatal
    cheats.Update(0.016f);
    app.input.EndFrame();
    cheats.Update(0.016f);
    EXPECT_EQ(app.GetSharedData<ztengine::Gold>("Gold")->m_gold, 5001);
    EXPECT_EQ(app.GetSharedData<ztengine::AISpawner>("AISpawner")->m_enemyCount, 0u);
}

}  // namespace
