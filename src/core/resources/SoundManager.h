#pragma once
// "SoundManager": the sound editor's registry of sound and music names and their files under
// "audio/", kept in "audio/audio.json".
#include <cstdint>
#include <map>
#include <string>

#include "core/resources/ResourceJson.h"

namespace ztengine {

class SoundSystem;

class SoundManager {
public:
    // A new name is recorded and its file loaded through the sound system (the id is kept); a
    // known name prints "sound with the name "n" already exists!" ("BGM ..." for music) and
    // changes nothing.
    void AddSound(SoundSystem& sounds, const std::string& name, const std::string& fileName);
    void AddBGM(SoundSystem& sounds, const std::string& name, const std::string& fileName);
    bool HasSound(const std::string& name) const { return m_soundFiles.count(name) != 0; }
    bool HasBGM(const std::string& name) const { return m_musicFiles.count(name) != 0; }

    // Every sound in name order, then every piece of music, as one compact JSON array. A file
    // that held something unreadable when it was loaded is left alone.
    void Save(const std::string& path);
    // Adds the file's names to the two file maps only; loads nothing into the sound system.
    void Load(const std::string& path);
    // Whether Save leaves the file at `path` as it is because it could not be read when loaded.
    bool KeepsUnreadableFile(const std::string& path) const
    {
        return !m_unreadablePath.empty() && m_unreadablePath == path;
    }

    std::map<std::string, std::string> m_soundFiles;
    std::map<std::string, std::string> m_musicFiles;
    // Only the names added during the run have ids.
    std::map<std::string, int32_t> m_soundIds;
    std::map<std::string, int32_t> m_musicIds;

private:
    // The path of a registry that could not be read, which Save must not overwrite.
    std::string m_unreadablePath;
    // Records of the loaded registry that could not be used, written back when it is saved.
    std::string m_keptPath;
    KeptRecords m_keptRecords;
};

}  // namespace ztengine
