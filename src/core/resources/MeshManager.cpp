// The mesh list: its strict loader, its compact writer, the loading jobs and the Add operations.
#include "core/resources/MeshManager.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <utility>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/resources/ResourceJson.h"

namespace ztengine {

namespace {

// An integer written without a fraction or exponent that fits 32 signed bits.
bool ReadInt(const rapidjson::Value& object, const char* key, int32_t& out)
{
    const auto it = object.FindMember(key);
    if (it == object.MemberEnd() || !it->value.IsInt())
        return false;
    out = it->value.GetInt();
    return true;
}

// A number written with a fraction or an exponent ("0" is refused, "0.0" taken) that a float
// can hold.
bool ReadFloat(const rapidjson::Value& object, const char* key, float& out)
{
    const auto it = object.FindMember(key);
    if (it == object.MemberEnd() || !it->value.IsDouble())
        return false;
    const double value = it->value.GetDouble();
    if (!(std::fabs(value) <= static_cast<double>(FLT_MAX)))
        return false;
    out = static_cast<float>(value);
    return true;
}

bool ReadString(const rapidjson::Value& object, const char* key, std::string& out)
{
    const rapidjson::Value* value = FindString(object, key);
    if (value == nullptr)
        return false;
    out = ToString(*value);
    return true;
}

// A stack or slice count as the builders take it. Counts below 1 make the builders use 1.
uint32_t Segments(int32_t count, const std::string& meshName, const char* what)
{
    if (count >= 0 && count <= MeshManager::kMaxSegments)
        return static_cast<uint32_t>(count);
    const int32_t used = count < 0 ? 0 : MeshManager::kMaxSegments;
    std::printf("mesh \"%s\": %d %s is out of range, building it with %d\n", meshName.c_str(),
                count, what, used);
    std::fflush(stdout);
    return static_cast<uint32_t>(used);
}

}  // namespace

void MeshManager::Load()
{
    rapidjson::Document document;
    if (!ReadResourceList(m_fileName, document, m_keepUnreadableFile))
        return;

    size_t index = 0;
    for (const rapidjson::Value& element : document.GetArray()) {
        const std::string problem = RecordProblem(
            element, {{"MeshName", RecordValue::String},
                      {"MeshType", RecordValue::Int},
                      {"MeshStacks", RecordValue::Int},
                      {"MeshSlices", RecordValue::Int},
                      {"MeshStartAngle", RecordValue::Float},
                      {"MeshEndAngle", RecordValue::Float},
                      {"MeshMinorFactor", RecordValue::Float},
                      {"MeshFilePath", RecordValue::String},
                      {"MeshFileName", RecordValue::String}});
        if (!problem.empty()) {
            m_keptRecords.Keep(m_fileName, index++, element, problem);
            continue;
        }
        ++index;
        MeshBuildInfo info;
        const bool complete = ReadString(element, "MeshName", info.m_name) &&
                              ReadInt(element, "MeshType", info.m_type) &&
                              ReadInt(element, "MeshStacks", info.m_stacks) &&
                              ReadInt(element, "MeshSlices", info.m_slices) &&
                              ReadFloat(element, "MeshStartAngle", info.m_startAngle) &&
                              ReadFloat(element, "MeshEndAngle", info.m_endAngle) &&
                              ReadFloat(element, "MeshMinorFactor", info.m_minorFactor) &&
                              ReadString(element, "MeshFilePath", info.m_filePath) &&
                              ReadString(element, "MeshFileName", info.m_fileName);
        if (complete)
            m_meshes.push_back(std::move(info));
    }
}

void MeshManager::Save()
{
    SaveResourceList(m_fileName, m_keepUnreadableFile, m_meshes, m_keptRecords, [this](JsonWriter& writer, const MeshBuildInfo& info) {
        bool ok = writer.StartObject();
        ok = ok && writer.Key("MeshName") && writer.String(info.m_name.data(), info.m_name.size());
        ok = ok && writer.Key("MeshType") && writer.Int(info.m_type);
        ok = ok && writer.Key("MeshStacks") && writer.Int(info.m_stacks);
        ok = ok && writer.Key("MeshSlices") && writer.Int(info.m_slices);
        ok = ok && writer.Key("MeshStartAngle") &&
             writer.Double(WritableFloat(info.m_startAngle, m_fileName, "MeshStartAngle"));
        ok = ok && writer.Key("MeshEndAngle") &&
             writer.Double(WritableFloat(info.m_endAngle, m_fileName, "MeshEndAngle"));
        ok = ok && writer.Key("MeshMinorFactor") &&
             writer.Double(WritableFloat(info.m_minorFactor, m_fileName, "MeshMinorFactor"));
        ok = ok && writer.Key("MeshFilePath") &&
             writer.String(info.m_filePath.data(), info.m_filePath.size());
        ok = ok && writer.Key("MeshFileName") &&
             writer.String(info.m_fileName.data(), info.m_fileName.size());
        ok = ok && writer.EndObject();
        return ok;
    });
}

int32_t MeshManager::BuildMesh(Graphics3D& renderer, const MeshBuildInfo& info) const
{
    switch (info.m_type) {
    case MeshTypeSharedCube:
        return m_defaultCubeMesh;
    case MeshTypeCube:
        return renderer.CreateCubeMesh();
    case MeshTypeSphere:
        return renderer.CreateSphereMesh(Segments(info.m_stacks, info.m_name, "stacks"),
                                         Segments(info.m_slices, info.m_name, "slices"));
    case MeshTypeCylinder:
        return renderer.CreateCylinderMesh(Segments(info.m_stacks, info.m_name, "stacks"),
                                           Segments(info.m_slices, info.m_name, "slices"));
    case MeshTypeTorus:
        return renderer.CreateTorusMesh(Segments(info.m_stacks, info.m_name, "stacks"),
                                        Segments(info.m_slices, info.m_name, "slices"),
                                        info.m_startAngle, info.m_endAngle, info.m_minorFactor);
    case MeshTypePlane:
        return renderer.CreatePlaneMesh(Segments(info.m_stacks, info.m_name, "stacks"),
                                        Segments(info.m_slices, info.m_name, "slices"));
    case MeshTypeCone:
        return renderer.CreateConeMesh(Segments(info.m_stacks, info.m_name, "stacks"),
                                       Segments(info.m_slices, info.m_name, "slices"));
    case MeshTypeCustom:
        return renderer.CreateCustomMesh(info.m_filePath.c_str(), info.m_fileName.c_str());
    default:
        return -1;
    }
}

void MeshManager::QueueBuildJobs(Graphics3D& renderer, App& application)
{
    m_defaultCubeMesh = renderer.CreateCubeMesh();
    for (size_t i = 0; i < m_meshes.size(); ++i) {
        const int32_t type = m_meshes[i].m_type;
        if (type < MeshTypeSharedCube || type > MeshTypeCustom)
            continue;
        // By index, not by address: an Add during loading may move the records.
        application.QueueJob([this, &renderer, i]() {
            if (i >= m_meshes.size())
                return true;
            const MeshBuildInfo info = m_meshes[i];
            const int32_t mesh = BuildMesh(renderer, info);
            if (mesh >= 0)
                m_meshHandles.emplace(info.m_name, mesh);
            return true;
        });
    }
}

MeshBuildInfo* MeshManager::RecordFor(const std::string& name, int32_t type)
{
    if (m_meshHandles.count(name) == 0) {
        MeshBuildInfo info;
        info.m_name = name;
        m_meshes.push_back(std::move(info));
        m_meshes.back().m_type = type;
        return &m_meshes.back();
    }
    for (MeshBuildInfo& info : m_meshes) {
        if (info.m_name == name) {
            info.m_type = type;
            return &info;
        }
    }
    return nullptr;
}

int32_t MeshManager::AddCubeMesh(Graphics3D& renderer, std::string name)
{
    RecordFor(name, MeshTypeSharedCube);
    const int32_t mesh = renderer.CreateCubeMesh();
    m_meshHandles[name] = mesh;
    return mesh;
}

int32_t MeshManager::AddSegmentedMesh(Graphics3D& renderer, std::string name, int32_t type,
                                      int32_t stacks, int32_t slices)
{
    if (MeshBuildInfo* info = RecordFor(name, type)) {
        info->m_stacks = stacks;
        info->m_slices = slices;
    }
    MeshBuildInfo built;
    built.m_name = name;
    built.m_type = type;
    built.m_stacks = stacks;
    built.m_slices = slices;
    const int32_t mesh = BuildMesh(renderer, built);
    m_meshHandles[name] = mesh;
    return mesh;
}

int32_t MeshManager::AddSphereMesh(Graphics3D& renderer, std::string name, int32_t stacks,
                                   int32_t slices)
{
    return AddSegmentedMesh(renderer, std::move(name), MeshTypeSphere, stacks, slices);
}

int32_t MeshManager::AddCylinderMesh(Graphics3D& renderer, std::string name, int32_t stacks,
                                     int32_t slices)
{
    return AddSegmentedMesh(renderer, std::move(name), MeshTypeCylinder, stacks, slices);
}

int32_t MeshManager::AddPlaneMesh(Graphics3D& renderer, std::string name, int32_t stacks,
                                  int32_t slices)
{
    return AddSegmentedMesh(renderer, std::move(name), MeshTypePlane, stacks, slices);
}

int32_t MeshManager::AddConeMesh(Graphics3D& renderer, std::string name, int32_t stacks,
                                 int32_t slices)
{
    return AddSegmentedMesh(renderer, std::move(name), MeshTypeCone, stacks, slices);
}

int32_t MeshManager::AddTorusMesh(Graphics3D& renderer, std::string name, int32_t stacks,
                                  int32_t slices, float startAngle, float endAngle,
                                  float minorFactor)
{
    if (MeshBuildInfo* info = RecordFor(name, MeshTypeTorus)) {
        info->m_stacks = stacks;
        info->m_slices = slices;
        info->m_startAngle = startAngle;
        info->m_endAngle = endAngle;
        info->m_minorFactor = minorFactor;
    }
    MeshBuildInfo built;
    built.m_name = name;
    built.m_type = MeshTypeTorus;
    built.m_stacks = stacks;
    built.m_slices = slices;
    built.m_startAngle = startAngle;
    built.m_endAngle = endAngle;
    built.m_minorFactor = minorFactor;
    const int32_t mesh = BuildMesh(renderer, built);
    m_meshHandles[name] = mesh;
    return mesh;
}

int32_t MeshManager::AddCustomMesh(Graphics3D& renderer, std::string name, const char* filePath,
                                   const char* fileName)
{
    const std::string path = filePath != nullptr ? filePath : "";
    const std::string file = fileName != nullptr ? fileName : "";
    if (MeshBuildInfo* info = RecordFor(name, MeshTypeCustom)) {
        info->m_filePath = path;
        info->m_fileName = file;
    }
    const int32_t mesh = renderer.CreateCustomMesh(path.c_str(), file.c_str());
    m_meshHandles[name] = mesh;
    return mesh;
}

int32_t MeshManager::GetMesh(const char* name) const
{
    const auto it = m_meshHandles.find(name != nullptr ? name : "");
    return it == m_meshHandles.end() ? m_defaultCubeMesh : it->second;
}

void MeshManager::RemoveMesh(const std::string& name)
{
    for (size_t i = 0; i < m_meshes.size(); ++i) {
        if (m_meshes[i].m_name == name) {
            m_meshes.erase(m_meshes.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    m_meshHandles.erase(name);
}

}  // namespace ztengine
