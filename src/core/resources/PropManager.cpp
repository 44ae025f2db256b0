// The scenes: their three files (props, directional light and player start, point lights), the
// stored scenes and the working scene of the scene editor.
//
// [SECTION] Reading
// [SECTION] Writing
// [SECTION] Load and Save
// [SECTION] Stored scenes
// [SECTION] Working scene
#include "core/resources/PropManager.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>

#include "core/math/Basis.h"
#include "core/math/Vector2.h"
#include "core/resources/ResourceJson.h"
#include "core/util/FileUtils.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

namespace {

constexpr const char* kPropsExtension = ".json";
constexpr const char* kDirectionalExtension = ".dlight";
constexpr const char* kPointLightsExtension = ".plight";

// ---------------------------------------------------------------------------------------------
// [SECTION] Reading

bool KeyIs(const rapidjson::Value& key, std::string_view expected)
{
    return std::string_view(key.GetString(), key.GetStringLength()) == expected;
}

bool IsFloat(const rapidjson::Value& value)
{
    return value.IsNumber() && std::fabs(value.GetDouble()) <= static_cast<double>(FLT_MAX);
}

bool ReadFloat(const rapidjson::Value& value, float& out)
{
    if (!IsFloat(value))
        return false;
    out = static_cast<float>(value.GetDouble());
    return true;
}

// The first `count` elements of an array, when they are all numbers a float can hold.
bool ReadFloats(const rapidjson::Value& value, float* out, unsigned count)
{
    if (!value.IsArray() || value.Size() < count)
        return false;
    for (unsigned i = 0; i < count; ++i) {
        if (!IsFloat(value[i]))
            return false;
    }
    for (unsigned i = 0; i < count; ++i)
        out[i] = static_cast<float>(value[i].GetDouble());
    return true;
}

bool ReadVector(const rapidjson::Value& value, ztmath::Vector3& out)
{
    float xyz[3];
    if (!ReadFloats(value, xyz, 3))
        return false;
    out = ztmath::Vector3(xyz[0], xyz[1], xyz[2]);
    return true;
}

void ReadProps(const rapidjson::Value& root, std::vector<Prop>& props)
{
    Prop prop;
    for (const auto& member : root.GetObject()) {
        const rapidjson::Value& key = member.name;
        const rapidjson::Value& value = member.value;
        if (KeyIs(key, "name")) {
            if (value.IsString())
                prop.m_name = ToString(value);
        } else if (KeyIs(key, "model name")) {
            if (value.IsString())
                prop.m_modelName = ToString(value);
        } else if (KeyIs(key, "position")) {
            ReadVector(value, prop.m_position);
        } else if (KeyIs(key, "scale")) {
            ReadVector(value, prop.m_scale);
        } else if (KeyIs(key, "pitch")) {
            ReadFloat(value, prop.m_pitch);
        } else if (KeyIs(key, "yaw")) {
            ReadFloat(value, prop.m_yaw);
        } else if (KeyIs(key, "roll")) {
            ReadFloat(value, prop.m_roll);
        } else if (KeyIs(key, "tiling")) {
            ReadFloats(value, prop.m_tiling, 2);
        } else if (KeyIs(key, "enable render")) {
            if (value.IsBool())
                prop.m_enableRender = value.GetBool();
        } else if (KeyIs(key, "enable fakelight")) {
            if (value.IsBool())
                prop.m_enableFakeLight = value.GetBool();
        } else if (KeyIs(key, "enable collision")) {
            if (value.IsBool())
                prop.m_enableCollision = value.GetBool();
        } else if (KeyIs(key, "collider index")) {
            // Stored unsigned: 4294967295 is "no collider" (-1).
            if (value.IsUint())
                prop.m_colliderIndex = static_cast<int32_t>(value.GetUint());
        } else if (KeyIs(key, "collider type")) {
            // Closes the prop even when its value is unusable, so that one bad value does not
            // merge two props into one.
            if (value.IsInt())
                prop.m_colliderType = value.GetInt();
            props.push_back(std::move(prop));
            prop = Prop();
        }
    }
}

void ReadPointLights(const rapidjson::Value& root, std::vector<PointLight>& lights)
{
    PointLight light;
    for (const auto& member : root.GetObject()) {
        const rapidjson::Value& key = member.name;
        const rapidjson::Value& value = member.value;
        if (KeyIs(key, "light name")) {
            if (value.IsString())
                light.m_name = ToString(value);
        } else if (KeyIs(key, "position")) {
            ReadVector(value, light.m_position);
        } else if (KeyIs(key, "colour")) {
            ReadVector(value, light.m_colour);
        } else if (KeyIs(key, "diff intensity")) {
            ReadFloat(value, light.m_diffuseIntensity);
        } else if (KeyIs(key, "radius")) {
            ReadFloat(value, light.m_radius);
            lights.push_back(std::move(light));
            light = PointLight();
        }
    }
}

void ReadDirectionalLight(const rapidjson::Value& root, DungeonScene& scene)
{
    // Direction and colour count only once an "enabled" member after them confirms them.
    ztmath::Vector3 direction;
    ztmath::Vector3 colour;
    for (const auto& member : root.GetObject()) {
        const rapidjson::Value& key = member.name;
        const rapidjson::Value& value = member.value;
        if (KeyIs(key, "player startpos")) {
            ReadVector(value, scene.m_playerStart);
        } else if (KeyIs(key, "direction")) {
            ReadVector(value, direction);
        } else if (KeyIs(key, "colour")) {
            ReadVector(value, colour);
        } else if (KeyIs(key, "enabled")) {
            scene.m_lightDirection = direction;
            scene.m_lightColour = colour;
            if (value.IsBool())
                scene.m_lightEnabled = value.GetBool();
            direction = ztmath::Vector3();
            colour = ztmath::Vector3();
        }
    }
}

// The listed name without its last extension: "hall.json" and "hall.plight" share "hall".
std::string FileStem(const std::string& fileName)
{
    const size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

// The light file of the same stem in a listing, or an empty name.
std::string FindPartner(const std::vector<std::string>& listing, const std::string& stem)
{
    for (const std::string& name : listing) {
        if (FileStem(name) == stem)
            return name;
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Writing

bool WriteVector(ScenePrettyWriter& writer, const ztmath::Vector3& v, const std::string& path,
                 const char* field)
{
    return writer.StartArray() && writer.Double(WritableFloat(v.x, path, field)) &&
           writer.Double(WritableFloat(v.y, path, field)) &&
           writer.Double(WritableFloat(v.z, path, field)) && writer.EndArray();
}

bool WriteString(ScenePrettyWriter& writer, const char* key, const std::string& value)
{
    return writer.Key(key) && writer.String(value.data(), value.size());
}

bool WriteProps(ScenePrettyWriter& writer, const DungeonScene& scene, const std::string& path)
{
    bool ok = writer.StartObject();
    for (const Prop& prop : scene.m_props) {
        ok = ok && WriteString(writer, "name", prop.m_name);
        ok = ok && WriteString(writer, "model name", prop.m_modelName);
        ok = ok && writer.Key("position") && WriteVector(writer, prop.m_position, path, "position");
        ok = ok && writer.Key("scale") && WriteVector(writer, prop.m_scale, path, "scale");
        ok = ok && writer.Key("pitch") && writer.Double(WritableFloat(prop.m_pitch, path, "pitch"));
        ok = ok && writer.Key("yaw") && writer.Double(WritableFloat(prop.m_yaw, path, "yaw"));
        ok = ok && writer.Key("roll") && writer.Double(WritableFloat(prop.m_roll, path, "roll"));
        ok = ok && writer.Key("tiling") && writer.StartArray() &&
             writer.Double(WritableFloat(prop.m_tiling[0], path, "tiling")) &&
             writer.Double(WritableFloat(prop.m_tiling[1], path, "tiling")) && writer.EndArray();
        ok = ok && writer.Key("enable render") && writer.Bool(prop.m_enableRender);
        ok = ok && writer.Key("enable fakelight") && writer.Bool(prop.m_enableFakeLight);
        ok = ok && writer.Key("enable collision") && writer.Bool(prop.m_enableCollision);
        ok = ok && writer.Key("collider index") &&
             writer.Uint(static_cast<uint32_t>(prop.m_colliderIndex));
        ok = ok && writer.Key("collider type") && writer.Int(prop.m_colliderType);
    }
    return ok && writer.EndObject();
}

bool WriteDirectionalLight(ScenePrettyWriter& writer, const DungeonScene& scene,
                           const std::string& path)
{
    return writer.StartObject() && writer.Key("player startpos") &&
           WriteVector(writer, scene.m_playerStart, path, "player startpos") &&
           writer.Key("direction") &&
           WriteVector(writer, scene.m_lightDirection, path, "direction") &&
           writer.Key("colour") && WriteVector(writer, scene.m_lightColour, path, "colour") &&
           writer.Key("enabled") && writer.Bool(scene.m_lightEnabled) && writer.EndObject();
}

bool WritePointLights(ScenePrettyWriter& writer, const DungeonScene& scene,
                      const std::string& path)
{
    bool ok = writer.StartObject();
    for (const PointLight& light : scene.m_pointLights) {
        ok = ok && WriteString(writer, "light name", light.m_name);
        ok = ok && writer.Key("position") && WriteVector(writer, light.m_position, path, "position");
        ok = ok && writer.Key("colour") && WriteVector(writer, light.m_colour, path, "colour");
        ok = ok && writer.Key("diff intensity") &&
             writer.Double(WritableFloat(light.m_diffuseIntensity, path, "diff intensity"));
        ok = ok && writer.Key("radius") &&
             writer.Double(WritableFloat(light.m_radius, path, "radius"));
    }
    return ok && writer.EndObject();
}

template <class WriteBody>
void WriteSceneFile(const std::string& path, const DungeonScene& scene, WriteBody writeBody)
{
    std::string out;
    CrLfStringStream stream(out);
    ScenePrettyWriter writer(stream);
    if (!writeBody(writer, scene, path) || !writer.IsComplete()) {
        std::printf("error writing out: %s\n", path.c_str());
        std::fflush(stdout);
        return;
    }
    WriteResourceFile(path, out);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] Load and Save

std::string PropManager::ScenePath(const std::string& sceneName, const char* extension) const
{
    return JoinPath(m_folder, sceneName + extension);
}

void PropManager::Load()
{
    std::vector<std::string> propFiles;
    std::vector<std::string> pointLightFiles;
    std::vector<std::string> directionalFiles;
    ListFiles(JoinPath(m_folder, "*.json"), propFiles);
    ListFiles(JoinPath(m_folder, "*.plight"), pointLightFiles);
    ListFiles(JoinPath(m_folder, "*.dlight"), directionalFiles);

    for (const std::string& propFile : propFiles) {
        DungeonScene scene;
        scene.m_name = propFile.substr(0, propFile.find('.'));
        const std::string stem = FileStem(propFile);

        // Reads one of the scene's files; a file that holds something unreadable is reported
        // and kept from being overwritten with the empty part it gave.
        auto readPart = [&](const std::string& listedName, const char* extension,
                            auto&& readObject) {
            if (listedName.empty())
                return;
            const std::string path = JoinPath(m_folder, listedName);
            rapidjson::Document document;
            const JsonReadResult read = ReadJsonDocument(path, document);
            if (read == JsonReadResult::Parsed && document.IsObject()) {
                readObject(document);
                return;
            }
            if (read == JsonReadResult::Malformed ||
                (read == JsonReadResult::Parsed && !document.IsObject())) {
                std::printf("%s is not a proper json file format\n", path.c_str());
                std::fflush(stdout);
                m_unreadableFiles.insert(ScenePath(scene.m_name, extension));
            }
        };

        readPart(propFile, kPropsExtension,
                 [&](const rapidjson::Value& root) { ReadProps(root, scene.m_props); });
        readPart(FindPartner(pointLightFiles, stem), kPointLightsExtension,
                 [&](const rapidjson::Value& root) { ReadPointLights(root, scene.m_pointLights); });
        readPart(FindPartner(directionalFiles, stem), kDirectionalExtension,
                 [&](const rapidjson::Value& root) { ReadDirectionalLight(root, scene); });
        m_scenes.push_back(std::move(scene));
    }
}

void PropManager::Save()
{
    struct Part {
        const char* extension;
        bool (*write)(ScenePrettyWriter&, const DungeonScene&, const std::string&);
    };
    static const Part kParts[] = {
        {kPropsExtension, &WriteProps},
        {kDirectionalExtension, &WriteDirectionalLight},
        {kPointLightsExtension, &WritePointLights},
    };
    for (const DungeonScene& scene : m_scenes) {
        for (const Part& part : kParts) {
            const std::string path = ScenePath(scene.m_name, part.extension);
            if (KeepsUnreadableFile(path)) {
                ReportKeptUnreadableFile(path);
                continue;
            }
            WriteSceneFile(path, scene, part.write);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Stored scenes

void PropManager::ReleaseUnreadableFiles(const std::string& sceneName)
{
    for (const char* extension : {kPropsExtension, kDirectionalExtension, kPointLightsExtension})
        m_unreadableFiles.erase(ScenePath(sceneName, extension));
}

int32_t PropManager::StoreCurrentScene(const char* name)
{
    const std::string sceneName = name != nullptr ? name : "";
    std::vector<Prop> props;
    props.reserve(m_workingProps.size());
    for (const WorkingProp& working : m_workingProps)
        props.push_back(working.m_prop);

    ReleaseUnreadableFiles(sceneName);
    for (size_t i = 0; i < m_scenes.size(); ++i) {
        DungeonScene& scene = m_scenes[i];
        if (scene.m_name != sceneName)
            continue;
        scene.m_props = std::move(props);
        scene.m_pointLights = m_workingLights;
        scene.m_lightDirection = m_lightDirection;
        scene.m_lightColour = m_lightColour;
        scene.m_lightEnabled = m_lightEnabled;
        scene.m_playerStart = m_playerStart;
        return static_cast<int32_t>(i);
    }

    DungeonScene scene;
    scene.m_name = sceneName;
    scene.m_playerStart = m_playerStart;
    scene.m_props = std::move(props);
    scene.m_pointLights = m_workingLights;
    scene.m_lightDirection = m_lightDirection;
    scene.m_lightColour = m_lightColour;
    scene.m_lightEnabled = m_lightEnabled;
    m_scenes.push_back(std::move(scene));
    m_sceneNames.push_back(sceneName);
    return static_cast<int32_t>(m_scenes.size() - 1);
}

int32_t PropManager::AddScene(DungeonScene scene)
{
    ReleaseUnreadableFiles(scene.m_name);
    for (size_t i = 0; i < m_scenes.size(); ++i) {
        DungeonScene& stored = m_scenes[i];
        if (stored.m_name != scene.m_name)
            continue;
        stored.m_lightDirection = scene.m_lightDirection;
        stored.m_lightColour = scene.m_lightColour;
        stored.m_lightEnabled = scene.m_lightEnabled;
        stored.m_playerStart = scene.m_playerStart;
        stored.m_pointLights = std::move(scene.m_pointLights);
        stored.m_props = std::move(scene.m_props);
        return static_cast<int32_t>(i);
    }
    m_scenes.push_back(std::move(scene));
    return static_cast<int32_t>(m_scenes.size() - 1);
}

DungeonScene PropManager::GetScene(std::string name) const
{
    for (const DungeonScene& scene : m_scenes) {
        if (scene.m_name == name)
            return scene;
    }
    return DungeonScene();
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Working scene

void PropManager::SetPointLight(int i, PointLight light)
{
    assert(i >= 0 && static_cast<size_t>(i) < m_workingLights.size());
    m_workingLights[static_cast<size_t>(i)] = std::move(light);
}

void PropManager::RemovePointLight(int i)
{
    assert(i >= 0 && static_cast<size_t>(i) < m_workingLights.size());
    m_workingLights.erase(m_workingLights.begin() + i);
}

void PropManager::RemoveProp(int i)
{
    assert(i >= 0 && static_cast<size_t>(i) < m_workingProps.size());
    const InstanceHandle& instance = m_workingProps[static_cast<size_t>(i)].m_instance;
    if (instance.m_batchPool != nullptr)
        instance.SetHidden(true);
    m_workingProps.erase(m_workingProps.begin() + i);
}

void PropManager::ClearWorkingScene()
{
    SetHiddenAll(true);
    m_workingProps.clear();
    m_workingLights.clear();
}

void PropManager::ApplyPropsToInstances()
{
    for (const WorkingProp& working : m_workingProps) {
        // A prop whose instance was never made has nothing to show yet.
        if (working.m_instance.m_batchPool == nullptr)
            continue;
        const Prop& prop = working.m_prop;
        InstanceData& data = working.m_instance.GetInstance();
        data.m_transform.m_position = prop.m_position;
        data.m_transform.m_scale = prop.m_scale;
        ztmath::Basis basis;
        basis.Pitch(prop.m_pitch);
        basis.Roll(prop.m_roll);
        basis.Yaw(prop.m_yaw);
        data.m_transform.m_basis = basis;
        working.m_instance.SetTiling(ztmath::Vector2(prop.m_tiling[0], prop.m_tiling[1]));
        working.m_instance.SetHidden(!prop.m_enableRender);
        working.m_instance.SetFakeLighting(prop.m_enableFakeLight);
    }
}

void PropManager::HideAllProps()
{
    SetHiddenAll(true);
}

void PropManager::ShowAllProps()
{
    SetHiddenAll(false);
}

void PropManager::SetHiddenAll(bool hidden)
{
    for (const WorkingProp& working : m_workingProps) {
        if (working.m_instance.m_batchPool != nullptr)
            working.m_instance.SetHidden(hidden);
    }
}

}  // namespace ztengine
