#pragma once
// "ModelManager": the model list of "model.init" (a material and a mesh by name, with the
// animation files of the model); the game finds its renderer models here by name.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/resources/ResourceJson.h"
#include "core/serialization/Serializer.h"

namespace ztengine {

class Graphics3D;
class MaterialManager;
class MeshManager;

struct ModelInfo {
    std::string m_materialName;
    std::string m_meshName;
    std::string m_modelName;
    std::vector<std::string> m_animationNames;
    // The renderer's model; -1 until the models are built.
    int32_t m_modelHandle = -1;
};

class ModelManager : public Serializer {
public:
    // Writes the whole list as one compact JSON array, replacing the file. A file that held
    // something unreadable at start-up is left alone: the list in memory lacks its models.
    void Save() override;
    // Appends the file's models with handle -1; names are mapped when the models are built.
    void Load() override;

    // The model mapped to the name, or the default model (a cube with the default material once
    // BuildModels has run, 0 before). The reference is to the stored handle: it shows a later
    // rebuild of the name, and stays valid until the name is removed.
    int32_t& GetModel(const char* name);

    // Creates every listed model from the built materials and meshes (a later duplicate name
    // wins), then the default model, then lists the animation files. Loads no animations: the
    // systems that animate a model load them themselves. Run once, after the first loading wave.
    void BuildModels(Graphics3D& renderer, MaterialManager& materials, MeshManager& meshes);

    // Creates the model now with its animations, records it (a known name updates every record
    // of that name) and maps the name to it. A model without animations is recorded with one
    // empty animation name.
    int32_t& AddModel(Graphics3D& renderer, const std::string& modelName,
                      MaterialManager& materials, MeshManager& meshes,
                      const std::string& meshName, const std::string& materialName,
                      std::vector<std::string> animationNames);

    // Erases the first record of that name and the name's mapping; the renderer keeps the model.
    void RemoveModel(const char* modelName);

    bool KeepsUnreadableFile() const { return m_keepUnreadableFile; }

    std::string m_fileName = "model.init";
    std::vector<ModelInfo> m_models;
    std::map<std::string, int32_t> m_modelHandles;
    // Names (without folder) of the files matching "animation/*.FBX".
    std::vector<std::string> m_animationFiles;
    int32_t m_defaultModel = 0;

private:
    // Records that could not be used, written back as they stand.
    KeptRecords m_keptRecords;
    bool m_keepUnreadableFile = false;
};

}  // namespace ztengine
