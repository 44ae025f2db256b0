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
#include "core/subsys/Editors/MaterialEditor/MaterialEditor.h"
#include "core/subsys/Editors/MeshEditor/MeshEditor.h"
#include "core/subsys/Editors/ModelEditor/ModelEditor.h"
#include "core/subsys/Editors/SceneEditor/SceneEditor.h"
#include "core/subsys/Editors/SoundResourceEditor/SoundResourceEditor.h"
#include "core/subsys/GameOptionsSystem/GameOptionsSystem.h"
#include "core/subsys/GamePhysicsSystem/GamePhysicsSystem.h"
#include "core/subsys/GameShadowSystem/GameShadowSystem.h"
#include "core/subsys/BGMSystem/BGMSystem.h"
#include "core/subsys/DialogueSystem/DialogueSystem.h"
#include "core/subsys/PDSystem/PDSystem.h"
#include "core/subsys/PlayerFeedback/PlayerFeedback.h"
#include "core/subsys/PlayerStatTracking/GameTimeSystem.h"
#include "core/subsys/PlayerStatTracking/PlayerStatTrackingSystem.h"
#include "core/subsys/ProjectileSystem/ProjectileSystem.h"
#include "core/subsys/RangePlayerSystem/RangePlayerSystem.h"
#include "core/subsys/SndFXSubsystem/SndFXSubsystem.h"
#include "core/subsys/StartupScreens/ControllerSplash.h"
#include "core/subsys/StartupScreens/InitGameLoadingSystem.h"
#include "core/subsys/StartupScreens/LogoSplashes.h"
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
    Register<AIEntitySystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "PLAYER_DEATH_STATE"});
    Register<AISpawnerSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM"});
    Register<GamePhysicsSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                      "PLAYER_DEATH_STATE"});
    Register<SceneEditor>(app, {"SCENE_EDITOR"});
    Register<PlayerStatusEffectSystem>(app, {"GAMEPLAY_STATE"});
    Register<RangePlayerSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                      "PLAYER_DEATH_STATE"});
    Register<ProjectileSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                     "PLAYER_DEATH_STATE"});
    Register<ProjectileDecalsSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                           "PLAYER_DEATH_STATE"});
    Register<GameShadowSystem>(app, {"GAMEPLAY_STATE", "TEST_GYM", "SANDBOX_STATE",
                                     "PLAYER_DEATH_STATE"});
    Register<HandParticleSystem>(app, {"GAMEPLAY_STATE"});
    Register<HitDirectionFeedbackSystem>(app, {"GAMEPLAY_STATE"});
    Register<SndFXSubsystem>(app, {"GAMEPLAY_STATE"});
    Register<BGMSystem>(app, {"GAMEPLAY_STATE"});
    // Also runs in the two cinematic states, registered there right after their own systems.
    Register<DialogueSystem>(app, {"GAMEPLAY_STATE"});
    Register<PDSystem>(app, {"GAMEPLAY_STATE"});
    Register<GameTimeSystem>(app, {"GAMEPLAY_STATE"});
    Register<PlayerStatTrackingSystem>(app, {"END_GAME_STATE"});
    Register<BrimselSplash>(app, {"BRIMSEL_SPLASH_STATE"});
    Register<TeamLogoScreen>(app, {"TEAM_LOGO_STATE"});
    Register<ControllerSplash>(app, {"CONTROLLER_SPLASH_STATE"});
    Register<InitGameLoadingSystem>(app, {"LOADING_RESOURCES_STATE"});
    Register<GameOptionsSystem>(app, {"GAME_OPTIONS_SETTING_STATE"});
    Register<SoundResourceEditor>(app, {"SOUND_RESOURCE_EDITOR_STATE"});
    Register<PlayerDeathSequence>(app, {"PLAYER_DEATH_STATE"});
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
