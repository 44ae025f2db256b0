#pragma once
// "PropManager": the stored scenes (props, point lights, sun and player start) with their files
// under "scenes/", and the working scene that the scene editor edits. "DungeonScene" is the
// generated dungeon in the same scene form.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Vector3.h"
#include "core/serialization/Serializer.h"

namespace ztengine {

struct Prop {
    float m_tiling[2] = {0.0f, 0.0f};
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_scale;
    std::string m_modelName;
    std::string m_name;
    float m_pitch = 0.0f;
    float m_yaw = 0.0f;
    float m_roll = 0.0f;
    bool m_enableRender = true;
    bool m_enableFakeLight = false;
    bool m_enableCollision = false;
    uint8_t m_reserved0 = 1;
    uint8_t m_reserved1 = 1;
    int32_t m_reservedWord = 0;
    int32_t m_colliderType = 0;
    int32_t m_colliderIndex = -1;
};

struct PointLight {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_colour;
    std::string m_name;
    float m_diffuseIntensity = 1.0f;
    float m_radius = 3.0f;
};

struct DungeonScene {
    std::string m_name;
    ztmath::Vector3 m_playerStart;
    std::vector<Prop> m_props;
    std::vector<PointLight> m_pointLights;
    ztmath::Vector3 m_lightDirection;
    ztmath::Vector3 m_lightColour;
    bool m_lightEnabled = false;
};

struct WorkingProp {
    Prop m_prop;
    InstanceHandle m_instance;
};

class PropManager : public Serializer {
public:
    // Writes every stored scene as folder + name + ".json", ".dlight" and ".plight" (pretty,
    // CR LF). A file that held something unreadable at start-up is kept until its scene is
    // stored again.
    void Save() override;
    // Reads every scene of the folder. The light files go with the ".json" file of the same
    // name; the scene is named by the file name up to its first ".".
    void Load() override;

    // Copies the working scene into the stored scene of that name (appended, and its name
    // remembered, when there is none) and returns its index in m_scenes.
    int32_t StoreCurrentScene(const char* name);
    // Replaces the stored scene of the same name, or appends it; returns its index.
    int32_t AddScene(DungeonScene scene);
    // A copy of the first stored scene of that name, or an empty scene.
    DungeonScene GetScene(std::string name) const;

    // The working scene. Indices must lie below the number of working props or lights.
    void SetPointLight(int i, PointLight light);
    void RemovePointLight(int i);
    // Hides the prop's instance (the renderer keeps it) and erases the prop.
    void RemoveProp(int i);
    // Hides every working prop's instance, then empties the working props and lights.
    void ClearWorkingScene();
    // Every working prop into its instance: transform, tiling, hidden and fake-light flags, and
    // the orientation turned by pitch, then roll, then yaw. Run every frame by the scene editor.
    void ApplyPropsToInstances();
    void HideAllProps();
    void ShowAllProps();

    // The three file paths of a scene name: the files it was read from, or its name + extension.
    std::string ScenePath(const std::string& sceneName, const char* extension) const;
    // The file name, without extension, that the scene's files use.
    std::string SceneStem(const std::string& sceneName) const;
    // Whether Save leaves this file as it is because it could not be read at start-up.
    bool KeepsUnreadableFile(const std::string& path) const
    {
        return m_unreadableFiles.count(path) != 0;
    }

    std::vector<WorkingProp> m_workingProps;
    std::vector<DungeonScene> m_scenes;
    std::vector<std::string> m_sceneNames;
    std::vector<PointLight> m_workingLights;
    ztmath::Vector3 m_lightDirection;
    ztmath::Vector3 m_lightColour;
    bool m_lightEnabled = false;
    ztmath::Vector3 m_playerStart;
    std::string m_folder = "scenes/";

private:
    // A scene stored anew replaces what its unreadable files held: they may be written again.
    void ReleaseUnreadableFiles(const std::string& sceneName);
    void SetHiddenAll(bool hidden);

    std::set<std::string> m_unreadableFiles;
    // Scene name -> the stem of the files it was read from, when that differs from the name.
    std::map<std::string, std::string> m_sceneStems;
};

// Why a scene name typed in the editor cannot be the name of its files (it would leave the scene
// folder, cannot be stored there, or would load back as another scene), or null when it can.
const char* SceneNameProblem(const std::string& name);

}  // namespace ztengine
