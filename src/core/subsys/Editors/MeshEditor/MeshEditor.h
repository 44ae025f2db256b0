#pragma once
// MeshEditor: queues the building of every mesh of "mesh.init" in every run, and in
// "MESH_EDITOR" shows each mesh turning in front of the camera, makes new meshes from the
// procedural builders or from model files in "models/", and deletes meshes; every create and
// delete rewrites "mesh.init" at once.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/framework/instance/Instances.h"

namespace ztengine {

class MeshManager;

class MeshEditor : public Subsystem {
public:
    static constexpr size_t kNameFieldSize = 64;

    // Kind indices of "Non custom mesh list".
    enum Kind : int32_t { KindPlane, KindCube, KindCone, KindCylinder, KindSphere, KindTorus };

    explicit MeshEditor(App* app);

    // The mesh build jobs.
    void Load() override;
    // The editor material, the two windows, the "models/" listing and one preview job per mesh.
    void Init() override;
    // Shows the builder fields of the chosen kind, applies the mesh selection, turns the
    // selected preview in front of the camera and zooms it with the "=" and "-" keys.
    void Update(float dt) override;
    void SetToCurrentState() override;
    void NextState(int newState) override;

    // true: every preview hidden and both windows closed; false: both windows open and the
    // selected preview shown.
    void SetEditorHidden(bool hide);
    // Hides the thirteen builder-field inputs.
    void HideBuilderFields();

    // The buttons.
    void CreateCustomMesh();
    void CreateMesh();
    void DeleteMesh();
    void ZoomIn();
    void ZoomOut();

    // ---- Panel state; the GUI's widgets are bound to these. ----
    int m_listWindow = -1;
    int m_mainWindow = -1;
    std::vector<std::string> m_customFiles;
    std::vector<std::string> m_meshNames;
    std::vector<std::string> m_meshKinds;
    int m_sphereStacks = 0;
    int m_sphereSlices = 0;
    int m_torusStacks = 0;
    int m_torusSlices = 0;
    float m_torusStartAngle = 0.0f;
    float m_torusEndAngle = 0.0f;
    float m_torusMinorFactor = 0.0f;
    int m_cylinderStacks = 0;
    int m_cylinderSlices = 0;
    int m_coneStacks = 0;
    int m_coneSlices = 0;
    int m_planeStacks = 0;
    int m_planeSlices = 0;
    // Widget indices of the builder fields: ten int inputs, then the three torus floats.
    int m_planeStacksWidget = -1;
    int m_planeSlicesWidget = -1;
    int m_coneStacksWidget = -1;
    int m_coneSlicesWidget = -1;
    int m_cylinderStacksWidget = -1;
    int m_cylinderSlicesWidget = -1;
    int m_sphereStacksWidget = -1;
    int m_sphereSlicesWidget = -1;
    int m_torusStacksWidget = -1;
    int m_torusSlicesWidget = -1;
    int m_torusStartAngleWidget = -1;
    int m_torusEndAngleWidget = -1;
    int m_torusMinorFactorWidget = -1;
    char m_nameField[kNameFieldSize] = {};
    int32_t m_appliedKind = -1;
    int32_t m_appliedSelection = -1;
    int* m_kindSelection;
    int* m_meshSelection;
    int* m_customSelection;
    std::string m_folder = "models/";
    std::string m_status;
    std::vector<InstanceHandle> m_previews;
    MeshManager* m_meshes;
    int32_t m_editorMaterial = 0;
    float m_turnAngle = 0.0f;
    // The viewing distance as a share of the framing distance of the selected mesh.
    float m_zoom = 1.0f;

private:
    // The preview job of a mapped name.
    bool RunPreviewJob(const std::string& name, int32_t mesh);
    // The preview of the mesh selection, or null when it has none.
    const InstanceHandle* SelectedPreview() const;
    // A new instance of a model made from `mesh` with the editor material.
    InstanceHandle MakePreview(int32_t mesh);
    // Puts the preview of a just-created mesh in place: replaces the preview of a known name,
    // or appends the name (and a preview, while the previews keep step with the names).
    // Returns whether the name was new.
    bool StorePreview(const std::string& name, int32_t mesh, bool replacedStaysHidden);

    std::array<int, 3> m_unboundSelections = {};
};

}  // namespace ztengine
