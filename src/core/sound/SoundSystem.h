#pragma once
// The game's sound: loaded sound effects and the 3D sound instances that play them, looping
// music streams with fade-in and fade-out, the effects and music channel groups that the pause
// passes and menus pause and mute, and the 3D listener. Sounds, instances and music are
// addressed by indices into lists that only grow.
#include <cstdint>
#include <string>

#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"
#include "platform/fmod/Fmod.h"

namespace ztengine {

// A playable use of a loaded sound. Callers set volume, distances, position and the 2D flag
// directly, while SoundSystem::IsValidInstance holds; a playing channel keeps the settings it
// started with until the instance is played again.
struct SoundInstance {
    int32_t m_soundIndex = 0;
    float m_volume = 1.0f;
    float m_minDistance = 1.0f;
    float m_maxDistance = 10000.0f;
    ztmath::Vector3 m_position{0.0f, 0.0f, 0.0f};
    ztmath::Vector3 m_forward{0.0f, 0.0f, 1.0f};  // not used by the sound system
    ztmath::Vector3 m_up{0.0f, 1.0f, 0.0f};       // not used by the sound system
    FMOD::Channel* m_channel = nullptr;           // the last play's channel
    uint8_t m_valid = 1;
    uint8_t m_is2D = 0;
};

// One music stream's playback state; entry i of the music records belongs to stream i.
struct MusicRecord {
    enum FadeState : int32_t { kFadeNone = 0, kFadeIn = 1, kFadeOut = 2 };

    int32_t m_musicIndex = 0;
    uint32_t m_loopStart = 0;  // milliseconds
    uint32_t m_loopEnd = 0;
    float m_volume = 1.0f;  // what a fade-in reaches and an unfaded play starts at
    int32_t m_fadeState = kFadeNone;
    float m_fadeInRate = 0.0f;                    // volume per second
    float m_fadeOutRate = 0.0f;                   // volume per second
    ztmath::Vector3 m_forward{0.0f, 0.0f, 1.0f};  // not used by the sound system
    ztmath::Vector3 m_up{0.0f, 1.0f, 0.0f};       // not used by the sound system
    FMOD::Channel* m_channel = nullptr;           // null until the record is first played
    uint8_t m_looping = 1;
    uint8_t m_useLoopPoints = 0;
    uint8_t m_valid = 1;
};

// How the sound system reaches the speakers. The game takes the defaults (the default audio
// device, silent without one, real time); tests choose the silent or loopback output and a
// clock they step themselves.
struct SoundSystemOptions {
    FMOD_OUTPUTTYPE output = FMOD_OUTPUTTYPE_AUTODETECT;
    FMOD_CLOCK clock;  // empty: the layer's steady clock
};

class SoundSystem {
public:
    // What CreateSoundInstance returns for a sound it refuses; IsValidInstance rejects it.
    static constexpr int32_t kInvalidIndex = -1;

    explicit SoundSystem(const SoundSystemOptions& options = {});
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Loads "./audio/" + fileName as a 3D sound and returns its index. A file that fails to
    // load is reported and still takes an index, whose instances are refused.
    int32_t LoadSound(const std::string& fileName);
    // A new instance of a loaded sound, or kInvalidIndex for an index naming no loaded sound.
    int32_t CreateSoundInstance(int32_t soundIndex);
    bool IsValidInstance(int32_t instanceIndex);

    void SetInstanceVolume(int32_t instanceIndex, float volume);
    void SetInstanceDistances(int32_t instanceIndex, float minDistance, float maxDistance);
    void SetInstancePosition(int32_t instanceIndex, const ztmath::Vector3& position);
    void SetInstance2D(int32_t instanceIndex, bool is2D);

    // Starts the instance on a new channel in the effects group; an earlier channel of the
    // same instance plays on untracked.
    void PlayInstance(int32_t instanceIndex);
    // Whether the instance's last channel still plays; false when it was never played.
    bool IsPlaying(int32_t instanceIndex);

    // Opens "./audio/" + fileName as a 2D stream and adds its music record (looping, volume 1).
    int32_t LoadBGM(const std::string& fileName);
    // Makes the music loop whole. The further arguments are accepted for callers that pass
    // them and are not used.
    void SetBGMLoop(int32_t musicIndex, bool looping = true, bool useLoopPoints = false,
                    uint32_t loopStart = 0, uint32_t loopEnd = 0);
    // Starts the music in the music group, fading in over fadeInSeconds (none at 1e-7 or less).
    void PlayBGM(int32_t musicIndex, float fadeInSeconds);
    // Stops the music, at once or fading out over fadeOutSeconds.
    void StopBGM(int32_t musicIndex, float fadeOutSeconds);

    // Once per frame: advances the music fades by dt seconds, hands over the listener and
    // updates the sound layer.
    void Update(float dt);

    // Each records the request in its flag and makes the one group call; skipped when the
    // group does not exist.
    void SetEffectsPaused(bool paused);
    void SetEffectsMuted(bool muted);
    void SetMusicPaused(bool paused);
    void SetMusicMuted(bool muted);

    bool m_effectsPaused = false;
    bool m_effectsMuted = false;
    bool m_musicPaused = false;
    bool m_musicMuted = false;

    ztmath::Vector3 m_listenerPosition{0.0f, 0.0f, 0.0f};
    ztmath::Vector3 m_listenerForward{0.0f, 0.0f, 1.0f};
    ztmath::Vector3 m_listenerUp{0.0f, 1.0f, 0.0f};

    FMOD::ChannelGroup* m_effectsGroup = nullptr;
    FMOD::ChannelGroup* m_musicGroup = nullptr;

    CountedVector<FMOD::Sound*> m_sounds;   // null where loading failed
    CountedVector<FMOD::Sound*> m_streams;  // null where opening failed
    CountedVector<SoundInstance> m_instances;
    CountedVector<MusicRecord> m_musicRecords;

    FMOD::System* m_system = nullptr;

private:
    bool IsValidMusic(int32_t musicIndex) const;
};

}  // namespace ztengine
