// The scene editor: its windows, the per-frame steps that keep the widgets, the working scene
// and the drawn instances in step, the fly camera and mouse dragging, and the scene buttons.
//
// [SECTION] Construction and Init
// [SECTION] State changes
// [SECTION] Update steps
// [SECTION] Camera and mouse
// [SECTION] Selection and arrows
// [SECTION] Scene buttons
#include "core/subsys/Editors/SceneEditor/SceneEditor.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/Editors/EditorCommon.h"

namespace ztengine {

namespace {

constexpr const char* kArrowModel = "arrowmodel";
constexpr const char* kUnnamedLight = "PointLight";
const ztmath::Vector3 kEditorCameraOffset(20.0f, 50.0f, 0.0f);
// Fly speed per second, and degrees of turn per pixel of cursor movement.
constexpr float kFlySpeed = 30.0f;
constexpr float kTurnPerPixel = 0.1f * 3.0f;
// Height change per pixel of vertical cursor movement while dragging.
constexpr float kDragPerPixel = 0.1f;
constexpr unsigned kLeftButton = 0;
constexpr unsigned kRightButton = 1;

bool IsIndexOf(int32_t index, size_t size)
{
    return index >= 0 && static_cast<size_t>(index) < size;
}

bool HasInstance(const InstanceHandle& instance)
{
    return HasEditorPreview(instance);
}

// The field's text, never reading past its end.
std::string FieldText(const char* field)
{
    return std::string(field, strnlen(field, SceneEditor::kNameSize));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] Construction and Init

SceneEditor::SceneEditor(App* app)
    : Subsystem(app),
      m_colliderNames{"Sphere", "Box"},
      m_props(app->GetSharedData<PropManager>("PropManager")),
      m_models(app->GetSharedData<ModelManager>("ModelManager"))
{
    std::memset(m_sceneName, 0, sizeof(m_sceneName));
    std::memset(m_propName, 0, sizeof(m_propName));
    std::memset(m_lightName, 0, sizeof(m_lightName));
}

void SceneEditor::Init()
{
    BuildWindows();

    m_app->QueueJob([this]() {
        for (const ModelInfo& model : m_models->m_models)
            m_modelNames.push_back(model.m_modelName);
        CreatePreviewIfReady();
        return true;
    });

    GuiManager& gui = Gui::Instance().GetManager();
    SetEditorWindowsVisible(gui,
                            {m_propListWindow, m_sceneWindow, m_selectedPropWindow,
                             m_pointLightWindow, m_sceneSettingsWindow},
                            false);

    m_gameCameraBasis = m_graphics->GetCameraBasis();
    m_gameCameraPosition = m_graphics->GetCameraPosition();
    m_editorCameraBasis = m_gameCameraBasis;
    m_editorCameraPosition = kEditorCameraOffset;
    m_editorCameraBasis.SetForward(-kEditorCameraOffset);

    for (const DungeonScene& scene : m_props->m_scenes)
        m_sceneNames.push_back(scene.m_name);

    CreatePreviewIfReady();

    const int32_t arrowModel = m_models->GetModel(kArrowModel);
    if (m_graphics->isValidInstance(arrowModel)) {
        for (InstanceHandle& arrow : m_arrows)
            arrow = m_graphics->CreateInstance(arrowModel, InstanceTransform());
        m_arrows[1].GetInstance().m_transform.m_basis.Roll(-90.0f);
        m_arrows[2].GetInstance().m_transform.m_basis.Pitch(90.0f);
    } else {
        std::printf("Scene editor: no model for \"%s\", the selection has no arrows\n",
                    kArrowModel);
        std::fflush(stdout);
    }
    ShowArrows(false);
    m_initialised = true;
}

void SceneEditor::BuildWindows()
{
    Gui& gui = Gui::Instance();

    m_propListWindow = gui.CreateWindow("Prop List Window", true, 300.0f, 200.0f);
    const int modelList = gui.AddDropDownList(m_propListWindow, "Model List", &m_modelNames);
    m_modelSelection = gui.GetDropDownListSelection(m_propListWindow, modelList);

    const int scene = m_sceneWindow = gui.CreateWindow("Scene", true, 300.0f, 350.0f);
    gui.AddCheckbox(scene, "Create Prop in Scene", &m_createProp);
    gui.AddCheckbox(scene, "Create Light in Scene", &m_createLight);
    gui.AddVarView(scene, &m_lightCount, GuiVarViewUnsigned, "Light Count");
    gui.AddTextRef(scene, &m_status);
    const int load = gui.AddCollapsingHeader(scene, "Load");
    const int sceneList = gui.AddDropDownList(scene, "Scene List", &m_sceneNames, load);
    m_sceneSelection = gui.GetDropDownListSelection(scene, sceneList);
    gui.AddButton(scene, "Load Scene", [this]() { LoadScene(); }, load);
    gui.AddButton(scene, "Set Scene as Default", []() {}, load);
    const int save = gui.AddCollapsingHeader(scene, "Save");
    gui.AddInputText(scene, "Scene Name", m_sceneName, save);
    gui.AddButton(scene, "Save Scene", [this]() { SaveScene(); }, save);
    gui.AddButton(scene, "Copy Selected Scene Name", [this]() { CopySelectedSceneName(); }, save);
    const int props = gui.AddCollapsingHeader(scene, "Scene Props");
    const int propList = gui.AddDropDownList(scene, "Prop List", &m_propNames, props);
    m_propSelection = gui.GetDropDownListSelection(scene, propList);
    const int lights = gui.AddCollapsingHeader(scene, "Scene Lights");
    const int lightList = gui.AddDropDownList(scene, "Light List", &m_lightNames, lights);
    m_lightSelection = gui.GetDropDownListSelection(scene, lightList);
    const int options = gui.AddCollapsingHeader(scene, "Scene Options");
    gui.AddCheckbox(scene, "Position Arrows", &m_positionArrows, options);
    gui.AddCheckbox(scene, "Scale Arrows", &m_scaleArrows, options);
    gui.AddCheckbox(scene, "Enable Preview", &m_enablePreview, options);
    gui.AddCheckbox(scene, "Enable Shadows", &m_enableShadows, options);
    gui.AddCheckbox(scene, "Enable Prop Debug Boxes", &m_propDebugBoxes, options);
    gui.AddCheckbox(scene, "Enable Light Debug Boxes", &m_lightDebugBoxes, options);

    const int prop = m_selectedPropWindow =
        gui.CreateWindow("Selected Prop Window", false, 300.0f, 330.0f);
    gui.AddInputText(prop, "Prop Name", m_propName);
    gui.AddDragFloat3(prop, "Position", m_editProp.m_position.data, 0.05f);
    gui.AddDragFloat3(prop, "Scale", m_editProp.m_scale.data, 0.05f);
    gui.AddInputFloat2(prop, "Tiling", m_editProp.m_tiling);
    gui.AddSliderFloat(prop, "Pitch", &m_editProp.m_pitch, -360.0f, 360.0f);
    gui.AddSliderFloat(prop, "Roll", &m_editProp.m_roll, -360.0f, 360.0f);
    gui.AddSliderFloat(prop, "Yaw", &m_editProp.m_yaw, -360.0f, 360.0f);
    gui.AddCheckbox(prop, "Enable Rendering", &m_editProp.m_enableRender);
    gui.AddCheckbox(prop, "Enable Fake Lighting", &m_editProp.m_enableFakeLight);
    gui.AddCheckbox(prop, "Enable Collision", &m_editProp.m_enableCollision);
    const int collider = gui.AddDropDownList(prop, "Collider Type", &m_colliderNames);
    m_colliderSelection = gui.GetDropDownListSelection(prop, collider);
    gui.AddButton(prop, "Clone Prop", [this]() { CloneProp(); });
    gui.AddButton(prop, "Delete Prop", [this]() { DeleteProp(); });

    const int light = m_pointLightWindow = gui.CreateWindow("Point Light", false, 300.0f, 200.0f);
    gui.AddInputText(light, "Point Light Name", m_lightName);
    gui.AddDragFloat3(light, "Position", m_editLight.m_position.data, 0.05f);
    gui.AddInputFloat3(light, "Colour", m_editLight.m_colour.data);
    gui.AddInputFloat(light, "Diff Intensity", &m_editLight.m_diffuseIntensity);
    gui.AddInputFloat(light, "Radius", &m_editLight.m_radius);
    gui.AddButton(light, "Clone Light", [this]() { CloneLight(); });
    gui.AddButton(light, "Delete Light", [this]() { DeleteLight(); });

    const int settings = m_sceneSettingsWindow =
        gui.CreateWindow("Scene Settings", false, 300.0f, 200.0f);
    gui.AddInputFloat3(settings, "Player Start Pos", m_scenePlayerStart.data);
    gui.AddInputFloat3(settings, "Direction", m_sceneLightDirection.data);
    gui.AddInputFloat3(settings, "Colour", m_sceneLightColour.data);
    gui.AddCheckbox(settings, "Enabled", &m_sceneLightEnabled);
}

void SceneEditor::CreatePreviewIfReady()
{
    if (HasInstance(m_preview) || m_modelNames.empty())
        return;
    const int32_t model = m_models->GetModel(m_modelNames.front().c_str());
    if (!m_graphics->isValidInstance(model))
        return;
    InstanceTransform transform;
    transform.m_scale = ztmath::Vector3(1.0f, 1.0f, 1.0f);
    m_preview = m_graphics->CreateInstance(model, transform);
    m_preview.SetHidden(true);
    m_previewModel = model;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] State changes

void SceneEditor::SetEditorHidden(bool hide)
{
    GuiManager& gui = Gui::Instance().GetManager();
    if (!hide) {
        SetEditorWindowsVisible(
            gui, {m_propListWindow, m_selectedPropWindow, m_sceneWindow, m_sceneSettingsWindow},
            true);
        m_graphics->SetRenderDebug(true);
        SetEditorPreviewHidden(m_preview, false);
        m_props->ShowAllProps();
        return;
    }
    m_graphics->m_simpleLighting = true;
    SetEditorWindowsVisible(gui,
                            {m_propListWindow, m_sceneWindow, m_selectedPropWindow,
                             m_pointLightWindow, m_sceneSettingsWindow},
                            false);
    m_graphics->SetRenderDebug(true);
    SetEditorPreviewHidden(m_preview, true);
    m_props->HideAllProps();
    ShowArrows(false);
    m_graphics->m_simpleLighting = false;
}

void SceneEditor::SetToCurrentState()
{
    // The mouse is freed even before Init: the state may be entered from a state that had
    // captured it, and without it the panels could not be reached.
    ShowEditorCursor(*m_app);
    // Before Init there is nothing to show, and the camera saved now would be overwritten by
    // the call that follows Init.
    if (!m_initialised)
        return;
    SetEditorHidden(false);
    m_gameCameraBasis = m_graphics->GetCameraBasis();
    m_gameCameraPosition = m_graphics->GetCameraPosition();
    m_graphics->SetCameraBasis(m_editorCameraBasis);
    m_graphics->SetCameraPosition(m_editorCameraPosition);
}

void SceneEditor::NextState(int /*newState*/)
{
    HideEditorCursor(*m_app);
    if (!m_initialised)
        return;
    SetEditorHidden(true);
    m_graphics->SetCameraBasis(m_gameCameraBasis);
    m_graphics->SetCameraPosition(m_gameCameraPosition);
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Update steps

void SceneEditor::Update(float dt)
{
    if (!m_initialised)
        return;
    SetEditorHidden(false);
    SyncNameLists();
    ApplyModeToggles();
    SyncListSelections();
    UpdateWindowVisibility();
    UpdateCamera(dt);
    m_lightCount = static_cast<uint32_t>(m_props->m_workingLights.size());
    UpdatePreviewModel();
    UpdateColliderType();
    UpdateMouse();
    WriteBackSelection();

    m_props->m_lightDirection = m_sceneLightDirection;
    m_props->m_lightColour = m_sceneLightColour;
    m_props->m_lightEnabled = m_sceneLightEnabled;
    m_props->m_playerStart = m_scenePlayerStart;
    m_props->ApplyPropsToInstances();
    m_graphics->m_simpleLighting = !m_enablePreview;
}

void SceneEditor::SyncNameLists()
{
    if (m_props->m_scenes.size() != m_sceneNames.size()) {
        m_sceneNames.clear();
        for (const DungeonScene& scene : m_props->m_scenes)
            m_sceneNames.push_back(scene.m_name);
    }
    if (m_models->m_models.size() != m_modelNames.size()) {
        m_modelNames.clear();
        for (const ModelInfo& model : m_models->m_models)
            m_modelNames.push_back(model.m_modelName);
        CreatePreviewIfReady();
    }
    if (m_props->m_workingProps.size() != m_propNames.size()) {
        m_propNames.clear();
        for (const WorkingProp& working : m_props->m_workingProps) {
            const Prop& prop = working.m_prop;
            m_propNames.push_back(prop.m_name.empty() ? prop.m_modelName : prop.m_name);
        }
    }
    if (m_props->m_workingLights.size() != m_lightNames.size()) {
        m_lightNames.clear();
        for (const PointLight& light : m_props->m_workingLights)
            m_lightNames.push_back(light.m_name.empty() ? kUnnamedLight : light.m_name);
    }
}

void SceneEditor::ApplyModeToggles()
{
    // A switch that was turned on clears its partner. Space moves from Create Prop to Create
    // Light in one step, so both create switches change in that frame: only the one now on may
    // decide, or the cycle would end with neither. A switch turned off leaves its partner off.
    auto exclusive = [](bool& a, bool& previousA, bool& b, bool& previousB) {
        if (a != previousA && a)
            b = false;
        if (b != previousB && b)
            a = false;
        previousA = a;
        previousB = b;
    };
    exclusive(m_createProp, m_previousCreateProp, m_createLight, m_previousCreateLight);
    exclusive(m_positionArrows, m_previousPositionArrows, m_scaleArrows, m_previousScaleArrows);
}

void SceneEditor::SyncListSelections()
{
    if (m_selectedProp != m_syncedProp) {
        *m_propSelection = m_selectedProp;
        m_syncedProp = m_selectedProp;
        m_lastPropSelection = m_selectedProp;
    } else if (*m_propSelection != m_lastPropSelection) {
        m_lastPropSelection = *m_propSelection;
        if (IsIndexOf(m_lastPropSelection, m_props->m_workingProps.size())) {
            SelectProp(m_lastPropSelection);
            m_syncedProp = m_selectedProp;
            FocusCamera(m_editProp.m_position);
        }
    }

    if (m_selectedLight != m_syncedLight) {
        *m_lightSelection = m_selectedLight;
        m_syncedLight = m_selectedLight;
        m_lastLightSelection = m_selectedLight;
    } else if (*m_lightSelection != m_lastLightSelection) {
        m_lastLightSelection = *m_lightSelection;
        if (IsIndexOf(m_lastLightSelection, m_props->m_workingLights.size())) {
            SelectLight(m_lastLightSelection);
            m_syncedLight = m_selectedLight;
            FocusCamera(m_editLight.m_position);
        }
    }
}

void SceneEditor::UpdateWindowVisibility()
{
    GuiManager& gui = Gui::Instance().GetManager();
    SetEditorWindowsVisible(gui, {m_propListWindow}, m_createProp);
    SetEditorWindowsVisible(gui, {m_selectedPropWindow}, IsPropSelected());
    SetEditorWindowsVisible(gui, {m_pointLightWindow}, IsLightSelected());
}

void SceneEditor::UpdatePreviewModel()
{
    if (*m_modelSelection == m_lastModelSelection)
        return;
    // Kept pending while there is no preview yet: it takes the pick once it exists.
    if (!HasInstance(m_preview))
        return;
    if (IsIndexOf(*m_modelSelection, m_modelNames.size())) {
        const int32_t model =
            m_models->GetModel(m_modelNames[static_cast<size_t>(*m_modelSelection)].c_str());
        if (model != m_previewModel && m_graphics->isValidInstance(model)) {
            m_graphics->ChangeInstanceModel(m_preview, model);
            m_previewModel = model;
        }
    }
    m_lastModelSelection = *m_modelSelection;
}

void SceneEditor::UpdateColliderType()
{
    if (*m_colliderSelection == m_lastColliderSelection)
        return;
    m_editProp.m_colliderType = *m_colliderSelection;
    m_lastColliderSelection = *m_colliderSelection;
}

void SceneEditor::WriteBackSelection()
{
    if (IsPropSelected()) {
        TakeEditedName(m_propName, m_propNameShown, m_editProp.m_name);
        m_props->m_workingProps[static_cast<size_t>(m_selectedProp)].m_prop = m_editProp;
        MoveArrows(m_editProp.m_position);
    } else if (IsLightSelected()) {
        TakeEditedName(m_lightName, m_lightNameShown, m_editLight.m_name);
        m_props->SetPointLight(m_selectedLight, m_editLight);
        MoveArrows(m_editLight.m_position);
    }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Camera and mouse

void SceneEditor::UpdateCamera(float dt)
{
    const float step = dt * kFlySpeed;
    ztmath::Basis orientation = m_graphics->GetCameraBasis();
    const ztmath::Vector3 forward = orientation.forward;
    const ztmath::Vector3 side(orientation.right.x, 0.0f, orientation.right.z);

    if (m_input->IsKeyHeld(GLFW_KEY_W) && forward.Length() > 0.0f)
        m_editorCameraPosition += forward.Normalized() * step;
    if (m_input->IsKeyHeld(GLFW_KEY_S) && forward.Length() > 0.0f)
        m_editorCameraPosition -= forward.Normalized() * step;
    // Looking straight up or down leaves no sideways direction on the ground.
    if (m_input->IsKeyHeld(GLFW_KEY_A) && side.Length() > 0.0f)
        m_editorCameraPosition += side.Normalized() * step;
    if (m_input->IsKeyHeld(GLFW_KEY_D) && side.Length() > 0.0f)
        m_editorCameraPosition -= side.Normalized() * step;
    if (m_input->IsKeyHeld(GLFW_KEY_Q))
        m_editorCameraPosition.y -= step;
    if (m_input->IsKeyHeld(GLFW_KEY_E))
        m_editorCameraPosition.y += step;

    if (m_input->IsKeyPressed(GLFW_KEY_SPACE)) {
        if (m_createProp) {
            m_createProp = false;
            m_createLight = true;
        } else if (m_createLight) {
            m_createLight = false;
        } else {
            m_createProp = true;
        }
    }
    if (m_input->IsKeyPressed(GLFW_KEY_DELETE)) {
        DeleteProp();
        DeleteLight();
    }

    if (m_input->IsMouseButtonHeld(kRightButton)) {
        const float* delta = m_input->GetCursorDelta();
        orientation.Yaw(delta[0] * -kTurnPerPixel);
        orientation.Pitch(delta[1] * kTurnPerPixel);
    }

    m_graphics->SetCameraPosition(m_editorCameraPosition);
    m_graphics->SetCameraBasis(orientation);
    m_graphics->GetCameraBasis().RemoveRoll();
}

void SceneEditor::UpdateMouse()
{
    if (m_createProp) {
        SetEditorPreviewHidden(m_preview, false);
        return;
    }
    SetEditorPreviewHidden(m_preview, true);
    if (m_createLight)
        return;

    if (!m_input->IsMouseButtonHeld(kLeftButton)) {
        m_dragging = false;
        return;
    }
    if (!m_dragging) {
        m_dragging = true;
        return;
    }
    ztmath::Vector3* target = &m_editLight.m_position;
    if (IsPropSelected())
        target = m_positionArrows ? &m_editProp.m_position : &m_editProp.m_scale;
    const float up = m_graphics->GetCameraBasis().up.y;
    target->y -= up * m_input->GetCursorDelta()[1] * kDragPerPixel;
}

void SceneEditor::FocusCamera(const ztmath::Vector3& p)
{
    m_editorCameraPosition = p + kEditorCameraOffset;
    m_editorCameraBasis.SetForward(p - m_editorCameraPosition);
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Selection and arrows

bool SceneEditor::IsPropSelected() const
{
    return IsIndexOf(m_selectedProp, m_props->m_workingProps.size());
}

bool SceneEditor::IsLightSelected() const
{
    return IsIndexOf(m_selectedLight, m_props->m_workingLights.size());
}

void SceneEditor::SelectProp(int32_t i)
{
    if (!IsIndexOf(i, m_props->m_workingProps.size()))
        return;
    m_editProp = m_props->m_workingProps[static_cast<size_t>(i)].m_prop;
    if (m_colliderSelection != nullptr)
        *m_colliderSelection = m_editProp.m_colliderType;
    FillNameField(m_propName, m_propNameShown, m_editProp.m_name);
    m_selectedProp = i;
    ShowArrows(true);
    MoveArrows(m_editProp.m_position);
    m_selectedLight = -1;
}

void SceneEditor::SelectLight(int32_t i)
{
    if (!IsIndexOf(i, m_props->m_workingLights.size()))
        return;
    m_editLight = m_props->m_workingLights[static_cast<size_t>(i)];
    FillNameField(m_lightName, m_lightNameShown, m_editLight.m_name);
    m_selectedLight = i;
    m_selectedProp = -1;
    ShowArrows(true);
    MoveArrows(m_editLight.m_position);
}

void SceneEditor::FillNameField(char* field, std::string& shownName, const std::string& name)
{
    CopyToField(field, kNameSize, name);
    shownName = FieldText(field);
}

void SceneEditor::TakeEditedName(const char* field, const std::string& shownName,
                                 std::string& name)
{
    std::string text = FieldText(field);
    if (text != shownName)
        name = std::move(text);
}

void SceneEditor::ShowArrows(bool show)
{
    for (const InstanceHandle& arrow : m_arrows) {
        if (!HasInstance(arrow))
            continue;
        arrow.SetHidden(!show);
        if (!show)
            arrow.GetInstance().m_transform.m_position =
                ztmath::Vector3(kArrowParking, kArrowParking, kArrowParking);
    }
}

void SceneEditor::MoveArrows(const ztmath::Vector3& position)
{
    for (const InstanceHandle& arrow : m_arrows) {
        if (HasInstance(arrow))
            arrow.GetInstance().m_transform.m_position = position;
    }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Scene buttons

void SceneEditor::LoadScene()
{
    // Nothing to read: the working scene is kept rather than emptied.
    if (m_sceneSelection == nullptr || !IsIndexOf(*m_sceneSelection, m_sceneNames.size()))
        return;
    const std::string name = m_sceneNames[static_cast<size_t>(*m_sceneSelection)];

    m_props->ClearWorkingScene();
    m_propNames.clear();
    m_lightNames.clear();
    // The old selection would write the old scene's values over the loaded one.
    m_selectedProp = m_syncedProp = m_lastPropSelection = -1;
    m_selectedLight = m_syncedLight = m_lastLightSelection = -1;
    // The lists show no pick either, so that picking their first entry selects it.
    *m_propSelection = -1;
    *m_lightSelection = -1;
    ShowArrows(false);

    const DungeonScene scene = m_props->GetScene(name);
    for (const Prop& prop : scene.m_props) {
        InstanceTransform transform;
        transform.m_position = prop.m_position;
        transform.m_scale = prop.m_scale;
        WorkingProp working;
        working.m_prop = prop;
        working.m_instance = CreatePropInstance(prop.m_modelName, transform);
        m_props->m_workingProps.push_back(std::move(working));
    }
    for (const PointLight& light : scene.m_pointLights)
        m_props->m_workingLights.push_back(light);

    m_props->m_lightDirection = m_sceneLightDirection = scene.m_lightDirection;
    m_props->m_lightColour = m_sceneLightColour = scene.m_lightColour;
    m_props->m_lightEnabled = m_sceneLightEnabled = scene.m_lightEnabled;
    m_props->m_playerStart = m_scenePlayerStart = scene.m_playerStart;
}

InstanceHandle SceneEditor::CreatePropInstance(const std::string& modelName,
                                               const InstanceTransform& transform)
{
    const int32_t model = m_models->GetModel(modelName.c_str());
    if (!m_graphics->isValidInstance(model)) {
        // Only before the models are built: the prop is kept and simply not drawn.
        std::printf("Scene editor: no model to draw \"%s\" yet\n", modelName.c_str());
        std::fflush(stdout);
        return InstanceHandle();
    }
    return m_graphics->CreateInstance(model, transform);
}

void SceneEditor::SaveScene()
{
    const std::string name = FieldText(m_sceneName);
    if (name.empty())
        return;
    // The name becomes the scene's file names: it must not lead out of the scene folder.
    if (const char* problem = SceneNameProblem(name)) {
        m_status = "Scene name \"" + name + "\" " + problem + ": not saved.";
        std::printf("%s\n", m_status.c_str());
        std::fflush(stdout);
        return;
    }
    m_props->StoreCurrentScene(name.c_str());
    m_props->Save();
    m_status = "Scene " + name + " saved.";
}

void SceneEditor::CopySelectedSceneName()
{
    if (m_sceneSelection == nullptr || !IsIndexOf(*m_sceneSelection, m_props->m_scenes.size()))
        return;
    CopyToField(m_sceneName, kNameSize,
                m_props->m_scenes[static_cast<size_t>(*m_sceneSelection)].m_name);
}

void SceneEditor::CloneProp()
{
    if (!IsPropSelected())
        return;
    const Prop& selected = m_props->m_workingProps[static_cast<size_t>(m_selectedProp)].m_prop;
    Prop clone;
    clone.m_modelName = m_editProp.m_modelName;
    clone.m_tiling[0] = selected.m_tiling[0];
    clone.m_tiling[1] = selected.m_tiling[1];
    clone.m_position = selected.m_position;
    clone.m_scale = selected.m_scale;
    clone.m_pitch = selected.m_pitch;
    clone.m_yaw = selected.m_yaw;
    clone.m_roll = selected.m_roll;
    clone.m_enableRender = selected.m_enableRender;
    clone.m_enableFakeLight = selected.m_enableFakeLight;
    clone.m_enableCollision = selected.m_enableCollision;
    clone.m_colliderType = selected.m_colliderType;
    // The clone gets its own collider when a level builds it, never the original's.
    clone.m_colliderIndex = -1;

    WorkingProp working;
    working.m_instance = CreatePropInstance(clone.m_modelName, InstanceTransform());
    if (HasInstance(working.m_instance)) {
        InstanceData& data = working.m_instance.GetInstance();
        data.m_transform.m_position = clone.m_position;
        data.m_transform.m_scale = clone.m_scale;
        working.m_instance.SetTiling(ztmath::Vector2(clone.m_tiling[0], clone.m_tiling[1]));
    }
    working.m_prop = std::move(clone);
    m_props->m_workingProps.push_back(std::move(working));
}

void SceneEditor::CloneLight()
{
    PointLight clone;
    clone.m_position = m_editLight.m_position;
    clone.m_colour = m_editLight.m_colour;
    clone.m_diffuseIntensity = m_editLight.m_diffuseIntensity;
    clone.m_radius = m_editLight.m_radius;
    m_props->m_workingLights.push_back(std::move(clone));
}

void SceneEditor::DeleteProp()
{
    if (!IsPropSelected())
        return;
    m_props->RemoveProp(m_selectedProp);
    ShowArrows(false);
    m_selectedProp = -1;
}

void SceneEditor::DeleteLight()
{
    if (!IsLightSelected())
        return;
    m_props->RemovePointLight(m_selectedLight);
    ShowArrows(false);
    m_selectedLight = -1;
}

}  // namespace ztengine
