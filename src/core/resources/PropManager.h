#pragma once
// "PropManager": the stored scenes (props, point lights, sun and player start) with their files
// under "scenes/", and the working scene that the scene editor edits. "DungeonScene" is the
// generated dungeon in the same scene form.
#include <cstdint>
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
    // The scenes are not read or written yet: their files stay as they are.
    void Save() override {}
    void Load() override {}

    std::vector<WorkingProp> m_workingProps;
    std::vector<DungeonScene> m_scenes;
    std::vector<std::string> m_sceneNames;
    std::vector<PointLight> m_workingLights;
    ztmath::Vector3 m_lightDirection;
    ztmath::Vector3 m_lightColour;
    bool m_lightEnabled = false;
    ztmath::Vector3 m_playerStart;
    std::string m_folder = "scenes/";
};

}  // namespace ztengine
