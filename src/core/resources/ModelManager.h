#pragma once
// "ModelManager": the model list of "model.init" (a material and a mesh by name, with the
// animation files of the model); the game finds its renderer models here by name.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/serialization/Serializer.h"

namespace ztengine {

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
    // The list is not read or written yet: its file stays as it is.
    void Save() override {}
    void Load() override {}

    std::string m_fileName = "model.init";
    std::vector<ModelInfo> m_models;
    std::map<std::string, int32_t> m_modelHandles;
    std::vector<std::string> m_animationFiles;
    int32_t m_defaultModel = 0;
};

}  // namespace ztengine
