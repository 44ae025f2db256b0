// The model list: its loader and compact writer, the one pass that builds every listed model,
// and the editor's add and remove.
#include "core/resources/ModelManager.h"

#include <cstdio>
#include <utility>

#include "core/graphics/framework/Graphics3D.h"
#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ResourceJson.h"
#include "core/util/FileUtils.h"

namespace ztengine {

namespace {

constexpr const char* kAnimationFolder = "animation/";
constexpr const char* kAnimationPattern = "*.FBX";

// The renderer model of a mesh name and a material name. A mesh that does not exist yet (the
// meshes were never queued) gets a cube of its own rather than stopping the program.
int32_t CreateListedModel(Graphics3D& renderer, MaterialManager& materials, MeshManager& meshes,
                          const std::string& meshName, const std::string& materialName,
                          int32_t& spareCube)
{
    int32_t mesh = meshes.GetMesh(meshName.c_str());
    if (mesh < 0) {
        if (spareCube < 0)
            spareCube = renderer.CreateCubeMesh();
        mesh = spareCube;
    }
    const int32_t material = materials.GetMaterialHandle(materialName);
    return renderer.CreateModel(static_cast<uint32_t>(mesh), static_cast<uint32_t>(material));
}

}  // namespace

void ModelManager::Load()
{
    rapidjson::Document document;
    if (!ReadResourceList(m_fileName, document, m_keepUnreadableFile))
        return;

    size_t index = 0;
    for (const rapidjson::Value& element : document.GetArray()) {
        std::string problem = RecordProblem(element, {{"ModelName", RecordValue::String},
                                                      {"MeshName", RecordValue::String},
                                                      {"MaterialName", RecordValue::String}});
        // The animations are optional, but when listed they must be names.
        if (problem.empty() && element.HasMember("AnimationNames"))
            problem = RecordProblem(element, {{"AnimationNames", RecordValue::StringArray}});
        if (!problem.empty()) {
            m_keptRecords.Keep(m_fileName, index++, element, problem);
            continue;
        }
        ++index;
        const rapidjson::Value* modelName = FindString(element, "ModelName");
        const rapidjson::Value* meshName = FindString(element, "MeshName");
        const rapidjson::Value* materialName = FindString(element, "MaterialName");
        if (!modelName || !meshName || !materialName)
            continue;

        ModelInfo info;
        info.m_materialName = ToString(*materialName);
        info.m_meshName = ToString(*meshName);
        info.m_modelName = ToString(*modelName);
        const auto animations = element.FindMember("AnimationNames");
        if (animations != element.MemberEnd() && animations->value.IsArray()) {
            for (const rapidjson::Value& name : animations->value.GetArray()) {
                if (name.IsString())
                    info.m_animationNames.push_back(ToString(name));
            }
        }
        m_models.push_back(std::move(info));
    }
}

void ModelManager::Save()
{
    SaveResourceList(m_fileName, m_keepUnreadableFile, m_models, m_keptRecords, [](JsonWriter& writer, const ModelInfo& info) {
        bool ok = writer.StartObject();
        ok = ok && writer.Key("ModelName") &&
             writer.String(info.m_modelName.data(), info.m_modelName.size());
        ok = ok && writer.Key("MeshName") &&
             writer.String(info.m_meshName.data(), info.m_meshName.size());
        ok = ok && writer.Key("MaterialName") &&
             writer.String(info.m_materialName.data(), info.m_materialName.size());
        ok = ok && writer.Key("AnimationNames") && writer.StartArray();
        for (const std::string& name : info.m_animationNames)
            ok = ok && writer.String(name.data(), name.size());
        ok = ok && writer.EndArray() && writer.EndObject();
        return ok;
    });
}

int32_t& ModelManager::GetModel(const char* name)
{
    const auto it = m_modelHandles.find(name != nullptr ? name : "");
    return it == m_modelHandles.end() ? m_defaultModel : it->second;
}

void ModelManager::BuildModels(Graphics3D& renderer, MaterialManager& materials,
                               MeshManager& meshes)
{
    int32_t spareCube = -1;
    for (ModelInfo& info : m_models) {
        info.m_modelHandle = CreateListedModel(renderer, materials, meshes, info.m_meshName,
                                               info.m_materialName, spareCube);
        m_modelHandles[info.m_modelName] = info.m_modelHandle;
    }

    const int32_t cube = renderer.CreateCubeMesh();
    m_defaultModel = renderer.CreateModel(static_cast<uint32_t>(cube), 0);

    ListFiles(JoinPath(kAnimationFolder, kAnimationPattern), m_animationFiles);
}

int32_t& ModelManager::AddModel(Graphics3D& renderer, const std::string& modelName,
                                MaterialManager& materials, MeshManager& meshes,
                                const std::string& meshName, const std::string& materialName,
                                std::vector<std::string> animationNames)
{
    int32_t spareCube = -1;
    const int32_t model =
        CreateListedModel(renderer, materials, meshes, meshName, materialName, spareCube);
    for (const std::string& animation : animationNames) {
        // The empty name stands for "no animations" in the stored record; there is no file.
        if (!animation.empty())
            renderer.LoadAnimation(model, animation.c_str());
    }
    if (animationNames.empty())
        animationNames.emplace_back();

    if (m_modelHandles.count(modelName) == 0) {
        m_models.push_back(ModelInfo{materialName, meshName, modelName, animationNames, model});
    } else {
        for (ModelInfo& info : m_models) {
            if (info.m_modelName == modelName) {
                info.m_materialName = materialName;
                info.m_meshName = meshName;
                info.m_animationNames = animationNames;
                info.m_modelHandle = model;
            }
        }
    }

    int32_t& handle = m_modelHandles[modelName];
    handle = model;
    return handle;
}

void ModelManager::RemoveModel(const char* modelName)
{
    const std::string name = modelName != nullptr ? modelName : "";
    for (size_t i = 0; i < m_models.size(); ++i) {
        if (m_models[i].m_modelName == name) {
            m_models.erase(m_models.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    m_modelHandles.erase(name);
}

}  // namespace ztengine
