#pragma once
// SceneEditor: the "SCENE_EDITOR" state's editor of PropManager's working scene. It loads a
// stored scene into the working scene, edits props, point lights, the sun and the player start
// through its five debug windows, clones and deletes props and lights, drags the selection with
// the mouse, flies its own camera and stores the result back as a scene with its files.
#include <cstdint>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/framework/instance/Instances.h"
#include "core/math/Basis.h"
#include "core/math/Vector3.h"
#include "core/resources/PropManager.h"

namespace ztengine {

class ModelManager;

class SceneEditor : public Subsystem {
public:
    // Size of each name field, terminating NUL included: at most 63 characters are editable.
    static constexpr size_t kNameSize = 64;
    // Where the arrows wait while nothing is selected.
    static constexpr float kArrowParking = 10000.0f;

    explicit SceneEditor(App* app);

    // Once loading has finished: the windows, the model-name job, the stored scene names, the
    // arrows, and the editor camera looking at the origin from (20, 50, 0).
    void Init() override;
    void Update(float dt) override;
    // Shows the editor and swaps the game's camera for the editor's.
    void SetToCurrentState() override;
    // Hides the editor and gives the game its camera back; the working scene stays.
    void NextState(int newState) override;

    // ---- The windows' buttons and the operations they share.

    // Replaces the working scene with a copy of the stored scene picked in "Scene List".
    void LoadScene();
    // Stores the working scene under the "Scene Name" field and writes every stored scene.
    void SaveScene();
    void CopySelectedSceneName();
    // A copy of the selected prop, unnamed, at the same place; the selection stays.
    void CloneProp();
    // A new unnamed light from the light fields (also without a selection: the first light of
    // a scene is made this way).
    void CloneLight();
    void DeleteProp();
    void DeleteLight();

    void SelectProp(int32_t i);
    void SelectLight(int32_t i);
    void ShowArrows(bool show);
    void MoveArrows(const ztmath::Vector3& position);
    void SetEditorHidden(bool hide);
    // Puts the editor camera 20 along x and 50 up from p, looking at p.
    void FocusCamera(const ztmath::Vector3& p);

    // ---- Each step of Update, open for tests of one step.

    void SyncNameLists();
    void ApplyModeToggles();
    void SyncListSelections();
    void UpdateWindowVisibility();
    void UpdateCamera(float dt);
    void UpdatePreviewModel();
    void UpdateColliderType();
    void UpdateMouse();
    void WriteBackSelection();

    bool IsInitialised() const { return m_initialised; }
    bool IsPropSelected() const;
    bool IsLightSelected() const;

    // ---- Values bound to the widgets (read and written by the GUI every frame).

    std::vector<std::string> m_modelNames;
    std::vector<std::string> m_sceneNames;
    std::vector<std::string> m_colliderNames;
    std::vector<std::string> m_propNames;
    std::vector<std::string> m_lightNames;

    // Drop-down selections, owned by the GUI; null until Init.
    int* m_modelSelection = nullptr;
    int* m_sceneSelection = nullptr;
    int* m_colliderSelection = nullptr;
    int* m_propSelection = nullptr;
    int* m_lightSelection = nullptr;
    int32_t m_lastModelSelection = -1;
    int32_t m_lastColliderSelection = 0;

    char m_sceneName[kNameSize];
    char m_propName[kNameSize];
    char m_lightName[kNameSize];

    Prop m_editProp;
    PointLight m_editLight;

    int32_t m_selectedProp = -1;
    int32_t m_syncedProp = -1;
    int32_t m_lastPropSelection = 0;
    int32_t m_selectedLight = -1;
    int32_t m_syncedLight = -1;
    int32_t m_lastLightSelection = 0;

    // "Scene Settings".
    ztmath::Vector3 m_sceneLightDirection;
    ztmath::Vector3 m_sceneLightColour;
    bool m_sceneLightEnabled = false;
    ztmath::Vector3 m_scenePlayerStart;

    bool m_createProp = false;
    bool m_createLight = false;
    bool m_positionArrows = true;
    bool m_scaleArrows = false;
    bool m_propDebugBoxes = true;   // kept; nothing reads it
    bool m_lightDebugBoxes = true;  // kept; nothing reads it
    bool m_enablePreview = false;
    bool m_enableShadows = false;  // kept; nothing reads it
    bool m_previousCreateProp = false;
    bool m_previousCreateLight = false;
    bool m_previousPositionArrows = true;
    bool m_previousScaleArrows = false;

    InstanceHandle m_preview;
    int32_t m_previewModel = -1;
    InstanceHandle m_arrows[3];

    int m_propListWindow = -1;
    int m_sceneWindow = -1;
    int m_selectedPropWindow = -1;
    int m_pointLightWindow = -1;
    int m_sceneSettingsWindow = -1;

    bool m_dragging = false;

    ztmath::Basis m_gameCameraBasis;
    ztmath::Vector3 m_gameCameraPosition;
    ztmath::Basis m_editorCameraBasis;
    ztmath::Vector3 m_editorCameraPosition;

    uint32_t m_lightCount = 0;

private:
    void BuildWindows();
    // The preview needs a model name; the names arrive by a job after Init, so it is made with
    // the first name that reaches the list.
    void CreatePreviewIfReady();
    // The name fields hold 63 characters: a longer name is only replaced once the user has
    // edited its field, so selecting a prop never cuts its name.
    // An instance of the named model (the default model for an unknown name), or an empty
    // handle while no model can be drawn yet.
    InstanceHandle CreatePropInstance(const std::string& modelName,
                                      const InstanceTransform& transform);
    void FillNameField(char* field, std::string& shownName, const std::string& name);
    static void TakeEditedName(const char* field, const std::string& shownName, std::string& name);

    PropManager* m_props;
    ModelManager* m_models;
    bool m_initialised = false;
    // What each name field showed when it was last filled from a prop or light.
    std::string m_propNameShown;
    std::string m_lightNameShown;
public:
    // The line under the scene window's counts: what the last save did or why it was refused.
    std::string m_status;
};

}  // namespace ztengine
