// LevelSystem: level loading, hazards, lighting, pause and the scene panel.
#include "core/subsys/LevelSystem/LevelSystem.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/DebugDraw.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/LevelSystem/SceneProps.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "platform/CRand.h"

namespace ztengine {

using ztmath::Vector3;

namespace {

constexpr int kPadPauseButton = 7;
constexpr float kSpikeWindow = 0.333f;
constexpr float kIceWindow = 0.125f;
constexpr float kGooWindow = 0.333f;

// The states that keep the panel on screen: menus and screens shown over the paused game.
bool KeepsPanel(const std::string& state)
{
    static const char* const kStates[] = {
        "MAIN_MENU_STATE", "PAUSE_MENU_STATE",           "WIN_STATE",       "LOSE_STATE",
        "CREDITS_STATE",   "SETTINGS_STATE",             "HOWTOPLAY_STATE", "PLAYER_DEATH_STATE",
        "FADE_OUT_STATE",  "QUITGAMECONFIRMATION_STATE", "SHRINE_UI_STATE",
    };
    for (const char* name : kStates)
        if (state == name)
            return true;
    return false;
}

}  // namespace

LevelSystem::LevelSystem(App* app)
    : Subsystem(app),
      m_renderer(app->GetGraphics3D()),
      m_physics(&app->m_physicsEngine),
      m_messaging(&app->m_messagingSystem),
      m_playerStatus(app->GetSharedData<PlayerStatus>("PlayerStatus")),
      m_health(app->GetSharedData<PlayerHealth>("PlayerHealth")),
      m_scene(app->GetSharedData<DungeonScene>("DungeonScene")),
      m_propManager(app->GetSharedData<PropManager>("PropManager")),
      m_modelManager(app->GetSharedData<ModelManager>("ModelManager")),
      m_levelState(app->GetSharedData<LevelState>("LevelState")),
      m_levelObjects(app->GetSharedData<LevelObj3DCont>("LevelObj3DCont")),
      m_regenerate(app->GetSharedData<RegenerateLevelBool>("RegenerateLevelBool")),
      m_resetEnv(app->GetSharedData<ResetEnvSysBool>("ResetEnvSysBool")),
      m_shops(app->GetSharedData<ShrineContainer>("ShrineContainer")),
      m_blessings(app->GetSharedData<Shrine2Container>("Shrine2Container")),
      m_fades(app->GetSharedData<FadeMessageQueue>("FadeMessageQueue")),
      m_shake(app->GetSharedData<CameraShakeData>("CameraShakeData")),
      m_hitDirection(app->GetSharedData<HitDirectionFeedbackData>("HitDirectionFeedbackData"))
{
}

void LevelSystem::Init()
{
    m_renderer = m_app->GetGraphics3D();
    m_renderer->SetCameraBasis(
        ztmath::Basis(Vector3(0.0f, 0.0f, -1.0f), Vector3(0.0f, 1.0f, 0.0f), true));
    m_renderer->SetCameraPosition(Vector3(0.0f, 0.0f, 2.0f));

    Gui& gui = Gui::Instance();
    m_window = gui.CreateWindow("Scene Select", true, 200.0f, 100.0f);
    const int list = gui.AddDropDownList(m_window, "Scene List", &m_sceneNames);
    m_selection = gui.GetDropDownListSelection(m_window, list);
    gui.AddButton(m_window, "Load Scene", [this] { LoadSelectedScene(); });
    gui.AddCheckbox(m_window, "Render Debug", &m_renderDebug);
    gui.AddCheckbox(m_window, "Render Physics Debug Shape", &m_drawShapes);
    gui.AddCheckbox(m_window, "Render All Physics Contact Points", &m_drawContacts);
    gui.AddInputFloat3(m_window, "SetPhysicsDebug Shape Color", m_shapeColour);
    gui.AddInputFloat3(m_window, "SetPhysicsDebug Contact Color", m_contactColour);
    gui.AddInputFloat(m_window, "SetPhysicDebug Contact Point Radius", &m_contactRadius);

    m_sceneNames.clear();
    for (const DungeonScene& scene : m_propManager->m_scenes)
        m_sceneNames.push_back(scene.m_name);

    // The first level loads whatever the list shows: game play never waits on a debug widget.
    LoadScene();
    m_firstLoad = false;

    m_messaging->RegisterHandler("REGENERATE_LEVEL", [this](const IEvent&) { LoadScene(); });
    m_messaging->RegisterHandler("DISABLE_DUNGEON_COLLIDERS",
                                 [this](const IEvent&) { SetBodiesActive(false); });
    m_messaging->RegisterHandler("ENABLE_DUNGEON_COLLIDERS",
                                 [this](const IEvent&) { SetBodiesActive(true); });
    m_messaging->RegisterHandler("SHOW_DUNGEON", [this](const IEvent&) { SetLevelShown(true); });
    m_messaging->RegisterHandler("HIDE_DUNGEON", [this](const IEvent&) { SetLevelShown(false); });
}

void LevelSystem::SetBodiesActive(bool active)
{
    // The test gym switches the level off over bodies that may already be off (hidden levels,
    // open doors): a second switch-off is skipped, so that no body saves "off" as the category
    // it gets back when the level is switched on again.
    if (!active && m_bodiesOff)
        return;
    m_bodiesOff = !active;
    for (PhysicsBody& body : m_levelObjects->m_bodies)
        body.SetActive(active);
}

void LevelSystem::SetLevelShown(bool shown)
{
    for (const InstanceHandle& instance : m_levelObjects->m_instances)
        instance.SetHidden(!shown);
    SetBodiesActive(shown);
}

void LevelSystem::Update(float dt)
{
    if (m_hazardTimer < 1.0f)
        m_hazardTimer += dt;

    m_renderer->SetRenderDebug(m_renderDebug);
    PhysicsDebugSettings& debug = m_app->m_physicsDebug;
    debug.drawShapes = m_drawShapes;
    debug.drawContacts = m_drawContacts;
    debug.contactSize = m_contactRadius;
    debug.contactColor = Vector3(m_contactColour[0], m_contactColour[1], m_contactColour[2]);
    debug.shapeColor = Vector3(m_shapeColour[0], m_shapeColour[1], m_shapeColour[2]);

    if (m_regenerate->m_regenerate) {
        m_regenerate->m_regenerate = false;
        LoadScene();
    }

    if (m_input != nullptr && (m_input->IsKeyReleased(GLFW_KEY_ESCAPE) ||
                               m_input->IsJoystickButtonReleased(0, kPadPauseButton))) {
        std::printf("PAUSE\n");
        m_app->ChangeState("PAUSE_MENU_STATE");
        return;
    }
    if (m_input != nullptr && m_input->IsKeyPressed(GLFW_KEY_GRAVE_ACCENT)) {
        m_guiShown = !m_guiShown;
        Gui::Instance().SetEnabled(m_guiShown);
        m_input->SetCursorEnabled(m_guiShown);
        m_messaging->SendEventByName(m_guiShown ? "SHOW_CUSTOM_CURSOR" : "HIDE_CUSTOM_CURSOR",
                                     IEvent());
    }

    if (m_propManager->m_scenes.size() != m_sceneNames.size()) {
        m_sceneNames.clear();
        for (const DungeonScene& scene : m_propManager->m_scenes)
            m_sceneNames.push_back(scene.m_name);
    }

    LevelObj3DCont& objects = *m_levelObjects;
    for (const auto& [instance, body] : objects.m_bodyOfInstance) {
        if (body < 0 || instance >= static_cast<int32_t>(objects.m_instances.size()))
            continue;
        const PhysicsBody& physicsBody = objects.m_bodies[body];
        InstanceTransform& transform = objects.m_instances[instance].GetInstance().m_transform;
        transform.m_position = physicsBody.GetPosition();
        transform.m_basis = ztmath::Basis::FromQuaternion(physicsBody.GetOrientation());
    }

    m_renderer->m_pointLights.clear();
    for (const PointLight& light : m_scene->m_pointLights)
        m_renderer->AddPointLight(light.m_position, light.m_colour, light.m_radius,
                                  light.m_diffuseIntensity);
    if (m_levelState->m_level == 0) {
        m_renderer->m_directionalLightEnabled = true;
    } else {
        m_renderer->AddPointLight(m_renderer->GetCameraPosition() + Vector3(0.0f, kLampHeight, 0.0f),
                                  m_lampColour, m_lampRadius, m_lampIntensity);
        m_renderer->m_directionalLightEnabled = false;
    }
}

void LevelSystem::Pause()
{
    m_app->ChangeState("PAUSE_MENU_STATE");
}

void LevelSystem::Resume()
{
    std::printf("resume from pause\n");
}

void LevelSystem::NextState(int newState)
{
    if (m_window < 0)
        return;
    if (!KeepsPanel(m_app->GetStateName(static_cast<uint32_t>(newState))))
        if (GuiWindow* window = Gui::Instance().GetManager().GetGuiWindow(m_window))
            window->visible = false;
}

void LevelSystem::SetToCurrentState()
{
    for (const InstanceHandle& instance : m_levelObjects->m_instances)
        instance.SetHidden(false);
    SetBodiesActive(true);
    if (m_window >= 0)
        if (GuiWindow* window = Gui::Instance().GetManager().GetGuiWindow(m_window))
            window->visible = true;
}

void LevelSystem::Render(DebugDraw& drawer, float)
{
    drawer.SetColor(Vector3(1.0f, 0.0f, 0.0f));
    for (const PhysicsBody& body : m_levelObjects->m_bodies)
        drawer.DrawBox(body.GetPosition(), body.GetOrientation(), Vector3(2.0f, 2.0f, 2.0f));
}

void LevelSystem::LoadSelectedScene()
{
    if (m_selection == nullptr || *m_selection < 0 ||
        *m_selection >= static_cast<int32_t>(m_sceneNames.size()))
        return;
    LoadScene();
}

void LevelSystem::LoadScene()
{
    std::cerr << "Loading scene\n";

    CountedVector<ShopShrine>& shops = m_shops->m_shrines;
    shops.erase(std::remove_if(shops.begin(), shops.end(),
                               [](const ShopShrine& shrine) { return !shrine.m_keep; }),
                shops.end());
    m_blessings->m_shrines.clear();

    LevelObj3DCont& objects = *m_levelObjects;
    ClearLevelObjects(*m_renderer, *m_physics, objects);
    // The new level's bodies are made switched on.
    m_bodiesOff = false;

    m_resetEnv->m_reset = true;
    m_messaging->SendEventByName("RESET_ENVIRONMENT_SYSTEM", IEvent());

    if (!m_firstLoad) {
        m_fades->PushTeleport(m_scene->m_playerStart, "GAMEPLAY_STATE");
        m_messaging->SendEventByName("TELEPORT_PLAYER_BEGIN", IEvent());
        m_messaging->SendEventByName("PLAYER_WARP", IEvent());
        m_fades->PushEvent(m_messaging->GetEventId("SHOW_DUNGEON"), "GAMEPLAY_STATE");
        m_app->ChangeState("FADE_OUT_STATE");
    }

    for (const Prop& prop : m_scene->m_props) {
        int32_t model = -1;
        InstanceHandle instance = CreatePropInstance(*m_renderer, *m_modelManager, prop, model);
        InstanceData& data = instance.GetInstance();
        data.m_castShadow = prop.m_reserved0;
        data.m_hidden = 1;

        objects.m_instances.push_back(instance);
        const int32_t i = static_cast<int32_t>(objects.m_instances.size()) - 1;

        if (prop.m_modelName == "Treasure_Chest") {
            BlessingShrine shrine;
            shrine.m_position = prop.m_position;
            shrine.m_radius = 6.0f;
            shrine.m_blessing = ztplatform::Rand() % 6;
            shrine.m_instance = i;
            shrine.m_active = true;
            m_blessings->m_shrines.push_back(shrine);
        }

        if (!prop.m_enableCollision) {
            objects.m_bodyOfInstance[i] = -1;
            continue;
        }
        const uint32_t shape =
            FindColliderShape(prop.m_colliderIndex, prop.m_colliderType, prop.m_scale, model);
        const ztmath::Quaternion orientation = data.m_transform.m_basis.ToQuaternion();
        PhysicsBody body;
        const std::string& name = prop.m_modelName;
        if (name == "barrelmodel" || name == "Crate4") {
            body = m_physics->CreateDynamicRigidBody(shape, prop.m_position, orientation, 10.0f);
            body.SetUserTypeId(kBodyTypeBreakable);
            body.SetCollisionCategoryBits(kCollisionCategoryPlayer);
        } else if (name == "dungeon_spikes_model" || name == "dungeon_ice_model" ||
                   name == "GooModel") {
            ContactCallback onContact;
            int32_t type = kBodyTypeSpikes;
            if (name == "dungeon_spikes_model") {
                onContact = [this](const PhysicsBody& other, const ContactInfo& info) {
                    OnSpikesContact(other.GetUserTypeID(), info);
                };
            } else if (name == "dungeon_ice_model") {
                type = kBodyTypeIce;
                onContact = [this](const PhysicsBody& other, const ContactInfo&) {
                    OnIceContact(other.GetUserTypeID());
                };
            } else {
                type = kBodyTypeGoo;
                onContact = [this](const PhysicsBody& other, const ContactInfo&) {
                    OnGooContact(other.GetUserTypeID());
                };
            }
            body = m_physics->CreateStaticBody(shape, prop.m_position, orientation, onContact);
            body.SetUserTypeId(type);
            body.DisableCollisionContactResponse();
            body.SetCollisionCategoryBits(kCollisionCategoryScenery);
        } else {
            body = m_physics->CreateStaticBody(shape, prop.m_position, orientation);
            body.SetUserTypeId(kBodyTypeScenery);
            body.SetCollisionCategoryBits(kCollisionCategoryScenery);
        }
        objects.m_bodies.push_back(body);
        objects.m_bodyOfInstance[i] = static_cast<int32_t>(objects.m_bodies.size()) - 1;
    }
}

uint32_t LevelSystem::FindColliderShape(int32_t colliderIndex, int32_t colliderType,
                                        const Vector3& scale, int32_t model)
{
    return FindPropColliderShape(m_colliderShapes, *m_renderer, *m_physics, colliderIndex,
                                 colliderType, scale, model);
}

void LevelSystem::OnSpikesContact(int32_t otherType, const ContactInfo& info)
{
    if (otherType != kBodyTypePlayer)
        return;
    *m_shake = CameraShakeData{true, 0.05f, 1.0f};
    *m_hitDirection = HitDirectionFeedbackData{true, 0.05f, 3.14159265f};
    if (m_playerStatus->m_invulnerable)
        return;
    if (m_hazardTimer < kSpikeWindow) {
        m_health->m_currentHealth -= m_health->m_maxHealth * 0.125f * m_hazardTimer;
    } else {
        m_health->m_currentHealth -= m_health->m_maxHealth * 0.25f;
        m_hitRecord[0] = info.point.x;
        m_hitRecord[1] = info.point.y;
        m_hitRecord[2] = info.point.z;
        m_hitRecord[3] = info.normal.x;
        m_hitRecord[4] = info.normal.y;
        m_hitRecord[5] = info.normal.z;
        m_messaging->SendEventByName("PLAYER_GOT_HIT", IEvent(0, m_hitRecord));
    }
    m_hazardTimer = 0.0f;
}

void LevelSystem::OnIceContact(int32_t otherType)
{
    if (otherType != kBodyTypePlayer)
        return;
    if (m_hazardTimer < kIceWindow && m_playerStatus->m_stamina > 0.0f)
        m_playerStatus->m_stamina -= m_playerStatus->m_maxStamina / 1.8181819f * m_hazardTimer;
    m_hazardTimer = 0.0f;
}

void LevelSystem::OnGooContact(int32_t otherType)
{
    if (otherType != kBodyTypePlayer)
        return;
    float& health = m_health->m_currentHealth;
    float& stamina = m_playerStatus->m_stamina;
    if (!m_gooHeld) {
        m_gooHeld = true;
        m_heldHealth = health;
        m_heldStamina = stamina;
    }
    if (m_hazardTimer < kGooWindow) {
        m_heldHealth = std::max(1.0f, std::min(m_heldHealth, health));
        health = m_heldHealth;
        m_heldStamina = std::max(0.0f, std::min(m_heldStamina, stamina));
        stamina = m_heldStamina;
    } else {
        m_heldHealth = health;
        m_heldStamina = stamina;
    }
    m_hazardTimer = 0.0f;
}

}  // namespace ztengine
