// The shared records and queues as the game registers them: their values right after
// registration, first-in first-out queues, fade messages that own their data, and a release at
// exit that frees whatever the records and queues still hold.
#include <gtest/gtest.h>

#include <string>

#include "core/App.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "support/TestSupport.h"

using namespace ztengine;
using ztmath::Vector3;

namespace {

// Just enough of an application to own a shared-data registry.
class RegistryApp : public App {
public:
    void ChangeState(const char*) override {}
    void ChangeState(int) override {}
    std::string GetStateName(uint32_t) override { return {}; }
    void ChangeToPreviousState() override {}
    bool IsValidState(uint32_t) override { return false; }
    void ResetSubsystemsOfState(uint32_t) override {}
    Input* GetInput() override { return nullptr; }
    void SetFullscreen(bool) override {}
    ztmath::Vector2 GetCursorPosition() override { return {}; }
    void Quit() override {}
    void IconifyWindow() override {}
    SoundSystem* GetSoundSystem() override { return nullptr; }
    Graphics3D* GetGraphics3D() override { return nullptr; }
    Logger* GetLogger() override { return nullptr; }
    Graphics2D* GetGraphics2D() override { return nullptr; }
};

// Registers the records under the names the game uses, in the game's order.
void RegisterRecords(App& app)
{
    app.AddSharedData<float>("asdasd");
    app.AddSharedData<StatusFlags>("StatusFlags");
    app.AddSharedData<ztgame::GameStats>("GameStats");
    app.AddSharedData<RegenerateLevelBool>("RegenerateLevelBool");
    app.AddSharedData<LevelObj3DCont>("LevelObj3DCont");
    app.AddSharedData<LevelObj3DCont>("SandboxLevelObj3DCont");
    app.AddSharedData<LevelState>("LevelState");
    app.AddSharedData<LevelLayout>("LevelLayout");
    app.AddSharedData<OrbLocation>("OrbLocation");
    app.AddSharedData<PortalLocation>("PortalLocation");
    app.AddSharedData<ShrineContainer>("ShrineContainer");
    app.AddSharedData<FadeMessageQueue>("FadeMessageQueue");
    app.AddSharedData<AltarSharedData>("AltarSharedData");
    app.AddSharedData<BossSystemQueue>("BossSystemQueue");
    app.AddSharedData<ResetEnvSysBool>("ResetEnvSysBool");
    app.AddSharedData<GoldDropQueue>("GoldDropQueue");
    app.AddSharedData<Gold>("Gold");
    app.AddSharedData<UpgradeMessageQueue>("UpgradeMessageQueue");
    app.AddSharedData<StatBoostMessageQueue>("StatBoostMessageQueue");
    app.AddSharedData<WeaponMessageQueue>("WeaponMessageQueue");
    app.AddSharedData<ProjectilesShared>("ProjectilesShared");
    app.AddSharedData<PlayerStatus>("PlayerStatus");
    app.AddSharedData<RangedStats>("RangedStats");
    app.AddSharedData<PlayerHealth>("PlayerHealth");
    app.AddSharedData<CameraPosition>("CameraPosition");
    app.AddSharedData<CameraVelocity>("CameraVelocity");
    app.AddSharedData<CameraShakeData>("CameraShakeData");
    app.AddSharedData<FPSCameraUpdates>("FPSCameraUpdates");
    app.AddSharedData<DialogueController>("DialogueController");
    app.AddSharedData<PhysicsBody>("PlayerController");
    app.AddSharedData<PhysicsBody>("CoinCollisionPB");
    app.AddSharedData<HitDirectionFeedbackData>("HitDirectionFeedbackData");
    app.AddSharedData<Shrine2Container>("Shrine2Container");
    app.AddSharedData<TorchSharedData>("TorchSharedData");
    app.AddSharedData<PlayerStatusEffectData>("PlayerStatusEffectData");
}

class SharedRecords : public testing::Test {
protected:
    RegistryApp app;

    void SetUp() override { RegisterRecords(app); }
    void TearDown() override { app.ReleaseSharedData(); }

    template <class T>
    T& Get(const char* name)
    {
        return *app.GetSharedData<T>(name);
    }
};

}  // namespace

TEST_F(SharedRecords, StartWithTheirInitialValues)
{
    EXPECT_EQ(Get<float>("asdasd"), 0.0f);
    EXPECT_EQ(Get<StatusFlags>("StatusFlags").m_flags[0], 0u);
    EXPECT_EQ(Get<StatusFlags>("StatusFlags").m_flags[1], 0u);
    EXPECT_EQ(sizeof(StatusFlags), 8u);

    const auto& stats = Get<ztgame::GameStats>("GameStats");
    EXPECT_EQ(stats.m_enemiesKilled + stats.m_bossesKilled + stats.m_goldCollected +
                  stats.m_shrineUpgrades + stats.m_personalUpgrades,
              0u);
    EXPECT_EQ(stats.m_totalPlayTime, 0.0f);
    EXPECT_FALSE(stats.m_gameWon);
    EXPECT_TRUE(stats.m_printOnChange);

    EXPECT_FALSE(Get<RegenerateLevelBool>("RegenerateLevelBool").m_regenerate);
    EXPECT_TRUE(Get<ResetEnvSysBool>("ResetEnvSysBool").m_reset);
    for (const char* name : {"LevelObj3DCont", "SandboxLevelObj3DCont"}) {
        const auto& level = Get<LevelObj3DCont>(name);
        EXPECT_TRUE(level.m_bodyOfInstance.empty() && level.m_instances.empty() &&
                    level.m_bodies.empty());
    }
    EXPECT_NE(&Get<LevelObj3DCont>("LevelObj3DCont"), &Get<LevelObj3DCont>("SandboxLevelObj3DCont"));

    const auto& state = Get<LevelState>("LevelState");
    EXPECT_EQ(state.m_level, 0);
    EXPECT_FALSE(state.m_returnedToTown);
    EXPECT_EQ(state.m_fight, 0);
    EXPECT_EQ(state.m_returnLevel, 0);
    EXPECT_EQ(state.m_returnPosition, Vector3());
    EXPECT_EQ(state.m_floor, 0);

    const auto& layout = Get<LevelLayout>("LevelLayout");
    EXPECT_TRUE(layout.m_markers.empty() && layout.m_roomCells.empty() && layout.m_rows.empty() &&
                layout.m_explored.empty() && layout.m_rooms.empty());
    EXPECT_EQ(layout.m_width, 0);
    EXPECT_EQ(layout.m_height, 0);
    EXPECT_FALSE(layout.m_valid);
    EXPECT_EQ(layout.m_specialPosition, Vector3());
    EXPECT_FALSE(layout.m_specialValid);

    EXPECT_FALSE(Get<OrbLocation>("OrbLocation").m_valid);
    EXPECT_EQ(Get<OrbLocation>("OrbLocation").m_position, Vector3());
    EXPECT_FALSE(Get<PortalLocation>("PortalLocation").m_valid);
    EXPECT_EQ(Get<PortalLocation>("PortalLocation").m_position, Vector3());
    EXPECT_FALSE(Get<TorchSharedData>("TorchSharedData").m_ready);
    EXPECT_TRUE(Get<TorchSharedData>("TorchSharedData").m_torches.empty());
    EXPECT_TRUE(Get<ShrineContainer>("ShrineContainer").m_shrines.empty());
    EXPECT_TRUE(Get<Shrine2Container>("Shrine2Container").m_shrines.empty());

    EXPECT_TRUE(Get<FadeMessageQueue>("FadeMessageQueue").m_messages.empty());
    EXPECT_TRUE(Get<AltarSharedData>("AltarSharedData").m_messages.empty());
    const auto& boss = Get<BossSystemQueue>("BossSystemQueue");
    EXPECT_EQ(boss.m_bossPosition, Vector3());
    EXPECT_FALSE(boss.m_introSeen);
    EXPECT_TRUE(boss.m_messages.empty());
    EXPECT_TRUE(Get<GoldDropQueue>("GoldDropQueue").m_messages.empty());
    EXPECT_TRUE(Get<UpgradeMessageQueue>("UpgradeMessageQueue").m_messages.empty());
    EXPECT_TRUE(Get<StatBoostMessageQueue>("StatBoostMessageQueue").m_messages.empty());
    EXPECT_TRUE(Get<WeaponMessageQueue>("WeaponMessageQueue").m_messages.empty());

    const auto& projectiles = Get<ProjectilesShared>("ProjectilesShared");
    EXPECT_TRUE(projectiles.m_requests.empty());
    ASSERT_EQ(projectiles.m_records.size(), 1000u);
    for (const ProjectileRecord& r : projectiles.m_records) {
        ASSERT_FALSE(r.m_alive);
        ASSERT_TRUE(r.m_trail);
        ASSERT_EQ(r.m_damage, 0);
        ASSERT_EQ(r.m_instance.m_modelId, -1);
    }

    EXPECT_EQ(Get<Gold>("Gold").m_gold, 1);
    EXPECT_FLOAT_EQ(Get<RangedStats>("RangedStats").m_fireInterval, 0.4f);
    const auto& health = Get<PlayerHealth>("PlayerHealth");
    EXPECT_EQ(health.m_currentHealth, 100.0f);
    EXPECT_EQ(health.m_maxHealth, 100.0f);
    EXPECT_EQ(health.m_regeneration, 3.0f);
    EXPECT_EQ(Get<PlayerStatusEffectData>("PlayerStatusEffectData").m_effect, 0);  // goo

    const auto& status = Get<PlayerStatus>("PlayerStatus");
    EXPECT_FALSE(status.m_attackedThisFrame);
    EXPECT_EQ(status.m_playerMoveSpeed, 500.0f);
    EXPECT_EQ(status.m_playerJumpSpeed, 800.0f);
    EXPECT_EQ(status.m_playerRunMultiplier, 2.5f);
    EXPECT_EQ(status.m_healthRegenRate, 1.0f);
    EXPECT_EQ(status.m_staminaDrainFactor, 3.5f);
    EXPECT_EQ(status.m_maxStamina, 150.0f);
    EXPECT_EQ(status.m_staminaRecoveryRate, 20.0f);
    EXPECT_EQ(status.m_staminaCostPerAttack, 5.0f);
    EXPECT_EQ(status.m_staminaCostPerParry, 15.0f);
    EXPECT_EQ(status.m_staminaCostPerBlock, 3.5f);
    EXPECT_EQ(status.m_shieldDurability, 100.0f);
    EXPECT_EQ(status.m_shieldDurabilityLoss, 1.2f);
    EXPECT_EQ(status.m_exhaustedFactor, 1.0f);
    EXPECT_EQ(status.m_aliveFactor, 1.0f);
    EXPECT_EQ(status.m_stamina, 100.0f);
    EXPECT_EQ(status.m_recoilFactor, -5.0f);
    EXPECT_EQ(status.m_weaponProjectileCount, 1);
    EXPECT_EQ(status.m_playerMass, 50.0f);
    EXPECT_FALSE(status.m_invulnerable);
    EXPECT_EQ(status.FileName(), "playerSettings.ini");

    EXPECT_EQ(Get<CameraPosition>("CameraPosition").m_position, Vector3());
    EXPECT_EQ(Get<CameraVelocity>("CameraVelocity").m_movement, Vector3());
    EXPECT_FALSE(Get<CameraVelocity>("CameraVelocity").m_slowLook);
    const auto& shake = Get<CameraShakeData>("CameraShakeData");
    EXPECT_FALSE(shake.m_active);
    EXPECT_EQ(shake.m_timeLeft + shake.m_magnitude, 0.0f);
    EXPECT_EQ(Get<FPSCameraUpdates>("FPSCameraUpdates").m_yawDelta, 0.0f);
    EXPECT_EQ(Get<FPSCameraUpdates>("FPSCameraUpdates").m_pitchDelta, 0.0f);
    const auto& dialogue = Get<DialogueController>("DialogueController");
    EXPECT_FALSE(dialogue.m_active);
    EXPECT_TRUE(dialogue.m_line.empty());
    EXPECT_EQ(dialogue.m_timeLeft, 0.0f);
    EXPECT_EQ(dialogue.m_color, Vector3());
    const auto& hit = Get<HitDirectionFeedbackData>("HitDirectionFeedbackData");
    EXPECT_FALSE(hit.m_active);
    EXPECT_EQ(hit.m_timeLeft + hit.m_angle, 0.0f);
}

// Messages come out in the order they went in; whatever is still queued, held in a list or
// written into a string at exit is freed by the release.
TEST(SharedRecordsRelease, QueuesAreFirstInFirstOutAndFreeWhatTheyHold)
{
    const auto& counters = MemoryAllocator::Get();
    const uint32_t liveBytes = counters.liveBytes;
    const uint32_t liveElements = counters.liveElements;
    {
        RegistryApp app;
        RegisterRecords(app);

        auto& upgrades = *app.GetSharedData<UpgradeMessageQueue>("UpgradeMessageQueue");
        for (int32_t i = 0; i < 3; ++i)
            upgrades.m_messages.push_back({1, i, 0});
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(upgrades.m_messages.front().m_index, i);
            upgrades.m_messages.pop_front();
        }

        auto& boss = *app.GetSharedData<BossSystemQueue>("BossSystemQueue");
        boss.m_messages.push_back({0, {0, 0, 0}});
        boss.m_messages.push_back({1, {0, 0, 0}});
        EXPECT_EQ(boss.m_messages.front().m_type, 0);
        EXPECT_EQ(boss.m_messages.back().m_type, 1);

        auto& fades = *app.GetSharedData<FadeMessageQueue>("FadeMessageQueue");
        fades.PushTeleport({500, 510, 500}, "GAMEPLAY_STATE");
        fades.PushEvent(7, std::string(100, 'S'));  // a destination too long to store inline

        app.GetSharedData<AltarSharedData>("AltarSharedData")->m_messages.push_back({{1, 2, 3}, 0});
        app.GetSharedData<StatBoostMessageQueue>("StatBoostMessageQueue")->m_messages.push_back({0, 1, 0});
        app.GetSharedData<WeaponMessageQueue>("WeaponMessageQueue")->m_messages.push_back({2, 0, 0});
        auto& projectiles = *app.GetSharedData<ProjectilesShared>("ProjectilesShared");
        ProjectileRequest shot;
        shot.m_speed = 250.0f;
        shot.m_kind = 1;
        projectiles.m_requests.push_back(shot);
        EXPECT_EQ(projectiles.m_requests.front().m_trail, 1);
        EXPECT_EQ(projectiles.m_requests.front().m_mass, 0.0f);

        auto& layout = *app.GetSharedData<LevelLayout>("LevelLayout");
        layout.m_rows.assign(39, CountedVector<char>(79, '#'));
        app.GetSharedData<LevelObj3DCont>("LevelObj3DCont")->m_bodyOfInstance[3] = -1;
        app.GetSharedData<DialogueController>("DialogueController")->m_line =
            std::string(200, 'x');
        app.GetSharedData<TorchSharedData>("TorchSharedData")->m_torches.resize(20);

        app.ReleaseSharedData();
    }
    EXPECT_EQ(counters.liveBytes, liveBytes);
    EXPECT_EQ(counters.liveElements, liveElements);
}

TEST(FadeMessageQueue, MessagesHoldTheirDataByValue)
{
    FadeMessageQueue queue;
    queue.PushTeleport({1.5f, -2.0f, 3.25f}, "GAMEPLAY_STATE");
    queue.PushEvent(42, "FADE_IN_STATE");

    const FadeMessage teleport = queue.m_messages.front();  // a copy, as the consumer takes it
    queue.m_messages.pop_front();
    EXPECT_EQ(teleport.m_type, FadeMessageType::Teleport);
    EXPECT_EQ(teleport.Position(), Vector3(1.5f, -2.0f, 3.25f));
    EXPECT_EQ(teleport.m_destState, "GAMEPLAY_STATE");

    FadeMessage event = queue.m_messages.front();
    queue.m_messages.front().m_data[0] = 99;  // the queued message and its copy are independent
    EXPECT_EQ(event.m_type, FadeMessageType::SendEvent);
    EXPECT_EQ(event.EventId(), 42u);
    EXPECT_EQ(event.m_data[1], 0u);
    EXPECT_EQ(event.m_data[2], 0u);
    EXPECT_EQ(event.m_destState, "FADE_IN_STATE");
    EXPECT_EQ(static_cast<int32_t>(FadeMessageType::None), 1);
}

TEST(GameStats, PrintsTheCountersAndPlayTime)
{
    ztgame::GameStats stats;
    stats.m_enemiesKilled = 12;
    stats.m_bossesKilled = 3;
    stats.m_goldCollected = 250;
    stats.m_shrineUpgrades = 4;
    stats.m_personalUpgrades = 4000000000u;
    stats.m_totalPlayTime = 1234.5f;
    EXPECT_EQ(zttest::CaptureStdout([&] { stats.Print(); }),
              "Enemies Killed             : 12\n"
              "Bosses Killed              : 3\n"
              "Gold Collected             : 250\n"
              "Shrine Upgrade Collected   : 4\n"
              "Personal Upgrade Collected : 4000000000\n"
              "Total Play Time            : 1234.5\n"
              "\n");
}
