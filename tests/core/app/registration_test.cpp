// The game's start-up registration against the game's design tables: the shared data with
// their types and first values, the states with their indices, every system with
// its order, states and start-up mark, and the start state.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ModelManager.h"
#include "core/resources/PropManager.h"
#include "core/resources/SoundManager.h"
#include "core/subsys/Registration/GameRegistration.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
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
#include "core/subsys/sharedData/Upgrades/UpgradeManager.h"
#include "support/TestSupport.h"

namespace {

using namespace ztengine;
namespace fs = std::filesystem;

// The states in index order.
const std::vector<std::string> kStates = {
    "Default", "DUNGEON_STATE", "GAMEPLAY_STATE", "SANDBOX_STATE", "MAIN_MENU_STATE",
    "PAUSE_MENU_STATE", "LOSE_STATE", "CREDITS_STATE", "SETTINGS_STATE",
    "QUITGAMECONFIRMATION_STATE", "HOWTOPLAY_STATE", "BRIMSEL_SPLASH_STATE", "TEAM_LOGO_STATE",
    "CONTROLLER_SPLASH_STATE", "MESH_EDITOR", "MATERIAL_EDITOR", "MODEL_EDITOR", "SCENE_EDITOR",
    "SHRINE_UI_STATE", "SHRINE_UI_STATE_TWO", "FADE_IN_STATE", "FADE_OUT_STATE", "TEST_GYM",
    "GAME_OPTIONS_SETTING_STATE", "SOUND_RESOURCE_EDITOR_STATE", "PLAYER_DEATH_STATE",
    "CINEMATIC_INTRO_STATE", "BOSS_DEATH_STATE", "END_GAME_STATE", "LOADING_RESOURCES_STATE"};

struct SystemRow {
    const char* className;
    bool initialisedAtStart;
};

// The systems in handle order.
const SystemRow kSystems[] = {
    {"MaterialEditor", true}, {"MeshEditor", false}, {"ModelEditor", false},
    {"FirstPersonCameraSystem", true}, {"CharacterControllerSystem", true}, {"GameGym", true},
    {"AIEntitySystem", false}, {"AISpawnerSystem", false}, {"GamePhysicsSystem", true},
    {"SceneEditor", false}, {"CheatSubsystem", false}, {"RandomEventSystem", false},
    {"TownPortalSystem", false}, {"PlayerHealthRegen", false},
    {"DungeonPortalParticleGenerator", false}, {"PlayerStatusEffectSystem", false},
    {"RangePlayerSystem", false}, {"ProjectileSystem", false}, {"ProjectileDecalsSystem", false},
    {"GameShadowSystem", false}, {"CollectibleSystem", false}, {"DungeonGenerator", false},
    {"ShrineSystem", false}, {"ShrineUISystemTwo", false}, {"Shrine2System", false},
    {"LevelSystem", false}, {"BossSystem", false}, {"StaminaDurabilitySystem", false},
    {"UpgradeSystem", false}, {"StatBoostSystem", false}, {"HandParticleSystem", false},
    {"Overworld", false}, {"AltarSystem", false}, {"CameraShakeSystem", true},
    {"HitDirectionFeedbackSystem", true}, {"DungeonMiniBossSystem", false},
    {"MinimapSubsystem", false}, {"SndFXSubsystem", false}, {"BGMSystem", false},
    {"BossDeadCheckSystem", false}, {"DialogueSystem", false}, {"TorchParticleSystem", false},
    {"ShrineParticleSystem", false}, {"PDSystem", false}, {"GameTimeSystem", false},
    {"PlayerStatTrackingSystem", false}, {"SandboxLevelSystem", false},
    {"PauseMenuSystem", true}, {"LostSystem", true}, {"MainMenuSystem", true},
    {"CreditsSystem", true}, {"SettingsSystem", false}, {"QuitGameConfirmation", true},
    {"HowToPlaySystem", true}, {"BrimselSplash", true}, {"TeamLogoScreen", true},
    {"ControllerSplash", false}, {"InitGameLoadingSystem", true}, {"ShrineUISystem", true},
    {"FadeInSystem", true}, {"FadeTransitionSystem", true}, {"FadeOutSystem", true},
    {"GameOptionsSystem", true}, {"SoundResourceEditor", true}, {"PlayerDeathSequence", true},
    {"CinematicIntroSystem", false}, {"BossDeadCinematicSystem", false}};

// Each state's systems in run order, as handles of kSystems.
const std::map<std::string, std::vector<int>> kStateSystems = {
    {"GAMEPLAY_STATE", {3,  4,  6,  7,  8,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                        19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32,
                        33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44}},
    {"SANDBOX_STATE", {3, 4, 8, 16, 17, 18, 19, 46}},
    {"MAIN_MENU_STATE", {49}},
    {"PAUSE_MENU_STATE", {47}},
    {"LOSE_STATE", {48}},
    {"CREDITS_STATE", {50}},
    {"SETTINGS_STATE", {51}},
    {"QUITGAMECONFIRMATION_STATE", {52}},
    {"HOWTOPLAY_STATE", {53}},
    {"BRIMSEL_SPLASH_STATE", {54}},
    {"TEAM_LOGO_STATE", {55}},
    {"CONTROLLER_SPLASH_STATE", {56}},
    {"MESH_EDITOR", {1}},
    {"MATERIAL_EDITOR", {0}},
    {"MODEL_EDITOR", {2}},
    {"SCENE_EDITOR", {9}},
    {"SHRINE_UI_STATE", {58}},
    {"FADE_IN_STATE", {59, 60}},
    {"FADE_OUT_STATE", {61}},
    {"TEST_GYM", {3, 4, 5, 6, 7, 8, 10, 16, 17, 18, 19, 20}},
    {"GAME_OPTIONS_SETTING_STATE", {62}},
    {"SOUND_RESOURCE_EDITOR_STATE", {63}},
    {"PLAYER_DEATH_STATE", {4, 6, 8, 16, 17, 18, 19, 64}},
    {"CINEMATIC_INTRO_STATE", {65, 40, 31, 26}},
    {"BOSS_DEATH_STATE", {66, 40}},
    {"END_GAME_STATE", {45}},
    {"LOADING_RESOURCES_STATE", {57}},
};

std::string ShortName(const std::string& className)
{
    const size_t colon = className.rfind("::");
    return colon == std::string::npos ? className : className.substr(colon + 2);
}

int RowOf(const std::string& className)
{
    for (int i = 0; i < static_cast<int>(std::size(kSystems)); ++i)
        if (ShortName(className) == kSystems[i].className)
            return i;
    return -1;
}

// The cinematic states take their other systems right after the cinematic system itself (the
// first of the state's rows); before that system is built, none of them is in the state.
bool StateHoldsRow(const std::vector<uint32_t>& handles, Win32App& app, const std::string& state,
                   int row)
{
    const std::vector<int>& rows = kStateSystems.at(state);
    if (std::find(rows.begin(), rows.end(), row) == rows.end())
        return false;
    if (state != "CINEMATIC_INTRO_STATE" && state != "BOSS_DEATH_STATE")
        return true;
    for (uint32_t handle : handles)
        if (RowOf(app.GetSubsystems().At(handle).className) == rows.front())
            return true;
    return false;
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousDir = fs::current_path();
        const fs::path dir = zttest::MakeTempDir("registration");
        fs::copy_file(fs::path(ZT_DATA_DIR) / "EventNames.txt", dir / "EventNames.txt");
        fs::current_path(dir);
        SoundSystemOptions sound;
        sound.output = FMOD_OUTPUTTYPE_NOSOUND;
        Win32App::SetSoundSystemOptions(sound);
        app = Win32App::GetInstance();
        m_events = zttest::CaptureStdout([this] { RegisterGame(*app); });
    }

    void TearDown() override
    {
        Win32App::DeleteInstance();
        fs::current_path(m_previousDir);
    }

    Win32App* app = nullptr;
    std::string m_events;

private:
    fs::path m_previousDir;
};

TEST_F(Registration, EventNamesAreLoadedFromTheWorkingFolder)
{
    EXPECT_EQ(m_events.rfind("Loaded event name: BARREL_DESTRUCTION\n", 0), 0u);
    EXPECT_NE(app->m_messagingSystem.GetEventId("HIDE_CUSTOM_CURSOR"),
              MessagingSystem::kInvalidEventId);
    EXPECT_NE(app->m_messagingSystem.GetEventId("SHOW_CUSTOM_CURSOR"),
              MessagingSystem::kInvalidEventId);
}

TEST_F(Registration, SharedDataHasEveryNameWithItsType)
{
    // Each lookup asserts the registered type; a wrong one stops the test program.
    const std::vector<std::pair<std::string, const void*>> fetched = {
        {"asdasd", app->GetSharedData<float>("asdasd")},
        {"ModelManager", app->GetSharedData<ModelManager>("ModelManager")},
        {"MaterialManager", app->GetSharedData<MaterialManager>("MaterialManager")},
        {"MeshManager", app->GetSharedData<MeshManager>("MeshManager")},
        {"PropManager", app->GetSharedData<PropManager>("PropManager")},
        {"StatusFlags", app->GetSharedData<StatusFlags>("StatusFlags")},
        {"GameStats", app->GetSharedData<ztgame::GameStats>("GameStats")},
        {"DungeonScene", app->GetSharedData<DungeonScene>("DungeonScene")},
        {"RegenerateLevelBool", app->GetSharedData<RegenerateLevelBool>("RegenerateLevelBool")},
        {"LevelObj3DCont", app->GetSharedData<LevelObj3DCont>("LevelObj3DCont")},
        {"SandboxLevelObj3DCont", app->GetSharedData<LevelObj3DCont>("SandboxLevelObj3DCont")},
        {"LevelState", app->GetSharedData<LevelState>("LevelState")},
        {"LevelLayout", app->GetSharedData<LevelLayout>("LevelLayout")},
        {"OrbLocation", app->GetSharedData<OrbLocation>("OrbLocation")},
        {"PortalLocation", app->GetSharedData<PortalLocation>("PortalLocation")},
        {"ShrineContainer", app->GetSharedData<ShrineContainer>("ShrineContainer")},
        {"FadeMessageQueue", app->GetSharedData<FadeMessageQueue>("FadeMessageQueue")},
        {"AltarSharedData", app->GetSharedData<AltarSharedData>("AltarSharedData")},
        {"AISpawner", app->GetSharedData<AISpawner>("AISpawner")},
        {"BossSystemQueue", app->GetSharedData<BossSystemQueue>("BossSystemQueue")},
        {"ResetEnvSysBool", app->GetSharedData<ResetEnvSysBool>("ResetEnvSysBool")},
        {"GoldDropQueue", app->GetSharedData<GoldDropQueue>("GoldDropQueue")},
        {"Gold", app->GetSharedData<Gold>("Gold")},
        {"UpgradeMessageQueue", app->GetSharedData<UpgradeMessageQueue>("UpgradeMessageQueue")},
        {"StatBoostMessageQueue",
         app->GetSharedData<StatBoostMessageQueue>("StatBoostMessageQueue")},
        {"WeaponMessageQueue", app->GetSharedData<WeaponMessageQueue>("WeaponMessageQueue")},
        {"ProjectilesShared", app->GetSharedData<ProjectilesShared>("ProjectilesShared")},
        {"PlayerStatus", app->GetSharedData<PlayerStatus>("PlayerStatus")},
        {"RangedStats", app->GetSharedData<RangedStats>("RangedStats")},
        {"PlayerHealth", app->GetSharedData<PlayerHealth>("PlayerHealth")},
        {"CameraPosition", app->GetSharedData<CameraPosition>("CameraPosition")},
        {"CameraVelocity", app->GetSharedData<CameraVelocity>("CameraVelocity")},
        {"CameraShakeData", app->GetSharedData<CameraShakeData>("CameraShakeData")},
        {"FPSCameraUpdates", app->GetSharedData<FPSCameraUpdates>("FPSCameraUpdates")},
        {"DialogueController", app->GetSharedData<DialogueController>("DialogueController")},
        {"PlayerController", app->GetSharedData<PhysicsBody>("PlayerController")},
        {"CoinCollisionPB", app->GetSharedData<PhysicsBody>("CoinCollisionPB")},
        {"HitDirectionFeedbackData",
         app->GetSharedData<HitDirectionFeedbackData>("HitDirectionFeedbackData")},
        {"SoundManager", app->GetSharedData<SoundManager>("SoundManager")},
        {"Shrine2Container", app->GetSharedData<Shrine2Container>("Shrine2Container")},
        {"TorchSharedData", app->GetSharedData<TorchSharedData>("TorchSharedData")},
        {"UpgradeManager", app->GetSharedData<UpgradeManager>("UpgradeManager")},
        {"PlayerStatusEffectData",
         app->GetSharedData<PlayerStatusEffectData>("PlayerStatusEffectData")},
    };
    ASSERT_EQ(fetched.size(), 43u);
    EXPECT_EQ(app->m_sharedDataMap.size(), 43u);
    std::set<const void*> distinct;
    for (const auto& [name, object] : fetched)
        distinct.insert(object);
    EXPECT_EQ(distinct.size(), 43u) << "every name has an object of its own";

    // The spawner works on the application's entity world.
    EXPECT_EQ(&app->GetSharedData<AISpawner>("AISpawner")->GetEntityWorld(), &app->m_entityWorld);
}

TEST_F(Registration, SharedRecordsStartWithTheirFirstValues)
{
    EXPECT_EQ(*app->GetSharedData<float>("asdasd"), 0.0f);
    EXPECT_EQ(app->GetSharedData<Gold>("Gold")->m_gold, 1);
    EXPECT_FLOAT_EQ(app->GetSharedData<RangedStats>("RangedStats")->m_fireInterval, 0.4f);
    const PlayerHealth* health = app->GetSharedData<PlayerHealth>("PlayerHealth");
    EXPECT_EQ(health->m_currentHealth, 100.0f);
    EXPECT_EQ(health->m_maxHealth, 100.0f);
    EXPECT_EQ(health->m_regeneration, 3.0f);
    EXPECT_TRUE(app->GetSharedData<ResetEnvSysBool>("ResetEnvSysBool")->m_reset);
    EXPECT_TRUE(app->GetSharedData<ztgame::GameStats>("GameStats")->m_printOnChange);
    EXPECT_EQ(app->GetSharedData<PlayerStatusEffectData>("PlayerStatusEffectData")->m_effect, 0);
    EXPECT_EQ(app->GetSharedData<ProjectilesShared>("ProjectilesShared")->m_records.size(), 1000u);
}

TEST_F(Registration, SerializersAreTheFourManagersThenThePlayerSettings)
{
    const std::vector<Serializer*> expected = {
        app->GetSharedData<ModelManager>("ModelManager"),
        app->GetSharedData<MaterialManager>("MaterialManager"),
        app->GetSharedData<MeshManager>("MeshManager"),
        app->GetSharedData<PropManager>("PropManager"),
        app->GetSharedData<PlayerStatus>("PlayerStatus"),
    };
    EXPECT_EQ(app->GetSerializers(), expected);
}

TEST_F(Registration, StatesTakeTheirIndicesAndTheStartStateIsTheSplash)
{
    EXPECT_EQ(app->GetStateNames(), kStates);
    for (uint32_t i = 0; i < kStates.size(); ++i)
        EXPECT_EQ(app->GetStateName(i), kStates[i]);
    EXPECT_EQ(app->GetCurrentState(), 11u);
    EXPECT_EQ(app->GetStateName(app->GetCurrentState()), "BRIMSEL_SPLASH_STATE");
    EXPECT_EQ(app->GetPreviousState(), 0u);
}

TEST_F(Registration, RegisteredSystemsFollowTheDesignTables)
{
    const std::vector<uint32_t> handles = app->GetSystemHandles();
    int lastRow = -1;
    for (uint32_t handle : handles) {
        const SubsystemEntry& entry = app->GetSubsystems().At(handle);
        SCOPED_TRACE(entry.className);
        const int row = RowOf(entry.className);
        ASSERT_GE(row, 0) << "not a system of the game";
        EXPECT_GT(row, lastRow) << "registered out of order";
        lastRow = row;
        EXPECT_EQ(entry.initialised != 0, kSystems[row].initialisedAtStart);

        std::set<uint32_t> expectedStates;
        for (const auto& [state, rows] : kStateSystems)
            if (StateHoldsRow(handles, *app, state, row))
                expectedStates.insert(static_cast<uint32_t>(
                    std::find(kStates.begin(), kStates.end(), state) - kStates.begin()));
        EXPECT_EQ(std::set<uint32_t>(entry.states.begin(), entry.states.end()), expectedStates);
    }

    // Every state runs the registered systems in the designed order.
    for (uint32_t state = 0; state < kStates.size(); ++state) {
        SCOPED_TRACE(kStates[state]);
        std::vector<std::string> expected;
        auto it = kStateSystems.find(kStates[state]);
        if (it != kStateSystems.end())
            for (int row : it->second)
                for (uint32_t handle : handles)
                    if (RowOf(app->GetSubsystems().At(handle).className) == row &&
                        StateHoldsRow(handles, *app, kStates[state], row))
                        expected.push_back(kSystems[row].className);
        std::vector<std::string> actual;
        for (uint32_t handle : app->GetStateSystems(state))
            actual.push_back(ShortName(app->GetSubsystems().At(handle).className));
        EXPECT_EQ(actual, expected);
    }
    // Registration happens in "Default": every tracker is filed there.
    EXPECT_EQ(app->GetTrackers()[0].size(), handles.size());
}

TEST_F(Registration, EverySystemOfTheGameIsRegistered)
{
    const std::vector<uint32_t> handles = app->GetSystemHandles();
    ASSERT_EQ(handles.size(), std::size(kSystems));
    size_t atStart = 0;
    for (uint32_t handle : handles)
        atStart += app->GetSubsystems().At(handle).initialised != 0;
    EXPECT_EQ(atStart, 23u);

    size_t registrations = 0;
    for (uint32_t state = 0; state < kStates.size(); ++state)
        registrations += app->GetStateSystems(state).size();
    EXPECT_EQ(registrations, 96u);
}

TEST(RegistrationWithoutEventNames, SaysWhichFileIsMissing)
{
    const fs::path previous = fs::current_path();
    fs::current_path(zttest::MakeTempDir("no-events"));
    SoundSystemOptions sound;
    sound.output = FMOD_OUTPUTTYPE_NOSOUND;
    Win32App::SetSoundSystemOptions(sound);
    Win32App* app = Win32App::GetInstance();
    testing::internal::CaptureStderr();
    const std::string out = zttest::CaptureStdout([&] { RegisterGame(*app); });
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Error loading file: EventNames.txt\n");
    EXPECT_EQ(out.find("Loaded event name: "), std::string::npos);
    EXPECT_EQ(app->m_messagingSystem.EventCount(), 0u);
    Win32App::DeleteInstance();
    fs::current_path(previous);
}

}  // namespace
