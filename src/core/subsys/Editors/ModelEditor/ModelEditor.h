#pragma once
// ModelEditor: builds every model of "model.init" once the first loading wave has made the
// materials and meshes, and in "MODEL_EDITOR" shows a model on one animated preview in front of
// the camera, composes models from a material, a mesh and animation files, and creates or
// deletes them; every create and delete rewrites "model.init" at once.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/framework/instance/Instances.h"

namespace ztengine {

class MaterialManager;
class MeshManager;
class ModelManager;
struct ModelInfo;

class ModelEditor : public Subsystem {
public:
    static constexpr size_t kNameFieldSize = 64;
    // The animation clock's step per update and the value above which it starts again.
    static constexpr float kClockStep = 0.01f;
    static constexpr float kClockEnd = 1.0f;

    explicit ModelEditor(App* app);

    // Builds the game's models now, then the windows and the preview job.
    void Init() override;
    // Refreshes the lists, applies a changed model selection and animates the preview in front
    // of the camera.
    void Update(float dt) override;
    void SetToCurrentState() override;
    void NextState(int newState) override;

    // The buttons.
    void AddSelectedAnimation();
    void RemoveAnimation();
    void CreateModel();
    void DeleteModel();
    void ZoomIn();
    void ZoomOut();

    // ---- Panel state; the GUI's widgets are bound to these. ----
    int m_listWindow = -1;
    int m_mainWindow = -1;
    std::vector<std::string> m_modelNames;
    std::vector<std::string> m_materialNames;
    std::vector<std::string> m_meshNames;
    std::vector<std::string> m_animationFiles;
    std::vector<std::string> m_chosenAnimations;
    int* m_modelSelection;
    int* m_materialSelection;
    int* m_meshSelection;
    int* m_animationFileSelection;
    int* m_chosenRowSelection;
    int32_t m_appliedModel = -1;
    // "Enable Animation"; the preview is animated whatever it says.
    bool m_animationEnabled = true;
    char m_nameField[kNameFieldSize] = {};
    std::string m_status;
    InstanceHandle m_preview;
    int32_t m_previewModel = -1;
    float m_pitch = 0.0f;
    float m_yaw = 0.0f;
    float m_roll = 0.0f;
    // The viewing distance as a share of the framing distance of the selected model.
    float m_zoom = 1.0f;
    ModelManager* m_models;
    MeshManager* m_meshes;
    MaterialManager* m_materials;
    float m_animationClock = 0.0f;

private:
    bool RunPreviewJob();
    void RefreshLists();
    void ApplyModel(const ModelInfo& model);

    std::array<int, 5> m_unboundSelections = {};
};

}  // namespace ztengine
