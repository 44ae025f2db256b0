#pragma once
// LevelSystem: turns the current dungeon scene into drawn instances and physics bodies, keeps
// them together every frame, lights the level, owns the floor hazards' contact behaviour,
// opens the pause menu and runs the "Scene Select" debug panel.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/resources/PropManager.h"
#include "core/subsys/sharedData/LevelRecords.h"

namespace ztengine {

class MessagingSystem;
class ModelManager;
class PlayerStatus;
class PlayerHealth;
struct ShrineContainer;
struct Shrine2Container;
struct FadeMessageQueue;
struct CameraShakeData;
struct HitDirectionFeedbackData;

class LevelSystem : public Subsystem {
public:
    // The lamp that follows the player in a dungeon, above the camera.
    static constexpr float kLampHeight = 10.0f;

    explicit LevelSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    // Losing the window focus during play opens the pause menu.
    void Pause() override;
    void Resume() override;
    void NextState(int newState) override;
    void SetToCurrentState() override;
    void Render(DebugDraw& drawer, float dt) override;

    // Replaces the loaded level by the shared "DungeonScene". The first load (from Init) is
    // made in place; every later one fades the player to the scene's start.
    void LoadScene();
    // The "Load Scene" button: only with a scene selected in the list.
    void LoadSelectedScene();

    // One collider per collider index for the whole run, made from the first prop that asks.
    uint32_t FindColliderShape(int32_t colliderIndex, int32_t colliderType,
                               const ztmath::Vector3& scale, int32_t model);

    // Contact behaviour of the hazards, given the other body's user type id.
    void OnSpikesContact(int32_t otherType, const ContactInfo& info);
    void OnIceContact(int32_t otherType);
    void OnGooContact(int32_t otherType);

    // The lamp's light: with the renderer's attenuation a lamp of radius 1 would light nothing,
    // so it reaches the walls around the player; its colour is the torches' warm yellow scale.
    ztmath::Vector3 m_lampColour{150.0f / 255.0f, 100.0f / 255.0f, 34.0f / 255.0f};
    float m_lampRadius = 60.0f;
    float m_lampIntensity = 1.0f;

    // Seconds since a hazard last acted; counted up to 1 by Update.
    float m_hazardTimer = 0.0f;

    const std::vector<std::string>& SceneNames() const { return m_sceneNames; }
    int32_t Window() const { return m_window; }
    bool GuiShown() const { return m_guiShown; }
    const std::map<int32_t, uint32_t>& ColliderShapes() const { return m_colliderShapes; }

private:
    void SetLevelShown(bool shown);
    void SetBodiesActive(bool active);

    Graphics3D* m_renderer;
    PhysicsEngine* m_physics;
    MessagingSystem* m_messaging;
    PlayerStatus* m_playerStatus;
    PlayerHealth* m_health;
    DungeonScene* m_scene;
    std::map<int32_t, uint32_t> m_colliderShapes;
    PropManager* m_propManager;
    ModelManager* m_modelManager;
    LevelState* m_levelState;
    LevelObj3DCont* m_levelObjects;
    RegenerateLevelBool* m_regenerate;
    ResetEnvSysBool* m_resetEnv;
    ShrineContainer* m_shops;
    Shrine2Container* m_blessings;
    FadeMessageQueue* m_fades;
    CameraShakeData* m_shake;
    HitDirectionFeedbackData* m_hitDirection;

    std::vector<std::string> m_sceneNames;
    int32_t m_window = -1;
    int32_t* m_selection = nullptr;
    bool m_renderDebug = false;
    bool m_guiShown = false;
    bool m_firstLoad = true;
    // Every level body is switched off (level hidden or dungeon colliders disabled).
    bool m_bodiesOff = false;
    bool m_drawShapes = false;
    bool m_drawContacts = false;
    float m_shapeColour[3] = {0.0f, 1.0f, 0.0f};
    float m_contactColour[3] = {0.0f, 1.0f, 1.0f};
    float m_contactRadius = 0.05f;
    float m_hitRecord[6] = {0, 0, 0, 0, 0, 0};
    // What goo holds the player at; first set at the first goo contact.
    bool m_gooHeld = false;
    float m_heldHealth = 0.0f;
    float m_heldStamina = 0.0f;
};

}  // namespace ztengine
