// The dungeon mini-boss fights and the final boss's death check without a window: which
// mini-boss each dungeon boss fight meets, where a mini-boss's death puts the orb, the boss's
// last line, the bursts of sparks above it and the change to the end of the run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/subsys/MiniBossSystem/BossDeadCheckSystem.h"
#include "core/subsys/MiniBossSystem/DungeonMiniBossSystem.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/util/Random.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace {

using ztengine::AltarMessage;
using ztengine::BossDeadCheckSystem;
using ztengine::DungeonMiniBossSystem;
using ztengine::IEvent;
using ztmath::Vector3;

const char* const kMiniBosses[] = {"mb_flying_skull", "mb_lkanga", "mb_ogre"};

class BossFightApp : public zttest::HeadlessApp {
public:
    BossFightApp()
    {
        m_graphics3DService = &renderer;
        for (const char* name : {"DUNGEON_BOSS_BEGIN", "EVENT_RESTART", "MB00_DIED", "MB01_DIED", "MB02_DIED",
                                 "FIGHT_BOSS_DEAD", "FIGHT_BOSS_FIGHT_END"})
            m_messagingSystem.RegisterEvent(name);
        spawner = AddSharedData<ztengine::AISpawner>("AISpawner", static_cast<ztengine::App*>(this));
        altar = AddSharedData<ztengine::AltarSharedData>("AltarSharedData");
        layout = AddSharedData<ztengine::LevelLayout>("LevelLayout");
        boss = AddSharedData<ztengine::BossSystemQueue>("BossSystemQueue");
        dialogue = AddSharedData<ztengine::DialogueController>("DialogueController");
        // The enemy system's kinds, as far as the spawner's queue needs them.
        for (const char* name : kMiniBosses)
            spawner->RegisterEntitySpawn(name, [](ztengine::EntityWorld&, const ztengine::SpawnConfig&) {});
    }
    ~BossFightApp() override { ReleaseSharedData(); }

    using HeadlessApp::ChangeState;
    void ChangeState(const char* state) override { states.emplace_back(state); }

    void Send(const char* name, const void* data = nullptr)
    {
        m_messagingSystem.SendEventByName(name, IEvent(0, data));
    }
    // Every queued spawn request, by kind.
    std::vector<std::pair<std::string, ztengine::SpawnConfig>> Queued()
    {
        std::vector<std::pair<std::string, ztengine::SpawnConfig>> queued;
        for (const char* name : kMiniBosses)
            for (const ztengine::SpawnConfig& config : spawner->m_spawnQueues[spawner->GetSpawnerHandle(name)])
                queued.emplace_back(name, config);
        return queued;
    }

    zttest::NullRenderer3D renderer;
    ztengine::AISpawner* spawner = nullptr;
    ztengine::AltarSharedData* altar = nullptr;
    ztengine::LevelLayout* layout = nullptr;
    ztengine::BossSystemQueue* boss = nullptr;
    ztengine::DialogueController* dialogue = nullptr;
    std::vector<std::string> states;
};

class MiniBossTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_system = std::make_unique<DungeonMiniBossSystem>(&m_app);
        m_system->Init();
    }
    BossFightApp m_app;
    std::unique_ptr<DungeonMiniBossSystem> m_system;
};

TEST_F(MiniBossTest, ThreeBossFightsMeetTheThreeMiniBossesAndAFourthMeetsNone)
{
    std::set<std::vector<std::string>> orders;
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u}) {
        SCOPED_TRACE(seed);
        ztengine::SeedRandom(seed);
        m_app.Send("EVENT_RESTART");
        m_app.spawner->m_spawnQueues.clear();
        std::vector<std::string> order;
        const Vector3 rooms[] = {{100.0f, 5.0f, 200.0f}, {300.0f, 5.0f, 80.0f}, {40.0f, 5.0f, 60.0f}};
        for (const Vector3& room : rooms) {
            const size_t before = m_app.Queued().size();
            m_app.Send("DUNGEON_BOSS_BEGIN", &room);
            const auto queued = m_app.Queued();
            ASSERT_EQ(queued.size(), before + 1);
            // The newest request is the one at this room.
            bool found = false;
            for (const auto& [name, config] : queued) {
                if (config.m_position != room)
                    continue;
                found = true;
                order.push_back(name);
                EXPECT_FLOAT_EQ(config.m_health, 2000.0f);
                EXPECT_FLOAT_EQ(config.m_damageScale, 1.0f);
                EXPECT_EQ(config.m_orientation.w, 1.0f);
            }
            EXPECT_TRUE(found);
        }
        EXPECT_EQ(std::set<std::string>(order.begin(), order.end()).size(), 3u);
        orders.insert(order);

        const Vector3 fourth(0.0f, 0.0f, 0.0f);
        m_app.Send("DUNGEON_BOSS_BEGIN", &fourth);
        EXPECT_EQ(m_app.Queued().size(), 3u);
        EXPECT_TRUE(m_system->m_miniBosses.empty());
    }
    // The deal is a shuffle, not a fixed order.
    EXPECT_GT(orders.size(), 1u);
}

TEST_F(MiniBossTest, ARestartRefillsTheDeckMidRun)
{
    const Vector3 room(10.0f, 0.0f, 10.0f);
    m_app.Send("DUNGEON_BOSS_BEGIN", &room);
    m_app.Send("DUNGEON_BOSS_BEGIN", &room);
    ASSERT_EQ(m_system->m_miniBosses.size(), 1u);
    m_app.Send("EVENT_RESTART");
    ASSERT_EQ(m_system->m_miniBosses.size(), 3u);
    EXPECT_EQ(std::set<std::string>(m_system->m_miniBosses.begin(), m_system->m_miniBosses.end()),
              (std::set<std::string>{"mb_flying_skull", "mb_lkanga", "mb_ogre"}));
    for (int i = 0; i < 3; ++i)
        m_app.Send("DUNGEON_BOSS_BEGIN", &room);
    EXPECT_EQ(m_app.Queued().size(), 5u);
}

// Cells of a room given by its grid corners (inclusive), row by row as the builder lists them.
void FillRoom(ztengine::LevelLayout& layout, int column0, int row0, int column1, int row1)
{
    layout.m_roomCells.clear();
    for (int row = row0; row <= row1; ++row)
        for (int column = column0; column <= column1; ++column) {
            ztengine::LayoutCell cell;
            cell.m_column = static_cast<float>(column);
            cell.m_row = static_cast<float>(row);
            cell.m_worldX = 10.0f * static_cast<float>(column);
            cell.m_worldZ = 10.0f * static_cast<float>(row);
            layout.m_roomCells.push_back(cell);
        }
}

TEST_F(MiniBossTest, EachMiniBossDeathPutsTheOrbInTheMiddleOfItsRoom)
{
    m_app.renderer.SetCameraPosition(Vector3(0.0f, 7.5f, 0.0f));
    struct Case {
        const char* event;
        int column0, row0, column1, row1;  // -1: no room cells
        Vector3 death;
        Vector3 orb;
    };
    const Case kCases[] = {
        // The 17 x 17 boss room of a dungeon floor.
        {"MB00_DIED", 20, 30, 36, 46, {250.0f, 2.0f, 333.0f}, {280.0f, 8.5f, 380.0f}},
        // A room wider than deep: the middle on each axis, not along the diagonal.
        {"MB01_DIED", 2, 4, 6, 6, {31.0f, 2.0f, 52.0f}, {40.0f, 8.5f, 50.0f}},
        {"MB02_DIED", 0, 0, 2, 10, {5.0f, 2.0f, 90.0f}, {10.0f, 8.5f, 50.0f}},
        // No cells: where the mini-boss fell.
        {"MB02_DIED", -1, -1, -1, -1, {123.0f, 4.0f, -56.0f}, {123.0f, 4.0f, -56.0f}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.event);
        if (c.column0 < 0)
            m_app.layout->m_roomCells.clear();
        else
            FillRoom(*m_app.layout, c.column0, c.row0, c.column1, c.row1);
        // The payload is the enemy's death record, which starts with its position.
        const struct {
            Vector3 position;
            float healthRatio;
        } record{c.death, 0.0f};
        m_app.Send(c.event, &record);
        ASSERT_EQ(m_app.altar->m_messages.size(), 1u);
        const AltarMessage message = m_app.altar->m_messages.front();
        m_app.altar->m_messages.pop_front();
        EXPECT_EQ(message.m_type, 0);
        EXPECT_FLOAT_EQ(message.m_position.x, c.orb.x);
        EXPECT_FLOAT_EQ(message.m_position.y, c.orb.y);
        EXPECT_FLOAT_EQ(message.m_position.z, c.orb.z);
    }
}

class BossDeadCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.boss->m_bossPosition = Vector3(500.0f, 490.0f, 620.0f);
        m_check = std::make_unique<BossDeadCheckSystem>(&m_app);
        m_check->Init();
        m_check->m_burstTimer = 0.0f;
    }
    const zttest::NullRenderer3D::ParticleSystem& Sparks()
    {
        return m_app.renderer.GetParticleSystems().at(static_cast<size_t>(m_check->m_particleSystem));
    }

    BossFightApp m_app;
    std::unique_ptr<BossDeadCheckSystem> m_check;
};

TEST_F(BossDeadCheckTest, TheLastLineShowsOncePerRun)
{
    m_check->Update(0.1f);
    EXPECT_FALSE(m_app.dialogue->m_active);

    m_app.Send("FIGHT_BOSS_DEAD");
    m_check->Update(0.1f);
    EXPECT_TRUE(m_app.dialogue->m_active);
    EXPECT_EQ(m_app.dialogue->m_line, "Curse you, Kesh Ah Drev!!!");
    EXPECT_FLOAT_EQ(m_app.dialogue->m_timeLeft, 10.0f);
    EXPECT_EQ(m_app.dialogue->m_color, Vector3(0.0f, 0.0f, 0.0f));

    // A second death message in the same run does not bring the line back.
    *m_app.dialogue = ztengine::DialogueController();
    m_app.Send("FIGHT_BOSS_DEAD");
    for (int i = 0; i < 20; ++i)
        m_check->Update(0.1f);
    EXPECT_FALSE(m_app.dialogue->m_active);

    // A new run does.
    m_app.Send("FIGHT_BOSS_FIGHT_END");
    m_app.Send("EVENT_RESTART");
    m_app.Send("FIGHT_BOSS_DEAD");
    m_check->Update(0.1f);
    EXPECT_TRUE(m_app.dialogue->m_active);
}

TEST_F(BossDeadCheckTest, BurstsOfTwentySparksComeEveryHalfSecondAboveTheBoss)
{
    constexpr float kDt = 0.0625f;  // exact in binary: eight frames make the half second
    ASSERT_EQ(Sparks().atlasPath, "particles/particleAtlas.png");
    EXPECT_EQ(Sparks().rows, 4u);
    EXPECT_EQ(Sparks().capacity, 2048u);

    m_app.Send("FIGHT_BOSS_DEAD");
    for (int i = 0; i < 7; ++i)
        m_check->Update(kDt);
    EXPECT_TRUE(Sparks().particles.empty());
    m_check->Update(kDt);  // 0.5 s
    ASSERT_EQ(Sparks().particles.size(), 20u);
    ASSERT_EQ(m_check->m_particles.size(), 20u);

    const Vector3 centre(500.0f, 510.0f, 620.0f);
    // The ring: one plane, every spark moving at 10 units/s at right angles to the scatter axis,
    // each within 20 of the centre along that axis.
    const Vector3 axis = m_check->m_particles[0].velocity.Cross(m_check->m_particles[5].velocity).Normalized();
    for (const auto& spark : m_check->m_particles) {
        EXPECT_NEAR(spark.velocity.Length(), 10.0f, 1e-3f);
        EXPECT_NEAR(spark.velocity.Dot(axis), 0.0f, 1e-3f);
        const Vector3 offset = spark.position - spark.velocity * kDt - centre;
        EXPECT_NEAR(offset.Cross(axis).Length(), 0.0f, 1e-2f);
        EXPECT_LE(offset.Length(), 20.0f + 1e-3f);
        EXPECT_FALSE(std::isnan(spark.position.x) || std::isnan(spark.position.y) || std::isnan(spark.position.z));
    }
    // Born small, full size from a fifth of their life on, shrinking in the last fifth.
    EXPECT_NEAR(Sparks().particles[0].scale, 10.0f * (kDt / 2.0f) / 0.2f, 1e-3f);
    for (int i = 0; i < 8; ++i)
        m_check->Update(kDt);
    EXPECT_EQ(Sparks().particles.size(), 40u);
    EXPECT_NEAR(Sparks().particles[0].scale, 10.0f, 1e-3f);

    // A spark lives 2 s: four bursts are alive at a time, then the oldest go.
    for (int i = 0; i < 60; ++i)
        m_check->Update(kDt);
    EXPECT_LE(Sparks().particles.size(), 100u);
    EXPECT_EQ(Sparks().particles.size(), m_check->m_particles.size());
    for (const auto& spark : m_check->m_particles)
        EXPECT_LE(spark.age, 2.0f);
}

// Scripted draws for the scatter axis.
std::vector<int> g_draws;
size_t g_nextDraw = 0;
int ScriptedDraw()
{
    return g_draws.at(g_nextDraw++);
}

TEST(BossDeadCheckAxisTest, AZeroScatterDrawIsDrawnAgainInsteadOfMakingNaN)
{
    struct Case {
        std::vector<int> draws;
        Vector3 axis;
        size_t used;
    };
    const Case kCases[] = {
        {{150, 100, 100}, {1.0f, 0.0f, 0.0f}, 3},
        {{300, 100, 50}, {0.0f, 0.0f, -1.0f}, 3},  // 300 mod 200 is 100: a zero component
        {{100, 100, 100, 100, 130, 60}, {0.0f, 0.6f, -0.8f}, 6},
        {{100, 300, 500, 100, 100, 100, 100, 100, 101}, {0.0f, 0.0f, 1.0f}, 9},
    };
    for (const Case& c : kCases) {
        g_draws = c.draws;
        g_nextDraw = 0;
        const Vector3 axis = BossDeadCheckSystem::RandomAxis(ScriptedDraw);
        EXPECT_NEAR((axis - c.axis).Length(), 0.0f, 1e-5f);
        EXPECT_EQ(g_nextDraw, c.used);
    }
}

TEST_F(BossDeadCheckTest, TheFightsEndClearsTheSparksAndStartsTheEndOfTheRun)
{
    m_app.Send("FIGHT_BOSS_DEAD");
    for (int i = 0; i < 30; ++i)
        m_check->Update(0.05f);
    ASSERT_FALSE(Sparks().particles.empty());
    EXPECT_TRUE(m_app.states.empty());

    m_app.Send("FIGHT_BOSS_FIGHT_END");
    EXPECT_EQ(m_app.states, std::vector<std::string>{"BOSS_DEATH_STATE"});
    EXPECT_TRUE(Sparks().particles.empty());
    EXPECT_TRUE(m_check->m_particles.empty());
    // Idle again: no more bursts.
    for (int i = 0; i < 30; ++i)
        m_check->Update(0.05f);
    EXPECT_TRUE(Sparks().particles.empty());
}

}  // namespace
