#pragma once
// "MaterialManager": the material list of "material.init" (four texture paths per material) and
// the renderer materials built from it by the loading jobs.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/resources/ResourceJson.h"
#include "core/serialization/Serializer.h"

namespace ztengine {

class App;
class Graphics3D;

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
    // Writes the whole list as one compact JSON array, replacing the file. A file that held
    // something unreadable at start-up is left alone: the list in memory lacks its materials.
    void Save() override;
    // Appends the file's materials (handle 0) and maps their names; a later duplicate name wins.
    // Silent when the file is missing; a root that is not an array prints one line.
    void Load() override;

    // Always creates a new renderer material (empty paths passed as null). A known name gives
    // every record of that name the new paths and handle; a new name appends a record.
    int32_t AddMaterial(Graphics3D& renderer, const char* name, MaterialTextures textures);
    // One job per record present now; each builds its record's material once, on its turn.
    void QueueBuildJobs(Graphics3D& renderer, App& application);
    // The record index of the name, or -1.
    int32_t GetMaterialIndex(std::string name) const;
    // The renderer material of the name: the mapped record's handle, or 0 (the default
    // material) for an unknown name or an index outside the list.
    int32_t GetMaterialHandle(const std::string& name) const;
    // Erases the first record of that name and re-indexes the map; the renderer keeps the
    // material.
    void RemoveMaterial(const char* name);

    bool KeepsUnreadableFile() const { return m_keepUnreadableFile; }

    std::vector<MaterialInfo> m_materials;
    // Name to index in m_materials.
    std::map<std::string, int32_t> m_materialIndices;
    std::string m_fileName = "material.init";

private:
    // Builds record i's material, if the record still exists.
    void BuildMaterial(Graphics3D& renderer, size_t index);

    // Records that could not be used, written back as they stand.
    KeptRecords m_keptRecords;
    bool m_keepUnreadableFile = false;
};

}  // namespace ztengine
