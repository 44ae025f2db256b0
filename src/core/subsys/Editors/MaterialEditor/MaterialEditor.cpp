// The material editor: loading jobs, panel, previews and the create and delete buttons.
#include "core/subsys/Editors/MaterialEditor/MaterialEditor.h"

#include <utility>

#include "core/App.h"
#include "core/resources/ResourceJson.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/resources/MaterialManager.h"
#include "core/subsys/Editors/EditorCommon.h"
#include "core/util/FileUtils.h"

namespace ztengine {

namespace {

constexpr float kWindowWidth = 310.0f;
constexpr float kWindowHeight = 250.0f;
// A material created or updated by the button shows one unit ahead, apart from the selected
// preview two units ahead.
constexpr float kCreatedPreviewDistance = 1.0f;

GuiManager& Manager()
{
    return Gui::Instance().GetManager();
}

// Listings keep names longer than four characters: "." and ".." go, as do stray short names.
void AppendListing(const std::string& folder, std::vector<std::string>& files)
{
    std::vector<std::string> found;
    ListFiles(folder + "*", found);
    for (std::string& name : found) {
        if (name.size() > 4) {
            files.push_back(std::move(name));
        }
    }
}

}  // namespace

MaterialEditor::MaterialEditor(App* app)
    : Subsystem(app), m_materials(app->GetSharedData<MaterialManager>("MaterialManager"))
{
    m_materialSelection = &m_unboundSelections[0];
    m_diffuseSelection = &m_unboundSelections[1];
    m_specularSelection = &m_unboundSelections[2];
    m_displacementSelection = &m_unboundSelections[3];
    m_normalSelection = &m_unboundSelections[4];
    m_diffuseFiles.push_back("none");
    m_normalFiles.push_back("none");
    m_specularFiles.push_back("none");
    m_displacementFiles.push_back("none");
}

void MaterialEditor::Load()
{
    m_materials->QueueBuildJobs(*m_graphics, *m_app);
    m_app->QueueJob([this]() {
        RefreshLists();
        return true;
    });
    // Queued only when this runs, so the previews come after every other system's load jobs.
    m_app->QueueJob([this]() {
        for (size_t i = 0; i < m_selections.size(); ++i) {
            m_app->QueueJob([this, i]() { return RunPreviewJob(i); });
        }
        return true;
    });
}

bool MaterialEditor::RunPreviewJob(size_t index)
{
    // Records are addressed by index; one deleted in the meantime shifts the rest down, and a
    // preview is only made where it keeps the previews in step with the names.
    if (index >= m_selections.size() || m_previews.size() != index) {
        return true;
    }
    const TextureSelection record = m_selections[index];
    InstanceHandle preview =
        MakePreview(record.diffuse, record.specular, record.normal, record.displacement);
    m_previews.push_back(preview);
    if (HasEditorPreview(preview)) {
        InstanceTransform& transform = preview.GetInstance().m_transform;
        transform.m_position = EditorPreviewPosition(*m_graphics);
        transform.m_scale = ztmath::Vector3(1.0f, 1.0f, 1.0f);
        preview.SetHidden(true);
    }
    return true;
}

void MaterialEditor::Init()
{
    m_previewMesh = m_graphics->CreateCustomMesh("models/", "cube1cm.obj");

    AppendListing(m_normalFolder, m_normalFiles);
    AppendListing(m_displacementFolder, m_displacementFiles);
    AppendListing(m_specularFolder, m_specularFiles);
    AppendListing(m_diffuseFolder, m_diffuseFiles);

    GuiManager& gui = Manager();
    m_selectWindow = gui.CreateWindow("Material Select", true, kWindowWidth, kWindowHeight);
    m_mainWindow = gui.CreateWindow("Material Editor", true, kWindowWidth, kWindowHeight);
    SetEditorWindowsVisible(gui, {m_selectWindow, m_mainWindow}, false);

    // A selection pointer the GUI does not hand out (a window that was not made) keeps the
    // editor's own, so the panel's steps never read through null.
    auto bind = [&gui](int window, int widget, int*& selection) {
        if (int* bound = gui.GetDropDownListSelection(window, widget)) {
            selection = bound;
        }
    };
    m_materialListWidget = gui.AddDropDownList(m_selectWindow, "Material List", &m_materialNames);
    bind(m_selectWindow, m_materialListWidget, m_materialSelection);
    bind(m_mainWindow, gui.AddDropDownList(m_mainWindow, "Diffuse Map", &m_diffuseFiles),
         m_diffuseSelection);
    bind(m_mainWindow, gui.AddDropDownList(m_mainWindow, "Specular Map", &m_specularFiles),
         m_specularSelection);
    bind(m_mainWindow, gui.AddDropDownList(m_mainWindow, "Displace Map", &m_displacementFiles),
         m_displacementSelection);
    bind(m_mainWindow, gui.AddDropDownList(m_mainWindow, "Normal Map", &m_normalFiles),
         m_normalSelection);
    gui.AddInputText(m_mainWindow, "Material Name", m_nameField);
    gui.AddButton(m_mainWindow, "Create Material", [this]() { CreateMaterial(); });
    gui.AddButton(m_mainWindow, "Delete Material", [this]() { DeleteMaterial(); });
    gui.AddTextRef(m_mainWindow, &m_status);
    gui.AddVarView(m_mainWindow, m_materialSelection, GuiVarViewInt, "Selected index");
}

bool MaterialEditor::IsSelectable(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_materialNames.size() &&
           static_cast<size_t>(index) < m_selections.size();
}

void MaterialEditor::Update(float)
{
    const int32_t selection = *m_materialSelection;
    if (selection != m_appliedSelection && IsSelectable(selection)) {
        const TextureSelection& record = m_selections[static_cast<size_t>(selection)];
        *m_diffuseSelection = record.diffuse;
        *m_specularSelection = record.specular;
        *m_normalSelection = record.normal;
        *m_displacementSelection = record.displacement;
        CopyToField(m_nameField, sizeof(m_nameField), m_materialNames[static_cast<size_t>(selection)]);
        const size_t shown = m_appliedSelection < 0 ? 0 : static_cast<size_t>(m_appliedSelection);
        if (shown < m_previews.size()) {
            SetEditorPreviewHidden(m_previews[shown], true);
        }
        m_appliedSelection = selection;
        if (static_cast<size_t>(selection) < m_previews.size()) {
            SetEditorPreviewHidden(m_previews[static_cast<size_t>(selection)], false);
        }
    }

    m_turnAngle = AdvanceEditorTurn(m_turnAngle);

    if (selection >= 0 && static_cast<size_t>(selection) < m_previews.size()) {
        const InstanceHandle& preview = m_previews[static_cast<size_t>(selection)];
        TurnEditorPreview(preview, m_turnAngle);
        PlaceEditorPreview(*m_graphics, preview);
    }
}

void MaterialEditor::SetToCurrentState()
{
    const int32_t selection = *m_materialSelection;
    const InstanceHandle* shown =
        selection >= 0 && static_cast<size_t>(selection) < m_previews.size()
            ? &m_previews[static_cast<size_t>(selection)]
            : nullptr;
    EnterEditorState(*m_app, Manager(), {m_selectWindow, m_mainWindow}, shown);
}

void MaterialEditor::NextState(int)
{
    LeaveEditorState(*m_app, Manager(), {m_selectWindow, m_mainWindow}, m_previews);
}

int32_t MaterialEditor::FindTextureIndex(const std::vector<std::string>& files,
                                         const std::string& folder, const std::string& path)
{
    // The whole path must match: a part of it ("wall.png" in "stone_wall.png", or "none")
    // would pick another file, and the next "Create Material" would write that file's path.
    if (path.empty()) {
        return 0;
    }
    for (size_t i = 1; i < files.size(); ++i) {
        if (path == folder + files[i]) {
            return static_cast<int32_t>(i);
        }
    }
    return 0;
}

void MaterialEditor::RefreshLists()
{
    m_materialNames.clear();
    m_selections.clear();
    for (const MaterialInfo& info : m_materials->m_materials) {
        m_materialNames.push_back(info.m_name);
        const MaterialTextures& t = info.m_textures;
        TextureSelection record;
        record.diffuse = FindTextureIndex(m_diffuseFiles, m_diffuseFolder, t.m_diffuse);
        record.specular = FindTextureIndex(m_specularFiles, m_specularFolder, t.m_specular);
        record.normal = FindTextureIndex(m_normalFiles, m_normalFolder, t.m_normal);
        record.displacement =
            FindTextureIndex(m_displacementFiles, m_displacementFolder, t.m_displacement);
        m_selections.push_back(record);
    }
}

std::string MaterialEditor::TexturePath(const std::string& folder,
                                        const std::vector<std::string>& files, int32_t index)
{
    if (index <= 0 || static_cast<size_t>(index) >= files.size()) {
        return std::string();
    }
    return folder + files[static_cast<size_t>(index)];
}

InstanceHandle MaterialEditor::MakePreview(int32_t diffuse, int32_t specular, int32_t normal,
                                           int32_t displacement)
{
    if (m_previewMesh < 0) {
        return InstanceHandle();
    }
    const std::string d = TexturePath(m_diffuseFolder, m_diffuseFiles, diffuse);
    const std::string s = TexturePath(m_specularFolder, m_specularFiles, specular);
    const std::string n = TexturePath(m_normalFolder, m_normalFiles, normal);
    const std::string p = TexturePath(m_displacementFolder, m_displacementFiles, displacement);
    auto orNull = [](const std::string& path) { return path.empty() ? nullptr : path.c_str(); };
    const int32_t material = m_graphics->CreateMaterial(orNull(d), orNull(s), orNull(n), orNull(p));
    const int32_t model = m_graphics->CreateModel(static_cast<uint32_t>(m_previewMesh),
                                                  static_cast<uint32_t>(material));
    return m_graphics->CreateInstance(model, InstanceTransform());
}

MaterialEditor::TextureSelection MaterialEditor::CurrentTextures() const
{
    TextureSelection current;
    current.diffuse = *m_diffuseSelection;
    current.specular = *m_specularSelection;
    current.normal = *m_normalSelection;
    current.displacement = *m_displacementSelection;
    return current;
}

void MaterialEditor::CreateMaterial()
{
    const TextureSelection current = CurrentTextures();
    MaterialTextures textures;
    textures.m_diffuse = TexturePath(m_diffuseFolder, m_diffuseFiles, current.diffuse);
    textures.m_specular = TexturePath(m_specularFolder, m_specularFiles, current.specular);
    textures.m_normal = TexturePath(m_normalFolder, m_normalFiles, current.normal);
    textures.m_displacement =
        TexturePath(m_displacementFolder, m_displacementFiles, current.displacement);

    const std::string name(m_nameField);
    const int32_t found = FindName(m_materialNames, name);
    auto makeCreatedPreview = [&]() {
        InstanceHandle preview =
            MakePreview(current.diffuse, current.specular, current.normal, current.displacement);
        if (HasEditorPreview(preview)) {
            InstanceTransform& transform = preview.GetInstance().m_transform;
            transform.m_position = m_graphics->GetCameraPosition() +
                                   m_graphics->GetCameraBasis().forward * kCreatedPreviewDistance;
            transform.m_scale = ztmath::Vector3(1.0f, 1.0f, 1.0f);
        }
        return preview;
    };
    if (found >= 0) {
        if (static_cast<size_t>(found) < m_previews.size()) {
            InstanceHandle& replaced = m_previews[static_cast<size_t>(found)];
            SetEditorPreviewHidden(replaced, true);
            replaced = makeCreatedPreview();
        }
    } else if (m_previews.size() == m_materials->m_materials.size()) {
        // Only while every material has its preview: before the loading screen has made them
        // all, an appended preview would stand at another material's index.
        InstanceHandle preview = makeCreatedPreview();
        SetEditorPreviewHidden(preview, true);
        m_previews.push_back(preview);
    }

    m_materials->AddMaterial(*m_graphics, name.c_str(), textures);
    m_status = name + " has been created.";
    m_materials->Save();
    ReportIfListKept(*m_materials, m_status);
    RefreshLists();
}

void MaterialEditor::DeleteMaterial()
{
    if (m_materialNames.empty()) {
        return;
    }
    const int32_t selection = *m_materialSelection;
    if (selection < 0 || static_cast<size_t>(selection) >= m_materialNames.size()) {
        return;
    }
    const size_t index = static_cast<size_t>(selection);
    if (index < m_previews.size()) {
        SetEditorPreviewHidden(m_previews[index], true);
    }
    const std::string name = m_materialNames[index];
    m_materialNames.erase(m_materialNames.begin() + static_cast<std::ptrdiff_t>(index));
    if (index < m_previews.size()) {
        m_previews.erase(m_previews.begin() + static_cast<std::ptrdiff_t>(index));
    }
    m_materials->RemoveMaterial(name.c_str());
    m_status = std::string(m_nameField) + " has been deleted.";
    m_appliedSelection = -1;
    *m_materialSelection = 0;
    m_materials->Save();
    ReportIfListKept(*m_materials, m_status);
    RefreshLists();
}

}  // namespace ztengine
