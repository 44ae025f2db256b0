// The mesh editor: loading jobs, panel, previews, the builder fields and the buttons.
#include "core/subsys/Editors/MeshEditor/MeshEditor.h"

#include <initializer_list>
#include <utility>

#include "core/App.h"
#include "core/resources/ResourceJson.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"  // brings GLEW, then GLFW
#include "core/input/Input.h"
#include "core/resources/MeshManager.h"
#include "core/subsys/Editors/EditorCommon.h"
#include "core/util/FileUtils.h"

namespace ztengine {

namespace {

GuiManager& Manager()
{
    return Gui::Instance().GetManager();
}

}  // namespace

MeshEditor::MeshEditor(App* app)
    : Subsystem(app), m_meshes(app->GetSharedData<MeshManager>("MeshManager"))
{
    m_kindSelection = &m_unboundSelections[0];
    m_meshSelection = &m_unboundSelections[1];
    m_customSelection = &m_unboundSelections[2];
    m_meshKinds = {"Plane", "Cube", "Cone", "Cylinder", "Sphere", "Torus"};
}

void MeshEditor::Load()
{
    m_meshes->QueueBuildJobs(*m_graphics, *m_app);
}

void MeshEditor::Init()
{
    m_editorMaterial = m_graphics->CreateMaterial(nullptr, nullptr, nullptr, nullptr);

    GuiManager& gui = Manager();
    m_mainWindow = gui.CreateWindow("Mesh Editor", true, 400.0f, 300.0f);
    m_listWindow = gui.CreateWindow("Mesh List", true, 300.0f, 200.0f);
    SetEditorWindowsVisible(gui, {m_mainWindow, m_listWindow}, false);

    auto bind = [&gui](int window, int widget, int*& selection) {
        if (int* bound = gui.GetDropDownListSelection(window, widget)) {
            selection = bound;
        }
    };

    const int customHeader = gui.AddCollapsingHeader(m_mainWindow, "Custom Mesh");
    bind(m_mainWindow,
         gui.AddDropDownList(m_mainWindow, "Custom Mesh List", &m_customFiles, customHeader),
         m_customSelection);
    gui.AddButton(m_mainWindow, "Create Custom Mesh", [this]() { CreateCustomMesh(); },
                  customHeader);
    const int meshList = gui.AddDropDownList(m_listWindow, "Mesh List", &m_meshNames);
    gui.AddButton(m_listWindow, "Delete Mesh", [this]() { DeleteMesh(); });
    const int viewHeader = gui.AddCollapsingHeader(m_listWindow, "View controls");
    gui.AddButton(m_listWindow, "Zoom In", [this]() { ZoomIn(); }, viewHeader);
    gui.AddButton(m_listWindow, "Zoom Out", [this]() { ZoomOut(); }, viewHeader);

    std::vector<std::string> found;
    ListFiles(m_folder + "*", found);
    for (std::string& name : found) {
        if (name.size() > 4) {
            m_customFiles.push_back(std::move(name));
        }
    }

    bind(m_listWindow, meshList, m_meshSelection);
    // Second-wave jobs: every first-wave build job has mapped its name by the time they run.
    for (const auto& [name, mesh] : m_meshes->m_meshHandles) {
        m_meshNames.push_back(name);
        m_app->QueueJob([this, name = name, mesh = mesh]() { return RunPreviewJob(name, mesh); });
    }

    const int builderHeader = gui.AddCollapsingHeader(m_mainWindow, "Non custom mesh");
    bind(m_mainWindow,
         gui.AddDropDownList(m_mainWindow, "Non custom mesh list", &m_meshKinds, builderHeader),
         m_kindSelection);
    gui.AddInputText(m_mainWindow, "Mesh Name", m_nameField);
    gui.AddTextRef(m_mainWindow, &m_status);
    m_planeStacksWidget = gui.AddInputInt(m_mainWindow, "Plane Stacks", &m_planeStacks, builderHeader);
    m_planeSlicesWidget = gui.AddInputInt(m_mainWindow, "Plane Slices", &m_planeSlices, builderHeader);
    m_coneStacksWidget = gui.AddInputInt(m_mainWindow, "Cone Stacks", &m_coneStacks, builderHeader);
    m_coneSlicesWidget = gui.AddInputInt(m_mainWindow, "Cone Slices", &m_coneSlices, builderHeader);
    m_cylinderStacksWidget =
        gui.AddInputInt(m_mainWindow, "Cylinder Stacks", &m_cylinderStacks, builderHeader);
    m_cylinderSlicesWidget =
        gui.AddInputInt(m_mainWindow, "Cylinder Slices", &m_cylinderSlices, builderHeader);
    m_sphereStacksWidget =
        gui.AddInputInt(m_mainWindow, "Sphere Stacks", &m_sphereStacks, builderHeader);
    m_sphereSlicesWidget =
        gui.AddInputInt(m_mainWindow, "Sphere Slices", &m_sphereSlices, builderHeader);
    m_torusStacksWidget = gui.AddInputInt(m_mainWindow, "Torus Stacks", &m_torusStacks, builderHeader);
    m_torusSlicesWidget = gui.AddInputInt(m_mainWindow, "Torus Slices", &m_torusSlices, builderHeader);
    m_torusStartAngleWidget =
        gui.AddInputFloat(m_mainWindow, "Torus Start Angle", &m_torusStartAngle, builderHeader);
    m_torusEndAngleWidget =
        gui.AddInputFloat(m_mainWindow, "Torus End Angle", &m_torusEndAngle, builderHeader);
    m_torusMinorFactorWidget =
        gui.AddInputFloat(m_mainWindow, "Torus Minor Factor", &m_torusMinorFactor, builderHeader);
    gui.AddButton(m_mainWindow, "Create Mesh", [this]() { CreateMesh(); }, builderHeader);

    HideBuilderFields();
}

bool MeshEditor::RunPreviewJob(const std::string& name, int32_t mesh)
{
    // A preview is only made where it keeps the previews in step with the names: a mesh deleted
    // or created from the panel before this job ran has moved the names.
    if (FindName(m_meshNames, name) != static_cast<int32_t>(m_previews.size())) {
        return true;
    }
    const auto mapped = m_meshes->m_meshHandles.find(name);
    if (mapped != m_meshes->m_meshHandles.end()) {
        mesh = mapped->second;
    }
    InstanceHandle preview = MakePreview(mesh);
    SetEditorPreviewHidden(preview, true);
    m_previews.push_back(preview);
    return true;
}

InstanceHandle MeshEditor::MakePreview(int32_t mesh)
{
    if (mesh < 0 || !m_graphics->IsValidMesh(static_cast<uint32_t>(mesh))) {
        return InstanceHandle();
    }
    const int32_t model = m_graphics->CreateModel(static_cast<uint32_t>(mesh),
                                                  static_cast<uint32_t>(m_editorMaterial));
    return m_graphics->CreateInstance(model, InstanceTransform());
}

const InstanceHandle* MeshEditor::SelectedPreview() const
{
    const int32_t selection = *m_meshSelection;
    if (selection < 0 || static_cast<size_t>(selection) >= m_previews.size()) {
        return nullptr;
    }
    return &m_previews[static_cast<size_t>(selection)];
}

void MeshEditor::SetEditorHidden(bool hide)
{
    GuiManager& gui = Manager();
    if (hide) {
        HideEditorPreviews(m_previews);
        SetEditorWindowsVisible(gui, {m_mainWindow, m_listWindow}, false);
    } else {
        SetEditorWindowsVisible(gui, {m_mainWindow, m_listWindow}, true);
        if (const InstanceHandle* preview = SelectedPreview()) {
            SetEditorPreviewHidden(*preview, false);
        }
    }
}

void MeshEditor::SetToCurrentState()
{
    SetEditorHidden(false);
    ShowEditorCursor(*m_app);
}

void MeshEditor::NextState(int)
{
    SetEditorHidden(true);
    HideEditorCursor(*m_app);
}

void MeshEditor::HideBuilderFields()
{
    GuiManager& gui = Manager();
    for (int widget : {m_planeStacksWidget, m_planeSlicesWidget, m_coneStacksWidget,
                       m_coneSlicesWidget, m_cylinderStacksWidget, m_cylinderSlicesWidget,
                       m_sphereStacksWidget, m_sphereSlicesWidget, m_torusStacksWidget,
                       m_torusSlicesWidget}) {
        gui.HideWidget(m_mainWindow, GuiWidgetInputInt, widget);
    }
    for (int widget : {m_torusStartAngleWidget, m_torusEndAngleWidget, m_torusMinorFactorWidget}) {
        gui.HideWidget(m_mainWindow, GuiWidgetInputFloat, widget);
    }
}

void MeshEditor::Update(float)
{
    m_turnAngle = AdvanceEditorTurn(m_turnAngle);
    SetEditorHidden(false);

    GuiManager& gui = Manager();
    if (*m_kindSelection != m_appliedKind) {
        HideBuilderFields();
        auto showInts = [&](std::initializer_list<int> widgets) {
            for (int widget : widgets) {
                gui.ShowWidget(m_mainWindow, GuiWidgetInputInt, widget);
            }
        };
        switch (*m_kindSelection) {
            case KindPlane:
                showInts({m_planeStacksWidget, m_planeSlicesWidget});
                break;
            case KindCone:
                showInts({m_coneStacksWidget, m_coneSlicesWidget});
                break;
            case KindCylinder:
                showInts({m_cylinderStacksWidget, m_cylinderSlicesWidget});
                break;
            case KindSphere:
                showInts({m_sphereStacksWidget, m_sphereSlicesWidget});
                break;
            case KindTorus:
                showInts({m_torusStacksWidget, m_torusSlicesWidget});
                for (int widget :
                     {m_torusStartAngleWidget, m_torusEndAngleWidget, m_torusMinorFactorWidget}) {
                    gui.ShowWidget(m_mainWindow, GuiWidgetInputFloat, widget);
                }
                break;
            default:  // the cube has no fields
                break;
        }
        m_appliedKind = *m_kindSelection;
    }

    const int32_t selection = *m_meshSelection;
    const InstanceHandle* selected = SelectedPreview();
    if (selection != m_appliedSelection && selected != nullptr &&
        static_cast<size_t>(selection) < m_meshNames.size()) {
        if (m_appliedSelection >= 0 && static_cast<size_t>(m_appliedSelection) < m_previews.size()) {
            SetEditorPreviewHidden(m_previews[static_cast<size_t>(m_appliedSelection)], true);
        }
        SetEditorPreviewHidden(*selected, false);
        CopyToField(m_nameField, sizeof(m_nameField), m_meshNames[static_cast<size_t>(selection)]);
        m_appliedSelection = selection;
        m_zoom = 1.0f;  // each mesh opens framed whole
    }

    if (selected != nullptr) {
        if (Input* input = m_app->GetInput()) {
            if (input->IsKeyPressed(GLFW_KEY_MINUS)) {
                ZoomOut();
            }
            if (input->IsKeyPressed(GLFW_KEY_EQUAL)) {
                ZoomIn();
            }
        }
        TurnEditorPreview(*selected, m_turnAngle);
        FrameEditorPreview(*m_graphics, *selected,
                           EditorViewDistance(*m_graphics, *selected, m_zoom));
    }
}

bool MeshEditor::StorePreview(const std::string& name, int32_t mesh, bool replacedStaysHidden)
{
    const int32_t found = FindName(m_meshNames, name);
    if (found >= 0) {
        if (static_cast<size_t>(found) < m_previews.size()) {
            InstanceHandle& replaced = m_previews[static_cast<size_t>(found)];
            SetEditorPreviewHidden(replaced, true);
            replaced = MakePreview(mesh);
            SetEditorPreviewHidden(replaced, replacedStaysHidden);
        }
        return false;
    }
    // While preview jobs are still pending the new name waits without a preview, so that the
    // previews stay index for index with the names.
    if (m_previews.size() == m_meshNames.size()) {
        InstanceHandle preview = MakePreview(mesh);
        SetEditorPreviewHidden(preview, true);
        m_previews.push_back(preview);
    }
    m_meshNames.push_back(name);
    return true;
}

void MeshEditor::CreateCustomMesh()
{
    const int32_t selection = *m_customSelection;
    if (selection < 0 || static_cast<size_t>(selection) >= m_customFiles.size()) {
        return;
    }
    const std::string name(m_nameField);
    m_status = name + " created.";
    const int32_t mesh =
        m_meshes->AddCustomMesh(*m_graphics, name, m_folder.c_str(),
                                m_customFiles[static_cast<size_t>(selection)].c_str());
    if (FindName(m_meshNames, name) < 0) {
        if (const InstanceHandle* selected = SelectedPreview()) {
            SetEditorPreviewHidden(*selected, true);
        }
        StorePreview(name, mesh, true);
        *m_meshSelection = 0;
        m_appliedSelection = -1;
    } else {
        // A known name shows its new mesh at once, wherever the preview stands.
        StorePreview(name, mesh, false);
    }
    m_meshes->Save();
    ReportIfListKept(*m_meshes, m_status);
}

void MeshEditor::CreateMesh()
{
    const std::string name(m_nameField);
    m_status = name + " created.";
    int32_t mesh = -1;
    switch (*m_kindSelection) {
        case KindPlane:
            mesh = m_meshes->AddPlaneMesh(*m_graphics, name, m_planeStacks, m_planeSlices);
            break;
        case KindCube:
            mesh = m_meshes->AddCubeMesh(*m_graphics, name);
            break;
        case KindCone:
            mesh = m_meshes->AddConeMesh(*m_graphics, name, m_coneStacks, m_coneSlices);
            break;
        case KindCylinder:
            mesh = m_meshes->AddCylinderMesh(*m_graphics, name, m_cylinderStacks, m_cylinderSlices);
            break;
        case KindSphere:
            mesh = m_meshes->AddSphereMesh(*m_graphics, name, m_sphereStacks, m_sphereSlices);
            break;
        case KindTorus:
            mesh = m_meshes->AddTorusMesh(*m_graphics, name, m_torusStacks, m_torusSlices,
                                          m_torusStartAngle, m_torusEndAngle, m_torusMinorFactor);
            break;
        default:
            return;
    }
    StorePreview(name, mesh, true);
    m_meshes->Save();
    ReportIfListKept(*m_meshes, m_status);
}

void MeshEditor::DeleteMesh()
{
    const int32_t selection = *m_meshSelection;
    if (m_meshNames.empty() || selection < 0 ||
        static_cast<size_t>(selection) >= m_meshNames.size()) {
        return;
    }
    const size_t index = static_cast<size_t>(selection);
    const std::string name = m_meshNames[index];
    if (index < m_previews.size()) {
        SetEditorPreviewHidden(m_previews[index], true);
    }
    m_meshNames.erase(m_meshNames.begin() + static_cast<std::ptrdiff_t>(index));
    m_appliedSelection = -1;
    *m_meshSelection = 0;
    if (index < m_previews.size()) {
        m_previews.erase(m_previews.begin() + static_cast<std::ptrdiff_t>(index));
    }
    m_meshes->RemoveMesh(name);
    m_meshes->Save();
    ReportIfListKept(*m_meshes, m_status);
}

void MeshEditor::ZoomIn()
{
    if (SelectedPreview() != nullptr) {
        m_zoom = StepEditorZoom(m_zoom, true);
    }
}

void MeshEditor::ZoomOut()
{
    if (SelectedPreview() != nullptr) {
        m_zoom = StepEditorZoom(m_zoom, false);
    }
}

}  // namespace ztengine
