#pragma once
// "MaterialManager": the material list of "material.init" (four texture paths per material).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/serialization/Serializer.h"

namespace ztengine {

// Texture paths as given; an empty path means the material has no texture of that kind.
struct MaterialTextures {
    std::string m_diffuse;
    std::string m_specular;
    std::string m_normal;
    std::string m_displacement;
};

struct MaterialInfo {
    MaterialTextures m_textures;
    std::string m_name;
    // The renderer's material; 0 (its default material) until the material is built.
    int32_t m_materialHandle = 0;
};

class MaterialManager : public Serializer {
public:
    // The list is not read or written yet: its file stays as it is.
    void Save() override {}
    void Load() override {}

    std::vector<MaterialInfo> m_materials;
    // Name to index in m_materials.
    std::map<std::string, int32_t> m_materialIndices;
    std::string m_fileName = "material.init";
};

}  // namespace ztengine
