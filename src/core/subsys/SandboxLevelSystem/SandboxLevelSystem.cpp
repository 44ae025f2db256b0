// SandboxLevelSystem: stored scenes as walkable scenery, and the sandbox's panel.
#include "core/subsys/SandboxLevelSystem/SandboxLevelSystem.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <iostream>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/LevelSystem/SceneProps.h"

namespace ztengine {

using ztmath::Vector3;


SandboxLevelSystem::SandboxLevelSystem(App* app)
    : Subsystem(app),
      m_renderer(app->GetGraphics3D()),
      m_physics(&app->m_physicsEngine),
      m_messaging(&app->m_messagingSystem),
      m_propManager(app->GetSharedData<PropManager>("PropManager")),
      m_modelManager(app->GetSharedData<ModelManager>("ModelManager")),
      m_levelState(app->GetSharedData<LevelState>("LevelState")),
      m_levelObjects(app->GetSharedData<LevelObj3DCont>("SandboxLevelObj3DCont"))
{
}

void SandboxLevelSystem::Init()
{
    m_renderer = m_app->GetGraphics3D();
    m_renderer->SetCameraBasis(
        ztmath::Basis(Vector3(0.0f, 0.0f, -1.0f), Vector3(0.0f, 1.0f, 0.0f), true));
    m_renderer->SetCameraPosition(Vector3(0.0f, 0.0f, 2.0f));

    Gui& gui = Gui::Instance();
    m_window = gui.CreateWindow("Sandbox Scene Select", true, 200.0f, 100.0f);
    const int list = gui.AddDropDownList(m_window, "Scene List", &m_sceneNames);
    m_selection = gui.GetDropDownListSelection(m_window, list);
    gui.AddButton(m_window, "Load Scene", [this] { LoadScene(); });
    gui.AddCheckbox(m_window, "Render Debug", &m_renderDebug);
    // Shown only while the sandbox is the current state.
    SetWindowVisible(false);

    ReadSceneNames();
}

void SandboxLevelSystem::ReadSceneNames()
{
    m_sceneNames.clear();
    for (const DungeonScene& scene : m_propManager->m_scenes)
        m_sceneNames.push_back(scene.m_name);
}

void SandboxLevelSystem::SetWindowVisible(bool visible)
{
    if (m_window < 0)
        return;
    if (GuiWindow* window = Gui::Instance().GetManager().GetGuiWindow(m_window))
        window->visible = visible;
}

void SandboxLevelSystem::Update(float)
{
    if (m_input != nullptr && m_input->IsKeyReleased(GLFW_KEY_TAB)) {
        m_guiShown = !m_guiShown;
        Gui& gui = Gui::Instance();
        gui.SetEnabled(m_guiShown);
        if (!m_guiShown)
            gui.GetManager().RestoreAppCallbacks();
        m_input->SetCursorEnabled(m_guiShown);
    }

    // The panel's check box drives the renderer's debug drawing, as the level system's does.
    m_renderer->SetRenderDebug(m_renderDebug);

    if (m_propManager->m_scenes.size() != m_sceneNames.size())
        ReadSceneNames();

    m_renderer->m_directionalLightEnabled = m_levelState->m_level == 0;

    // The selected scene's lights show before it is loaded: they follow the list.
    m_renderer->m_pointLights.clear();
    if (m_selection != nullptr && *m_selection >= 0 &&
        *m_selection < static_cast<int32_t>(m_propManager->m_scenes.size())) {
        for (const PointLight& light : m_propManager->m_scenes[*m_selection].m_pointLights)
            m_renderer->AddPointLight(light.m_position, light.m_colour, light.m_radius,
                                      light.m_diffuseIntensity);
    }
    m_renderer->AddPointLight(m_renderer->GetCameraPosition() + Vector3(0.0f, kLampHeight, 0.0f),
                              m_lampColour, m_lampRadius, m_lampIntensity);
}

void SandboxLevelSystem::SetToCurrentState()
{
    if (m_selection != nullptr)
        *m_selection = -1;
    m_savedPosition = m_renderer->GetCameraPosition();
    SetWindowVisible(true);
}

void SandboxLevelSystem::NextState(int)
{
    ClearScene();
    SetWindowVisible(false);
    const Vector3 back = m_savedPosition;
    m_messaging->SendEventByName("PLAYER_SET_POSITION", IEvent(0, &back));
}

void SandboxLevelSystem::ClearScene()
{
    ClearLevelObjects(*m_renderer, *m_physics, *m_levelObjects);
}

void SandboxLevelSystem::LoadScene()
{
    if (m_selection == nullptr || *m_selection < 0 ||
        *m_selection >= static_cast<int32_t>(m_sceneNames.size()))
        return;
    // The list may be a frame behind the stored scenes.
    if (*m_selection >= static_cast<int32_t>(m_propManager->m_scenes.size()))
        return;
    std::cerr << "Loading scene\n";

    ClearScene();

    const DungeonScene scene = m_propManager->m_scenes[*m_selection];
    const Vector3 start = scene.m_playerStart;
    m_messaging->SendEventByName("PLAYER_SET_POSITION", IEvent(0, &start));

    LevelObj3DCont& objects = *m_levelObjects;
    for (const Prop& prop : scene.m_props) {
        int32_t model = -1;
        InstanceHandle instance = CreatePropInstance(*m_renderer, *m_modelManager, prop, model);
        InstanceData& data = instance.GetInstance();
        data.m_hidden = 0;
        objects.m_instances.push_back(instance);
        const int32_t i = static_cast<int32_t>(objects.m_instances.size()) - 1;

        if (!prop.m_enableCollision)
            continue;
        const ztmath::Quaternion orientation = data.m_transform.m_basis.ToQuaternion();
        const uint32_t shape =
            FindColliderShape(prop.m_colliderIndex, prop.m_colliderType, prop.m_scale, model);
        PhysicsBody body = m_physics->CreateStaticBody(shape, prop.m_position, orientation);
        body.SetCollisionCategoryBits(kCollisionCategoryScenery);
        objects.m_bodies.push_back(body);
        objects.m_bodyOfInstance[i] = static_cast<int32_t>(objects.m_bodies.size()) - 1;
    }
}

uint32_t SandboxLevelSystem::FindColliderShape(int32_t colliderIndex, int32_t colliderType,
                                               const Vector3& scale, int32_t model)
{
    return FindPropColliderShape(m_colliderShapes, *m_renderer, *m_physics, colliderIndex,
                                 colliderType, scale, model);
}

}  // namespace ztengine
