#include "core/resources/MaterialManager.h"

#include <cstdio>
#include <utility>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/resources/ResourceJson.h"

namespace ztengine {

namespace {

const char* PathOrNull(const std::string& path)
{
    return path.empty() ? nullptr : path.c_str();
}

}  // namespace

void MaterialManager::Load()
{
    rapidjson::Document document;
    if (!ReadResourceList(m_fileName, document, m_keepUnreadableFile))
        return;

    size_t index = 0;
    for (const rapidjson::Value& element : document.GetArray()) {
        const std::string problem =
            RecordProblem(element, {{"mat", RecordValue::String},
                                    {"diff", RecordValue::String},
                                    {"spec", RecordValue::String},
                                    {"nrm", RecordValue::String},
                                    {"disp", RecordValue::String}});
        if (!problem.empty()) {
            m_keptRecords.Keep(m_fileName, index++, element, problem);
            continue;
        }
        ++index;
        const rapidjson::Value* name = FindString(element, "mat");
        const rapidjson::Value* diffuse = FindString(element, "diff");
        const rapidjson::Value* specular = FindString(element, "spec");
        const rapidjson::Value* normal = FindString(element, "nrm");
        const rapidjson::Value* displacement = FindString(element, "disp");
        if (!name || !diffuse || !specular || !normal || !displacement)
            continue;

        MaterialInfo info;
        info.m_textures = {ToString(*diffuse), ToString(*specular), ToString(*normal),
                           ToString(*displacement)};
        info.m_name = ToString(*name);
        m_materialIndices[info.m_name] = static_cast<int32_t>(m_materials.size());
        m_materials.push_back(std::move(info));
    }
}

void MaterialManager::Save()
{
    SaveResourceList(m_fileName, m_keepUnreadableFile, m_materials, m_keptRecords, [](JsonWriter& writer, const MaterialInfo& info) {
        bool ok = writer.StartObject();
        ok = ok && writer.Key("mat") && writer.String(info.m_name.data(), info.m_name.size());
        const std::pair<const char*, const std::string*> paths[] = {
            {"diff", &info.m_textures.m_diffuse},
            {"spec", &info.m_textures.m_specular},
            {"nrm", &info.m_textures.m_normal},
            {"disp", &info.m_textures.m_displacement},
        };
        for (const auto& [key, path] : paths)
            ok = ok && writer.Key(key) && writer.String(path->data(), path->size());
        ok = ok && writer.EndObject();
        return ok;
    });
}

int32_t MaterialManager::AddMaterial(Graphics3D& renderer, const char* name,
                                     MaterialTextures textures)
{
    const int32_t count = static_cast<int32_t>(m_materials.size());
    const int32_t handle =
        renderer.CreateMaterial(PathOrNull(textures.m_diffuse), PathOrNull(textures.m_specular),
                                PathOrNull(textures.m_normal), PathOrNull(textures.m_displacement));

    const std::string key = name != nullptr ? name : "";
    if (m_materialIndices.count(key) != 0) {
        for (MaterialInfo& info : m_materials) {
            if (info.m_name == key) {
                info.m_textures = textures;
                info.m_materialHandle = handle;
            }
        }
    } else {
        m_materials.push_back(MaterialInfo{std::move(textures), key, handle});
        m_materialIndices[key] = count;
    }
    return handle;
}

void MaterialManager::QueueBuildJobs(Graphics3D& renderer, App& application)
{
    for (size_t i = 0; i < m_materials.size(); ++i) {
        application.QueueJob([this, &renderer, i]() {
            BuildMaterial(renderer, i);
            return true;
        });
    }
}

void MaterialManager::BuildMaterial(Graphics3D& renderer, size_t index)
{
    // The editor may delete materials while the loading screen still runs the jobs.
    if (index >= m_materials.size())
        return;
    MaterialInfo& info = m_materials[index];
    const MaterialTextures& t = info.m_textures;
    info.m_materialHandle =
        renderer.CreateMaterial(PathOrNull(t.m_diffuse), PathOrNull(t.m_specular),
                                PathOrNull(t.m_normal), PathOrNull(t.m_displacement));
}

int32_t MaterialManager::GetMaterialIndex(std::string name) const
{
    const auto it = m_materialIndices.find(name);
    return it == m_materialIndices.end() ? -1 : it->second;
}

int32_t MaterialManager::GetMaterialHandle(const std::string& name) const
{
    const int32_t index = GetMaterialIndex(name);
    if (index < 0 || static_cast<size_t>(index) >= m_materials.size())
        return 0;
    return m_materials[static_cast<size_t>(index)].m_materialHandle;
}

void MaterialManager::RemoveMaterial(const char* name)
{
    const std::string key = name != nullptr ? name : "";
    int32_t erased = -1;
    for (size_t i = 0; i < m_materials.size(); ++i) {
        if (m_materials[i].m_name == key) {
            m_materials.erase(m_materials.begin() + static_cast<std::ptrdiff_t>(i));
            erased = static_cast<int32_t>(i);
            break;
        }
    }
    m_materialIndices.erase(key);
    if (erased < 0)
        return;
    for (auto& [mapped, index] : m_materialIndices) {
        if (index > erased)
            --index;
    }
}

}  // namespace ztengine
