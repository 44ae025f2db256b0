#pragma once
// SoundResourceEditor: the "SOUND_RESOURCE_EDITOR_STATE" editor that names the sound and music
// files of "audio/", plays the named ones and keeps the registry in "audio/audio.json".
#include <cstddef>
#include <string>
#include <vector>

#include "core/Subsystem.h"

namespace ztengine {

class SoundManager;
class SoundSystem;

class SoundResourceEditor : public Subsystem {
public:
    // Reads the registry before the first frame, so its names are known from the start.
    static constexpr bool kInitialisedAtStart = true;
    // Size of the name field, terminating NUL included.
    static constexpr size_t kNameSize = 64;
    static constexpr const char* kAudioFolder = "audio/";
    static constexpr const char* kRegistryFile = "audio.json";
    static constexpr const char* kAudioPattern = "*.wav";

    explicit SoundResourceEditor(App* app);

    // Lists the audio files, reads the registry and builds the two (hidden) windows.
    void Init() override;
    void Update(float dt) override;
    void SetToCurrentState() override;
    void NextState(int newState) override;

    // Rebuilds a name list whose length differs from its registry map (music, then sounds).
    void SyncNameLists();

    // The buttons. The play buttons need a name picked in their list; the create buttons a file
    // picked in "Audio List" and a name typed in the field, which they always clear again.
    void PlaySound();
    void PlayBGM();
    void CreateSound();
    void CreateBGM();

    std::string RegistryPath() const { return std::string(kAudioFolder) + kRegistryFile; }

    std::vector<std::string> m_soundNames;
    std::vector<std::string> m_musicNames;
    std::vector<std::string> m_audioFiles;

    // Drop-down selections, owned by the GUI; null until Init.
    int* m_soundSelection = nullptr;
    int* m_musicSelection = nullptr;
    int* m_audioSelection = nullptr;

    char m_name[kNameSize];

    // The "Create Audio" window's status line: empty unless a create could not be saved.
    std::string m_status;

    int m_currentAudioWindow = -1;
    int m_createAudioWindow = -1;

private:
    enum class Kind { Sound, Music };
    void Create(Kind kind);

    SoundManager* m_soundManager;
    SoundSystem* m_soundSystem;
};

}  // namespace ztengine
