// The start-up registration of the game: event names, the 43 shared-data objects, the 29 states
// and the systems, in the order that fixes handles, state indices and run orders.
#include "core/subsys/Registration/GameRegistration.h"

#include <initializer_list>

#include "core/Win32App.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ModelManager.h"
#include "core/resources/PropManager.h"
#include "core/resources/SoundManager.h"
#include "core/subsys/AI/AIEntitySystem.h"
#include "core/subsys/AI/AISpawnerSystem.h"
#include "core/subsys/AltarSystem/AltarSystem.h"
#include "core/subsys/BGMSystem/BGMSystem.h"
#include "core/subsys/BossSystem/BossSystem.h"
#include "core/subsys/CharacterControllerSystem/CharacterControllerSystem.h"
#include "core/subsys/BossDeadCinematicSystem/BossDeadCinematicSystem.h"
#include "core/subsys/CheatSubsystem/CheatSubsystem.h"
#include "core/subsys/CinematicIntroSystem/CinematicIntroSystem.h"
#include "core/subsys/CollectibleSystem/CollectibleSystem.h"
#include "core/subsys/DialogueSystem/DialogueSystem.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/Editors/MaterialEditor/MaterialEditor.h"
#include "core/subsys/Editors/MeshEditor/MeshEditor.h"
#include "core/subsys/Editors/ModelEditor/ModelEditor.h"
#include "core/subsys/Editors/SceneEditor/SceneEditor.h"
#include "core/subsys/Editors/SoundResourceEditor/SoundResourceEditor.h"
#include "core/subsys/FadeSystems/FadeSystems.h"
#include "core/subsys/FirstPersonCameraSystem/FirstPersonCameraSystem.h"
#include "core/subsys/GameGym/GameGym.h"
#include "core/subsys/GameOptionsSystem/GameOptionsSystem.h"
#include "core/subsys/GamePhysicsSystem/GamePhysicsSystem.h"
#include "core/subsys/GameShadowSystem/GameShadowSystem.h"
#include "core/subsys/LevelSystem/LevelSystem.h"
#include "core/subsys/Menus/EndScreens.h"
#include "core/subsys/Menus/MainMenuSystem.h"
#include "core/subsys/Menus/PauseMenus.h"
#include "core/subsys/Menus/SettingsSystem.h"
#include "core/subsys/MiniBossSystem/BossDeadCheckSystem.h"
#include "core/subsys/MiniBossSystem/DungeonMiniBossSystem.h"
#include "core/subsys/MinimapSubsystem/MinimapSubsystem.h"
#include "core/subsys/Overworld/Overworld.h"
#include "core/subsys/PDSystem/PDSystem.h"
#include "core/subsys/PlayerFeedback/PlayerFeedback.h"
#include "core/subsys/PlayerHealthRegen/PlayerHealthRegen.h"
#include "core/subsys/PlayerStatTracking/GameTimeSystem.h"
#include "core/subsys/PlayerStatTracking/PlayerStatTrackingSystem.h"
#include "core/subsys/ProjectileSystem/ProjectileSystem.h"
#include "core/subsys/RandomEventSystem/RandomEventSystem.h"
#include "core/subsys/RangePlayerSystem/RangePlayerSystem.h"
#include "core/subsys/SandboxLevelSystem/SandboxLevelSystem.h"
#include "core/subsys/ShrineSystem/Shrine2System.h"
#include "core/subsys/ShrineSystem/ShrineSystem.h"
#include "core/subsys/ShrineSystem/ShrineUISystem.h"
#include "core/subsys/ShrineSystem/ShrineUISystemTwo.h"
#include "core/subsys/SndFXSubsystem/SndFXSubsystem.h"
#include "core/subsys/StaminaDurabilitySystem/StaminaDurabilitySystem.h"
#include "core/subsys/StartupScreens/ControllerSplash.h"
#include "core/subsys/StartupScreens/InitGameLoadingSystem.h"
#include "core/subsys/StartupScreens/LogoSplashes.h"
#include "core/subsys/StatsBoostSystem/StatsBoostSystem.h"
#include "core/subsys/TownPortalSystem/TownPortalSystem.h"
#include "core/subsys/UpgradeSystem/UpgradeSystem.h"
#include "core/subsys/WorldParticles/DungeonPortalParticleGenerator.h"
#include "core/subsys/WorldParticles/ShrineParticleSystem.h"
#include "core/subsys/WorldParticles/TorchParticleSystem.h"
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
#include "core/util/Random.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

namespace {

constexpr const char* kEventNamesFile = "EventNames.txt";

void RegisterSharedData(Win32App& app)
{
    app.AddSharedData<float>("asdasd");
    app.AddSerializer(app.AddSharedData<ModelManager>("ModelManager"));
    app.AddSerializer(app.AddSharedData<MaterialManager>("MaterialManager"));
    app.AddSerializer(app.AddSharedData<MeshManager>("MeshManager"));
    app.AddSerializer(app.AddSharedData<PropManager>("PropManager"));
    app.AddSharedData<StatusFlags>("StatusFlags");
    app.AddSharedData<ztgame::GameStats>("GameStats");
    app.AddSharedData<DungeonScene>("DungeonScene");
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
    app.AddSharedData<AISpawner>("AISpawner", static_cast<App*>(&app));
    app.AddSharedData<BossSystemQueue>("BossSystemQueue");
    app.AddSharedData<ResetEnvSysBool>("ResetEnvSysBool");
    app.AddSharedData<GoldDropQueue>("GoldDropQueue");
    app.AddSharedData<Gold>("Gold");
    app.AddSharedData<UpgradeMessageQueue>("UpgradeMessageQueue");
    app.AddSharedData<StatBoostMessageQueue>("StatBoostMessageQueue");
    app.AddSharedData<WeaponMessageQueue>("WeaponMessageQueue");
    app.AddSharedData<ProjectilesShared>("ProjectilesShared");
    app.AddSerializer(app.AddSharedData<PlayerStatus>("PlayerStatus"));
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
    app.AddSharedData<SoundManager>("SoundManager");
    app.AddSharedData<Shrine2Container>("Shrine2Container");
    app.AddSharedData<TorchSharedData>("TorchSharedData");
    app.AddSharedData<UpgradeManager>("UpgradeManager");
    app.AddSharedData<PlayerStatusEffectData>("PlayerStatusEffectData");
}

// Index order: 1 to 29, after the built-in "Default".
void RegisterStates(Win32App& app)
{
    static const char* const kStates[] = {
        "DUNGEON_STATE",
        "GAMEPLAY_STATE",
        "SANDBOX_STATE",
        "MAIN_MENU_STATE",
        "PAUSE_MENU_STATE",
        "LOSE_STATE",
        "CREDITS_STATE",
        "SETTINGS_STATE",
        "QUITGAMECONFIRMATION_STATE",
        "HOWTOPLAY_STATE",
        "BRIMSEL_SPLASH_STATE",
        "TEAM_LOGO_STATE",
        "CONTROLLER_SPLASH_STATE",
        "MESH_EDITOR",
        "MATERIAL_EDITOR",
        "MODEL_EDITOR",
        "SCENE_EDITOR",
        "SHRINE_UI_STATE",
        "SHRINE_UI_STATE_TWO",
        "FADE_IN_STATE",
        "FADE_OUT_STATE",
        "TEST_GYM",
        "GAME_OPTIONS_SETTING_STATE",
        "SOUND_RESOURCE_EDITOR_STATE",
        "PLAYER_DEATH_STATE",
        "CINEMATIC_INTRO_STATE",
        "BOSS_DEATH_STATE",
        "END_GAME_STATE",
        "LOADING_RESOURCES_STATE",
    };
    for (const char* state : kStates)
        app.AddState(state);
}

// Adds a system and registers it to its states, in the order given.
template <class T>
uint32_t Register(Win32App& app, std::initializer_list<const char*> states)
{
    const uint32_t handle = app.AddSystem<T>().second;
    for (const char* state : states)
        app.RegSystemToState(state, handle);
    return handle;
}

// Systems are added in handle order, each followed at once by its states in run order; only
// the cinematic states take systems registered earlier (the dialogue, overworld and boss
// systems), right after their own cinematic system. A system's constructor runs here, before
// the window exists.
void RegisterSystems(Win32App& app)
{
    Register<MaterialEditor>(app, {"MATERIAL_EDITOR"});
    Register<MeshEditor>(app, {"MESH_EDITOR"});
    Register<ModelEditor>(app, {"MODEL_EDITOR"});
    Register<FirstPersonCameraSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE"});
    Register<CharacterControllerSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                              "PLAYER_DEATH_STATE"});
    Register<GameGym>(app, {"TEST_GYM"});
    Register<AIEntitySystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "PLAYER_DEATH_STATE"});
    Register<AISpawnerSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM"});
    Register<GamePhysicsSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                      "PLAYER_DEATH_STATE"});
    Register<SceneEditor>(app, {"SCENE_EDITOR"});
    Register<CheatSubsystem>(app, {"GAMEPLAY_STATE", "TEST_GYM"});
    Register<RandomEventSystem>(app, {"GAMEPLAY_STATE"});
    Register<TownPortalSystem>(app, {"GAMEPLAY_STATE"});
    Register<PlayerHealthRegen>(app, {"GAMEPLAY_STATE"});
    Register<DungeonPortalParticleGenerator>(app, {"GAMEPLAY_STATE"});
    Register<PlayerStatusEffectSystem>(app, {"GAMEPLAY_STATE"});
    Register<RangePlayerSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                      "PLAYER_DEATH_STATE"});
    Register<ProjectileSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                     "PLAYER_DEATH_STATE"});
    Register<ProjectileDecalsSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                           "PLAYER_DEATH_STATE"});
    Register<GameShadowSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                     "PLAYER_DEATH_STATE"});
    Register<CollectibleSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM"});
    Register<DungeonGenerator>(app, {"GAMEPLAY_STATE"});
    Register<ShrineSystem>(app, {"GAMEPLAY_STATE"});
    // Before the blessing shrines: it fills the upgrade registry they read at their Init.
    Register<ShrineUISystemTwo>(app, {"GAMEPLAY_STATE"});
    Register<Shrine2System>(app, {"GAMEPLAY_STATE"});
    Register<LevelSystem>(app, {"GAMEPLAY_STATE"});
    const uint32_t bossHandle = Register<BossSystem>(app, {"GAMEPLAY_STATE"});
    Register<StaminaDurabilitySystem>(app, {"GAMEPLAY_STATE"});
    Register<UpgradeSystem>(app, {"GAMEPLAY_STATE"});
    Register<StatBoostSystem>(app, {"GAMEPLAY_STATE"});
    Register<HandParticleSystem>(app, {"GAMEPLAY_STATE"});
    // Also runs in "CINEMATIC_INTRO_STATE" (the intro plays in the hub), registered there right
    // after the intro's own system and the dialogue box.
    const uint32_t overworldHandle = Register<Overworld>(app, {"GAMEPLAY_STATE"});
    Register<AltarSystem>(app, {"GAMEPLAY_STATE"});
    Register<CameraShakeSystem>(app, {"GAMEPLAY_STATE"});
    Register<HitDirectionFeedbackSystem>(app, {"GAMEPLAY_STATE"});
    Register<DungeonMiniBossSystem>(app, {"GAMEPLAY_STATE"});
    Register<MinimapSubsystem>(app, {"GAMEPLAY_STATE"});
    Register<SndFXSubsystem>(app, {"GAMEPLAY_STATE"});
    Register<BGMSystem>(app, {"GAMEPLAY_STATE"});
    Register<BossDeadCheckSystem>(app, {"GAMEPLAY_STATE"});
    // Also runs in the two cinematic states, registered there right after their own systems.
    const uint32_t dialogueHandle = Register<DialogueSystem>(app, {"GAMEPLAY_STATE"});
    Register<TorchParticleSystem>(app, {"GAMEPLAY_STATE"});
    Register<ShrineParticleSystem>(app, {"GAMEPLAY_STATE"});
    Register<PDSystem>(app, {"GAMEPLAY_STATE"});
    Register<GameTimeSystem>(app, {"GAMEPLAY_STATE"});
    Register<PlayerStatTrackingSystem>(app, {"END_GAME_STATE"});
    Register<SandboxLevelSystem>(app, {"SANDBOX_STATE"});
    Register<PauseMenuSystem>(app, {"PAUSE_MENU_STATE"});
    Register<LostSystem>(app, {"LOSE_STATE"});
    Register<MainMenuSystem>(app, {"MAIN_MENU_STATE"});
    Register<CreditsSystem>(app, {"CREDITS_STATE"});
    Register<SettingsSystem>(app, {"SETTINGS_STATE"});
    Register<QuitGameConfirmation>(app, {"QUITGAMECONFIRMATION_STATE"});
    Register<HowToPlaySystem>(app, {"HOWTOPLAY_STATE"});
    Register<BrimselSplash>(app, {"BRIMSEL_SPLASH_STATE"});
    Register<TeamLogoScreen>(app, {"TEAM_LOGO_STATE"});
    Register<ControllerSplash>(app, {"CONTROLLER_SPLASH_STATE"});
    Register<InitGameLoadingSystem>(app, {"LOADING_RESOURCES_STATE"});
    Register<ShrineUISystem>(app, {"SHRINE_UI_STATE"});
    Register<FadeInSystem>(app, {"FADE_IN_STATE"});
    Register<FadeTransitionSystem>(app, {"FADE_IN_STATE"});
    Register<FadeOutSystem>(app, {"FADE_OUT_STATE"});
    Register<GameOptionsSystem>(app, {"GAME_OPTIONS_SETTING_STATE"});
    Register<SoundResourceEditor>(app, {"SOUND_RESOURCE_EDITOR_STATE"});
    Register<PlayerDeathSequence>(app, {"PLAYER_DEATH_STATE"});
    // The intro plays in the hub: the dialogue box, the overworld and the waiting boss run
    // behind it.
    Register<CinematicIntroSystem>(app, {"CINEMATIC_INTRO_STATE"});
    app.RegSystemToState("CINEMATIC_INTRO_STATE", dialogueHandle);
    app.RegSystemToState("CINEMATIC_INTRO_STATE", overworldHandle);
    app.RegSystemToState("CINEMATIC_INTRO_STATE", bossHandle);
    // The end of a won run; the dialogue box shows Ah Drev's remark over it.
    Register<BossDeadCinematicSystem>(app, {"BOSS_DEATH_STATE"});
    app.RegSystemToState("BOSS_DEATH_STATE", dialogueHandle);
}

}  // namespace

void RegisterGame(Win32App& app)
{
    app.m_messagingSystem.LoadEventNames(kEventNamesFile);
    RegisterSharedData(app);
    RegisterStates(app);
    RegisterSystems(app);
    app.SetStartState(0);
}

Win32App* BuildGame()
{
    MemoryAllocator::Init(MemoryAllocatorSettings{true, 0, 21});
    SeedRandom();
    Win32App* app = Win32App::GetInstance();
    RegisterGame(*app);
    return app;
}

}  // namespace ztengine
