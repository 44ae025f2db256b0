#pragma once
// MaterialEditor: queues the building of every material of "material.init" in every run, and in
// "MATERIAL_EDITOR" lets a developer pick a material, see it on a small cube in front of the
// camera, choose its four texture maps from the texture folders, and create, update or delete
// materials; every create and delete rewrites "material.init" at once.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/framework/instance/Instances.h"

namespace ztengine {

class MaterialManager;

class MaterialEditor : public Subsystem {
public:
    // Its Init makes the preview mesh before the loading screen runs the preview jobs.
    static constexpr bool kInitialisedAtStart = true;

    static constexpr size_t kNameFieldSize = 128;

    // The index of each of a material's textures in the matching file list (0 = "none").
    struct TextureSelection {
        int32_t diffuse = 0;
        int32_t specular = 0;
        int32_t normal = 0;
        int32_t displacement = 0;
    };

    explicit MaterialEditor(App* app);

    // The material build jobs, then the list job and the job that queues the previews.
    void Load() override;
    // The preview mesh, the texture folder listings and the two windows.
    void Init() override;
    // Applies a changed selection to the panel and turns the selected preview in front of the
    // camera.
    void Update(float dt) override;
    void SetToCurrentState() override;
    void NextState(int newState) override;

    // Rebuilds the material names and texture selections from the material list.
    void RefreshLists();
    // A preview of its own (material, model and instance) for the four texture indices.
    InstanceHandle MakePreview(int32_t diffuse, int32_t specular, int32_t normal,
                               int32_t displacement);
    // "Create Material": creates or updates the material named in the name field from the four
    // texture drop-downs and rewrites "material.init".
    void CreateMaterial();
    // "Delete Material": removes the selected material and rewrites "material.init".
    void DeleteMaterial();

    // The index in `files` whose folder + name is exactly `path`, or 0 ("none").
    static int32_t FindTextureIndex(const std::vector<std::string>& files, const std::string& folder,
                                    const std::string& path);

    // ---- Panel state; the GUI's widgets are bound to these. ----
    std::vector<std::string> m_materialNames;
    std::vector<std::string> m_diffuseFiles;
    std::vector<std::string> m_normalFiles;
    std::vector<std::string> m_specularFiles;
    std::vector<std::string> m_displacementFiles;
    int m_mainWindow = -1;
    int m_selectWindow = -1;
    int m_materialListWidget = -1;
    int* m_materialSelection;
    int32_t m_appliedSelection = -1;
    int* m_diffuseSelection;
    int* m_specularSelection;
    int* m_displacementSelection;
    int* m_normalSelection;
    char m_nameField[kNameFieldSize] = {};
    std::vector<TextureSelection> m_selections;
    std::string m_diffuseFolder = "textures/diff/";
    std::string m_displacementFolder = "textures/disp/";
    std::string m_specularFolder = "textures/spec/";
    std::string m_normalFolder = "textures/nrm/";
    std::string m_status;
    MaterialManager* m_materials;
    int32_t m_previewMesh = -1;
    std::vector<InstanceHandle> m_previews;
    float m_turnAngle = 0.0f;

private:
    // The preview job of selection record `index`.
    bool RunPreviewJob(size_t index);
    // folder + file for an index into the list; empty for 0 or an index outside it.
    static std::string TexturePath(const std::string& folder, const std::vector<std::string>& files,
                                   int32_t index);
    TextureSelection CurrentTextures() const;
    bool IsSelectable(int32_t index) const;

    // What the selection pointers point at until the GUI hands out its own.
    std::array<int, 5> m_unboundSelections = {};
};

}  // namespace ztengine
