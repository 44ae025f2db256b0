// The sound system over the sound layer: construction, effects and their instances, music with
// its fades, the per-frame update and the channel-group switches.
#include "core/sound/SoundSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>

namespace ztengine {
namespace {

// While it lives, what is written to the standard error stream goes nowhere. The sound
// libraries under the layer (OpenAL and ALSA) print pages of their own complaints when a
// machine has no sound card; the game says it once, in its own words, instead.
class QuietStandardError {
public:
    QuietStandardError()
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0)
            dup2(null, STDERR_FILENO);
        if (null >= 0)
            close(null);
    }
    ~QuietStandardError()
    {
        std::fflush(stderr);
        if (m_saved >= 0) {
            dup2(m_saved, STDERR_FILENO);
            close(m_saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int m_saved = -1;
};
// Every line goes out at once: a line left in the buffer is lost when the program aborts, and
// these are the lines that tell why sound stopped working.
[[gnu::format(printf, 1, 2)]] void PrintLine(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::fflush(stdout);
}

constexpr int kChannelCount = 1024;
// The oldest sound library version the game was made with.
constexpr unsigned int kRequiredVersion = 0x44445;
constexpr float kFadeEpsilon = 1e-7f;
const char* const kAudioFolder = "./audio/";

// Prints a failed call; true when the call succeeded.
bool Check(FMOD_RESULT result)
{
    if (result == FMOD_OK)
        return true;
    PrintLine("FMOD error! (%d) %s\n", static_cast<int>(result), FMOD_ErrorString(result));
    return false;
}

// The two results that mean "that channel has ended or was reused": not worth a message.
bool MeansChannelEnded(FMOD_RESULT result)
{
    return result == FMOD_ERR_CHANNEL_STOLEN || result == FMOD_ERR_INVALID_HANDLE;
}

FMOD_VECTOR ToFmod(const ztmath::Vector3& v)
{
    return FMOD_VECTOR{v.x, v.y, v.z};
}

}  // namespace

SoundSystem::SoundSystem(const SoundSystemOptions& options)
{
    if (!Check(FMOD_System_Create(&m_system)))
        m_system = nullptr;
    if (m_system == nullptr)
        return;

    Check(m_system->setOutput(options.output));
    if (options.clock)
        Check(m_system->setClock(options.clock));
    FMOD_RESULT initResult = FMOD_OK;
    {
        const QuietStandardError quiet;
        initResult = m_system->init(kChannelCount, FMOD_INIT_3D_RIGHTHANDED, nullptr);
    }
    Check(initResult);

    unsigned int version = 0;
    Check(m_system->getVersion(&version));
    PrintLine("FMOD Version: %u\n", version);
    // Asked for the speakers and found none: the game plays on, and says so once.
    FMOD_OUTPUTTYPE output = options.output;
    if (initResult == FMOD_OK && m_system->getOutput(&output) == FMOD_OK &&
        options.output != FMOD_OUTPUTTYPE_NOSOUND && output == FMOD_OUTPUTTYPE_NOSOUND) {
        PrintLine("No sound device found: running without sound output.\n");
    }

    if (!Check(m_system->createChannelGroup(nullptr, &m_musicGroup)))
        m_musicGroup = nullptr;
    if (!Check(m_system->createChannelGroup(nullptr, &m_effectsGroup)))
        m_effectsGroup = nullptr;

    if (version < kRequiredVersion) {
        PrintLine("Error! You are using an old version of FMOD %u. This program requires %u\n",
                    version, kRequiredVersion);
    }

    m_listenerPosition = ztmath::Vector3(0.0f, 0.0f, 0.0f);
    m_listenerForward = ztmath::Vector3(0.0f, 0.0f, 1.0f);
    m_listenerUp = ztmath::Vector3(0.0f, 1.0f, 0.0f);
}

SoundSystem::~SoundSystem()
{
    // Releasing the system frees every sound, stream, group and channel it made.
    if (m_system != nullptr) {
        FMOD_RESULT result = FMOD_OK;
        {
            const QuietStandardError quiet;  // closing the device complains as opening did
            result = m_system->release();
        }
        Check(result);
    }
    m_system = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Sound effects

int32_t SoundSystem::LoadSound(const std::string& fileName)
{
    if (m_system == nullptr) {
        PrintLine("Sound system pointer is null!\n");
        return 0;
    }
    FMOD::Sound* sound = nullptr;
    const std::string path = kAudioFolder + fileName;
    if (!Check(m_system->createSound(path.c_str(), FMOD_3D, &sound)))
        sound = nullptr;
    m_sounds.push_back(sound);
    return static_cast<int32_t>(m_sounds.size()) - 1;
}

int32_t SoundSystem::CreateSoundInstance(int32_t soundIndex)
{
    if (soundIndex < 0 || static_cast<size_t>(soundIndex) >= m_sounds.size() ||
        m_sounds[soundIndex] == nullptr) {
        PrintLine("Specified sound is not valid!\n");
        // Not 0: that may be a real instance of another sound, which the caller would then
        // set up and play in this one's place.
        return kInvalidIndex;
    }
    SoundInstance instance;
    instance.m_soundIndex = soundIndex;
    m_instances.push_back(instance);
    return static_cast<int32_t>(m_instances.size()) - 1;
}

bool SoundSystem::IsValidInstance(int32_t instanceIndex)
{
    if (instanceIndex >= 0 && static_cast<size_t>(instanceIndex) < m_instances.size() &&
        m_instances[instanceIndex].m_valid == 1)
        return true;
    PrintLine("Not Valid Sound Instance!\n");
    return false;
}

void SoundSystem::SetInstanceVolume(int32_t instanceIndex, float volume)
{
    if (IsValidInstance(instanceIndex))
        m_instances[instanceIndex].m_volume = volume;
}

void SoundSystem::SetInstanceDistances(int32_t instanceIndex, float minDistance, float maxDistance)
{
    if (!IsValidInstance(instanceIndex))
        return;
    m_instances[instanceIndex].m_minDistance = minDistance;
    m_instances[instanceIndex].m_maxDistance = maxDistance;
}

void SoundSystem::SetInstancePosition(int32_t instanceIndex, const ztmath::Vector3& position)
{
    if (IsValidInstance(instanceIndex))
        m_instances[instanceIndex].m_position = position;
}

void SoundSystem::SetInstance2D(int32_t instanceIndex, bool is2D)
{
    if (IsValidInstance(instanceIndex))
        m_instances[instanceIndex].m_is2D = is2D ? 1 : 0;
}

void SoundSystem::PlayInstance(int32_t instanceIndex)
{
    if (!IsValidInstance(instanceIndex) || m_system == nullptr)
        return;
    SoundInstance& instance = m_instances[instanceIndex];
    // The record is open to callers: a sound index that no longer names a loaded sound plays
    // nothing rather than reaching a null sound.
    const int32_t soundIndex = instance.m_soundIndex;
    if (soundIndex < 0 || static_cast<size_t>(soundIndex) >= m_sounds.size() ||
        m_sounds[soundIndex] == nullptr)
        return;

    FMOD::Channel* channel = nullptr;
    const bool started =
        Check(m_system->playSound(FMOD_CHANNEL_FREE, m_sounds[soundIndex], false, &channel));
    instance.m_channel = started ? channel : nullptr;
    if (!started)
        return;

    if (instance.m_is2D)
        channel->setMode(FMOD_2D);
    // Not checked: a setting the layer refuses (say a distance pair out of order) leaves that
    // setting at its default and the sound still plays.
    const FMOD_VECTOR position = ToFmod(instance.m_position);
    channel->setVolume(instance.m_volume);
    channel->set3DAttributes(&position, nullptr);
    channel->set3DMinMaxDistance(instance.m_minDistance, instance.m_maxDistance);
    channel->setChannelGroup(m_effectsGroup);
}

bool SoundSystem::IsPlaying(int32_t instanceIndex)
{
    if (!IsValidInstance(instanceIndex))
        return false;
    FMOD::Channel* channel = m_instances[instanceIndex].m_channel;
    if (channel == nullptr)
        return false;
    bool playing = false;
    const FMOD_RESULT result = channel->isPlaying(&playing);
    if (result == FMOD_OK)
        return playing;
    if (!MeansChannelEnded(result))
        Check(result);
    return false;
}

// ---------------------------------------------------------------------------------------------
// Music

int32_t SoundSystem::LoadBGM(const std::string& fileName)
{
    if (m_system == nullptr) {
        PrintLine("Sound system pointer is null!\n");
        return 0;
    }
    FMOD::Sound* stream = nullptr;
    const std::string path = kAudioFolder + fileName;
    if (!Check(m_system->createStream(path.c_str(), FMOD_2D, &stream)))
        stream = nullptr;
    m_streams.push_back(stream);
    MusicRecord record;
    record.m_musicIndex = static_cast<int32_t>(m_streams.size()) - 1;
    m_musicRecords.push_back(record);
    return record.m_musicIndex;
}

bool SoundSystem::IsValidMusic(int32_t musicIndex) const
{
    return musicIndex >= 0 && static_cast<size_t>(musicIndex) < m_musicRecords.size() &&
           m_musicRecords[musicIndex].m_musicIndex == musicIndex &&
           m_musicRecords[musicIndex].m_valid;
}

void SoundSystem::SetBGMLoop(int32_t musicIndex, bool, bool, uint32_t, uint32_t)
{
    if (!IsValidMusic(musicIndex))
        return;
    MusicRecord& record = m_musicRecords[musicIndex];
    record.m_looping = 1;
    record.m_useLoopPoints = 0;
    record.m_loopStart = 0;
    record.m_loopEnd = 0;
}

void SoundSystem::PlayBGM(int32_t musicIndex, float fadeInSeconds)
{
    if (m_system == nullptr || !IsValidMusic(musicIndex))
        return;
    // A stream that failed to open plays nothing; its failure was reported when it was loaded.
    FMOD::Sound* stream =
        static_cast<size_t>(musicIndex) < m_streams.size() ? m_streams[musicIndex] : nullptr;
    if (stream == nullptr)
        return;

    MusicRecord& record = m_musicRecords[musicIndex];
    FMOD::Channel* channel = nullptr;
    const bool started = Check(m_system->playSound(FMOD_CHANNEL_FREE, stream, false, &channel));
    record.m_channel = started ? channel : nullptr;
    if (!started) {
        record.m_fadeState = MusicRecord::kFadeNone;
        return;
    }

    if (record.m_looping) {
        channel->setMode(FMOD_LOOP_NORMAL);
        channel->setLoopCount(-1);
        if (record.m_useLoopPoints)
            channel->setLoopPoints(record.m_loopStart, FMOD_TIMEUNIT_MS, record.m_loopEnd,
                                   FMOD_TIMEUNIT_MS);
    }
    if (fadeInSeconds <= kFadeEpsilon) {
        record.m_fadeState = MusicRecord::kFadeNone;
        channel->setVolume(record.m_volume);
    } else {
        record.m_fadeState = MusicRecord::kFadeIn;
        channel->setVolume(0.0f);
        record.m_fadeInRate = record.m_volume / fadeInSeconds;
    }
    channel->setChannelGroup(m_musicGroup);
}

void SoundSystem::StopBGM(int32_t musicIndex, float fadeOutSeconds)
{
    if (m_system == nullptr || !IsValidMusic(musicIndex))
        return;
    MusicRecord& record = m_musicRecords[musicIndex];
    // Music that never started has nothing to stop or fade.
    if (record.m_channel == nullptr) {
        record.m_fadeState = MusicRecord::kFadeNone;
        return;
    }
    if (fadeOutSeconds <= kFadeEpsilon) {
        record.m_fadeState = MusicRecord::kFadeNone;
        const FMOD_RESULT result = record.m_channel->stop();
        if (!MeansChannelEnded(result))
            Check(result);
    } else {
        record.m_fadeState = MusicRecord::kFadeOut;
        record.m_fadeOutRate = record.m_volume / fadeOutSeconds;
    }
}

void SoundSystem::Update(float dt)
{
    if (m_system == nullptr)
        return;

    for (MusicRecord& record : m_musicRecords) {
        if (!record.m_valid || record.m_fadeState == MusicRecord::kFadeNone)
            continue;
        float volume = 0.0f;
        const FMOD_RESULT result = record.m_channel != nullptr
                                       ? record.m_channel->getVolume(&volume)
                                       : FMOD_ERR_INVALID_HANDLE;
        if (result != FMOD_OK) {
            // The channel has gone (played out, replaced or never started): nothing to fade.
            if (!MeansChannelEnded(result))
                Check(result);
            record.m_fadeState = MusicRecord::kFadeNone;
            continue;
        }
        if (record.m_fadeState == MusicRecord::kFadeIn) {
            volume += record.m_fadeInRate * dt;
            if (record.m_volume - volume <= kFadeEpsilon)
                record.m_fadeState = MusicRecord::kFadeNone;
            record.m_channel->setVolume(volume);
        } else if (record.m_fadeState == MusicRecord::kFadeOut) {
            volume -= record.m_fadeOutRate * dt;
            if (volume <= kFadeEpsilon) {
                record.m_fadeState = MusicRecord::kFadeNone;
                record.m_channel->stop();
            } else {
                record.m_channel->setVolume(volume);
            }
        }
    }

    const FMOD_VECTOR position = ToFmod(m_listenerPosition);
    const FMOD_VECTOR velocity{0.0f, 0.0f, 0.0f};
    const FMOD_VECTOR forward = ToFmod(m_listenerForward);
    const FMOD_VECTOR up = ToFmod(m_listenerUp);
    m_system->set3DListenerAttributes(0, &position, &velocity, &forward, &up);
    m_system->update();
}

// ---------------------------------------------------------------------------------------------
// Channel groups

void SoundSystem::SetEffectsPaused(bool paused)
{
    if (m_effectsGroup == nullptr)
        return;
    m_effectsPaused = paused;
    Check(m_effectsGroup->setPaused(paused));
}

void SoundSystem::SetEffectsMuted(bool muted)
{
    if (m_effectsGroup == nullptr)
        return;
    m_effectsMuted = muted;
    Check(m_effectsGroup->setMute(muted));
}

void SoundSystem::SetMusicPaused(bool paused)
{
    if (m_musicGroup == nullptr)
        return;
    m_musicPaused = paused;
    Check(m_musicGroup->setPaused(paused));
}

void SoundSystem::SetMusicMuted(bool muted)
{
    if (m_musicGroup == nullptr)
        return;
    m_musicMuted = muted;
    Check(m_musicGroup->setMute(muted));
}

}  // namespace ztengine
