// The audible output: OpenAL Soft sources fed from small queues of PCM buffers, on the default
// playback device or on a loopback device that the caller renders into memory.
#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/fmod/AudioOutput.h"

namespace ztplatform::fmod {
namespace {

// A voice queues up to this much ahead of what is heard: about 0.37 s at 44.1 kHz, enough to
// ride out a slow frame without starving, small enough that a loop-point change soon applies.
constexpr int kBufferCount = 4;
constexpr int kBufferFrames = 4096;
// OpenAL Soft's default limit on sources per context.
constexpr size_t kMaxVoices = 256;
constexpr float kSpeedOfSound = 343.3f;

class OpenALOutput;

class OpenALVoice final : public Voice {
public:
    OpenALVoice(OpenALOutput& output, ALuint source, const ALuint* buffers);
    ~OpenALVoice() override;

    void Reset(int channels, int sampleRate) override;
    void Feed(const PcmFill& fill) override;
    void SetGain(float gain) override;
    void SetPaused(bool paused) override;
    void SetSpatial(bool is3D, const FMOD_VECTOR& position, const FMOD_VECTOR& velocity,
                    float minDistance, float maxDistance) override;

    // Stops at once and takes every buffer back.
    void Cut();
    bool IsSounding() const;
    void ApplyRolloff(float rolloff);

private:
    ALint State() const;

    OpenALOutput& m_output;
    ALuint m_source;
    ALuint m_buffers[kBufferCount];
    std::vector<ALuint> m_idle;
    ALenum m_format = AL_FORMAT_MONO16;
    int m_channels = 1;
    int m_sampleRate = 44100;
    bool m_paused = true;
    bool m_is3D = false;
    std::vector<int16_t> m_scratch;
};

class OpenALOutput final : public AudioOutput {
public:
    OpenALOutput(ALCdevice* device, ALCcontext* context, bool loopback)
        : m_device(device), m_context(context), m_loopback(loopback)
    {
        MakeCurrent();
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
        alDopplerFactor(1.0f);
        alSpeedOfSound(kSpeedOfSound);
    }

    ~OpenALOutput() override
    {
        MakeCurrent();
        m_voices.clear();
        if (alcGetCurrentContext() == m_context)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(m_context);
        alcCloseDevice(m_device);
    }

    // Several systems (tests) may each own a context; every entry point makes its own current.
    void MakeCurrent()
    {
        if (alcGetCurrentContext() != m_context)
            alcMakeContextCurrent(m_context);
    }

    float Rolloff() const { return m_rolloff; }

    FMOD_OUTPUTTYPE Type() const override
    {
        return m_loopback ? FMOD_OUTPUTTYPE_LOOPBACK : FMOD_OUTPUTTYPE_OPENAL;
    }

    Voice* AcquireVoice() override
    {
        MakeCurrent();
        if (!m_idle.empty()) {
            OpenALVoice* voice = m_idle.back();
            m_idle.pop_back();
            return voice;
        }
        if (m_voices.size() >= kMaxVoices || m_exhausted)
            return nullptr;
        alGetError();
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) {
            m_exhausted = true;
            return nullptr;
        }
        ALuint buffers[kBufferCount] = {};
        alGenBuffers(kBufferCount, buffers);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteSources(1, &source);
            m_exhausted = true;
            return nullptr;
        }
        m_voices.push_back(std::make_unique<OpenALVoice>(*this, source, buffers));
        return m_voices.back().get();
    }

    void ReleaseVoice(Voice* voice, bool cut) override
    {
        MakeCurrent();
        auto* alVoice = static_cast<OpenALVoice*>(voice);
        if (cut || !alVoice->IsSounding()) {
            alVoice->Cut();
            m_idle.push_back(alVoice);
        } else {
            m_draining.push_back(alVoice);
        }
    }

    void Update() override
    {
        MakeCurrent();
        auto done = std::partition(m_draining.begin(), m_draining.end(),
                                   [](OpenALVoice* v) { return v->IsSounding(); });
        for (auto it = done; it != m_draining.end(); ++it) {
            (*it)->Cut();
            m_idle.push_back(*it);
        }
        m_draining.erase(done, m_draining.end());
    }

    void SetListener(const FMOD_VECTOR& position, const FMOD_VECTOR& velocity,
                     const FMOD_VECTOR& forward, const FMOD_VECTOR& up) override
    {
        MakeCurrent();
        alListener3f(AL_POSITION, position.x, position.y, position.z);
        alListener3f(AL_VELOCITY, velocity.x, velocity.y, velocity.z);
        const ALfloat orientation[6] = {forward.x, forward.y, forward.z, up.x, up.y, up.z};
        alListenerfv(AL_ORIENTATION, orientation);
    }

    void Set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale) override
    {
        MakeCurrent();
        alDopplerFactor(std::max(0.0f, dopplerScale));
        alSpeedOfSound(kSpeedOfSound * std::max(distanceFactor, 1e-6f));
        m_rolloff = std::max(0.0f, rolloffScale);
        for (auto& voice : m_voices)
            voice->ApplyRolloff(m_rolloff);
    }

    FMOD_RESULT Render(float* out, int frames) override
    {
        if (!m_loopback)
            return FMOD_ERR_UNSUPPORTED;
        MakeCurrent();
        alcRenderSamplesSOFT(m_device, out, frames);
        return FMOD_OK;
    }

private:
    ALCdevice* m_device;
    ALCcontext* m_context;
    bool m_loopback;
    bool m_exhausted = false;
    float m_rolloff = 1.0f;
    std::vector<std::unique_ptr<OpenALVoice>> m_voices;
    std::vector<OpenALVoice*> m_idle;
    std::vector<OpenALVoice*> m_draining;
};

OpenALVoice::OpenALVoice(OpenALOutput& output, ALuint source, const ALuint* buffers)
    : m_output(output), m_source(source), m_scratch(static_cast<size_t>(kBufferFrames) * 2)
{
    std::copy_n(buffers, kBufferCount, m_buffers);
    m_idle.assign(m_buffers, m_buffers + kBufferCount);
}

OpenALVoice::~OpenALVoice()
{
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    alDeleteSources(1, &m_source);
    alDeleteBuffers(kBufferCount, m_buffers);
}

ALint OpenALVoice::State() const
{
    ALint state = AL_STOPPED;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    return state;
}

void OpenALVoice::Cut()
{
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    m_idle.assign(m_buffers, m_buffers + kBufferCount);
}

bool OpenALVoice::IsSounding() const
{
    return State() == AL_PLAYING;
}

void OpenALVoice::ApplyRolloff(float rolloff)
{
    if (m_is3D)
        alSourcef(m_source, AL_ROLLOFF_FACTOR, rolloff);
}

void OpenALVoice::Reset(int channels, int sampleRate)
{
    m_output.MakeCurrent();
    Cut();
    m_channels = channels;
    m_sampleRate = sampleRate;
    m_format = channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    m_paused = true;
    alSourceRewind(m_source);
    alSourcef(m_source, AL_GAIN, 1.0f);
}

void OpenALVoice::Feed(const PcmFill& fill)
{
    m_output.MakeCurrent();
    ALint processed = 0;
    alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(m_source, 1, &buffer);
        m_idle.push_back(buffer);
    }
    while (!m_idle.empty()) {
        int64_t frames = 0;
        while (frames < kBufferFrames) {
            const int64_t got =
                fill(m_scratch.data() + frames * m_channels, kBufferFrames - frames);
            if (got <= 0)
                break;
            frames += got;
        }
        if (frames == 0)
            break;
        const ALuint buffer = m_idle.back();
        m_idle.pop_back();
        alBufferData(buffer, m_format, m_scratch.data(),
                     static_cast<ALsizei>(frames * m_channels * sizeof(int16_t)), m_sampleRate);
        alSourceQueueBuffers(m_source, 1, &buffer);
        if (frames < kBufferFrames)
            break;
    }
    SetPaused(m_paused);
}

void OpenALVoice::SetGain(float gain)
{
    m_output.MakeCurrent();
    alSourcef(m_source, AL_GAIN, gain);
}

void OpenALVoice::SetPaused(bool paused)
{
    m_output.MakeCurrent();
    m_paused = paused;
    const ALint state = State();
    if (paused) {
        if (state == AL_PLAYING)
            alSourcePause(m_source);
        return;
    }
    ALint queued = 0;
    alGetSourcei(m_source, AL_BUFFERS_QUEUED, &queued);
    if (state != AL_PLAYING && queued > 0)
        alSourcePlay(m_source);
}

void OpenALVoice::SetSpatial(bool is3D, const FMOD_VECTOR& position, const FMOD_VECTOR& velocity,
                             float minDistance, float maxDistance)
{
    m_output.MakeCurrent();
    // OpenAL cannot place stereo data; it plays as it was mixed.
    m_is3D = is3D && m_channels == 1;
    if (!m_is3D) {
        alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(m_source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSource3f(m_source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
        alSourcef(m_source, AL_ROLLOFF_FACTOR, 0.0f);
        return;
    }
    alSourcei(m_source, AL_SOURCE_RELATIVE, AL_FALSE);
    alSource3f(m_source, AL_POSITION, position.x, position.y, position.z);
    alSource3f(m_source, AL_VELOCITY, velocity.x, velocity.y, velocity.z);
    alSourcef(m_source, AL_REFERENCE_DISTANCE, minDistance);
    alSourcef(m_source, AL_MAX_DISTANCE, maxDistance);
    alSourcef(m_source, AL_ROLLOFF_FACTOR, m_output.Rolloff());
}

}  // namespace

std::unique_ptr<AudioOutput> MakeOpenALOutput(bool loopback)
{
    ALCdevice* device = loopback ? alcLoopbackOpenDeviceSOFT(nullptr) : alcOpenDevice(nullptr);
    if (device == nullptr)
        return nullptr;
    ALCcontext* context = nullptr;
    if (loopback) {
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_FLOAT_SOFT,
                                     ALC_FREQUENCY,
                                     FMOD_LOOPBACK_RATE,
                                     ALC_HRTF_SOFT,
                                     ALC_FALSE,
                                     0};
        if (alcIsRenderFormatSupportedSOFT(device, FMOD_LOOPBACK_RATE, ALC_STEREO_SOFT,
                                           ALC_FLOAT_SOFT))
            context = alcCreateContext(device, attributes);
    } else {
        context = alcCreateContext(device, nullptr);
    }
    if (context == nullptr) {
        alcCloseDevice(device);
        return nullptr;
    }
    return std::make_unique<OpenALOutput>(device, context, loopback);
}

}  // namespace ztplatform::fmod
