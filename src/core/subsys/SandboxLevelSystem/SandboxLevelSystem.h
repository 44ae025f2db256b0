#pragma once
// SandboxLevelSystem: the "SANDBOX_STATE" developer state. Any scene the prop manager has
// stored (scene-editor scenes, the dungeon builder's "proc gen scene") can be picked in the
// "Sandbox Scene Select" panel and loaded as plain static scenery to walk around in. Leaving the
// state removes the scene and puts the player back where the sandbox was entered.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"
#include "core/resources/PropManager.h"
#include "core/subsys/sharedData/LevelRecords.h"

namespace ztengine {

class MessagingSystem;
class ModelManager;
class PhysicsEngine;

class SandboxLevelSystem : public Subsystem {
public:
    // The lamp that follows the camera, above it.
    static constexpr float kLampHeight = 10.0f;

    explicit SandboxLevelSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    // Leaving the sandbox, whatever the new state.
    void NextState(int newState) override;
    // Entering the sandbox.
    void SetToCurrentState() override;

    // The "Load Scene" button: replaces the sandbox scene by the stored scene selected in the
    // "Scene List"; nothing without a valid selection.
    void LoadScene();

    // One collider per collider index for the whole run, made from the first prop that asks;
    // the sandbox's own, apart from the dungeon's.
    uint32_t FindColliderShape(int32_t colliderIndex, int32_t colliderType,
                               const ztmath::Vector3& scale, int32_t model);

    // The lamp's light, as the level system's: a lamp of radius 1 would light nothing with the
    // renderer's falloff, and its colour is given on the renderer's 0 to 1 scale.
    ztmath::Vector3 m_lampColour{226.0f / 255.0f, 120.0f / 255.0f, 34.0f / 255.0f};
    float m_lampRadius = 60.0f;
    float m_lampIntensity = 1.0f;

    const std::vector<std::string>& SceneNames() const { return m_sceneNames; }
    int32_t Window() const { return m_window; }
    // The "Scene List" selection (-1: none); null before Init.
    int32_t* Selection() const { return m_selection; }
    bool GuiShown() const { return m_guiShown; }
    bool RenderDebug() const { return m_renderDebug; }
    const ztmath::Vector3& SavedPosition() const { return m_savedPosition; }
    const std::map<int32_t, uint32_t>& ColliderShapes() const { return m_colliderShapes; }

private:
    void ClearScene();
    void ReadSceneNames();
    void SetWindowVisible(bool visible);

    Graphics3D* m_renderer;
    PhysicsEngine* m_physics;
    MessagingSystem* m_messaging;
    std::map<int32_t, uint32_t> m_colliderShapes;
    PropManager* m_propManager;
    ModelManager* m_modelManager;
    LevelState* m_levelState;
    LevelObj3DCont* m_levelObjects;
    std::vector<std::string> m_sceneNames;
    int32_t m_window = -1;
    int32_t* m_selection = nullptr;
    bool m_renderDebug = false;
    bool m_guiShown = false;
    ztmath::Vector3 m_savedPosition;
};

}  // namespace ztengine
