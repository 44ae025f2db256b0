// The scenes: their three files (props, directional light and player start, point lights), the
// stored scenes and the working scene of the scene editor.
//
// [SECTION] Reading
// [SECTION] Writing
// [SECTION] Load and Save
// [SECTION] Stored scenes
// [SECTION] Working scene
#include "core/resources/PropManager.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string_view>
#include <utility>

#include "core/math/Basis.h"
#include "core/math/Vector2.h"
#include "core/resources/ResourceJson.h"
#include "core/serialization/DurableFile.h"
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

// Reports a value of a scene file that cannot be used, naming the file, the record and the key;
// the record keeps its default there and the file is not rewritten from it.
struct BadValues {
    const std::string& path;
    const char* record;
    bool found = false;

    void Report(size_t index, const rapidjson::Value& key, const char* expected)
    {
        std::printf("%s: %s %zu: \"%s\" is not %s\n", path.c_str(), record, index,
                    std::string(key.GetString(), key.GetStringLength()).c_str(), expected);
        std::fflush(stdout);
        found = true;
    }
};

constexpr const char* kThreeNumbers = "three finite numbers";
constexpr const char* kNumber = "a finite number";

void ReadProps(const rapidjson::Value& root, std::vector<Prop>& props, BadValues& bad)
{
    Prop prop;
    for (const auto& member : root.GetObject()) {
        const rapidjson::Value& key = member.name;
        const rapidjson::Value& value = member.value;
        const size_t index = props.size();
        bool ok = true;
        const char* expected = "";
        if (KeyIs(key, "name")) {
            expected = "a string";
            ok = value.IsString();
            if (ok)
                prop.m_name = ToString(value);
        } else if (KeyIs(key, "model name")) {
            expected = "a string";
            ok = value.IsString();
            if (ok)
                prop.m_modelName = ToString(value);
        } else if (KeyIs(key, "position")) {
            expected = kThreeNumbers;
            ok = ReadVector(value, prop.m_position);
        } else if (KeyIs(key, "scale")) {
            expected = kThreeNumbers;
            ok = ReadVector(value, prop.m_scale);
        } else if (KeyIs(key, "pitch")) {
            expected = kNumber;
            ok = ReadFloat(value, prop.m_pitch);
        } else if (KeyIs(key, "yaw")) {
            expected = kNumber;
            ok = ReadFloat(value, prop.m_yaw);
        } else if (KeyIs(key, "roll")) {
            expected = kNumber;
            ok = ReadFloat(value, prop.m_roll);
        } else if (KeyIs(key, "tiling")) {
            expected = "two finite numbers";
            ok = ReadFloats(value, prop.m_tiling, 2);
        } else if (KeyIs(key, "enable render")) {
            expected = "true or false";
            ok = value.IsBool();
            if (ok)
                prop.m_enableRender = value.GetBool();
        } else if (KeyIs(key, "enable fakelight")) {
            expected = "true or false";
            ok = value.IsBool();
            if (ok)
                prop.m_enableFakeLight = value.GetBool();
        } else if (KeyIs(key, "enable collision")) {
            expected = "true or false";
            ok = value.IsBool();
            if (ok)
                prop.m_enableCollision = value.GetBool();
        } else if (KeyIs(key, "collider index")) {
            // Stored unsigned: 4294967295 is "no collider" (-1).
            expected = "an unsigned 32-bit integer";
            ok = value.IsUint();
            if (ok)
                prop.m_colliderIndex = static_cast<int32_t>(value.GetUint());
        } else if (KeyIs(key, "collider type")) {
            // Closes the prop even when its value is unusable, so that one bad value does not
            // merge two props into one.
            expected = "an integer";
            ok = value.IsInt();
            if (ok)
                prop.m_colliderType = value.GetInt();
            props.push_back(std::move(prop));
            prop = Prop();
        }
        if (!ok)
            bad.Report(index, key, expected);
    }
}

void ReadPointLights(const rapidjson::Value& root, std::vector<PointLight>& lights,
                     BadValues& bad)
{
    PointLight light;
    for (const auto& member : root.GetObject()) {
        const rapidjson::Value& key = member.name;
        const rapidjson::Value& value = member.value;
        const size_t index = lights.size();
        bool ok = true;
        const char* expected = kNumber;
        if (KeyIs(key, "light name")) {
            expected = "a string";
            ok = value.IsString();
            if (ok)
                light.m_name = ToString(value);
        } else if (KeyIs(key, "position")) {
            expected = kThreeNumbers;
            ok = ReadVector(value, light.m_position);
        } else if (KeyIs(key, "colour")) {
            expected = kThreeNumbers;
            ok = ReadVector(value, light.m_colour);
        } else if (KeyIs(key, "diff intensity")) {
            ok = ReadFloat(value, light.m_diffuseIntensity);
        } else if (KeyIs(key, "radius")) {
            ok = ReadFloat(value, light.m_radius);
            lights.push_back(std::move(light));
            light = PointLight();
        }
        if (!ok)
            bad.Report(index, key, expected);
    }
}

void ReadDirectionalLight(const rapidjson::Value& root, DungeonScene& scene, BadValues& bad)
{
    // Direction and colour count only once an "enabled" member after them confirms them.
    ztmath::Vector3 direction;
    ztmath::Vector3 colour;
    for (const auto& member : root.GetObject()) {
        const rapidjson::Value& key = member.name;
        const rapidjson::Value& value = member.value;
        bool ok = true;
        const char* expected = kThreeNumbers;
        if (KeyIs(key, "player startpos")) {
            ok = ReadVector(value, scene.m_playerStart);
        } else if (KeyIs(key, "direction")) {
            ok = ReadVector(value, direction);
        } else if (KeyIs(key, "colour")) {
            ok = ReadVector(value, colour);
        } else if (KeyIs(key, "enabled")) {
            scene.m_lightDirection = direction;
            scene.m_lightColour = colour;
            expected = "true or false";
            ok = value.IsBool();
            if (ok)
                scene.m_lightEnabled = value.GetBool();
            direction = ztmath::Vector3();
            colour = ztmath::Vector3();
        }
        if (!ok)
            bad.Report(0, key, expected);
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

// The text of one scene file, or false (with a line) when the writer could not finish it.
template <class WriteBody>
bool RenderSceneFile(const std::string& path, const DungeonScene& scene, WriteBody writeBody,
                     std::string& out)
{
    CrLfStringStream stream(out);
    ScenePrettyWriter writer(stream);
    if (!writeBody(writer, scene, path) || !writer.IsComplete()) {
        std::printf("error writing out: %s\n", path.c_str());
        std::fflush(stdout);
        return false;
    }
    return true;
}

// A scene's files are replaced as one set. Each new file is first written in full beside its
// old one (".tmp"), then a marker naming the set (stem + ".commit") is put in place, and only
// then are the files renamed over the old ones. A crash before the marker leaves the old set
// (the temporaries are thrown away at the next start); a crash after it leaves the new set,
// whose renames the next start completes.
constexpr const char* kTemporarySuffix = ".tmp";
constexpr const char* kCommitExtension = ".commit";

bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
}

bool EndsWith(const std::string& text, std::string_view end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool ReplaceFileSet(const std::string& folder, const std::string& stem,
                    const std::vector<std::pair<std::string, std::string>>& files)
{
    std::string manifest;
    bool ok = true;
    for (const auto& [path, bytes] : files) {
        ok = ok && WriteDurableFile(path + kTemporarySuffix, bytes);
        const size_t slash = path.rfind('/');
        manifest += (slash == std::string::npos ? path : path.substr(slash + 1)) + "\n";
    }
    const std::string marker = JoinPath(folder, stem + kCommitExtension);
    ok = ok && WriteDurableFile(marker + kTemporarySuffix, manifest);
    std::error_code error;
    if (ok) {
        std::filesystem::rename(marker + kTemporarySuffix, marker, error);
        ok = !error && SyncFolderOf(marker);
    }
    if (!ok) {
        for (const auto& file : files)
            std::filesystem::remove(file.first + kTemporarySuffix, error);
        std::filesystem::remove(marker + kTemporarySuffix, error);
        std::filesystem::remove(marker, error);
        for (const auto& file : files) {
            std::printf("error writing out: %s\n", file.first.c_str());
            std::fflush(stdout);
        }
        return false;
    }
    for (const auto& file : files) {
        std::filesystem::rename(file.first + kTemporarySuffix, file.first, error);
        if (error) {
            std::printf("error writing out: %s\n", file.first.c_str());
            std::fflush(stdout);
        }
    }
    SyncFolderOf(marker);
    std::filesystem::remove(marker, error);
    SyncFolderOf(marker);
    return true;
}

// Finishes or throws away what a save cut short left in the folder (see ReplaceFileSet).
void RecoverFileSets(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const std::string listed = folder.empty() ? "." : folder;
    std::vector<std::string> names;
    for (fs::directory_iterator it(listed, error); !error && it != fs::directory_iterator();
         it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());

    for (const std::string& name : names) {
        if (!EndsWith(name, kCommitExtension))
            continue;
        const std::string marker = JoinPath(folder, name);
        std::string manifest;
        ReadWholeFile(marker, manifest);
        size_t start = 0;
        while (start < manifest.size()) {
            size_t end = manifest.find('\n', start);
            if (end == std::string::npos)
                end = manifest.size();
            const std::string file = manifest.substr(start, end - start);
            start = end + 1;
            if (!IsPlainFileName(file))
                continue;
            const std::string path = JoinPath(folder, file);
            if (fs::exists(path + kTemporarySuffix, error))
                fs::rename(path + kTemporarySuffix, path, error);
        }
        SyncFolderOf(marker);
        fs::remove(marker, error);
        std::printf("%s: completed the scene files a save had left half-way\n", marker.c_str());
        std::fflush(stdout);
    }
    for (const std::string& name : names) {
        for (const char* extension : {".json", ".dlight", ".plight", kCommitExtension}) {
            if (EndsWith(name, std::string(extension) + kTemporarySuffix)) {
                fs::remove(JoinPath(folder, name), error);
                break;
            }
        }
    }
    SyncFolderOf(JoinPath(folder, "x"));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] Load and Save

std::string PropManager::SceneStem(const std::string& sceneName) const
{
    const auto found = m_sceneStems.find(sceneName);
    return found == m_sceneStems.end() ? sceneName : found->second;
}

std::string PropManager::ScenePath(const std::string& sceneName, const char* extension) const
{
    return JoinPath(m_folder, SceneStem(sceneName) + extension);
}

const char* SceneNameProblem(const std::string& name)
{
    if (name.empty())
        return "is empty";
    if (name == "." || name == "..")
        return "is not a file name";
    if (name.find("..") != std::string::npos)
        return "contains \"..\"";
    if (name.size() > 200)
        return "is longer than 200 characters";
    for (const char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\')
            return "contains a path separator";
        // Characters a Windows or Linux folder refuses in a file name, and control characters.
        if (u < 0x20 || u == 0x7f || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            return "contains a character that file names cannot hold";
    }
    // The scene name is what comes before the first "."; a name with a "." would load back as
    // another scene.
    if (name.find('.') != std::string::npos)
        return "contains a \".\"";
    if (name.back() == ' ')
        return "ends with a space";
    return nullptr;
}

void PropManager::Load()
{
    RecoverFileSets(m_folder);

    std::vector<std::string> propFiles;
    std::vector<std::string> pointLightFiles;
    std::vector<std::string> directionalFiles;
    ListFiles(JoinPath(m_folder, "*.json"), propFiles);
    ListFiles(JoinPath(m_folder, "*.plight"), pointLightFiles);
    ListFiles(JoinPath(m_folder, "*.dlight"), directionalFiles);

    // Several files can give one scene name ("hall.json" and "hall.bak.json" both give "hall").
    // Only one of them is the scene: the file named exactly after it, else the first listed.
    std::map<std::string, std::string> chosen;
    for (const std::string& propFile : propFiles) {
        const std::string name = propFile.substr(0, propFile.find('.'));
        const auto found = chosen.find(name);
        if (found == chosen.end() || FileStem(propFile) == name)
            chosen[name] = propFile;
    }

    for (const std::string& propFile : propFiles) {
        DungeonScene scene;
        scene.m_name = propFile.substr(0, propFile.find('.'));
        const std::string stem = FileStem(propFile);
        const std::string& used = chosen[scene.m_name];
        if (used != propFile) {
            std::printf("%s gives the scene name \"%s\" that %s already gives: it is not loaded\n",
                        JoinPath(m_folder, propFile).c_str(), scene.m_name.c_str(),
                        JoinPath(m_folder, used).c_str());
            std::fflush(stdout);
            continue;
        }
        // Edits are written back to the files the scene was read from.
        m_sceneStems[scene.m_name] = stem;

        // Reads one of the scene's files; a file that holds something unreadable or a value
        // that cannot be used is reported and kept from being overwritten with what was read.
        auto readPart = [&](const std::string& listedName, const char* extension,
                            const char* record, auto&& readObject) {
            if (listedName.empty())
                return;
            const std::string path = JoinPath(m_folder, listedName);
            rapidjson::Document document;
            const JsonReadResult read = ReadJsonDocument(path, document);
            if (read == JsonReadResult::Parsed && document.IsObject()) {
                BadValues bad{path, record};
                readObject(document, bad);
                if (bad.found) {
                    std::printf("%s is kept as it is until its scene is saved from the editor\n",
                                path.c_str());
                    std::fflush(stdout);
                    m_unreadableFiles.insert(ScenePath(scene.m_name, extension));
                }
                return;
            }
            if (read == JsonReadResult::Malformed ||
                (read == JsonReadResult::Parsed && !document.IsObject())) {
                std::printf("%s is not a proper json file format\n", path.c_str());
                std::fflush(stdout);
                m_unreadableFiles.insert(ScenePath(scene.m_name, extension));
            }
        };

        readPart(propFile, kPropsExtension, "prop",
                 [&](const rapidjson::Value& root, BadValues& bad) {
                     ReadProps(root, scene.m_props, bad);
                 });
        readPart(FindPartner(pointLightFiles, stem), kPointLightsExtension, "point light",
                 [&](const rapidjson::Value& root, BadValues& bad) {
                     ReadPointLights(root, scene.m_pointLights, bad);
                 });
        readPart(FindPartner(directionalFiles, stem), kDirectionalExtension, "directional light",
                 [&](const rapidjson::Value& root, BadValues& bad) {
                     ReadDirectionalLight(root, scene, bad);
                 });
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
        // Whatever added the scene, its files stay inside the scene folder.
        if (!IsPlainFileName(SceneStem(scene.m_name) + kPropsExtension) ||
            SceneStem(scene.m_name).find("..") != std::string::npos) {
            std::printf("scene \"%s\" is not saved: its name is not a plain file name\n",
                        scene.m_name.c_str());
            std::fflush(stdout);
            continue;
        }
        std::vector<std::pair<std::string, std::string>> files;
        for (const Part& part : kParts) {
            const std::string path = ScenePath(scene.m_name, part.extension);
            if (KeepsUnreadableFile(path)) {
                ReportKeptUnreadableFile(path);
                continue;
            }
            std::string bytes;
            if (RenderSceneFile(path, scene, part.write, bytes))
                files.emplace_back(path, std::move(bytes));
        }
        if (!files.empty())
            ReplaceFileSet(m_folder, SceneStem(scene.m_name), files);
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
