// The model editor: the model build at the end of loading, panel, preview and the buttons.
#include "core/subsys/Editors/ModelEditor/ModelEditor.h"

#include <algorithm>

#include "core/App.h"
#include "core/resources/ResourceJson.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/Editors/EditorCommon.h"

namespace ztengine {

namespace {

GuiManager& Manager()
{
    return Gui::Instance().GetManager();
}

// The last entry equal to `name`, or -1.
int32_t FindLast(const std::vector<std::string>& names, const std::string& name)
{
    for (size_t i = names.size(); i > 0; --i) {
        if (names[i - 1] == name) {
            return static_cast<int32_t>(i - 1);
        }
    }
    return -1;
}

bool InRange(int32_t index, size_t size)
{
    return index >= 0 && static_cast<size_t>(index) < size;
}

}  // namespace

ModelEditor::ModelEditor(App* app)
    : Subsystem(app),
      m_models(app->GetSharedData<ModelManager>("ModelManager")),
      m_meshes(app->GetSharedData<MeshManager>("MeshManager")),
      m_materials(app->GetSharedData<MaterialManager>("MaterialManager"))
{
    m_modelSelection = &m_unboundSelections[0];
    m_materialSelection = &m_unboundSelections[1];
    m_meshSelection = &m_unboundSelections[2];
    m_animationFileSelection = &m_unboundSelections[3];
    m_chosenRowSelection = &m_unboundSelections[4];
}

void ModelEditor::Init()
{
    m_models->BuildModels(*m_graphics, *m_materials, *m_meshes);

    GuiManager& gui = Manager();
    m_listWindow = gui.CreateWindow("Model List", true, 300.0f, 200.0f);
    m_mainWindow = gui.CreateWindow("Model Editor", true, 400.0f, 300.0f);
    SetEditorWindowsVisible(gui, {m_listWindow, m_mainWindow}, false);

    auto bind = [&gui](int window, int widget, int*& selection) {
        if (int* bound = gui.GetDropDownListSelection(window, widget)) {
            selection = bound;
        }
    };
    bind(m_listWindow, gui.AddDropDownList(m_listWindow, "Model List", &m_modelNames),
         m_modelSelection);
    bind(m_mainWindow, gui.AddDropDownList(m_mainWindow, "Material List", &m_materialNames),
         m_materialSelection);
    bind(m_mainWindow, gui.AddDropDownList(m_mainWindow, "Mesh List", &m_meshNames),
         m_meshSelection);
    bind(m_mainWindow, gui.AddDropDownList(m_mainWindow, "Anim List", &m_animationFiles),
         m_animationFileSelection);
    gui.AddButton(m_mainWindow, "Add selected animation", [this]() { AddSelectedAnimation(); });
    if (int* rows = gui.GetListSelection(m_mainWindow, gui.AddList(m_mainWindow, &m_chosenAnimations))) {
        m_chosenRowSelection = rows;
    }
    gui.AddButton(m_mainWindow, "Remove Animation", [this]() { RemoveAnimation(); });
    gui.AddInputText(m_mainWindow, "Model Name", m_nameField);
    gui.AddButton(m_mainWindow, "Create Model", [this]() { CreateModel(); });
    gui.AddButton(m_listWindow, "Delete Model", [this]() { DeleteModel(); });
    gui.AddTextRef(m_mainWindow, &m_status);
    const int viewHeader = gui.AddCollapsingHeader(m_listWindow, "View controls");
    gui.AddButton(m_listWindow, "Zoom In", [this]() { ZoomIn(); }, viewHeader);
    gui.AddButton(m_listWindow, "Zoom Out", [this]() { ZoomOut(); }, viewHeader);
    gui.AddCheckbox(m_listWindow, "Enable Animation", &m_animationEnabled, viewHeader);
    gui.AddSliderFloat(m_listWindow, "Pitch", &m_pitch, -360.0f, 360.0f, viewHeader);
    gui.AddSliderFloat(m_listWindow, "Roll", &m_roll, -360.0f, 360.0f, viewHeader);
    gui.AddSliderFloat(m_listWindow, "Yaw", &m_yaw, -360.0f, 360.0f, viewHeader);

    m_app->QueueJob([this]() { return RunPreviewJob(); });
}

bool ModelEditor::RunPreviewJob()
{
    if (m_models->m_models.empty()) {
        return true;
    }
    const ModelInfo& first = m_models->m_models.front();
    const int32_t mesh = m_meshes->GetMesh(first.m_meshName.c_str());
    if (mesh < 0 || !m_graphics->IsValidMesh(static_cast<uint32_t>(mesh))) {
        return true;
    }
    const int32_t material = m_materials->GetMaterialHandle(first.m_materialName);
    m_previewModel = m_graphics->CreateModel(static_cast<uint32_t>(mesh),
                                             static_cast<uint32_t>(material));
    m_preview = m_graphics->CreateInstance(m_previewModel, InstanceTransform());
    m_preview.GetInstance().m_transform.m_scale = ztmath::Vector3(1.0f, 1.0f, 1.0f);
    m_preview.SetHidden(true);
    return true;
}

void ModelEditor::RefreshLists()
{
    if (m_meshNames.size() != m_meshes->m_meshHandles.size()) {
        m_meshNames.clear();
        for (const auto& entry : m_meshes->m_meshHandles) {
            m_meshNames.push_back(entry.first);
        }
    }
    if (m_materialNames.size() != m_materials->m_materials.size()) {
        m_materialNames.clear();
        for (const MaterialInfo& info : m_materials->m_materials) {
            m_materialNames.push_back(info.m_name);
        }
    }
    if (m_modelNames.size() != m_models->m_models.size()) {
        m_modelNames.clear();
        for (const ModelInfo& info : m_models->m_models) {
            m_modelNames.push_back(info.m_modelName);
        }
    }
    if (m_animationFiles.size() != m_models->m_animationFiles.size()) {
        m_animationFiles = m_models->m_animationFiles;
    }
}

void ModelEditor::ApplyModel(const ModelInfo& model)
{
    if (HasEditorPreview(m_preview)) {
        const int32_t mesh = m_meshes->GetMesh(model.m_meshName.c_str());
        m_graphics->SetModelMaterial(static_cast<uint32_t>(m_previewModel),
                                     static_cast<uint32_t>(m_materials->GetMaterialHandle(model.m_materialName)));
        if (mesh >= 0) {
            m_graphics->SetModelMesh(static_cast<uint32_t>(m_previewModel), static_cast<uint32_t>(mesh));
        }
        m_preview.GetInstance().m_transform.m_scale = ztmath::Vector3(1.0f, 1.0f, 1.0f);
    }
    m_zoom = 1.0f;  // each model opens framed whole
    m_chosenAnimations.clear();
    const int32_t mesh = FindLast(m_meshNames, model.m_meshName);
    if (mesh >= 0) {
        *m_meshSelection = mesh;
    }
    const int32_t material = FindLast(m_materialNames, model.m_materialName);
    if (material >= 0) {
        *m_materialSelection = material;
    }
    m_chosenAnimations.insert(m_chosenAnimations.end(), model.m_animationNames.begin(),
                              model.m_animationNames.end());
}

void ModelEditor::Update(float)
{
    SetEditorWindowsVisible(Manager(), {m_listWindow, m_mainWindow}, true);
    SetEditorPreviewHidden(m_preview, false);

    RefreshLists();

    const int32_t selection = *m_modelSelection;
    if (!m_modelNames.empty() && selection != m_appliedModel &&
        InRange(selection, m_models->m_models.size())) {
        ApplyModel(m_models->m_models[static_cast<size_t>(selection)]);
        m_appliedModel = selection;
    }

    m_animationClock += kClockStep;
    if (m_animationClock > kClockEnd) {
        m_animationClock = 0.0f;
    }

    if (m_modelNames.empty()) {
        SetEditorPreviewHidden(m_preview, true);
    } else if (HasEditorPreview(m_preview)) {
        ztmath::Basis basis;
        basis.Pitch(m_pitch);
        basis.Roll(m_roll);
        basis.Yaw(m_yaw);
        m_preview.GetInstance().m_transform.SetBasis(basis);
        FrameEditorPreview(*m_graphics, m_preview,
                           EditorViewDistance(*m_graphics, m_preview, m_zoom));
        m_preview.SetAnimated(true);
        m_preview.SetAnimationIndex(1);
        m_preview.SetAnimationTime(m_animationClock);
    }
}

void ModelEditor::SetToCurrentState()
{
    EnterEditorState(*m_app, Manager(), {m_listWindow, m_mainWindow}, &m_preview);
}

void ModelEditor::NextState(int)
{
    LeaveEditorState(*m_app, Manager(), {m_listWindow, m_mainWindow},
                     std::span<const InstanceHandle>(&m_preview, 1));
}

void ModelEditor::AddSelectedAnimation()
{
    const int32_t selection = *m_animationFileSelection;
    if (!InRange(selection, m_animationFiles.size())) {
        return;
    }
    const std::string& file = m_animationFiles[static_cast<size_t>(selection)];
    if (std::find(m_chosenAnimations.begin(), m_chosenAnimations.end(), file) ==
        m_chosenAnimations.end()) {
        m_chosenAnimations.push_back(file);
    }
}

void ModelEditor::RemoveAnimation()
{
    const int32_t row = *m_chosenRowSelection;
    if (!InRange(row, m_chosenAnimations.size())) {
        return;
    }
    m_chosenAnimations.erase(m_chosenAnimations.begin() + row);
    *m_chosenRowSelection = 0;
}

void ModelEditor::CreateModel()
{
    const std::string name(m_nameField);
    if (m_materialNames.empty() || m_meshNames.empty() || name.empty()) {
        return;
    }
    // A drop-down can point past its list after the list became shorter.
    const int32_t mesh = *m_meshSelection;
    const int32_t material = *m_materialSelection;
    if (!InRange(mesh, m_meshNames.size()) || !InRange(material, m_materialNames.size())) {
        m_status = "Choose a mesh and a material first.";
        return;
    }
    m_status = name + " created.";
    m_models->AddModel(*m_graphics, name, *m_materials, *m_meshes,
                       m_meshNames[static_cast<size_t>(mesh)],
                       m_materialNames[static_cast<size_t>(material)], m_chosenAnimations);
    m_models->Save();
    ReportIfListKept(*m_models, m_status);
}

void ModelEditor::DeleteModel()
{
    const int32_t selection = *m_modelSelection;
    if (m_modelNames.empty() || !InRange(selection, m_modelNames.size())) {
        return;
    }
    const std::string name = m_modelNames[static_cast<size_t>(selection)];
    m_modelNames.erase(m_modelNames.begin() + selection);
    m_appliedModel = -1;
    *m_modelSelection = 0;
    m_models->RemoveModel(name.c_str());
    m_models->Save();
    ReportIfListKept(*m_models, m_status);
}

void ModelEditor::ZoomIn()
{
    if (!m_modelNames.empty() && HasEditorPreview(m_preview)) {
        m_zoom = StepEditorZoom(m_zoom, true);
    }
}

void ModelEditor::ZoomOut()
{
    if (!m_modelNames.empty() && HasEditorPreview(m_preview)) {
        m_zoom = StepEditorZoom(m_zoom, false);
    }
}

}  // namespace ztengine
