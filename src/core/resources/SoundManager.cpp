#include "core/resources/SoundManager.h"

#include <cstdio>

#include "core/resources/ResourceJson.h"
#include "core/sound/SoundSystem.h"

namespace ztengine {

namespace {

void ReportDuplicate(const char* kind, const std::string& name)
{
    std::printf("%s with the name \"%s\" already exists!\n", kind, name.c_str());
    std::fflush(stdout);
}

}  // namespace

void SoundManager::AddSound(SoundSystem& sounds, const std::string& name,
                            const std::string& fileName)
{
    if (HasSound(name)) {
        ReportDuplicate("sound", name);
        return;
    }
    m_soundFiles[name] = fileName;
    m_soundIds[name] = sounds.LoadSound(fileName);
}

void SoundManager::AddBGM(SoundSystem& sounds, const std::string& name,
                          const std::string& fileName)
{
    if (HasBGM(name)) {
        ReportDuplicate("BGM", name);
        return;
    }
    m_musicFiles[name] = fileName;
    m_musicIds[name] = sounds.LoadBGM(fileName);
}

void SoundManager::Save(const std::string& path)
{
    if (!m_unreadablePath.empty() && m_unreadablePath == path) {
        ReportKeptUnreadableFile(path);
        return;
    }

    JsonStringBuffer buffer;
    JsonWriter writer(buffer);
    bool ok = writer.StartArray();
    const std::pair<const char*, const std::map<std::string, std::string>*> groups[] = {
        {"SoundName", &m_soundFiles},
        {"BGMName", &m_musicFiles},
    };
    for (const auto& [nameKey, files] : groups) {
        for (const auto& [name, file] : *files) {
            ok = ok && writer.StartObject();
            ok = ok && writer.Key(nameKey) && writer.String(name.data(), name.size());
            ok = ok && writer.Key("FileName") && writer.String(file.data(), file.size());
            ok = ok && writer.EndObject();
        }
    }
    if (path == m_keptPath)
        ok = ok && m_keptRecords.WriteAll(writer);
    ok = ok && writer.EndArray() && writer.IsComplete();
    if (!ok) {
        std::printf("error writing out: %s\n", path.c_str());
        std::fflush(stdout);
        return;
    }
    WriteResourceFile(path, std::string_view(buffer.GetString(), buffer.GetSize()));
}

void SoundManager::Load(const std::string& path)
{
    rapidjson::Document document;
    const JsonReadResult read = ReadJsonDocument(path, document);
    if (read == JsonReadResult::Missing)
        return;
    if (read != JsonReadResult::Parsed || !document.IsArray()) {
        std::printf("%s is not a proper array of info\n", path.c_str());
        std::fflush(stdout);
        if (read != JsonReadResult::Blank)
            m_unreadablePath = path;
        return;
    }

    m_keptPath = path;
    size_t index = 0;
    for (const rapidjson::Value& element : document.GetArray()) {
        std::string problem = RecordProblem(element, {{"FileName", RecordValue::String}});
        if (problem.empty() && !FindString(element, "SoundName") && !FindString(element, "BGMName"))
            problem = "neither \"SoundName\" nor \"BGMName\" is a string";
        if (!problem.empty()) {
            m_keptRecords.Keep(path, index++, element, problem);
            continue;
        }
        ++index;
        const rapidjson::Value* file = FindString(element, "FileName");
        if (const rapidjson::Value* sound = FindString(element, "SoundName")) {
            const std::string name = ToString(*sound);
            if (HasSound(name))
                ReportDuplicate("sound", name);
            else
                m_soundFiles[name] = ToString(*file);
        } else if (const rapidjson::Value* music = FindString(element, "BGMName")) {
            const std::string name = ToString(*music);
            if (HasBGM(name))
                ReportDuplicate("bgm", name);
            else
                m_musicFiles[name] = ToString(*file);
        }
    }
}

}  // namespace ztengine
